// Multi-element: building the inner schematic once and passing input calls through to it.
#include "runtime/multi_element.h"

#include "runtime/edit_multi.h"

void TZvMultiElement::SetFactory(TMultiFactory factory) {
  Factory = factory;
  if (Mode == modeBuildAtOnce) BuildInner();
}

void TZvMultiElement::SetEventCount(uint16_t n) { onEvent.resize(n); }

void TZvMultiElement::SetDataCount(uint16_t n) { Data.resize(n); }

void TZvMultiElement::doWork(TData& data, uint16_t index) {
  BuildInner();
  if (!Inner || index >= Inner->onEvent.size()) return;
  CallEvent(Inner->onEvent[index], data);
}

void TZvMultiElement::BuildInner() {
  if (Inner || !Factory) return;
  Inner = Factory(Parent);
  if (Inner) Inner->SetOuter(this);
}
