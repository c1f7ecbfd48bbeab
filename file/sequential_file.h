// Numbered sequential files: created (truncated) or opened for reading under a number of
// the caller's choice (or DynamicNumber), read and written line by line through a
// 4096-byte buffer, tested for their end and closed. Also deletion of files by name.
#pragma once

#include <cstdint>

#include "runtime/object_table.h"

// Library initialiser and finaliser. The finaliser closes every file still open, so what
// is buffered reaches the disk; it does nothing when the initialiser never ran.
void FileInit();
void FileEnd();

// Both return the native handle, for DynamicNumber the new file's id, or 0 on failure.
// A file open under the number is closed first, also when the new open fails.
std::intptr_t FileCreate(ObjectId number, const char* name);  // truncates an existing file
std::intptr_t FileOpenRead(ObjectId number, const char* name);

// 0 while another byte can be read; 1 at the end of a buffered file, -1 at the end of an
// unbuffered one or when reading fails. 0 for a number without open file.
int FileEof(ObjectId number);

// The next line without its line end, as a work-area result at offset. A line ends at LF,
// CR LF, a CR not followed by LF, a NUL byte (dropped) or the end of the file. The empty
// string at the end of the file and for a number without open file.
void FileReadLine(ObjectId number, std::int32_t offset);

// Writes the text (null counts as empty) and CR LF. Returns the bytes accepted: the text's
// length + 2, fewer when the system refused some, 0 for a number without open file.
std::int32_t FileWriteLine(ObjectId number, const char* text);

// Writes out what is buffered and closes the file; AllObjects closes every open file.
void FileClose(ObjectId number);

// Non-zero when the named file was deleted; 0 on failure and for a null name.
int FileDelete(const char* name);
