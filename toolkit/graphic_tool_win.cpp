// TGraphicTool: lazy pen, brush and font GDI objects, and Color2RGB with the system's colours.
#include "toolkit/graphic_tool.h"

#include <cstring>

// The named system colours carry the system's indexes.
static_assert(SystemColorIndex(clAppWorkspace) == COLOR_APPWORKSPACE && SystemColorIndex(clWindow) == COLOR_WINDOW &&
              SystemColorIndex(clWindowText) == COLOR_WINDOWTEXT && SystemColorIndex(clButtonFace) == COLOR_BTNFACE &&
              SystemColorIndex(clButtonShadow) == COLOR_BTNSHADOW &&
              SystemColorIndex(clButtonHighlight) == COLOR_BTNHIGHLIGHT);

uint32_t Color2RGB(int32_t color) {
  return Color2RGB(color, [](int index) -> uint32_t { return GetSysColor(index); });
}

TGraphicTool::TGraphicTool(TGraphicToolKind kind) : kind_(kind) {
  std::memset(&data_, 0, sizeof data_);
  switch (kind) {
    case gtkPen:
      data_.Pen.Mode = R2_COPYPEN - 1;
      break;
    case gtkBrush:
      data_.Color = clDefaultBackground;
      break;
    case gtkFont:
      data_.Color = clDefaultText;
      data_.Font.lfCharSet = DEFAULT_CHARSET;
      std::strcpy(data_.Font.lfFaceName, "MS Sans Serif");
      break;
  }
  rgb_ = Color2RGB(data_.Color);
}

TGraphicTool::~TGraphicTool() {
  if (kind_ == gtkBrush && data_.Brush.Bitmap) DeleteObject(data_.Brush.Bitmap);
  if (handle_) DeleteObject(handle_);
}

TGraphicTool* NewPen() { return NewObj<TGraphicTool>(gtkPen); }
TGraphicTool* NewBrush() { return NewObj<TGraphicTool>(gtkBrush); }
TGraphicTool* NewFont() { return NewObj<TGraphicTool>(gtkFont); }

// The holders are told twice: once while the old object still exists (so they deselect it before it is
// deleted) and once after, also when there was no object of its own (it may have borrowed the parent's).
void TGraphicTool::Changed() {
  DropHandle();
  if (OnChange.Assigned()) OnChange(this);
}

void TGraphicTool::DropHandle() {
  if (!handle_) return;
  HGDIOBJ old = handle_;
  handle_ = nullptr;
  if (OnChange.Assigned()) OnChange(this);
  DeleteObject(old);
}

HGDIOBJ TGraphicTool::GetHandle() {
  if (handle_ && Color2RGB(data_.Color) != rgb_) DropHandle();
  if (handle_) return handle_;
  rgb_ = Color2RGB(data_.Color);
  if (ParentTool && ParentTool->kind_ == kind_ && std::memcmp(&ParentTool->data_, &data_, sizeof data_) == 0) {
    return ParentTool->GetHandle();
  }
  handle_ = MakeHandle();
  return handle_;
}

HGDIOBJ TGraphicTool::MakeHandle() const {
  switch (kind_) {
    case gtkPen: {
      LOGPEN pen{data_.Pen.Style, {data_.Pen.Width, 0}, rgb_};
      return CreatePenIndirect(&pen);
    }
    case gtkBrush: {
      if (data_.Brush.Bitmap) return CreatePatternBrush(data_.Brush.Bitmap);
      if (data_.Brush.Style == bsSolid) return CreateSolidBrush(rgb_);
      if (data_.Brush.Style == bsClear) {
        LOGBRUSH hollow{BS_HOLLOW, 0, 0};
        return CreateBrushIndirect(&hollow);
      }
      return CreateHatchBrush(data_.Brush.Style - bsHatchBase, Color2RGB(data_.Brush.LineColor));
    }
    case gtkFont:
      return CreateFontIndirectA(&data_.Font);
  }
  return nullptr;
}

