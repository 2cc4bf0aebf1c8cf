// Pixel snapshots for the window and drawing tests: a bitmap, a device context, a window's client area or
// what the screen shows of it copied into a 32-bit top-down DIB section and kept as COLORREF values
// (0x00BBGGRR). Areas are rectangles (TRect), so that an area and a colour cannot change places.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/bitmap.h"

// The pixels [Left, Right) x [Top, Bottom).
struct TRect {
  int Left, Top, Right, Bottom;
  int Area() const { return (Right - Left) * (Bottom - Top); }
};

class TPixels {
public:
  int Width = 0;
  int Height = 0;

  static TPixels OfBitmap(TBitmap* bitmap) {
    TPixels pixels(bitmap->Width(), bitmap->Height());
    pixels.Capture([&](HDC dc) { bitmap->Draw(dc, 0, 0); });
    return pixels;
  }

  // What a device context holds in [0, width) x [0, height).
  static TPixels OfDc(HDC source, int width, int height) {
    TPixels pixels(width, height);
    pixels.Capture([&](HDC dc) { BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY); });
    return pixels;
  }

  // What the window shows now (after its pending paints).
  static TPixels OfWindow(HWND wnd) {
    UpdateWindow(wnd);
    RECT client;
    GetClientRect(wnd, &client);
    HDC source = GetDC(wnd);
    TPixels pixels = OfDc(source, client.right, client.bottom);
    ReleaseDC(wnd, source);
    return pixels;
  }

  // What the screen shows of the window's client area: the pixels a user sees, whatever state the
  // window's own device context is in. The screen is shared by every window on the display: what covered
  // the area as it was read is in CoveredBy (empty: nothing did).
  static TPixels OfScreen(HWND wnd) {
    POINT origin{0, 0};
    ClientToScreen(wnd, &origin);
    RECT client;
    GetClientRect(wnd, &client);
    HDC screen = GetDC(nullptr);
    TPixels pixels(client.right, client.bottom);
    pixels.CoveredBy = CoveringWindow(wnd);
    pixels.Capture([&](HDC dc) {
      BitBlt(dc, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
    });
    ReleaseDC(nullptr, screen);
    return pixels;
  }

  std::string CoveredBy;

  COLORREF At(int x, int y) const { return colors_[static_cast<size_t>(y) * Width + x]; }
  // Pixels of colour within the area.
  int Count(COLORREF color, TRect area) const {
    int n = 0;
    for (int y = area.Top; y < area.Bottom; ++y)
      for (int x = area.Left; x < area.Right; ++x) n += At(x, y) == color;
    return n;
  }
  int Count(COLORREF color) const { return Count(color, {0, 0, Width, Height}); }
  // True when every pixel of the area has colour.
  bool All(COLORREF color, TRect area) const { return Count(color, area) == area.Area(); }

private:
  TPixels(int width, int height) : Width(width), Height(height) {}

  // The first visible top-level window above the window's own in the Z order that overlaps its client
  // area, as its class, caption and process; empty when there is none.
  static std::string CoveringWindow(HWND wnd) {
    RECT client;
    GetClientRect(wnd, &client);
    MapWindowPoints(wnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    for (HWND above = GetWindow(GetAncestor(wnd, GA_ROOT), GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
      RECT rect, overlap;
      if (!IsWindowVisible(above) || !GetWindowRect(above, &rect) || !IntersectRect(&overlap, &rect, &client)) continue;
      char name[64] = "", caption[128] = "";
      GetClassNameA(above, name, sizeof name);
      GetWindowTextA(above, caption, sizeof caption);
      DWORD process = 0;
      GetWindowThreadProcessId(above, &process);
      return std::string(name) + " \"" + caption + "\" of process " + std::to_string(process);
    }
    return {};
  }

  template <class Draw> void Capture(Draw draw) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ replaced = SelectObject(dc, dib);
    draw(dc);
    GdiFlush();
    colors_.resize(static_cast<size_t>(Width) * Height);
    for (size_t i = 0; i < colors_.size(); ++i) {
      const uint32_t rgb = bits[i] & 0xFFFFFF;  // 0x00RRGGBB in a DIB
      colors_[i] = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
    SelectObject(dc, replaced);
    DeleteObject(dib);
    DeleteDC(dc);
  }

  std::vector<COLORREF> colors_;
};
