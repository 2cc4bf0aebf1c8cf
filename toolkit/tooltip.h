// Tooltips: a control's hint text shown by the common-controls tooltip window when the mouse rests over
// it. One manager per program holds the tooltip windows; every hinted control registers one tool in the
// first of them.
#pragma once
#include <windows.h>

#include <cstdint>

#include "toolkit/obj.h"

class TControl;
class TList;

// One tooltip window.
class TToolTip : public TObj {
public:
  HWND Handle = nullptr;
  // Tools registered in the window.
  int32_t ToolCount = 0;

  // Makes the topmost tooltip window, owned by the applet's window when there is one.
  void Init() override;

protected:
  ~TToolTip() override;
};

// The program's tooltip windows.
class TToolTipManager : public TObj {
public:
  // TToolTip*, owned.
  TList* ToolTips = nullptr;

  void Init() override;
  // The first tooltip window, made when there is none yet.
  TToolTip* First();

protected:
  ~TToolTipManager() override;
};

// The manager; null until the first hint is set.
extern TToolTipManager* ToolTipManager;

// The hint of one control.
class THint : public TObj {
public:
  TToolTip* ToolTip = nullptr;
  bool Registered = false;
  TControl* Control;

  explicit THint(TControl* control) : Control(control) {}

  // Registers the control's tool with text (creating the control's window if needed), or, when it is
  // registered already, updates its text and rectangle.
  void SetText(const char* text);

protected:
  // Takes the tool out of its tooltip window.
  ~THint() override;

private:
  HWND window_ = nullptr;
};

// Sets the hint text of control, making the manager and the control's hint (kept in hint) on first use.
void SetHint(THint*& hint, TControl* control, const char* text);

// Frees the manager and its tooltip windows (at program end, after every THint).
void FreeToolTipManager();
