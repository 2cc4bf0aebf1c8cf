// The toolkit's drawing classes: colours, graphic tools (pen, brush, font), canvases and bitmaps.
#pragma once
#include "toolkit/bitmap.h"
#include "toolkit/canvas.h"
#include "toolkit/color.h"
#include "toolkit/graphic_tool.h"
