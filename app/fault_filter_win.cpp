// The unhandled-exception filter. It records the fault's run-time error number, address and frame and
// resumes the faulting thread in RaiseFault, which raises the run-time error as if the faulting code had
// called it: the exit sequence then runs as ordinary code, outside the exception dispatch.
#include "app/fault_filter.h"

#include <windows.h>

#include <cstdint>

#include "app/fault_codes.h"
#include "app/runtime_support.h"

namespace {

[[noreturn]] __attribute__((cdecl)) void RaiseFault(uintptr_t number, uintptr_t address, uintptr_t frame) {
  // A floating-point fault leaves its exception pending; clear it before any floating-point instruction.
  asm volatile("fnclex");
  RunErrorAt(static_cast<uint16_t>(number), reinterpret_cast<void*>(address), reinterpret_cast<void*>(frame));
}

// x87 status word: exception flags, stack fault, error summary and busy bits.
constexpr WORD PendingFpuExceptions = 0x80FF;

LONG WINAPI FaultFilter(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* record = info->ExceptionRecord;
  CONTEXT* context = info->ContextRecord;
  uintptr_t number = RunErrorForException(record->ExceptionCode);
  uintptr_t address = reinterpret_cast<uintptr_t>(record->ExceptionAddress);
  // A call through a null pointer faults at address 0: report the call site instead, so that the report
  // (which is written only for a non-null address) is not lost.
  if (address == 0) address = *reinterpret_cast<const uintptr_t*>(context->Esp);
  uintptr_t frame = context->Ebp;
  if (record->ExceptionFlags & EXCEPTION_NONCONTINUABLE) RaiseFault(number, address, frame);

  // Build a call frame below the faulting stack pointer: the return address (the fault address) and the
  // three arguments, the arguments 16-byte aligned as at any call.
  uintptr_t arguments = (context->Esp & ~uintptr_t(15)) - 16;
  uintptr_t* stack = reinterpret_cast<uintptr_t*>(arguments);
  stack[-1] = address;
  stack[0] = number;
  stack[1] = address;
  stack[2] = frame;
  context->Esp = static_cast<DWORD>(arguments - sizeof(uintptr_t));
  context->Eip = static_cast<DWORD>(reinterpret_cast<uintptr_t>(&RaiseFault));
  context->FloatSave.StatusWord &= ~PendingFpuExceptions;
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void InstallFaultFilter() { SetUnhandledExceptionFilter(FaultFilter); }

void RemoveFaultFilter() { SetUnhandledExceptionFilter(nullptr); }
