// Event-from-data element.
#include "runtime/event_from_data.h"

void TZvEventFromData::doData(TData& data, uint16_t) { Value = ReadData(data, Data, nullptr); }

void TZvEventFromData::getValue(TData& data, uint16_t) {
  CallEvent(onEvent, data);
  data = Value;
}

template <>
[[gnu::flatten]] LINK_HANDLER void MemberHandler<&TZvEventFromData::doData>(void* target, TData& data, uint16_t index) {
  static_cast<TZvEventFromData*>(target)->doData(data, index);
}
template <>
[[gnu::flatten]] LINK_HANDLER void MemberHandler<&TZvEventFromData::getValue>(void* target, TData& data, uint16_t index) {
  static_cast<TZvEventFromData*>(target)->getValue(data, index);
}
