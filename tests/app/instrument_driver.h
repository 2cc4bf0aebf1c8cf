// Driving the running instrument from a test: start coilprobe.exe, find its read-outs and panel fields,
// read consistent ticks, type into the fields, wait until what was posted has been handled, and compute
// u from the levels and fields as the torus panel's chain does.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/program.h"
#include "tests/tools/wintool.h"

namespace instrument {

// The instrument's main window and the controls the tests read or drive.
struct TInstrument {
  HWND Window = nullptr;
  HWND LeftLevel = nullptr;   // first channel's level, client (390, 485)
  HWND RightLevel = nullptr;  // second channel's level, client (390, 450)
  HWND Outer = nullptr;       // D, d, H, N and the result u: edits inside the torus panel
  HWND Inner = nullptr;
  HWND Height = nullptr;
  HWND Turns = nullptr;
  HWND Result = nullptr;
  HWND AmplitudeBar = nullptr;
};

TInstrument Locate(HWND window);

// The number an edit shows (0 when it shows none).
double Number(HWND edit);

// One consistent reading of a tick: both levels and u, read again until a tick did not come in between.
struct TReading {
  double Left, Right;
  std::string U;
};
TReading Read(const TInstrument& in);
// Waits until the levels are non-zero and have changed a few times (the rig's capture has settled).
TReading Settled(const TInstrument& in);
// The reading of the next tick: waits until the levels change (at most a few seconds; the last reading then).
TReading NextTick(const TInstrument& in);

// Posts key presses for the characters (digits, lower-case letters, '.', '-', '+', space); the
// instrument's loop makes characters of them.
void TypeKeys(HWND edit, const std::string& keys);
// Clicks into the field (which gives it the focus: keys reach only the focused control), moves the caret
// to the end, erases the text, types the new one and waits until the instrument has handled all of it.
void ReplaceText(const TInstrument& in, HWND edit, const std::string& text);

// Types the four dimensions into the panel's fields as ReplaceText does and expects each field to show its text.
void TypeDimensions(const TInstrument& in, const std::string& D, const std::string& d, const std::string& H,
                    const std::string& N);

// Waits until the instrument has handled everything posted to it so far, including the characters its
// loop made of posted key presses. False when it stopped answering within the timeout.
bool Drain(const TInstrument& in, DWORD timeoutMs = wintool::DefaultTimeoutMs);

// The window that has the keyboard focus in the instrument's GUI thread (null: none).
HWND FocusedWindow(const TInstrument& in);

// What a dimension field hands to the chain: the number for a complete number text, else 0.
double FieldValue(const std::string& text);

// u as the torus panel's chain computes it for the ratio r and the field values, operation by operation
// in 80-bit precision stored as 64-bit reals; nothing when a step fails (a zero divisor, a result past
// the 64-bit range), which stops the chain and leaves u as it was.
std::optional<double> PanelSum(double r, double D, double d, double H, double N);
// The ratio r the main schematic's two math elements compute from a tick's levels: 1 / (R / L). Both
// levels must be non-zero.
double ChainRatio(const TReading& reading);
// The integer the result field shows for the sum g (the runtime's rounding: ties to even, low 32 bits).
int32_t ShownU(double g);
// True for what the result field shows after a run of the chain: a decimal integer.
bool IsIntegerText(const std::string& text);

// Checks the shown u against the chain: the integer the chain yields for the tick's ratio and the
// fields' texts, or, when the chain stops, the u of the tick before.
void ExpectUFollowsChain(const TInstrument& in, const char* context);
// The four fields' texts, read once; Text() is how a failure message shows them: D="…" d="…" H="…" N="…".
struct TFieldTexts {
  std::string D, d, H, N;
  std::string Text() const;
};
TFieldTexts ReadFields(const TInstrument& in);

// The measurement details window: opened through the main window's system menu command (null when no
// window with its caption shows), the text of the control that follows a label in its child order, and
// the child window with a text (a button's caption).
constexpr char kDetailsCaption[] = "Measurement details";
HWND OpenDetails(const TInstrument& in, DWORD processId);
std::string ValueAfter(HWND details, const std::string& labelText);
HWND ChildWithText(HWND window, const std::string& text);

// A small deterministic generator (xorshift32), so a failing run can be repeated from its seed.
class TRandom {
public:
  explicit TRandom(uint32_t seed) : state_(seed ? seed : 1) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  template <size_t N>
  char OneOf(const char (&characters)[N]) { return characters[Below(N - 1)]; }

private:
  uint32_t state_;
};

// A running instrument: started (the boxes with audio error codes that a start without sound shows are
// closed: a fixture that expects them sets expectedStartBoxes_ in its constructor, and the start waits
// for that many), its window enlarged (the level read-outs and the amplitude bar lie below the initial
// height) and its controls found. Boxes are matched by the instrument's process: other programs on the
// display may show boxes of their own.
class InstrumentTest : public ::testing::Test {
protected:
  void SetUp() override;
  // Closes the instrument the way a user does and checks that it ends cleanly, showing no error box.
  void CloseCleanly();
  // Fails when the process has ended or shows a runtime error box.
  void ExpectAlive(const char* context);
  void SaveScreenshot(const char* name);

  std::unique_ptr<wintool::TProcess> program_;
  TInstrument in_;
  std::vector<std::string> startMessages_;  // the texts of the boxes shown at the start
  size_t expectedStartBoxes_ = 0;
};

}  // namespace instrument
