// Event-from-data element.
#include "runtime/event_from_data.h"

void TZvEventFromData::doData(TData& data, uint16_t) { Value = ReadData(data, Data, nullptr); }

void TZvEventFromData::getValue(TData& data, uint16_t) {
  CallEvent(onEvent, data);
  data = Value;
}

template void MemberHandler<&TZvEventFromData::doData>(void*, TData&, uint16_t);
template void MemberHandler<&TZvEventFromData::getValue>(void*, TData&, uint16_t);
