// Stand-ins for the elements around the ones under test: a sink that records every value reaching its
// input, a source whose data output hands out a settable value (an edit's text, a scroll bar's
// position), and delivery switched on for the life of a test.
#pragma once
#include <cstdint>
#include <vector>

#include "runtime/data.h"

struct TSink {
  std::vector<TData> Received;
  std::vector<uint16_t> Indexes;

  void doReceive(TData& data, uint16_t index) {
    Received.push_back(data);
    Indexes.push_back(index);
  }
  TZv_Event Link(uint16_t index = 0) { return MakeEvent<&TSink::doReceive>(this, index); }
};

struct TSource {
  TData Value;
  int Reads = 0;

  void getValue(TData& data, uint16_t) {
    ++Reads;
    data = Value;
  }
  TZv_Event Link(uint16_t index = 0) { return MakeEvent<&TSource::getValue>(this, index); }
  void SetReal(double x) { ::SetReal(Value, x); }
  void SetInteger(int32_t n) { ::SetInteger(n, Value); }
};

inline TData RealValue(double x) {
  TData data;
  SetReal(data, x);
  return data;
}

inline TData IntegerValue(int32_t n) {
  TData data;
  SetInteger(n, data);
  return data;
}

inline TData TextValue(const char* text) {
  TData data;
  data.Kind = dtString;
  data.StrValue = text;
  return data;
}

// Delivery on for the life of a test.
struct TEventsOn {
  TEventsOn() { StartEvents(); }
  ~TEventsOn() { StopEvents(); }
};
