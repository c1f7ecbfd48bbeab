// Alpha drawing over GDI: "AlphaBlend" comes from msimg32.dll at run time, so the program
// also starts where that library is missing and then draws every picture opaque.
#include <windows.h>

#include "image/bitmap_alpha.h"
#include "image/bitmap_alpha_pixels.h"
#include "image/bitmap_stride.h"
#include "runtime/heaps.h"

namespace {

using AlphaBlendRoutine = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

HMODULE AlphaModule;
AlphaBlendRoutine AlphaBlendEntry;

HGDIOBJ ToObject(NativeHandle handle) { return reinterpret_cast<HGDIOBJ>(handle); }

BITMAPINFOHEADER Header32(LONG width, LONG height) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  return header;
}

}  // namespace

void BitmapAlphaInit() {
  AlphaModule = LoadLibraryA("msimg32.dll");
  AlphaBlendEntry = nullptr;
  if (AlphaModule != nullptr) {
    AlphaBlendEntry = reinterpret_cast<AlphaBlendRoutine>(
        reinterpret_cast<void*>(GetProcAddress(AlphaModule, "AlphaBlend")));
  }
}

void BitmapAlphaEnd() {
  // Nothing to do when start-up never reached BitmapAlphaInit.
  if (AlphaModule != nullptr) FreeLibrary(AlphaModule);
  AlphaModule = nullptr;
  AlphaBlendEntry = nullptr;
}

unsigned char* BitmapPixels32(NativeHandle bitmap) {
  BITMAP description{};
  if (GetObjectA(ToObject(bitmap), sizeof description, &description) == 0) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return nullptr;
  const std::int64_t bytes = BitmapRowStride(description.bmWidth, description.bmBitsPixel) * description.bmHeight;
  auto* pixels = bytes > 0 ? static_cast<unsigned char*>(MainHeapAllocZero(static_cast<std::size_t>(bytes))) : nullptr;
  if (pixels == nullptr) {
    DeleteDC(dc);
    return nullptr;
  }
  BITMAPINFOHEADER header = Header32(description.bmWidth, -description.bmHeight);
  if (GetDIBits(dc, reinterpret_cast<HBITMAP>(bitmap), 0, static_cast<UINT>(description.bmHeight), pixels,
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) == 0) {
    MainHeapFree(pixels);
    pixels = nullptr;
  }
  DeleteDC(dc);
  return pixels;
}

int BitmapHasAlpha(NativeHandle image) {
  if (AlphaBlendEntry == nullptr || image == 0) return 0;
  if (GetObjectType(ToObject(image)) != OBJ_BITMAP) return 0;
  DIBSECTION section{};
  const int filled = GetObjectA(ToObject(image), sizeof section, &section);
  // A section's alpha bytes are not inspected: 32 bits means alpha.
  if (filled == static_cast<int>(sizeof section)) return section.dsBm.bmBitsPixel == 32 ? 1 : 0;
  if (filled == 0 || section.dsBm.bmBitsPixel != 32) return 0;
  unsigned char* pixels = BitmapPixels32(image);
  if (pixels == nullptr) return 0;
  const bool alpha = BitmapPixelsHaveAlpha(pixels, section.dsBm.bmWidth, section.dsBm.bmHeight,
                                           BitmapRowStride(section.dsBm.bmWidth, 32));
  MainHeapFree(pixels);
  return alpha ? 1 : 0;
}

NativeHandle BitmapPremultiply(NativeHandle bitmap, NativeHandle dc) {
  if (AlphaBlendEntry == nullptr) return 0;
  HDC work = dc != 0 ? reinterpret_cast<HDC>(dc) : CreateCompatibleDC(nullptr);
  if (work == nullptr) return 0;
  HBITMAP copy = nullptr;
  BITMAP description{};
  if (GetObjectA(ToObject(bitmap), sizeof description, &description) != 0) {
    BITMAPINFOHEADER header = Header32(description.bmWidth, description.bmHeight);
    void* bits = nullptr;
    copy = CreateDIBSection(work, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (copy != nullptr) {
      GetDIBits(work, reinterpret_cast<HBITMAP>(bitmap), 0, static_cast<UINT>(description.bmHeight), bits,
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
      BitmapPremultiplyPixels(static_cast<unsigned char*>(bits),
                              std::int64_t{description.bmWidth} * description.bmHeight);
    }
  }
  if (dc == 0) DeleteDC(work);
  return reinterpret_cast<NativeHandle>(copy);
}

void BitmapFreeAlphaCopy(NativeHandle copy) {
  if (AlphaBlendEntry != nullptr && copy != 0) DeleteObject(ToObject(copy));
}

void BitmapDrawAlpha(NativeHandle targetDc, int x, int y, int width, int height, NativeHandle bitmap,
                     NativeHandle sourceDc, int opacity) {
  if (AlphaBlendEntry == nullptr) return;
  if (width == 0 || height == 0) {
    BITMAP description{};
    if (GetObjectA(ToObject(bitmap), sizeof description, &description) != 0) {
      width = description.bmWidth;
      height = description.bmHeight;
    }
  }
  HDC target = reinterpret_cast<HDC>(targetDc);
  HDC source = sourceDc != 0 ? reinterpret_cast<HDC>(sourceDc) : CreateCompatibleDC(target);
  if (source == nullptr) return;
  HGDIOBJ previous = SelectObject(source, ToObject(bitmap));
  BLENDFUNCTION blend{};
  blend.BlendOp = AC_SRC_OVER;
  blend.BlendFlags = 0;
  blend.SourceConstantAlpha = static_cast<BYTE>(opacity);
  blend.AlphaFormat = AC_SRC_ALPHA;
  AlphaBlendEntry(target, x, y, width, height, source, 0, 0, width, height, blend);
  if (sourceDc == 0) DeleteDC(source);
  else SelectObject(source, previous);
}
