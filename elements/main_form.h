// TZvMainForm: the element that owns a top-level window (a form). The first one created also creates the
// applet and is the main form: its caption and icon go to the applet too, the applet follows its
// position and width, and closing it ends the program. Its start step runs from the start queue, after
// the whole schematic is built: it fires onCreate and then onShow.
#pragma once
#include <cstdint>

#include "elements/win.h"

class TBitmap;

// Border styles of SetBorderStyle.
enum TBorderStyle : uint8_t {
  bsNone = 0,
  bsSingle = 1,               // fixed single
  bsSizeable = 2,             // the default
  bsDialog = 3,
  bsToolWindow = 4,           // fixed tool window
  bsSizeToolWin = 5,          // sizeable tool window
  bsFramedNoCaption = 6,
  bsSizeableNoCaption = 7,
};
// Values of HiddenMode.
enum THiddenMode : uint8_t {
  hmOff = 0,
  hmOn = 1,  // start hidden; a secondary form closes instead of hiding
};
// Window states of WindowState.
enum : uint8_t { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

class TZvMainForm : public TZvWin {
public:
  // parentControl is ignored: a form belongs to the applet.
  explicit TZvMainForm(TControl* parentControl = nullptr);

  uint8_t IsMain = 0;  // this element created the applet
  uint8_t Shown = 0;   // the first show has happened

  // Properties.
  TBitmap* BackgroundImage = nullptr;  // drawn at (0, 0) before onPaint when not empty; not owned
  THiddenMode HiddenMode = hmOff;
  uint8_t DragForm = 0;                // a button pressed anywhere in the form drags the window
  uint8_t AlphaBlend = 255;            // opacity, 255 opaque
  uint8_t WindowState = 0;             // applied on the first show: 0 as created, 1 minimized, 2 maximized
  TCallback<void(int32_t state)> StateProc;  // 0 on the first show, 1 when a close is accepted
  uint8_t ClientSize = 0;              // Width and Height give the client area
  TZv_Event CloseQuery;                // read on a close request: a non-zero integer refuses it

  // Outputs.
  TZv_Event onActivate, onDeactivate, onResize, onShow;
  TZv_Event onCreate;    // the start step ran (before the first onShow)
  TZv_Event onMove;
  TZv_Event onPaint;     // integer window handle
  TZv_Event onClose;     // the main form accepted a close
  TZv_Event onCopyData;  // integer lParam of WM_COPYDATA

  // Property operations, applied at once (the schematic calls them before Init).
  void SetCaption(const char* text);
  // One of the bs values above; others change nothing.
  void SetBorderStyle(TBorderStyle style);
  void SetIcon(HICON icon);
  // On the main form, hmOn also takes the applet off the task bar.
  void SetHiddenMode(THiddenMode mode);

  void Init() override;

protected:
  void MouseDown(TControl* sender, TMouseEventData& mouse) override;
  bool MessageHook(TControl* sender, TMsg& msg) override;

private:
  void StartStep();
  void FirstShow(TControl* sender);
  void Resized(TControl* sender);
  void Paint(TControl* sender, HDC dc);
  // Whether the close is accepted.
  bool CloseStep();
  void ApplySize();

  TControl* applet_ = nullptr;
};
