// The audio library over winmm with no sound device at all (run in a session without a sound server):
// opening output or input fails with the no-device code, and everything after says what is missing.
#include <gtest/gtest.h>

#include "audio/library/audio_library.h"

namespace {

uint32_t AUDIO_CALL Silence(AudioHandle, void*, uint32_t length, void*) { return length; }

TEST(WinmmNoDevice, OutputAndInputReportNoDevice) {
  EXPECT_FALSE(BASS_Init(AUDIO_DEFAULT_OUTPUT, 44100, 32, nullptr));
  EXPECT_EQ(BASS_ErrorGetCode(), AUDIO_ERROR_NO_DEVICE);
  EXPECT_FALSE(BASS_Start());
  EXPECT_EQ(BASS_ErrorGetCode(), AUDIO_ERROR_NOT_INITIALISED);
  EXPECT_EQ(BASS_StreamCreate(44100, 0, &Silence, nullptr), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), AUDIO_ERROR_NOT_INITIALISED);

  EXPECT_FALSE(BASS_RecordInit(AUDIO_DEFAULT_INPUT));
  EXPECT_EQ(BASS_ErrorGetCode(), AUDIO_ERROR_NO_DEVICE);
  // The recorder frees after a failed init and then reads the code: it still tells why.
  BASS_RecordFree();
  EXPECT_EQ(BASS_ErrorGetCode(), AUDIO_ERROR_NO_DEVICE);
  EXPECT_EQ(BASS_RecordStart(44100, 0, nullptr, nullptr), 0u);
  EXPECT_EQ(BASS_ErrorGetCode(), AUDIO_ERROR_NOT_INITIALISED);
  EXPECT_EQ(BASS_ChannelIsActive(AUDIO_RECORD_CHANNEL), AUDIO_STOPPED);
  EXPECT_EQ(BASS_ErrorGetCode(), AUDIO_OK);

  EXPECT_FALSE(BASS_Init(AUDIO_DEFAULT_OUTPUT, 44100, 32, nullptr));
  BASS_Free();
  EXPECT_EQ(BASS_ErrorGetCode(), AUDIO_ERROR_NO_DEVICE);
}

}  // namespace
