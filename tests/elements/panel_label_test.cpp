// The panel's bevels and caption on its painted pixels, and the label's auto-size and hover.
#include "elements/label.h"
#include "elements/panel.h"

#include "elements/win_args.h"
#include "tests/elements/element_fixture.h"
#include "tests/support/pixels.h"
#include "toolkit/graphic_tool.h"

namespace {

constexpr int32_t kPanelColor = 0x40C040;  // a green that no system colour has
constexpr int32_t kLabelTextColor = 0x008000;  // not 0, which means "no hover colour"

class PanelLabelTest : public ElementTest {
protected:
  TZvPanel* MakePanel(uint8_t outer, uint8_t inner, int32_t bevelWidth, int32_t borderWidth, const char* caption,
                      uint8_t alignment) {
    TZvPanel* panel = new TZvPanel(Host);
    SetWin(panel,
           TWinArgs().At(10, 10, 200, 60).WithColor(kPanelColor).WithFont(MakeFont("MS Sans Serif", 8, 0, 0, 1)));
    panel->BevelOuter = outer;
    panel->BevelInner = inner;
    panel->BevelWidth = bevelWidth;
    panel->BorderWidth = borderWidth;
    panel->Caption = caption;
    panel->Alignment = alignment;
    panel->Init();
    panels_.push_back(panel);
    return panel;
  }
  TZvLabel* MakeLabel(const char* caption) {
    TZvLabel* label = new TZvLabel(Host);
    SetWin(label, TWinArgs()
                      .At(20, 100, 246, 28)
                      .WithColor(clButtonFace)
                      .WithFont(MakeFont("MS Sans Serif", 15, 0, kLabelTextColor, 1)));
    label->Caption = caption;
    label->SetAutoSize(true);
    label->SetAlignment(0);
    label->Init();
    labels_.push_back(label);
    return label;
  }
  void TearDown() override {
    for (TZvLabel* label : labels_) delete label;
    for (TZvPanel* panel : panels_) delete panel;
    ElementTest::TearDown();
  }
  // Moves the real cursor to (x, y) of c and lets c see a mouse message there.
  void Hover(TControl* c, int x, int y) {
    POINT at{x, y};
    ClientToScreen(c->Handle, &at);
    SetCursorPos(at.x, at.y);
    Post(c, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  }

private:
  std::vector<TZvPanel*> panels_;
  std::vector<TZvLabel*> labels_;
};

TEST_F(PanelLabelTest, BorderInItsOwnColourAroundASunkenBevel) {
  TZvPanel* panel = MakePanel(bvNone, bvLowered, 1, 1, "", 0);
  const TPixels p = TPixels::OfWindow(panel->Control->Handle);
  const COLORREF own = kPanelColor, light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  ASSERT_EQ(p.Width, 200);
  // The outer ring in the panel's colour.
  EXPECT_TRUE(p.All(own, {0, 0, 200, 1}));
  EXPECT_TRUE(p.All(own, {0, 59, 200, 60}));
  EXPECT_TRUE(p.All(own, {0, 0, 1, 60}));
  EXPECT_TRUE(p.All(own, {199, 0, 200, 60}));
  // The sunken bevel: dark top and left, light bottom and right.
  EXPECT_TRUE(p.All(dark, {1, 1, 198, 2}));
  EXPECT_TRUE(p.All(dark, {1, 1, 2, 59}));
  EXPECT_TRUE(p.All(light, {198, 1, 199, 58}));
  EXPECT_TRUE(p.All(light, {2, 58, 199, 59}));
  EXPECT_TRUE(p.All(own, {2, 2, 198, 58}));
}

TEST_F(PanelLabelTest, RaisedOuterBevelOfWidthTwo) {
  TZvPanel* panel = MakePanel(bvRaised, bvNone, 2, 0, "", 0);
  const TPixels p = TPixels::OfWindow(panel->Control->Handle);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
  EXPECT_TRUE(p.All(light, {0, 0, 199, 1}));
  EXPECT_TRUE(p.All(light, {0, 1, 198, 2}));
  EXPECT_TRUE(p.All(light, {0, 0, 2, 58}));
  EXPECT_TRUE(p.All(dark, {198, 2, 200, 58}));
  EXPECT_TRUE(p.All(dark, {2, 58, 200, 60}));
  EXPECT_TRUE(p.All(kPanelColor, {2, 2, 198, 58}));
}

// The caption is drawn centred vertically, at the side its Alignment names.
TEST_F(PanelLabelTest, CaptionFollowsItsAlignment) {
  const COLORREF text = RGB(0, 0, 0);
  TZvPanel* left = MakePanel(bvNone, bvNone, 0, 0, "Caption", 0);
  const TPixels l = TPixels::OfWindow(left->Control->Handle);
  EXPECT_GT(l.Count(text, {0, 0, 60, 60}), 10);
  EXPECT_EQ(l.Count(text, {140, 0, 200, 60}), 0);
  EXPECT_EQ(l.Count(text, {0, 0, 200, 15}) + l.Count(text, {0, 45, 200, 60}), 0);

  left->Control->SetCaption("Right");
  PanelData(left->Control)->Alignment = 1;
  left->Control->Invalidate();
  const TPixels r = TPixels::OfWindow(left->Control->Handle);
  EXPECT_EQ(r.Count(text, {0, 0, 140, 60}), 0);
  EXPECT_GT(r.Count(text, {140, 0, 200, 60}), 10);
}

TEST_F(PanelLabelTest, PanelClickFiresOnClick) {
  TRecorder probe;
  TZvPanel* panel = MakePanel(bvNone, bvLowered, 1, 1, "", 0);
  panel->onClick = probe.A();
  Click(panel->Control, 50, 30);
  ExpectSequence(probe, {"a:"}, "outputs fired");
}

TEST_F(PanelLabelTest, LabelTakesTheSizeOfItsText) {
  TZvLabel* label = MakeLabel("MAGNETIC CONDUCTIVITY");
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, label->Control->GetFont()->GetHandle());
  SIZE extent;
  GetTextExtentPoint32A(dc, "MAGNETIC CONDUCTIVITY", 21, &extent);
  SelectObject(dc, old);
  DeleteDC(dc);
  EXPECT_EQ(label->Control->Width(), extent.cx + 1);
  EXPECT_EQ(label->Control->Height(), extent.cy + 1);
  EXPECT_NE(label->Control->Width(), 246);

