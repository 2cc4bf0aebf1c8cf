// TZvPanel: a bevelled container with an optional caption, and the toolkit panel control it owns: a
// border-less "STATIC" control carrying a TPanelData and painted by the panel paint handler.
#pragma once
#include <windows.h>

#include <cstdint>

#include "elements/win.h"
#include "toolkit/obj.h"

// Bevel codes: 0 none, 1 raised, any other value lowered.
enum : uint8_t { bvNone = 0, bvRaised = 1, bvLowered = 2 };

class TPanelData : public TObj {
public:
  uint8_t OuterBevel = 0;
  uint8_t InnerBevel = 0;
  int16_t BevelWidth = 0;   // pixels of each bevel
  int16_t BorderWidth = 0;  // pixels of the flat border between the bevels
  // Called at the end of painting with the paint device context; none by default.
  TCallback<void(TControl* panel, HDC dc)> CustomPaint;
  // Caption alignment: horizontal 0 left, 1 right, 2 centre; vertical 0 centre, 1 top, 2 bottom.
  uint8_t Alignment = 0;
  uint8_t VerticalAlignment = 0;
};

// A panel control in parent with its TPanelData and paint handler.
TControl* NewPanel(TControl* parent, uint8_t outerBevel, uint8_t innerBevel, int16_t bevelWidth,
                   int16_t borderWidth);
TPanelData* PanelData(TControl* panel);

class TZvPanel : public TZvWin {
public:
  using TZvWin::TZvWin;

  // Properties.
  RcString Caption;
  uint8_t BevelInner = 0;
  uint8_t BevelOuter = 0;
  int32_t BevelWidth = 0;   // used as 16-bit
  int32_t BorderWidth = 0;  // used as 16-bit
  uint8_t Alignment = 0;    // caption: 0 left, 1 right, 2 centre
  // Outputs.
  TZv_Event onClick;

  // Creates the panel control, applies the properties and shows the caption.
  void Init() override;

protected:
  // Repaints the whole panel when it is resized.
  bool MessageHook(TControl* sender, TMsg& msg) override;

private:
  void Clicked(TControl* sender);
};
