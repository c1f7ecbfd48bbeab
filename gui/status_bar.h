// Numbered status bars: a Win32 status control docked at the bottom of a window, divided
// into fields of given widths, each showing a Windows-1251 text with a border style and an
// alignment. The bar follows its window's size by subclassing the window.
#pragma once

#include <cstdint>

#include "gui/status_bar_layout.h"
#include "platform/platform.h"
#include "runtime/object_table.h"

struct StatusBarRecord {
  NativeHandle handle;         // the status control; non-zero while the bar exists
  StatusField* fields;         // MainHeap array of fieldCapacity fields
  std::int32_t fieldCount;     // at most StatusFieldLimit
  std::int32_t fieldCapacity;  // 8 at creation, grown by 8
  std::int32_t lastWidth;      // the window's client size when the fields were last laid out
  std::int32_t lastHeight;
};

extern ObjectTable* StatusBarTable;

// 1 when the program runs with visual styles and common controls 6.0 or later; set by
// ThemeCheck.
extern std::int32_t ThemedControls;

// Creates status bar number on the window parent and makes it the bar that
// StatusBarAddField extends. Returns the control, or for DynamicNumber the bar's id; 0 when
// the bar cannot be created or the window already carries a bar (that bar stays as it is).
NativeHandle StatusBarCreate(ObjectId number, NativeHandle parent);
// Appends a field to the bar created last; width in pixels or IgnoreValue for a share.
void StatusBarAddField(std::int32_t width);
// Shows text (Windows-1251, null for none) in a field with the StatusText... flags.
void StatusBarSetText(ObjectId number, std::int32_t field, const char* text, std::uint32_t flags);
// Sends the control the fields' right edges for its present size.
void StatusBarLayout(StatusBarRecord* record);

// The common-controls version, major in the high and minor in the low 16 bits; 0 when it
// cannot be read (it is then read again next time). Also sets ThemedControls.
std::uint32_t ThemeCheck();

void StatusBarInit();
