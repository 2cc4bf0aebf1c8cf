// The audio elements' error check: after a library operation, a non-zero error code of the calling
// thread is fired through the element's onError output as an integer.
#pragma once
#include "runtime/data.h"

// Reads the library's error code; when it is not 0, reads it a second time and fires that second value.
void CheckLibraryError(const TZv_Event& onError);
