// instrument_start: starts a program, reports how long its main window took to show and to answer a
// message, then waits for the program to end and reports the counts its audio library published and
// its exit code. Used by bench_instrument.sh.
//   instrument_start <program> <window-class> <caption> [timeout-ms]
// Prints, one per line as each is known (flushed, so a script can read them while the program runs):
//   window_ms <n>        from process creation until a visible top-level window of that class and caption
//   responsive_ms <n>    until that window's thread also answered a sent message
//   audio_counts <queued> <underruns> <recorded> <overruns>
//                        once the program has ended: its audio library's output blocks queued, underruns,
//                        blocks recorded and overruns over the whole run ("audio_counts none" when it
//                        published none)
//   exit_code <n>        once the program has ended
// Exit code: 0 when all three were seen, 1 when the program did not start, show its window or end in time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "audio/library/published_counters.h"

namespace {

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The program's visible top-level window of the class and caption, or null. FindWindowExA reads the
// caption the system keeps and sends the program no message, so the figure never waits for the program's
// loop (the tests' window tool asks the window itself, which a program still starting answers late).
HWND FindProgramWindow(const char* className, const char* caption, DWORD processId) {
  for (HWND window = FindWindowExA(nullptr, nullptr, className, caption); window;
       window = FindWindowExA(nullptr, window, className, caption)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: instrument_start <program> <window-class> <caption> [timeout-ms]\n");
    return 2;
  }
  const char* className = argv[2];
  const char* caption = argv[3];
  const DWORD timeoutMs = argc > 4 ? std::strtoul(argv[4], nullptr, 10) : 30000;

  std::string commandLine = std::string("\"") + argv[1] + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    std::fprintf(stderr, "instrument_start: cannot start %s (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  CloseHandle(process.hThread);

  // Polled every millisecond: the interval bounds the error of the figure.
  HWND window = nullptr;
  while (!(window = FindProgramWindow(className, caption, process.dwProcessId))) {
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0 || MillisecondsSince(start) > timeoutMs) {
      std::fprintf(stderr, "instrument_start: no window \"%s\" of class %s\n", caption, className);
      TerminateProcess(process.hProcess, 1);
      return 1;
    }
  }
  std::printf("window_ms %.1f\n", MillisecondsSince(start));
  std::fflush(stdout);

  DWORD_PTR ignored;
  if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &ignored))
    std::printf("responsive_ms %.1f\n", MillisecondsSince(start));
  else
    std::printf("responsive_ms none\n");
  std::fflush(stdout);

  // Mapped while the program runs (its library publishes at the start), read once it has ended.
  const PublishedCountersView counts(process.dwProcessId);

  // The script measures the running program, then closes it; a program that never ends is ended here
  // after a generous time so the benchmark cannot hang.
  if (WaitForSingleObject(process.hProcess, 10 * 60 * 1000) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "instrument_start: the program did not end\n");
    TerminateProcess(process.hProcess, 1);
    return 1;
  }
  if (counts.Available()) {
    const AudioCounters& c = counts.Counts();
    std::printf("audio_counts %u %u %u %u\n", c.BlocksQueued.load(), c.Underruns.load(), c.BlocksRecorded.load(),
                c.Overruns.load());
  } else {
    std::printf("audio_counts none\n");
  }
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  std::printf("exit_code %lu\n", code);
  CloseHandle(process.hProcess);
  return 0;
}
