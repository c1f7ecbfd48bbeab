// Files by native handle: what the sequential files and the download write through.
// A handle of 0 means no file.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Creates the file or truncates an existing one, for reading and writing (others may read
// it meanwhile). Falls back to truncating it write-only when it cannot be opened for both.
NativeHandle PlatformFileCreate(const char* name);
// Opens an existing file for reading only.
NativeHandle PlatformFileOpenRead(const char* name);
// Both return the bytes transferred (0 at the end of a file), or -1 when the call failed.
std::int32_t PlatformFileRead(NativeHandle file, void* destination, std::int32_t count);
std::int32_t PlatformFileWrite(NativeHandle file, const void* source, std::int32_t count);
// Moves the file position by delta bytes from where it stands.
bool PlatformFileSeekCurrent(NativeHandle file, std::int32_t delta);
void PlatformFileClose(NativeHandle file);
bool PlatformFileDelete(const char* name);
// Puts source in the place of target in one step (target replaced if it exists).
bool PlatformFileReplace(const char* source, const char* target);
// The size in bytes of an ordinary file; -1 when there is none of that name (or a directory).
std::int64_t PlatformFileSize(const char* name);
