// The image element: the proportional fit checked on the painted control's pixels, the background
// brush, the bitmap following the control's size, and the outputs.
#include "elements/image.h"

#include "elements/win_args.h"
#include "tests/elements/element_fixture.h"
#include "tests/support/pixels.h"
#include "toolkit/graphics.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

class ImageTest : public ElementTest {
protected:
  TZvImage* MakeImage(int32_t color, uint8_t followSize) {
    image = new TZvImage(Host);
    SetWin(image, TWinArgs().At(5, 5, 120, 125).WithColor(color));
    image->ViewStyle = 1;
    image->FollowSize = followSize;
    image->DrawProc = MakeMethod<&TZvImage::DrawProportional>(image);
    image->Init();
    return image;
  }
  void TearDown() override {
    delete image;
    ElementTest::TearDown();
  }

  // Gives the element's bitmap a red picture of width x height and repaints the control.
  void ShowRedPicture(int width, int height) {
    TBitmap* picture = image->Picture();
    picture->SetWidth(width);
    picture->SetHeight(height);
    TCanvas* canvas = picture->Canvas();
    canvas->Brush()->SetColor(0x0000FF);
    canvas->Pen()->SetColor(0x0000FF);
    canvas->Rectangle(0, 0, width, height);
    TData none;
    image->doRefresh(none, 2);
  }

  TZvImage* image = nullptr;
};

TEST_F(ImageTest, LandscapeBitmapFollowsTheWidth) {
  MakeImage(0xFFFFFF, 0);
  ShowRedPicture(100, 50);
  const TPixels pixels = TPixels::OfWindow(image->Control->Handle);
  ASSERT_EQ(pixels.Width, 120);
  ASSERT_EQ(pixels.Height, 125);
  EXPECT_TRUE(pixels.All(kWhite, {0, 0, 120, 32}));
  EXPECT_TRUE(pixels.All(kRed, {0, 32, 120, 93}));
  EXPECT_TRUE(pixels.All(kWhite, {0, 93, 120, 125}));
  const RECT r = TZvImage::ProportionalRect({0, 0, 120, 125}, 120, 125, 100, 50);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 32);
  EXPECT_EQ(r.right, 120);
  EXPECT_EQ(r.bottom, 93);
}

TEST_F(ImageTest, PortraitBitmapFollowsTheHeightWithHalvesToEven) {
  MakeImage(0xFFFFFF, 0);
  ShowRedPicture(50, 100);  // picture width 62.5, taken as 62
  const TPixels pixels = TPixels::OfWindow(image->Control->Handle);
  EXPECT_TRUE(pixels.All(kWhite, {0, 0, 29, 125}));
  EXPECT_TRUE(pixels.All(kRed, {29, 0, 91, 125}));
  EXPECT_TRUE(pixels.All(kWhite, {91, 0, 120, 125}));
}

TEST_F(ImageTest, SquareBitmapIsFittedToTheHeightAndOverflowsTheWidth) {
  MakeImage(0xFFFFFF, 0);
  ShowRedPicture(40, 40);
  const RECT r = TZvImage::ProportionalRect({0, 0, 120, 125}, 120, 125, 40, 40);
  EXPECT_EQ(r.left, -2);
  EXPECT_EQ(r.right, 122);
  EXPECT_EQ(TPixels::OfWindow(image->Control->Handle).Count(kRed), 120 * 125);
  // The next picture's bands replace the red that was there: the repaint needs no erase to get them right.
  ShowRedPicture(100, 50);
  EXPECT_TRUE(TPixels::OfWindow(image->Control->Handle).All(kWhite, {0, 0, 120, 32}));
}

TEST_F(ImageTest, EmptyBitmapShowsTheSystemColourBackground) {
  MakeImage(clButtonFace, 0);
  EXPECT_TRUE(image->Picture()->Empty());  // without FollowSize Init leaves it empty
  const TPixels pixels = TPixels::OfWindow(image->Control->Handle);
  EXPECT_EQ(pixels.Count(GetSysColor(COLOR_BTNFACE)), 120 * 125);

  ShowRedPicture(100, 50);
  EXPECT_EQ(TPixels::OfWindow(image->Control->Handle).At(0, 0), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ImageTest, BitmapFollowsTheControlsSize) {
  MakeImage(0xFFFFFF, 1);
  TBitmap* picture = image->Picture();
  EXPECT_EQ(picture->Width(), 120);
  EXPECT_EQ(picture->Height(), 125);
  EXPECT_EQ(TPixels::OfBitmap(picture).Count(kWhite), 120 * 125);  // cleared with the background

  image->Control->SetSize(200, 90);
  ProcessMessages();
  EXPECT_EQ(picture->Width(), 200);
  EXPECT_EQ(picture->Height(), 90);

  TData out;
  image->Bitmap(out, 0);
  EXPECT_EQ(out.Kind, dtBitmap);
  EXPECT_EQ(out.Object, picture);
}

// As the oscilloscope uses it: drawing into the followed bitmap, then doRefresh.
TEST_F(ImageTest, WhatIsDrawnIntoTheFollowedBitmapIsShown) {
  MakeImage(0xFFFFFF, 1);
  ProcessMessages();
  TCanvas* canvas = image->Picture()->Canvas();
  canvas->Brush()->SetColor(0);
  canvas->Pen()->SetColor(0);
  canvas->Rectangle(0, 0, 120, 125);
  TData none;
  image->doRefresh(none, 2);
  EXPECT_EQ(TPixels::OfWindow(image->Control->Handle).Count(RGB(0, 0, 0)), 120 * 125);
}

TEST_F(ImageTest, ClickFiresOnClick) {
  TRecorder probe;
  MakeImage(0xFFFFFF, 1);
  image->onClick = probe.A();
  Click(image->Control, 10, 10);
  ExpectSequence(probe, {"a:"}, "outputs fired");
}

}  // namespace
