// The custom-drawn scroll bar control: two arrow buttons drawn with "Webdings" glyphs, a flat track and a
// 10-pixel thumb. Clicking or holding an arrow steps the position (again after 500 ms, then every 50 ms),
// dragging the thumb moves it; the cursor stays confined to the pressed part until the button is released.
// Its state is the control's custom data, a TScrollBarData. It lives in elements/ rather than toolkit/
// because its layout rounds with the runtime's Round (runtime/convert.h), and the toolkit includes
// nothing above itself.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "toolkit/control.h"
#include "toolkit/obj.h"

class TTimer;

// Sizes of the layout, in pixels.
constexpr int kScrollButton = 10;  // each arrow button along the bar
constexpr int kScrollThumb = 10;

// Values of Kind.
enum : uint8_t { sbHorizontal = 0, sbVertical = 1 };

// The pressed arrow button.
enum : uint8_t { sbNone = 0, sbDecrease = 1, sbIncrease = 2 };

class TScrollBarData : public TObj {
public:
  explicit TScrollBarData(TControl* control);

  // Null once the control is destroyed: a holder of a reference may keep the data, which then only
  // stores its values and paints nothing.
  TControl* Control;
  int32_t HighlightColor = 0;  // bottom and right edges of a pressed arrow button
  int32_t FaceColor = 0;       // outline of the arrow buttons and the thumb
  int32_t ShadowColor = 0;     // top and left edges of a pressed arrow button
  int32_t ArrowColor = 0;      // the arrow glyphs
  uint8_t Kind = sbHorizontal;
  // Kept within Min..Max. Written on the GUI thread, read by the tone chain on the audio thread.
  std::atomic<int32_t> Position{0};
  int32_t Min = 0;
  int32_t Max = 200;
  uint8_t NotifyOnRelease = 0;  // report the position only when the mouse button is released
  int32_t GrabX = 0, GrabY = 0;  // where inside the thumb it was grabbed
  TCallback<void(int32_t position)> OnScroll;
  bool Dragging = false;
  // Pixels per unit: (track length - thumb) / (Max - Min), 1.0 when Max = Min. Updated by painting.
  double Scale = 1.0;
  // Auto-repeat of the arrow buttons, and the button it repeats.
  TTimer* RepeatTimer = nullptr;
  uint8_t Pressed = sbNone;

  void SetMax(int32_t value);
  void SetMin(int32_t value);
  // Clamps value to Min..Max; when it differs from the old position, repaints the track and (unless
  // NotifyOnRelease) reports the clamped position.
  void SetBarPosition(int32_t value);
  int32_t GetBarPosition() const { return Position.load(std::memory_order_relaxed); }
  void SetKind(uint8_t kind);
  bool Horizontal() const { return Kind == sbHorizontal; }
  void SetNotifyOnRelease(uint8_t value) { NotifyOnRelease = value; }

  // Scale for the current client size; the thumb's offset along the bar.
  double CurrentScale() const;
  int ThumbOffset(double scale) const;
  // The parts in client coordinates.
  RECT TrackRect() const;
  RECT ButtonRect(uint8_t button) const;
  RECT ThumbRect(double scale) const;

protected:
  ~TScrollBarData() override;

private:
  friend struct ScrollBarInput;
  // One step of the pressed button's direction, not beyond the range.
  void Step(uint8_t button);
  // Client length along the bar and across it.
  int Length() const;
  int Breadth() const;
};

// A scroll bar control in parent: horizontal, Position 0, range 0..200, colour system colour 12.
TControl* NewScrollBar(TControl* parent);
TScrollBarData* ScrollBarData(TControl* scrollBar);
