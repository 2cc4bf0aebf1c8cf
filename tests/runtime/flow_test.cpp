// Flow elements: hub fan-out, shared data input, event-from-data, memory and the multi-element pair.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/edit_multi.h"
#include "runtime/event_from_data.h"
#include "runtime/get_data.h"
#include "runtime/hub.h"
#include "runtime/memory_element.h"
#include "runtime/multi_element.h"
#include "tests/runtime/probes.h"

namespace {

// Records which receiver ran and what it got, then spoils the value it was given.
struct TSpoiler {
  std::vector<std::string>* Log;
  std::string Name;
  void doReceive(TData& data, uint16_t) {
    Log->push_back(Name + "=" + std::to_string(data.IntValue));
    SetInteger(-1, data);
  }
};

class Flow : public ::testing::Test {
  TEventsOn events_;
};

TEST_F(Flow, HubGivesEveryOutputTheValueAsItArrivedInOrder) {
  std::vector<std::string> log;
  TSpoiler first{&log, "0"}, second{&log, "1"}, third{&log, "2"};
  TZvHub hub;
  hub.SetCount(3);
  hub.onEvent[0] = MakeEvent<&TSpoiler::doReceive>(&first);
  hub.onEvent[1] = MakeEvent<&TSpoiler::doReceive>(&second);
  hub.onEvent[2] = MakeEvent<&TSpoiler::doReceive>(&third);

  TData arriving = IntegerValue(7);
  CallEvent(MakeEvent<&TZvHub::doEvent>(&hub), arriving);
  EXPECT_EQ(log, (std::vector<std::string>{"0=7", "1=7", "2=7"}));
  EXPECT_EQ(arriving.Kind, dtInteger);
  EXPECT_EQ(arriving.IntValue, 7);
}

TEST_F(Flow, HubWithoutOutputsDoesNothingAndSkipsUnconnectedOnes) {
  std::vector<std::string> log;
  TSpoiler only{&log, "2"};
  TZvHub hub;
  hub.SetCount(0);
  FireInteger(MakeEvent<&TZvHub::doEvent>(&hub), 1);
  EXPECT_TRUE(log.empty());

  hub.SetCount(3);
  EXPECT_EQ(hub.OutCount, 3);
  hub.onEvent[2] = MakeEvent<&TSpoiler::doReceive>(&only);
  FireInteger(MakeEvent<&TZvHub::doEvent>(&hub), 4);
  EXPECT_EQ(log, std::vector<std::string>{"2=4"});
}

// A forward hands the receiver the caller's own value: what the receiver leaves in it is the caller's.
TEST_F(Flow, MemoryForwardsItsValueInTheCallersValue) {
  std::vector<std::string> log;
  TSpoiler afterMemory{&log, "stored"}, nextOutput{&log, "next"};
  TZvMemory memory;
  memory.onData = MakeEvent<&TSpoiler::doReceive>(&afterMemory);
  TZvHub hub;
  hub.SetCount(2);
  hub.onEvent[0] = MakeEvent<&TZvMemory::doValue>(&memory);
  hub.onEvent[1] = MakeEvent<&TSpoiler::doReceive>(&nextOutput);

  FireInteger(MakeEvent<&TZvHub::doEvent>(&hub), 12);
  EXPECT_EQ(log, (std::vector<std::string>{"stored=12", "next=12"}));
  TData direct = IntegerValue(5);
  CallEvent(MakeEvent<&TZvMemory::doValue>(&memory), direct);
  EXPECT_EQ(direct.Kind, dtInteger);
  EXPECT_EQ(direct.IntValue, -1);
  TData read;
  CallEvent(MakeEvent<&TZvMemory::getValue>(&memory), read);
  EXPECT_EQ(read.Kind, dtInteger);
  EXPECT_EQ(read.IntValue, 5);
}

TEST_F(Flow, MemoryWithoutReceiverLeavesTheStoredValueWithTheCaller) {
  TZvMemory memory;
  TData read = IntegerValue(3);
  CallEvent(MakeEvent<&TZvMemory::getValue>(&memory), read);
  EXPECT_EQ(read.Kind, dtNull);

  TData value;
  value.Kind = dtString;
  value.StrValue = "2.5";
  CallEvent(MakeEvent<&TZvMemory::doValue>(&memory), value);
  EXPECT_EQ(value.Kind, dtString);
  EXPECT_EQ(memory.Value.Kind, dtString);
  EXPECT_EQ(memory.Value.StrValue.c_str(), value.StrValue.c_str());
}

// Stands in for a chain that computes a new value on demand and stores it back into the element.
struct TCounterChain {
  TZvEventFromData* Element;
  int32_t Count = 0;
  void doCompute(TData&, uint16_t) { FireInteger(MakeEvent<&TZvEventFromData::doData>(Element), ++Count); }
};

TEST_F(Flow, EventFromDataFiresOnEveryReadBeforeHandingOutTheValue) {
  TZvEventFromData element;
  TCounterChain chain{&element};
  element.onEvent = MakeEvent<&TCounterChain::doCompute>(&chain);
  const TZv_Event reader = MakeEvent<&TZvEventFromData::getValue>(&element);

  TData first, second;
  CallEvent(reader, first);
  CallEvent(reader, second);
  EXPECT_EQ(chain.Count, 2);
  EXPECT_EQ(first.IntValue, 1);
  EXPECT_EQ(second.IntValue, 2);
}

TEST_F(Flow, EventFromDataStoresFromItsDataInputOrUsesUpTheArrivingValue) {
  TZvEventFromData element;
  const TZv_Event store = MakeEvent<&TZvEventFromData::doData>(&element);
  TData arriving = RealValue(1.5);
  CallEvent(store, arriving);
  EXPECT_EQ(arriving.Kind, dtNull);
  EXPECT_EQ(element.Value.Kind, dtReal);
  EXPECT_EQ(element.Value.RealValue, 1.5);

  TSource source;
  source.SetInteger(8);
  element.Data = source.Link();
  arriving = RealValue(2.5);
  CallEvent(store, arriving);
  EXPECT_EQ(arriving.Kind, dtReal);
  EXPECT_EQ(element.Value.Kind, dtInteger);
  EXPECT_EQ(element.Value.IntValue, 8);
}

TEST_F(Flow, GetDataReadsItsSourceAfreshForEveryReader) {
  TSource source;
  TZvGetData shared;
  shared.Count = 2;
  TData unconnected = IntegerValue(5);
  CallEvent(MakeEvent<&TZvGetData::getVar>(&shared, 0), unconnected);
  EXPECT_EQ(unconnected.Kind, dtNull);

  shared.Data = source.Link();
  source.SetReal(10.0);
  TData first;
  CallEvent(MakeEvent<&TZvGetData::getVar>(&shared, 0), first);
  source.SetReal(6.0);
  TData second;
  CallEvent(MakeEvent<&TZvGetData::getVar>(&shared, 1), second);
  EXPECT_EQ(source.Reads, 2);
  EXPECT_EQ(first.RealValue, 10.0);
  EXPECT_EQ(second.RealValue, 6.0);
}

// A small inner schematic: a door with two outputs, each wired to a sink.
struct TTestInner {
  TZvEditMulti Door;
  TSink Sinks[2];
};

std::vector<std::unique_ptr<TTestInner>> builtInners;
std::vector<TControl*> factoryParents;

TZvEditMulti* BuildTestInner(TControl* parent) {
  factoryParents.push_back(parent);
  builtInners.push_back(std::make_unique<TTestInner>());
  TTestInner& inner = *builtInners.back();
  inner.Door.SetEventCount(2);
  inner.Door.SetDataCount(0);
  inner.Door.onEvent[0] = inner.Sinks[0].Link();
  inner.Door.onEvent[1] = inner.Sinks[1].Link();
  inner.Door.Owner = &inner;
  return &inner.Door;
}

class MultiElement : public ::testing::Test {
protected:
  void SetUp() override {
    builtInners.clear();
    factoryParents.clear();
  }
  int parentToken_ = 0;
  TControl* const parent_ = reinterpret_cast<TControl*>(&parentToken_);
};

TEST_F(MultiElement, ModeZeroBuildsTheInnerSchematicOnceWhenTheFactoryIsSet) {
  TEventsOn events;
  TZvMultiElement multi(parent_);
  multi.Mode = 0;
  multi.SetEventCount(0);
  multi.SetDataCount(0);
  multi.SetFactory(&BuildTestInner);
  ASSERT_EQ(builtInners.size(), 1u);
  EXPECT_EQ(factoryParents, std::vector<TControl*>{parent_});
  TTestInner& inner = *builtInners[0];
  EXPECT_EQ(multi.Inner, &inner.Door);
  EXPECT_EQ(inner.Door.Outer, &multi);

  FireReal(MakeEvent<&TZvMultiElement::doWork>(&multi, 1), 0.5);
  FireInteger(MakeEvent<&TZvMultiElement::doWork>(&multi, 0), 3);
  EXPECT_EQ(builtInners.size(), 1u);
  ASSERT_EQ(inner.Sinks[0].Received.size(), 1u);
  ASSERT_EQ(inner.Sinks[1].Received.size(), 1u);
  EXPECT_EQ(inner.Sinks[0].Received[0].IntValue, 3);
  EXPECT_EQ(inner.Sinks[1].Received[0].RealValue, 0.5);
}

TEST_F(MultiElement, OtherModesBuildOnTheFirstInputEvenWhileDeliveryIsOff) {
  TZvMultiElement multi(parent_);
  multi.Mode = 1;
  multi.SetFactory(&BuildTestInner);
  EXPECT_TRUE(builtInners.empty());

  TData value = IntegerValue(1);
  multi.doWork(value, 0);
  ASSERT_EQ(builtInners.size(), 1u);
  EXPECT_TRUE(builtInners[0]->Sinks[0].Received.empty());

  TEventsOn events;
  FireInteger(MakeEvent<&TZvMultiElement::doWork>(&multi, 0), 2);
  EXPECT_EQ(builtInners.size(), 1u);
  EXPECT_EQ(builtInners[0]->Sinks[0].Received.size(), 1u);
}

TEST_F(MultiElement, InputsWithoutAnInnerOutputOrFactoryDeliverNothing) {
  TEventsOn events;
  TZvMultiElement withoutFactory(parent_);
  FireInteger(MakeEvent<&TZvMultiElement::doWork>(&withoutFactory, 0), 1);
  EXPECT_EQ(withoutFactory.Inner, nullptr);

  TZvMultiElement multi(parent_);
  multi.SetFactory(&BuildTestInner);
  FireInteger(MakeEvent<&TZvMultiElement::doWork>(&multi, 2), 1);
  ASSERT_EQ(builtInners.size(), 1u);
  EXPECT_TRUE(builtInners[0]->Sinks[0].Received.empty());
  EXPECT_TRUE(builtInners[0]->Sinks[1].Received.empty());
}

}  // namespace
