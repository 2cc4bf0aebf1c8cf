// TZvBASS_StreamSound: the tone stream element. It creates a 16-bit stereo playback stream whose every
// sample value is pulled, one at a time, through its Data link on the library's playback thread.
#pragma once
#include <cstdint>

#include "audio/library/audio_library.h"
#include "runtime/data.h"

class TZvBASS_StreamSound {
public:
  // The library's handle of the stream made by the last doCreate; 0 before (or when creation failed).
  AudioHandle StreamHandle = 0;
  // Properties.
  int32_t Freq = 0;  // sample rate of the stream in Hz
  // Data inputs.
  TZv_Event Data;  // source of every sample value; unconnected gives silence
  // Outputs.
  TZv_Event onError;  // the library's error code (integer)

  // Creates the stream, keeps its handle (also 0) and reports the library's error code. A further call
  // makes a further stream; the earlier one keeps playing.
  void doCreate(TData& data, uint16_t index);
  // Data output Stream: the kept stream handle as an integer.
  void getStream(TData& data, uint16_t index);

  // The stream callback: fills length / 2 signed 16-bit values, each the low 16 bits of one read of
  // Data, and reports the buffer full. Runs on the library's thread; allocates nothing.
  static uint32_t AUDIO_CALL FillBuffer(AudioHandle stream, void* buffer, uint32_t length, void* user);
};
