// Small helpers the two generated schematics share: colour values and the settings every window
// element receives in the same way.
#pragma once
#include <cstdint>

#include "elements/edit.h"
#include "elements/win.h"

// Toolkit colour values: 0xFF000000 + n is Windows system colour n.
constexpr int32_t SystemColor(uint32_t index) { return static_cast<int32_t>(0xFF000000u + index); }
constexpr int32_t clButtonFace = SystemColor(COLOR_BTNFACE);
constexpr int32_t clWindow = SystemColor(COLOR_WINDOW);
constexpr int32_t clAppWorkspace = SystemColor(COLOR_APPWORKSPACE);
constexpr int32_t clButtonHighlight = SystemColor(COLOR_BTNHIGHLIGHT);
constexpr int32_t clButtonShadow = SystemColor(COLOR_BTNSHADOW);
constexpr int32_t clBlack = 0x000000;
constexpr int32_t clWhite = 0xFFFFFF;
constexpr int32_t clRed = 0x0000FF;

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
  edit->Align = alNone /* 0 */;
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
