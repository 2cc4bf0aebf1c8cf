// TZvBASS_ChlVisibleOcilloRec: the oscilloscope. Each doDraw fetches the newest recorded stereo frames,
// draws them as a trace into a bitmap (the image element's) and fires the level of each channel: the sum
// of the absolute sample values over the drawn frames divided by 100000.
#pragma once
#include <cstdint>

#include "runtime/data.h"

class TBitmap;

class TZvBASS_ChlVisibleOcilloRec {
public:
  // Frames summed and drawn per unit of Frames. Frames above 1 are read as 1: frames 0 to n of the trace
  // must lie in the one block of kFetchedFrames fetched per draw.
  static constexpr int kFramesPerUnit = 256;
  static constexpr int kFetchedFrames = 512;

  // Properties.
  int32_t BackColor = 0;           // colour the bitmap is cleared with
  int32_t Scale = 0;               // a frame lies Scale x (L + R) / 131070 pixels off the centre line
  int32_t Color = 0;               // trace colour
  // Values of DrawMode; other values draw nothing.
  enum : uint8_t { dmLine = 0, dmBars = 1, dmDots = 2 };
  uint8_t DrawMode = dmLine;
  uint8_t Frames = 0;              // frames drawn and summed, in units of 256
  bool Clear = false;              // clear the bitmap (and draw Background) before the trace
  // Data inputs.
  TZv_Event Background;            // optional bitmap drawn under the trace
  TZv_Event Bitmap;                // the bitmap drawn into
  // Outputs.
  TZv_Event onLevelRight;          // level of the second channel (real)
  TZv_Event onLevelLeft;           // level of the first channel (real)

  // One frame of the display: clear, and while recording runs, draw the trace and fire both levels
  // (first channel first). Without a bitmap nothing is drawn, but the levels are still measured.
  void doDraw(TData& data, uint16_t index);

  // The bitmap read by the last doDraw; not owned.
  TBitmap* TargetBitmap() const { return bitmap_; }

  // Pixels off the centre line of a frame with channel values left and right; positive is down.
  static int32_t FrameOffset(int16_t left, int16_t right, int32_t scale);

private:
  TBitmap* bitmap_ = nullptr;
};
