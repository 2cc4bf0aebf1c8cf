// End-to-end tests of the instrument: the real coilprobe.exe under Wine, driven from outside through its
// windows. On the loopback rig the tone it plays is what it records, so both channels carry the same
// sine unless the rig's sink changes one channel's volume (COILPROBE_EXPECT_RATIO then says by how much).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/tools/wintool.h"

using namespace wintool;

namespace {

constexpr const char* FormClass = "obj_Form";

// The instrument's main window and the controls the tests read or drive.
struct TInstrument {
  HWND Window = nullptr;
  HWND LeftLevel = nullptr;   // first channel's level, client (390, 485)
  HWND RightLevel = nullptr;  // second channel's level, client (390, 450)
  HWND Outer = nullptr;       // D, N, H, d and the result u: edits inside the torus panel
  HWND Inner = nullptr;
  HWND Height = nullptr;
  HWND Turns = nullptr;
  HWND Result = nullptr;
  HWND AmplitudeBar = nullptr;
};

HWND ChildNear(const std::vector<TChild>& children, const char* className, int left, int top) {
  for (const TChild& c : children) {
    if (c.Class == className && std::abs(c.Rect.left - left) <= 6 && std::abs(c.Rect.top - top) <= 6) return c.Handle;
  }
  return nullptr;
}

TInstrument Locate(HWND window) {
  TInstrument in;
  in.Window = window;
  std::vector<TChild> children = Children(window);
  in.RightLevel = ChildNear(children, "obj_EDIT", 390, 450);
  in.LeftLevel = ChildNear(children, "obj_EDIT", 390, 485);
  in.Outer = ChildNear(children, "obj_EDIT", 135 + 40, 5 + 60);
  in.Inner = ChildNear(children, "obj_EDIT", 135 + 40, 5 + 90);
  in.Height = ChildNear(children, "obj_EDIT", 135 + 40, 5 + 120);
  in.Turns = ChildNear(children, "obj_EDIT", 135 + 40, 5 + 150);
  in.Result = ChildNear(children, "obj_EDIT", 135 + 205, 5 + 50);
  for (const TChild& c : children) {
    if (c.Rect.left == 75 && c.Rect.top == 465) in.AmplitudeBar = c.Handle;
  }
  return in;
}

double Number(HWND edit) { return std::strtod(WindowText(edit).c_str(), nullptr); }

// One consistent reading of a tick: both levels and u, read again until a tick did not come in between.
struct TReading {
  double Left, Right;
  std::string U;
};

TReading Read(const TInstrument& in) {
  for (;;) {
    TReading a{Number(in.LeftLevel), Number(in.RightLevel), WindowText(in.Result)};
    Sleep(20);
    TReading b{Number(in.LeftLevel), Number(in.RightLevel), WindowText(in.Result)};
    if (a.Left == b.Left && a.Right == b.Right && a.U == b.U) return a;
  }
}

// Waits until the levels are non-zero and have changed a few times (the rig's capture has settled).
TReading Settled(const TInstrument& in) {
  TReading r = Read(in);
  for (int ticks = 0, tries = 0; ticks < 5 && tries < 200; ++tries) {
    Sleep(100);
    TReading next = Read(in);
    if (next.Left > 0 && next.Right > 0 && next.Left != r.Left) ++ticks;
    r = next;
  }
  return r;
}

// u for the measured ratio r = L / R and the panel's dimensions, as the panel computes it.
double ExpectedU(double r, double D, double d, double H, double N) {
  return std::nearbyint(2500.0 * r * (D + d) / ((D - d) * H * N) + N);
}

void TypeKeys(HWND edit, const std::string& keys) {
  for (char c : keys) PostKey(edit, c == '.' ? VK_OEM_PERIOD : static_cast<UINT>(c));
}

// Clicks into the field (which gives it the focus: keys reach only the focused control), moves the caret
// to the end, erases the text and types the number. The characters that the instrument's loop makes of the
// key presses queue up behind them, so the field keeps the focus until they have been handled.
void ReplaceText(HWND edit, const std::string& number) {
  PostClick(edit, 5, 5);
  PostKey(edit, VK_END);
  for (int i = 0; i < 8; ++i) PostKey(edit, VK_BACK);
  TypeKeys(edit, number);
  Sleep(300);
}

class Instrument : public ::testing::Test {
protected:
  void SetUp() override {
    program_ = std::make_unique<TProcess>(Quoted(PathBesideExecutable("../../app/coilprobe.exe")));
    ASSERT_TRUE(program_->Started());
    HWND window = WaitForTopWindow("Coilprobe", FormClass, program_->Id());
    ASSERT_NE(window, nullptr);
    // The level read-outs and the amplitude bar lie below the initial height: enlarge the window.
    SetWindowPos(window, nullptr, 0, 0, 520, 560, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    in_ = Locate(window);
    ASSERT_TRUE(in_.LeftLevel && in_.RightLevel && in_.Result && in_.Outer && in_.Inner && in_.Height &&
                in_.Turns && in_.AmplitudeBar);
  }

  // Closes the instrument the way a user does and checks that it ends cleanly.
  void CloseCleanly() {
    PostClose(in_.Window);
    std::optional<DWORD> code = program_->WaitForExit();
    ASSERT_TRUE(code.has_value()) << "the instrument did not end after its window closed";
    EXPECT_EQ(*code, 0u);
    EXPECT_EQ(FindTopWindow("Error", MessageBoxClass), nullptr);
  }

  void SaveScreenshot(const char* name) {
    HDC screen = GetDC(nullptr);
    RECT r;
    GetWindowRect(in_.Window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, picture);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((w * 3 + 3) / 4) * 4, size = stride * h;
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0,
                          0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    if (FILE* f = std::fopen(PathBesideExecutable(name).c_str(), "wb")) {
      std::fwrite(&file, sizeof file, 1, f);
      std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f);
      std::fwrite(bits, size, 1, f);
      std::fclose(f);
    }
    SelectObject(memory, old);
    DeleteObject(picture);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }

