// ParamStr over the process's own command line and program file name.
#include <windows.h>

#include "process/command_line.h"

RcString ParamStr(int n) {
  if (n == 0) {
    char path[MAX_PATH + 1];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return RcString(path, length);
  }
  return RcString(CommandLineParam(GetCommandLineA(), n));
}
