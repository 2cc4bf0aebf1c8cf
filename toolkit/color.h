// Colour values of the toolkit: a 32-bit 0x00BBGGRR value, or, when negative, a Windows system colour
// whose index is the low byte (0x8000000F and 0xFF00000F both name index 15).
#pragma once
#include <cstdint>

inline bool IsSystemColor(int32_t color) { return color < 0; }
inline int SystemColorIndex(int32_t color) { return color & 0xFF; }

// The RGB value GDI needs for a colour; systemColor answers the RGB of a system colour index.
inline uint32_t Color2RGB(int32_t color, uint32_t (*systemColor)(int index)) {
  return IsSystemColor(color) ? systemColor(SystemColorIndex(color)) : static_cast<uint32_t>(color);
}

#ifdef _WIN32
// The same with the system's current colours (GetSysColor).
uint32_t Color2RGB(int32_t color);
#endif
