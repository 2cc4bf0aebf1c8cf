// Colour values of the toolkit: a 32-bit 0x00BBGGRR value, or, when negative, a Windows system colour
// whose index is the low byte (0x8000000F and 0xFF00000F both name index 15), and the named colours the
// program uses.
#pragma once
#include <cstdint>

constexpr bool IsSystemColor(int32_t color) { return color < 0; }
constexpr int SystemColorIndex(int32_t color) { return color & 0xFF; }

// The toolkit value of the system colour with the given index (0xFF000000 + index).
constexpr int32_t SystemColor(uint32_t index) { return static_cast<int32_t>(0xFF000000u + index); }

// System colours by the system's own index (the COLOR_* values; graphic_tool_win.cpp checks them against the
// system's headers).
constexpr int32_t clAppWorkspace = SystemColor(12);
constexpr int32_t clWindow = SystemColor(5);
constexpr int32_t clWindowText = SystemColor(8);
constexpr int32_t clButtonFace = SystemColor(15);
constexpr int32_t clButtonShadow = SystemColor(16);
constexpr int32_t clButtonHighlight = SystemColor(20);
// The toolkit's own defaults, for a control's background and text and for a new brush and font, name their
// system colours the other way (0x80000000 + index): the same colours, but a different value, so a
// schematic that sets the 0xFF000000 form changes the value as it always has.
constexpr int32_t ToolkitSystemColor(uint32_t index) { return static_cast<int32_t>(0x80000000u + index); }
constexpr int32_t clDefaultBackground = ToolkitSystemColor(15);
constexpr int32_t clDefaultText = ToolkitSystemColor(8);
// Fixed colours.
constexpr int32_t clBlack = 0x000000;
constexpr int32_t clWhite = 0xFFFFFF;
constexpr int32_t clRed = 0x0000FF;

// The RGB value GDI needs for a colour; systemColor answers the RGB of a system colour index.
inline uint32_t Color2RGB(int32_t color, uint32_t (*systemColor)(int index)) {
  return IsSystemColor(color) ? systemColor(SystemColorIndex(color)) : static_cast<uint32_t>(color);
}

#ifdef _WIN32
// The same with the system's current colours (GetSysColor).
uint32_t Color2RGB(int32_t color);
#endif
