// The audio elements' error check. The library leaves the outcome of every call in the calling thread's
// error code, the one place that says why a call failed; each element checks it after its call and
// passes a failure on through its onError output, where the main schematic shows it in a message box.
#pragma once
#include "runtime/data.h"

// Fires the calling thread's library error code as an integer when it is not 0. It is read once to test
// and once to fire; reading does not change it, so both reads agree.
void CheckLibraryError(const TZv_Event& onError);
