// The file table and the life of a file: opening under a number, closing, the end test
// and deletion by name.
#include "file/sequential_file.h"

#include "file/file_record.h"
#include "platform/platform_file.h"
#include "runtime/heaps.h"

ObjectTable* FileTable;

namespace {

constexpr std::int32_t FileTableStep = 16;

using PlatformOpen = NativeHandle (*)(const char* name);

std::intptr_t FileOpenWith(ObjectId number, const char* name, PlatformOpen open) {
  // Closes (and flushes) a file still open under this number.
  auto* record = static_cast<FileRecord*>(ObjectNew(FileTable, number));
  if (record == nullptr) return 0;
  const NativeHandle handle = open(name);
  if (handle == 0) {
    if (number == DynamicNumber) ObjectRelease(FileTable, reinterpret_cast<ObjectId>(record));
    return 0;
  }
  // Without a buffer the file still works, straight through the system.
  record->buffer = static_cast<char*>(PlatformHeapAlloc(MainHeap, FileBufferSize, false));
  record->bufferSize = FileBufferSize;
  record->count = 0;
  record->fill = 0;
  record->mode = FileReading;
  record->handle = handle;
  return number == DynamicNumber ? reinterpret_cast<std::intptr_t>(record) : handle;
}

}  // namespace

FileRecord* FileGet(ObjectId number) { return static_cast<FileRecord*>(ObjectGet(FileTable, number)); }

void FileInit() { FileTable = ObjectTableCreate(sizeof(FileRecord), FileTableStep, FileClose); }

void FileEnd() {
  FileClose(AllObjects);
  FileTable = nullptr;  // the table dies with MainHeap
}

std::intptr_t FileCreate(ObjectId number, const char* name) { return FileOpenWith(number, name, PlatformFileCreate); }

std::intptr_t FileOpenRead(ObjectId number, const char* name) {
  return FileOpenWith(number, name, PlatformFileOpenRead);
}

int FileEof(ObjectId number) {
  FileRecord* record = FileGet(number);
  if (record == nullptr) return 0;
  char byte;
  if (record->buffer != nullptr) {
    if (FileReadBytes(record, &byte, 1) != 1) return 1;
    ++record->count;  // puts the byte back
    return 0;
  }
  if (PlatformFileRead(record->handle, &byte, 1) != 1) return -1;
  PlatformFileSeekCurrent(record->handle, -1);
  return 0;
}

void FileClose(ObjectId number) {
  if (number == AllObjects) {
    ObjectFreeAll(FileTable);
    return;
  }
  FileRecord* record = FileGet(number);
  if (record == nullptr) return;
  if (record->buffer != nullptr) {
    FileFlush(record);
    MainHeapFree(record->buffer);
  }
  PlatformFileClose(record->handle);
  ObjectRelease(FileTable, number);
}

int FileDelete(const char* name) {
  if (name == nullptr) return 0;
  return PlatformFileDelete(name) ? 1 : 0;
}
