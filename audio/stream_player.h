// TZvBASS_StreamPlayer: plays a stream made elsewhere (its handle read through the Stream link) and
// reports the stream's end through onEnd.
#pragma once
#include <cstdint>

#include "audio/library/audio_library.h"
#include "runtime/data.h"

class TZvBASS_StreamPlayer {
public:
  // The end sync set by the last doPlay; 0 before (or when the library refused the sync).
  AudioHandle SyncHandle = 0;
  // Data inputs.
  TZv_Event Stream;  // source of the stream handle (integer)
  // Outputs.
  TZv_Event onEnd;    // the played stream ended (null value), fired on the library's thread
  TZv_Event onError;  // the library's error code (integer)

  // Plays the stream, replaces this element's pending end sync on it and reports the library's error
  // code once, after the last library call.
  void doPlay(TData& data, uint16_t index);

  // The end sync: fires onEnd on the library's thread.
  static void AUDIO_CALL StreamEnded(AudioHandle sync, AudioHandle channel, uint32_t data, void* user);
};
