#include "app/fetch_stamp.h"

#include <cstdio>
#include <string>

#include "platform/platform_file.h"

namespace {

// Reads a decimal number of up to 18 digits at text[*at]; false when there is none.
bool ReadNumber(const char* text, std::size_t length, std::size_t* at, std::int64_t* value) {
  std::size_t digits = 0;
  std::int64_t number = 0;
  while (*at < length && text[*at] >= '0' && text[*at] <= '9') {
    if (++digits > 18) return false;
    number = number * 10 + (text[*at] - '0');
    ++*at;
  }
  *value = number;
  return digits > 0;
}

std::string StampPath(const char* path) { return std::string(path) + ".stamp"; }

}  // namespace

std::size_t FetchStampText(char* room, std::int64_t fetchedAt, std::int64_t size) {
  const int length = std::snprintf(room, FetchStampRoom, "%lld %lld\r\n", static_cast<long long>(fetchedAt),
                                   static_cast<long long>(size));
  return length < 0 ? 0 : static_cast<std::size_t>(length);
}

bool FetchStampFresh(const char* text, std::size_t length, std::int64_t fileSize, std::int64_t now) {
  std::size_t at = 0;
  std::int64_t fetchedAt = 0;
  std::int64_t size = 0;
  if (!ReadNumber(text, length, &at, &fetchedAt)) return false;
  if (at >= length || text[at] != ' ') return false;
  ++at;
  if (!ReadNumber(text, length, &at, &size)) return false;
  if (at < length && text[at] == '\r') ++at;
  if (at < length && text[at] == '\n') ++at;
  if (at != length) return false;
  return fileSize >= 0 && size == fileSize && fetchedAt <= now && now - fetchedAt < FetchIntervalSeconds;
}

bool FetchedRecently(const char* path, std::int64_t now) {
  const std::int64_t size = PlatformFileSize(path);
  if (size < 0) return false;
  const NativeHandle stamp = PlatformFileOpenRead(StampPath(path).c_str());
  if (stamp == 0) return false;
  char text[FetchStampRoom];
  std::size_t length = 0;
  for (;;) {  // a stamp longer than its room is malformed: the last byte read spoils it
    const std::int32_t got = PlatformFileRead(stamp, text + length, static_cast<std::int32_t>(sizeof text - length));
    if (got <= 0) break;
    length += static_cast<std::size_t>(got);
    if (length == sizeof text) break;
  }
  PlatformFileClose(stamp);
  return length < sizeof text && FetchStampFresh(text, length, size, now);
}

bool FetchStampWrite(const char* path, std::int64_t now) {
  const std::string stampPath = StampPath(path);
  const std::int64_t size = PlatformFileSize(path);
  if (size < 0) return false;
  char text[FetchStampRoom];
  const std::size_t length = FetchStampText(text, now, size);
  const NativeHandle stamp = PlatformFileCreate(stampPath.c_str());
  if (stamp == 0) return false;
  const bool written = PlatformFileWrite(stamp, text, static_cast<std::int32_t>(length)) == static_cast<std::int32_t>(length);
  PlatformFileClose(stamp);
  if (!written) PlatformFileDelete(stampPath.c_str());  // half a stamp must not count
  return written;
}
