// Drawing bitmaps that carry an alpha channel, over "AlphaBlend" of msimg32.dll looked up
// at start-up; without it every routine reports no alpha or does nothing.
#pragma once

#include <cstdint>

#include "platform/platform.h"

void BitmapAlphaInit();
void BitmapAlphaEnd();

// The pixels of a bitmap as 32-bit rows, top row first, in a MainHeap block that the
// caller frees (MainHeapFree); null when they cannot be had.
unsigned char* BitmapPixels32(NativeHandle bitmap);
// Non-zero when the handle is a bitmap with an alpha channel.
int BitmapHasAlpha(NativeHandle image);
// A premultiplied 32-bit bottom-up copy of the bitmap, or 0; `dc` may be 0.
NativeHandle BitmapPremultiply(NativeHandle bitmap, NativeHandle dc);
void BitmapFreeAlphaCopy(NativeHandle copy);
// Draws a premultiplied bitmap with per-pixel alpha at a constant opacity (0 to 255);
// width and height 0 take the bitmap's own size. `sourceDc` may be 0.
void BitmapDrawAlpha(NativeHandle targetDc, int x, int y, int width, int height, NativeHandle bitmap,
                     NativeHandle sourceDc, int opacity);
