// wintool: the window-driving library as a command for shell scripts. Each command waits for its window.
//   wintool windows                              one line per visible top-level window: class, caption, process
//   wintool wait <caption> [timeout-ms]          exit code 0 once a visible window has the caption
//   wintool children <caption>                   one line per child: index, class, text, rectangle, id
//   wintool msgbox-text <caption>                prints the text of the message box
//   wintool msgbox-close <caption>               prints the text of the message box and presses OK
//   wintool type <caption> <child-index> <text>  posts the text as characters
//   wintool key <caption> <child-index> <vk>     posts a key press (virtual-key code, decimal or 0x..)
//   wintool click <caption> <child-index> [x y]  posts a left click (default: the child's centre)
//   wintool close <caption>                      posts WM_CLOSE
//   wintool resize <caption> <width> <height>    sets the window's outer size
//   wintool syscommand <caption> <code>          posts WM_SYSCOMMAND: a system menu item chosen
// A caption may be written as caption@class to find only a window of that class (e.g. Coilprobe@obj_Form).
// A child index of -1 means the top-level window itself. Exit codes: 0 done, 1 no such window, 2 usage.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/tools/wintool.h"

using namespace wintool;

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: wintool windows\n"
               "       wintool wait|children|msgbox-text|msgbox-close|close <caption>\n"
               "       wintool type <caption> <child-index> <text>\n"
               "       wintool key <caption> <child-index> <virtual-key>\n"
               "       wintool click <caption> <child-index> [x y]\n"
               "       wintool resize <caption> <width> <height>\n"
               "       wintool syscommand <caption> <code>\n");
  return 2;
}

int NotFound(const std::string& what) {
  std::fprintf(stderr, "wintool: no window %s\n", what.c_str());
  return 1;
}

// The target of an input command: a child by index, or the top-level window for -1.
HWND Target(HWND top, int index, RECT& rect) {
  if (index < 0) {
    GetClientRect(top, &rect);
    return top;
  }
  std::vector<TChild> children = Children(top);
  if (index >= static_cast<int>(children.size())) return nullptr;
  HWND child = children[index].Handle;
  GetClientRect(child, &rect);
  return child;
}

void PrintChildren(HWND top) {
  std::vector<TChild> children = Children(top);
  for (size_t i = 0; i < children.size(); ++i) {
    const TChild& c = children[i];
    std::printf("%zu\t%s\t\"%s\"\t%ld,%ld,%ld,%ld\tid=%d\t%s\n", i, c.Class.c_str(), c.Text.c_str(), c.Rect.left,
                c.Rect.top, c.Rect.right, c.Rect.bottom, c.Id, c.Visible ? "visible" : "hidden");
  }
}

void PrintTopWindows() {
  for (HWND window : ProcessWindows(0)) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    std::printf("%s\t\"%s\"\tprocess=%lu\n", ClassName(window).c_str(), WindowText(window).c_str(), processId);
  }
}

}  // namespace

int main(int argc, char** argv) {
  // Texts are printed as they are: line breaks inside a window's text stay CR LF, not CR CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc == 2 && std::string(argv[1]) == "windows") {
    PrintTopWindows();
    return 0;
  }
  if (argc < 3) return Usage();
  std::string command = argv[1];
  std::string caption = argv[2];
  bool isBox = command == "msgbox-text" || command == "msgbox-close";
  std::string className = isBox ? MessageBoxClass : "";
  if (size_t at = caption.rfind('@'); at != std::string::npos) {
    className = caption.substr(at + 1);
    caption.resize(at);
  }
  DWORD timeout = command == "wait" && argc > 3 ? std::strtoul(argv[3], nullptr, 10) : DefaultTimeoutMs;
  HWND top = WaitForTopWindow(caption, className.empty() ? nullptr : className.c_str(), 0, timeout);
  if (!top) return NotFound("\"" + caption + "\"");

  if (command == "wait") return 0;
  if (command == "children") {
    PrintChildren(top);
    return 0;
  }
  if (isBox) {
    std::printf("%s\n", MessageBoxText(top).c_str());
    if (command == "msgbox-close") CloseMessageBox(top);
    return 0;
  }
  if (command == "close") {
    PostClose(top);
    return 0;
  }
  if (command == "resize" && argc == 5) {
    SetWindowPos(top, nullptr, 0, 0, std::atoi(argv[3]), std::atoi(argv[4]), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
  }
  if (command == "syscommand" && argc == 4) {
    return PostMessageA(top, WM_SYSCOMMAND, std::strtoul(argv[3], nullptr, 0), 0) ? 0 : NotFound("to post to");
  }
  if (argc < 4) return Usage();
  RECT rect{};
  HWND target = Target(top, std::atoi(argv[3]), rect);
  if (!target) return NotFound(std::string("child ") + argv[3]);
  if (command == "type" && argc == 5) {
    PostText(target, argv[4]);
  } else if (command == "key" && argc == 5) {
    PostKey(target, std::strtoul(argv[4], nullptr, 0));
  } else if (command == "click" && (argc == 4 || argc == 6)) {
    int x = argc == 6 ? std::atoi(argv[4]) : (rect.right - rect.left) / 2;
    int y = argc == 6 ? std::atoi(argv[5]) : (rect.bottom - rect.top) / 2;
    PostClick(target, x, y);
  } else {
    return Usage();
  }
  return 0;
}
