// Processor fault codes and the run-time error numbers reported for them.
#include "process/fault_codes.h"

uint16_t RunErrorForException(uint32_t exceptionCode) {
  switch (exceptionCode) {
    case 0xC0000005:  // access violation
    case 0xC000001D:  // illegal instruction
      return 216;
    case 0xC0000096: return 218;  // privileged instruction
    case 0xC000008C: return 201;  // array bounds exceeded
    case 0xC0000094: return 200;  // integer division by zero
    case 0xC0000095: return 215;  // integer overflow
    case 0xC000008E: return 200;  // floating-point division by zero
    case 0xC000008D:              // floating-point denormal operand
    case 0xC0000093:              // floating-point underflow
      return 206;
    case 0xC0000091: return 205;  // floating-point overflow
    case 0xC000008F:              // floating-point inexact result
    case 0xC0000090:              // floating-point invalid operation
    case 0xC0000092:              // floating-point stack check
      return 207;
    case 0xC00000FD: return 202;  // stack overflow
    case 0xC000013A: return 217;  // control-C exit
  }
  // Both severity bits set: an error.
  return (exceptionCode & 0xC0000000u) == 0xC0000000u ? 217 : 255;
}
