// The oscilloscope fed a known recording through the fake audio library: the levels it fires and the
// trace it draws, checked on the bitmap's pixels.
#include "audio/oscilloscope.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/audio/fake_audio_library.h"
#include "tests/support/pixels.h"
#include "tests/runtime/probes.h"
#include "tests/support/recorder.h"
#include "toolkit/graphics.h"

namespace {

constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kGreen = 0x00FF00;
constexpr int kWidth = 120, kHeight = 125, kMid = 62;

struct Frame {
  int16_t Left, Right;
};

// Hands out a bitmap as the scope's Bitmap or Background data input.
struct BitmapSource {
  TBitmap* Picture = nullptr;
  void Bitmap(TData& data, uint16_t) {
    data.Kind = dtBitmap;
    data.Object = Picture;
  }
};

void Fill(TBitmap* bitmap, int32_t color) {
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(color);
  canvas->Pen()->SetColor(color);
  canvas->Rectangle(0, 0, bitmap->Width(), bitmap->Height());
}

class OscilloscopeTest : public ::testing::Test {
protected:
  void SetUp() override {
    Fake = {};
    Fake.IsActiveResult = AUDIO_PLAYING;
    picture = NewBitmap(kWidth, kHeight);
    Fill(picture, kRed);
    target.Picture = picture;
    scope.BackColor = 0;
    scope.Scale = 100;
    scope.Color = 0xFFFFFF;
    scope.DrawMode = 0;
    scope.Frames = 1;
    scope.Clear = true;
    scope.Bitmap = MakeEvent<&BitmapSource::Bitmap>(&target);
    scope.onLevelLeft = probe.A();
    scope.onLevelRight = probe.B();
  }
  void TearDown() override {
    for (const TData& level : probe.Values) EXPECT_EQ(level.Kind, dtReal);
    picture->Free();
  }

  // The newest 512 frames of the recording are `frames` (the first one the oldest).
  void Record(const std::vector<Frame>& frames) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(frames.data());
    Fake.Recorded.assign(bytes, bytes + frames.size() * sizeof(Frame));
  }
  void RecordConstant(Frame frame) { Record(std::vector<Frame>(512, frame)); }

  void Draw() {
    TData data;
    scope.doDraw(data, 0);
  }

  TZvBASS_ChlVisibleOcilloRec scope;
  TBitmap* picture = nullptr;
  BitmapSource target;
  TEventsOn events;
  TRecorder probe;  // the levels in the order they arrive: a the left one, b the right one
};

TEST_F(OscilloscopeTest, SilenceGivesZeroLevelsAndTheCentreLine) {
  RecordConstant({0, 0});
  Draw();
  ExpectSequence(probe, {"a:0", "b:0"}, "levels");
  EXPECT_EQ(scope.TargetBitmap(), picture);
  const TPixels pixels = TPixels::OfBitmap(picture);
  EXPECT_TRUE(pixels.All(kWhite, {0, kMid, kWidth, kMid + 1}));
  EXPECT_EQ(pixels.Count(kBlack), kWidth * (kHeight - 1));
}

// Frame 0 only places the pen and frames after 256 are neither drawn nor summed.
TEST_F(OscilloscopeTest, LevelsSumFramesOneTo256) {
  std::vector<Frame> frames(512, Frame{30000, 30000});
  frames[0] = {32767, 32767};
  for (int i = 1; i <= 256; ++i) frames[i] = {1000, 0};
  Record(frames);
  Draw();
  ASSERT_EQ(probe.Values.size(), 2u);
  EXPECT_DOUBLE_EQ(probe.Values[0].RealValue, 2.56);
  EXPECT_DOUBLE_EQ(probe.Values[1].RealValue, 0.0);
  EXPECT_EQ(TZvBASS_ChlVisibleOcilloRec::FrameOffset(1000, 0, 100), 0);

  const TPixels pixels = TPixels::OfBitmap(picture);
  EXPECT_EQ(pixels.At(0, kMid + 49), kWhite);  // the pen starts at frame 0's offset
  EXPECT_TRUE(pixels.All(kWhite, {5, kMid, kWidth, kMid + 1}));
}

