// Reference counting, destruction order and list growth of the toolkit's base objects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/recorder.h"
#include "toolkit/list.h"
#include "toolkit/obj.h"

namespace {

// Records its own destruction in a shared journal.
class Probe : public TObj {
public:
  Probe(std::vector<std::string>* journal, std::string name) : journal_(journal), name_(std::move(name)) {}
  void Init() override { journal_->push_back(name_ + ".init"); }

protected:
  ~Probe() override { journal_->push_back(name_ + ".dtor"); }

private:
  std::vector<std::string>* journal_;
  std::string name_;
};

// Journals the owner's destruction hooks.
struct Hooks : TRecorder {
  void OnDestroy(TObj*) { Add("onDestroy"); }
};

void LogA(void* hooks) { static_cast<Hooks*>(hooks)->Add("a"); }
void LogB(void* hooks) { static_cast<Hooks*>(hooks)->Add("b"); }

TEST(TObj, CreationRunsInitAndFreeOfUnreferencedObjectDestroysAtOnce) {
  std::vector<std::string> journal;
  Probe* p = NewObj<Probe>(&journal, "p");
  EXPECT_EQ(journal, (std::vector<std::string>{"p.init"}));
  p->Free();
  EXPECT_EQ(journal, (std::vector<std::string>{"p.init", "p.dtor"}));
}

TEST(TObj, FreeWhileReferencedIsDeferredToTheLastRefDec) {
  std::vector<std::string> journal;
  Probe* p = NewObj<Probe>(&journal, "p");
  p->RefInc();
  p->RefInc();
  p->Free();
  EXPECT_EQ(p->RefCount, 3);
  p->Free();  // a second request changes nothing
  EXPECT_EQ(p->RefCount, 3);
  p->RefDec();
  EXPECT_EQ(journal.size(), 1u);
  p->RefDec();
  EXPECT_EQ(journal.back(), "p.dtor");
}

TEST(TObj, RefDecWithoutFreeRequestKeepsTheObject) {
  std::vector<std::string> journal;
  Probe* p = NewObj<Probe>(&journal, "p");
  p->RefInc();
  p->RefDec();
  EXPECT_EQ(p->RefCount, 0);
  EXPECT_EQ(journal.size(), 1u);
  p->Free();
  EXPECT_EQ(journal.back(), "p.dtor");
}

TEST(TObj, OnDestroyRunsFirstThenAutoFreeInOrderThenDestructor) {
  std::vector<std::string> journal;
  Hooks hooks;
  Probe* owner = NewObj<Probe>(&journal, "owner");
  Probe* child = NewObj<Probe>(&journal, "child");
  owner->OnDestroy = MakeMethod<&Hooks::OnDestroy>(&hooks);
  owner->Add2AutoFreeEx(&LogA, &hooks);
  owner->Add2AutoFree(child);
  owner->Add2AutoFreeEx(&LogB, &hooks);
  journal.clear();
  owner->Free();
  ExpectSequence(hooks, {"onDestroy", "a", "b"}, "owner's destruction hooks");
  // The child went between a and b, before the owner's own destructor.
  EXPECT_EQ(journal, (std::vector<std::string>{"child.dtor", "owner.dtor"}));
}

TEST(TList, NewListGrowsByFourAndTheFifthAddReallocatesToEight) {
  TList* list = NewList();
  EXPECT_EQ(list->Capacity(), 0);
  EXPECT_EQ(list->Items, nullptr);
  int values[5];
  for (int i = 0; i < 4; ++i) list->Add(&values[i]);
  EXPECT_EQ(list->Capacity(), 4);
  list->Add(&values[4]);
  EXPECT_EQ(list->Capacity(), 8);
  ASSERT_EQ(list->Count, 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(list->Items[i], &values[i]);
  list->Free();
}

TEST(TList, AddByZeroBecomesFour) {
  TList* list = NewObj<TList>();
  EXPECT_EQ(list->AddBy, 0);
  list->Add(nullptr);
  EXPECT_EQ(list->AddBy, 4);
  EXPECT_EQ(list->Capacity(), 4);
  list->Free();
}

TEST(TList, InsertAtCountAppendsAndAtZeroShiftsEverythingUp) {
  TList* list = NewList();
  int a, b, c, d;
  list->Add(&a);
  list->Add(&b);
  list->Insert(list->Count, &c);
  ASSERT_EQ(list->Count, 3);
  EXPECT_EQ(list->Items[2], &c);
  list->Insert(0, &d);
  ASSERT_EQ(list->Count, 4);
  EXPECT_EQ(list->Items[0], &d);
  EXPECT_EQ(list->Items[1], &a);
  EXPECT_EQ(list->Items[2], &b);
  EXPECT_EQ(list->Items[3], &c);
  list->Free();
}

TEST(TList, CapacityIsNeverBelowCountAndKeepsEntries) {
  TList* list = NewList();
  int v[6];
  for (int& x : v) list->Add(&x);
  list->SetCapacity(2);
  EXPECT_EQ(list->Capacity(), 6);
  list->SetCapacity(100);
  EXPECT_EQ(list->Capacity(), 100);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(list->Items[i], &v[i]);
  list->Clear();
  EXPECT_EQ(list->Count, 0);
  EXPECT_EQ(list->Capacity(), 0);
  EXPECT_EQ(list->Items, nullptr);
  list->Add(&v[0]);  // usable again after Clear
  EXPECT_EQ(list->Items[0], &v[0]);
  list->Free();
}

TEST(TList, RemoveDeletesTheFirstMatchOnly) {
  TList* list = NewList();
  int a, b;
  list->Add(&a);
  list->Add(&b);
  list->Add(&a);
  EXPECT_TRUE(list->Remove(&a));
  ASSERT_EQ(list->Count, 2);
  EXPECT_EQ(list->Items[0], &b);
  EXPECT_EQ(list->Items[1], &a);
  EXPECT_EQ(list->IndexOf(&a), 1);
  EXPECT_FALSE(list->Remove(&list));
  list->Free();
}

}  // namespace
