// The record of one open sequential file and the buffered byte transfers under the line
// operations. Only the file library and its tests include this.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "runtime/object_table.h"

// Every file gets a buffer of this size when it is opened.
constexpr std::int32_t FileBufferSize = 4096;

// What the buffer of a file holds.
constexpr std::int32_t FileWriting = 0;  // bytes not yet written, at the buffer's start
constexpr std::int32_t FileReading = 1;  // read-ahead bytes (possibly none) before the file position

struct FileRecord {
  NativeHandle handle;  // non-zero while the file is open
  char* buffer;         // null: the file works unbuffered, straight through the system
  std::int32_t bufferSize;
  // Reading: bytes of the buffer not yet consumed. Writing: bytes of the buffer still free.
  std::int32_t count;
  // Reading: bytes that the last refill put into the buffer; the unread ones end there.
  std::int32_t fill;
  std::int32_t mode;
};
static_assert(offsetof(FileRecord, handle) == 0, "the handle is the record's live marker");

// The file table; null before the library starts and after it ends.
extern ObjectTable* FileTable;

// The open file under a number or dynamic id, or null.
FileRecord* FileGet(ObjectId number);

// Writes the pending bytes (writing mode only) and returns how many reached the file.
// Bytes the system refused stay pending, in order, so that nothing is written past them.
std::int32_t FileFlush(FileRecord* record);
// Returns the bytes delivered: fewer than n only at the end of the file or after a failure.
std::int32_t FileReadBytes(FileRecord* record, void* destination, std::int32_t n);
// Returns the bytes accepted: buffered, or written when they go straight to the file.
std::int32_t FileWriteBytes(FileRecord* record, const void* source, std::int32_t n);

// One byte in reading mode: straight from the buffer while it holds unread bytes, the
// full transfer otherwise. Line reading takes every byte through here.
inline bool FileTakeByte(FileRecord* record, char* byte) {
  if (record->count > 0 && record->mode == FileReading) {
    *byte = record->buffer[record->fill - record->count];
    --record->count;
    return true;
  }
  return FileReadBytes(record, byte, 1) == 1;
}
