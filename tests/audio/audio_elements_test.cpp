// The audio device, tone stream and stream player elements against the logging fake library: the calls
// they make, in order and with which arguments, and what they fire.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "audio/device.h"
#include "audio/stream_player.h"
#include "audio/tone_stream.h"
#include "tests/audio/fake_audio_library.h"
#include "tests/audio/probes.h"
#include "tests/runtime/probes.h"

using ::testing::ElementsAre;

namespace {

class AudioElementTest : public ::testing::Test {
protected:
  void SetUp() override { Fake = {}; }
  TEventsOn events;
};

std::vector<int32_t> Integers(const TSink& r) {
  std::vector<int32_t> out;
  for (const TData& d : r.Received) out.push_back(d.Kind == dtInteger ? d.IntValue : -12345);
  return out;
}

TEST_F(AudioElementTest, DeviceInitReadsRateThenDeviceAndReportsNothingWithoutError) {
  TSink errors;
  {
    TZvBASS_Global device;
    device.Freq = 44100;
    device.onError = errors.Link();
    TData incoming;
    SetInteger(3, incoming);  // the rate has a non-zero property, so the device read takes it
    device.doInit(incoming, 0);
    EXPECT_EQ(incoming.Kind, dtNull);
    Fake.Calls.push_back("--");

    // One source behind both links: the first read gets the first value.
    IntegerSource reads{{48000, 2}};
    device.FreqLink = device.DeviceLink = reads.Link();
    TData none;
    device.doInit(none, 0);
  }
  EXPECT_THAT(Fake.Calls, ElementsAre("BASS_Init(3, 44100, 32, 0)", "BASS_ErrorGetCode()", "--",
                                      "BASS_Init(2, 48000, 32, 0)", "BASS_ErrorGetCode()", "BASS_Free()"));
  EXPECT_TRUE(errors.Received.empty());
}

TEST_F(AudioElementTest, DeviceErrorCheckFiresTheSecondCodeOncePerOperation) {
  TZvBASS_Global device;
  TSink errors;
  device.onError = errors.Link();
  Fake.InitResult = 0;
  Fake.ErrorCodes = {1, 9, -1, -1};
  TData none;
  device.doInit(none, 0);
  device.doStart(none, 0);  // also without a successful doInit
  device.doStart(none, 0);
  EXPECT_THAT(Integers(errors), ElementsAre(9, -1));
  EXPECT_THAT(Fake.Calls, ElementsAre("BASS_Init(0, 0, 32, 0)", "BASS_ErrorGetCode()", "BASS_ErrorGetCode()",
                                      "BASS_Start()", "BASS_ErrorGetCode()", "BASS_ErrorGetCode()", "BASS_Start()",
                                      "BASS_ErrorGetCode()"));
}

TEST_F(AudioElementTest, DeviceThatNeverOpenedLeavesTheLibraryAlone) {
  Fake.InitResult = 0;
  {
    TZvBASS_Global device;
    TData none;
    device.doInit(none, 0);
  }
  EXPECT_THAT(Fake.Calls, ElementsAre("BASS_Init(0, 0, 32, 0)", "BASS_ErrorGetCode()"));
}

TEST_F(AudioElementTest, ToneStreamCreatesWithItsRateAndOffersTheHandle) {
  TZvBASS_StreamSound tone;
  SetFakeUser(&tone);
  tone.Freq = 44100;
  TData value;
  tone.getStream(value, 0);
  EXPECT_EQ(value.Kind, dtInteger);
  EXPECT_EQ(value.IntValue, 0);

  Fake.StreamCreateResult = 0x80000001u;
  TData incoming;
  SetInteger(22050, incoming);  // ignored: the rate comes from the property only
  tone.doCreate(incoming, 0);
  tone.getStream(value, 0);
  EXPECT_EQ(static_cast<uint32_t>(value.IntValue), 0x80000001u);
  EXPECT_THAT(Fake.Calls, ElementsAre("BASS_StreamCreate(44100, 0, proc, user)", "BASS_ErrorGetCode()"));
  EXPECT_EQ(Fake.StreamUser, &tone);
}

TEST_F(AudioElementTest, FailedToneStreamKeepsHandleZeroAndReportsTheCode) {
  TZvBASS_StreamSound tone;
  TSink errors;
  tone.onError = errors.Link();
  tone.StreamHandle = 7;
  Fake.StreamCreateResult = 0;
  Fake.ErrorCodes = {5, 5};
  TData none;
  tone.doCreate(none, 0);
  TData value;
  tone.getStream(value, 0);
  EXPECT_EQ(value.IntValue, 0);
  EXPECT_THAT(Integers(errors), ElementsAre(5));
}

TEST_F(AudioElementTest, ToneCallbackReadsDataOncePerValueAndKeepsTheLow16Bits) {
  TZvBASS_StreamSound tone;
  IntegerSource source{{32768, -1, 65537, -32769, 100}};
  tone.Data = source.Link();
  std::vector<uint8_t> buffer(4097, 0xAB);
  const uint32_t filled = TZvBASS_StreamSound::FillBuffer(1, buffer.data(), 4097, &tone);
  EXPECT_EQ(filled, 4097u);
  EXPECT_EQ(source.Reads, 2048);
  const std::vector<uint8_t> head(buffer.begin(), buffer.begin() + 12);
  EXPECT_THAT(head, ElementsAre(0x00, 0x80, 0xFF, 0xFF, 0x01, 0x00, 0xFF, 0x7F, 100, 0, 100, 0));
  EXPECT_EQ(buffer[4096], 0xAB);  // the odd last byte is left alone
}

TEST_F(AudioElementTest, UnconnectedOrSilencedToneDataGivesSilence) {
  TZvBASS_StreamSound tone;
  std::vector<uint8_t> buffer(64, 0xAB);
  EXPECT_EQ(TZvBASS_StreamSound::FillBuffer(1, buffer.data(), 64, &tone), 64u);
  EXPECT_EQ(buffer, std::vector<uint8_t>(64, 0));

  IntegerSource source{{1234}};
  tone.Data = source.Link();
  StopEvents();  // delivery off: every read finds nothing
  std::fill(buffer.begin(), buffer.end(), 0xAB);
  TZvBASS_StreamSound::FillBuffer(1, buffer.data(), 64, &tone);
  EXPECT_EQ(buffer, std::vector<uint8_t>(64, 0));
  EXPECT_EQ(source.Reads, 0);
}

TEST_F(AudioElementTest, PlayerReplacesItsEndSyncOnTheSameStream) {
  TZvBASS_StreamSound tone;
  tone.StreamHandle = 0x100;
  TZvBASS_StreamPlayer player;
  SetFakeUser(&player);
  player.Stream = MakeEvent<&TZvBASS_StreamSound::getStream>(&tone);
  TData none;
  player.doPlay(none, 0);
  Fake.SetSyncResult = 0x201;
  player.doPlay(none, 0);
  EXPECT_EQ(player.SyncHandle, 0x201u);
  EXPECT_THAT(Fake.Calls,
              ElementsAre("BASS_StreamPlay(256, 0, 0)", "BASS_ChannelSetSync(256, 0x80000002, 0, proc, user)",
                          "BASS_ErrorGetCode()", "BASS_StreamPlay(256, 0, 0)", "BASS_ChannelRemoveSync(256, 512)",
                          "BASS_ChannelSetSync(256, 0x80000002, 0, proc, user)", "BASS_ErrorGetCode()"));
}

TEST_F(AudioElementTest, PlayerWithoutStreamLinkUsesTheIncomingValueOrZero) {
  TZvBASS_StreamPlayer player;
  SetFakeUser(&player);
  TSink errors;
  player.onError = errors.Link();
  TData incoming;
  SetInteger(77, incoming);
  player.doPlay(incoming, 0);
  Fake.SetSyncResult = 0;
  Fake.ErrorCodes = {4, 4};
  TData none;
  player.doPlay(none, 0);
  EXPECT_EQ(player.SyncHandle, 0u);
  EXPECT_THAT(Fake.Calls,
              ElementsAre("BASS_StreamPlay(77, 0, 0)", "BASS_ChannelSetSync(77, 0x80000002, 0, proc, user)",
                          "BASS_ErrorGetCode()", "BASS_StreamPlay(0, 0, 0)", "BASS_ChannelRemoveSync(0, 512)",
                          "BASS_ChannelSetSync(0, 0x80000002, 0, proc, user)", "BASS_ErrorGetCode()",
                          "BASS_ErrorGetCode()"));
  EXPECT_THAT(Integers(errors), ElementsAre(4));
}

TEST_F(AudioElementTest, EndSyncFiresOnEndWithNull) {
  TZvBASS_StreamPlayer player;
  TSink ends;
  player.onEnd = ends.Link();
  TData none;
  player.doPlay(none, 0);
  Fake.SyncProc(0x200, 0x100, 0, Fake.SyncUser);
  ASSERT_EQ(ends.Received.size(), 1u);
  EXPECT_EQ(ends.Received[0].Kind, dtNull);
}

}  // namespace
