// The audio library's threads: their floating-point mode, their mark, and joining them.
#include "audio/library/library_thread.h"

#include "runtime/fpu_mode.h"

namespace {
thread_local bool libraryThread = false;
}

void EnterLibraryThread() {
  SetFpuControlWord(FpuModeWord);
  libraryThread = true;
}

bool OnLibraryThread() { return libraryThread; }

void JoinUnlessCaller(LibraryThread& thread) {
  if (thread.IsCaller())
    thread.Detach();
  else
    thread.Join();
}