  label->Control->SetCaption("u=");
  EXPECT_LT(label->Control->Width(), extent.cx / 4);
}

TEST_F(PanelLabelTest, LabelHoverChangesColourAndUnderlineWhileTheMouseIsOver) {
  TZvLabel* label = MakeLabel("hover");
  label->HoverColor = 0x0000FF;
  label->HoverUnderline = 1;
  TRecorder probe;
  label->onClick = probe.A();
  TGraphicTool* font = label->Control->GetFont();
  Hover(label->Control, 3, 3);
  EXPECT_EQ(font->Color(), 0x0000FF);
  EXPECT_TRUE(font->FontStyle() & fsUnderline);
  Click(label->Control, 3, 3);
  ExpectSequence(probe, {"a:"}, "outputs fired");

  Hover(Host, 400, 300);
  Post(label->Control, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_EQ(font->Color(), kLabelTextColor);
  EXPECT_FALSE(font->FontStyle() & fsUnderline);
}

TEST_F(PanelLabelTest, LabelWithoutHoverColourKeepsItsColour) {
  TZvLabel* label = MakeLabel("plain");
  Hover(label->Control, 3, 3);
  ASSERT_TRUE(label->Control->MouseInside);
  EXPECT_EQ(label->Control->GetFont()->Color(), kLabelTextColor);
  EXPECT_FALSE(label->Control->GetFont()->FontStyle() & fsUnderline);
}

}  // namespace
