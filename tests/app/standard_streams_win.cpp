// std::cout and std::cerr written into the error box.
#include "tests/app/standard_streams.h"

#include <iostream>
#include <new>
#include <streambuf>

#include "process/standard_output.h"

namespace {

class TErrorBoxStreamBuf : public std::streambuf {
protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      char ch = traits_type::to_char_type(c);
      StandardOutput().Write({&ch, 1});
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    StandardOutput().Write({text, static_cast<size_t>(count)});
    return count;
  }
};

}  // namespace

void BindStandardStreams() {
  // Never destroyed: the streams may be written during finalisation, in any order.
  alignas(TErrorBoxStreamBuf) static unsigned char storage[sizeof(TErrorBoxStreamBuf)];
  static TErrorBoxStreamBuf* buffer = new (storage) TErrorBoxStreamBuf;
  std::cout.rdbuf(buffer);
  std::cerr.rdbuf(buffer);
}
