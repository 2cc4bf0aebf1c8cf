// TZvWin, the base of every element that owns a control, and TFontRec, the font description the
// schematics give windowed elements. The base applies the element's properties to its control in Init
// and turns the control's mouse, keyboard and focus notifications into the element's outputs.
#pragma once
#include <windows.h>

#include <cstdint>

#include "runtime/data.h"
#include "runtime/rcstring.h"
#include "toolkit/control.h"

class THint;

// Style bits: 1 bold, 2 italic, 4 underline, 8 strike-out. Size is in points; the character cell is
// Size + 6 pixels high.
struct TFontRec {
  RcString Name;
  uint8_t Size = 0;
  uint8_t Style = 0;
  int32_t Color = 0;
  uint8_t CharSet = 0;
};

TFontRec MakeFont(const char* name, uint8_t size, uint8_t style, int32_t color, uint8_t charset);

class TZvWin {
public:
  explicit TZvWin(TControl* parentControl);
  // Frees the control when it still exists.
  virtual ~TZvWin();
  TZvWin(const TZvWin&) = delete;
  TZvWin& operator=(const TZvWin&) = delete;

  // The control the element's control is created in.
  TControl* ParentControl;
  // The element's control; null before Init of a descendant creates it and after the control went first.
  TControl* Control = nullptr;

  // Properties.
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;  // bounds in the parent's client area
  uint8_t Align = 0;                                   // docking inside the parent, 0 none
  int32_t TabOrder = 0;                                // > 0: a tab stop at that position
  int32_t Color = 0;                                   // background (negative: system colour)
  uint8_t Ctl3D = 1;                                   // 0: sunken 3-D edge; else none
  RcString Hint;                                       // tooltip text; empty: none
  TFontRec Font;
  uint8_t ParentFont = 0;                              // use the parent control's font, ignore Font
  uint8_t Transparent = 0;
  uint8_t Visible = 1;
  uint8_t Enabled = 1;
  int32_t Cursor = 0;                                  // cursor handle, 0: the class cursor
  uint8_t MouseCapture = 0;                            // capture the mouse from button down to up

  // Outputs.
  TZv_Event onKeyDown;    // integer virtual-key code
  TZv_Event onKeyUp;      // integer virtual-key code
  TZv_Event onMouseDown;  // integer button index: 0 left, 1 right, 2 middle
  TZv_Event onMouseMove;  // integer index of the button held at the previous mouse event, -1 none or several
  TZv_Event onMouseUp;    // integer button index
  TZv_Event onSetFocus;
  TZv_Event onKillFocus;
  TZv_Event onDblClick;

  // Applies the properties to Control (which a descendant's Init has created) and creates its window.
  virtual void Init();

protected:
  // The control's notifications, set by Init.
  virtual void KeyDown(TControl* sender, int32_t& key, uint32_t shift);
  virtual void MouseDown(TControl* sender, TMouseEventData& mouse);
  virtual void MouseMove(TControl* sender, TMouseEventData& mouse);
  virtual void MouseUp(TControl* sender, TMouseEventData& mouse);
  // Every message of the control before the toolkit's handlers; true = handled.
  virtual bool MessageHook(TControl* sender, TMsg& msg);

  // Saves the control's message hook, then sets the mouse, message, key and destruction hooks.
  void BindControl();
  // The answer of the hook that was on the control before BindControl; false when there was none.
  bool CallSavedHook(TControl* sender, TMsg& msg);
  void ControlDestroyed(TObj* sender);

private:
  void KeyUp(TControl* sender, int32_t& key, uint32_t shift);
  void DblClick(TControl* sender, TMouseEventData& mouse);
  void ApplyFont();

  TMessageHook savedHook_;
  TMouseEventData lastMouse_{};
  THint* hint_ = nullptr;
};

// A Cursor property value as the cursor handle Windows takes.
inline HCURSOR CursorHandle(int32_t cursor) { return reinterpret_cast<HCURSOR>(static_cast<intptr_t>(cursor)); }
