#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/event/event_fixture.h"

namespace {

constexpr std::int32_t GadgetEvent = 13100;
constexpr std::int32_t CloseEvent = 13116;

// The current code is not readable through the queue's interface; callbacks are bound to
// one code each, so they record that.
void OnGadget() { EventTest::Record("gadget", GadgetEvent); }
void OnClose() { EventTest::Record("close", CloseEvent); }
void Key1() { EventTest::Record("key1", GadgetEvent); }
void Key2() { EventTest::Record("key2", GadgetEvent); }
void Key3() { EventTest::Record("key3", GadgetEvent); }
void Key4() { EventTest::Record("key4", GadgetEvent); }
void Key5() { EventTest::Record("key5", GadgetEvent); }
void OtherWindow() { EventTest::Record("other-window", GadgetEvent); }

std::vector<std::string> Lines(std::initializer_list<const char*> lines) { return {lines.begin(), lines.end()}; }

struct Fetched {
  std::int32_t code;
  ObjectId window, object;
  std::int32_t type;
  std::intptr_t data;
  bool operator==(const Fetched& other) const {
    return code == other.code && window == other.window && object == other.object && type == other.type &&
           data == other.data;
  }
};

std::ostream& operator<<(std::ostream& out, const Fetched& f) {
  return out << f.code << ":" << f.window << ":" << f.object << ":" << f.type << " data " << f.data;
}

// Fetches until the queue is empty.
std::vector<Fetched> DrainQueue() {
  std::vector<Fetched> fetched;
  while (std::int32_t code = EventFetch()) fetched.push_back({code, EventWindow(), EventObject(), EventType(), EventData()});
  return fetched;
}

struct Post {
  std::int32_t code;
  ObjectId object, window;
  std::int32_t type;
  std::intptr_t data;
  std::int32_t flags;
};

void Send(const Post& p) { EventPost(p.code, p.object, p.window, p.type, p.data, nullptr, p.flags); }

TEST_F(EventTest, RepeatOfTheLastQueuedEventIsMergedUnlessDeferredOrALargeCode) {
  const struct {
    const char* name;
    Post first, second;
    std::vector<Fetched> queued;
  } cases[] = {
      {"same", {5, 1, 0, 2, 10, 0}, {5, 1, 0, 2, 20, 0}, {{5, 0, 1, 2, 10}}},
      {"same, second may post while suspended", {5, 1, 0, 2, 10, 0}, {5, 1, 0, 2, 20, 1}, {{5, 0, 1, 2, 10}}},
      {"other type", {5, 1, 0, 2, 10, 0}, {5, 1, 0, 3, 20, 0}, {{5, 0, 1, 2, 10}, {5, 0, 1, 3, 20}}},
      {"other object", {5, 1, 0, 2, 10, 0}, {5, 7, 0, 2, 20, 0}, {{5, 0, 1, 2, 10}, {5, 0, 7, 2, 20}}},
      {"other window", {5, 1, 0, 2, 10, 0}, {5, 1, 4, 2, 20, 0}, {{5, 0, 1, 2, 10}, {5, 4, 1, 2, 20}}},
      {"second deferred", {5, 1, 0, 2, 10, 0}, {5, 1, 0, 2, 20, 2}, {{5, 0, 1, 2, 10}, {5, 0, 1, 2, 20}}},
      {"code 65536", {65536, 1, 0, 2, 10, 0}, {65536, 1, 0, 2, 20, 0}, {{65536, 0, 1, 2, 10}, {65536, 0, 1, 2, 20}}},
      {"code 65535", {65535, 1, 0, 2, 10, 0}, {65535, 1, 0, 2, 20, 0}, {{65535, 0, 1, 2, 10}}},
  };
  for (const auto& c : cases) {
    Send(c.first);
    Send(c.second);
    EXPECT_EQ(DrainQueue(), c.queued) << c.name;
  }
}

TEST_F(EventTest, MergedPostStillRunsTheCallbacks) {
  ASSERT_TRUE(EventBind(GadgetEvent, 0, 5, 1, OnGadget));
  EventPostSimple(GadgetEvent, 5, 0, 1);
  EventPostSimple(GadgetEvent, 5, 0, 1);
  EXPECT_EQ(Seen(), Lines({"gadget 13100:0:5:1", "gadget 13100:0:5:1"}));
  EXPECT_EQ(DrainQueue().size(), 1u);
  EXPECT_EQ(Seen().size(), 2u);  // fetching an event that was not deferred runs nothing
}

TEST_F(EventTest, DeferredEventRunsItsCallbacksWhenFetchedAndIsNeverMerged) {
  ASSERT_TRUE(EventBind(GadgetEvent, 0, 5, 1, OnGadget));
  EventPost(GadgetEvent, 5, 0, 1, 0, nullptr, EventDeferred);
  EventPost(GadgetEvent, 5, 0, 1, 0, nullptr, EventDeferred);
  EXPECT_TRUE(Seen().empty());
  EXPECT_EQ(EventFetch(), GadgetEvent);
  EXPECT_EQ(Seen(), Lines({"gadget 13100:0:5:1"}));
  EXPECT_EQ(EventFetch(), GadgetEvent);
  EXPECT_EQ(Seen().size(), 2u);
  EXPECT_EQ(EventFetch(), 0);
}

TEST_F(EventTest, SuspendedPostsAreDroppedUnlessFlaggedAndResumeNeverGoesBelowZero) {
  // S = EventSuspend, R = EventResume, applied in order before posting.
  const struct {
    const char* calls;
    std::int32_t flags;
    bool delivered;
  } cases[] = {
      {"", 0, true},     {"S", 0, false},  {"S", EventPostWhileSuspended, true},
      {"SR", 0, true},   {"SSR", 0, false}, {"SSRR", 0, true},
      {"R", 0, true},    {"RS", 0, false}, {"RSR", 0, true},  // an unpaired resume is ignored
      {"RRSR", 0, true},
  };
  ASSERT_TRUE(EventBind(CloseEvent, 0, -1, -1, OnClose));
  for (const auto& c : cases) {
    Seen().clear();
    for (const char* call = c.calls; *call != '\0'; ++call) {
      if (*call == 'S') EventSuspend();
      else EventResume();
    }
    EventPost(CloseEvent, 0, 0, 0, 0, nullptr, c.flags);
    EXPECT_EQ(DrainQueue().size(), c.delivered ? 1u : 0u) << c.calls;
    EXPECT_EQ(Seen().size(), c.delivered ? 1u : 0u) << c.calls;  // neither queued nor dispatched
    for (int i = 0; i < 4; ++i) EventResume();
  }
}

TEST_F(EventTest, FetchOnAnEmptyQueueKeepsWindowAndObject) {
  EventPostSimple(CloseEvent, 3, 2, 9);
  EXPECT_EQ(EventFetch(), CloseEvent);
  EXPECT_EQ(EventType(), 9);
  EXPECT_EQ(EventFetch(), 0);
  EXPECT_EQ(EventType(), -1);
  EXPECT_EQ(EventWindow(), 2);
  EXPECT_EQ(EventObject(), 3);
}

TEST_F(EventTest, DispatchTriesTheFiveKeysInOrder) {
  ASSERT_TRUE(EventBind(GadgetEvent, -1, 5, 0, Key5));
  ASSERT_TRUE(EventBind(GadgetEvent, -1, -1, -1, Key4));
  ASSERT_TRUE(EventBind(GadgetEvent, 0, -1, -1, Key3));
  ASSERT_TRUE(EventBind(GadgetEvent, 0, 5, -1, Key2));
  ASSERT_TRUE(EventBind(GadgetEvent, 0, 5, 0, Key1));
  ASSERT_TRUE(EventBind(GadgetEvent, 1, -1, -1, OtherWindow));
  ASSERT_TRUE(EventBind(GadgetEvent, 0, -1, -1, OnGadget));  // second binding of key 3
  EventPostSimple(GadgetEvent, 5, 0, 0);
  EXPECT_EQ(Seen(), Lines({"key1 13100:0:5:0", "key2 13100:0:5:0", "key3 13100:0:5:0", "gadget 13100:0:5:0",
                           "key4 13100:0:5:0", "key5 13100:0:5:0"}));
  Seen().clear();
  EventPostSimple(GadgetEvent, 6, 0, 0);  // another object: only the keys without it
  EXPECT_EQ(Seen(), Lines({"key3 13100:0:6:0", "gadget 13100:0:6:0", "key4 13100:0:6:0"}));
}

TEST_F(EventTest, PostedEventIsCurrentOnlyWhileItsCallbacksRun) {
  ASSERT_TRUE(EventBind(GadgetEvent, 7, -1, -1, OnGadget));
  EventPostSimple(CloseEvent, 1, 2, 3);
  ASSERT_EQ(EventFetch(), CloseEvent);
  EventPost(GadgetEvent, 8, 7, 4, 55, nullptr, 0);
  EXPECT_EQ(Seen(), Lines({"gadget 13100:7:8:4"}));
  EXPECT_EQ(EventWindow(), 2);
  EXPECT_EQ(EventObject(), 1);
  EXPECT_EQ(EventType(), 3);
  EXPECT_EQ(EventData(), 0);
}

TEST_F(EventTest, PurgeKeepsTheOrderAndTheTailOfWhatRemains) {
  // Queue: a(w0 o1) b(w1 o1) c(w0 o2 type 7) d(w1 o2), then purge, then e is posted.
  const struct {
    const char* name;
    std::int32_t code;
    ObjectId object, window;
    std::int32_t type;
    std::vector<std::int32_t> remaining;
  } cases[] = {
      {"window 0", -1, -1, 0, -1, {2, 4, 5}},
      {"window 1 (the tail)", -1, -1, 1, -1, {1, 3, 5}},
      {"object 1", -1, 1, -1, -1, {3, 4, 5}},
      {"code 3", 3, -1, -1, -1, {1, 2, 4, 5}},
      {"type 7 of window 0", -1, -1, 0, 7, {1, 2, 4, 5}},
      {"everything", -1, -1, -1, -1, {5}},
      {"nothing matches", 9, -1, -1, -1, {1, 2, 3, 4, 5}},
  };
  for (const auto& c : cases) {
    EventPostSimple(1, 1, 0, 0);
    EventPostSimple(2, 1, 1, 0);
    EventPostSimple(3, 2, 0, 7);
    EventPostSimple(4, 2, 1, 0);
    EventPurge(c.code, c.object, c.window, c.type);
    EventPostSimple(5, 0, 0, 0);
    std::vector<std::int32_t> codes;
    for (const Fetched& f : DrainQueue()) codes.push_back(f.code);
    EXPECT_EQ(codes, c.remaining) << c.name;
  }
}

TEST_F(EventTest, PurgeWindowRemovesOnlyThatWindowsEvents) {
  EventPostSimple(1, 0, 0, 0);
  EventPostSimple(2, 0, 3, 0);
  EventPostSimple(3, 0, 0, 0);
  EventPurgeWindow(3);
  EXPECT_EQ(DrainQueue(), (std::vector<Fetched>{{1, 0, 0, 0, 0}, {3, 0, 0, 0, 0}}));
}

std::vector<std::intptr_t> Released;
void RecordRelease(std::intptr_t data) { Released.push_back(data); }

TEST_F(EventTest, DataIsReleasedAtTheNextFetch) {
  Released.clear();
  EventPost(1, 0, 0, 0, 111, RecordRelease, 0);
  EventPost(2, 0, 0, 0, 222, RecordRelease, 0);
  EventPost(3, 0, 0, 0, 0, RecordRelease, 0);  // no data: nothing to release
  ASSERT_EQ(EventFetch(), 1);
  EXPECT_EQ(EventData(), 111);
  EXPECT_TRUE(Released.empty());
  ASSERT_EQ(EventFetch(), 2);
  EXPECT_EQ(Released, (std::vector<std::intptr_t>{111}));
  ASSERT_EQ(EventFetch(), 3);
  EXPECT_EQ(Released, (std::vector<std::intptr_t>{111, 222}));
  EXPECT_EQ(EventFetch(), 0);
  EXPECT_EQ(EventFetch(), 0);
  EXPECT_EQ(Released.size(), 2u);
}

// While a callback runs, its event's data must still be held.
std::vector<std::intptr_t> DataSeenUnreleased;
void NoteDataStillHeld() {
  bool released = false;
  for (std::intptr_t data : Released) released = released || data == EventData();
  if (!released) DataSeenUnreleased.push_back(EventData());
}

TEST_F(EventTest, DataOfPostsThatAreMergedDroppedOrPurgedIsReleasedOnce) {
  Released.clear();
  DataSeenUnreleased.clear();
  ASSERT_TRUE(EventBind(GadgetEvent, 0, 5, 1, NoteDataStillHeld));
  EventPost(GadgetEvent, 5, 0, 1, 111, RecordRelease, 0);
  EventPost(GadgetEvent, 5, 0, 1, 222, RecordRelease, 0);  // merged: the queued event keeps 111
  EXPECT_EQ(DataSeenUnreleased, (std::vector<std::intptr_t>{111, 222}));
  EXPECT_EQ(Released, (std::vector<std::intptr_t>{222}));
  EventSuspend();
  EventPost(CloseEvent, 0, 0, 0, 333, RecordRelease, 0);  // dropped
  EventResume();
  EventPost(CloseEvent, 0, 1, 0, 444, RecordRelease, 0);
  EventPurgeWindow(1);
  EXPECT_EQ(Released, (std::vector<std::intptr_t>{222, 333, 444}));
  EXPECT_EQ(DrainQueue(), (std::vector<Fetched>{{GadgetEvent, 0, 5, 1, 111}}));
  EXPECT_EQ(Released, (std::vector<std::intptr_t>{222, 333, 444, 111}));
}

TEST_F(EventTest, UnbindingAWindowRemovesItsEntriesOnly) {
  ASSERT_TRUE(EventBind(CloseEvent, 0, -1, -1, OnClose));
  ASSERT_TRUE(EventBind(GadgetEvent, 0, 4, 1, OnGadget));
  ASSERT_TRUE(EventBind(GadgetEvent, 1, -1, -1, OtherWindow));
  ASSERT_TRUE(EventBind(GadgetEvent, -1, -1, -1, Key4));
  EventUnbindWindow(0);
  EventPostSimple(CloseEvent, 0, 0, 0);
  EventPostSimple(GadgetEvent, 4, 0, 1);
  EventPostSimple(GadgetEvent, 4, 1, 1);
  EXPECT_EQ(Seen(), Lines({"key4 13100:0:4:1", "other-window 13100:1:4:1", "key4 13100:1:4:1"}));
  EXPECT_EQ(EventBindingMap->count, 2);
}

void UnbindOwnWindow() {
  EventTest::Record("unbinding", CloseEvent);
  EventUnbindWindow(EventWindow());
}

TEST_F(EventTest, CallbackMayUnbindItsOwnWindow) {
  ASSERT_TRUE(EventBind(CloseEvent, 0, -1, -1, UnbindOwnWindow));
  ASSERT_TRUE(EventBind(CloseEvent, 0, -1, -1, OnClose));
  EventPostSimple(CloseEvent, 0, 0, 0);
  EventPostSimple(CloseEvent, 0, 0, 0);
  // The running dispatch finishes its list; later posts find no binding.
  EXPECT_EQ(Seen(), Lines({"unbinding 13116:0:0:0", "close 13116:0:0:0"}));
}

TEST_F(EventTest, EndedQueueDoesNothing) {
  EventPostSimple(1, 0, 0, 0);
  EventEnd();
  EventPostSimple(2, 0, 0, 0);
  EXPECT_EQ(EventFetch(), 0);
  EventSuspend();
  EventPurge(-1, -1, -1, -1);
  EventUnbindWindow(0);
  EXPECT_FALSE(EventBind(1, 0, 0, 0, OnClose));
  EXPECT_TRUE(Seen().empty());
}  // the fixture ends the library a second time: nothing to do

// A finaliser whose initialiser never ran finds nothing to do.
class EventEndOnlyTest : public RuntimeTest {
 protected:
  std::vector<LibraryStep> ExtraEndSteps() override { return {LibraryStep{"event queue", EventEnd}}; }
};

TEST_F(EventEndOnlyTest, EndWithoutInitDoesNothing) {
  EventEnd();
  EXPECT_EQ(EventFetch(), 0);
  EXPECT_EQ(EventBindingMap, nullptr);
}

}  // namespace
