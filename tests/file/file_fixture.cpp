#include "tests/file/file_fixture.h"

#include <chrono>
#include <fstream>
#include <iterator>

#include "file/file_record.h"
#include "file/sequential_file.h"
#include "runtime/heaps.h"
#include "runtime/work_area.h"

ScratchDirectory::ScratchDirectory() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = "tle_file";
  if (test != nullptr) name += std::string("_") + test->test_suite_name() + "_" + test->name();
  name += "_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  directory_ = std::filesystem::temp_directory_path() / name;
  std::filesystem::create_directories(directory_);
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

std::string ScratchDirectory::PathOf(const char* name) const { return (directory_ / name).string(); }

void WriteWhole(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<LibraryStep> FileTest::ExtraStartSteps() { return {LibraryStep{"sequential files", FileInit}}; }
std::vector<LibraryStep> FileTest::ExtraEndSteps() { return {LibraryStep{"sequential files", FileEnd}}; }

void DropBuffer(ObjectId number) {
  FileRecord* record = FileGet(number);
  ASSERT_NE(record, nullptr);
  ASSERT_EQ(record->mode, FileReading);
  ASSERT_EQ(record->count, 0);
  MainHeapFree(record->buffer);
  record->buffer = nullptr;
}

std::string ReadLineAt(ObjectId number, std::int32_t offset) {
  FileReadLine(number, offset);
  std::string line(WorkAreaBase + offset);
  EXPECT_EQ(WorkAreaPosition, offset + static_cast<std::int32_t>(line.size()));
  return line;
}

std::string ReadLine(ObjectId number) {
  std::string line = ReadLineAt(number, 0);
  WorkAreaPosition = 0;
  return line;
}

std::vector<std::string> ReadLinesToEnd(ObjectId number) {
  std::vector<std::string> lines;
  // Bounded, so a file that never reports its end fails the test instead of hanging it.
  for (int i = 0; i < 100000 && FileEof(number) == 0; ++i) lines.push_back(ReadLine(number));
  return lines;
}
