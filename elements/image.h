// TZvImage: a windowed element that owns a bitmap and shows it in a "STATIC" child control, fitted to the
// control with its aspect ratio kept and the uncovered bands painted in the background colour. Other
// elements draw into the bitmap through the Bitmap data output and ask for a repaint with doRefresh.
#pragma once
#include <windows.h>

#include <cstdint>

#include "elements/win.h"

class TBitmap;

class TZvImage : public TZvWin {
public:
  // Creates the control (40 x 40 until Init applies the bounds) and an empty bitmap.
  explicit TZvImage(TControl* parentControl);
  // Frees the bitmap, then the control.
  ~TZvImage() override;

  // Paints the non-empty bitmap onto the control's device context; set by the schematic, for example
  // to DrawProportional.
  TCallback<void(HDC dc)> DrawProc;
  // Properties.
  // The view style DrawProc belongs to.
  enum : uint8_t { vsProportional = 1 };
  uint8_t ViewStyle = 0;
  uint8_t FollowSize = 0;  // the bitmap takes the control's size whenever the control is resized
  // Outputs.
  TZv_Event onClick;

  // Applies the properties, makes the background brush, and sizes and clears an empty bitmap.
  void Init() override;
  // The data output Bitmap: dtBitmap with the element's bitmap, which stays the element's.
  void Bitmap(TData& data, uint16_t index);
  // Repaints the whole control at the next paint message, erased first unless the paint covers it all.
  void doRefresh(TData& data, uint16_t index);

  // The proportional fit: landscape bitmaps follow the control's width, the others its height; the
  // picture is centred and the bands beside it are filled with the background brush.
  void DrawProportional(HDC dc);
  // Where DrawProportional puts a bitmapWidth x bitmapHeight picture in a width x height control whose
  // client rectangle is client.
  static RECT ProportionalRect(RECT client, int width, int height, int bitmapWidth, int bitmapHeight);

  TBitmap* Picture() const { return picture_; }

private:
  void Clicked(TControl* sender);
  void Paint(TControl* sender, HDC dc);
  // Whether the next paint fills every pixel of the control (a proportional view of a non-empty bitmap).
  bool PaintCoversControl() const;
  void Resized(TControl* sender);

  TBitmap* picture_ = nullptr;
  HBRUSH background_ = nullptr;
  bool ownsBackground_ = false;
};
