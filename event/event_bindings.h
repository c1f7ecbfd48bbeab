// Callbacks bound to events. The key is "code:window:object:type", -1 standing for any
// value in a position; EventDispatch (event_queue.h) tries five keys, most specific first.
#pragma once

#include <cstdint>

#include "event/hash_map.h"
#include "runtime/object_table.h"

using EventCallback = void (*)();

// One entry per key: its bindings in the order they were bound, and the window of the key.
struct EventBindingEntry {
  struct EventBinding* first;
  ObjectId window;
};

struct EventBinding {
  EventBinding* next;
  EventCallback callback;
};

// Binds callback after any earlier bindings of the same key; false when memory runs out.
bool EventBind(std::int32_t code, ObjectId window, ObjectId object, std::int32_t type, EventCallback callback);

// The binding map, made by EventInit and forgotten by EventEnd.
extern Map* EventBindingMap;
void EventBindingsCreate();
void EventBindingsForget();
