// The audio elements' error check.
#include "audio/error_check.h"

#include "audio/library/audio_library.h"

void CheckLibraryError(const TZv_Event& onError) {
  if (BASS_ErrorGetCode() != AUDIO_OK) FireInteger(onError, BASS_ErrorGetCode());
}
