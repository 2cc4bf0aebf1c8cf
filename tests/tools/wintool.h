// A small library for driving a Windows program from a test: find top-level windows, list their child
// windows, read and close message boxes, post keys and mouse clicks, start a process and get its exit code.
// Linked into the Windows test executables and behind the wintool command.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace wintool {

// How long the wait functions wait by default: long enough for a cold Wine start on a loaded machine.
constexpr DWORD DefaultTimeoutMs = 30000;

struct TChild {
  HWND Handle;
  HWND Parent;
  std::string Class;
  std::string Text;
  RECT Rect;  // in the client coordinates of the top-level window
  int Id;
  bool Visible;
};

std::string ClassName(HWND window);
// The window's text, asked with WM_GETTEXT (works for controls of other processes too).
std::string WindowText(HWND window);

// Top-level windows whose caption is exactly caption, optionally only of one window class and one
// process (0 = any), visible ones only unless includeHidden.
std::vector<HWND> FindTopWindows(const std::string& caption, const char* className = nullptr, DWORD processId = 0,
                                 bool includeHidden = false);
// The first visible such window, or null.
HWND FindTopWindow(const std::string& caption, const char* className = nullptr, DWORD processId = 0);
// Polls until FindTopWindow finds one or the timeout passes (null then).
HWND WaitForTopWindow(const std::string& caption, const char* className = nullptr, DWORD processId = 0,
                      DWORD timeoutMs = DefaultTimeoutMs);
// Every visible top-level window of a process (0: of every process).
std::vector<HWND> ProcessWindows(DWORD processId);

// Every descendant window of top, depth first in child order.
std::vector<TChild> Children(HWND top);

// Message boxes: window class "#32770"; the text is the static control 0xFFFF.
constexpr const char* MessageBoxClass = "#32770";
std::string MessageBoxText(HWND box);
// Presses the box's OK button (IDOK).
void CloseMessageBox(HWND box);

// Posted input. Keys go straight to the given window; clicks are at client coordinates of it.
void PostKey(HWND window, UINT virtualKey);
void PostText(HWND window, const std::string& text);
void PostClick(HWND window, int x, int y);
void PostClose(HWND window);

// A started process, ended (TerminateProcess) when still running on destruction.
class TProcess {
public:
  // Runs commandLine; the program is its first parameter. Started() tells whether that worked.
  explicit TProcess(const std::string& commandLine);
  ~TProcess();
  TProcess(const TProcess&) = delete;
  TProcess& operator=(const TProcess&) = delete;

  bool Started() const { return info_.hProcess != nullptr; }
  DWORD Id() const { return info_.dwProcessId; }
  // The exit code once the process has ended, or nothing when it is still running after the timeout.
  std::optional<DWORD> WaitForExit(DWORD timeoutMs = DefaultTimeoutMs);

private:
  PROCESS_INFORMATION info_{};
};

// The full path of relative, taken from the folder of the running executable.
std::string PathBesideExecutable(const std::string& relative);
// The text in double quotes, as a command-line parameter.
std::string Quoted(const std::string& text);

}  // namespace wintool
