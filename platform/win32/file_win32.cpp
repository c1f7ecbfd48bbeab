// Files through CreateFileA and friends.
#include <windows.h>

#include "platform/platform_file.h"

namespace {
HANDLE AsHandle(NativeHandle file) { return reinterpret_cast<HANDLE>(file); }
NativeHandle FromHandle(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<NativeHandle>(handle);
}
}  // namespace

NativeHandle PlatformFileCreate(const char* name) {
  HANDLE handle = CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    handle = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING, 0, nullptr);
  }
  return FromHandle(handle);
}

NativeHandle PlatformFileOpenRead(const char* name) {
  return FromHandle(
      CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::int32_t PlatformFileRead(NativeHandle file, void* destination, std::int32_t count) {
  DWORD done = 0;
  if (count < 0 || !ReadFile(AsHandle(file), destination, static_cast<DWORD>(count), &done, nullptr)) return -1;
  return static_cast<std::int32_t>(done);
}

std::int32_t PlatformFileWrite(NativeHandle file, const void* source, std::int32_t count) {
  DWORD done = 0;
  if (count < 0 || !WriteFile(AsHandle(file), source, static_cast<DWORD>(count), &done, nullptr)) return -1;
  return static_cast<std::int32_t>(done);
}

bool PlatformFileSeekCurrent(NativeHandle file, std::int32_t delta) {
  SetLastError(NO_ERROR);
  const DWORD low = SetFilePointer(AsHandle(file), delta, nullptr, FILE_CURRENT);
  return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

void PlatformFileClose(NativeHandle file) {
  if (file != 0) CloseHandle(AsHandle(file));
}

bool PlatformFileDelete(const char* name) { return DeleteFileA(name) != 0; }

bool PlatformFileReplace(const char* source, const char* target) {
  return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

std::int64_t PlatformFileSize(const char* name) {
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  if (name == nullptr || GetFileAttributesExA(name, GetFileExInfoStandard, &attributes) == 0) return -1;
  if ((attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return -1;
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(attributes.nFileSizeHigh) << 32) | attributes.nFileSizeLow);
}
