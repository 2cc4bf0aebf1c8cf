// TObj: reference counting, the destruction hook and the auto-free list.
#include "toolkit/obj.h"

#include "toolkit/list.h"

void TObj::Free() {
  if (RefCount == 0) {
    Destroy();
  } else if ((RefCount & 1) == 0) {
    RefCount -= 1;
  }
}

void TObj::RefDec() {
  RefCount -= 2;
  if (RefCount < 0 && (RefCount & 1) != 0) Destroy();
}

void TObj::Add2AutoFreeEx(TFreeProc proc, void* object) {
  if (!AutoFree) AutoFree = NewList();
  AutoFree->Add(reinterpret_cast<void*>(proc));
  AutoFree->Add(object);
}

static void FreeObject(void* object) { static_cast<TObj*>(object)->Free(); }

void TObj::Add2AutoFree(TObj* obj) { Add2AutoFreeEx(&FreeObject, obj); }

void TObj::Destroy() {
  RunDestroyHooks();
  delete this;
}

// OnDestroy first, then the auto-free pairs in the order they were added; the class destructors follow.
void TObj::RunDestroyHooks() {
  if (OnDestroy.Assigned()) {
    auto hook = OnDestroy;
    OnDestroy = {};
    hook(this);
  }
  if (AutoFree) {
    TList* pairs = AutoFree;
    for (int32_t i = 0; i + 1 < pairs->Count; i += 2) {
      reinterpret_cast<TFreeProc>(pairs->Items[i])(pairs->Items[i + 1]);
    }
    AutoFree = nullptr;
    pairs->Free();
  }
}

TObj::~TObj() = default;
