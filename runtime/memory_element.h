// TZvMemory: stores the value that arrives and passes it on through a forward, without a nested call.
#pragma once
#include <cstdint>

#include "runtime/data.h"

class TZvMemory {
public:
  // The stored value; dtNull until the first doValue.
  TData Value;
  // Receives the stored value after each doValue (through the dispatcher's forward).
  TZv_Event onData;

  // Stores a copy of the arriving value and turns the caller's value into a forward of it to onData.
  void doValue(TData& data, uint16_t index);
  // Data output Value: the reader's value becomes a copy of the stored value.
  void getValue(TData& data, uint16_t index);
};
