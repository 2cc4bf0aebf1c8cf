// The tagged value that travels along every link (TData), the link record (TZv_Event), the one
// dispatcher every link call goes through, and the operations elements use to fire outputs and read
// data inputs.
#pragma once
#include <atomic>
#include <cstdint>

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

// A handler: an element's input or data output, called with its target object, the value and the index.
using THandlerCode = void (*)(void* target, TData& data, uint16_t index);

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
void MemberHandler(void* target, TData& data, uint16_t index) {
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

inline void CallEvent(const TZv_Event& event, TData& data) {
  EventDispatcher.load(std::memory_order_acquire)(event, data);
}

// Firing an output with a fresh local value; whatever the receiver does to it is lost to the sender.
void FireNull(const TZv_Event& event);
void FireInteger(const TZv_Event& event, int32_t n);
void FireReal(const TZv_Event& event, double x);
void FireStream(const TZv_Event& event, TStream* stream);

// Makes target a copy of value flagged for forwarding to next: the dispatcher calls next with target
// when the current handler returns.
void ForwardData(TData& target, const TZv_Event* next, const TData& value);
void SetInteger(int32_t n, TData& data);
void SetReal(TData& data, double x);

// Data inputs. `incoming` is the value that arrived with the current input call; it may be used up.
void GetLinkData(TData& data, const TZv_Event& link);
TData ReadData(TData& incoming, const TZv_Event& link, const TData* fallback);
int32_t ReadInteger(TData& incoming, const TZv_Event& link, int32_t fallback);
double ReadReal(TData& incoming, const TZv_Event& link, double fallback);
RcString ReadString(TData& incoming, const TZv_Event& link, const RcString& fallback);
TBitmap* ReadBitmap(TData& incoming, const TZv_Event& link, TBitmap* fallback);

// Conversions of a value (the value is not changed).
int32_t ToInteger(const TData& data);
double ToReal(const TData& data);
RcString ToString(const TData& data);
