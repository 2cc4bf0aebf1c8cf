// The extended scroll bar with mouse messages posted to its window and dispatched by the toolkit's loop:
// arrow steps and their auto-repeat, thumb drags, cursor confinement, range changes, notification on
// release, and the thumb's geometry checked on the painted pixels.
#include "elements/scroll_bar_ex.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "elements/scroll_bar.h"
#include "elements/win_args.h"
#include "tests/elements/element_fixture.h"
#include "tests/support/pixels.h"
#include "tests/runtime/program_fpu_mode.h"
#include "toolkit/timer.h"

namespace {

constexpr int32_t kTrackColor = 0x00FF00;  // green track, so the thumb's frame stands out

class ScrollBarTest : public ElementTest {
protected:
  void SetUp() override {
    ElementTest::SetUp();
    bar = new TZvScrollBarEx(Host);
    SetWin(bar, TWinArgs().At(75, 200, 220, 10).WithColor(kTrackColor));
    bar->HighlightColor = clButtonHighlight;
    bar->FaceColor = clButtonFace;
    bar->ShadowColor = clButtonShadow;
    bar->ArrowColor = 0;
    bar->Init();
    bar->SetMax(32767);
    bar->SetMin(0);
    bar->SetPosition(10000);
    bar->SetKind(0);
    bar->SetNotifyOnRelease(0);
    bar->onPosition = probe.A();
    UpdateWindow(bar->Control->Handle);
  }
  void TearDown() override {
    delete bar;
    ElementTest::TearDown();
  }

  TScrollBarData* Data() { return bar->Bar(); }
  int32_t Position() {
    TData out;
    bar->Position(out, 0);
    EXPECT_EQ(out.Kind, dtInteger);
    return out.IntValue;
  }
  // The press comes where the cursor is, as a user's would.
  void Down(int x) {
    POINT at{x, 5};
    ClientToScreen(bar->Control->Handle, &at);
    SetCursorPos(at.x, at.y);
    ProcessMessages();
    Post(bar->Control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
  }
  void DragTo(int x) { Post(bar->Control, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<int16_t>(x), 5)); }
  void Up(int x) { Post(bar->Control, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<int16_t>(x), 5)); }
  // The rectangle (client coordinates of the bar) the cursor is confined to, or the whole screen.
  RECT Confinement() {
    RECT clip;
    GetClipCursor(&clip);
    MapWindowPoints(nullptr, bar->Control->Handle, reinterpret_cast<POINT*>(&clip), 2);
    return clip;
  }
  static bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  }

  TZvScrollBarEx* bar = nullptr;
  TRecorder probe;
};

TEST_F(ScrollBarTest, ArrowClickStepsOnceAndConfinesTheCursorToTheButton) {
  Down(215);
  EXPECT_EQ(Position(), 10001);
  EXPECT_TRUE(Same(Confinement(), RECT{210, 0, 220, 10}));
  Up(215);
  EXPECT_FALSE(Same(Confinement(), RECT{210, 0, 220, 10}));
  Down(3);
  EXPECT_TRUE(Same(Confinement(), RECT{0, 0, 10, 10}));
  Up(3);
  EXPECT_EQ(Position(), 10000);
  ExpectSequence(probe, {"a:10001", "a:10000"}, "outputs fired");
}

TEST_F(ScrollBarTest, HoldingAnArrowRepeatsAfter500ThenEvery50Milliseconds) {
  TTimer* timer = Data()->RepeatTimer;
  Down(215);
  EXPECT_TRUE(timer->Enabled);
  EXPECT_EQ(timer->Interval, 500);
  EXPECT_EQ(Data()->Pressed, sbIncrease);

  std::vector<DWORD> stepTimes{GetTickCount()};
  size_t seen = probe.Lines.size();
  ASSERT_TRUE(PumpUntil([&] {
    if (probe.Lines.size() != seen) {
      seen = probe.Lines.size();
      stepTimes.push_back(GetTickCount());
      if (seen == 2) {
        EXPECT_EQ(timer->Interval, 50);  // the first repeat switched to the fast period
      }
    }
    return seen >= 6;
  }));
  Up(215);
  EXPECT_FALSE(timer->Enabled);
  EXPECT_EQ(Data()->Pressed, sbNone);
  ExpectSequence(probe, {"a:10001", "a:10002", "a:10003", "a:10004", "a:10005", "a:10006"}, "outputs fired");
  PumpFor(200);
  EXPECT_EQ(Position(), 10006);  // releasing stopped the repetition
  for (size_t i = 1; i < stepTimes.size(); ++i) std::printf("step %zu after %lu ms\n", i, stepTimes[i] - stepTimes[i - 1]);
}

