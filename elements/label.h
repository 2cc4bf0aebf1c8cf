// TZvLabel: a static text that reports clicks and can change its colour, cursor and underline while the
// mouse is over it; with AutoSize it takes the size of its text.
#pragma once
#include <cstdint>

#include "elements/win.h"

class TZvLabel : public TZvWin {
public:
  // Creates the label control at once.
  explicit TZvLabel(TControl* parentControl);

  // Outputs.
  TZv_Event onClick;
  // Properties.
  int32_t HoverColor = 0;      // font colour while the mouse is over the label; 0: no change
  int32_t HoverCursor = 0;     // cursor while the mouse is over the label; 0: no change
  uint8_t HoverUnderline = 0;  // underline the text while the mouse is over the label
  RcString Caption;

  // Property operations, applied at once: the control follows the size of its text (plus one pixel
  // each way) whenever text or font change; caption alignment 0 left, 1 right, 2 centre.
  void SetAutoSize(bool on);
  void SetAlignment(uint8_t alignment);

  void Init() override;

private:
  void Clicked(TControl* sender);
  void MouseEntered(TControl* sender);
  void MouseLeft(TControl* sender);
};
