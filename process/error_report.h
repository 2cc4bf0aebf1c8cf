// The text of the fatal run-time error report: the error number and address, then the return addresses
// found by walking the chain of saved frame pointers, then an empty line that completes the box.
#pragma once
#include <cstdint>

#include "process/error_box.h"

// The memory a frame may lie in: [Low, High). The walk reads nothing outside it.
struct TStackRange {
  uintptr_t Low = 0;
  uintptr_t High = 0;
};

// At most this many caller lines are written.
constexpr int MaxReportFrames = 257;

// A frame is two words: the caller's saved frame pointer, then the return address into the caller.
void WriteErrorReport(TErrorBox& out, uint16_t errorCode, uintptr_t errorAddress, uintptr_t errorFrame,
                      TStackRange stack);