// The control may go before its element, whose position the tone chain reads all the while: the
// position stays readable and settable, and a press that was under way ends with the control.
TEST_F(ScrollBarTest, ElementOutlivesItsControl) {
  RECT free;
  GetClipCursor(&free);
  Down(3);
  bar->Control->Free();
  ASSERT_EQ(bar->Control, nullptr);
  RECT after;
  GetClipCursor(&after);
  EXPECT_TRUE(Same(after, free));
  PumpFor(600);  // past the first repeat
  EXPECT_EQ(Position(), 9999);
  bar->SetMax(5000);
  EXPECT_EQ(Position(), 5000);
  bar->SetPosition(20);
  bar->SetMin(30);
  bar->SetKind(1);
  bar->SetNotifyOnRelease(1);
  EXPECT_EQ(Position(), 30);
}

TEST_F(ScrollBarTest, HoldingStopsFiringAtTheEnd) {
  bar->SetPosition(32766);
  probe.Clear();
  Down(215);
  PumpFor(700);  // the first repeat would have stepped beyond the end
  Up(215);
  EXPECT_EQ(Position(), 32767);
  ExpectSequence(probe, {"a:32767"}, "outputs fired");
}

TEST_F(ScrollBarTest, DraggingTheThumbClampsAtBothEnds) {
  const int t = Data()->ThumbOffset(Data()->Scale);
  Down(t + 2);
  EXPECT_TRUE(Data()->Dragging);
  EXPECT_TRUE(Same(Confinement(), RECT{10, 0, 210, 10}));
  DragTo(t + 12);
  EXPECT_EQ(Position(), 11727);  // Round((t + 12 - 10 - 2) / Scale) with t = 68
  DragTo(600);
  EXPECT_EQ(Position(), 32767);
  DragTo(-100);
  EXPECT_EQ(Position(), 0);
  Up(-100);
  EXPECT_FALSE(Data()->Dragging);
  DragTo(150);
  EXPECT_EQ(Position(), 0);  // no drag after the release
  ASSERT_EQ(probe.Lines.size(), 3u);
  EXPECT_EQ(probe.Lines[1], "a:32767");
  EXPECT_EQ(probe.Lines[2], "a:0");
}

TEST_F(ScrollBarTest, ClickOnTheTrackBesideTheThumbDoesNotMove) {
  Down(150);
  EXPECT_FALSE(Data()->Dragging);
  DragTo(30);
  Up(30);
  EXPECT_EQ(Position(), 10000);
  ExpectSequence(probe, {}, "outputs fired");
}

TEST_F(ScrollBarTest, NotifyOnReleaseReportsADragOnceOnRelease) {
  bar->SetNotifyOnRelease(1);
  const int t = Data()->ThumbOffset(Data()->Scale);
  Down(t);
  DragTo(t + 40);
  DragTo(t + 60);
  ExpectSequence(probe, {}, "outputs fired");
  Up(t + 60);
  ExpectSequence(probe, {"a:" + std::to_string(Position())}, "outputs fired");
  EXPECT_NE(Position(), 10000);
}

TEST_F(ScrollBarTest, RangeChangesMoveThePositionSilently) {
  bar->SetMax(5000);
  EXPECT_EQ(Position(), 5000);
  bar->SetMin(6000);
  EXPECT_EQ(Position(), 6000);
  ExpectSequence(probe, {}, "outputs fired");

  // Asking for more than Max at Max still reports Max.
  bar->SetMin(0);
  bar->SetMax(32767);
  bar->SetPosition(32767);
  probe.Clear();
  bar->SetPosition(40000);
  bar->SetPosition(32767);
  ExpectSequence(probe, {"a:32767"}, "outputs fired");
}

