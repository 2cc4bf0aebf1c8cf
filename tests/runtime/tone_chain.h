// The main window's tone generator without sound: SampleSource and the five math elements, configured
// and wired as the main schematic does, with a source standing in for the amplitude scroll bar's data
// output Position and a data input standing in for the tone stream's, which pulls one value at a time.
#pragma once
#include <cstdint>

#include "runtime/data.h"
#include "runtime/event_from_data.h"
#include "runtime/math_element.h"
#include "tests/runtime/probes.h"

// The scroll bar's data output Position: its stored position as a dtInteger.
struct TPositionSource {
  int32_t Position = 0;
  void getPosition(TData& data, uint16_t) { SetInteger(Position, data); }
};

struct TToneChain {
  TZvMath MathPhaseScale;
  TZvMath MathStep;
  TZvMath MathSine;
  TZvEventFromData SampleSource;
  TZvMath MathPhase;
  TZvMath MathAmplitude;
  TPositionSource AmplitudeBar;
  TZv_Event StreamData;

  explicit TToneChain(int32_t amplitude) {
    AmplitudeBar.Position = amplitude;
    Configure(MathAmplitude, TZvMath::opMultiply, 0.0, 32767.0);
    MathAmplitude.onResult = MakeEvent<&TZvEventFromData::doData>(&SampleSource);
    MathAmplitude.Op2Link = MakeEvent<&TPositionSource::getPosition>(&AmplitudeBar);
    Configure(MathPhase, TZvMath::opAdd, 0.0, 0.0);
    MathPhase.onResult = MakeEvent<&TZvMath::doOperation>(&MathPhaseScale);
    MathPhase.Op2Link = MakeEvent<&TZvMath::getResult>(&MathPhase);
    SampleSource.onEvent = MakeEvent<&TZvMath::doOperation>(&MathStep);
    Configure(MathSine, TZvMath::opSine, 0.0, 0.0);
    MathSine.onResult = MakeEvent<&TZvMath::doOperation>(&MathAmplitude);
    Configure(MathStep, TZvMath::opDivide, 10000.0, 44100.0);
    MathStep.onResult = MakeEvent<&TZvMath::doOperation>(&MathPhase);
    Configure(MathPhaseScale, TZvMath::opMultiply, 0.0, 3.1415);
    MathPhaseScale.onResult = MakeEvent<&TZvMath::doOperation>(&MathSine);
    StreamData = MakeEvent<&TZvEventFromData::getValue>(&SampleSource);
  }

  // One value as the tone stream takes it: read through its data input, converted to an integer...
  int32_t NextInteger() {
    TData value;
    GetLinkData(value, StreamData);
    return ToInteger(value);
  }
  // ...of which the low 16 bits go into the sound block.
  static int16_t Low16(int32_t n) { return static_cast<int16_t>(static_cast<uint16_t>(n)); }

private:
  static void Configure(TZvMath& math, uint8_t op, double op1, double op2) { ConfigureMath(math, op, op1, op2, 1); }
};
