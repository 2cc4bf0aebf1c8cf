// Start-up, fatal run-time errors, Halt and the exit sequence of the windowed program.
#include "process/runtime_support.h"

#include <windows.h>

#include <process.h>

#include <atomic>
#include <exception>
#include <vector>

#include "process/error_report.h"
#include "process/fault_filter.h"
#include "process/standard_output.h"
#include "runtime/fpu_mode.h"

uint16_t ExitCode = 0;
uint16_t ErrorCode = 0;
void* ErrorAddress = nullptr;
void* ErrorFrame = nullptr;

namespace {

// Never destroyed: the exit sequence reads it after the C++ finalisation.
std::vector<void (*)()>& ExitProcs() {
  static auto* procs = new std::vector<void (*)()>;
  return *procs;
}

// The thread that runs the exit sequence. A fault inside the sequence re-enters it on the same thread and
// continues with the steps not yet done; any other thread that wants to end the process waits for the
// owner to end it.
std::atomic<DWORD> exitOwner{0};

void EnterExitSequence() {
  DWORD self = GetCurrentThreadId();
  DWORD owner = 0;
  if (exitOwner.compare_exchange_strong(owner, self) || owner == self) return;
  for (;;) Sleep(INFINITE);
}

// The thread information block holds the stack's top (StackBase) and its committed bottom (StackLimit).
TStackRange CurrentThreadStack() {
  const NT_TIB* block = reinterpret_cast<const NT_TIB*>(NtCurrentTeb());
  return {reinterpret_cast<uintptr_t>(block->StackLimit), reinterpret_cast<uintptr_t>(block->StackBase)};
}

// Each step is marked done before it runs, so that a fault inside it does not run it again.
[[noreturn]] void ExitSequence() {
  static bool finalised = false;
  static bool reported = false;
  static bool closed = false;
  auto& procs = ExitProcs();
  while (!procs.empty()) {
    void (*proc)() = procs.back();
    procs.pop_back();
    proc();
  }
  if (!finalised) {
    finalised = true;
    _cexit();
  }
  if (ErrorAddress && !reported) {
    reported = true;
    WriteErrorReport(StandardOutput(), ErrorCode, reinterpret_cast<uintptr_t>(ErrorAddress),
                     reinterpret_cast<uintptr_t>(ErrorFrame), CurrentThreadStack());
  }
  if (!closed) {
    closed = true;
    StandardOutput().Close();
  }
  RemoveFaultFilter();
  ExitProcess(ExitCode);
}

void TerminateWithRunError() { RunErrorAt(217, __builtin_return_address(0), __builtin_frame_address(0)); }

}  // namespace

// The C++ library's own default terminate handler, replaced: it prints the exception's demangled type to
// standard error, which a windowed program does not have, and links the whole demangler to do so.
// StartRuntime installs TerminateWithRunError; a C++ initialiser that terminates before that gets it too.
namespace __gnu_cxx {
void __verbose_terminate_handler() { TerminateWithRunError(); }
}  // namespace __gnu_cxx

void StartRuntime() {
  InstallFaultFilter();
  std::set_terminate(TerminateWithRunError);
  SetFpuControlWord(FpuModeWord);
}

void AddExitProc(void (*proc)()) { ExitProcs().push_back(proc); }

void Halt(int code) {
  EnterExitSequence();
  ExitCode = static_cast<uint16_t>(code & 0xFF);
  ExitSequence();
}

void RunErrorAt(uint16_t number, void* address, void* frame) {
  EnterExitSequence();
  ErrorCode = number;
  ErrorAddress = address;
  ErrorFrame = frame;
  Halt(number & 0xFF);
}

__attribute__((noinline)) void RunError(uint16_t number) {
  RunErrorAt(number, __builtin_return_address(0), *static_cast<void**>(__builtin_frame_address(0)));
}
