// Tooltips through the common-controls tooltip window class.
#include "toolkit/tooltip.h"

#include <commctrl.h>

#include "toolkit/application.h"
#include "toolkit/control.h"
#include "toolkit/list.h"

TToolTipManager* ToolTipManager = nullptr;

namespace {

// InitCommonControlsEx is looked up by name; a system library without it still has the window class.
void InitBarClasses() {
  using InitProc = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  HMODULE library = LoadLibraryA("comctl32.dll");
  if (!library) return;
  auto init = reinterpret_cast<InitProc>(reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
  if (!init) return;
  INITCOMMONCONTROLSEX classes{8, ICC_BAR_CLASSES};
  init(&classes);
}

TTTOOLINFOA ToolInfo(HWND window) {
  TTTOOLINFOA info{};
  // The tool description without the reserved field of later versions: 44 bytes in the i686 program.
  info.cbSize = TTTOOLINFOA_V2_SIZE;
  info.hwnd = window;
  info.uId = reinterpret_cast<UINT_PTR>(window);
  return info;
}

}  // namespace

// Hints are set while the schematics are built, before the loop runs, so the owner is the applet made by
// NewApplet (its window made now if need be), not the running one.
void TToolTip::Init() {
  InitBarClasses();
  HWND owner = CreatedApplet ? CreatedApplet->GetWindowHandle() : nullptr;
  Handle = CreateWindowExA(0, TOOLTIPS_CLASSA, "", WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, owner, nullptr, ModuleInstance, nullptr);
  SetWindowPos(Handle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

// The window normally goes with the applet's window that owns it; one without an owner is destroyed here.
TToolTip::~TToolTip() {
  if (Handle && IsWindow(Handle)) DestroyWindow(Handle);
}

void TToolTipManager::Init() { ToolTips = NewList(); }

TToolTip* TToolTipManager::First() {
  if (ToolTips->Count == 0) ToolTips->Add(NewObj<TToolTip>());
  return static_cast<TToolTip*>(ToolTips->Items[0]);
}

TToolTipManager::~TToolTipManager() {
  for (int32_t i = 0; i < ToolTips->Count; ++i) static_cast<TToolTip*>(ToolTips->Items[i])->Free();
  ToolTips->Free();
}

void FreeToolTipManager() {
  if (!ToolTipManager) return;
  ToolTipManager->Free();
  ToolTipManager = nullptr;
}

// The description is complete each time, so an update needs nothing of the registered one.
void THint::SetText(const char* text) {
  if (!ToolTip) ToolTip = ToolTipManager->First();
  window_ = Control->GetWindowHandle();
  TTTOOLINFOA info = ToolInfo(window_);
  info.uFlags = TTF_SUBCLASS;
  GetClientRect(window_, &info.rect);
  info.lpszText = const_cast<char*>(text ? text : "");
  if (!Registered) {
    SendMessageA(ToolTip->Handle, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    Registered = true;
    ToolTip->ToolCount += 1;
  } else {
    SendMessageA(ToolTip->Handle, TTM_SETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info));
  }
}

THint::~THint() {
  if (!Registered) return;
  TTTOOLINFOA info = ToolInfo(window_);
  SendMessageA(ToolTip->Handle, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  ToolTip->ToolCount -= 1;
}

void SetHint(THint*& hint, TControl* control, const char* text) {
  if (!ToolTipManager) ToolTipManager = NewObj<TToolTipManager>();
  if (!hint) hint = NewObj<THint>(control);
  hint->SetText(text);
}
