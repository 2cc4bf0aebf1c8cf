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
  // Button set: 0 OK, 1 OK/Cancel, 2 Yes/No, 3 Yes/No/Cancel, 4 Retry/Cancel, 5 Abort/Retry/Ignore; other: OK.
  uint8_t Mode = 0;
  // Icon: 0 none, 1 hand, 2 question, 3 exclamation, 4 asterisk, 5 warning; other: none.
  uint8_t Icon = 0;
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
