// The arithmetic of status bars: the right edges of the fields across the bar, and the
// part word and alignment of a field's text. Pure functions, no platform calls.
#pragma once

#include <cstdint>

#include "gui/window_flags.h"  // IgnoreValue: as a field width, an equal share of what the fixed fields leave

// Text flags of StatusBarSetText.
constexpr std::uint32_t StatusTextRaised = 1;    // raised border
constexpr std::uint32_t StatusTextNoBorder = 2;  // no border; ignored with StatusTextRaised
constexpr std::uint32_t StatusTextCentre = 4;    // centred text
constexpr std::uint32_t StatusTextRight = 8;     // right-aligned text; ignored with StatusTextCentre

// Border bits of the status control's part word.
constexpr std::uint32_t StatusPartNoBorders = 0x100;  // SBT_NOBORDERS
constexpr std::uint32_t StatusPartPopOut = 0x200;     // SBT_POPOUT

// At most this many fields per bar.
constexpr std::int32_t StatusFieldLimit = 256;

struct StatusField {
  std::int32_t width;       // pixels, or IgnoreValue
  std::uint32_t textFlags;  // as last given to StatusBarSetText
};

// The right end of the room for fields on a bar whose client area ends at right and bottom:
// a size grip takes a square of the bar's height less 3 when the window can be sized by
// its border and is not maximized.
std::int32_t StatusBarUsableRight(std::int32_t right, std::int32_t bottom, bool sizeGrip);

// Right edge of each of count fields on a bar whose room runs from left to right. Shared
// fields split the width the fixed ones leave, the remainder of the division lost. Edges
// past the bar are kept: the control clips them. Sums saturate at the 32-bit range.
void StatusBarEdges(const StatusField* fields, std::int32_t count, std::int32_t left, std::int32_t right,
                    std::int32_t* edges);

// The status control's part word for a field: its index and the border bit.
std::uint32_t StatusTextPartWord(std::int32_t field, std::uint32_t flags);

// The text as the control aligns it: one tab before it centres it; two tabs right-align it,
// and with visual styles four spaces after it keep it clear of the size grip. A MainHeap
// copy (null text counts as ""); null when memory runs out.
char* StatusTextAligned(const char* text, std::uint32_t flags, bool themedControls);
