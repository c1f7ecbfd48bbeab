// Buffered transfers of a sequential file. The buffer is either read-ahead or pending
// writes; switching between the two keeps the logical position: pending writes go out
// before reading, unread read-ahead is given back (the file position moves back over it)
// before writing.
#include <cstring>

#include "file/file_record.h"
#include "platform/platform_file.h"

namespace {

std::int32_t ReadFromFile(FileRecord* record, char* destination, std::int32_t n) {
  const std::int32_t got = PlatformFileRead(record->handle, destination, n);
  return got < 0 ? 0 : got;  // a failed read ends the data
}

// Turns the buffer into read-ahead; false while pending bytes cannot be written, since
// reading on would skip over them.
bool SwitchToReading(FileRecord* record) {
  FileFlush(record);
  if (record->count != record->bufferSize) return false;
  record->mode = FileReading;
  record->count = 0;
  record->fill = 0;
  return true;
}

// Turns the buffer into pending writes; false when the read-ahead cannot be given back,
// since the next byte would then land after it instead of at the logical position.
bool SwitchToWriting(FileRecord* record) {
  if (record->count > 0 && !PlatformFileSeekCurrent(record->handle, -record->count)) return false;
  record->mode = FileWriting;
  record->count = record->bufferSize;
  return true;
}

}  // namespace

std::int32_t FileFlush(FileRecord* record) {
  if (record->mode != FileWriting) return 0;
  const std::int32_t pending = record->bufferSize - record->count;
  if (pending <= 0) return 0;
  std::int32_t written = PlatformFileWrite(record->handle, record->buffer, pending);
  if (written < 0) written = 0;
  if (written < pending) std::memmove(record->buffer, record->buffer + written, static_cast<std::size_t>(pending - written));
  record->count += written;
  return written;
}

std::int32_t FileReadBytes(FileRecord* record, void* destination, std::int32_t n) {
  if (record->mode == FileWriting && !SwitchToReading(record)) return 0;
  if (n <= 0) return 0;
  char* out = static_cast<char*>(destination);
  const char* unread = record->buffer + record->fill - record->count;
  if (record->count >= n) {
    std::memcpy(out, unread, static_cast<std::size_t>(n));
    record->count -= n;
    return n;
  }
  const std::int32_t taken = record->count;
  std::memcpy(out, unread, static_cast<std::size_t>(taken));
  record->count = 0;
  const std::int32_t need = n - taken;
  if (need >= record->bufferSize) return taken + ReadFromFile(record, out + taken, need);
  const std::int32_t got = ReadFromFile(record, record->buffer, record->bufferSize);
  record->count = got;
  record->fill = got;
  const std::int32_t k = need < got ? need : got;
  std::memcpy(out + taken, record->buffer, static_cast<std::size_t>(k));
  record->count -= k;
  return taken + k;
}

std::int32_t FileWriteBytes(FileRecord* record, const void* source, std::int32_t n) {
  if (record->mode == FileReading && !SwitchToWriting(record)) return 0;
  if (n <= 0) return 0;
  if (record->count > n) {
    std::memcpy(record->buffer + record->bufferSize - record->count, source, static_cast<std::size_t>(n));
    record->count -= n;
    return n;
  }
  FileFlush(record);
  // Bytes the system refused are still pending; anything accepted now would land before them.
  if (record->count != record->bufferSize) return 0;
  if (n >= record->bufferSize) {
    const std::int32_t written = PlatformFileWrite(record->handle, source, n);
    return written < 0 ? 0 : written;
  }
  std::memcpy(record->buffer, source, static_cast<std::size_t>(n));
  record->count -= n;
  return n;
}