TEST_F(OscilloscopeTest, NegativeSamplesCountByTheirMagnitude) {
  RecordConstant({-32768, -2});
  Draw();
  ASSERT_EQ(probe.Values.size(), 2u);
  EXPECT_DOUBLE_EQ(probe.Values[0].RealValue, 256 * 32768 / 100000.0);
  EXPECT_DOUBLE_EQ(probe.Values[1].RealValue, 256 * 2 / 100000.0);
}

TEST_F(OscilloscopeTest, FullScaleLiesFortyNinePixelsBelowTheCentre) {
  EXPECT_EQ(TZvBASS_ChlVisibleOcilloRec::FrameOffset(32767, 32767, 100), 49);
  EXPECT_EQ(TZvBASS_ChlVisibleOcilloRec::FrameOffset(-32768, -32768, 100), -50);
  EXPECT_EQ(TZvBASS_ChlVisibleOcilloRec::FrameOffset(-1000, 0, 100), 0);

  RecordConstant({32767, 32767});
  Draw();
  TPixels pixels = TPixels::OfBitmap(picture);
  EXPECT_TRUE(pixels.All(kWhite, {0, kMid + 49, kWidth, kMid + 50}));
  EXPECT_EQ(pixels.Count(kWhite), kWidth);

  RecordConstant({-32768, -32768});
  Draw();
  pixels = TPixels::OfBitmap(picture);
  EXPECT_TRUE(pixels.All(kWhite, {0, kMid - 50, kWidth, kMid - 49}));
  EXPECT_EQ(pixels.Count(kWhite), kWidth);
}

TEST_F(OscilloscopeTest, BarsDotsAndNothing) {
  RecordConstant({32767, 32767});

  scope.DrawMode = 1;
  Draw();
  TPixels pixels = TPixels::OfBitmap(picture);
  EXPECT_TRUE(pixels.All(kBlack, {0, 0, 1, kHeight}));           // bars start at frame 1
  EXPECT_TRUE(pixels.All(kWhite, {1, kMid, kWidth, kMid + 49}));  // one bar per pixel column
  EXPECT_EQ(pixels.Count(kWhite), (kWidth - 1) * 49);

  scope.DrawMode = 2;
  Draw();
  pixels = TPixels::OfBitmap(picture);
  EXPECT_TRUE(pixels.All(kWhite, {1, kMid + 49, kWidth, kMid + 50}));
  EXPECT_EQ(pixels.Count(kWhite), kWidth - 1);

  scope.DrawMode = 3;
  Draw();
  EXPECT_EQ(TPixels::OfBitmap(picture).Count(kBlack), kWidth * kHeight);
  EXPECT_EQ(probe.Values.size(), 6u);
  EXPECT_DOUBLE_EQ(probe.Values[4].RealValue, 256 * 32767 / 100000.0);
}

// Only a recording that runs and delivers (exactly 1) is drawn: not one that is stopped or stalled.
TEST_F(OscilloscopeTest, NotRecordingClearsAndFiresNothing) {
  RecordConstant({1000, 1000});
  for (const uint32_t notDelivering : {AUDIO_STOPPED, AUDIO_STALLED}) {
    Fill(picture, kRed);
    Fake.IsActiveResult = notDelivering;
    Draw();
    ExpectSequence(probe, {}, "levels while not recording " + std::to_string(notDelivering));
    EXPECT_EQ(TPixels::OfBitmap(picture).Count(kBlack), kWidth * kHeight) << notDelivering;
  }

  // Without Clear the picture is left as it was.
  Fill(picture, kRed);
  scope.Clear = false;
  Draw();
  EXPECT_EQ(TPixels::OfBitmap(picture).Count(kRed), kWidth * kHeight);
}

TEST_F(OscilloscopeTest, BackgroundLiesUnderTheTraceAndWithoutClearTracesAccumulate) {
  TBitmap* background = NewBitmap(10, 10);
  Fill(background, kGreen);
  BitmapSource under{background};
  scope.Background = MakeEvent<&BitmapSource::Bitmap>(&under);
  RecordConstant({0, 0});
  Draw();
  TPixels pixels = TPixels::OfBitmap(picture);
  EXPECT_TRUE(pixels.All(kGreen, {0, 0, 10, 10}));
  EXPECT_EQ(pixels.Count(kGreen), 100);
  EXPECT_EQ(pixels.Count(kWhite), kWidth);

  scope.Clear = false;
  RecordConstant({32767, 32767});
  Draw();
  pixels = TPixels::OfBitmap(picture);
  EXPECT_EQ(pixels.Count(kWhite), 2 * kWidth);
  background->Free();
}

