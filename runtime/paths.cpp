#include "runtime/paths.h"

#include <cstring>

#include "runtime/heaps.h"
#include "runtime/work_area.h"

namespace {
constexpr std::int32_t ShortPathRoom = 260;
// Windows paths never exceed 32767 characters; room is doubled up to that while the
// module's path does not fit, so a long install path is not cut short.
constexpr std::int32_t LongestPath = 32768;
}  // namespace

std::int32_t StripExtendedPathPrefix(char* path, std::int32_t length) {
  if (length < 4 || std::memcmp(path, "\\\\?\\", 4) != 0) return length;
  std::memmove(path, path + 4, static_cast<std::size_t>(length - 4));
  return length - 4;
}

void ProgramPath(std::int32_t offset) {
  std::int32_t room = ShortPathRoom;
  char* p = WorkAreaReserve(room, offset);
  int length = PlatformModuleFileName(InstanceHandle, p, room);
  while (length >= room && room < LongestPath) {
    room *= 2;
    p = WorkAreaReserve(room, offset);
    length = PlatformModuleFileName(InstanceHandle, p, room);
  }
  if (length < 0 || length >= room) length = 0;  // no usable path
  length = StripExtendedPathPrefix(p, length);
  WorkAreaShrink(room - length);
  p[length] = '\0';
}

void DirectoryPart(const char* path, std::int32_t offset) {
  const char* start = path;
  const char* end = path;
  if (path != nullptr) {
    if (*path == '"') start = path + 1;
    end = start;
    for (const char* c = path; *c != '\0' && *c != '|'; ++c) {
      if (*c == '/' || *c == '\\') end = c + 1;
    }
  }
  const std::int32_t length = path == nullptr ? 0 : static_cast<std::int32_t>(end - start);
  const std::int32_t k = WorkAreaOffsetOf(start);
  char* p = WorkAreaReserve(length, offset);
  if (k != 0) start = WorkAreaPointer(k);
  if (length > 0) std::memmove(p, start, static_cast<std::size_t>(length));
  p[length] = '\0';
}
