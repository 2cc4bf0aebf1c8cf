// The recorder element on the library's real engine over simulated devices, on a clock the test sets:
// a second doStart while the recording is stalled leaves the recording, its target and its file alone,
// and the recording thread goes on writing into that target when blocks come again.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "audio/library/audio_engine.h"
#include "audio/recorder.h"
#include "tests/audio/library/simulated_device.h"
#include "tests/runtime/probes.h"

namespace {

std::atomic<int64_t> now{100000};
SimulatedOutput output;
SimulatedInput input;

std::vector<int16_t> Counting(int first, int count) {
  std::vector<int16_t> samples(count);
  for (int i = 0; i < count; ++i) samples[i] = static_cast<int16_t>(first + i);
  return samples;
}

}  // namespace

AudioEngine& LibraryEngine() {
  static AudioEngine engine(output, input, [] { return now.load(); });
  return engine;
}

namespace {

TEST(RecorderOnTheLibrary, SecondStartWhileTheRecordingIsStalledLeavesItAlone) {
  namespace fs = std::filesystem;
  const fs::path file = fs::temp_directory_path() / ("recorder_on_library_" + std::to_string(getpid()) + ".wav");
  TEventsOn events;
  {
    TZvBASS_Record recorder;
    TSink errors;
    recorder.onError = errors.Link();
    recorder.Freq = 1000;
    recorder.Channels = 1;
    recorder.FileName = RcString(file.string().c_str());
    TData none;
    recorder.doInit(none, 0);
    recorder.doStart(none, 0);
    input.Record(Counting(0, 8));
    ASSERT_TRUE(input.WaitForAsks(2));

    now += RecordingEngine::kStallMilliseconds;
    ASSERT_EQ(BASS_ChannelIsActive(AUDIO_RECORD_CHANNEL), AUDIO_STALLED);
    TStream* target = recorder.Target;
    recorder.doStart(none, 0);
    EXPECT_EQ(recorder.Target, target);
    EXPECT_TRUE(errors.Received.empty());

    input.Record(Counting(8, 8));
    ASSERT_TRUE(input.WaitForAsks(3));
  }
  std::ifstream in(file, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  fs::remove(file);
  ASSERT_EQ(bytes.size(), 44u + 32u);
  const std::vector<int16_t> expected = Counting(0, 16);
  EXPECT_EQ(std::vector<char>(bytes.begin() + 44, bytes.end()),
            std::vector<char>(reinterpret_cast<const char*>(expected.data()),
                              reinterpret_cast<const char*>(expected.data() + expected.size())));
}

}  // namespace
