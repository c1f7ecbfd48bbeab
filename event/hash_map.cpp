#include "event/hash_map.h"

#include <cstring>

#include "runtime/heaps.h"

namespace {

const char* const EmptyKey = "";

void* ValueOf(MapElement* element) { return element + 1; }

MapElement* ElementOf(const void* value) {
  return const_cast<MapElement*>(static_cast<const MapElement*>(value) - 1);
}

std::int32_t BucketOf(const Map* map, const char* key) {
  return static_cast<std::int32_t>(MapHash(key) % static_cast<std::uint32_t>(map->bucketCount));
}

char* CopyKey(const char* key) {
  const std::size_t size = std::strlen(key) + 1;
  auto* copy = static_cast<char*>(PlatformHeapAlloc(MainHeap, size, false));
  if (copy != nullptr) std::memcpy(copy, key, size);
  return copy;
}

void ReleaseElement(Map* map, MapElement* element) {
  MainHeapFree(element->key);
  PoolFree(map->pool, element);
}

// The element in front of `element` in chain `bucket`, or null when it heads the chain.
// Taken from the chain itself: `previous` only describes the neighbour right after a
// lookup walked past it or an iteration stepped from it.
MapElement* ChainPredecessor(const Map* map, std::int32_t bucket, const MapElement* element) {
  if (map->previous != nullptr && map->previous->next == element) return map->previous;
  MapElement* walk = map->buckets[bucket];
  if (walk == element) return nullptr;
  while (walk != nullptr && walk->next != element) walk = walk->next;
  return walk;
}

void* ScanFrom(Map* map, std::int64_t start) {
  for (std::int64_t bucket = start; bucket < map->bucketCount; ++bucket) {
    if (map->buckets[bucket] != nullptr) {
      map->cursor = map->buckets[bucket];
      map->index = static_cast<std::int32_t>(bucket);
      return ValueOf(map->cursor);
    }
  }
  // Past the last bucket: the iteration has ended and stays ended until MapReset.
  map->cursor = nullptr;
  map->index = map->bucketCount;
  return nullptr;
}

}  // namespace

std::uint32_t MapHash(const char* key) {
  std::uint32_t h = 0;
  if (key == nullptr) return h;
  for (const char* p = key; *p != '\0'; ++p) {
    const auto c = static_cast<std::int32_t>(static_cast<signed char>(*p));
    h = h * 65599u + static_cast<std::uint32_t>(c);
  }
  return h;
}

Map* MapCreate(std::int32_t valueSize, Map** holder, std::int32_t bucketCount) {
  if (holder != nullptr && *holder != nullptr) MapFree(*holder);
  if (valueSize < 0) valueSize = 0;
  if (bucketCount < 1) bucketCount = 1;
  auto* map = static_cast<Map*>(MainHeapAllocZero(sizeof(Map)));
  if (map == nullptr) return nullptr;
  map->buckets = static_cast<MapElement**>(MainHeapAllocZero(sizeof(MapElement*) * static_cast<std::size_t>(bucketCount)));
  if (map->buckets == nullptr) {
    MainHeapFree(map);
    return nullptr;
  }
  map->valueSize = valueSize;
  map->bucketCount = bucketCount;
  map->index = -1;
  map->holder = holder;
  const auto elementSize = static_cast<std::int32_t>(sizeof(MapElement)) + valueSize;
  map->pool = PoolCreate(elementSize, 16, 65536, PoolShared);
  map->spare = static_cast<MapElement*>(MainHeapAllocZero(static_cast<std::size_t>(elementSize)));
  if (map->pool == nullptr || map->spare == nullptr) {
    PoolDestroy(map->pool);
    MainHeapFree(map->spare);
    MainHeapFree(map->buckets);
    MainHeapFree(map);
    return nullptr;
  }
  map->spare->key = const_cast<char*>(EmptyKey);
  if (holder != nullptr) *holder = map;
  return map;
}

void MapFree(Map* map) {
  if (map == nullptr) return;
  MapClear(map);
  PoolDestroy(map->pool);
  MainHeapFree(map->buckets);
  MainHeapFree(map->spare);
  if (map->holder != nullptr) *map->holder = nullptr;
  MainHeapFree(map);
}

