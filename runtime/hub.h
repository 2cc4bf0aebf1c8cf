// TZvHub: fans one incoming event out to several outputs, each with its own copy of the value.
#pragma once
#include <cstdint>
#include <vector>

#include "runtime/data.h"

class TZvHub {
public:
  // Number of outputs fired by doEvent: the low 8 bits of the count given to SetCount.
  uint8_t OutCount = 0;
  // Number of inputs as drawn; every input behaves alike, so nothing reads it.
  uint8_t InCount = 0;
  std::vector<TZv_Event> onEvent;

  // Resizes onEvent to n links (new ones not connected).
  void SetCount(uint16_t n);

  // Calls onEvent[0], [1], ... in order, each with a fresh copy of the arriving value, so every output
  // sees the value as it arrived and the arriving value itself is left unchanged. The index is ignored.
  void doEvent(TData& data, uint16_t index);
};
