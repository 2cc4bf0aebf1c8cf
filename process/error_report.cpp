// Writing the run-time error report.
#include "process/error_report.h"

#include <algorithm>

#include "runtime/digits.h"

namespace {

// "$" and at least eight upper-case hexadecimal digits (exactly eight for 32-bit addresses), indented by
// two blanks on the lines after the first.
void WriteAddress(TErrorBox& out, bool indented, uintptr_t address) {
  constexpr int kAddressDigits = 8;
  char line[sizeof "  $" + kMaxHexDigits + sizeof "\r\n"];
  char* end = line;
  if (indented) end = std::copy_n("  ", 2, end);
  *end++ = '$';
  end = WriteHex(end, address, kAddressDigits);
  end = std::copy_n("\r\n", 2, end);
  out.Write({line, static_cast<size_t>(end - line)});
}

bool HoldsFrame(TStackRange stack, uintptr_t frame) {
  return frame % sizeof(uintptr_t) == 0 && frame >= stack.Low && frame < stack.High &&
         stack.High - frame >= 2 * sizeof(uintptr_t);
}

}  // namespace

void WriteErrorReport(TErrorBox& out, uint16_t errorCode, uintptr_t errorAddress, uintptr_t errorFrame,
                      TStackRange stack) {
  static constexpr char kHead[] = "Runtime error ";
  static constexpr char kAt[] = " at ";
  char head[sizeof kHead + kMaxDecimalDigits + sizeof kAt];
  char* end = std::copy_n(kHead, sizeof kHead - 1, head);
  end = WriteDecimal(end, errorCode);
  end = std::copy_n(kAt, sizeof kAt - 1, end);
  out.Write({head, static_cast<size_t>(end - head)});
  WriteAddress(out, false, errorAddress);
  WriteAddress(out, true, errorAddress);
  uintptr_t frame = errorFrame;
  for (int lines = 0; lines < MaxReportFrames && HoldsFrame(stack, frame); ++lines) {
    const uintptr_t* words = reinterpret_cast<const uintptr_t*>(frame);
    uintptr_t caller = words[0];
    uintptr_t returnAddress = words[1];
    if (caller == 0 || returnAddress == 0) break;
    WriteAddress(out, true, returnAddress);
    if (caller <= frame) break;
    frame = caller;
  }
  out.Write("\r\n");
}
