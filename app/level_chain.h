// The main window's level chain, one function per element: its settings and the links it makes. The
// main schematic calls them in its configuration order; the tests build the same chain natively. On
// every tick the scope fires the first channel's level L, then the second's R:
//   L -> left hub -> level memory, left read-out
//   R -> right hub -> right read-out, ratio (R / L from the memory) -> inverse (1 / that = L / R)
//     -> torus host -> the torus panel's input 0
#pragma once

#include "runtime/multi_element.h"

struct TZv_Event;
class TZvHub;
class TZvMath;
class TZvMemory;

// The first channel's level goes to the memory, then to its read-out's text input.
void WireLeftHub(TZvHub* hub, TZvMemory* levelMemory, const TZv_Event& leftReadout);
// The second channel's level goes to the ratio, then to its read-out's text input.
void WireRightHub(TZvHub* hub, TZvMath* levelRatio, const TZv_Event& rightReadout);
// 1 / (R / L), handed to the torus host's input 0.
void WireInverse(TZvMath* inverse, TZvMath* levelRatio, TZvMultiElement* torusHost);
// R / L, with L read from the memory.
void WireLevelRatio(TZvMath* levelRatio, TZvMemory* levelMemory, TZvMath* inverse);
// The host builds its inner schematic with factory at once.
void WireTorusHost(TZvMultiElement* torusHost, TMultiFactory factory);
