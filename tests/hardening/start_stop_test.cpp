// Starting and closing the instrument over and over while sound runs: each cycle starts coilprobe.exe,
// waits for its window, lets it run a random 0 to 2 s (so the close meets every stage of the audio start
// and of the measurement) and closes it the way a user does. Every cycle must end with exit code 0, no
// message box, no crash and no instrument process left behind. COILPROBE_CYCLES sets the number of
// cycles (default 10; `make soak` runs 100); COILPROBE_SEED repeats a run's random waits.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "tests/support/program.h"
#include "tests/tools/wintool.h"

using namespace wintool;

namespace {

constexpr DWORD kMaxRunMs = 2000;
// A close that takes longer than this is a hang.
constexpr DWORD kCloseTimeoutMs = 30000;

// How many instrument processes run in this session.
int RunningInstruments() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  int count = 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (_stricmp(entry.szExeFile, "coilprobe.exe") == 0) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

struct TTally {
  int Cycles = 0, CleanExits = 0, OtherExits = 0, Hangs = 0, Boxes = 0, Left = 0, NoWindow = 0;
};

// Closes every message box of the process and counts it; reports what it said.
void CloseBoxes(DWORD processId, int cycle, TTally& tally) {
  while (HWND box = FindTopWindow("", MessageBoxClass, processId)) {
    ++tally.Boxes;
    ADD_FAILURE() << "cycle " << cycle << ": message box \"" << WindowText(box) << "\": " << MessageBoxText(box);
    CloseMessageBox(box);
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
  }
}

void RunCycle(int cycle, DWORD runMs, TTally& tally) {
  ++tally.Cycles;
  TProcess program(ProgramCommandLine());
  ASSERT_TRUE(program.Started());
  HWND window = WaitForTopWindow(ProgramCaption, FormClass, program.Id());
  if (!window) {
    ++tally.NoWindow;
    ADD_FAILURE() << "cycle " << cycle << ": no window";
    CloseBoxes(program.Id(), cycle, tally);
    return;
  }
  for (DWORD start = GetTickCount(); GetTickCount() - start < runMs;) {
    CloseBoxes(program.Id(), cycle, tally);
    Sleep(20);
  }
  CloseBoxes(program.Id(), cycle, tally);
  PostClose(window);
  std::optional<DWORD> code = program.WaitForExit(kCloseTimeoutMs);
  if (!code) {
    ++tally.Hangs;
    ADD_FAILURE() << "cycle " << cycle << " (closed after " << runMs << " ms): still running "
                  << kCloseTimeoutMs / 1000 << " s after the close";
    CloseBoxes(program.Id(), cycle, tally);
    return;  // the process is ended when `program` goes
  }
  if (*code == 0) {
    ++tally.CleanExits;
  } else {
    ++tally.OtherExits;
    ADD_FAILURE() << "cycle " << cycle << " (closed after " << runMs << " ms): exit code " << *code;
  }
}

TEST(StartStop, EveryCycleEndsCleanly) {
  ASSERT_EQ(RunningInstruments(), 0) << "an instrument runs already";
  const unsigned long cycles = static_cast<unsigned long>(EnvironmentSetting("COILPROBE_CYCLES", 10));
  const unsigned long seed = static_cast<unsigned long>(EnvironmentSetting("COILPROBE_SEED", GetTickCount()));
  std::printf("%lu cycles, COILPROBE_SEED=%lu\n", cycles, seed);
  std::mt19937 random(seed);
  std::uniform_int_distribution<DWORD> runTime(0, kMaxRunMs);
  TTally tally;
  for (unsigned long cycle = 1; cycle <= cycles; ++cycle) {
    RunCycle(static_cast<int>(cycle), runTime(random), tally);
    const int left = RunningInstruments();
    if (left != 0) {
      ++tally.Left;
      ADD_FAILURE() << "cycle " << cycle << ": " << left << " instrument processes left";
    }
  }
  std::printf("%d cycles: %d exit code 0, %d other exit codes, %d hangs, %d message boxes, %d without window, "
              "%d left a process\n",
              tally.Cycles, tally.CleanExits, tally.OtherExits, tally.Hangs, tally.Boxes, tally.NoWindow, tally.Left);
  EXPECT_EQ(tally.CleanExits, tally.Cycles);
}

}  // namespace
