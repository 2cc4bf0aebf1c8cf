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

// Runs a handler, then every link it forwarded to, in one loop on the same value: long forward
// chains never deepen the stack.
void DispatchChain(const TZv_Event& event, TData& data) {
  const TZv_Event* link = &event;
  while (link && link->Handler.Code) {
    link->Handler.Code(link->Handler.Target, data, link->Index);
    if (!(data.Kind & dtForward)) return;
    data.Kind &= ~dtForward;
    link = data.Next;
  }
}

void StartEvents() { EventDispatcher.store(&DispatchChain, std::memory_order_release); }
void StopEvents() { EventDispatcher.store(&DispatchNone, std::memory_order_release); }

void FireNull(const TZv_Event& event) {
  TData data;
  CallEvent(event, data);
}

void FireInteger(const TZv_Event& event, int32_t n) {
  TData data;
  data.Kind = dtInteger;
  data.IntValue = n;
  CallEvent(event, data);
}

void FireReal(const TZv_Event& event, double x) {
  TData data;
  data.Kind = dtReal;
  data.RealValue = x;
  CallEvent(event, data);
}

void FireStream(const TZv_Event& event, TStream* stream) {
  TData data;
  data.Kind = dtStream;
  data.Object = stream;
  CallEvent(event, data);
}

// The flag is set rather than added, so forwarding a value that still carries it cannot clear it.
void ForwardData(TData& target, const TZv_Event* next, const TData& value) {
  target = value;
  target.Kind |= dtForward;
  target.Next = next;
}

void SetInteger(int32_t n, TData& data) {
  data.Kind = dtInteger;
  data.IntValue = n;
  data.Next = nullptr;
}

void SetReal(TData& data, double x) {
  data.Kind = dtReal;
  data.RealValue = x;
  data.Next = nullptr;
}

void GetLinkData(TData& data, const TZv_Event& link) {
  if (link.Connected())
    CallEvent(link, data);
  else
    data.Kind = dtNull;
}

namespace {

// Calls a connected data input with a fresh dtNull value and returns what its data output filled in.
TData FetchLink(const TZv_Event& link) {
  TData local;
  CallEvent(link, local);
  return local;
}

// The shared fall-back rule. Convert turns a value into the result; qualifies tells whether the
// incoming value may be taken (it is then used up).
template <class T, class Convert, class Qualifies>
T ReadWithFallback(TData& incoming, const TZv_Event& link, const T& fallback, bool fallbackSet,
                   Convert convert, Qualifies qualifies) {
  if (link.Connected()) return convert(FetchLink(link));
  if (fallbackSet) return fallback;
  if (qualifies(incoming)) {
    T value = convert(incoming);
    incoming.Kind = dtNull;
    return value;
  }
  return fallback;
}

bool HasValue(const TData& data) { return data.Kind != dtNull; }

}  // namespace

TData ReadData(TData& incoming, const TZv_Event& link, const TData* fallback) {
  TData none;
  return ReadWithFallback<TData>(
      incoming, link, fallback ? *fallback : none, fallback && fallback->Kind != dtNull,
      [](const TData& data) { return data; }, [](const TData&) { return true; });
}

int32_t ReadInteger(TData& incoming, const TZv_Event& link, int32_t fallback) {
  return ReadWithFallback<int32_t>(incoming, link, fallback, fallback != 0, ToInteger, HasValue);
}

double ReadReal(TData& incoming, const TZv_Event& link, double fallback) {
  // A NaN default counts as set, like any other value that is not zero.
  return ReadWithFallback<double>(incoming, link, fallback, !(fallback == 0.0), ToReal, HasValue);
}

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

int32_t ToInteger(const TData& data) {
  switch (data.Kind) {
    case dtInteger: return data.IntValue;
    case dtString: return StrToInt(data.StrValue);
    case dtReal: return Round(data.RealValue);
    default: return 0;
  }
}

double ToReal(const TData& data) {
  switch (data.Kind) {
    case dtReal: return data.RealValue;
    case dtInteger: return data.IntValue;
    case dtString: return StrToReal(data.StrValue);
    default: return 0.0;
  }
}

RcString ToString(const TData& data) {
  switch (data.Kind) {
    case dtInteger: return IntToStr(data.IntValue);
    case dtString: return data.StrValue;
    case dtReal: return RealToStr(data.RealValue);
    default: return RcString();
  }
}