// A trace that climbs and falls steeply draws exactly the pixels of a line to each point after the other
// over a rectangle outlined and filled in the background colour.
TEST_F(OscilloscopeTest, SteepTraceHasThePixelsOfOneLineToEachPoint) {
  std::vector<Frame> frames(512);
  for (size_t i = 0; i < frames.size(); ++i) {
    const int16_t v = static_cast<int16_t>((i % 7) * 9000 - 27000);
    frames[i] = {v, static_cast<int16_t>(v / 3)};
  }
  Record(frames);
  Draw();

  TBitmap* expected = NewBitmap(kWidth, kHeight);
  HDC dc = expected->Canvas()->Handle();
  HGDIOBJ brush = SelectObject(dc, CreateSolidBrush(kBlack));
  HGDIOBJ pen = SelectObject(dc, CreatePen(PS_SOLID, 0, kBlack));
  Rectangle(dc, 0, 0, kWidth, kHeight);
  DeleteObject(SelectObject(dc, CreatePen(PS_SOLID, 0, kWhite)));
  auto y = [&](int i) { return kMid + TZvBASS_ChlVisibleOcilloRec::FrameOffset(frames[i].Left, frames[i].Right, 100); };
  MoveToEx(dc, 0, y(0), nullptr);
  for (int i = 1; i <= 256; ++i) LineTo(dc, 5 * i, y(i));
  DeleteObject(SelectObject(dc, pen));
  DeleteObject(SelectObject(dc, brush));

  const TPixels drawn = TPixels::OfBitmap(picture), wanted = TPixels::OfBitmap(expected);
  expected->Free();
  int differing = 0;
  for (int py = 0; py < kHeight; ++py)
    for (int px = 0; px < kWidth; ++px) differing += drawn.At(px, py) != wanted.At(px, py);
  EXPECT_EQ(differing, 0);
  EXPECT_GT(drawn.Count(kWhite), 2 * kWidth);
}

// A wide pen paints beyond each point: a peak just right of the bitmap still shows at its edge.
TEST_F(OscilloscopeTest, WidePenTraceHasThePixelsOfTheWholeLine) {
  constexpr int kPenWidth = 13;
  std::vector<Frame> frames(512);
  frames[25] = {30000, 0};  // a peak one frame right of the bitmap, at x = 125
  Record(frames);
  picture->Canvas()->Pen()->SetPenWidth(kPenWidth);
  Draw();

  POINT line[257];
  for (int i = 0; i <= 256; ++i)
    line[i] = {5 * i, kMid + TZvBASS_ChlVisibleOcilloRec::FrameOffset(frames[i].Left, frames[i].Right, 100)};
  TBitmap* expected = NewBitmap(kWidth, kHeight);
  HDC dc = expected->Canvas()->Handle();
  HGDIOBJ brush = SelectObject(dc, CreateSolidBrush(kBlack));
  HGDIOBJ pen = SelectObject(dc, CreatePen(PS_SOLID, 0, kBlack));
  Rectangle(dc, 0, 0, kWidth, kHeight);
  DeleteObject(SelectObject(dc, CreatePen(PS_SOLID, kPenWidth, kWhite)));
  Polyline(dc, line, 257);
  DeleteObject(SelectObject(dc, pen));
  DeleteObject(SelectObject(dc, brush));

  const TPixels drawn = TPixels::OfBitmap(picture), wanted = TPixels::OfBitmap(expected);
  expected->Free();
  for (int py = 0; py < kHeight; ++py)
    for (int px = 0; px < kWidth; ++px) ASSERT_EQ(drawn.At(px, py), wanted.At(px, py)) << px << "," << py;
}

// A recording shorter than the block: the missing frames count as silence.
TEST_F(OscilloscopeTest, MissingFramesAreSilence) {
  Record(std::vector<Frame>(100, Frame{100, 200}));
  Draw();
  ASSERT_EQ(probe.Values.size(), 2u);
  EXPECT_DOUBLE_EQ(probe.Values[0].RealValue, 99 * 100 / 100000.0);
  EXPECT_DOUBLE_EQ(probe.Values[1].RealValue, 99 * 200 / 100000.0);
}

}  // namespace
