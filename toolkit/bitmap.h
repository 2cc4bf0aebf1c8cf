// TBitmap: an off-screen picture compatible with the screen, with its own canvas, drawn onto other device
// contexts at its size or stretched. Resizing keeps the old picture at the top-left corner and fills the
// newly exposed area with BkColor.
#pragma once
#include <windows.h>

#include <cstdint>

#include "toolkit/canvas.h"
#include "toolkit/obj.h"

class TBitmap : public TObj {
public:
  TBitmap(int32_t width, int32_t height);

  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  void SetWidth(int32_t width);
  void SetHeight(int32_t height);
  bool Empty() const { return width_ == 0 || height_ == 0; }
  RECT BoundsRect() const { return {0, 0, width_, height_}; }

  // The GDI bitmap; 0 for an empty bitmap.
  HBITMAP Handle() const { return Empty() ? nullptr : handle_; }
  // The canvas drawing into the picture (with the picture selected into it); null for an empty bitmap.
  TCanvas* Canvas();

  // Colour of newly exposed area and of the canvas's brush; black by default.
  int32_t BkColor() const { return bkColor_; }
  void SetBkColor(int32_t color);

  // Copies the whole picture to (x, y) of dc, unscaled.
  void Draw(HDC dc, int x, int y);
  // Copies the whole picture scaled into rect, with dc's stretch mode.
  void StretchDraw(HDC dc, const RECT& rect);
  void SetPixel(int x, int y, int32_t color);

  // Frees the canvas and the picture; the bitmap becomes 0 x 0.
  void Clear();

protected:
  ~TBitmap() override;

private:
  void Recreate(int32_t oldWidth, int32_t oldHeight);
  void TakeOutOfCanvas();
  void CanvasChanged(TCanvas* canvas);
  void SelectIntoCanvas();
  bool SelectedIntoCanvas() const;

  int32_t width_;
  int32_t height_;
  HBITMAP handle_ = nullptr;
  TCanvas* canvas_ = nullptr;
  int32_t bkColor_ = 0;
  // What the canvas's context held before the picture was selected into it.
  HGDIOBJ replacedObject_ = nullptr;
};

// A picture of width x height with undefined contents, or an empty bitmap when either is 0.
TBitmap* NewBitmap(int32_t width, int32_t height);
