// The unhandled-exception filter. It records the fault's run-time error number, address and frame and
// resumes the faulting thread in RaiseFault, which raises the run-time error as if the faulting code had
// called it: the exit sequence then runs as ordinary code, outside the exception dispatch.
#include "process/fault_filter.h"

#include <windows.h>

#include <cstdint>

#include "process/fault_codes.h"
#include "process/runtime_support.h"

namespace {

[[noreturn]] void RaiseFault(uintptr_t number, uintptr_t address, uintptr_t frame) {
  // A floating-point fault leaves its exception pending; clear it before any floating-point instruction.
  asm volatile("fnclex");
  RunErrorAt(static_cast<uint16_t>(number), reinterpret_cast<void*>(address), reinterpret_cast<void*>(frame));
}

// x87 status word: exception flags, stack fault, error summary and busy bits.
constexpr WORD PendingFpuExceptions = 0x80FF;

// The faulting thread's registers this filter reads and writes: the program is built for i686; the same
// sources also build for x86-64, where the tests run when a machine cannot start 32-bit programs.
#ifdef _WIN64
DWORD64& StackPointer(CONTEXT* context) { return context->Rsp; }
uintptr_t FramePointer(const CONTEXT* context) { return context->Rbp; }
WORD& FpuStatusWord(CONTEXT* context) { return context->FltSave.StatusWord; }
#else
DWORD& StackPointer(CONTEXT* context) { return context->Esp; }
uintptr_t FramePointer(const CONTEXT* context) { return context->Ebp; }
// The i686 context keeps the status word in a DWORD of which the low 16 bits are the register's.
DWORD& FpuStatusWord(CONTEXT* context) { return context->FloatSave.StatusWord; }
#endif

// Resumes the thread in RaiseFault(number, address, frame) as if the faulting instruction had called it:
// a frame below the faulting stack pointer holds the return address (the fault address) with the
// arguments as the calling convention wants them, 16-byte aligned as at any call.
void CallRaiseFault(CONTEXT* context, uintptr_t number, uintptr_t address, uintptr_t frame) {
#ifdef _WIN64
  // The arguments go in registers; the callee owns 32 bytes of home space above its return address.
  constexpr uintptr_t kReserved = 64;
  uintptr_t* top = reinterpret_cast<uintptr_t*>((StackPointer(context) & ~uintptr_t(15)) - kReserved);
  top[-1] = address;
  context->Rcx = number;
  context->Rdx = address;
  context->R8 = frame;
  context->Rip = reinterpret_cast<uintptr_t>(&RaiseFault);
#else
  // The arguments go on the stack, above the return address.
  uintptr_t* top = reinterpret_cast<uintptr_t*>((StackPointer(context) & ~uintptr_t(15)) - 16);
  top[-1] = address;
  top[0] = number;
  top[1] = address;
  top[2] = frame;
  context->Eip = static_cast<DWORD>(reinterpret_cast<uintptr_t>(&RaiseFault));
#endif
  StackPointer(context) = reinterpret_cast<uintptr_t>(top - 1);
}

LONG WINAPI FaultFilter(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  CONTEXT* context = info->ContextRecord;
  uintptr_t number = RunErrorForException(record->ExceptionCode);
  uintptr_t address = reinterpret_cast<uintptr_t>(record->ExceptionAddress);
  // A call through a null pointer faults at address 0: report the call site instead, so that the report
  // (which is written only for a non-null address) is not lost.
  if (address == 0) address = *reinterpret_cast<const uintptr_t*>(StackPointer(context));
  uintptr_t frame = FramePointer(context);
  if (record->ExceptionFlags & EXCEPTION_NONCONTINUABLE) RaiseFault(number, address, frame);
  CallRaiseFault(context, number, address, frame);
  FpuStatusWord(context) &= ~PendingFpuExceptions;
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void InstallFaultFilter() { SetUnhandledExceptionFilter(FaultFilter); }

void RemoveFaultFilter() { SetUnhandledExceptionFilter(nullptr); }
