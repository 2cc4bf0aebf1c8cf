// File access through POSIX descriptors, for the native build (the Windows build uses file_win.cpp).
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "toolkit/file.h"

namespace {
int AsDescriptor(TFileHandle file) { return static_cast<int>(file); }
bool Valid(TFileHandle file) { return file != kInvalidFile; }
}  // namespace

TFileHandle FileCreate(const char* name) {
  const int fd = open(name, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  return fd < 0 ? kInvalidFile : fd;
}

void FileClose(TFileHandle file) {
  if (Valid(file)) close(AsDescriptor(file));
}

size_t FileWrite(TFileHandle file, const void* data, size_t count) {
  if (!Valid(file)) return 0;
  size_t done = 0;
  while (done < count) {
    const ssize_t n = write(AsDescriptor(file), static_cast<const char*>(data) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

size_t FileRead(TFileHandle file, void* data, size_t count) {
  if (!Valid(file)) return 0;
  size_t done = 0;
  while (done < count) {
    const ssize_t n = read(AsDescriptor(file), static_cast<char*>(data) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

bool FileSeek(TFileHandle file, uint64_t position) {
  return Valid(file) && lseek(AsDescriptor(file), static_cast<off_t>(position), SEEK_SET) >= 0;
}

uint64_t FilePosition(TFileHandle file) {
  if (!Valid(file)) return 0;
  const off_t at = lseek(AsDescriptor(file), 0, SEEK_CUR);
  return at < 0 ? 0 : static_cast<uint64_t>(at);
}

uint64_t FileSize(TFileHandle file) {
  struct stat info;
  if (!Valid(file) || fstat(AsDescriptor(file), &info) != 0) return 0;
  return static_cast<uint64_t>(info.st_size);
}

bool FileSetEnd(TFileHandle file) {
  return Valid(file) && ftruncate(AsDescriptor(file), lseek(AsDescriptor(file), 0, SEEK_CUR)) == 0;
}
#endif
