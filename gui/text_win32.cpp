#include "gui/text_win32.h"

#include "runtime/heaps.h"

namespace {
constexpr UINT CodePage1251 = 1251;
}

WCHAR* WideFrom1251(const char* text) {
  if (text == nullptr) text = "";
  // Every byte of Windows-1251 is one UTF-16 unit, so the byte count bounds the result.
  const int length = lstrlenA(text);
  auto* wide = static_cast<WCHAR*>(MainHeapAllocZero(sizeof(WCHAR) * (static_cast<size_t>(length) + 1)));
  if (wide == nullptr) return nullptr;
  if (length > 0) MultiByteToWideChar(CodePage1251, 0, text, length, wide, length);
  return wide;
}
