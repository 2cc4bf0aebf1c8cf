// TZvScrollBarEx: the element of the custom scroll bar control (scroll_bar.h). It sets the control's
// colours and range, fires onPosition when the position changes, and hands the position out as data,
// also to the audio thread. It keeps the control's bar data for as long as it lives, so the position
// stays readable when the control goes first.
#pragma once
#include <cstdint>

#include "elements/win.h"

class TScrollBarData;

class TZvScrollBarEx : public TZvWin {
public:
  // Creates the control and its window at once.
  explicit TZvScrollBarEx(TControl* parentControl);
  ~TZvScrollBarEx() override;

  // Properties, copied to the control by Init.
  int32_t HighlightColor = 0;
  int32_t FaceColor = 0;
  int32_t ShadowColor = 0;
  int32_t ArrowColor = 0;
  // Outputs.
  TZv_Event onPosition;  // the user or a property operation changed the position; integer

  // Property operations, applied to the control at once; once it is gone they only change the bar data.
  void SetMax(int32_t value);
  void SetMin(int32_t value);
  void SetPosition(int32_t value);
  void SetKind(uint8_t kind);  // 0 horizontal, 1 vertical
  void SetNotifyOnRelease(uint8_t value);

  void Init() override;
  // The data output Position: dtInteger with the bar's current position. Safe on any thread, also after
  // the control went.
  void Position(TData& data, uint16_t index);

  TScrollBarData* Bar() const { return bar_; }

private:
  void Scrolled(int32_t position);

  // Set once by the constructor, referenced until the destructor.
  TScrollBarData* bar_;
};
