// A windowed program on the runtime support and the program's own C++ library error paths that asks a
// container for an element it does not have, for the test that watches how it ends.
#include <windows.h>

#include <vector>

#include "process/runtime_support.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  StartRuntime();
  const std::vector<int> none;
  volatile size_t missing = 0;
  Halt(none.at(missing));
}
