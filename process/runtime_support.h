// Process-wide runtime support of the windowed program: start-up (fault filter, floating-point mode,
// standard output bound to the error box), fatal run-time errors, Halt and the exit sequence.
#pragma once
#include <cstdint>

// The process exit code; 0 until Halt or RunError sets it.
extern uint16_t ExitCode;
// The number of the fatal run-time error; 0 = none.
extern uint16_t ErrorCode;
// Where the fatal error happened; null = no error, and then no report is written.
extern void* ErrorAddress;
// The stack frame in which the fatal error happened, where the report's frame walk starts.
extern void* ErrorFrame;

// Start-up, first thing in the program: installs the unhandled-exception filter and the handler that
// turns an uncaught C++ exception into run-time error 217 and sets the floating-point mode (runtime/fpu_mode.h).
// Standard output is the error box (StandardOutput()); the instrument does not write with std::cout or
// std::cerr (the runtime probe of the tests binds them to it, tests/app/standard_streams.h).
void StartRuntime();

// Registers a procedure the exit sequence runs; the last registered runs first.
void AddExitProc(void (*proc)());

// Ends the process with exit code code (0..255) through the exit sequence: the exit procedures, the C++
// finalisation (static destructors, atexit), the error report if ErrorAddress is set, the pending error
// box, the fault filter removed, ExitProcess.
[[noreturn]] void Halt(int code);

// Fatal run-time error number raised at the caller: records the caller's address and frame and halts
// with the low 8 bits of number.
[[noreturn]] void RunError(uint16_t number);

// Fatal run-time error number raised at the given code address and stack frame (the fault filter and the
// uncaught-exception handler know where the error happened).
[[noreturn]] void RunErrorAt(uint16_t number, void* address, void* frame);
