// The image gadget: a picture (bitmap or icon, by native handle) shown unscaled in a
// notifying static control, drawn through alpha blending when the bitmap carries an alpha
// channel, with its mouse actions reported as gadget events.
#pragma once

#include <cstdint>

#include "gui/gadget.h"
#include "platform/platform.h"
#include "runtime/object_table.h"

// Flags of ImageGadgetCreate.
constexpr std::uint32_t ImageBorderSunken = 0x200;  // client edge
constexpr std::uint32_t ImageBorderRaised = 0x1;    // dialog frame; ignored with the sunken border

// Types of the EventGadgetAction events an image gadget posts.
constexpr std::int32_t ImageEventClick = 0;  // the static control's own click notification
constexpr std::int32_t ImageEventRightRelease = 1;
constexpr std::int32_t ImageEventDoubleClick = 2;
constexpr std::int32_t ImageEventRightDoubleClick = 3;
constexpr std::int32_t GadgetTypeDragStart = 14002;

// The kind fields of an image gadget's record, by index into GadgetRecord::kindFields.
enum ImageGadgetField : int {
  ImageFieldImage = 0,       // the handle shown, or 0; the caller owns it
  ImageFieldAlphaCopy = 1,   // premultiplied copy when the image has alpha; owned by the gadget
  ImageFieldButtonDown = 2,  // 1 from a left press in the control until release or drag start
  ImageFieldPressPosition = 3,  // lParam of that press
};

extern const GadgetKind ImageGadgetKind;

// Creates the control in the current gadget list showing `image` (not owned) and resizes it
// to the picture. Returns the control, for DynamicNumber the id; 0 on failure.
NativeHandle ImageGadgetCreate(ObjectId number, std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height, NativeHandle image, std::uint32_t flags = 0);
// Repaints the owning window behind the control wherever the picture may not cover it.
void RedrawBehindGadget(GadgetRecord* record, NativeHandle control);
