// The windows that open message boxes have disabled or taken out of the topmost band, so
// that each box restores exactly what it changed. One process-wide list; every entry
// carries its thread, and each box's entries follow a marker of their own, so a box opened
// while another box of the same thread is open restores only its own windows.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "runtime/node_list.h"

struct ModalWindowEntry {
  std::uint32_t thread;       // the thread that showed the box
  NativeHandle window;        // a top-level window of that thread; 0 marks the start of a box
  std::uint8_t wasTopmost;    // taken out of the topmost band by this box
  std::uint8_t disabledHere;  // disabled by this box
};

// Starts a new box of thread: its entries are those added from now on until it is closed.
// False when memory runs out (the box then records nothing).
bool ModalBoxOpen(NodeList* list, std::uint32_t thread);
// A new entry of the thread's newest box with both flags 0; null when memory runs out.
ModalWindowEntry* ModalEntryAdd(NodeList* list, std::uint32_t thread, NativeHandle window);

// Calls visit(entry) for each window entry of the thread's newest box, newest first.
template <typename Visit>
void ModalBoxVisit(NodeList list, std::uint32_t thread, Visit visit) {
  for (NodeLinks* node = list; node != nullptr; node = node->older) {
    auto* entry = static_cast<ModalWindowEntry*>(NodeElement(node));
    if (entry->thread != thread) continue;
    if (entry->window == 0) return;
    visit(entry);
  }
}

// Calls visit(entry) for each window entry of the thread's newest box, newest first, and
// removes those entries and the box's marker.
template <typename Visit>
void ModalBoxClose(NodeList* list, std::uint32_t thread, Visit visit) {
  NodeLinks* node = *list;
  while (node != nullptr) {
    NodeLinks* older = node->older;  // read first: the node goes away below
    auto* entry = static_cast<ModalWindowEntry*>(NodeElement(node));
    if (entry->thread == thread) {
      const bool marker = entry->window == 0;
      if (!marker) visit(entry);
      NodeListRemove(list, entry);
      if (marker) return;
    }
    node = older;
  }
}
