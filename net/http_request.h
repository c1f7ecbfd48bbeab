// The text of a download's GET request, the scheme and port of a download's URL, and the
// URL a redirect leads to.
#pragma once

#include <cstdint>

// True for an https URL (the scheme in any letter case): fetched over TLS.
bool HttpUrlIsSecure(const char* url);
// The port a download of url connects to: the URL's own (as UrlPortNumber reads it, low 16
// bits), else 443 for https and 80 otherwise.
std::uint16_t HttpUrlPort(const char* url);

// A longer request fails the download instead of being sent.
constexpr std::int32_t HttpRequestLimit = 8 * 1024;

// Writes the request for host, port and target (null: none) into buffer when it fits in
// size bytes with its NUL; returns its length either way (so a null buffer of size 0 asks
// for the length), or -1 when it cannot be formatted. The Host header names the port only
// when it is not the scheme's own (80, or 443 when secure).
std::int32_t HttpRequestFormat(char* buffer, std::int32_t size, const char* host, std::uint16_t port,
                               const char* target, bool secure = false);

// The URL that a redirect's Location leads to from url: absolute ("http://...",
// "https://..."), without scheme ("//host/...", keeping url's), from the root ("/...") or
// beside the current path ("a/b", "?q"). A copy to give back with StringRelease, or null
// for an empty Location, a scheme other than http and https, or a step from https down to
// plain http (which would hand the rest of the exchange to anyone on the way).
char* HttpRedirectUrl(const char* url, const char* location);
