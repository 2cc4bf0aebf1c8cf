// Plain file access behind the toolkit's file streams: Windows file handles in the Windows build, POSIX
// descriptors in the native one. Every operation on kInvalidFile fails quietly.
#pragma once
#include <cstddef>
#include <cstdint>

using TFileHandle = intptr_t;
constexpr TFileHandle kInvalidFile = -1;

// Opens name for reading and writing as an empty file: an existing file is truncated, a missing one
// created. Other processes may read it but not write it (where the system can say so). A directory, an
// empty name or a refused access give kInvalidFile.
TFileHandle FileCreate(const char* name);
void FileClose(TFileHandle file);
// Bytes actually written or read at the file position, which advances by as many.
size_t FileWrite(TFileHandle file, const void* data, size_t count);
size_t FileRead(TFileHandle file, void* data, size_t count);
bool FileSeek(TFileHandle file, uint64_t position);
uint64_t FilePosition(TFileHandle file);
uint64_t FileSize(TFileHandle file);
// Makes the current position the end of the file, cutting or extending it.
bool FileSetEnd(TFileHandle file);
