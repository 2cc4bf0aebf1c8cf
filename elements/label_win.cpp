// The label element (see label.h).
#include "elements/label.h"

#include "toolkit/graphic_tool.h"

TZvLabel::TZvLabel(TControl* parentControl) : TZvWin(parentControl) {
  Control = NewLabel(parentControl, "");
  Control->OnClick = MakeMethod<&TZvLabel::Clicked>(this);
  Control->OnMouseEnter = MakeMethod<&TZvLabel::MouseEntered>(this);
  Control->OnMouseLeave = MakeMethod<&TZvLabel::MouseLeft>(this);
}

void TZvLabel::SetAutoSize(bool on) { Control->SetAutoSize(on); }

void TZvLabel::SetAlignment(uint8_t alignment) { Control->SetTextAlign(alignment); }

void TZvLabel::Init() {
  TZvWin::Init();
  Control->SetCaption(Caption.str());
}

void TZvLabel::Clicked(TControl*) { FireNull(onClick); }

void TZvLabel::MouseEntered(TControl* sender) {
  TGraphicTool* font = sender->GetFont();
  if (HoverColor != 0) font->SetColor(HoverColor);
  if (HoverCursor != 0) sender->SetCursor(CursorHandle(HoverCursor));
  if (HoverUnderline != 0) font->SetFontStyle(font->FontStyle() | fsUnderline);
}

void TZvLabel::MouseLeft(TControl* sender) {
  TGraphicTool* font = sender->GetFont();
  if (HoverColor != 0) font->SetColor(Font.Color);
  if (HoverCursor != 0) sender->SetCursor(nullptr);
  if (HoverUnderline != 0) font->SetFontStyle(font->FontStyle() & ~fsUnderline);
}
