// The dispatcher, the link operations, firing outputs, forwarding, and reading data inputs with their
// fall-back rule: a connected link wins, then a set default, then the value that arrived with the call.
#include "runtime/data.h"

#include "runtime/convert.h"

std::atomic<TDispatcher> EventDispatcher{&DispatchNone};

TZv_Event MakeEvent(TMethod handler, uint16_t index) {
  TZv_Event event;
  event.Handler = handler;
  event.Index = index;
  return event;
}

void DispatchNone(const TZv_Event&, TData&) {}

void DispatchChain(const TZv_Event& event, TData& data) { dispatch::RunChain(event, data); }

void StartEvents() { EventDispatcher.store(&DispatchChain, std::memory_order_release); }
void StopEvents() { EventDispatcher.store(&DispatchNone, std::memory_order_release); }

// The flag is set rather than added, so forwarding a value that still carries it cannot clear it.
void ForwardData(TData& target, const TZv_Event* next, const TData& value) {
  target = value;
  target.Kind |= dtForward;
  target.Next = next;
}

using namespace data_input;

const TData data_input::NoData;

RcString ReadString(TData& incoming, const TZv_Event& link, const RcString& fallback) {
  return ReadWithFallback<RcString>(incoming, link, fallback, !fallback.empty(), ToString, HasValue);
}

TBitmap* ReadBitmap(TData& incoming, const TZv_Event& link, TBitmap* fallback) {
  return ReadWithFallback<TBitmap*>(
      incoming, link, fallback, fallback != nullptr,
      [](const TData& data) {
        return data.Kind == dtBitmap ? static_cast<TBitmap*>(data.Object) : nullptr;
      },
      [](const TData& data) { return data.Kind == dtBitmap; });
}

RcString ToString(const TData& data) {
  switch (data.Kind) {
    case dtInteger: return IntToStr(data.IntValue);
    case dtString: return data.StrValue;
    case dtReal: return RealToStr(data.RealValue);
    default: return RcString();
  }
}
