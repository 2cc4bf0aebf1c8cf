// The main window's level chain: settings and links.
#include "app/level_chain.h"

#include "runtime/hub.h"
#include "runtime/math_element.h"
#include "runtime/memory_element.h"

namespace {
constexpr uint8_t kOneInput = 1;
constexpr uint16_t kLevelHubOutputs = 2;
}  // namespace

void WireLeftHub(TZvHub* hub, TZvMemory* levelMemory, const TZv_Event& leftReadout) {
  hub->InCount = kOneInput;
  hub->SetCount(kLevelHubOutputs);
  hub->onEvent[0] = MakeEvent<&TZvMemory::doValue>(levelMemory, 0);
  hub->onEvent[1] = leftReadout;
}

void WireRightHub(TZvHub* hub, TZvMath* levelRatio, const TZv_Event& rightReadout) {
  hub->InCount = kOneInput;
  hub->SetCount(kLevelHubOutputs);
  hub->onEvent[0] = MakeEvent<&TZvMath::doOperation>(levelRatio, 0);
  hub->onEvent[1] = rightReadout;
}

void WireInverse(TZvMath* inverse, TZvMath* levelRatio, TZvMultiElement* torusHost) {
  SetMath(inverse, TZvMath::opDivide, 1.0, 0.0, TZvMath::resultReal);
  inverse->Op2Link = MakeEvent<&TZvMath::getResult>(levelRatio, 0);
  inverse->onResult = MakeEvent<&TZvMultiElement::doWork>(torusHost, 0);
}

void WireLevelRatio(TZvMath* levelRatio, TZvMemory* levelMemory, TZvMath* inverse) {
  SetMath(levelRatio, TZvMath::opDivide, 0.0, 0.0, TZvMath::resultReal);
  levelRatio->Op2Link = MakeEvent<&TZvMemory::getValue>(levelMemory, 0);
  levelRatio->onResult = MakeEvent<&TZvMath::doOperation>(inverse, 0);
}

void WireTorusHost(TZvMultiElement* torusHost, TMultiFactory factory) {
  torusHost->Mode = TZvMultiElement::modeBuildAtOnce;
  torusHost->SetFactory(factory);
}
