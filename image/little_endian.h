// Little-endian fields of picture files, read byte by byte (no alignment assumed).
#pragma once

#include <cstdint>

inline std::uint16_t ReadU16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t ReadU32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t ReadS32(const unsigned char* p) { return static_cast<std::int32_t>(ReadU32(p)); }
