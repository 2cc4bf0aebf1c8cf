// TBitmap: a screen-compatible picture, its canvas, drawing it elsewhere, and recreating it on a resize.
#include "toolkit/bitmap.h"

static HBITMAP NewScreenBitmap(int width, int height) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

// Copies the width x height top-left part of what source holds into target of dc, scaled when the sizes
// differ.
static void CopyFromContext(HDC source, int width, int height, HDC dc, const RECT& target) {
  int targetWidth = target.right - target.left;
  int targetHeight = target.bottom - target.top;
  if (targetWidth == width && targetHeight == height) {
    BitBlt(dc, target.left, target.top, width, height, source, 0, 0, SRCCOPY);
  } else {
    StretchBlt(dc, target.left, target.top, targetWidth, targetHeight, source, 0, 0, width, height, SRCCOPY);
  }
}

// The same from bitmap, selected for the copy into a context of its own.
static void CopyBitmap(HBITMAP bitmap, int width, int height, HDC dc, const RECT& target) {
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ replaced = SelectObject(source, bitmap);
  CopyFromContext(source, width, height, dc, target);
  SelectObject(source, replaced);
  DeleteDC(source);
}

TBitmap* NewBitmap(int32_t width, int32_t height) { return NewObj<TBitmap>(width, height); }

TBitmap::TBitmap(int32_t width, int32_t height) : width_(width), height_(height) {
  if (width != 0 && height != 0) handle_ = NewScreenBitmap(width, height);
}

TBitmap::~TBitmap() { Clear(); }

void TBitmap::Clear() {
  TakeOutOfCanvas();
  if (canvas_) {
    canvas_->Free();
    canvas_ = nullptr;
  }
  if (handle_) {
    DeleteObject(handle_);
    handle_ = nullptr;
  }
  width_ = height_ = 0;
}

void TBitmap::SetWidth(int32_t width) {
  if (width == width_) return;
  int32_t old = width_;
  width_ = width;
  Recreate(old, height_);
}

void TBitmap::SetHeight(int32_t height) {
  if (height == height_) return;
  int32_t old = height_;
  height_ = height;
  Recreate(width_, old);
}

// The new picture is filled with BkColor and the old one copied to its top-left corner at its old size.
// A bitmap that becomes empty loses its picture.
void TBitmap::Recreate(int32_t oldWidth, int32_t oldHeight) {
  TakeOutOfCanvas();
  HBITMAP old = handle_;
  handle_ = nullptr;
  if (!Empty()) {
    HBITMAP picture = NewScreenBitmap(width_, height_);
    if (picture) {
      HDC dc = CreateCompatibleDC(nullptr);
      HGDIOBJ replaced = SelectObject(dc, picture);
      RECT all = BoundsRect();
      HBRUSH fill = CreateSolidBrush(Color2RGB(bkColor_));
      FillRect(dc, &all, fill);
      DeleteObject(fill);
      if (old && oldWidth != 0 && oldHeight != 0) CopyBitmap(old, oldWidth, oldHeight, dc, {0, 0, oldWidth, oldHeight});
      SelectObject(dc, replaced);
      DeleteDC(dc);
    }
    handle_ = picture;
  }
  if (old) DeleteObject(old);
}

void TBitmap::SetBkColor(int32_t color) {
  bkColor_ = color;
  if (canvas_) canvas_->Brush()->SetColor(color);
}

TCanvas* TBitmap::Canvas() {
  if (Empty() || !handle_) return nullptr;
  if (!canvas_) {
    canvas_ = NewCanvas(CreateCompatibleDC(nullptr));
    canvas_->KeepContext = true;
    canvas_->OnChange = MakeMethod<&TBitmap::CanvasChanged>(this);
    canvas_->Brush()->SetColor(bkColor_);
  }
  SelectIntoCanvas();
  return canvas_;
}

// Drawing that changes pixels follows the canvas brush's colour as BkColor, and puts the picture back into
// the canvas's context when it was taken out (by a resize) since the canvas was fetched.
void TBitmap::CanvasChanged(TCanvas* canvas) {
  bkColor_ = canvas->Brush()->Color();
  SelectIntoCanvas();
}

void TBitmap::SelectIntoCanvas() {
  if (!canvas_ || Empty() || !handle_) return;
  if (!canvas_->CurrentHandle()) {
    canvas_->SetHandle(CreateCompatibleDC(nullptr));
    canvas_->KeepContext = true;
  }
  if (!SelectedIntoCanvas()) replacedObject_ = SelectObject(canvas_->CurrentHandle(), handle_);
}

bool TBitmap::SelectedIntoCanvas() const {
  HDC dc = canvas_ ? canvas_->CurrentHandle() : nullptr;
  return dc && handle_ && GetCurrentObject(dc, OBJ_BITMAP) == handle_;
}

// A GDI bitmap can be selected into one context only: before a resize copies it into a new picture, or
// before it is deleted, it leaves the canvas's.
void TBitmap::TakeOutOfCanvas() {
  if (SelectedIntoCanvas()) SelectObject(canvas_->CurrentHandle(), replacedObject_);
  replacedObject_ = nullptr;
}

void TBitmap::Draw(HDC dc, int x, int y) { StretchDraw(dc, {x, y, x + width_, y + height_}); }

// A picture that sits in its canvas's context is copied from there: taking it out, into a context made
// for the copy and back into the canvas's for the next drawing would cost four more selections each time
// (under Wine each selection of a bitmap also selects the font again).
void TBitmap::StretchDraw(HDC dc, const RECT& rect) {
  if (Empty() || !handle_) return;
  if (SelectedIntoCanvas()) {
    CopyFromContext(canvas_->CurrentHandle(), width_, height_, dc, rect);
    return;
  }
  CopyBitmap(handle_, width_, height_, dc, rect);
}

void TBitmap::SetPixel(int x, int y, int32_t color) {
  if (Empty() || !handle_) return;
  if (SelectedIntoCanvas()) {
    ::SetPixel(canvas_->CurrentHandle(), x, y, Color2RGB(color));
    return;
  }
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ replaced = SelectObject(dc, handle_);
  ::SetPixel(dc, x, y, Color2RGB(color));
  SelectObject(dc, replaced);
  DeleteDC(dc);
}
