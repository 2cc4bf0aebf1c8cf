// The tone generator's elements: settings and links.
#include "app/tone_chain.h"

#include "audio/tone_stream.h"
#include "runtime/event_from_data.h"
#include "runtime/math_element.h"

namespace {
constexpr int32_t kToneRate = 44100;  // Hz, the stream's rate and the step's denominator
constexpr double kStepNumerator = 10000.0;
constexpr double kPhaseScale = 3.1415;
// The amplitude's property, used only while its data input (the bar) is not connected.
constexpr double kFullAmplitude = 32767.0;
// Values of the stream per stereo frame: the chain computes one for each channel.
constexpr double kValuesPerFrame = 2;
}  // namespace

double ToneSampleRate() { return kToneRate; }

double ToneAngularFrequency() { return kValuesPerFrame * kStepNumerator / kToneRate * kPhaseScale * kToneRate; }

void WireAmplitude(TZvMath* amplitude, const TZv_Event& barPosition, TZvEventFromData* sampleSource) {
  SetMath(amplitude, TZvMath::opMultiply, 0.0, kFullAmplitude, TZvMath::resultReal);
  amplitude->Op2Link = barPosition;
  amplitude->onResult = MakeEvent<&TZvEventFromData::doData>(sampleSource, 0);
}

void WirePhase(TZvMath* phase, TZvMath* phaseScale) {
  SetMath(phase, TZvMath::opAdd, 0.0, 0.0, TZvMath::resultReal);
  phase->Op2Link = MakeEvent<&TZvMath::getResult>(phase, 0);
  phase->onResult = MakeEvent<&TZvMath::doOperation>(phaseScale, 0);
}

void WireSampleSource(TZvEventFromData* sampleSource, TZvMath* step) {
  sampleSource->onEvent = MakeEvent<&TZvMath::doOperation>(step, 0);
}

void WireSine(TZvMath* sine, TZvMath* amplitude) {
  SetMath(sine, TZvMath::opSine, 0.0, 0.0, TZvMath::resultReal);
  sine->onResult = MakeEvent<&TZvMath::doOperation>(amplitude, 0);
}

void WireStep(TZvMath* step, TZvMath* phase) {
  SetMath(step, TZvMath::opDivide, kStepNumerator, kToneRate, TZvMath::resultReal);
  step->onResult = MakeEvent<&TZvMath::doOperation>(phase, 0);
}

void WireToneStream(TZvBASS_StreamSound* stream, TZvEventFromData* sampleSource, const TZv_Event& onError) {
  stream->Freq = kToneRate;
  stream->Data = MakeEvent<&TZvEventFromData::getValue>(sampleSource, 0);
  stream->onError = onError;
}

void WirePhaseScale(TZvMath* phaseScale, TZvMath* sine) {
  SetMath(phaseScale, TZvMath::opMultiply, 0.0, kPhaseScale, TZvMath::resultReal);
  phaseScale->onResult = MakeEvent<&TZvMath::doOperation>(sine, 0);
}
