// The run-time error report: its lines, the frame walk's stop rules, and reports longer than one box.
#include "process/error_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> shown;
void Record(const char* text) { shown.push_back(text); }

// A fake stack of pointer-sized words; a frame at index i holds the caller's frame at i and the return
// address at i + 1.
struct FakeStack {
  std::vector<uintptr_t> words = std::vector<uintptr_t>(64, 0);
  uintptr_t At(size_t i) const { return reinterpret_cast<uintptr_t>(&words[i]); }
  void Frame(size_t i, uintptr_t caller, uintptr_t returnAddress) {
    words[i] = caller;
    words[i + 1] = returnAddress;
  }
  TStackRange Range() const { return {At(0), At(0) + words.size() * sizeof(uintptr_t)}; }
};

std::string Report(uint16_t code, uintptr_t address, uintptr_t frame, TStackRange range) {
  shown.clear();
  TErrorBox box(Record);
  WriteErrorReport(box, code, address, frame, range);
  box.Close();
  std::string all;
  for (const auto& text : shown) all += text;
  return all;
}

TEST(ErrorReport, ListsTheCallersUpToAFrameWithoutCaller) {
  FakeStack stack;
  stack.Frame(4, stack.At(10), 0x00401234);
  stack.Frame(10, stack.At(20), 0x0040ABCD);
  stack.Frame(20, 0, 0x00403000);
  EXPECT_EQ(Report(216, 0x00401000, stack.At(4), stack.Range()),
            "Runtime error 216 at $00401000\r\n"
            "  $00401000\r\n"
            "  $00401234\r\n"
            "  $0040ABCD\r\n"
            "\r\n");
  EXPECT_EQ(shown.size(), 1u);
}

TEST(ErrorReport, WalkStopsAtANullReturnAddressOrAFrameThatDoesNotGoUp) {
  FakeStack stack;
  stack.Frame(4, stack.At(10), 0x00401234);
  stack.Frame(10, stack.At(20), 0);
  EXPECT_EQ(Report(5, 0xFEDCBA98, stack.At(4), stack.Range()),
            "Runtime error 5 at $FEDCBA98\r\n  $FEDCBA98\r\n  $00401234\r\n\r\n");
  stack.Frame(10, stack.At(2), 0x00402000);
  stack.Frame(2, stack.At(30), 0x00409999);
  EXPECT_EQ(Report(5, 0xFEDCBA98, stack.At(4), stack.Range()),
            "Runtime error 5 at $FEDCBA98\r\n  $FEDCBA98\r\n  $00401234\r\n  $00402000\r\n\r\n");
}

TEST(ErrorReport, FramesOutsideTheStackOrMisalignedAreNotRead) {
  FakeStack stack;
  stack.Frame(4, stack.At(10), 0x00401234);
  const std::string bare = "Runtime error 217 at $00401000\r\n  $00401000\r\n\r\n";
  EXPECT_EQ(Report(217, 0x00401000, 0, stack.Range()), bare);
  EXPECT_EQ(Report(217, 0x00401000, stack.At(4) + 1, stack.Range()), bare);
  EXPECT_EQ(Report(217, 0x00401000, stack.At(63), stack.Range()), bare);
  EXPECT_EQ(Report(217, 0x00401000, stack.At(4), {stack.At(5), stack.At(64)}), bare);
  // A caller frame beyond the top of the stack ends the walk after the line of the frame that names it.
  stack.Frame(10, stack.At(0) + 4096, 0x00402000);
  EXPECT_EQ(Report(217, 0x00401000, stack.At(4), stack.Range()),
            "Runtime error 217 at $00401000\r\n  $00401000\r\n  $00401234\r\n  $00402000\r\n\r\n");
}

TEST(ErrorReport, ADeepStackIsCutAfter257CallersAndSpreadOverSeveralBoxes) {
  FakeStack stack;
  stack.words.assign(1000, 0);
  for (size_t i = 0; i + 3 < stack.words.size(); i += 2) stack.Frame(i, stack.At(i + 2), 0x00500000 + i);
  std::string report = Report(202, 0x00401000, stack.At(0), stack.Range());
  std::string expected = "Runtime error 202 at $00401000\r\n  $00401000\r\n";
  char line[16];
  for (int i = 0; i < MaxReportFrames; ++i) {
    std::snprintf(line, sizeof line, "  $%08X\r\n", 0x00500000 + 2 * i);
    expected += line;
  }
  expected += "\r\n";
  EXPECT_EQ(report, expected);
  EXPECT_EQ(shown.size(), (expected.size() + TErrorBox::Capacity - 1) / TErrorBox::Capacity);
}

}  // namespace
