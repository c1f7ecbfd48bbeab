#include "runtime/object_table.h"

#include <cstring>
#include <limits>

#include "runtime/heaps.h"

namespace {

bool IsNumber(const ObjectTable* table, ObjectId id) { return id >= 0 && id < table->capacity; }

// A dynamic id is live exactly while its node is on the table's list; the list is walked
// instead of trusting the value, so a stale or made-up id is never dereferenced.
bool IsLiveDynamic(const ObjectTable* table, ObjectId id) {
  return id != 0 && NodeListContains(table->newestDynamic, reinterpret_cast<const void*>(id));
}

bool GrowSlots(ObjectTable* table, ObjectId number) {
  const ObjectId wanted = number + table->growthStep;
  if (wanted > std::numeric_limits<std::int32_t>::max()) return false;
  const auto capacity = static_cast<std::int32_t>(wanted);
  void* grown = PlatformHeapRealloc(MainHeap, table->slots, sizeof(void*) * static_cast<std::size_t>(capacity));
  if (grown == nullptr) return false;
  table->slots = static_cast<void**>(grown);
  std::memset(table->slots + table->capacity, 0,
              sizeof(void*) * static_cast<std::size_t>(capacity - table->capacity));
  table->capacity = capacity;
  return true;
}

}  // namespace

ObjectTable* ObjectTableCreate(std::int32_t recordSize, std::int32_t step, ObjectFreeRoutine freeRoutine) {
  auto* table = static_cast<ObjectTable*>(MainHeapAllocZero(sizeof(ObjectTable)));
  if (table == nullptr) return nullptr;
  if (step < 1) step = 1;
  table->slots = static_cast<void**>(MainHeapAllocZero(sizeof(void*) * static_cast<std::size_t>(step)));
  if (table->slots == nullptr) {
    MainHeapFree(table);
    return nullptr;
  }
  table->recordSize = recordSize < static_cast<std::int32_t>(sizeof(std::intptr_t))
                          ? static_cast<std::int32_t>(sizeof(std::intptr_t))
                          : recordSize;
  table->growthStep = step;
  table->capacity = step;
  table->freeRoutine = freeRoutine;
  return table;
}

void* ObjectNew(ObjectTable* table, ObjectId number) {
  if (table == nullptr) return nullptr;
  if (number == DynamicNumber) {
    return NodeListAdd(&table->newestDynamic, sizeof(NodeLinks) + static_cast<std::size_t>(table->recordSize));
  }
  if (number < 0) return nullptr;
  if (number >= table->capacity && !GrowSlots(table, number)) return nullptr;
  void* record = table->slots[number];
  if (record != nullptr) {
    // A live object under this number is closed first; a released block finds nothing to do.
    if (table->freeRoutine != nullptr) table->freeRoutine(number);
    return record;
  }
  record = MainHeapAllocZero(static_cast<std::size_t>(table->recordSize));
  table->slots[number] = record;
  return record;
}

void* ObjectGet(ObjectTable* table, ObjectId id) {
  if (table == nullptr) return nullptr;
  void* record = nullptr;
  if (IsNumber(table, id)) record = table->slots[id];
  else if (IsLiveDynamic(table, id)) record = reinterpret_cast<void*>(id);
  if (record == nullptr || RecordLiveMarker(record) == 0) return nullptr;
  return record;
}

void ObjectRelease(ObjectTable* table, ObjectId id) {
  if (table == nullptr) return;
  if (IsNumber(table, id)) {
    if (table->slots[id] != nullptr) std::memset(table->slots[id], 0, static_cast<std::size_t>(table->recordSize));
    return;
  }
  if (!IsLiveDynamic(table, id)) return;
  NodeLinks* node = NodeOf(reinterpret_cast<void*>(id));
  // Keep a free-all walk going when the routine releases the record the cursor stands on.
  if (table->freeAllDynamicCursor == node) table->freeAllDynamicCursor = node->newer;
  NodeListRemove(&table->newestDynamic, reinterpret_cast<void*>(id));
}

void ObjectFreeAll(ObjectTable* table) {
  if (table == nullptr || table->freeRoutine == nullptr) return;
  table->freeAllPosition = 0;
  NodeLinks* oldest = table->newestDynamic;
  while (oldest != nullptr && oldest->older != nullptr) oldest = oldest->older;
  table->freeAllDynamicCursor = oldest;
  for (;;) {
    ObjectId next = -1;
    while (table->freeAllPosition < table->capacity) {
      void* record = table->slots[table->freeAllPosition];
      const ObjectId number = table->freeAllPosition++;
      if (record != nullptr && RecordLiveMarker(record) != 0) {
        next = number;
        break;
      }
    }
    if (next < 0) {
      NodeLinks* node = table->freeAllDynamicCursor;
      if (node == nullptr) break;
      table->freeAllDynamicCursor = node->newer;
      next = reinterpret_cast<ObjectId>(NodeElement(node));
    }
    table->freeRoutine(next);
  }
}
