#include "net/http_request.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "net/url.h"
#include "runtime/strings.h"

namespace {

bool SameLetters(const char* text, const char* lowerWord, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lowerWord[i]) return false;
  }
  return true;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Length of a leading scheme (a letter, then letters, digits, "+", "-" or ".", up to a
// ":" that comes before any "/", "?" or "#"), or 0 without one.
std::size_t SchemeLength(const char* text) {
  if (!IsLetter(text[0])) return 0;
  std::size_t i = 1;
  while (IsLetter(text[i]) || (text[i] >= '0' && text[i] <= '9') || text[i] == '+' || text[i] == '-' ||
         text[i] == '.') {
    ++i;
  }
  return text[i] == ':' ? i : 0;
}

// first[0, firstLength) followed by second, as a copy for StringRelease.
char* Join(const char* first, std::size_t firstLength, const char* second) {
  const std::size_t secondLength = std::strlen(second);
  auto* joined = static_cast<char*>(std::malloc(firstLength + secondLength + 1));
  if (joined == nullptr) return nullptr;
  std::memcpy(joined, first, firstLength);
  std::memcpy(joined + firstLength, second, secondLength + 1);
  return joined;
}

bool HasScheme(const char* url, const char* lowerScheme) {
  const std::size_t length = std::strlen(lowerScheme);
  return SchemeLength(url) == length && SameLetters(url, lowerScheme, length) &&
         std::strncmp(url + length, "://", 3) == 0;
}

constexpr std::uint16_t HttpPort = 80;
constexpr std::uint16_t HttpsPort = 443;

}  // namespace

bool HttpUrlIsSecure(const char* url) { return url != nullptr && HasScheme(url, "https"); }

std::uint16_t HttpUrlPort(const char* url) {
  const char* end = nullptr;
  const char* start = UrlPortSpan(url, &end);
  if (start == nullptr || start == end) return HttpUrlIsSecure(url) ? HttpsPort : HttpPort;
  return static_cast<std::uint16_t>(UrlPortNumber(url) & 0xFFFF);
}

std::int32_t HttpRequestFormat(char* buffer, std::int32_t size, const char* host, std::uint16_t port,
                               const char* target, bool secure) {
  char portSuffix[8] = "";
  if (port != (secure ? HttpsPort : HttpPort)) std::snprintf(portSuffix, sizeof portSuffix, ":%d", static_cast<int>(port));
  const int length = std::snprintf(buffer, buffer == nullptr ? 0 : static_cast<std::size_t>(size),
                                   "GET /%s HTTP/1.1\r\nAccept: */*\r\nHost: %s%s\r\nConnection: close\r\n\r\n",
                                   target == nullptr ? "" : target, host == nullptr ? "" : host, portSuffix);
  return length < 0 ? -1 : static_cast<std::int32_t>(length);
}

char* HttpRedirectUrl(const char* url, const char* location) {
  if (url == nullptr || location == nullptr || location[0] == '\0') return nullptr;
  const bool secure = HttpUrlIsSecure(url);
  if (SchemeLength(location) != 0) {
    if (HasScheme(location, "https")) return Join("https", 5, location + 5);
    if (!HasScheme(location, "http") || secure) return nullptr;
    return Join("http", 4, location + 4);
  }
  if (location[0] == '/' && location[1] == '/') return Join(secure ? "https:" : "http:", secure ? 6 : 5, location);

  // Relative: keep the scheme and authority of url, and take the rest from the Location.
  const char* pathEnd = nullptr;
  const char* path = UrlPathSpan(url, &pathEnd);
  const char* authorityEnd = path != nullptr ? path - 1 : url + std::strlen(url);
  if (location[0] == '/') return Join(url, static_cast<std::size_t>(authorityEnd - url), location);
  if (path == nullptr) {
    char* withSlash = Join(url, static_cast<std::size_t>(authorityEnd - url), "/");
    if (withSlash == nullptr) return nullptr;
    char* joined = Join(withSlash, std::strlen(withSlash), location);
    StringRelease(withSlash);
    return joined;
  }
  // A query replaces the current one; a path goes beside the current path's last "/".
  const char* keepEnd = pathEnd;
  if (location[0] != '?') {
    keepEnd = path;
    for (const char* c = path; c < pathEnd; ++c) {
      if (*c == '/') keepEnd = c + 1;
    }
  }
  return Join(url, static_cast<std::size_t>(keepEnd - url), location);
}
