// The event queue and the current event. Window procedures and gadgets post events; the
// event loop fetches them one at a time, oldest first, and reads the current event's
// fields. Callbacks bound to events (event_bindings.h) run when a matching event is posted,
// or, for events posted as deferred, when it is fetched.
#pragma once

#include <cstdint>

#include "runtime/object_table.h"  // ObjectId

using EventReleaseRoutine = void (*)(std::intptr_t data);

// Posting flags.
constexpr std::int32_t EventPostWhileSuspended = 1;
constexpr std::int32_t EventDeferred = 2;  // callbacks run at fetch; never merged

void EventInit();  // start-up step 2 (Win32: also the hidden "PostEventClass" window and "QV_PostEventMessage")
void EventEnd();   // shut-down step 6
void EventPost(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type,
               std::intptr_t data, EventReleaseRoutine release, std::int32_t flags);
void EventPostSimple(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type);
std::int32_t EventFetch();  // code of the event now current, 0 when the queue was empty
ObjectId EventWindow();     // window of the current event
ObjectId EventObject();     // object of the current event
std::int32_t EventType();   // type of the current event
std::intptr_t EventData();  // data of the current event
void EventSuspend();
void EventResume();
void EventPurge(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type);  // -1 = any
void EventPurgeWindow(ObjectId window);
void EventUnbindWindow(ObjectId window);
void EventDispatch(std::int32_t code, ObjectId window, ObjectId object, std::int32_t type);
// Win32 only (event/post_event_window_win32.h): the hidden window's handle and the registered
// message number, for the event loop.
