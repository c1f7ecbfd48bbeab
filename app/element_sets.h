// Checks that downloaded text holds two-line element sets and nothing else, so that an
// error page, a cut-off file or a corrupted line never replaces good data.
#pragma once

#include <cstddef>

// The largest file the check reads; anything longer is not element-set data.
constexpr std::size_t ElementSetFileLimit = 16 * 1024 * 1024;

// True when text holds at least one set and only sets: each an optional name line, then a
// line 1 and a line 2 with the same catalogue number. Each data line begins "1 " or "2 ",
// is 69 characters long, and ends in its modulo-10 checksum (digits count their value,
// "-" counts 1, everything else 0). Lines end in LF or CR LF; blank lines between sets are
// allowed; anything that looks like an HTML tag is not.
bool ElementSetsValid(const char* text, std::size_t length);

// The same check on a file's contents; false when it cannot be read or is too long.
bool ElementSetFileValid(const char* path);
