// TWinArgs: the window properties an element's set-up gives (place, colour, font, cursor) as one value,
// given to SetWin in one statement before the element's own settings and its Init. The fields start at
// TZvWin's own defaults, so a caller names only what it changes; the other properties keep their defaults.
#pragma once
#include <cstdint>

#include "elements/win.h"

struct TWinArgs {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  int32_t Color = 0;
  TFontRec Font;
  int32_t Cursor = 0;

  TWinArgs& At(int32_t left, int32_t top, int32_t width, int32_t height) {
    Left = left;
    Top = top;
    Width = width;
    Height = height;
    return *this;
  }
  TWinArgs& WithColor(int32_t color) {
    Color = color;
    return *this;
  }
  TWinArgs& WithFont(const TFontRec& font) {
    Font = font;
    return *this;
  }
  TWinArgs& WithCursor(int32_t cursor) {
    Cursor = cursor;
    return *this;
  }
};

inline void SetWin(TZvWin* element, const TWinArgs& args) {
  element->Left = args.Left;
  element->Top = args.Top;
  element->Width = args.Width;
  element->Height = args.Height;
  element->Color = args.Color;
  element->Font = args.Font;
  element->Cursor = args.Cursor;
}
