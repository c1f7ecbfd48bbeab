// Conversion of device-independent bitmap rows (1, 4 and 8 bits with a colour table, 16
// bits as 5-5-5, 24 and 32 bits) into 24- or 32-bit rows: what the native layer does for
// a bitmap file where no GDI does it.
#pragma once

#include <cstdint>

#include "image/dib_header.h"

// Converts `lines` rows (memory order) of a BI_RGB bitmap whose header was read into
// `header` (colour table at `colourTable`) into `target`, rows `targetStride` apart, at
// `targetBits` (24 or 32; the fourth byte of a 32-bit pixel is copied from 32-bit sources
// and 0 otherwise). False for compressed data or depths this does not convert.
bool DibConvertRows(const DibHeader& header, const unsigned char* colourTable, const unsigned char* bits,
                    std::int32_t lines, unsigned char* target, std::int64_t targetStride, std::int32_t targetBits);