void* MapFind(Map* map, const char* key) {
  if (key == nullptr) key = EmptyKey;
  const std::int32_t bucket = BucketOf(map, key);
  for (MapElement* element = map->buckets[bucket]; element != nullptr; element = element->next) {
    if (std::strcmp(element->key, key) == 0) {
      map->cursor = element;
      map->index = bucket;
      map->previousIsIterationStep = false;
      return ValueOf(element);
    }
    map->previous = element;
    map->previousIsIterationStep = false;
  }
  return nullptr;
}

void* MapAdd(Map* map, const char* key, bool reuse) {
  if (key == nullptr) key = EmptyKey;
  void* value = reuse ? MapFind(map, key) : nullptr;
  if (value == nullptr) {
    auto* element = static_cast<MapElement*>(PoolAlloc(map->pool));
    if (element == nullptr) return nullptr;
    element->key = CopyKey(key);
    if (element->key == nullptr) {
      PoolFree(map->pool, element);
      return nullptr;
    }
    const std::int32_t bucket = BucketOf(map, key);
    element->next = map->buckets[bucket];
    map->buckets[bucket] = element;
    map->previous = nullptr;
    map->previousIsIterationStep = false;
    ++map->count;
    map->cursor = element;
    map->index = bucket;
    value = ValueOf(element);
  }
  std::memset(value, 0, static_cast<std::size_t>(map->valueSize));
  return value;
}

void MapReset(Map* map) {
  map->cursor = nullptr;
  map->index = -1;
}

void* MapNext(Map* map) {
  map->previous = map->cursor;
  map->savedIndex = map->index;
  map->previousIsIterationStep = true;
  if (map->cursor != nullptr && map->cursor->next != nullptr) {
    map->cursor = map->cursor->next;
    return ValueOf(map->cursor);
  }
  // The scan goes on after the index's chain. Without a cursor the index is -1 on a reset
  // map, the bucket before a chain whose head was deleted, or past the last bucket once
  // the iteration has ended.
  return ScanFrom(map, static_cast<std::int64_t>(map->index) + 1);
}

void* MapDeleteCurrent(Map* map) {
  MapElement* doomed = map->cursor;
  if (doomed == nullptr) return nullptr;
  std::int32_t bucket = map->index;
  MapElement* before = ChainPredecessor(map, bucket, doomed);
  if (before == nullptr && map->buckets[bucket] != doomed) {
    // Not in the chain of the index: look where its key hashes to.
    bucket = BucketOf(map, doomed->key);
    before = ChainPredecessor(map, bucket, doomed);
    if (before == nullptr && map->buckets[bucket] != doomed) return nullptr;
  }
  if (before != nullptr) before->next = doomed->next;
  else map->buckets[bucket] = doomed->next;
  --map->count;

  // Step back to the element in front of the deleted one, so that MapNext goes on with
  // the one that followed it.
  if (before != nullptr) {
    map->cursor = before;
    map->index = bucket;
  } else if (map->previousIsIterationStep) {
    map->cursor = map->previous;  // the last element of an earlier chain, or none
    map->index = map->savedIndex;
  } else {
    map->cursor = nullptr;  // just before this bucket's chain
    map->index = bucket - 1;
  }
  map->previousIsIterationStep = false;
  if (map->previous == doomed) map->previous = nullptr;
  ReleaseElement(map, doomed);
  return map->cursor != nullptr ? ValueOf(map->cursor) : nullptr;
}

void MapClear(Map* map) {
  for (std::int32_t bucket = 0; bucket < map->bucketCount; ++bucket) {
    MapElement* element = map->buckets[bucket];
    while (element != nullptr) {
      MapElement* next = element->next;
      ReleaseElement(map, element);
      element = next;
    }
    map->buckets[bucket] = nullptr;
  }
  MapReset(map);
  map->previous = nullptr;
  map->previousIsIterationStep = false;
  map->count = 0;
}

const char* MapKeyOf(const void* value) { return ElementOf(value)->key; }
