// The tagged value that travels along every link (TData), the link record (TZv_Event), the one
// dispatcher every link call goes through, and the operations elements use to fire outputs and read
// data inputs.
#pragma once
#include <atomic>
#include <cstdint>
#include <cstring>

#include "runtime/convert.h"
#include "runtime/rcstring.h"

class TBitmap;
class TStream;

// Data-type codes of TData::Kind (bits 0-6) and the forward request flag (bit 7).
enum : uint8_t {
  dtNull = 0,
  dtInteger = 1,
  dtString = 2,
  dtReal = 7,
  dtStream = 10,
  dtBitmap = 11,
  dtForward = 0x80,
};

struct TZv_Event;

struct TData {
  uint8_t Kind = dtNull;
  int32_t IntValue = 0;
  RcString StrValue;
  double RealValue = 0.0;
  // The object reference of dtStream and dtBitmap: pointer-sized, so it survives a 64-bit build.
  void* Object = nullptr;
  // The link the dispatcher calls next; meaningful only while dtForward is set in Kind.
  const TZv_Event* Next = nullptr;
};

// On 32-bit x86 a handler takes its three arguments in registers rather than on the stack: every link
// call stores and reloads them otherwise.
#if defined(__i386__)
#define LINK_HANDLER __attribute__((regparm(3)))
#else
#define LINK_HANDLER
#endif

// A handler: an element's input or data output, called with its target object, the value and the index.
using THandlerCode = void(LINK_HANDLER*)(void* target, TData& data, uint16_t index);

struct TMethod {
  THandlerCode Code = nullptr;
  void* Target = nullptr;
};

// A link: an output or a data input. A null handler code means not connected.
struct TZv_Event {
  TMethod Handler;
  uint16_t Index = 0;
  bool Connected() const { return Handler.Code != nullptr; }
};

TZv_Event MakeEvent(TMethod handler, uint16_t index);

// Builds links to element member functions of the form `void C::doX(TData&, uint16_t)`:
//   MakeEvent<&TZvMath::doOperation>(math, 0)
template <class M> struct MemberHandlerClass;
template <class C> struct MemberHandlerClass<void (C::*)(TData&, uint16_t)> { using Class = C; };

template <auto Member>
LINK_HANDLER void MemberHandler(void* target, TData& data, uint16_t index) {
  using C = typename MemberHandlerClass<decltype(Member)>::Class;
  (static_cast<C*>(target)->*Member)(data, index);
}

template <auto Member>
TZv_Event MakeEvent(typename MemberHandlerClass<decltype(Member)>::Class* target, uint16_t index = 0) {
  return MakeEvent(TMethod{&MemberHandler<Member>, target}, index);
}

// The dispatcher. It is written on the GUI thread and read on the audio library's threads.
using TDispatcher = void (*)(const TZv_Event& event, TData& data);
extern std::atomic<TDispatcher> EventDispatcher;
void DispatchNone(const TZv_Event& event, TData& data);
void DispatchChain(const TZv_Event& event, TData& data);
void StartEvents();
void StopEvents();

namespace dispatch {

// The body of DispatchChain: runs a handler, then every link it forwarded to, in one loop on the same
// value, so long forward chains never deepen the stack.
inline void RunChain(const TZv_Event& event, TData& data) {
  const TZv_Event* link = &event;
  while (link && link->Handler.Code) {
    link->Handler.Code(link->Handler.Target, data, link->Index);
    if (!(data.Kind & dtForward)) return;
    data.Kind &= ~dtForward;
    link = data.Next;
  }
}

}  // namespace dispatch

// While events are delivered, the chain loop runs right here instead of through a call of
// DispatchChain: on i686 that call took 20 instructions on each of the nine links a tone value passes,
// a fifth of the chain's work.
inline void CallEvent(const TZv_Event& event, TData& data) {
  const TDispatcher dispatcher = EventDispatcher.load(std::memory_order_acquire);
  if (dispatcher == &DispatchChain)
    dispatch::RunChain(event, data);
  else
    dispatcher(event, data);
}

// The operations below are inline: the tone generator runs them many times for each of its 88200 values
// a second, and a call costs about as much as the work itself.

// Firing an output with a fresh local value that fill sets up; whatever the receiver does to it is lost
// to the sender.
template <class Fill>
inline void FireWith(const TZv_Event& event, Fill&& fill) {
  TData data;
  fill(data);
  CallEvent(event, data);
}

inline void FireNull(const TZv_Event& event) {
  FireWith(event, [](TData&) {});
}

inline void FireInteger(const TZv_Event& event, int32_t n) {
  FireWith(event, [n](TData& data) {
    data.Kind = dtInteger;
    data.IntValue = n;
  });
}

