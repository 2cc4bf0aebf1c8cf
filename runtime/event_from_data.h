// TZvEventFromData: a stored value whose every read first fires an event, so a reader can pull a
// value that a chain of elements computes on demand (the tone generator works this way).
#pragma once
#include <cstdint>

#include "runtime/data.h"

class TZvEventFromData {
public:
  // The stored value; dtNull until the first doData.
  TData Value;
  // Data input read by doData.
  TZv_Event Data;
  // Fired every time the data output Value is read, before the reader gets the stored value.
  TZv_Event onEvent;

  // Stores what Data yields when it is connected; otherwise stores the arriving value and uses it up.
  void doData(TData& data, uint16_t index);
  // Data output Value: fires onEvent with the reader's value, then gives the reader a copy of the
  // stored value, which whatever onEvent set off has already updated.
  void getValue(TData& data, uint16_t index);
};

// The link thunks of these handlers are specialisations defined in event_from_data.cpp that inline the
// handler's body, whatever its size: one call less on every link of the per-sample tone chain.
template <>
LINK_HANDLER void MemberHandler<&TZvEventFromData::doData>(void* target, TData& data, uint16_t index);
template <>
LINK_HANDLER void MemberHandler<&TZvEventFromData::getValue>(void* target, TData& data, uint16_t index);
