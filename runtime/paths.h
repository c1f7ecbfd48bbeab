// The program's own path and the directory part of a path, as work-area string results.
#pragma once

#include <cstdint>

void ProgramPath(std::int32_t offset);
// path may lie in the work area, even at offset itself.
void DirectoryPart(const char* path, std::int32_t offset);

// Drops a leading \\?\ (extended-length prefix) from a path of the given length in place
// and returns the new length.
std::int32_t StripExtendedPathPrefix(char* path, std::int32_t length);
