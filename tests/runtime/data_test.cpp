// Links, the dispatcher switch, firing, forward chains, the reading rule of data inputs and the
// conversions of a value.
#include "runtime/data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "tests/runtime/probes.h"

namespace {

// Adds one to the integer it receives and forwards it to its own output, as a pass-through element does.
struct Incrementer {
  TZv_Event onResult;
  std::vector<int32_t> seen;
  std::vector<uintptr_t> frames;

  void doEvent(TData& data, uint16_t) {
    seen.push_back(data.IntValue);
    frames.push_back(reinterpret_cast<uintptr_t>(__builtin_frame_address(0)));
    TData next;
    SetInteger(data.IntValue + 1, next);
    ForwardData(data, &onResult, next);
  }
};

class Runtime : public ::testing::Test {
protected:
  TEventsOn events;
  TSink sink;
  TSource source;
  TZv_Event toProbe = sink.Link(3);
  TZv_Event fromProbe = source.Link();
  TZv_Event unconnected;
};

// A data output that works on the value it is handed.
struct Doubler {
  void doValue(TData& data, uint16_t) { SetInteger(data.IntValue * 2, data); }
};

}  // namespace

TEST_F(Runtime, DeliveryFollowsTheDispatcherSwitch) {
  source.Value = IntegerValue(9);
  TData incoming;
  StopEvents();
  FireInteger(toProbe, 1);
  EXPECT_EQ(ReadInteger(incoming, fromProbe, 0), 0);
  EXPECT_TRUE(sink.Received.empty());

  StartEvents();
  FireInteger(toProbe, 2);
  EXPECT_EQ(ReadInteger(incoming, fromProbe, 0), 9);
  ASSERT_EQ(sink.Received.size(), 1u);
  EXPECT_EQ(sink.Received[0].IntValue, 2);
  EXPECT_EQ(sink.Indexes[0], 3);

  StopEvents();
  FireInteger(toProbe, 3);
  TData kept = IntegerValue(4);
  GetLinkData(kept, fromProbe);
  EXPECT_EQ(ReadString(incoming, fromProbe, RcString()).str(), "");
  EXPECT_EQ(sink.Received.size(), 1u);
  EXPECT_EQ(kept.Kind, dtInteger);
  EXPECT_EQ(kept.IntValue, 4);
}

TEST_F(Runtime, FiringSendsAFreshValueOfEachKind) {
  TStream* stream = reinterpret_cast<TStream*>(&sink);
  FireNull(toProbe);
  FireReal(toProbe, 0.25);
  FireStream(toProbe, stream);
  FireInteger(unconnected, 5);
  ASSERT_EQ(sink.Received.size(), 3u);
  EXPECT_EQ(sink.Received[0].Kind, dtNull);
  EXPECT_EQ(sink.Received[1].Kind, dtReal);
  EXPECT_EQ(sink.Received[1].RealValue, 0.25);
  EXPECT_EQ(sink.Received[2].Kind, dtStream);
  EXPECT_EQ(sink.Received[2].Object, stream);
  for (const TData& data : sink.Received) EXPECT_TRUE(data.StrValue.empty());
}

TEST_F(Runtime, ForwardTowardAnUnconnectedLinkEndsInTheSendersValue) {
  Incrementer last;
  TZv_Event toLast = MakeEvent<&Incrementer::doEvent>(&last);
  TData value = IntegerValue(41);
  CallEvent(toLast, value);
  EXPECT_EQ(value.Kind, dtInteger);
  EXPECT_EQ(value.IntValue, 42);
}

TEST_F(Runtime, ForwardChainRunsInOneDispatcherCall) {
  std::vector<Incrementer> chain(1000);
  for (size_t i = 0; i + 1 < chain.size(); ++i)
    chain[i].onResult = MakeEvent<&Incrementer::doEvent>(&chain[i + 1]);
  chain.back().onResult = toProbe;
  FireInteger(MakeEvent<&Incrementer::doEvent>(&chain[0]), 0);

  ASSERT_EQ(sink.Received.size(), 1u);
  EXPECT_EQ(sink.Received[0].Kind, dtInteger);
  EXPECT_EQ(sink.Received[0].IntValue, 1000);
  std::vector<uintptr_t> frames;
  for (size_t i = 0; i < chain.size(); ++i) {
    ASSERT_EQ(chain[i].seen, std::vector<int32_t>{static_cast<int32_t>(i)});
    frames.push_back(chain[i].frames[0]);
  }
  // Nested calls would move each step's frame deeper; a loop calls every step from the same depth.
  const auto [low, high] = std::minmax_element(frames.begin(), frames.end());
  EXPECT_LT(*high - *low, 256u);
}

TEST_F(Runtime, ForwardingAnAlreadyFlaggedValueKeepsTheRequest) {
  TData flagged;
  ForwardData(flagged, &toProbe, IntegerValue(6));
  TData again;
  ForwardData(again, &toProbe, flagged);
  EXPECT_EQ(again.Kind, dtInteger | dtForward);
  EXPECT_EQ(again.Next, &toProbe);
}

