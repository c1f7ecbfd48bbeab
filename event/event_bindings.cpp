#include "event/event_bindings.h"

#include <cstdio>

#include "event/event_queue.h"
#include "runtime/heaps.h"

Map* EventBindingMap;

namespace {

constexpr std::int32_t BindingBuckets = 1024;

// "%d:%d:%d:%d" of code, window, object and type. Ids are pointer-sized, so they are printed
// whole; every value that fits 32 bits prints as %d would print it.
void FormatKey(char (&key)[96], std::int32_t code, ObjectId window, ObjectId object, std::int32_t type) {
  std::snprintf(key, sizeof key, "%d:%lld:%lld:%d", code, static_cast<long long>(window),
                static_cast<long long>(object), type);
}

void RunBindings(const char* key) {
  if (EventBindingMap == nullptr) return;
  auto* entry = static_cast<EventBindingEntry*>(MapFind(EventBindingMap, key));
  if (entry == nullptr) return;
  for (EventBinding* binding = entry->first; binding != nullptr;) {
    EventBinding* next = binding->next;  // read first: the callback may add bindings
    binding->callback();
    binding = next;
  }
}

}  // namespace

void EventBindingsCreate() {
  EventBindingMap = nullptr;  // a map of an earlier run died with its MainHeap
  MapCreate(sizeof(EventBindingEntry), &EventBindingMap, BindingBuckets);
}

void EventBindingsForget() { EventBindingMap = nullptr; }

bool EventBind(std::int32_t code, ObjectId window, ObjectId object, std::int32_t type, EventCallback callback) {
  if (EventBindingMap == nullptr) return false;
  auto* binding = static_cast<EventBinding*>(MainHeapAllocZero(sizeof(EventBinding)));
  if (binding == nullptr) return false;
  binding->callback = callback;
  char key[96];
  FormatKey(key, code, window, object, type);
  auto* entry = static_cast<EventBindingEntry*>(MapFind(EventBindingMap, key));
  if (entry == nullptr) {
    entry = static_cast<EventBindingEntry*>(MapAdd(EventBindingMap, key, false));
    if (entry == nullptr) {
      MainHeapFree(binding);
      return false;
    }
    entry->window = window;
  }
  EventBinding** last = &entry->first;
  while (*last != nullptr) last = &(*last)->next;
  *last = binding;
  return true;
}

void EventDispatch(std::int32_t code, ObjectId window, ObjectId object, std::int32_t type) {
  char key[96];
  FormatKey(key, code, window, object, type);
  RunBindings(key);
  FormatKey(key, code, window, object, -1);
  RunBindings(key);
  FormatKey(key, code, window, -1, -1);
  RunBindings(key);
  FormatKey(key, code, -1, -1, -1);
  RunBindings(key);
  FormatKey(key, code, -1, object, type);
  RunBindings(key);
}

// The entries go; their binding records stay in MainHeap until the program ends, because a
// dispatch that is running one of their callbacks (which may be the one closing the
// window) still holds the link to the next binding.
void EventUnbindWindow(ObjectId window) {
  if (EventBindingMap == nullptr) return;
  MapReset(EventBindingMap);
  while (void* value = MapNext(EventBindingMap)) {
    if (static_cast<EventBindingEntry*>(value)->window == window) MapDeleteCurrent(EventBindingMap);
  }
}
