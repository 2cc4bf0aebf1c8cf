// TZvBASS_Record: the recorder element. It opens the sound card's recording input and records 16-bit
// samples either into a wave file or into a memory stream that is handed on after every block.
#pragma once
#include <cstdint>

#include "audio/library/audio_library.h"
#include "runtime/data.h"
#include "runtime/rcstring.h"

class TStream;

class TZvBASS_Record {
public:
  TZvBASS_Record() = default;
  TZvBASS_Record(const TZvBASS_Record&) = delete;
  TZvBASS_Record& operator=(const TZvBASS_Record&) = delete;
  // Stops a recording this element started (joining the library's recording thread), then closes the target.
  ~TZvBASS_Record();

  // The file or memory stream receiving the samples; none before doStart. Owned by the element.
  TStream* Target = nullptr;
  // Properties.
  int32_t Freq = 0;      // recording rate in Hz
  // The channel count minus one.
  enum : int32_t { chMono = 0, chStereo = 1 };
  int32_t Channels = chMono;
  RcString FileName;     // path of the wave file
  bool InMemory = false;  // record into a memory stream instead of a file
  // Data inputs; they win over the properties. ChannelsLink gives a count, not a count minus one.
  TZv_Event ChannelsLink;
  TZv_Event FreqLink;
  TZv_Event FileNameLink;
  // Outputs.
  TZv_Event onError;  // the library's error code (integer)
  TZv_Event onData;   // memory mode: the stream holding just the last block, fired on the library's thread

  // Opens the default recording device; on failure closes it again and reports the library's error code.
  void doInit(TData& data, uint16_t index);
  // Reads rate, channel count and file name, and unless recording already runs, makes the target and
  // starts recording into it. Rate and channel count are used as their low 16 bits.
  void doStart(TData& data, uint16_t index);

  // The record callback: stores or hands on one block. Always asks to go on recording.
  static int32_t AUDIO_CALL Recorded(const void* buffer, uint32_t length, void* user);

private:
  bool recording_ = false;   // the last doStart started a recording
  bool memoryMode_ = false;  // the current target is a memory stream
};
