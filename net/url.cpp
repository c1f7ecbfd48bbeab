#include "net/url.h"

#include <cstring>

#include "runtime/heaps.h"

namespace {

const char* AuthorityStart(const char* url) {
  if (url == nullptr) return nullptr;
  const char* scheme = std::strstr(url, "://");
  return scheme == nullptr ? nullptr : scheme + 3;
}

// The "@" ends user information only when no "/" comes before it.
const char* HostStart(const char* authority) {
  const char* at = std::strchr(authority, '@');
  if (at == nullptr) return authority;
  const char* slash = std::strchr(authority, '/');
  return slash == nullptr || at < slash ? at + 1 : authority;
}

const char* TextEnd(const char* text) { return text + std::strlen(text); }

// atoi's reading (blanks, sign, digits up to the first other byte), wrapping instead of
// overflowing on absurdly long digit runs.
std::int32_t DecimalPrefix(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  std::uint32_t value = 0;
  while (*text >= '0' && *text <= '9') value = value * 10u + static_cast<std::uint32_t>(*text++ - '0');
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

}  // namespace

const char* UrlHostSpan(const char* url, const char** end) {
  const char* authority = AuthorityStart(url);
  if (authority == nullptr) return nullptr;
  const char* host = HostStart(authority);
  const char* colon = std::strchr(host, ':');
  const char* slash = std::strchr(host, '/');
  if (colon != nullptr && (slash == nullptr || colon < slash)) {
    *end = colon;
  } else {
    *end = slash != nullptr ? slash : TextEnd(host);
  }
  return host;
}

const char* UrlPortSpan(const char* url, const char** end) {
  const char* authority = AuthorityStart(url);
  if (authority == nullptr) return nullptr;
  const char* host = HostStart(authority);
  const char* colon = std::strchr(host, ':');
  if (colon == nullptr) return nullptr;
  const char* slash = std::strchr(host, '/');
  if (slash != nullptr && slash < colon) return nullptr;
  const char* start = colon + 1;
  const char* portEnd = std::strchr(start, '/');
  *end = portEnd != nullptr ? portEnd : TextEnd(start);
  return start;
}

const char* UrlPathSpan(const char* url, const char** end) {
  const char* authority = AuthorityStart(url);
  if (authority == nullptr) return nullptr;
  const char* slash = std::strchr(authority, '/');
  if (slash == nullptr) return nullptr;
  const char* start = slash + 1;
  const char* query = std::strchr(start, '?');
  *end = query != nullptr ? query : TextEnd(start);
  return start;
}

const char* UrlTargetSpan(const char* url, const char** end) {
  const char* pathEnd = nullptr;
  const char* start = UrlPathSpan(url, &pathEnd);
  if (start == nullptr) return nullptr;
  *end = TextEnd(start);
  return start;
}

char* UrlPart(const char* url, std::int32_t selector) {
  const char* (*finder)(const char*, const char**) = nullptr;
  switch (selector) {
    case UrlPartHost: finder = UrlHostSpan; break;
    case UrlPartPort: finder = UrlPortSpan; break;
    case UrlPartPath: finder = UrlPathSpan; break;
    case UrlPartTarget: finder = UrlTargetSpan; break;
    default: return nullptr;
  }
  const char* end = nullptr;
  const char* start = finder(url, &end);
  if (start == nullptr || start == end) return nullptr;
  const std::size_t length = static_cast<std::size_t>(end - start);
  auto* copy = static_cast<char*>(MainHeapAllocZero(length + 1));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, start, length);
  return copy;
}

std::int32_t UrlPortNumber(const char* url) {
  char* port = UrlPart(url, UrlPartPort);
  if (port == nullptr) return 80;
  const std::int32_t number = DecimalPrefix(port);
  MainHeapFree(port);
  return number;
}
