// TList: the toolkit's growable list of pointer-sized entries.
#pragma once
#include <cstdint>

#include "toolkit/obj.h"

class TList : public TObj {
public:
  // Storage of Capacity entries, null while Capacity is 0. Entries 0 .. Count-1 are in use and are read
  // without a range check.
  void** Items = nullptr;
  int32_t Count = 0;
  int32_t AddBy = 0;

  int32_t Capacity() const { return capacity_; }
  // A request below Count is raised to Count; the entries are kept.
  void SetCapacity(int32_t value);
  void Add(void* value);
  void Insert(int32_t index, void* value);
  // Removes the entry at index, moving the later ones down.
  void Delete(int32_t index);
  // Index of the first entry equal to value, or -1.
  int32_t IndexOf(const void* value) const;
  // Deletes the first entry equal to value; returns whether one was found.
  bool Remove(const void* value);
  void Clear();

protected:
  ~TList() override;

private:
  int32_t capacity_ = 0;
};

// A new empty list that grows by 4 entries at a time.
TList* NewList();
