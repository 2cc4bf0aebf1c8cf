// The text buffer behind standard output and standard error in a windowed process: written text waits
// here and is shown as one message box when a report is complete, the buffer is full, or the output closes.
#pragma once
#include <cstddef>
#include <string_view>

class TErrorBox {
public:
  static constexpr size_t Capacity = 1024;
  // Shows one box with the given zero-terminated text.
  using ShowProc = void (*)(const char* text);

  constexpr explicit TErrorBox(ShowProc show) : show_(show) {}

  // Appends text. The buffer is shown and emptied whenever it fills up (the rest of the text goes on in
  // the emptied buffer), and after the write when it holds more than three characters of which the last
  // four are all line breaks (CR or LF in any mix): a complete report ends with an empty line.
  void Write(std::string_view text);
  // Shows what is pending, if anything: the output is closed at process end.
  void Close();
  size_t Count() const { return count_; }

private:
  void Show();
  bool EndsWithBlankLine() const;

  ShowProc show_;
  size_t count_ = 0;
  char text_[Capacity + 1] = {};
};
