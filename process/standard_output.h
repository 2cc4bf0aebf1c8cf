// Standard output and standard error of the windowed process: both write into the one error box buffer,
// which is shown in message boxes captioned "Error".
#pragma once
#include "process/error_box.h"

TErrorBox& StandardOutput();
