// Memory element.
#include "runtime/memory_element.h"

void TZvMemory::doValue(TData& data, uint16_t) {
  Value = data;
  ForwardData(data, &onData, Value);
}

void TZvMemory::getValue(TData& data, uint16_t) { data = Value; }
