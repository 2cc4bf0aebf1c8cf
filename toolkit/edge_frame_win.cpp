// One-pixel 3-D frames (see edge_frame.h).
#include "toolkit/edge_frame.h"

#include "toolkit/color.h"

static void FillPixels(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  if (right <= left || bottom <= top) return;
  RECT r{left, top, right, bottom};
  FillRect(dc, &r, brush);
}

void DrawEdgeFrame(HDC dc, const RECT& r, int32_t first, int32_t second) {
  HBRUSH light = CreateSolidBrush(Color2RGB(first));
  HBRUSH dark = CreateSolidBrush(Color2RGB(second));
  FillPixels(dc, r.left, r.top, r.left + 1, r.bottom, light);
  FillPixels(dc, r.left, r.top, r.right - 1, r.top + 1, light);
  FillPixels(dc, r.right - 1, r.top, r.right, r.bottom - 1, dark);
  FillPixels(dc, r.left + 1, r.bottom - 1, r.right, r.bottom, dark);
  DeleteObject(light);
  DeleteObject(dark);
}
