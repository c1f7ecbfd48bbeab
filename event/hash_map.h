// String-keyed hash map: a fixed number of buckets with separate chaining, values of a
// fixed size filled with zeros when added, and a built-in cursor for lookups and for one
// iteration at a time (which may delete the current element as it goes).
#pragma once

#include <cstdint>

#include "runtime/pool.h"

// An element is these two fields followed by the value; a value's address and its element
// are interchangeable.
struct MapElement {
  MapElement* next;  // in the same chain
  char* key;         // the element's own copy, from MainHeap
};

struct Map {
  MapElement* cursor;
  MapElement** buckets;
  // The element visited just before the cursor: during a lookup the chain element walked
  // past last, during an iteration the element current before the last step.
  MapElement* previous;
  MapElement* spare;  // zero-filled, key "", made with the map and freed with it
  std::int32_t index;       // bucket of the cursor; -1 before the first element
  std::int32_t savedIndex;  // the index before the last iteration step
  std::int32_t valueSize;
  std::int32_t bucketCount;  // fixed at creation, at least 1
  std::int32_t count;
  Map** holder;  // the variable that holds the map; null once the map is freed
  Pool* pool;
  // True right after a MapNext step, the only time `previous` is sure to be the element
  // before the cursor in iteration order.
  bool previousIsIterationStep;
};

// sdbm: h = h * 65599 + c over the key's bytes taken as signed 8-bit values, modulo 2^32.
std::uint32_t MapHash(const char* key);

// Frees the map the holder holds first. Null when the record or buckets cannot be made
// (the holder then holds null). A bucket count below 1 becomes 1.
Map* MapCreate(std::int32_t valueSize, Map** holder, std::int32_t bucketCount);
void MapFree(Map* map);
// The value stored under key (the newest of equal keys), or null; a miss leaves the cursor.
// A null key is the empty string here and everywhere.
void* MapFind(Map* map, const char* key);
// A zero-filled value under key; with reuse, an existing element's value is zeroed and
// returned instead of adding another. Null when no element can be had.
void* MapAdd(Map* map, const char* key, bool reuse);
void MapReset(Map* map);
// Iteration: buckets in ascending order, each chain from its newest element.
void* MapNext(Map* map);
// Deletes the current element; the next MapNext yields the element that followed it.
// Returns the value now current, or null.
void* MapDeleteCurrent(Map* map);
void MapClear(Map* map);

// The key of the element whose value this is.
const char* MapKeyOf(const void* value);
