// Small helpers the two generated schematics share: the settings every edit receives in the same way.
#pragma once
#include <cstdint>

#include "elements/edit.h"
#include "elements/win_args.h"
#include "toolkit/color.h"

// The cursor handle both schematics give their edits, passed to the system as it is.
constexpr int32_t kEditCursor = 19;

// An edit as both schematics configure theirs: enabled, visible, no tab stop, flat, cursor 19,
// editable, every change reported.
inline void ConfigureEdit(TZvEdit* edit, int32_t left, int32_t top, int32_t width, int32_t height, const char* text,
                          const TFontRec& font, TEditValueKind kind) {
  SetWin(edit, TWinArgs().At(left, top, width, height).WithColor(clWindow).WithFont(font).WithCursor(kEditCursor));
  edit->TabOrder = 0;
  edit->Ctl3D = 0;
  edit->Password = 0;
  edit->ReadOnly = 0;
  edit->IgnoreFirstChange = 0;
  edit->ValueKind = kind;
  edit->Text = RcString(text);
  edit->Init();
}
