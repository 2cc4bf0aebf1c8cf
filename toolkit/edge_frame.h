// A one-pixel 3-D frame along the inside of a rectangle: top and left edges in one colour, bottom and
// right edges in another. Bevels of the panel and the buttons and thumb of the scroll bar are made of it.
#pragma once
#include <windows.h>

#include <cstdint>

// first colours the whole left column and the top row but its last pixel; second colours the right
// column but its last pixel and the bottom row but its first pixel (the path x1,y2-1 -> x1,y1 -> x2-1,y1
// -> x2-1,y2-1 -> x1,y2-1 drawn with line semantics). Colours are toolkit colour values.
void DrawEdgeFrame(HDC dc, const RECT& r, int32_t first, int32_t second);
