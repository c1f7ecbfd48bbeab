// The text of a download's GET request, and the URL a redirect leads to.
#pragma once

#include <cstdint>

// A longer request fails the download instead of being sent.
constexpr std::int32_t HttpRequestLimit = 8 * 1024;

// Writes the request for host, port and target (null: none) into buffer when it fits in
// size bytes with its NUL; returns its length either way (so a null buffer of size 0 asks
// for the length), or -1 when it cannot be formatted.
std::int32_t HttpRequestFormat(char* buffer, std::int32_t size, const char* host, std::uint16_t port,
                               const char* target);

// The URL that a redirect's Location leads to from url: absolute ("http://..."), without
// scheme ("//host/..."), from the root ("/...") or beside the current path ("a/b", "?q").
// A copy to give back with StringRelease, or null for an empty Location or one with a
// scheme other than http (which this client cannot fetch).
char* HttpRedirectUrl(const char* url, const char* location);
