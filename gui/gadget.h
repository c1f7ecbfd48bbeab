// The gadget layer: numbered child controls inside a window. It holds what every kind of
// gadget shares: the table and record, the registration of a new control, the release of
// the record when the control is destroyed, gadget events, and the current gadget list
// (the window that receives new gadgets).
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "runtime/object_table.h"

struct GadgetRecord;

// One constant table of operations per kind of gadget; both may be null.
struct GadgetKind {
  // Offered the parent window's notifications about the gadget; returns ResultNotHandled
  // to leave the message to the window.
  std::intptr_t (*notificationHandler)(GadgetRecord* record, NativeHandle parent, std::uint32_t message,
                                       std::uintptr_t wParam, std::intptr_t lParam);
  // Called once when the control is destroyed, before the record is released.
  void (*release)(GadgetRecord* record);
};

struct GadgetRecord {
  NativeHandle handle;              // the control; non-zero while the gadget exists
  const GadgetKind* kind;
  std::intptr_t previousProcedure;  // the control's procedure before the gadget subclass
  std::intptr_t kindFields[4];      // belong to the kind
};

extern ObjectTable* GadgetTable;

void GadgetInit();
// Takes over a freshly created control as gadget number (record from ObjectNew on the
// gadget table). Returns the id for DynamicNumber, else the control.
NativeHandle GadgetRegister(ObjectId number, GadgetRecord* record, NativeHandle control, const GadgetKind* kind);
// Posts EventGadgetAction for the control, in the window that owns it.
void GadgetEventPost(NativeHandle control, std::int32_t type);
// Offers a parent's message about control to the control's kind; ResultNotHandled when
// the control is no gadget or its kind does not handle it.
std::intptr_t GadgetForward(NativeHandle control, NativeHandle parent, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam);
// The nearest ancestor (or the window itself) that is one of the runtime's windows, else
// the topmost ancestor.
NativeHandle OwningWindow(NativeHandle window);
// Makes window the one that receives new gadgets; with 0 only asks. Returns the previous one.
NativeHandle GadgetListUse(NativeHandle window);
