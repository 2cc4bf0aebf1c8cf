// TZvMessage: shows a standard Windows message box and reports the button that closed it.
#pragma once
#include <cstdint>

#include "runtime/data.h"

class TZvMessage {
public:
  // Message text used when the data input Text is not connected.
  RcString Message;
  // Box title used when the data input CaptionLink is not connected.
  RcString Caption;
  // Values of Mode, the button set; other values: OK.
  enum : uint8_t { mbOk = 0, mbOkCancel = 1, mbYesNo = 2, mbYesNoCancel = 3, mbRetryCancel = 4, mbAbortRetryIgnore = 5 };
  uint8_t Mode = mbOk;
  // Values of Icon; other values: none.
  enum : uint8_t { miNone = 0, miHand = 1, miQuestion = 2, miExclamation = 3, miAsterisk = 4, miWarning = 5 };
  uint8_t Icon = miNone;
  // Data inputs: the message text and the title.
  TZv_Event Text;
  TZv_Event CaptionLink;
  // Fired with the pressed button's code (dtInteger): 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No;
  // 0 when the box could not be shown.
  TZv_Event onResult;

  // Shows the box (modal: other messages, timer ticks included, keep being handled meanwhile) and fires
  // onResult. The text is read first, so an arriving value used up as the text is gone for the title.
  void doMessage(TData& data, uint16_t index);

  // The MessageBoxA style of the Mode and Icon properties.
  uint32_t Style() const;
};
