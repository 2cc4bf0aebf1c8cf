// The recorder element against the logging fake library: its calls, the wave file it writes (header,
// blocks, size fields, truncation of an older file) and memory mode.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "audio/recorder.h"
#include "tests/audio/fake_audio_library.h"
#include "tests/audio/probes.h"
#include "tests/runtime/probes.h"
#include "toolkit/stream.h"

using ::testing::ElementsAre;
namespace fs = std::filesystem;

namespace {

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class RecorderTest : public ::testing::Test {
protected:
  void SetUp() override {
    Fake = {};
    dir_ = fs::temp_directory_path() / ("recorder_test_" + std::to_string(getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string File(const char* name) const { return (dir_ / name).string(); }
  // The main window's settings: 44100 Hz stereo, here into a file of the test's folder.
  void RecordStereoTo(TZvBASS_Record& recorder, const char* name) const {
    recorder.Freq = 44100;
    recorder.Channels = 1;
    recorder.FileName = RcString(File(name).c_str());
  }
  // Hands one block to the recorder as the library's recording thread would.
  static int32_t Deliver(const std::vector<uint8_t>& block) {
    return Fake.RecordProc(block.data(), static_cast<uint32_t>(block.size()), Fake.RecordUser);
  }

  TEventsOn events;
  fs::path dir_;
};

TEST_F(RecorderTest, InitClosesTheDeviceAgainAndReportsOnlyWhenItFails) {
  TZvBASS_Record recorder;
  TSink errors;
  recorder.onError = errors.Link();
  TData none;
  recorder.doInit(none, 0);
  EXPECT_THAT(Fake.Calls, ElementsAre("BASS_RecordInit(-1)"));

  Fake.Calls.clear();
  Fake.RecordInitResult = 0;
  Fake.ErrorCodes = {1, 2};
  recorder.doInit(none, 0);
  EXPECT_THAT(Fake.Calls,
              ElementsAre("BASS_RecordInit(-1)", "BASS_RecordFree()", "BASS_ErrorGetCode()", "BASS_ErrorGetCode()"));
  ASSERT_EQ(errors.Received.size(), 1u);
  EXPECT_EQ(errors.Received[0].IntValue, 2);
}

TEST_F(RecorderTest, StereoDefaultsGiveHeaderAndLibraryCall) {
  {
    TZvBASS_Record recorder;
    SetFakeUser(&recorder);
    RecordStereoTo(recorder, "stereo.wav");
    TData none;
    recorder.doStart(none, 0);
    EXPECT_THAT(Fake.Calls, ElementsAre("BASS_ChannelIsActive(1)", "BASS_RecordStart(44100, 0, proc, user)"));
  }
  const auto file = ReadFile(File("stereo.wav"));
  ASSERT_EQ(file.size(), 44u);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "RIFF");
  EXPECT_EQ(U32(file, 4), 36u);
  EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(U32(file, 16), 16u);
  EXPECT_EQ(U16(file, 20), 1u);
  EXPECT_EQ(U16(file, 22), 2u);
  EXPECT_EQ(U32(file, 24), 44100u);
  EXPECT_EQ(U32(file, 28), 176400u);
  EXPECT_EQ(U16(file, 32), 4u);
  EXPECT_EQ(U16(file, 34), 16u);
  EXPECT_EQ(std::string(file.begin() + 36, file.begin() + 40), "data");
  EXPECT_EQ(U32(file, 40), 0u);
  // The element stopped the recording it started before it closed the file.
  EXPECT_EQ(Fake.Calls.back(), "BASS_RecordFree()");
}

TEST_F(RecorderTest, MonoAndAWrappedRateFromTheLink) {
  TZvBASS_Record recorder;
  recorder.Channels = 0;
  IntegerSource rate{{70000}};
  recorder.FreqLink = rate.Link();
  recorder.FileName = RcString(File("mono.wav").c_str());
  TData none;
  recorder.doStart(none, 0);
  const auto file = ReadFile(File("mono.wav"));
  ASSERT_EQ(file.size(), 44u);
  EXPECT_EQ(U16(file, 22), 1u);
  EXPECT_EQ(U32(file, 24), 4464u);
  EXPECT_EQ(U32(file, 28), 8928u);
  EXPECT_EQ(U16(file, 32), 2u);
  EXPECT_EQ(Fake.Calls[1].substr(0, 25), "BASS_RecordStart(4464, 2,");
}

TEST_F(RecorderTest, ReadsRateThenChannelsThenNameAndTheChannelsLinkGivesACount) {
  TZvBASS_Record recorder;
  SetFakeUser(&recorder);
  recorder.Channels = 1;  // stereo, but the link wins
  ValueSequence reads;
  reads.Values = {IntegerValue(22050), IntegerValue(1), TData{}};
  reads.Values[2].Kind = dtString;
  reads.Values[2].StrValue = RcString(File("linked.wav").c_str());
  recorder.FreqLink = recorder.ChannelsLink = recorder.FileNameLink = reads.Link();
  TData none;
  recorder.doStart(none, 0);
  EXPECT_THAT(Fake.Calls, ElementsAre("BASS_ChannelIsActive(1)", "BASS_RecordStart(22050, 2, proc, user)"));
  const auto file = ReadFile(File("linked.wav"));
  ASSERT_EQ(file.size(), 44u);
  EXPECT_EQ(U16(file, 22), 1u);
  EXPECT_EQ(U32(file, 24), 22050u);
}

// Running and stalled (running without input) both count as recording.
TEST_F(RecorderTest, SecondStartWhileRecordingDoesNothing) {
  for (const uint32_t running : {AUDIO_PLAYING, AUDIO_STALLED}) {
    TZvBASS_Record recorder;
    recorder.InMemory = true;
    TData none;
    Fake.IsActiveResult = AUDIO_STOPPED;
    recorder.doStart(none, 0);
    TStream* first = recorder.Target;
    Fake.Calls.clear();
    Fake.IsActiveResult = running;
    recorder.doStart(none, 0);
    EXPECT_THAT(Fake.Calls, ElementsAre("BASS_ChannelIsActive(1)")) << running;
    EXPECT_EQ(recorder.Target, first);
  }
}

TEST_F(RecorderTest, BlocksFollowTheHeaderAndTheSizesAreRightAfterEveryBlock) {
  TZvBASS_Record recorder;
  RecordStereoTo(recorder, "blocks.wav");
  TData none;
  recorder.doStart(none, 0);
  const std::vector<uint8_t> a{1, 2, 3, 4, 5, 6, 7, 8}, b{9, 10, 11, 12};
  EXPECT_EQ(Deliver(a), 1);
  auto file = ReadFile(File("blocks.wav"));
  ASSERT_EQ(file.size(), 52u);
  EXPECT_EQ(U32(file, 4), 44u);
  EXPECT_EQ(U32(file, 40), 8u);
  EXPECT_EQ(Deliver(b), 1);
  file = ReadFile(File("blocks.wav"));
  ASSERT_EQ(file.size(), 56u);
  EXPECT_EQ(U32(file, 4), 48u);
  EXPECT_EQ(U32(file, 40), 12u);
  EXPECT_THAT(std::vector<uint8_t>(file.begin() + 44, file.end()), ElementsAre(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12));
}

TEST_F(RecorderTest, AnOlderLongerFileIsReplacedNotOverlaid) {
  {
    std::ofstream old(File("old.wav"), std::ios::binary);
    old << std::string(1000, 'x');
  }
  TZvBASS_Record recorder;
  RecordStereoTo(recorder, "old.wav");
  TData none;
  recorder.doStart(none, 0);
  Deliver({1, 2, 3, 4});
  const auto file = ReadFile(File("old.wav"));
  ASSERT_EQ(file.size(), 48u);
  EXPECT_EQ(U32(file, 40), 4u);
}

TEST_F(RecorderTest, FailedStartReportsAndLeavesTheHeaderAndARetryWritesAgain) {
  TZvBASS_Record recorder;
  TSink errors;
  recorder.onError = errors.Link();
  RecordStereoTo(recorder, "retry.wav");
  Fake.RecordStartResult = 0;
  Fake.ErrorCodes = {3, 3};
  TData none;
  recorder.doStart(none, 0);
  ASSERT_EQ(errors.Received.size(), 1u);
  EXPECT_EQ(errors.Received[0].IntValue, 3);
  EXPECT_EQ(ReadFile(File("retry.wav")).size(), 44u);

  Fake.RecordStartResult = AUDIO_RECORD_CHANNEL;
  recorder.doStart(none, 0);
  Deliver({7, 7, 7, 7});
  const auto file = ReadFile(File("retry.wav"));
  ASSERT_EQ(file.size(), 48u);
  EXPECT_EQ(U32(file, 40), 4u);
}

TEST_F(RecorderTest, AFileThatCannotBeOpenedIsSilent) {
  TZvBASS_Record recorder;
  TSink errors;
  recorder.onError = errors.Link();
  TData none;
  recorder.doStart(none, 0);  // empty name
  EXPECT_FALSE(recorder.Target->IsOpen());
  EXPECT_EQ(Deliver({1, 2, 3, 4}), 1);
  recorder.FileName = RcString(dir_.string().c_str());  // a directory
  recorder.doStart(none, 0);
  EXPECT_FALSE(recorder.Target->IsOpen());
  EXPECT_EQ(Deliver({1, 2, 3, 4}), 1);
  EXPECT_TRUE(errors.Received.empty());
  EXPECT_TRUE(fs::is_directory(dir_));
}

TEST_F(RecorderTest, MemoryModeHandsOnJustTheLastBlockFromItsStart) {
  struct BlockReader {
    std::vector<std::vector<uint8_t>> Blocks;
    void doData(TData& data, uint16_t) {
      ASSERT_EQ(data.Kind, dtStream);
      auto* stream = static_cast<TStream*>(data.Object);
      std::vector<uint8_t> block(static_cast<size_t>(stream->Size()));
      EXPECT_EQ(stream->Position(), 0u);
      stream->Read(block.data(), block.size());
      Blocks.push_back(block);
    }
  } reader;
  TZvBASS_Record recorder;
  recorder.InMemory = true;
  recorder.FileName = RcString(File("unused.wav").c_str());
  recorder.onData = MakeEvent<&BlockReader::doData>(&reader);
  TData none;
  recorder.doStart(none, 0);
  Deliver({1, 2, 3, 4, 5, 6});
  Deliver({7, 8});
  EXPECT_THAT(reader.Blocks, ElementsAre(ElementsAre(1, 2, 3, 4, 5, 6), ElementsAre(7, 8)));
  EXPECT_FALSE(fs::exists(File("unused.wav")));
}

}  // namespace
