// TObj, the base of every toolkit object: a reference count in steps of two, a destruction hook and a
// list of objects released together with it. Also TCallback, the (code, data) method record that the
// toolkit uses for every notification and hook.
#pragma once
#include <cstdint>

// A method: a plain function taking the data object first, plus that data object. Empty when Code is null.
template <class Sig> struct TCallback;
template <class R, class... A> struct TCallback<R(A...)> {
  using Function = R (*)(void* data, A...);
  Function Code = nullptr;
  void* Data = nullptr;

  bool Assigned() const { return Code != nullptr; }
  R operator()(A... args) const { return Code(Data, args...); }
  friend bool operator==(const TCallback& a, const TCallback& b) { return a.Code == b.Code && a.Data == b.Data; }
  friend bool operator!=(const TCallback& a, const TCallback& b) { return !(a == b); }
};

namespace callback_detail {
template <class M> struct MemberTraits;
template <class C, class R, class... A> struct MemberTraits<R (C::*)(A...)> {
  using Class = C;
  using Callback = TCallback<R(A...)>;
  template <R (C::*Member)(A...)> static R Call(void* data, A... args) {
    return (static_cast<C*>(data)->*Member)(args...);
  }
};
}  // namespace callback_detail

// Binds a member function to its object: OnClick = MakeMethod<&TZvLabel::Clicked>(this).
template <auto Member>
typename callback_detail::MemberTraits<decltype(Member)>::Callback MakeMethod(
    typename callback_detail::MemberTraits<decltype(Member)>::Class* object) {
  using Traits = callback_detail::MemberTraits<decltype(Member)>;
  return {&Traits::template Call<Member>, object};
}

class TList;
class TObj;

// Procedure of an auto-free pair, called with its object when the owner is destroyed.
using TFreeProc = void (*)(void* object);

class TObj {
public:
  // Bit 0 set: a Free was requested while the object was referenced; it is destroyed by the last RefDec.
  int32_t RefCount = 0;
  // Called once, before anything else, when the object is destroyed.
  TCallback<void(TObj* sender)> OnDestroy;
  // Pairs (procedure, object) run in the order added when this object is destroyed; null until first use.
  TList* AutoFree = nullptr;

  TObj() = default;
  TObj(const TObj&) = delete;
  TObj& operator=(const TObj&) = delete;

  // Set-up step run by the creation functions right after construction; descendants override it.
  virtual void Init() {}

  void Free();
  void RefInc() { RefCount += 2; }
  void RefDec();
  // A Free waits for the last reference to go.
  bool FreePending() const { return (RefCount & 1) != 0; }
  void Add2AutoFreeEx(TFreeProc proc, void* object);
  // Frees obj together with this object.
  void Add2AutoFree(TObj* obj);

protected:
  // Toolkit objects are destroyed only through Free / RefDec.
  virtual ~TObj();

private:
  void Destroy();
  void RunDestroyHooks();
};

// The creation function every toolkit class goes through: construct, then Init.
template <class T, class... Args> T* NewObj(Args&&... args) {
  T* obj = new T(static_cast<Args&&>(args)...);
  obj->Init();
  return obj;
}
