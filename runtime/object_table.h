// Numbered object tables: one per object kind, mapping the caller's numbers (and
// dynamic ids, the addresses of dynamically numbered records) to the kind's records.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/node_list.h"

// Object numbers and dynamic ids are pointer-sized.
using ObjectId = std::intptr_t;

constexpr ObjectId DynamicNumber = -1;  // at creation: let the system choose the id
constexpr ObjectId AllObjects = -1;     // to a free routine: every object of the kind

using ObjectFreeRoutine = void (*)(ObjectId id);

struct ObjectTable {
  std::int32_t recordSize;
  std::int32_t growthStep;
  std::int32_t capacity;
  void** slots;
  NodeList newestDynamic;
  ObjectFreeRoutine freeRoutine;
  std::int32_t freeAllPosition;
  NodeLinks* freeAllDynamicCursor;
};

// Every record begins with this field: the object's native handle, non-zero while it lives.
inline std::intptr_t& RecordLiveMarker(void* record) { return *static_cast<std::intptr_t*>(record); }

ObjectTable* ObjectTableCreate(std::int32_t recordSize, std::int32_t step, ObjectFreeRoutine freeRoutine);
// The record to fill for a new object; null when memory runs out or the number is negative
// (other than DynamicNumber) or too large to index.
void* ObjectNew(ObjectTable* table, ObjectId number);
// The live record of a number or dynamic id, or null. A value that is no live dynamic id is
// never dereferenced.
void* ObjectGet(ObjectTable* table, ObjectId id);
void ObjectRelease(ObjectTable* table, ObjectId id);
void ObjectFreeAll(ObjectTable* table);
