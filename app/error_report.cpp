// Writing the run-time error report.
#include "app/error_report.h"

#include <cstdio>

namespace {

// "$" and at least eight upper-case hexadecimal digits (exactly eight for 32-bit addresses).
void WriteAddress(TErrorBox& out, const char* prefix, uintptr_t address) {
  char line[48];
  int n = std::snprintf(line, sizeof line, "%s$%08llX\r\n", prefix, static_cast<unsigned long long>(address));
  out.Write({line, static_cast<size_t>(n)});
}

bool HoldsFrame(TStackRange stack, uintptr_t frame) {
  return frame % sizeof(uintptr_t) == 0 && frame >= stack.Low && frame < stack.High &&
         stack.High - frame >= 2 * sizeof(uintptr_t);
}

}  // namespace

void WriteErrorReport(TErrorBox& out, uint16_t errorCode, uintptr_t errorAddress, uintptr_t errorFrame,
                      TStackRange stack) {
  char head[32];
  int n = std::snprintf(head, sizeof head, "Runtime error %u at ", static_cast<unsigned>(errorCode));
  out.Write({head, static_cast<size_t>(n)});
  WriteAddress(out, "", errorAddress);
  WriteAddress(out, "  ", errorAddress);
  uintptr_t frame = errorFrame;
  for (int lines = 0; lines < MaxReportFrames && HoldsFrame(stack, frame); ++lines) {
    const uintptr_t* words = reinterpret_cast<const uintptr_t*>(frame);
    uintptr_t caller = words[0];
    uintptr_t returnAddress = words[1];
    if (caller == 0 || returnAddress == 0) break;
    WriteAddress(out, "  ", returnAddress);
    if (caller <= frame) break;
    frame = caller;
  }
  out.Write("\r\n");
}
