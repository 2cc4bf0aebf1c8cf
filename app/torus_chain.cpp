// The torus panel's permeability chain: settings and links.
#include "app/torus_chain.h"

#include "runtime/edit_multi.h"
#include "runtime/get_data.h"
#include "runtime/hub.h"
#include "runtime/math_element.h"

namespace {
constexpr double kPermeabilityFactor = 2500.0;
constexpr uint8_t kOneInput = 1;
constexpr uint16_t kTorusHubOutputs = 3;
// Each reader serves two elements (the panel draws them with two data outputs).
constexpr int32_t kReaderOutputs = 2;
constexpr uint16_t kDoorOutputs = 1;
}  // namespace

void WirePlusTurns(TZvMath* plusTurns, TZvGetData* turns, const TZv_Event& resultField) {
  SetMath(plusTurns, TZvMath::opAdd, 0.0, 0.0, TZvMath::resultInteger);
  plusTurns->Op2Link = MakeEvent<&TZvGetData::getVar>(turns, 1);
  plusTurns->onResult = resultField;
}

void WireByTurns(TZvMath* byTurns, TZvGetData* turns, TZvMath* plusTurns) {
  SetMath(byTurns, TZvMath::opDivide, 0.0, 0.0, TZvMath::resultReal);
  byTurns->Op2Link = MakeEvent<&TZvGetData::getVar>(turns, 0);
  byTurns->onResult = MakeEvent<&TZvMath::doOperation>(plusTurns, 0);
}

void WireByHeight(TZvMath* byHeight, const TZv_Event& heightField, TZvMath* byTurns) {
  SetMath(byHeight, TZvMath::opDivide, 0.0, 0.0, TZvMath::resultReal);
  byHeight->Op2Link = heightField;
  byHeight->onResult = MakeEvent<&TZvMath::doOperation>(byTurns, 0);
}

void WireByDifference(TZvMath* byDifference, TZvMath* difference, TZvMath* byHeight) {
  SetMath(byDifference, TZvMath::opDivide, 0.0, 0.0, TZvMath::resultReal);
  byDifference->Op2Link = MakeEvent<&TZvMath::getResult>(difference, 0);
  byDifference->onResult = MakeEvent<&TZvMath::doOperation>(byHeight, 0);
}

void WireTimesSum(TZvMath* timesSum, TZvMath* sum, TZvMath* byDifference) {
  SetMath(timesSum, TZvMath::opMultiply, 0.0, 0.0, TZvMath::resultReal);
  timesSum->Op2Link = MakeEvent<&TZvMath::getResult>(sum, 0);
  timesSum->onResult = MakeEvent<&TZvMath::doOperation>(byDifference, 0);
}

void WireDifference(TZvMath* difference, TZvGetData* outer, TZvGetData* inner) {
  SetMath(difference, TZvMath::opSubtract, 0.0, 0.0, TZvMath::resultReal);
  difference->Op1Link = MakeEvent<&TZvGetData::getVar>(outer, 1);
  difference->Op2Link = MakeEvent<&TZvGetData::getVar>(inner, 1);
}

void WireFieldReader(TZvGetData* reader, const TZv_Event& field) {
  reader->Count = kReaderOutputs;
  reader->Data = field;
}

void WireSum(TZvMath* sum, TZvGetData* outer, TZvGetData* inner) {
  SetMath(sum, TZvMath::opAdd, 0.0, 0.0, TZvMath::resultReal);
  sum->Op1Link = MakeEvent<&TZvGetData::getVar>(outer, 0);
  sum->Op2Link = MakeEvent<&TZvGetData::getVar>(inner, 0);
}

void WireTorusHub(TZvHub* hub, TZvMath* sum, TZvMath* difference, TZvMath* timesSum) {
  hub->InCount = kOneInput;
  hub->SetCount(kTorusHubOutputs);
  hub->onEvent[0] = MakeEvent<&TZvMath::doOperation>(sum, 0);
  hub->onEvent[1] = MakeEvent<&TZvMath::doOperation>(difference, 0);
  hub->onEvent[2] = MakeEvent<&TZvMath::doOperation>(timesSum, 0);
}

void WireScale(TZvMath* scale, TZvHub* hub) {
  SetMath(scale, TZvMath::opMultiply, 0.0, kPermeabilityFactor, TZvMath::resultReal);
  scale->onResult = MakeEvent<&TZvHub::doEvent>(hub, 0);
}

void WireTorusDoor(TZvEditMulti* door, TZvMath* scale) {
  door->SetEventCount(kDoorOutputs);
  door->onEvent[0] = MakeEvent<&TZvMath::doOperation>(scale, 0);
}
