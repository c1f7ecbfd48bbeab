#include "runtime/work_area.h"

#include <cstring>
#include <limits>

#include "runtime/heaps.h"

NativeHandle StringHeap;
char* WorkAreaBase;
std::int32_t WorkAreaCapacity;
std::int32_t WorkAreaPosition;

namespace {
constexpr std::int32_t InitialCapacity = 16;
constexpr std::int32_t GrowthBeyondNeed = 16384;
// Every block is 5 bytes longer than its usable capacity (room for a 4-byte copy overrun and NUL).
constexpr std::int32_t Slack = 5;
}  // namespace

void WorkAreaClearState() {
  StringHeap = 0;
  WorkAreaBase = nullptr;
  WorkAreaCapacity = 0;
  WorkAreaPosition = 0;
}

void WorkAreaInit() {
  StringHeap = PlatformHeapCreate(4096);
  if (StringHeap == 0) return;
  WorkAreaBase = static_cast<char*>(PlatformHeapAlloc(StringHeap, InitialCapacity, true));
  WorkAreaCapacity = InitialCapacity;
  WorkAreaPosition = 0;
}

bool WorkAreaReady() { return StringHeap != 0 && WorkAreaBase != nullptr; }

void WorkAreaRelease() {
  if (StringHeap != 0) {
    PlatformHeapFree(StringHeap, WorkAreaBase);
    PlatformHeapDestroy(StringHeap);
  }
  WorkAreaClearState();
}

char* WorkAreaReserve(std::int32_t length, std::int32_t offset) {
  if (length < 0) length = 0;
  if (offset < 0) offset = 0;
  // Measured from the furthest of the current end and the requested offset, so a
  // reservation beyond the current text still fits.
  const std::int64_t from = offset > WorkAreaPosition ? offset : WorkAreaPosition;
  const std::int64_t end = from + length;
  if (end >= static_cast<std::int64_t>(WorkAreaCapacity) - 4) {
    const std::int64_t capacity = end + GrowthBeyondNeed;
    if (capacity > std::numeric_limits<std::int32_t>::max() - Slack) RuntimeOutOfMemory();
    void* grown = PlatformHeapRealloc(StringHeap, WorkAreaBase, static_cast<std::size_t>(capacity + Slack));
    if (grown == nullptr) RuntimeOutOfMemory();
    WorkAreaBase = static_cast<char*>(grown);
    WorkAreaCapacity = static_cast<std::int32_t>(capacity);
  }
  WorkAreaPosition = offset + length;
  return WorkAreaBase + offset;
}

void WorkAreaAppend(const char* text) {
  const std::size_t length = text == nullptr ? 0 : std::strlen(text);
  if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) RuntimeOutOfMemory();
  // The text may lie in the work area itself; keep its offset across the reservation.
  const std::int32_t k = WorkAreaOffsetOf(text);
  char* destination = WorkAreaReserve(static_cast<std::int32_t>(length), WorkAreaPosition);
  if (k != 0) text = WorkAreaPointer(k);
  if (length != 0) std::memmove(destination, text, length);
  destination[length] = '\0';
}

void WorkAreaShrink(std::int32_t count) {
  WorkAreaPosition -= count;
  if (WorkAreaPosition < 0) WorkAreaPosition = 0;
}

std::int32_t WorkAreaOffsetOf(const char* pointer) {
  if (pointer == nullptr || WorkAreaBase == nullptr) return 0;
  if (pointer < WorkAreaBase || pointer > WorkAreaBase + WorkAreaPosition) return 0;
  return static_cast<std::int32_t>(pointer - WorkAreaBase) + 1;
}

char* WorkAreaPointer(std::int32_t k) { return WorkAreaBase + k - 1; }
