// The window-driving test library.
#include "tests/tools/wintool.h"

namespace wintool {

std::string ClassName(HWND window) {
  char name[256];
  int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? length : 0);
}

// The text can change between the two messages (a tick sets a read-out while a test reads it): a copy
// that fills the buffer may have been cut short, so it is asked for again with a buffer twice as large.
std::string WindowText(HWND window) {
  constexpr size_t kLongestText = size_t{1} << 24;
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  for (size_t size = length + 2;; size *= 2) {
    std::string text(size, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             5000, &copied)) {
      return {};
    }
    if (copied + 1 < size || size >= kLongestText) {
      text.resize(copied < size ? copied : size - 1);
      return text;
    }
  }
}

namespace {

struct TTopSearch {
  const std::string* Caption;
  const char* ClassName;
  DWORD ProcessId;
  bool IncludeHidden;
  std::vector<HWND> Found;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<TTopSearch*>(data);
  if (!search.IncludeHidden && !IsWindowVisible(window)) return TRUE;
  if (search.ProcessId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.ProcessId) return TRUE;
  }
  if (search.ClassName && ClassName(window) != search.ClassName) return TRUE;
  if (search.Caption && WindowText(window) != *search.Caption) return TRUE;
  search.Found.push_back(window);
  return TRUE;
}

std::vector<HWND> SearchTopWindows(const std::string* caption, const char* className, DWORD processId,
                                   bool includeHidden) {
  TTopSearch search{caption, className, processId, includeHidden, {}};
  EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

struct TChildSearch {
  HWND Top;
  std::vector<TChild> Found;
};

BOOL CALLBACK CollectChild(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<TChildSearch*>(data);
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, search.Top, reinterpret_cast<POINT*>(&rect), 2);
  search.Found.push_back({window, GetParent(window), ClassName(window), WindowText(window), rect,
                          GetDlgCtrlID(window), IsWindowVisible(window) != FALSE});
  return TRUE;
}

}  // namespace

std::vector<HWND> FindTopWindows(const std::string& caption, const char* className, DWORD processId,
                                 bool includeHidden) {
  return SearchTopWindows(&caption, className, processId, includeHidden);
}

HWND FindTopWindow(const std::string& caption, const char* className, DWORD processId) {
  std::vector<HWND> found = FindTopWindows(caption, className, processId);
  return found.empty() ? nullptr : found.front();
}

HWND WaitForTopWindow(const std::string& caption, const char* className, DWORD processId, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindTopWindow(caption, className, processId)) return window;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Sleep(20);
  }
}

std::vector<HWND> ProcessWindows(DWORD processId) { return SearchTopWindows(nullptr, nullptr, processId, false); }

std::vector<TChild> Children(HWND top) {
  TChildSearch search{top, {}};
  EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

void CloseMessageBox(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

void PostKey(HWND window, UINT virtualKey) {
  LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | scan);
  PostMessageA(window, WM_KEYUP, virtualKey, 1 | scan | (1 << 30) | (1u << 31));
}

void PostText(HWND window, const std::string& text) {
  for (char c : text) PostMessageA(window, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void PostClick(HWND window, int x, int y) {
  LPARAM point = MAKELPARAM(x, y);
  PostMessageA(window, WM_MOUSEMOVE, 0, point);
  PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(window, WM_LBUTTONUP, 0, point);
}

void PostClose(HWND window) { PostMessageA(window, WM_CLOSE, 0, 0); }

TProcess::TProcess(const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_)) {
    info_ = {};
    return;
  }
  CloseHandle(info_.hThread);
  info_.hThread = nullptr;
}

TProcess::~TProcess() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hProcess);
}

std::optional<DWORD> TProcess::WaitForExit(DWORD timeoutMs) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

std::string PathBesideExecutable(const std::string& relative) {
  char path[MAX_PATH + 1];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string folder(path, length);
  folder.erase(folder.find_last_of("\\/") + 1);
  std::string tail = relative;
  for (char& c : tail) {
    if (c == '/') c = '\\';
  }
  return folder + tail;
}

std::string Quoted(const std::string& text) { return '"' + text + '"'; }

}  // namespace wintool
