// The error box buffer: fill, show and empty.
#include "process/error_box.h"

#include <cstring>

void TErrorBox::Write(std::string_view text) {
  while (!text.empty()) {
    size_t part = text.size() < Capacity - count_ ? text.size() : Capacity - count_;
    std::memcpy(text_ + count_, text.data(), part);
    count_ += part;
    text.remove_prefix(part);
    if (count_ == Capacity) Show();
  }
  if (EndsWithBlankLine()) Show();
}

void TErrorBox::Close() {
  if (count_ > 0) Show();
}

bool TErrorBox::EndsWithBlankLine() const {
  if (count_ <= 3) return false;
  for (size_t i = count_ - 4; i < count_; ++i) {
    if (text_[i] != '\r' && text_[i] != '\n') return false;
  }
  return true;
}

// The text is copied out and the buffer emptied before it is shown, so text written while the box is up
// (the box runs a message loop) starts a new buffer instead of disturbing the one being shown.
void TErrorBox::Show() {
  char shown[Capacity + 1];
  std::memcpy(shown, text_, count_);
  shown[count_] = 0;
  count_ = 0;
  show_(shown);
}
