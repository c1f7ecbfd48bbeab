// The runtime with the file library started around each test, a scratch directory of its
// own, and small helpers to lay out files and read them back byte for byte.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/object_table.h"
#include "tests/support/runtime_fixture.h"

// A directory of the running test's own, removed with everything in it at the end.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  std::string PathOf(const char* name) const;

 private:
  std::filesystem::path directory_;
};

void WriteWhole(const std::string& path, const std::string& bytes);
std::string ReadWhole(const std::string& path);

class FileTest : public RuntimeTest {
 protected:
  std::vector<LibraryStep> ExtraStartSteps() override;
  std::vector<LibraryStep> ExtraEndSteps() override;
  std::string PathOf(const char* name) const { return scratch_.PathOf(name); }

 private:
  ScratchDirectory scratch_;  // outlives the runtime, so files are closed before it goes
};

// Makes an open file work without a buffer, as one whose buffer could not be allocated.
void DropBuffer(ObjectId number);

// FileReadLine at offset, taken out of the work area; checks that WorkAreaPosition ends
// just after the line.
std::string ReadLineAt(ObjectId number, std::int32_t offset);
std::string ReadLine(ObjectId number);
// Lines read while FileEof reports more.
std::vector<std::string> ReadLinesToEnd(ObjectId number);
