// Small helpers the two generated schematics share: the settings every window
// element receives in the same way.
#pragma once
#include <cstdint>

#include "elements/edit.h"
#include "elements/win.h"
#include "toolkit/color.h"


// Bounds and background of a window element.
inline void Place(TZvWin* element, int32_t left, int32_t top, int32_t width, int32_t height, int32_t color) {
  element->Left = left;
  element->Top = top;
  element->Width = width;
  element->Height = height;
  element->Color = color;
}

// The cursor handle both schematics give their edits, passed to the system as it is.
constexpr int32_t kEditCursor = 19;

// An edit as both schematics configure theirs: enabled, visible, no tab stop, flat, cursor 19,
// editable, every change reported.
inline void ConfigureEdit(TZvEdit* edit, int32_t left, int32_t top, int32_t width, int32_t height, const char* text,
                          const TFontRec& font, TEditValueKind kind) {
  Place(edit, left, top, width, height, clWindow);
  edit->Font = font;
  edit->Align = alNone;
  edit->Hint = RcString();
  edit->Visible = 1;
  edit->ParentFont = 0;
  edit->Enabled = 1;
  edit->TabOrder = 0;
  edit->Ctl3D = 0;
  edit->Cursor = kEditCursor;
  edit->Password = 0;
  edit->ReadOnly = 0;
  edit->IgnoreFirstChange = 0;
  edit->ValueKind = kind;
  edit->Text = RcString(text);
  edit->Init();
}
