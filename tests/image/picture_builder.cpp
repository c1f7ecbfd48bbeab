#include "tests/image/picture_builder.h"

#include "image/bitmap_stride.h"

void PutU16(Bytes& out, std::size_t at, std::uint16_t value) {
  out[at] = static_cast<unsigned char>(value);
  out[at + 1] = static_cast<unsigned char>(value >> 8);
}

void PutU32(Bytes& out, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

Bytes BuildDib(const DibSpec& spec, int heightFactor) {
  const int rows = spec.height < 0 ? -spec.height : spec.height;
  const auto stride = static_cast<std::size_t>(BitmapRowStride(spec.width, spec.bitCount));
  const auto maskStride = static_cast<std::size_t>(BitmapRowStride(spec.width, 1));
  const std::size_t tableBytes = spec.palette.size() * 4;
  Bytes out(40 + tableBytes + stride * rows + (heightFactor == 2 ? maskStride * rows : 0), 0);
  PutU32(out, 0, 40);
  PutU32(out, 4, static_cast<std::uint32_t>(spec.width));
  PutU32(out, 8, static_cast<std::uint32_t>(spec.height * heightFactor));
  PutU16(out, 12, 1);
  PutU16(out, 14, spec.bitCount);
  PutU32(out, 32, static_cast<std::uint32_t>(spec.palette.size()));
  for (std::size_t i = 0; i < spec.palette.size(); ++i) PutU32(out, 40 + i * 4, spec.palette[i]);
  unsigned char* bits = out.data() + 40 + tableBytes;
  for (int y = 0; y < rows; ++y) {
    unsigned char* row = bits + stride * y;
    for (int x = 0; x < spec.width; ++x) {
      const std::uint32_t v = spec.pixel(x, y);
      switch (spec.bitCount) {
        case 1: row[x / 8] |= static_cast<unsigned char>((v & 1) << (7 - x % 8)); break;
        case 4: row[x / 2] |= static_cast<unsigned char>((v & 15) << (x % 2 == 0 ? 4 : 0)); break;
        case 8: row[x] = static_cast<unsigned char>(v); break;
        default:
          for (int c = 0; c < spec.bitCount / 8; ++c) row[x * (spec.bitCount / 8) + c] = static_cast<unsigned char>(v >> (8 * c));
      }
    }
  }
  return out;  // mask rows stay 0: every pixel shows its colour
}

Bytes BuildBitmapFile(const DibSpec& spec) {
  const Bytes dib = BuildDib(spec);
  Bytes out(14, 0);
  out[0] = 'B';
  out[1] = 'M';
  out.insert(out.end(), dib.begin(), dib.end());
  PutU32(out, 2, static_cast<std::uint32_t>(out.size()));
  PutU32(out, 10, static_cast<std::uint32_t>(14 + 40 + spec.palette.size() * 4));
  return out;
}

Bytes BuildIconFile(const std::vector<DibSpec>& entries) {
  Bytes out(6 + 16 * entries.size(), 0);
  PutU16(out, 2, 1);
  PutU16(out, 4, static_cast<std::uint16_t>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const Bytes dib = BuildDib(entries[i], 2);
    const std::size_t entry = 6 + 16 * i;
    out[entry] = static_cast<unsigned char>(entries[i].width);
    out[entry + 1] = static_cast<unsigned char>(entries[i].height);
    PutU16(out, entry + 4, 1);
    PutU16(out, entry + 6, entries[i].bitCount);
    PutU32(out, entry + 8, static_cast<std::uint32_t>(dib.size()));
    PutU32(out, entry + 12, static_cast<std::uint32_t>(out.size()));
    out.insert(out.end(), dib.begin(), dib.end());
  }
  return out;
}
