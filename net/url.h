// URL decomposition by plain substring search for the delimiters: scheme "://", user
// information closed by "@", host, ":" port, "/" path, "?" query. Nothing is validated
// or decoded; whatever stands between the delimiters is the part.
#pragma once

#include <cstdint>

enum UrlPartSelector : std::int32_t {
  UrlPartHost = 0,
  UrlPartPort = 1,
  UrlPartPath = 2,
  UrlPartTarget = 3,
};

// A new MainHeap copy of one part (the caller gives it back with MainHeapFree), or null
// when the part is absent or empty, or the selector unknown.
char* UrlPart(const char* url, std::int32_t selector);
// The port as atoi reads the port text; 80 when the URL has none.
std::int32_t UrlPortNumber(const char* url);

// Span finders: the start of the part, or null when it is absent (end left untouched);
// on success *end is the exclusive end.
const char* UrlHostSpan(const char* url, const char** end);
const char* UrlPortSpan(const char* url, const char** end);
const char* UrlPathSpan(const char* url, const char** end);
const char* UrlTargetSpan(const char* url, const char** end);
