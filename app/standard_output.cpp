// The error box on Windows: shown with MessageBoxA on a thread of its own, and the C++ standard streams
// bound to it.
#include "app/standard_output.h"

#include <windows.h>

#include <iostream>
#include <new>
#include <streambuf>
#include <string_view>

namespace {

DWORD WINAPI ShowBoxThread(void* text) {
  MessageBoxA(nullptr, static_cast<const char*>(text), "Error", MB_OK);
  return 0;
}

// The box runs on a fresh thread while the writing thread waits: the box's message loop then dispatches
// nothing to the program's own windows (a program that is reporting a fault may be unable to paint or
// react), and the box has a stack of its own even when the report follows a stack overflow. Messages
// other threads send to the waiting thread are still handled, so no sender waits forever.
void ShowBox(const char* text) {
  HANDLE thread = CreateThread(nullptr, 0, ShowBoxThread, const_cast<char*>(text), 0, nullptr);
  if (!thread) {
    ShowBoxThread(const_cast<char*>(text));
    return;
  }
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  CloseHandle(thread);
}

// Constant-initialised and trivially destructible: usable before and after every C++ initialiser and
// finaliser.
TErrorBox errorBox(ShowBox);

class TErrorBoxStreamBuf : public std::streambuf {
protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      char ch = traits_type::to_char_type(c);
      errorBox.Write({&ch, 1});
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    errorBox.Write({text, static_cast<size_t>(count)});
    return count;
  }
};

}  // namespace

TErrorBox& StandardOutput() { return errorBox; }

void BindStandardStreams() {
  // Never destroyed: the streams may be written during finalisation, in any order.
  alignas(TErrorBoxStreamBuf) static unsigned char storage[sizeof(TErrorBoxStreamBuf)];
  static TErrorBoxStreamBuf* buffer = new (storage) TErrorBoxStreamBuf;
  std::cout.rdbuf(buffer);
  std::cerr.rdbuf(buffer);
}
