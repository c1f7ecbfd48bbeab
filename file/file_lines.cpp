// Line reading and writing on numbered files. Lines are read one byte at a time (through
// the buffer, or from the system for an unbuffered file) and written with CR LF.
#include <cstring>
#include <limits>

#include "file/file_record.h"
#include "file/sequential_file.h"
#include "platform/platform_file.h"
#include "runtime/work_area.h"

namespace {

// The line's reservation in the work area grows in steps of this many bytes; a line has
// no maximum length.
constexpr std::int32_t LineReserveStep = 4096;

// One byte of the file, or false at its end or when reading fails.
bool ReadByte(FileRecord* record, char* byte) {
  if (record->buffer != nullptr) return FileTakeByte(record, byte);
  return PlatformFileRead(record->handle, byte, 1) == 1;
}

// Gives back the byte just read, so the next read returns it again.
void PutBackByte(FileRecord* record) {
  if (record->buffer != nullptr) ++record->count;
  else PlatformFileSeekCurrent(record->handle, -1);
}

bool EndsALine(char c) { return c == '\r' || c == '\n' || c == '\0'; }

// Copies the bytes before the next line end that lie unread in the buffer, at most room of
// them, and returns their count. The same bytes, read one at a time, would be stored one by
// one; taking them as a run only spares the calls.
std::int32_t TakeRunOfText(FileRecord* record, char* destination, std::int32_t room) {
  if (record->buffer == nullptr || record->mode != FileReading) return 0;
  const char* unread = record->buffer + record->fill - record->count;
  const std::int32_t limit = record->count < room ? record->count : room;
  std::int32_t n = 0;
  while (n < limit && !EndsALine(unread[n])) ++n;
  std::memcpy(destination, unread, static_cast<std::size_t>(n));
  record->count -= n;
  return n;
}

std::int32_t WriteBytes(FileRecord* record, const char* source, std::int32_t n) {
  if (record->buffer != nullptr) return FileWriteBytes(record, source, n);
  const std::int32_t written = PlatformFileWrite(record->handle, source, n);
  return written < 0 ? 0 : written;
}

}  // namespace

void FileReadLine(ObjectId number, std::int32_t offset) {
  std::int32_t reserved = LineReserveStep;
  char* start = WorkAreaReserve(reserved, offset);
  char* cursor = start;
  // Called whenever the line fills its reservation. The work area may move: the cursor
  // keeps its offset, not its address.
  auto growWhenFull = [&] {
    if (cursor - start < reserved) return;
    const std::ptrdiff_t length = cursor - start;
    reserved += LineReserveStep;
    start = WorkAreaReserve(reserved, offset);
    cursor = start + length;
  };
  FileRecord* record = FileGet(number);
  while (record != nullptr) {
    cursor += TakeRunOfText(record, cursor, reserved - static_cast<std::int32_t>(cursor - start));
    growWhenFull();
    char c = 0;
    if (!ReadByte(record, &c)) c = 0;
    if (c != 0) *cursor++ = c;
    growWhenFull();
    if (c == 0) break;  // end of the file, a failed read, or a NUL byte (dropped)
    if (c != '\r' && c != '\n') continue;
    --cursor;  // the line end is not part of the line
    if (c == '\r') {
      char next = 0;
      if (ReadByte(record, &next) && next != '\n') PutBackByte(record);
    }
    break;
  }
  *cursor = '\0';
  WorkAreaShrink(reserved - static_cast<std::int32_t>(cursor - start));
}

std::int32_t FileWriteLine(ObjectId number, const char* text) {
  FileRecord* record = FileGet(number);
  if (record == nullptr) return 0;
  std::int32_t accepted = 0;
  if (text != nullptr && text[0] != '\0') {
    const std::size_t length = std::strlen(text);
    if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - 2)) return 0;
    const auto textLength = static_cast<std::int32_t>(length);
    accepted = WriteBytes(record, text, textLength);
    // A line whose text did not go out whole gets no line end: the file keeps what was
    // accepted rather than an empty line in the text's place.
    if (accepted != textLength) return accepted;
  }
  return accepted + WriteBytes(record, "\r\n", 2);
}
