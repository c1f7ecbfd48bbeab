// Files under numbers: reopening a number, numbers without an open file, dynamic ids,
// deletion by name, and the files that are still open when the program ends.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "file/file_record.h"
#include "file/sequential_file.h"
#include "runtime/program.h"
#include "runtime/work_area.h"
#include "tests/file/file_fixture.h"

namespace {

class FileTableTest : public FileTest {};

TEST_F(FileTableTest, NumberedOpenReturnsTheHandle) {
  const std::string path = PathOf("a.txt");
  const std::intptr_t handle = FileCreate(0, path.c_str());
  ASSERT_NE(handle, 0);
  EXPECT_EQ(FileGet(0)->handle, handle);
  const std::string other = PathOf("b.txt");
  WriteWhole(other, "b");
  const std::intptr_t reading = FileOpenRead(1, other.c_str());
  ASSERT_NE(reading, 0);
  EXPECT_EQ(FileGet(1)->handle, reading);
}

TEST_F(FileTableTest, ReopeningANumberClosesAndFlushesTheFileOpenUnderIt) {
  const std::string first = PathOf("first.txt");
  const std::string second = PathOf("second.txt");
  ASSERT_NE(FileCreate(10, first.c_str()), 0);
  FileWriteLine(10, "one");
  FileRecord* record = FileGet(10);
  ASSERT_NE(FileCreate(10, second.c_str()), 0);
  EXPECT_EQ(ReadWhole(first), "one\r\n");
  EXPECT_EQ(FileGet(10), record);  // the number keeps its record block
  FileWriteLine(10, "two");
  // A failed open still closes what was open under the number, and leaves it free.
  EXPECT_EQ(FileOpenRead(10, PathOf("missing.txt").c_str()), 0);
  EXPECT_EQ(ReadWhole(second), "two\r\n");
  EXPECT_EQ(FileGet(10), nullptr);
  EXPECT_EQ(FileWriteLine(10, "three"), 0);
}

TEST_F(FileTableTest, OpeningFailsForMissingFilesAndDirectories) {
  EXPECT_EQ(FileOpenRead(0, PathOf("missing.txt").c_str()), 0);
  EXPECT_EQ(FileCreate(0, PathOf("missing/out.txt").c_str()), 0);
  EXPECT_EQ(FileCreate(0, nullptr), 0);
  EXPECT_EQ(FileGet(0), nullptr);
}

TEST_F(FileTableTest, DynamicFileWorksUnderItsId) {
  const std::string path = PathOf("dynamic.txt");
  const std::intptr_t id = FileCreate(DynamicNumber, path.c_str());
  ASSERT_NE(FileGet(id), nullptr);
  EXPECT_EQ(reinterpret_cast<FileRecord*>(id), FileGet(id));
  EXPECT_EQ(FileWriteLine(id, "line"), 6);
  FileClose(id);
  EXPECT_EQ(ReadWhole(path), "line\r\n");
}

TEST_F(FileTableTest, FailedDynamicOpenLeavesNoRecord) {
  EXPECT_EQ(FileOpenRead(DynamicNumber, PathOf("missing.txt").c_str()), 0);
  EXPECT_EQ(FileTable->newestDynamic, nullptr);
}

// Ways in which a number or id comes to have no open file.
struct NoFileCase {
  const char* name;
  std::function<ObjectId(const std::string& path)> make;
};

void PrintTo(const NoFileCase& c, std::ostream* out) { *out << c.name; }

class NoFileTest : public FileTest, public ::testing::WithParamInterface<NoFileCase> {};

TEST_P(NoFileTest, OperationsDoNothingAndReturnTheirEmptyResults) {
  const std::string bystander = PathOf("bystander.txt");
  ASSERT_NE(FileCreate(0, bystander.c_str()), 0);
  const ObjectId id = GetParam().make(PathOf("a.txt"));
  EXPECT_EQ(FileEof(id), 0);
  WorkAreaAppend("ab");
  EXPECT_EQ(ReadLineAt(id, 2), "");
  EXPECT_EQ(FileWriteLine(id, "text"), 0);
  FileClose(id);
  EXPECT_EQ(FileWriteLine(0, "still open"), 12);
  FileClose(0);
  EXPECT_EQ(ReadWhole(bystander), "still open\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Table, NoFileTest,
    ::testing::Values(NoFileCase{"never_opened", [](const std::string&) -> ObjectId { return 3; }},
                      NoFileCase{"beyond_the_slots", [](const std::string&) -> ObjectId { return 1000; }},
                      NoFileCase{"closed",
                                 [](const std::string& path) -> ObjectId {
                                   FileCreate(5, path.c_str());
                                   FileClose(5);
                                   return 5;
                                 }},
                      NoFileCase{"closed_dynamic",
                                 [](const std::string& path) -> ObjectId {
                                   const std::intptr_t id = FileCreate(DynamicNumber, path.c_str());
                                   FileClose(id);
                                   return id;  // its record is freed memory now
                                 }},
                      NoFileCase{"failed_open",
                                 [](const std::string& path) -> ObjectId {
                                   FileOpenRead(6, (path + ".missing").c_str());
                                   return 6;
                                 }}),
    [](const ::testing::TestParamInfo<NoFileCase>& testCase) { return std::string(testCase.param.name); });

struct DeleteCase {
  const char* name;
  bool exists;
  bool nullName;
  int result;
};

void PrintTo(const DeleteCase& c, std::ostream* out) { *out << c.name; }

class DeleteTest : public FileTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTest, DeletesByName) {
  const std::string path = PathOf("doomed.txt");
  if (GetParam().exists) WriteWhole(path, "x");
  const int result = FileDelete(GetParam().nullName ? nullptr : path.c_str());
  EXPECT_EQ(result != 0, GetParam().result != 0);
  EXPECT_FALSE(std::filesystem::exists(path));
}

INSTANTIATE_TEST_SUITE_P(Table, DeleteTest,
                         ::testing::Values(DeleteCase{"existing", true, false, 1},
                                           DeleteCase{"missing", false, false, 0},
                                           DeleteCase{"null_name", false, true, 0}),
                         [](const ::testing::TestParamInfo<DeleteCase>& testCase) { return std::string(testCase.param.name); });

const LibraryStep WorkAreaOnly[] = {{"string work area", WorkAreaInit, WorkAreaReady}};
const LibraryStep WithFiles[] = {{"string work area", WorkAreaInit, WorkAreaReady}, {"sequential files", FileInit}};
const LibraryStep FilesEnd[] = {{"sequential files", FileEnd}};

TEST(FileShutdownTest, FilesLeftOpenAreCompleteOnDisk) {
  ScratchDirectory scratch;
  const std::string numbered = scratch.PathOf("numbered.txt");
  const std::string dynamic = scratch.PathOf("dynamic.txt");
  const std::string large = scratch.PathOf("large.txt");
  const ProgramDescription program{nullptr, 0, WithFiles, 2, FilesEnd, 1, nullptr};
  ASSERT_TRUE(ProgramStartup(program));
  ASSERT_NE(FileCreate(10, numbered.c_str()), 0);
  const std::intptr_t id = FileCreate(DynamicNumber, dynamic.c_str());
  ASSERT_NE(id, 0);
  ASSERT_NE(FileCreate(0, large.c_str()), 0);
  std::string expected;
  for (int i = 0; i < 200; ++i) {
    const std::string text = "line " + std::to_string(i);
    FileWriteLine(0, text.c_str());
    expected += text + "\r\n";
  }
  FileWriteLine(10, "pending");
  FileWriteLine(id, "dynamic");
  ProgramShutdown();
  EXPECT_EQ(ReadWhole(numbered), "pending\r\n");
  EXPECT_EQ(ReadWhole(dynamic), "dynamic\r\n");
  EXPECT_EQ(ReadWhole(large), expected);
  EXPECT_EQ(FileTable, nullptr);
}

TEST(FileShutdownTest, FinaliserWithoutInitialiserDoesNothing) {
  ScratchDirectory scratch;
  const ProgramDescription program{nullptr, 0, WorkAreaOnly, 1, FilesEnd, 1, nullptr};
  ASSERT_TRUE(ProgramStartup(program));
  EXPECT_EQ(FileTable, nullptr);
  EXPECT_EQ(FileCreate(0, scratch.PathOf("never.txt").c_str()), 0);
  EXPECT_EQ(FileEof(0), 0);
  ProgramShutdown();
  EXPECT_FALSE(std::filesystem::exists(scratch.PathOf("never.txt")));
}

}  // namespace
