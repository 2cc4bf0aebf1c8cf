// TZvBASS_Global: the audio device element. It opens the sound output device and starts the library's
// output; the device stays open until the element is destroyed.
#pragma once
#include <cstdint>

#include "runtime/data.h"

class TZvBASS_Global {
public:
  TZvBASS_Global() = default;
  TZvBASS_Global(const TZvBASS_Global&) = delete;
  TZvBASS_Global& operator=(const TZvBASS_Global&) = delete;
  // Closes the library (every stream, the recording and both devices, joining the library's threads)
  // when a doInit of this element opened the device, so no callback reaches an element destroyed
  // after this one.
  ~TZvBASS_Global();

  // Properties.
  int32_t Device = 0;  // output device number (0 = default output)
  int32_t Freq = 0;    // output sample rate in Hz
  // Data inputs: optional sources of the rate and the device number; they win over the properties.
  TZv_Event FreqLink;
  TZv_Event DeviceLink;
  // Outputs.
  TZv_Event onError;  // the library's error code (integer)

  // Reads the rate, then the device number, opens the device and reports the library's error code.
  void doInit(TData& data, uint16_t index);
  // Starts the output and reports the library's error code.
  void doStart(TData& data, uint16_t index);

private:
  bool opened_ = false;
};
