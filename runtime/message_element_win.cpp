// TZvMessage: the text and title reading rule, the style tables and the modal box.
#include "runtime/message_element.h"

#include <windows.h>

#include "toolkit/application.h"

uint32_t TZvMessage::Style() const {
  static const uint32_t buttons[] = {MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL, MB_RETRYCANCEL,
                                     MB_ABORTRETRYIGNORE};
  static const uint32_t icons[] = {0, MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK,
                                   MB_ICONWARNING};
  uint32_t style = Mode < sizeof buttons / sizeof buttons[0] ? buttons[Mode] : MB_OK;
  if (Icon < sizeof icons / sizeof icons[0]) style |= icons[Icon];
  return style;
}

// The window of the control that last had the focus in the running applet, else of its first child (the
// main form); none without an applet.
static HWND BoxOwner() {
  if (!Applet) return nullptr;
  if (Applet->CurrentControl) return Applet->CurrentControl->Handle;
  if (Applet->Children && Applet->Children->Count > 0) return static_cast<TControl*>(Applet->Children->Items[0])->Handle;
  return nullptr;
}

void TZvMessage::doMessage(TData& data, uint16_t) {
  RcString text = ReadString(data, Text, Message);
  RcString title = ReadString(data, CaptionLink, Caption);
  int code = MessageBoxA(BoxOwner(), text.c_str(), title.c_str(), Style());
  FireInteger(onResult, code);
}
