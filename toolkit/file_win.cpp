// File access through the Windows API.
#include <windows.h>

#include "toolkit/file.h"

namespace {
HANDLE AsHandle(TFileHandle file) { return reinterpret_cast<HANDLE>(file); }
bool Valid(TFileHandle file) { return file != kInvalidFile; }
constexpr DWORD kMaxChunk = 1u << 30;
}  // namespace

TFileHandle FileCreate(const char* name) {
  // OPEN_ALWAYS and SetEndOfFile empty an existing file in place (CREATE_ALWAYS would refuse a hidden
  // one); a directory cannot be opened this way.
  HANDLE h = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return kInvalidFile;
  if (!SetEndOfFile(h)) {
    CloseHandle(h);
    return kInvalidFile;
  }
  return reinterpret_cast<TFileHandle>(h);
}

void FileClose(TFileHandle file) {
  if (Valid(file)) CloseHandle(AsHandle(file));
}

size_t FileWrite(TFileHandle file, const void* data, size_t count) {
  if (!Valid(file)) return 0;
  size_t done = 0;
  while (done < count) {
    const DWORD chunk = count - done > kMaxChunk ? kMaxChunk : static_cast<DWORD>(count - done);
    DWORD written = 0;
    if (!WriteFile(AsHandle(file), static_cast<const char*>(data) + done, chunk, &written, nullptr) || written == 0)
      break;
    done += written;
  }
  return done;
}

size_t FileRead(TFileHandle file, void* data, size_t count) {
  if (!Valid(file)) return 0;
  size_t done = 0;
  while (done < count) {
    const DWORD chunk = count - done > kMaxChunk ? kMaxChunk : static_cast<DWORD>(count - done);
    DWORD read = 0;
    if (!ReadFile(AsHandle(file), static_cast<char*>(data) + done, chunk, &read, nullptr) || read == 0) break;
    done += read;
  }
  return done;
}

bool FileSeek(TFileHandle file, uint64_t position) {
  if (!Valid(file)) return false;
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(position);
  return SetFilePointerEx(AsHandle(file), to, nullptr, FILE_BEGIN) != 0;
}

uint64_t FilePosition(TFileHandle file) {
  if (!Valid(file)) return 0;
  LARGE_INTEGER zero{}, at{};
  if (!SetFilePointerEx(AsHandle(file), zero, &at, FILE_CURRENT)) return 0;
  return static_cast<uint64_t>(at.QuadPart);
}

uint64_t FileSize(TFileHandle file) {
  if (!Valid(file)) return 0;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(AsHandle(file), &size)) return 0;
  return static_cast<uint64_t>(size.QuadPart);
}

bool FileSetEnd(TFileHandle file) { return Valid(file) && SetEndOfFile(AsHandle(file)) != 0; }
