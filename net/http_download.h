// One URL fetched with HTTP/1.1 GET into a file.
#pragma once

#include <cstdint>

// Fetches url into the file named target and returns the number of body bytes written,
// or 0 on failure. The body goes to a temporary file beside target (target + ".part") that
// replaces target only when the whole body has come; on any failure target is untouched.
// Redirects (301, 302, 303, 307, 308) are followed up to five times, from http to https
// but never back; only status 200 is success. https URLs go over TLS (port 443 unless the
// URL names another) with the server's certificate verified, the rest alike. A content length of 0 gives an empty target and the result 0.
std::int32_t HttpDownloadFile(const char* url, const char* target);

// The suffix of the temporary beside the target.
constexpr char HttpDownloadTempSuffix[] = ".part";
