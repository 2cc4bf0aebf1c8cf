// TZvEditMulti: the inner side of an embedded schematic, its door. Input i of the outer
// multi-element arrives here as a call of onEvent[i].
#pragma once
#include <cstdint>
#include <vector>

#include "runtime/data.h"

class TZvMultiElement;

class TZvEditMulti {
public:
  // The multi-element this door serves; set when the multi-element builds the inner schematic.
  TZvMultiElement* Outer = nullptr;
  // The inner schematic object that holds this door; set by that schematic's constructor.
  void* Owner = nullptr;
  // Inner outputs: onEvent[i] fires when the multi-element's input i is called.
  std::vector<TZv_Event> onEvent;
  // Inner data links; sized but not used by any operation.
  std::vector<TZv_Event> Data;

  void SetEventCount(uint16_t n);
  void SetDataCount(uint16_t n);
  void SetOuter(TZvMultiElement* outer);
};
