// A windowed program on the program's runtime support that does one thing named by its first parameter
// (a fault, an uncaught exception, output, Halt, a fault in a callback of the real audio library), for
// the tests that watch how the process ends.
#include <windows.h>

#include <cfloat>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>

#include "audio/library/audio_library.h"
#include "process/command_line.h"
#include "process/runtime_support.h"
#include "runtime/fpu_mode.h"
#include "tests/app/standard_streams.h"

namespace {

bool reportFinalisation = false;

struct FinalisationWitness {
  ~FinalisationWitness() {
    if (reportFinalisation) std::cout << "finalised\r\n";
  }
} finalisationWitness;

void WriteThroughNull() {
  volatile int* volatile target = nullptr;
  *target = 1;
}

volatile int recursionLimit = 1 << 30;

int Recurse(int depth) {
  volatile char block[4096];
  block[0] = static_cast<char>(depth);
  return depth < recursionLimit ? Recurse(depth + 1) + block[0] : 0;
}

// A window whose procedure faults or throws on WM_USER and on its timer, like element code run from the
// message loop.
bool throwInWindow = false;

LRESULT CALLBACK FaultingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER || message == WM_TIMER) {
    if (throwInWindow) throw std::runtime_error("thrown in a window procedure");
    WriteThroughNull();
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateFaultingWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = FaultingWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "FaultingWindow";
  RegisterClassA(&wc);
  return CreateWindowA("FaultingWindow", "probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                       wc.hInstance, nullptr);
}

void RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
}

void DivideByZero() {
  volatile long double zero = 0;
  volatile long double quotient = 1 / zero;
  (void)quotient;
}

std::string ControlWordText() {
  char word[8];
  std::snprintf(word, sizeof word, "%04X", FpuControlWord());
  return word;
}

// Callbacks of the audio library, run on its threads: each does what the command asks once.
volatile bool faultInStream = false, trapInRecording = false, faultInBoth = false;
std::string streamWord, recordWord;
volatile LONG wordsSeen = 0;
volatile LONG threadsAboutToFault = 0;

// Both library threads fault, the second while the first runs the exit sequence.
void FaultWithTheOtherThread() {
  InterlockedIncrement(&threadsAboutToFault);
  while (threadsAboutToFault < 2) Sleep(1);
  WriteThroughNull();
}

uint32_t AUDIO_CALL StreamCallback(AudioHandle, void* buffer, uint32_t length, void*) {
  if (faultInBoth) FaultWithTheOtherThread();
  if (faultInStream) WriteThroughNull();
  if (streamWord.empty()) {
    streamWord = ControlWordText();
    InterlockedIncrement(&wordsSeen);
  }
  std::memset(buffer, 0, length);
  return length;
}

int32_t AUDIO_CALL RecordCallback(const void*, uint32_t, void*) {
  if (faultInBoth) FaultWithTheOtherThread();
  if (trapInRecording) DivideByZero();
  if (recordWord.empty()) {
    recordWord = ControlWordText();
    InterlockedIncrement(&wordsSeen);
  }
  return 1;
}

// Plays a stream and records, both into the callbacks above; then the fault or trap asked for ends the
// process on the library's thread (or threads), or both callbacks report the floating-point mode they run in.
void RunAudioLibrary(bool streamFault, bool recordingTrap, bool bothFault) {
  if (!BASS_Init(AUDIO_DEFAULT_OUTPUT, 44100, 0, nullptr) || !BASS_Start() ||
      !BASS_StreamPlay(BASS_StreamCreate(44100, 0, &StreamCallback, nullptr), 0, 0) ||
      !BASS_RecordInit(AUDIO_DEFAULT_INPUT) || !BASS_RecordStart(44100, 0, &RecordCallback, nullptr)) {
    std::cout << "audio library error " << BASS_ErrorGetCode();
    Halt(1);
  }
  faultInStream = streamFault;
  trapInRecording = recordingTrap;
  faultInBoth = bothFault;
  if (streamFault || recordingTrap || bothFault) Sleep(INFINITE);
  for (int i = 0; i < 1000 && wordsSeen < 2; ++i) Sleep(10);
  BASS_Free();
  std::cout << streamWord << " " << recordWord;
}

void Run(const RcString& what) {
  if (what == "null-write") WriteThroughNull();
  if (what == "null-call") {
    void (*volatile nowhere)() = nullptr;
    nowhere();
  }
  if (what == "int-divide") {
    volatile int zero = 0;
    volatile int quotient = 1000 / zero;
    (void)quotient;
  }
  if (what == "x87-overflow") {
    volatile long double big = LDBL_MAX;
    big = big * 4;
  }
  if (what == "x87-divide") DivideByZero();
  if (what == "stack-overflow") Recurse(0);
  if (what == "throw") throw std::runtime_error("nobody catches this");
  if (what == "thread-null") std::thread(WriteThroughNull).join();
  if (what == "run-error") RunError(201);
  if (what == "window-fault" || what == "window-throw") {
    throwInWindow = what == "window-throw";
    SendMessageA(CreateFaultingWindow(), WM_USER, 0, 0);
  }
  if (what == "timer-fault") {
    SetTimer(CreateFaultingWindow(), 1, 10, nullptr);
    RunMessageLoop();
  }
  if (what == "exit-sequence") {
    reportFinalisation = true;
    AddExitProc([] { std::cout << "exit procedure 1\r\n"; });
    AddExitProc([] { std::cout << "exit procedure 2\r\n"; });
    WriteThroughNull();
  }
  if (what == "halt-pending") {
    std::cout << "pending";
    Halt(7);
  }
  if (what == "fpu-word") std::cout << ControlWordText();
  if (what == "stream-fault" || what == "record-trap" || what == "both-fault" || what == "library-fpu-words") {
    RunAudioLibrary(what == "stream-fault", what == "record-trap", what == "both-fault");
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  StartRuntime();
  BindStandardStreams();
  Run(ParamStr(1));
  Halt(0);
}
