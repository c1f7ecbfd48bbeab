#include "gui/status_bar_layout.h"

#include <cstring>
#include <limits>

#include "runtime/heaps.h"

namespace {

std::int32_t Saturated(std::int64_t value) {
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t StatusBarUsableRight(std::int32_t right, std::int32_t bottom, bool sizeGrip) {
  return sizeGrip ? Saturated(std::int64_t{right} - bottom + 3) : right;
}

void StatusBarEdges(const StatusField* fields, std::int32_t count, std::int32_t left, std::int32_t right,
                    std::int32_t* edges) {
  std::int64_t fixed = 0;
  std::int64_t shares = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    if (fields[i].width == IgnoreValue) {
      ++shares;
    } else {
      fixed += fields[i].width;
    }
  }
  // Division of 64-bit values truncates toward zero, as the control's users expect.
  const std::int64_t share = shares > 0 ? (std::int64_t{right} - left - fixed) / shares : 0;
  std::int64_t edge = 0;
  for (std::int32_t i = 0; i < count; ++i) {
    edge += fields[i].width == IgnoreValue ? share : fields[i].width;
    edges[i] = Saturated(edge);
  }
}

std::uint32_t StatusTextPartWord(std::int32_t field, std::uint32_t flags) {
  std::uint32_t word = static_cast<std::uint32_t>(field);
  if (flags & StatusTextRaised) {
    word |= StatusPartPopOut;
  } else if (flags & StatusTextNoBorder) {
    word |= StatusPartNoBorders;
  }
  return word;
}

char* StatusTextAligned(const char* text, std::uint32_t flags, bool themedControls) {
  if (text == nullptr) text = "";
  const char* prefix = "";
  const char* suffix = "";
  if (flags & StatusTextCentre) {
    prefix = "\t";
  } else if (flags & StatusTextRight) {
    prefix = "\t\t";
    if (themedControls) suffix = "    ";
  }
  const std::size_t prefixLength = std::strlen(prefix);
  const std::size_t textLength = std::strlen(text);
  const std::size_t suffixLength = std::strlen(suffix);
  auto* copy = static_cast<char*>(MainHeapAllocZero(prefixLength + textLength + suffixLength + 1));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, prefix, prefixLength);
  std::memcpy(copy + prefixLength, text, textLength);
  std::memcpy(copy + prefixLength + textLength, suffix, suffixLength);
  return copy;
}