TEST_F(ScrollBarTest, ThumbGeometryFor0To32767In220Pixels) {
  EXPECT_DOUBLE_EQ(Data()->CurrentScale(), 190.0 / 32767);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF track = static_cast<COLORREF>(kTrackColor);
  struct Case {
    int32_t position;
    int left;  // the thumb's first column
  } cases[] = {{10000, 68}, {0, 10}, {32767, 200}, {16384, 105}};
  for (const Case& c : cases) {
    bar->SetPosition(c.position);
    const TPixels pixels = TPixels::OfWindow(bar->Control->Handle);
    SCOPED_TRACE(c.position);
    EXPECT_EQ(Data()->ThumbOffset(Data()->Scale), c.left);
    EXPECT_TRUE(pixels.All(highlight, {c.left, 0, c.left + 1, 10}));   // left edge
    EXPECT_TRUE(pixels.All(shadow, {c.left + 9, 0, c.left + 10, 9}));  // right edge
    EXPECT_TRUE(pixels.All(track, {c.left + 1, 1, c.left + 9, 9}));    // inside
    // The track beside the thumb, up to the buttons (the arrow glyphs stay inside theirs).
    if (c.left > 10) {
      EXPECT_TRUE(pixels.All(track, {10, 1, c.left, 9}));
    }
    if (c.left < 200) {
      EXPECT_TRUE(pixels.All(track, {c.left + 10, 1, 210, 9}));
    }
  }
}

TEST_F(ScrollBarTest, DegenerateBarsKeepTheThumbAtTheStart) {
  bar->SetMax(0);
  EXPECT_EQ(Data()->CurrentScale(), 1.0);
  TPixels::OfWindow(bar->Control->Handle);
  EXPECT_EQ(Data()->ThumbOffset(Data()->Scale), 10);

  // A bar 30 pixels long leaves the thumb no room to travel (scale 0): grabbing and dragging it, in the
  // program's trapping floating-point mode, changes nothing.
  bar->SetMax(32767);
  bar->SetPosition(10000);
  bar->Control->SetSize(30, 10);
  TPixels::OfWindow(bar->Control->Handle);
  EXPECT_EQ(Data()->Scale, 0.0);
  probe.Clear();
  InProgramFpuMode([&] {
    Down(15);
    EXPECT_TRUE(Data()->Dragging);
    DragTo(25);
    DragTo(15);
    Up(15);
  });
  EXPECT_EQ(Position(), 10000);
  ExpectSequence(probe, {}, "outputs fired");
}

// The solid (black) pixels of an arrow glyph within the 10-pixel button that starts at column `left`.
struct GlyphInk {
  int count = 0, left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
  std::vector<int> columns = std::vector<int>(10, 0);  // solid pixels per column of the button

  GlyphInk(const TPixels& pixels, int buttonLeft) {
    for (int y = 0; y < pixels.Height; ++y) {
      for (int x = buttonLeft; x < buttonLeft + 10; ++x) {
        if (pixels.At(x, y) != RGB(0, 0, 0)) continue;
        ++count;
        ++columns[x - buttonLeft];
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    }
  }
  double CentreX() const { return (left + right) / 2.0; }
  double CentreY() const { return (top + bottom) / 2.0; }
  // Solid pixels in the glyph's first and last column.
  int FirstColumn(int buttonLeft) const { return columns[left - buttonLeft]; }
  int LastColumn(int buttonLeft) const { return columns[right - buttonLeft]; }
};

TEST_F(ScrollBarTest, BothArrowsShowCentredInTheirButtonsAndAPressedOneSinksByAPixel) {
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
  TPixels pixels = TPixels::OfWindow(bar->Control->Handle);
  EXPECT_EQ(pixels.At(210, 0), highlight);  // a raised button: light top-left corner
  const GlyphInk decrease(pixels, 0), increase(pixels, 210);
  ASSERT_GT(decrease.count, 3);
  ASSERT_GT(increase.count, 3);
  // Each glyph's solid part is centred on its button (4.5, 4.5 from the button's corner).
  EXPECT_NEAR(decrease.CentreX(), 4.5, 1.0);
  EXPECT_NEAR(decrease.CentreY(), 4.5, 1.0);
  EXPECT_NEAR(increase.CentreX(), 214.5, 1.0);
  EXPECT_NEAR(increase.CentreY(), 4.5, 1.0);
  // Arrows, not letters or digits: the left one is tall at its right end and pointed at its left,
  // the right one the other way round.
  EXPECT_LT(decrease.FirstColumn(0), decrease.LastColumn(0));
  EXPECT_GT(increase.FirstColumn(210), increase.LastColumn(210));

  bar->Control->SetColor(kTrackColor);
  Down(215);
  pixels = TPixels::OfWindow(bar->Control->Handle);
  EXPECT_EQ(pixels.At(210, 0), GetSysColor(COLOR_BTNSHADOW));  // pressed: the shadow colour top-left
  const GlyphInk pressed(pixels, 210);
  EXPECT_EQ(pressed.count, increase.count);
  EXPECT_EQ(pressed.left, increase.left + 1);
  EXPECT_EQ(pressed.top, increase.top + 1);
  Up(215);
}

}  // namespace
