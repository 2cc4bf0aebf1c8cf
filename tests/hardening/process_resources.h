// A running process's resource use, read from outside: its GDI objects, user objects, kernel handles and
// memory, for tests that check that a long-running program does not leak.
//
// GetGuiResources and GetProcessHandleCount are asked first. Where the system does not implement them
// (Wine answers GetGuiResources with ERROR_CALL_NOT_IMPLEMENTED and counts no handles), the same things
// are counted by other means: the GDI objects in the process's GDI handle table (its PEB points to it),
// the user objects as the process's windows (top-level, hidden, message-only and child windows), the
// handles in the system's handle list. Sources says which way each count was read.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace resources {

struct TResourceCounts {
  uint32_t GdiObjects = 0;
  uint32_t UserObjects = 0;
  uint32_t Handles = 0;
  uint64_t PrivateBytes = 0;  // committed memory of the process's own
  uint64_t WorkingSet = 0;
};

struct TSources {
  std::string Gdi, User, Handles;
};

// Reads the counts of a process opened with PROCESS_QUERY_INFORMATION and PROCESS_VM_READ. False when a
// count could not be read either way.
bool ReadCounts(HANDLE process, TResourceCounts& counts, TSources* sources = nullptr);

// The counts of process `processId`, each the smallest of `readings` readings `pauseMs` apart, so objects
// the program holds only for a moment (a device context while it paints) do not count. False as above or
// when the process cannot be opened.
bool SteadyCounts(DWORD processId, TResourceCounts& counts, TSources* sources = nullptr, int readings = 3,
                  DWORD pauseMs = 50);

// One line for a report: "GDI 123, user 45, handles 67, private 8.9 MB, working set 12.3 MB".
std::string Describe(const TResourceCounts& counts);

}  // namespace resources
