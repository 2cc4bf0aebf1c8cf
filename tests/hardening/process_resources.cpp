// Reading another process's resource counts (see process_resources.h).
#include "tests/hardening/process_resources.h"

#include <winternl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace resources {

namespace {

// One entry of a GDI handle table: the layout is the same for 32- and 64-bit processes. A free entry
// has type 0.
struct TGdiHandleEntry {
  uint64_t Object;
  uint32_t Owner;
  uint16_t Unique;
  uint8_t Type;
  uint8_t Flags;
  uint64_t UserPointer;
};
static_assert(sizeof(TGdiHandleEntry) == 24, "GDI handle table entries are 24 bytes");
constexpr size_t kGdiTableEntries = 0x10000;
// Where the PEB keeps the table's address.
constexpr size_t kPebGdiTableOffset = sizeof(void*) == 4 ? 0x94 : 0xF8;

// One entry of the system's handle list (SystemHandleInformation).
struct TSystemHandle {
  ULONG ProcessId;
  BYTE ObjectType;
  BYTE Flags;
  USHORT Value;
  PVOID Object;
  ULONG Access;
};
constexpr SYSTEM_INFORMATION_CLASS kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);

bool CountGdiTable(HANDLE process, uint32_t& count) {
  PROCESS_BASIC_INFORMATION basic{};
  ULONG length = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) return false;
  ULONG_PTR table = 0;
  SIZE_T read = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTableOffset, &table,
                         sizeof table, &read) ||
      table == 0) {
    return false;
  }
  std::vector<TGdiHandleEntry> entries(kGdiTableEntries);
  if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(),
                         entries.size() * sizeof(TGdiHandleEntry), &read)) {
    return false;
  }
  count = static_cast<uint32_t>(
      std::count_if(entries.begin(), entries.end(), [](const TGdiHandleEntry& e) { return e.Type != 0; }));
  return true;
}

struct TWindowCount {
  DWORD ProcessId;
  uint32_t Count;
};

BOOL CALLBACK CountChild(HWND window, LPARAM data) {
  auto& count = *reinterpret_cast<TWindowCount*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == count.ProcessId) ++count.Count;
  return TRUE;
}

BOOL CALLBACK CountTopWindow(HWND window, LPARAM data) {
  auto& count = *reinterpret_cast<TWindowCount*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != count.ProcessId) return TRUE;
  ++count.Count;
  EnumChildWindows(window, CountChild, data);
  return TRUE;
}

uint32_t CountWindows(DWORD processId) {
  TWindowCount count{processId, 0};
  EnumWindows(CountTopWindow, reinterpret_cast<LPARAM>(&count));
  for (HWND window = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = FindWindowExA(HWND_MESSAGE, window, nullptr, nullptr)) {
    CountTopWindow(window, reinterpret_cast<LPARAM>(&count));
  }
  return count.Count;
}

bool CountSystemHandles(DWORD processId, uint32_t& count) {
  std::vector<char> buffer(1 << 20);
  for (;;) {
    ULONG needed = 0;
    const NTSTATUS status = NtQuerySystemInformation(kSystemHandleInformation, buffer.data(),
                                                     static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInfoLengthMismatch) {
      buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
      continue;
    }
    if (status != 0) return false;
    break;
  }
  const ULONG total = *reinterpret_cast<const ULONG*>(buffer.data());
  const auto* handles = reinterpret_cast<const TSystemHandle*>(buffer.data() + sizeof(ULONG_PTR));
  count = static_cast<uint32_t>(
      std::count_if(handles, handles + total, [&](const TSystemHandle& h) { return h.ProcessId == processId; }));
  return true;
}

// GetGuiResources, or nothing when the system does not implement it.
bool GuiResources(HANDLE process, DWORD kind, uint32_t& count) {
  SetLastError(ERROR_SUCCESS);
  count = GetGuiResources(process, kind);
  return count != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED;
}

}  // namespace

bool ReadCounts(HANDLE process, TResourceCounts& counts, TSources* sources) {
  TSources used{"GetGuiResources", "GetGuiResources", "GetProcessHandleCount"};
  const DWORD processId = GetProcessId(process);
  if (!GuiResources(process, GR_GDIOBJECTS, counts.GdiObjects)) {
    used.Gdi = "the process's GDI handle table";
    if (!CountGdiTable(process, counts.GdiObjects)) return false;
  }
  if (!GuiResources(process, GR_USEROBJECTS, counts.UserObjects)) {
    used.User = "the process's windows";
    counts.UserObjects = CountWindows(processId);
  }
  DWORD handles = 0;
  // A running process always holds handles: none means the count is not kept.
  if (GetProcessHandleCount(process, &handles) && handles != 0) {
    counts.Handles = handles;
  } else {
    used.Handles = "the system's handle list";
    if (!CountSystemHandles(processId, counts.Handles)) return false;
  }
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (!GetProcessMemoryInfo(process, &memory, sizeof memory)) return false;
  counts.PrivateBytes = memory.PagefileUsage;
  counts.WorkingSet = memory.WorkingSetSize;
  if (sources) *sources = used;
  return true;
}

bool SteadyCounts(DWORD processId, TResourceCounts& counts, TSources* sources, int readings, DWORD pauseMs) {
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
  if (!process) return false;
  bool ok = true;
  for (int i = 0; i < readings && ok; ++i) {
    if (i > 0) Sleep(pauseMs);
    TResourceCounts reading;
    ok = ReadCounts(process, reading, sources);
    if (i == 0) counts = reading;
    counts.GdiObjects = std::min(counts.GdiObjects, reading.GdiObjects);
    counts.UserObjects = std::min(counts.UserObjects, reading.UserObjects);
    counts.Handles = std::min(counts.Handles, reading.Handles);
    counts.PrivateBytes = std::min(counts.PrivateBytes, reading.PrivateBytes);
    counts.WorkingSet = std::min(counts.WorkingSet, reading.WorkingSet);
  }
  CloseHandle(process);
  return ok;
}

std::string Describe(const TResourceCounts& counts) {
  char text[160];
  std::snprintf(text, sizeof text, "GDI %u, user %u, handles %u, private %.2f MB, working set %.2f MB",
                static_cast<unsigned>(counts.GdiObjects), static_cast<unsigned>(counts.UserObjects),
                static_cast<unsigned>(counts.Handles), counts.PrivateBytes / 1048576.0, counts.WorkingSet / 1048576.0);
  return text;
}

}  // namespace resources
