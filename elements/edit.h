// TZvEdit: a one-line input box. In text mode it hands out its text; in number mode it accepts only
// text that is, or can still become, a real number (see number_syntax.h), undoes any keystroke that
// makes it neither, and hands out the number. Changes fire onChange; Enter fires onEnter and clears it.
#pragma once
#include <cstdint>

#include "elements/win.h"

// How the edit turns its text into the value it hands out.
enum TEditValueKind : uint8_t {
  vkText = 0,  // dtString with the text; always succeeds
  vkReal = 1,  // dtReal with the number; fails while the text is no complete number
};

class TZvEdit : public TZvWin {
public:
  using TZvWin::TZvWin;

  // Properties.
  TEditValueKind ValueKind = vkText;
  uint8_t Password = 0;            // show mask characters
  RcString Text;                   // initial text
  int32_t IgnoreFirstChange = 0;   // the first change after start does not fire onChange
  uint8_t ReadOnly = 0;
  // Data inputs.
  TZv_Event Str;                   // read by doText for the new text
  // Outputs.
  TZv_Event onEnter;               // Enter pressed with a valid value; data: the value
  TZv_Event onChange;              // the text changed to a valid value; data: the value

  // Creates the edit control with the initial text and applies the properties.
  void Init() override;
  // Sets a new text (incoming value or Str); its change fires onChange when the text is valid.
  void doText(TData& data, uint16_t index);
  // The data output Text: the current value, dtNull when the text is not valid.
  void TextValue(TData& data, uint16_t index);

protected:
  // Enter with onEnter connected: fires onEnter and swallows the key.
  void KeyDown(TControl* sender, int32_t& key, uint32_t shift) override;

private:
  // The change states.
  enum : int32_t { csIgnoreOnce = 0, csFire = 1, csOwnChange = 2 };

  void ChangeStep(TControl* sender);
  // Whether doText with this text can leave the window alone: nothing visible and nothing fired would differ.
  bool SetWouldChangeNothing(const RcString& text) const;
  // Runs the value kind's conversion into value_; false when it fails.
  bool Convert();
  bool ConvertReal();

  RcString lastValidText_;
  int32_t lastValidCaret_ = 0;
  int32_t changeState_ = csIgnoreOnce;
  bool enterFlag_ = false;
  TData value_;
};
