// A data source for the audio element tests that hands out a scripted sequence of integers and counts
// its reads.
#pragma once
#include <cstdint>
#include <vector>

#include "runtime/data.h"

struct IntegerSource {
  std::vector<int32_t> Script;  // values handed out in turn, the last one repeated
  int Reads = 0;
  void getValue(TData& data, uint16_t) {
    const size_t i = static_cast<size_t>(Reads) < Script.size() ? static_cast<size_t>(Reads) : Script.size() - 1;
    ++Reads;
    SetInteger(Script[i], data);
  }
  TZv_Event Link() { return MakeEvent<&IntegerSource::getValue>(this); }
};
