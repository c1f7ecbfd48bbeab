#include "runtime/strings.h"

#include <cstdlib>
#include <cstring>

#include "runtime/heaps.h"
#include "runtime/work_area.h"

namespace {
constexpr std::size_t Slack = 5;  // blocks are length + 5 bytes long
}

void StringAssign(char** variable, std::int32_t start) {
  std::int32_t length = WorkAreaPosition - start;
  if (length < 0) length = 0;
  const std::size_t size = static_cast<std::size_t>(length) + Slack;
  void* block = *variable == nullptr ? PlatformHeapAlloc(StringHeap, size, false)
                                     : PlatformHeapRealloc(StringHeap, *variable, size);
  if (block == nullptr) RuntimeOutOfMemory();
  *variable = static_cast<char*>(block);
  std::memcpy(*variable, WorkAreaBase + start, static_cast<std::size_t>(length));
  (*variable)[length] = '\0';
  WorkAreaPosition = start;
}

void StringSet(char** variable, const char* text) {
  if (text == nullptr) return;
  const std::size_t length = std::strlen(text);
  auto* block = static_cast<char*>(PlatformHeapAlloc(StringHeap, length + Slack, false));
  if (block == nullptr) RuntimeOutOfMemory();
  std::memcpy(block, text, length + 1);
  *variable = block;
}

void StringFree(char* block) {
  if (block != nullptr) PlatformHeapFree(StringHeap, block);
}

char* StringDuplicate(const char* text) {
  if (text == nullptr) text = "";
  const std::size_t length = std::strlen(text);
  auto* copy = static_cast<char*>(std::malloc(length + 1));
  if (copy == nullptr) RuntimeOutOfMemory();
  std::memcpy(copy, text, length + 1);
  return copy;
}

void StringRelease(char* copy) { std::free(copy); }
