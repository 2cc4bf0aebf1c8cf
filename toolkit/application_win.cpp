// The application loop: its globals, the applet and forms with their message handlers, the message pump,
// the start queue and the orderly shutdown.
#include "toolkit/application.h"

#include <vector>

#include "toolkit/color.h"
#include "toolkit/control_internal.h"
#include "toolkit/graphic_tool.h"

TControl* Applet = nullptr;
bool AppletRunning = false;
bool AppletTerminated = false;
bool AppletInUse = false;
TControl* CreatedApplet = nullptr;
HINSTANCE ModuleInstance = GetModuleHandleA(nullptr);
TCallback<void()> IdleHook;
TApplicationHook StartHook = nullptr;
TApplicationHook SessionEndHook = nullptr;

static std::vector<TCallback<void()>>& StartQueue() {
  static std::vector<TCallback<void()>> queue;
  return queue;
}

// --- Applet

// The applet's system menu can only minimize, restore (greyed) and close.
static void TrimSystemMenu(void*, TControl* applet) {
  HMENU menu = GetSystemMenu(applet->Handle, FALSE);
  DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
  DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
  EnableMenuItem(menu, SC_RESTORE, MF_BYCOMMAND | MF_GRAYED);
}

static bool AppletHandler(void*, TControl* applet, TMsg& msg) {
  if (msg.message == WM_SETFOCUS) {
    TControl* form = applet->CurrentControl;
    if (!form || !form->GetWindowHandle()) return false;
    SetFocus(form->Handle);
    msg.Result = 0;
    return true;
  }
  if (msg.message == WM_SYSCOMMAND && (msg.wParam & 0xFFF0) == SC_CLOSE) {
    if (applet->Children->Count > 0) {
      TControl* first = static_cast<TControl*>(applet->Children->Items[0]);
      if (first->IsMainWindow() && first->Handle) PostMessageA(first->Handle, WM_CLOSE, 0, 0);
    }
    msg.Result = 0;
    return true;
  }
  return false;
}

TControl* NewApplet(const char* caption) {
  TControl* applet = NewControl(nullptr, "App", true);
  applet->Style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // 0x90CA0000
  applet->ExStyle = WS_EX_APPWINDOW;
  applet->IsApplet = true;
  applet->AttachProc({&AppletHandler, nullptr});
  applet->OnCreateWindow = {&TrimSystemMenu, nullptr};
  applet->SetCaption(caption ? caption : "");
  AppletInUse = true;
  CreatedApplet = applet;
  return applet;
}

// --- Forms

static bool FormFocusHandler(void*, TControl* form, TMsg& msg) {
  if (msg.message == WM_SETFOCUS) {
    bool handled = false;
    TControl* current = form->CurrentControl;
    if (current && current->GetWindowHandle()) {
      ++current->Focusing;
      SetFocus(current->Handle);
      --current->Focusing;
      msg.Result = 0;
      handled = true;
    }
    if (CreatedApplet && CreatedApplet != form) CreatedApplet->CurrentControl = form;
    return handled;
  }
  if (msg.message == WM_ENDSESSION && msg.wParam) {
    AppletTerminated = true;
    AppletRunning = false;
    TControl* applet = Applet;
    Applet = nullptr;
    if (applet) applet->Free();
    if (SessionEndHook) SessionEndHook();
    msg.Result = 0;
    return true;
  }
  return false;
}

// The form paints its own background in its Color.
static bool FormEraseHandler(void*, TControl* form, TMsg& msg) {
  if (msg.message != WM_ERASEBKGND || form->Transparent) return false;
  HDC dc = reinterpret_cast<HDC>(msg.wParam);
  RECT client = form->ClientRect();
  SetBrushOrgEx(dc, 0, 0, nullptr);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, Color2RGB(form->Color));
  FillRect(dc, &client, static_cast<HBRUSH>(form->GetBrush()->GetHandle()));
  msg.Result = 1;
  return true;
}

TControl* NewForm(TControl* parent, const char* caption) {
  TControl* form = NewControl(parent ? parent : Applet, "Form", true);
  form->IsForm = true;
  form->ClassStyle |= CS_DBLCLKS;
  form->AttachProc({&FormFocusHandler, nullptr});
  form->AttachProc({&FormEraseHandler, nullptr});
  form->SetCaption(caption ? caption : "");
  return form;
}

// --- The loop

void Run(TControl* applet) {
  AppletRunning = true;
  Applet = applet;
  if (applet) applet->GetWindowHandle();
  while (!AppletTerminated) {
    WaitMessage();
    ProcessMessages();
    if (IdleHook.Assigned()) IdleHook();
  }
  if (Applet) TerminateExecution();
}

void ProcessMessages() {
  while (ProcessMessage()) {
  }
}

bool ProcessMessage() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    AppletTerminated = true;
    return true;
  }
  if (IsLifecycleMessage(msg.message)) return true;
  if (Applet && Applet->PreTranslate.Assigned() && Applet->PreTranslate(Applet, msg)) return true;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return true;
}

void TerminateExecution() {
  const bool alreadyTerminating = AppletTerminated;
  AppletTerminated = true;
  AppletRunning = false;
  TControl* applet = Applet;
  Applet = nullptr;
  if (!applet) return;
  applet->RefInc();
  if (!alreadyTerminating) {
    ProcessMessages();
    if (applet->Handle) SendMessageA(applet->Handle, WM_CLOSE, 0, 0);
  }
  applet->Free();
  applet->RefDec();
}

void StartApplication(bool mainFormVisible) {
  if (CreatedApplet) CreatedApplet->SetVisible(mainFormVisible);
  if (StartHook) StartHook();
  std::vector<TCallback<void()>>& queue = StartQueue();
  for (size_t i = 0; i < queue.size(); ++i) {
    TCallback<void()> step = queue[i];
    step();
  }
  queue.clear();
}

void RegisterStart(TCallback<void()> step) { StartQueue().push_back(step); }
