// Data sources for the audio element tests: a scripted sequence of integers that counts its reads, and a
// sequence of any values for several data inputs of one element, whose values then show the order of
// the reads.
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

struct ValueSequence {
  std::vector<TData> Values;  // handed out in turn, one per read
  size_t Reads = 0;
  void getValue(TData& data, uint16_t) { data = Values.at(Reads++); }
  TZv_Event Link() { return MakeEvent<&ValueSequence::getValue>(this); }
};
