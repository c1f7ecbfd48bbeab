// The native picture layer on Windows: GDI bitmap sections and USER icons.
#include <windows.h>

#include <cstring>

#include "image/native_image.h"

namespace {

HGDIOBJ ToObject(NativeHandle handle) { return reinterpret_cast<HGDIOBJ>(handle); }

BITMAPINFOHEADER SectionHeader(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<WORD>(bitsPerPixel);
  header.biCompression = BI_RGB;
  return header;
}

void FillDescription(const BITMAP& bitmap, NativeBitmapDescription* description) {
  description->width = bitmap.bmWidth;
  description->height = bitmap.bmHeight;
  description->bitsPerPixel = bitmap.bmBitsPixel;
  description->pixels = static_cast<unsigned char*>(bitmap.bmBits);
}

}  // namespace

NativeHandle NativeBitmapCreateSection(std::int32_t width, std::int32_t height, std::int32_t bitsPerPixel,
                                       unsigned char** pixels) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return 0;
  BITMAPINFOHEADER header = SectionHeader(width, height, bitsPerPixel);
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
  DeleteDC(dc);
  if (section == nullptr) return 0;
  *pixels = static_cast<unsigned char*>(bits);
  return reinterpret_cast<NativeHandle>(section);
}

bool NativeBitmapSetPixels(NativeHandle section, const unsigned char* info, const unsigned char* bits,
                           std::int32_t lines) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (dc == nullptr) return false;
  const int copied = SetDIBits(dc, reinterpret_cast<HBITMAP>(section), 0, static_cast<UINT>(lines), bits,
                               reinterpret_cast<const BITMAPINFO*>(info), DIB_RGB_COLORS);
  DeleteDC(dc);
  return copied != 0;
}

bool NativeBitmapDescribe(NativeHandle bitmap, NativeBitmapDescription* description) {
  DIBSECTION section{};
  const int filled = GetObjectA(ToObject(bitmap), sizeof section, &section);
  if (filled == 0) return false;
  FillDescription(section.dsBm, description);
  description->isSection = filled == static_cast<int>(sizeof section);
  return true;
}

bool NativeImageIsBitmap(NativeHandle image) { return GetObjectType(ToObject(image)) == OBJ_BITMAP; }

void NativeBitmapDelete(NativeHandle bitmap) { DeleteObject(ToObject(bitmap)); }

NativeHandle NativeIconCreate(const unsigned char* data, std::uint32_t size, std::int32_t width,
                              std::int32_t height, std::uint16_t bitCount) {
  // The resource functions want the entry's data in a fixed global block of its own.
  HGLOBAL copy = GlobalAlloc(GMEM_FIXED, size);
  if (copy == nullptr) return 0;
  auto* bytes = static_cast<PBYTE>(copy);
  std::memcpy(bytes, data, size);
  HICON icon = CreateIconFromResourceEx(bytes, size, TRUE, 0x00030000, width, height, LR_DEFAULTCOLOR);
  if (icon == nullptr && bitCount != 16) icon = CreateIconFromResource(bytes, size, TRUE, 0x00030000);
  GlobalFree(copy);
  return reinterpret_cast<NativeHandle>(icon);
}

bool NativeIconDescribe(NativeHandle icon, NativeBitmapDescription* colour) {
  ICONINFO info{};
  if (!GetIconInfo(reinterpret_cast<HICON>(icon), &info)) return false;
  BITMAP bitmap{};
  // A monochrome icon has no colour bitmap: its mask (both halves) stands for it.
  HBITMAP described = info.hbmColor != nullptr ? info.hbmColor : info.hbmMask;
  if (GetObjectA(described, sizeof bitmap, &bitmap) != 0) FillDescription(bitmap, colour);
  colour->isSection = false;
  if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
  return true;
}

void NativeIconDestroy(NativeHandle icon) { DestroyIcon(reinterpret_cast<HICON>(icon)); }
