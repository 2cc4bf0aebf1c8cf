// The oscilloscope element (see oscilloscope.h).
#include "audio/oscilloscope.h"

#include <cstdlib>
#include <cstring>

#include "audio/library/audio_library.h"
#include "toolkit/graphics.h"

int32_t TZvBASS_ChlVisibleOcilloRec::FrameOffset(int16_t left, int16_t right, int32_t scale) {
  // Computed in extended precision and truncated toward zero; 131070 is twice full scale.
  const long double offset = (static_cast<long double>(left + right) / 131070.0L) * scale;
  return static_cast<int32_t>(offset);
}

namespace {

// How far right of a point its pen may paint: one pixel for the cosmetic pen, else the pen's width.
int32_t PenReach(TCanvas* canvas) {
  const int32_t width = canvas->Pen()->Data().Pen.Width;
  return width > 1 ? width : 1;
}

// The trace runs to the right, a few pixels a frame, and most of it lies beyond a narrow bitmap. A
// segment between two points at or beyond paintEdge paints no pixel of the bitmap, so the line ends at
// the first such point: the same pixels for far fewer points through the device.
int LastPaintingPoint(const POINT* trace, int last, int32_t paintEdge) {
  int i = 0;
  while (i < last && trace[i].x < paintEdge) ++i;
  return i;
}

}  // namespace

void TZvBASS_ChlVisibleOcilloRec::doDraw(TData& data, uint16_t) {
  bitmap_ = ReadBitmap(data, Bitmap, nullptr);
  TBitmap* background = ReadBitmap(data, Background, nullptr);
  TCanvas* canvas = bitmap_ ? bitmap_->Canvas() : nullptr;

  // Filled with the brush alone: the pen keeps the trace colour from one draw to the next, so it is not
  // remade twice a draw, and the pixels are those of a rectangle outlined in the same colour.
  if (Clear && canvas) {
    canvas->Brush()->SetColor(BackColor);
    canvas->FillRect(bitmap_->BoundsRect());
    if (background) background->Draw(canvas->Handle(), 0, 0);
  }

  if (BASS_ChannelIsActive(AUDIO_RECORD_CHANNEL) != AUDIO_PLAYING) return;

  // Frames the library could not deliver count as silence.
  uint32_t frames[kFetchedFrames];
  std::memset(frames, 0, sizeof frames);
  BASS_ChannelGetData(AUDIO_RECORD_CHANNEL, frames, sizeof frames);

  const int16_t x0 = 0;
  const int16_t ymid = canvas ? static_cast<int16_t>(bitmap_->Height() / 2) : 0;
  const int n = Frames == 0 ? 0 : kFramesPerUnit;
  auto left = [&](int i) { return static_cast<int16_t>(frames[i] & 0xFFFF); };
  auto right = [&](int i) { return static_cast<int16_t>(frames[i] >> 16); };

  int32_t sumLeft = 0, sumRight = 0;
  // The line mode's trace goes to the device in one call: the same segments as one line to each point
  // after the other, without a trip through the canvas per segment.
  POINT trace[kFramesPerUnit + 1];
  trace[0] = {x0, ymid + FrameOffset(left(0), right(0), Scale)};
  if (canvas) {
    canvas->Pen()->SetColor(Color);
    canvas->MoveTo(trace[0].x, trace[0].y);
  }
  for (int i = 1; i <= n; ++i) {
    sumLeft += std::abs(static_cast<int32_t>(left(i)));
    sumRight += std::abs(static_cast<int32_t>(right(i)));
    if (!canvas) continue;
    const int32_t y = FrameOffset(left(i), right(i), Scale);
    switch (DrawMode) {
      case dmLine:
        trace[i] = {x0 + 5 * i, ymid + y};
        break;
      case dmBars:
        canvas->MoveTo(x0 + i, ymid);
        canvas->LineTo(x0 + i, ymid + y);
        break;
      case dmDots:
        bitmap_->SetPixel(x0 + i, ymid + y, Color);
        break;
      default:
        break;
    }
  }
  if (canvas && DrawMode == dmLine && n > 0) {
    canvas->Polyline(trace, LastPaintingPoint(trace, n, bitmap_->Width() + PenReach(canvas)));
    canvas->MoveTo(trace[n].x, trace[n].y);
  }
  FireReal(onLevelLeft, sumLeft / 100000.0);
  FireReal(onLevelRight, sumRight / 100000.0);
}