inline void FireReal(const TZv_Event& event, double x) {
  FireWith(event, [x](TData& data) {
    data.Kind = dtReal;
    data.RealValue = x;
  });
}

inline void FireStream(const TZv_Event& event, TStream* stream) {
  FireWith(event, [stream](TData& data) {
    data.Kind = dtStream;
    data.Object = stream;
  });
}

// Makes target a copy of value flagged for forwarding to next: the dispatcher calls next with target
// when the current handler returns.
void ForwardData(TData& target, const TZv_Event* next, const TData& value);

inline void SetInteger(int32_t n, TData& data) {
  data.Kind = dtInteger;
  data.IntValue = n;
  data.Next = nullptr;
}

inline void SetReal(TData& data, double x) {
  data.Kind = dtReal;
  data.RealValue = x;
  data.Next = nullptr;
}

// Conversions of a value (the value is not changed).
inline int32_t ToInteger(const TData& data) {
  switch (data.Kind) {
    case dtInteger: return data.IntValue;
    case dtString: return StrToInt(data.StrValue);
    case dtReal: return Round(data.RealValue);
    default: return 0;
  }
}

inline double ToReal(const TData& data) {
  switch (data.Kind) {
    case dtReal: return data.RealValue;
    case dtInteger: return data.IntValue;
    case dtString: return StrToReal(data.StrValue);
    default: return 0.0;
  }
}

RcString ToString(const TData& data);

namespace data_input {

// Calls a connected data input with a fresh dtNull value and returns what its data output filled in.
inline TData FetchLink(const TZv_Event& link) {
  TData local;
  CallEvent(link, local);
  return local;
}

// The fall-back rule of every data input: a connected link wins, then a set default, then the value
// that arrived with the call (it is then used up). Convert turns a value into the result; qualifies
// tells whether the incoming value may be taken.
template <class T, class Convert, class Qualifies>
T ReadWithFallback(TData& incoming, const TZv_Event& link, const T& fallback, bool fallbackSet, Convert convert,
                   Qualifies qualifies) {
  if (link.Connected()) return convert(FetchLink(link));
  if (fallbackSet) return fallback;
  if (qualifies(incoming)) {
    T value = convert(incoming);
    incoming.Kind = dtNull;
    return value;
  }
  return fallback;
}

inline bool HasValue(const TData& data) { return data.Kind != dtNull; }

// The default of ReadData when the caller gives none.
extern const TData NoData;

}  // namespace data_input

// Data inputs. `incoming` is the value that arrived with the current input call; it may be used up.
inline void GetLinkData(TData& data, const TZv_Event& link) {
  if (link.Connected())
    CallEvent(link, data);
  else
    data.Kind = dtNull;
}

inline TData ReadData(TData& incoming, const TZv_Event& link, const TData* fallback) {
  using namespace data_input;
  return ReadWithFallback<TData>(
      incoming, link, fallback ? *fallback : NoData, fallback && fallback->Kind != dtNull,
      [](TData data) { return data; }, [](const TData&) { return true; });
}

inline int32_t ReadInteger(TData& incoming, const TZv_Event& link, int32_t fallback) {
  using namespace data_input;
  return ReadWithFallback<int32_t>(incoming, link, fallback, fallback != 0, ToInteger, HasValue);
}

// A real default counts as set unless it is +0 or -0; a NaN counts as set. Tested on the bits, so no
// floating-point comparison is made.
inline bool RealIsSet(const double& x) {
  uint32_t low, high;
  std::memcpy(&low, &x, sizeof low);
  std::memcpy(&high, reinterpret_cast<const char*>(&x) + sizeof low, sizeof high);
  return (low | (high << 1)) != 0;
}

inline double ReadReal(TData& incoming, const TZv_Event& link, double fallback) {
  using namespace data_input;
  return ReadWithFallback<double>(incoming, link, fallback, RealIsSet(fallback), ToReal, HasValue);
}

// ReadReal for the cases that need neither a call nor a conversion: the link is not connected and the
// operand is the default itself or the incoming value's 64-bit real, which is then used up. Returns
// where the operand lies, so that it is loaded only where it is used; nullptr, having read nothing,
// when the link is connected or the incoming value would have to be converted.
inline const double* ReadRealInPlace(TData& incoming, const TZv_Event& link, const double& fallback) {
  if (link.Connected()) return nullptr;
  if (RealIsSet(fallback) || incoming.Kind == dtNull) return &fallback;
  if (incoming.Kind != dtReal) return nullptr;
  incoming.Kind = dtNull;
  return &incoming.RealValue;
}

RcString ReadString(TData& incoming, const TZv_Event& link, const RcString& fallback);
TBitmap* ReadBitmap(TData& incoming, const TZv_Event& link, TBitmap* fallback);
