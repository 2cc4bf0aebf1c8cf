// TZvScrollBarEx: the element of the custom scroll bar control (scroll_bar.h). It sets the control's
// colours and range, fires onPosition when the position changes, and hands the position out as data,
// also to the audio thread.
#pragma once
#include <cstdint>

#include "elements/win.h"

class TScrollBarData;

class TZvScrollBarEx : public TZvWin {
public:
  // Creates the control and its window at once.
  explicit TZvScrollBarEx(TControl* parentControl);

  // Properties, copied to the control by Init.
  int32_t HighlightColor = 0;
  int32_t FaceColor = 0;
  int32_t ShadowColor = 0;
  int32_t ArrowColor = 0;
  // Outputs.
  TZv_Event onPosition;  // the user or a property operation changed the position; integer

  // Property operations, applied to the control at once.
  void SetMax(int32_t value);
  void SetMin(int32_t value);
  void SetPosition(int32_t value);
  void SetKind(uint8_t kind);  // 0 horizontal, 1 vertical
  void SetNotifyOnRelease(uint8_t value);

  void Init() override;
  // The data output Position: dtInteger with the control's current position. Safe on any thread.
  void Position(TData& data, uint16_t index);

  TScrollBarData* Bar() const;

private:
  void Scrolled(int32_t position);
};
