// Test elements for the audio element tests: a receiver that keeps every value fired at it, and a data
// source that hands out a scripted value and counts its reads.
#pragma once
#include <cstdint>
#include <vector>

#include "runtime/data.h"

struct Receiver {
  std::vector<TData> Values;
  void doReceive(TData& data, uint16_t) { Values.push_back(data); }
  TZv_Event Link() { return MakeEvent<&Receiver::doReceive>(this); }
};

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