// A change of data: the field is written and the GDI object dropped only when the value differs.
template <class T> void TGraphicTool::SetField(T& field, const T& value) {
  if (std::memcmp(&field, &value, sizeof(T)) == 0) return;
  field = value;
  Changed();
}

// A colour change drops the object; setting the same colour keeps it, so a system colour that changed
// meanwhile is still noticed by GetHandle.
void TGraphicTool::SetColor(int32_t color) {
  if (color != data_.Color) {
    data_.Color = color;
    Changed();
  }
  if (!handle_) rgb_ = Color2RGB(color);
}

void TGraphicTool::SetBrushStyle(uint8_t style) { SetField(data_.Brush.Style, style); }
void TGraphicTool::SetBrushLineColor(int32_t color) { SetField(data_.Brush.LineColor, color); }

void TGraphicTool::SetBrushBitmap(HBITMAP bitmap) {
  HBITMAP old = data_.Brush.Bitmap;
  if (old == bitmap) return;
  SetField(data_.Brush.Bitmap, bitmap);
  if (old) DeleteObject(old);
}

void TGraphicTool::SetPenStyle(uint8_t style) { SetField(data_.Pen.Style, style); }
void TGraphicTool::SetPenWidth(int32_t width) { SetField(data_.Pen.Width, width); }
void TGraphicTool::SetPenMode(int rop2) { SetField(data_.Pen.Mode, static_cast<uint8_t>(rop2 - 1)); }

void TGraphicTool::SetFontName(const char* name) {
  char face[LF_FACESIZE] = {};
  std::strncpy(face, name ? name : "", LF_FACESIZE - 1);
  if (std::memcmp(face, data_.Font.lfFaceName, LF_FACESIZE) == 0) return;
  std::memcpy(data_.Font.lfFaceName, face, LF_FACESIZE);
  Changed();
}

void TGraphicTool::SetFontHeight(int32_t height) { SetField(data_.Font.lfHeight, static_cast<LONG>(height)); }

void TGraphicTool::SetFontStyle(uint8_t styles) {
  LOGFONTA font = data_.Font;
  font.lfWeight = (styles & fsBold) ? FW_BOLD : FW_DONTCARE;
  font.lfItalic = (styles & fsItalic) ? 1 : 0;
  font.lfUnderline = (styles & fsUnderline) ? 1 : 0;
  font.lfStrikeOut = (styles & fsStrikeOut) ? 1 : 0;
  SetField(data_.Font, font);
}

uint8_t TGraphicTool::FontStyle() const {
  const LOGFONTA& font = data_.Font;
  return (font.lfWeight >= FW_BOLD ? fsBold : 0) | (font.lfItalic ? fsItalic : 0) |
         (font.lfUnderline ? fsUnderline : 0) | (font.lfStrikeOut ? fsStrikeOut : 0);
}

void TGraphicTool::SetFontCharset(uint8_t charset) { SetField(data_.Font.lfCharSet, static_cast<BYTE>(charset)); }

// A pattern bitmap is owned by each tool, so the copy gets a bitmap of its own.
void TGraphicTool::Assign(const TGraphicTool* source) {
  if (source == this || (handle_ && handle_ == source->handle_)) return;
  Changed();
  if (kind_ == gtkBrush && data_.Brush.Bitmap) DeleteObject(data_.Brush.Bitmap);
  data_ = source->data_;
  if (kind_ == gtkBrush && data_.Brush.Bitmap) {
    data_.Brush.Bitmap = static_cast<HBITMAP>(CopyImage(data_.Brush.Bitmap, IMAGE_BITMAP, 0, 0, 0));
  }
  Changed();
}

TGraphicTool* TGraphicTool::Clone() const {
  TGraphicTool* copy = NewObj<TGraphicTool>(kind_);
  copy->Assign(this);
  return copy;
}
