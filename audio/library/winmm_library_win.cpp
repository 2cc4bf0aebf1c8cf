// The program's audio library: one engine over the winmm devices, made at the first library call, with
// its counts published for other processes to read when a test session asks for it.
//
// The engine and its devices are never destroyed. The exit sequence can start on any thread after a fault,
// while another library thread is parked for good by a second fault or while the exiting thread holds one
// of the engine's locks: finalisation that stopped the library would then wait for ever. The process's end
// stops the library's threads instead. A normal end frees the library first (BASS_Free), so nothing of it
// runs while the program's own objects are finalised.
#include "audio/library/audio_engine.h"
#include "audio/library/published_counters.h"
#include "audio/library/winmm_device.h"

AudioEngine& LibraryEngine() {
  static AudioEngine& engine = *new AudioEngine(*new WinmmOutput, *new WinmmInput, SteadyMilliseconds, PublishCounters());
  return engine;
}
