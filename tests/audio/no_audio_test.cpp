// Without any sound device, opening the output and the recording input fails, and the elements say so
// through onError with the library's code for a missing device.
#include <gtest/gtest.h>

#include "audio/device.h"
#include "audio/recorder.h"
#include "tests/runtime/probes.h"

namespace {

TEST(AudioWithoutDevice, DeviceAndRecorderReportTheFailureCode) {
  TEventsOn events;
  TSink deviceErrors, recorderErrors;
  TZvBASS_Global device;
  device.Freq = 44100;
  device.onError = deviceErrors.Link();
  TZvBASS_Record recorder;
  recorder.onError = recorderErrors.Link();
  TData none;
  device.doInit(none, 0);
  recorder.doInit(none, 0);
  ASSERT_EQ(deviceErrors.Received.size(), 1u);
  EXPECT_EQ(deviceErrors.Received[0].Kind, dtInteger);
  EXPECT_EQ(deviceErrors.Received[0].IntValue, AUDIO_ERROR_NO_DEVICE);
  // The recorder closes the device again after the failed open; the code still says why the open failed.
  ASSERT_EQ(recorderErrors.Received.size(), 1u);
  EXPECT_EQ(recorderErrors.Received[0].IntValue, AUDIO_ERROR_NO_DEVICE);
}

}  // namespace
