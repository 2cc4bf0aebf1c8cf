// What the audio library's own threads share: each starts in the program's floating-point mode and
// knows itself as a library thread, and the library never waits for the thread it is running on.
#pragma once
#include "audio/library/library_sync.h"

// Called first on every library thread: loads the program's x87 mode (a new thread starts in the
// system's default mode, every exception masked) and marks the thread as the library's.
void EnterLibraryThread();

// Whether the calling thread is one of the library's threads, that is, it runs a callback (or the exit
// sequence after a fatal error in one).
bool OnLibraryThread();

// Waits for `thread` to end, unless it is the calling thread, which cannot wait for itself: that one is
// let go (detached) and ends by itself once it returns into its engine. Either way `thread` is empty
// afterwards.
void JoinUnlessCaller(LibraryThread& thread);
