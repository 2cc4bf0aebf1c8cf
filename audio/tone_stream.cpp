// TZvBASS_StreamSound: a playback stream whose samples come from the element network.
#include "audio/tone_stream.h"

#include "audio/error_check.h"

void TZvBASS_StreamSound::doCreate(TData&, uint16_t) {
  StreamHandle = BASS_StreamCreate(static_cast<uint32_t>(Freq), 0, &FillBuffer, this);
  CheckLibraryError(onError);
}

void TZvBASS_StreamSound::getStream(TData& data, uint16_t) {
  SetInteger(static_cast<int32_t>(StreamHandle), data);
}

uint32_t AUDIO_CALL TZvBASS_StreamSound::FillBuffer(AudioHandle, void* buffer, uint32_t length, void* user) {
  const auto* self = static_cast<const TZvBASS_StreamSound*>(user);
  auto* bytes = static_cast<uint8_t*>(buffer);
  const uint32_t values = length / 2;
  for (uint32_t k = 0; k < values; ++k) {
    TData value;
    GetLinkData(value, self->Data);
    // Only the low 16 bits are kept: values outside the 16-bit range wrap around, they are not clamped.
    const auto sample = static_cast<uint16_t>(ToInteger(value));
    bytes[2 * k] = static_cast<uint8_t>(sample);
    bytes[2 * k + 1] = static_cast<uint8_t>(sample >> 8);
  }
  return length;
}
