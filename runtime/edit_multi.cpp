// Door element of an embedded schematic.
#include "runtime/edit_multi.h"

void TZvEditMulti::SetEventCount(uint16_t n) { onEvent.resize(n); }

void TZvEditMulti::SetDataCount(uint16_t n) { Data.resize(n); }

void TZvEditMulti::SetOuter(TZvMultiElement* outer) { Outer = outer; }
