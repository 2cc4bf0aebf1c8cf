// TZvMultiElement: the outer side of an embedded schematic. It builds the inner schematic through a
// factory and hands each call of its input on to the inner door element (TZvEditMulti).
#pragma once
#include <cstdint>
#include <vector>

#include "runtime/data.h"

class TControl;
class TZvEditMulti;

// Builds a complete inner schematic (elements, properties, links, windows inside parent) and returns
// its door element, whose onEvent array is already sized and wired.
using TMultiFactory = TZvEditMulti* (*)(TControl* parent);

class TZvMultiElement {
public:
  explicit TZvMultiElement(TControl* parent) : Parent(parent) {}

  // The inner schematic's door element; none until the inner schematic is built. Destroying the
  // multi-element leaves the inner schematic alone.
  TZvEditMulti* Inner = nullptr;
  TMultiFactory Factory = nullptr;
  // The control the inner schematic places its windows in.
  TControl* Parent = nullptr;
  // Values of Mode: when the inner schematic is built (any value but modeBuildAtOnce waits for doWork).
  enum : uint8_t { modeBuildAtOnce = 0, modeBuildOnFirstWork = 1 };
  uint8_t Mode = modeBuildAtOnce;
  // Outer outputs and data inputs for the inner-to-outer direction; sized but not used by any operation.
  std::vector<TZv_Event> onEvent;
  std::vector<TZv_Event> Data;

  void SetFactory(TMultiFactory factory);
  void SetEventCount(uint16_t n);
  void SetDataCount(uint16_t n);

  // Builds the inner schematic if needed, then calls the inner door's onEvent[index] with the value.
  // An index the door has no output for, or a missing factory, delivers nothing.
  void doWork(TData& data, uint16_t index);

private:
  void BuildInner();
};
