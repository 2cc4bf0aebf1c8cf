// The instrument's chains built natively with the schematics' own wiring functions (app/tone_chain.h,
// app/level_chain.h, app/torus_chain.h), elements in the schematics' field order, with stand-ins for the
// window elements around them: a position source for the amplitude bar, data sources for the dimension
// fields, sinks for the read-outs and the result field.
#pragma once
#include <cstdint>

#include "app/level_chain.h"
#include "app/tone_chain.h"
#include "app/torus_chain.h"
#include "audio/tone_stream.h"
#include "runtime/edit_multi.h"
#include "runtime/event_from_data.h"
#include "runtime/get_data.h"
#include "runtime/hub.h"
#include "runtime/math_element.h"
#include "runtime/memory_element.h"
#include "tests/runtime/probes.h"

// The amplitude bar's data output Position: its position as a dtInteger.
struct TPositionSource {
  int32_t Position = 0;
  void getPosition(TData& data, uint16_t) { SetInteger(Position, data); }
};

struct TToneChain {
  TZvMath MathPhaseScale;
  TZvBASS_StreamSound ToneStream;
  TZvMath MathStep;
  TZvMath MathSine;
  TZvEventFromData SampleSource;
  TZvMath MathPhase;
  TZvMath MathAmplitude;
  TPositionSource AmplitudeBar;

  explicit TToneChain(int32_t amplitude) {
    AmplitudeBar.Position = amplitude;
    WireAmplitude(&MathAmplitude, MakeEvent<&TPositionSource::getPosition>(&AmplitudeBar), &SampleSource);
    WirePhase(&MathPhase, &MathPhaseScale);
    WireSampleSource(&SampleSource, &MathStep);
    WireSine(&MathSine, &MathAmplitude);
    WireStep(&MathStep, &MathPhase);
    WireToneStream(&ToneStream, &SampleSource, TZv_Event());
    WirePhaseScale(&MathPhaseScale, &MathSine);
  }

  // The next count values as the stream's callback fills a sound block with them.
  void Fill(int16_t* values, uint32_t count) {
    TZvBASS_StreamSound::FillBuffer(0, values, count * sizeof(int16_t), &ToneStream);
  }
};

struct TTorusChain {
  TZvEditMulti TorusInterface;
  TSource EditOuterDiameter, EditInnerDiameter, EditHeight, EditTurns;
  TSink EditResult;
  TZvMath MathScale;
  TZvHub HubTorus;
  TZvMath MathSum;
  TZvGetData GetOuter, GetInner;
  TZvMath MathDiff, MathTimesSum, MathByDiff, MathByHeight, MathByTurns, MathPlusTurns;
  TZvGetData GetTurns;

  // The fields as the panel starts: D 10, d 6, H 3, N 10.
  TTorusChain() {
    SetFields(10.0, 6.0, 3.0, 10.0);
    WireFieldReader(&GetTurns, EditTurns.Link());
    WirePlusTurns(&MathPlusTurns, &GetTurns, EditResult.Link());
    WireByTurns(&MathByTurns, &GetTurns, &MathPlusTurns);
    WireByHeight(&MathByHeight, EditHeight.Link(), &MathByTurns);
    WireByDifference(&MathByDiff, &MathDiff, &MathByHeight);
    WireTimesSum(&MathTimesSum, &MathSum, &MathByDiff);
    WireDifference(&MathDiff, &GetOuter, &GetInner);
    WireFieldReader(&GetInner, EditInnerDiameter.Link());
    WireFieldReader(&GetOuter, EditOuterDiameter.Link());
    WireSum(&MathSum, &GetOuter, &GetInner);
    WireTorusHub(&HubTorus, &MathSum, &MathDiff, &MathTimesSum);
    WireScale(&MathScale, &HubTorus);
    WireTorusDoor(&TorusInterface, &MathScale);
    TorusInterface.Owner = this;
  }

  void SetFields(double outer, double inner, double height, double turns) {
    EditOuterDiameter.SetReal(outer);
    EditInnerDiameter.SetReal(inner);
    EditHeight.SetReal(height);
    EditTurns.SetReal(turns);
  }
};

// The level chain, handing its ratios to the inner schematic that factory builds.
struct TLevelChain {
  TZvMultiElement TorusHost{nullptr};
  TZvMemory LevelMemory;
  TZvMath MathLevelRatio, MathInvert;
  TZvHub HubRight, HubLeft;
  TSink EditLeftLevel, EditRightLevel;

  explicit TLevelChain(TMultiFactory factory) {
    WireLeftHub(&HubLeft, &LevelMemory, EditLeftLevel.Link());
    WireRightHub(&HubRight, &MathLevelRatio, EditRightLevel.Link());
    WireInverse(&MathInvert, &MathLevelRatio, &TorusHost);
    WireLevelRatio(&MathLevelRatio, &LevelMemory, &MathInvert);
    WireTorusHost(&TorusHost, factory);
  }
};
