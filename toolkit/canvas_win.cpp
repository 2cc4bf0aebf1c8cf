// TCanvas: lazy selection of the pen, brush and font into a device context, and the drawing operations.
#include "toolkit/canvas.h"

#include "toolkit/control.h"

TCanvas* NewCanvas(HDC dc) {
  TCanvas* canvas = NewObj<TCanvas>();
  if (dc) canvas->SetHandle(dc);
  return canvas;
}

TCanvas::~TCanvas() {
  SetHandle(nullptr);
  if (pen_) pen_->Free();
  if (brush_) brush_->Free();
  if (font_) font_->Free();
}

HDC TCanvas::Handle() {
  if (!handle_ && OnGetHandle.Assigned()) SetHandle(OnGetHandle(this));
  return handle_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == handle_) return;
  if (handle_) {
    DeselectTools();
    if (!IsOwnerPaintContext(handle_)) {
      if (HWND window = WindowFromDC(handle_)) {
        ReleaseDC(window, handle_);
      } else {
        DeleteDC(handle_);
      }
    }
    handle_ = nullptr;
    State = 0;
  }
  KeepContext = false;
  if (dc) {
    handle_ = dc;
    State = csHandleValid;
    MoveToEx(dc, PenPos.x, PenPos.y, nullptr);
  }
}

// The stock objects are fetched once: they never change.
void TCanvas::DeselectTools() {
  if (!handle_ || !(State & (csPenValid | csBrushValid | csFontValid))) return;
  static const HGDIOBJ stockPen = GetStockObject(BLACK_PEN);
  static const HGDIOBJ stockBrush = GetStockObject(NULL_BRUSH);
  static const HGDIOBJ stockFont = GetStockObject(SYSTEM_FONT);
  SelectObject(handle_, stockPen);
  SelectObject(handle_, stockBrush);
  SelectObject(handle_, stockFont);
  State &= ~(csPenValid | csBrushValid | csFontValid);
}

void TCanvas::ToolChanged(TGraphicTool*) { DeselectTools(); }

TGraphicTool* TCanvas::AdoptTool(TGraphicTool* tool) {
  tool->OnChange = MakeMethod<&TCanvas::ToolChanged>(this);
  return tool;
}

TGraphicTool* TCanvas::Pen() {
  if (!pen_) pen_ = AdoptTool(NewPen());
  return pen_;
}

TGraphicTool* TCanvas::Brush() {
  if (!brush_) {
    brush_ = NewBrush();
    TakeOwnerBrush(brush_);
    AdoptTool(brush_);
  }
  return brush_;
}

TGraphicTool* TCanvas::Font() {
  if (!font_) {
    font_ = NewFont();
    TakeOwnerFont(font_);
    AdoptTool(font_);
  }
  return font_;
}

void TCanvas::OwnerFontChanged() {
  if (font_) TakeOwnerFont(font_);
}

bool TCanvas::RequiredState(uint8_t flags) {
  if ((flags & csChangeNotify) && OnChange.Assigned()) OnChange(this);
  if ((flags & csHandleValid) && !Handle()) return false;
  if (!handle_) return !(flags & csHandleValid);
  uint8_t missing = flags & ~State;
  if (missing & csFontValid) SelectFont();
  if (missing & csPenValid) {
    SelectPen();
    if (pen_->Data().Pen.Style >= PS_DASH && pen_->Data().Pen.Style <= PS_DASHDOTDOT) missing |= csBrushValid;
  }
  if (missing & csBrushValid) SelectBrush();
  return true;
}

// A control's canvas that never asked for a font of its own keeps the context's font in the control's
// text colour.
void TCanvas::SelectFont() {
  if (!font_ && OwnerControl) {
    SetTextColor(handle_, Color2RGB(OwnerTextColor()));
  } else {
    SelectObject(handle_, Font()->GetHandle());
    SetTextColor(handle_, font_->RgbValue());
  }
  State |= csFontValid;
}

void TCanvas::SelectPen() {
  SelectObject(handle_, Pen()->GetHandle());
  SetROP2(handle_, pen_->PenMode());
  State |= csPenValid;
}

// A solid brush paints an opaque background of its own colour behind text and styled lines; any other
// style leaves the background transparent.
void TCanvas::SelectBrush() {
  State |= csBrushValid;
  if (!brush_ && OwnerControl) {
    SetBkColor(handle_, Color2RGB(OwnerColor()));
    SetBkMode(handle_, OPAQUE);
    return;
  }
  SelectObject(handle_, Brush()->GetHandle());
  if (brush_->Data().Brush.Style == bsSolid) {
    SetBkColor(handle_, brush_->RgbValue());
    SetBkMode(handle_, OPAQUE);
  } else {
    SetBkColor(handle_, ~brush_->RgbValue() & 0xFFFFFF);
    SetBkMode(handle_, TRANSPARENT);
  }
}

void TCanvas::MoveTo(int x, int y) {
  PenPos = {x, y};
  if (RequiredState(csHandleValid)) MoveToEx(handle_, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  PenPos = {x, y};
  if (RequiredState(csHandleValid | csPenValid | csBrushValid | csChangeNotify)) ::LineTo(handle_, x, y);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (RequiredState(csHandleValid | csPenValid | csBrushValid | csChangeNotify)) {
    ::Rectangle(handle_, left, top, right, bottom);
  }
}

void TCanvas::FillRect(const RECT& rect) {
  if (RequiredState(csHandleValid | csChangeNotify)) {
    ::FillRect(handle_, &rect, static_cast<HBRUSH>(Brush()->GetHandle()));
  }
}

void TCanvas::Polyline(const POINT* points, int lastIndex) {
  if (RequiredState(csHandleValid | csPenValid | csBrushValid | csChangeNotify)) {
    ::Polyline(handle_, points, lastIndex + 1);
  }
}

void TCanvas::TextOut(int x, int y, const char* text) {
  if (!text) text = "";
  if (RequiredState(csHandleValid | csBrushValid | csFontValid | csChangeNotify)) {
    ::TextOutA(handle_, x, y, text, lstrlenA(text));
  }
}

SIZE TCanvas::TextExtent(const char* text) {
  if (!text) text = "";
  SIZE size{0, 0};
  bool temporary = false;
  if (!Handle()) {
    SetHandle(CreateCompatibleDC(nullptr));
    temporary = true;
  }
  if (RequiredState(csHandleValid | csFontValid)) {
    GetTextExtentPoint32A(handle_, text, lstrlenA(text), &size);
  }
  if (temporary || !KeepContext) SetHandle(nullptr);
  return size;
}

bool TCanvas::IsOwnerPaintContext(HDC dc) const { return OwnerControl && OwnerControl->PaintDC == dc; }
int32_t TCanvas::OwnerColor() const { return OwnerControl->Color; }
int32_t TCanvas::OwnerTextColor() const { return OwnerControl->TextColor; }

// A control's canvas starts with a copy of the control's brush in the control's colour.
void TCanvas::TakeOwnerBrush(TGraphicTool* brush) const {
  if (!OwnerControl) return;
  brush->Assign(OwnerControl->GetBrush());
  brush->SetColor(OwnerControl->Color);
}

// A control's canvas starts with a copy of the control's font in the control's text colour.
void TCanvas::TakeOwnerFont(TGraphicTool* font) const {
  if (!OwnerControl) return;
  font->Assign(OwnerControl->GetFont());
  font->SetColor(OwnerControl->TextColor);
}
