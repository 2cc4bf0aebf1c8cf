// TList: growth, insertion and removal of pointer-sized entries.
#include "toolkit/list.h"

#include <cstdlib>
#include <cstring>
#include <new>

TList* NewList() {
  TList* list = NewObj<TList>();
  list->AddBy = 4;
  return list;
}

void TList::SetCapacity(int32_t value) {
  if (value < Count) value = Count;
  if (value == capacity_) return;
  if (value == 0) {
    std::free(Items);
    Items = nullptr;
  } else {
    void** grown = static_cast<void**>(std::realloc(Items, sizeof(void*) * static_cast<size_t>(value)));
    if (!grown) throw std::bad_alloc();
    Items = grown;
  }
  capacity_ = value;
}

void TList::Add(void* value) {
  if (AddBy <= 0) AddBy = 4;
  if (Count >= capacity_) SetCapacity(Count + AddBy);
  Items[Count] = value;
  ++Count;
}

void TList::Insert(int32_t index, void* value) {
  Add(nullptr);
  if (index < Count) {
    std::memmove(&Items[index + 1], &Items[index], sizeof(void*) * static_cast<size_t>(Count - 1 - index));
  }
  Items[index] = value;
}

void TList::Delete(int32_t index) {
  std::memmove(&Items[index], &Items[index + 1], sizeof(void*) * static_cast<size_t>(Count - 1 - index));
  --Count;
}

int32_t TList::IndexOf(const void* value) const {
  for (int32_t i = 0; i < Count; ++i) {
    if (Items[i] == value) return i;
  }
  return -1;
}

bool TList::Remove(const void* value) {
  int32_t i = IndexOf(value);
  if (i < 0) return false;
  Delete(i);
  return true;
}

void TList::Clear() {
  std::free(Items);
  Items = nullptr;
  Count = 0;
  capacity_ = 0;
}

TList::~TList() { Clear(); }