TEST_F(Runtime, GetLinkDataPassesTheCallersValueUncleared) {
  Doubler doubler;
  TData data = IntegerValue(21);
  GetLinkData(data, MakeEvent<&Doubler::doValue>(&doubler));
  EXPECT_EQ(data.IntValue, 42);
  GetLinkData(data, unconnected);
  EXPECT_EQ(data.Kind, dtNull);
}

TEST_F(Runtime, ReadIntegerPrecedence) {
  TData incoming = IntegerValue(7);
  EXPECT_EQ(ReadInteger(incoming, unconnected, 5), 5);
  EXPECT_EQ(incoming.Kind, dtInteger);

  source.Value = IntegerValue(9);
  EXPECT_EQ(ReadInteger(incoming, fromProbe, 5), 9);
  EXPECT_EQ(incoming.Kind, dtInteger);

  EXPECT_EQ(ReadInteger(incoming, unconnected, 0), 7);
  EXPECT_EQ(incoming.Kind, dtNull);
  EXPECT_EQ(ReadInteger(incoming, unconnected, 0), 0);
}

TEST_F(Runtime, ReadRealAndReadStringConvertWhatTheyTake) {
  TData incoming = TextValue("2e3");
  EXPECT_EQ(ReadReal(incoming, unconnected, 0.0), 2000.0);
  EXPECT_EQ(ReadReal(incoming, unconnected, 0.0), 0.0);
  EXPECT_EQ(ReadReal(incoming, unconnected, 1.5), 1.5);

  incoming = RealValue(0.1 + 0.2);
  EXPECT_EQ(ReadString(incoming, unconnected, "fixed").str(), "fixed");
  EXPECT_EQ(ReadString(incoming, unconnected, RcString()).str(), "0.3");
  EXPECT_EQ(incoming.Kind, dtNull);

  source.Value = IntegerValue(-12);
  EXPECT_EQ(ReadString(incoming, fromProbe, "fixed").str(), "-12");
  source.Value = TData();
  EXPECT_EQ(ReadReal(incoming, fromProbe, 1.5), 0.0);
}

TEST_F(Runtime, ReadDataCopiesEvenANullIncomingValue) {
  TData incoming;
  EXPECT_EQ(ReadData(incoming, unconnected, nullptr).Kind, dtNull);

  incoming = TextValue("level");
  const char* shared = incoming.StrValue.c_str();
  TData nullDefault;
  TData read = ReadData(incoming, unconnected, &nullDefault);
  EXPECT_EQ(read.Kind, dtString);
  EXPECT_EQ(read.StrValue.c_str(), shared);
  EXPECT_EQ(incoming.Kind, dtNull);

  incoming = IntegerValue(1);
  TData fallback = RealValue(2.5);
  EXPECT_EQ(ReadData(incoming, unconnected, &fallback).RealValue, 2.5);
  EXPECT_EQ(incoming.Kind, dtInteger);

  source.Value = IntegerValue(8);
  EXPECT_EQ(ReadData(incoming, fromProbe, &fallback).IntValue, 8);
  EXPECT_EQ(incoming.Kind, dtInteger);
}

TEST_F(Runtime, ReadBitmapTakesOnlyBitmaps) {
  TBitmap* picture = reinterpret_cast<TBitmap*>(&sink);
  TBitmap* other = reinterpret_cast<TBitmap*>(&fromProbe);
  TData incoming = IntegerValue(1);
  EXPECT_EQ(ReadBitmap(incoming, unconnected, nullptr), nullptr);
  EXPECT_EQ(incoming.Kind, dtInteger);

  incoming.Kind = dtBitmap;
  incoming.Object = picture;
  EXPECT_EQ(ReadBitmap(incoming, unconnected, other), other);
  EXPECT_EQ(ReadBitmap(incoming, unconnected, nullptr), picture);
  EXPECT_EQ(incoming.Kind, dtNull);

  source.Value = IntegerValue(1);
  EXPECT_EQ(ReadBitmap(incoming, fromProbe, other), nullptr);
  source.Value.Kind = dtBitmap;
  source.Value.Object = picture;
  EXPECT_EQ(ReadBitmap(incoming, fromProbe, other), picture);
}

TEST(ValueConversion, ByKindWithAnyOtherKindAsNoValue) {
  TData stream;
  stream.Kind = dtStream;
  stream.IntValue = 5;
  TData flagged = IntegerValue(5);
  flagged.Kind |= dtForward;

  EXPECT_EQ(ToInteger(TextValue("-12abc")), -12);
  EXPECT_EQ(ToInteger(RealValue(-3.5)), -4);
  EXPECT_EQ(ToReal(IntegerValue(-3)), -3.0);
  EXPECT_EQ(ToReal(TextValue("12.5")), 12.5);
  EXPECT_EQ(ToString(RealValue(100)).str(), "100");
  EXPECT_EQ(ToString(IntegerValue(INT32_MIN)).str(), "-2147483648");
  for (const TData& none : {stream, flagged, TData()}) {
    EXPECT_EQ(ToInteger(none), 0);
    EXPECT_EQ(ToReal(none), 0.0);
    EXPECT_EQ(ToString(none).str(), "");
  }
}
