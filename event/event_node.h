// One queued event. A sender from another thread hands an event over by posting the hidden
// window's message with a MainHeap block of this layout (post_event_window_win32.h).
#pragma once

#include <cstdint>

#include "event/event_queue.h"

struct EventQueueNode {
  EventQueueNode* next;
  std::int32_t code;
  std::int32_t flags;
  ObjectId object;
  ObjectId window;
  std::int32_t type;
  std::intptr_t data;
  EventReleaseRoutine release;
};
