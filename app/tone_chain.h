// The tone generator's wiring, one function per element: its settings and the links it makes. The
// main schematic calls them in its configuration order; the tests and the benchmark build the same chain
// natively with them. Each value the tone stream reads from the sample source sets off
//   sample source -> step (10000 / 44100) -> phase (+= step) -> scale (x 3.1415) -> sine -> amplitude
// where the amplitude multiplies by the bar's position and stores the product in the sample source.
#pragma once

struct TZv_Event;
class TZvBASS_StreamSound;
class TZvEventFromData;
class TZvMath;

// The tone the chain makes: its stream's rate in Hz, and its angular frequency in rad/s. The phase
// advances by 10000 / 44100 * 3.1415 rad per value and the stream takes two values per stereo frame, so
// w = 2 * 10000 * 3.1415 = 62830 rad/s (9999.7 Hz).
double ToneSampleRate();
double ToneAngularFrequency();

// The sine times the amplitude bar's data output Position, stored in the sample source.
void WireAmplitude(TZvMath* amplitude, const TZv_Event& barPosition, TZvEventFromData* sampleSource);
// The phase accumulates: each step is added to its own Result.
void WirePhase(TZvMath* phase, TZvMath* phaseScale);
// Every read of the sample source first computes a new value.
void WireSampleSource(TZvEventFromData* sampleSource, TZvMath* step);
void WireSine(TZvMath* sine, TZvMath* amplitude);
// The phase step 10000 / 44100, divided anew for every value.
void WireStep(TZvMath* step, TZvMath* phase);
// The 44100 Hz stream reads its values from the sample source and reports its errors on onError.
void WireToneStream(TZvBASS_StreamSound* stream, TZvEventFromData* sampleSource, const TZv_Event& onError);
// The phase times 3.1415, the sine's operand.
void WirePhaseScale(TZvMath* phaseScale, TZvMath* sine);
