// The program's audio library: one engine over the winmm devices, made at the first library call, with
// its counts published for other processes to read.
#include "audio/library/audio_engine.h"
#include "audio/library/published_counters.h"
#include "audio/library/winmm_device.h"

AudioEngine& LibraryEngine() {
  static WinmmOutput output;
  static WinmmInput input;
  static AudioEngine engine(output, input, SteadyMilliseconds, PublishCounters());
  return engine;
}
