#include "gui/modal_window_list.h"

namespace {

ModalWindowEntry* EntryAdd(NodeList* list, std::uint32_t thread, NativeHandle window) {
  auto* entry = static_cast<ModalWindowEntry*>(NodeListAdd(list, sizeof(NodeLinks) + sizeof(ModalWindowEntry)));
  if (entry == nullptr) return nullptr;
  entry->thread = thread;
  entry->window = window;
  return entry;
}

}  // namespace

bool ModalBoxOpen(NodeList* list, std::uint32_t thread) { return EntryAdd(list, thread, 0) != nullptr; }

ModalWindowEntry* ModalEntryAdd(NodeList* list, std::uint32_t thread, NativeHandle window) {
  return EntryAdd(list, thread, window);
}
