#include "event/event_queue.h"

#include "event/event_bindings.h"
#include "event/event_node.h"
#include "event/post_event_window.h"
#include "runtime/library_state.h"
#include "runtime/pool.h"

namespace {

// Merging applies only to the window and control codes below this value.
constexpr std::int32_t MergeableCodeLimit = 65536;

struct CurrentEvent {
  std::int32_t code;
  ObjectId window;
  ObjectId object;
  std::int32_t type;
  std::intptr_t data;
  EventReleaseRoutine release;
};

struct EventState {
  Pool* nodes;
  EventQueueNode* head;
  EventQueueNode* tail;
  std::int32_t suspendCount;  // posting is suspended while it is above 0
  CurrentEvent current;
};

// Null before EventInit and after EventEnd; every operation then does nothing.
void* StateBlock;

EventState* State() { return static_cast<EventState*>(LibraryState(StateBlock)); }

void CreateNodePool(void* block) {
  static_cast<EventState*>(block)->nodes = PoolCreate(sizeof(EventQueueNode), 16, 256, 2);
}

void DestroyNodePool(void* block) { PoolDestroy(static_cast<EventState*>(block)->nodes); }

bool Matches(const EventQueueNode* node, std::int32_t code, ObjectId object, ObjectId window, std::int32_t type) {
  return (code == -1 || node->code == code) && (object == -1 || node->object == object) &&
         (window == -1 || node->window == window) && (type == -1 || node->type == type);
}

bool MergesWithTail(const EventState* state, std::int32_t code, ObjectId object, ObjectId window,
                    std::int32_t type, std::int32_t flags) {
  const EventQueueNode* last = state->tail;
  return last != nullptr && code < MergeableCodeLimit && (flags & EventDeferred) == 0 && last->code == code &&
         last->object == object && last->window == window && last->type == type;
}

void Append(EventState* state, std::int32_t code, ObjectId object, ObjectId window, std::int32_t type,
            std::intptr_t data, EventReleaseRoutine release, std::int32_t flags) {
  auto* node = static_cast<EventQueueNode*>(PoolAlloc(state->nodes));
  if (node == nullptr) return;
  *node = EventQueueNode{nullptr, code, flags, object, window, type, data, release};
  if (state->tail != nullptr) state->tail->next = node;
  else state->head = node;
  state->tail = node;
}

// Data that no event will carry any more goes back to its owner.
void ReleaseData(std::intptr_t data, EventReleaseRoutine release) {
  if (data != 0 && release != nullptr) release(data);
}

}  // namespace

void EventInit() {
  StateBlock = nullptr;
  PostEventWindowCreate();
  StateBlock = LibraryStateCreate(sizeof(EventState), CreateNodePool, DestroyNodePool);
  EventBindingsCreate();
}

// The queue and the bindings die with MainHeap right after; only the window is given back.
void EventEnd() {
  PostEventWindowDestroy();
  StateBlock = nullptr;
  EventBindingsForget();
}

void EventPost(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type, std::intptr_t data,
               EventReleaseRoutine release, std::int32_t flags) {
  if (StateBlock == nullptr) return;
  EventState* state = State();
  if (state->suspendCount != 0 && (flags & EventPostWhileSuspended) == 0) {
    ReleaseData(data, release);
    return;
  }
  // A repeat of the last queued event is not queued again; the queued one keeps its data,
  // and the repeat's own data goes back once its callbacks are done with it.
  const bool merged = MergesWithTail(state, code, object, window, type, flags);
  if (!merged) Append(state, code, object, window, type, data, release, flags);
  if ((flags & EventDeferred) != 0) return;
  // Callbacks read the posted event as the current one while they run.
  const CurrentEvent saved = state->current;
  state->current = CurrentEvent{code, window, object, type, data, release};
  EventDispatch(code, window, object, type);
  EventState* after = State();
  // A callback that fetched the next event has already given this data back.
  const bool stillHeld = after->current.data == data && after->current.release == release;
  after->current = saved;
  if (merged && stillHeld) ReleaseData(data, release);
}

void EventPostSimple(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type) {
  EventPost(code, object, window, type, 0, nullptr, 0);
}

std::int32_t EventFetch() {
  if (StateBlock == nullptr) return 0;
  EventState* state = State();
  CurrentEvent& current = state->current;
  current.code = 0;
  // The previous event is done with now: its data goes back.
  if (current.data != 0 && current.release != nullptr) {
    const EventReleaseRoutine release = current.release;
    const std::intptr_t data = current.data;
    current.data = 0;
    current.release = nullptr;
    release(data);
  }
  current.type = -1;
  EventQueueNode* node = state->head;
  if (node == nullptr) return 0;
  current = CurrentEvent{node->code, node->window, node->object, node->type, node->data, node->release};
  state->head = node->next;
  if (state->head == nullptr) state->tail = nullptr;
  const bool deferred = (node->flags & EventDeferred) != 0;
  PoolFree(state->nodes, node);
  if (deferred) EventDispatch(current.code, current.window, current.object, current.type);
  return State()->current.code;
}

ObjectId EventWindow() { return StateBlock != nullptr ? State()->current.window : 0; }
ObjectId EventObject() { return StateBlock != nullptr ? State()->current.object : 0; }
std::int32_t EventType() { return StateBlock != nullptr ? State()->current.type : -1; }
std::intptr_t EventData() { return StateBlock != nullptr ? State()->current.data : 0; }

void EventSuspend() {
  if (StateBlock != nullptr) ++State()->suspendCount;
}

// An unpaired resume must not leave the count below 0, which would suspend posting for good.
void EventResume() {
  if (StateBlock != nullptr && State()->suspendCount > 0) --State()->suspendCount;
}

void EventPurge(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type) {
  if (StateBlock == nullptr) return;
  EventState* state = State();
  EventQueueNode* kept = nullptr;  // the last node that stays
  EventQueueNode** link = &state->head;
  while (EventQueueNode* node = *link) {
    if (Matches(node, code, object, window, type)) {
      *link = node->next;
      const std::intptr_t data = node->data;
      const EventReleaseRoutine release = node->release;
      PoolFree(state->nodes, node);
      ReleaseData(data, release);
    } else {
      kept = node;
      link = &node->next;
    }
  }
  state->tail = kept;
}

void EventPurgeWindow(ObjectId window) { EventPurge(-1, -1, window, -1); }