  std::unique_ptr<TProcess> program_;
  TInstrument in_;
};

TEST_F(Instrument, ShowsLevelsAndThePermeabilityOfTheirRatio) {
  const char* expect = std::getenv("COILPROBE_EXPECT_RATIO");
  const double expectedRatio = expect ? std::atof(expect) : 1.0;
  TReading reading = Settled(in_);
  ASSERT_GT(reading.Left, 0.0);
  ASSERT_GT(reading.Right, 0.0);
  const double r = reading.Left / reading.Right;
  EXPECT_NEAR(r, expectedRatio, 0.02 * expectedRatio);
  // u is computed from the unrounded levels; the read-outs carry 15 digits, so at most a tie differs.
  EXPECT_NEAR(std::atof(reading.U.c_str()), ExpectedU(r, 10, 6, 3, 10), 1.0) << "u=" << reading.U;
  EXPECT_NEAR(std::atof(reading.U.c_str()), ExpectedU(expectedRatio, 10, 6, 3, 10), 7.0 * expectedRatio);
  EXPECT_EQ(reading.U.find('.'), std::string::npos);
  SaveScreenshot("instrument.bmp");
  CloseCleanly();
}

TEST_F(Instrument, NewDimensionsTypedIntoThePanelChangeU) {
  Settled(in_);
  ReplaceText(in_.Outer, "20");
  ReplaceText(in_.Inner, "8.5");
  ReplaceText(in_.Height, "4");
  ReplaceText(in_.Turns, "15");
  Sleep(300);
  EXPECT_EQ(WindowText(in_.Outer), "20");
  EXPECT_EQ(WindowText(in_.Inner), "8.5");
  EXPECT_EQ(WindowText(in_.Height), "4");
  EXPECT_EQ(WindowText(in_.Turns), "15");
  TReading reading = Settled(in_);
  const double r = reading.Left / reading.Right;
  EXPECT_NEAR(std::atof(reading.U.c_str()), ExpectedU(r, 20, 8.5, 4, 15), 1.0) << "u=" << reading.U;
  CloseCleanly();
}

TEST_F(Instrument, AmplitudeBarAtZeroSilencesTheToneAndUKeepsItsValue) {
  TReading before = Settled(in_);
  ASSERT_NE(before.U, "0");
  // Drag the thumb (10 pixels, after the 10-pixel arrow) from position 10000 far past the left end.
  RECT bar;
  GetClientRect(in_.AmplitudeBar, &bar);
  const int thumbX = 10 + static_cast<int>(std::nearbyint((bar.right - 30) * 10000.0 / 32767.0)) + 5;
  PostMessageA(in_.AmplitudeBar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(thumbX, bar.bottom / 2));
  PostMessageA(in_.AmplitudeBar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-200), bar.bottom / 2));
  PostMessageA(in_.AmplitudeBar, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-200), bar.bottom / 2));
  TReading silent{};
  for (int i = 0; i < 50; ++i) {
    Sleep(100);
    silent = Read(in_);
    if (silent.Left == 0.0 && silent.Right == 0.0) break;
  }
  EXPECT_EQ(silent.Left, 0.0);
  EXPECT_EQ(silent.Right, 0.0);
  EXPECT_EQ(WindowText(in_.LeftLevel), "0");
  Sleep(300);
  // Both levels 0: the ratio chain stops at its division and u keeps its last value.
  EXPECT_EQ(Read(in_).U, silent.U);
  EXPECT_NE(silent.U, "0");
  CloseCleanly();
}

}  // namespace
