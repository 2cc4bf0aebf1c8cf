// TZvBASS_Global: opening and starting the sound output device.
#include "audio/device.h"

#include "audio/error_check.h"
#include "audio/library/audio_library.h"

namespace {
// The flags the device element opens the output with. What they ask is the library's business; ours
// accepts them and uses none (audio_library.h), so the value only keeps the call as the element makes it.
constexpr uint32_t kInitFlags = 32;
}

TZvBASS_Global::~TZvBASS_Global() {
  if (opened_) BASS_Free();
}

void TZvBASS_Global::doInit(TData& data, uint16_t) {
  const int32_t rate = ReadInteger(data, FreqLink, Freq);
  const int32_t device = ReadInteger(data, DeviceLink, Device);
  if (BASS_Init(device, static_cast<uint32_t>(rate), kInitFlags, nullptr)) opened_ = true;
  CheckLibraryError(onError);
}

void TZvBASS_Global::doStart(TData&, uint16_t) {
  BASS_Start();
  CheckLibraryError(onError);
}
