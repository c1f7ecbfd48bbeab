// Writing lines: buffer-sized and larger writes, truncation, switching between writing and
// reading on one file, and writes the system refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file/file_record.h"
#include "file/sequential_file.h"
#include "platform/platform_file.h"
#include "tests/file/file_fixture.h"

namespace {

class WriteTest : public FileTest {};

struct WriteCase {
  const char* name;
  std::vector<std::size_t> textLengths;  // one line per entry
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

class WriteSizesTest : public FileTest, public ::testing::WithParamInterface<WriteCase> {};

std::string TextOf(std::size_t length, int line) {
  std::string text(length, 'x');
  for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + (i + static_cast<std::size_t>(line)) % 26);
  return text;
}

TEST_P(WriteSizesTest, FileHoldsEveryLineInOrder) {
  const std::string path = PathOf("out.txt");
  ASSERT_NE(FileCreate(0, path.c_str()), 0);
  std::string expected;
  int line = 0;
  for (const std::size_t length : GetParam().textLengths) {
    const std::string text = TextOf(length, line++);
    EXPECT_EQ(FileWriteLine(0, text.c_str()), static_cast<std::int32_t>(length + 2));
    expected += text + "\r\n";
  }
  FileClose(0);
  EXPECT_EQ(ReadWhole(path), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WriteSizesTest,
    ::testing::Values(WriteCase{"empty text", {0}}, WriteCase{"short lines", {1, 2, 4, 10}},
                      WriteCase{"exactly the buffer", {4096}}, WriteCase{"larger than the buffer", {5000}},
                      WriteCase{"large after pending", {3, 5000}}, WriteCase{"buffer after pending", {3, 4096}},
                      WriteCase{"line end fills the buffer", {4094, 1}},
                      WriteCase{"text fills the buffer", {4093, 1}},
                      WriteCase{"many lines", std::vector<std::size_t>(300, 69)}),
    [](const ::testing::TestParamInfo<WriteCase>& testCase) {
      std::string name = testCase.param.name;
      for (char& c : name) {
        if (c == ' ') c = '_';
      }
      return name;
    });

TEST_F(WriteTest, NullTextWritesOnlyTheLineEnd) {
  const std::string path = PathOf("out.txt");
  ASSERT_NE(FileCreate(0, path.c_str()), 0);
  EXPECT_EQ(FileWriteLine(0, nullptr), 2);
  FileClose(0);
  EXPECT_EQ(ReadWhole(path), "\r\n");
}

TEST_F(WriteTest, CreateTruncatesAnExistingFile) {
  const std::string path = PathOf("out.txt");
  WriteWhole(path, "old contents\r\n");
  ASSERT_NE(FileCreate(0, path.c_str()), 0);
  EXPECT_EQ(ReadWhole(path), "");
  FileWriteLine(0, "new");
  FileClose(0);
  EXPECT_EQ(ReadWhole(path), "new\r\n");
}

TEST_F(WriteTest, EndTestWritesPendingBytesOutAndWritingGoesOn) {
  const std::string path = PathOf("out.txt");
  ASSERT_NE(FileCreate(0, path.c_str()), 0);
  FileWriteLine(0, "first");
  EXPECT_EQ(ReadWhole(path), "");  // still in the buffer
  EXPECT_EQ(FileEof(0), 1);
  EXPECT_EQ(ReadWhole(path), "first\r\n");
  EXPECT_EQ(ReadLine(0), "");
  FileWriteLine(0, "second");
  FileClose(0);
  EXPECT_EQ(ReadWhole(path), "first\r\nsecond\r\n");
}

// Read-ahead is given back before writing: the written line lands right after the line
// read, not after the bytes the buffer had read ahead.
TEST_F(WriteTest, WritingAfterReadingLandsAtTheLogicalPosition) {
  const std::string path = PathOf("out.txt");
  ASSERT_NE(FileCreate(0, path.c_str()), 0);
  for (const char* text : {"one", "two", "three"}) FileWriteLine(0, text);
  FileRecord* record = FileGet(0);
  ASSERT_EQ(FileFlush(record), 17);
  ASSERT_TRUE(PlatformFileSeekCurrent(record->handle, -17));  // back to the start
  EXPECT_EQ(ReadLine(0), "one");
  EXPECT_EQ(FileWriteLine(0, "TWO"), 5);  // over "two"
  EXPECT_EQ(ReadLine(0), "three");       // reading again goes on after the written line
  EXPECT_EQ(FileEof(0), 1);
  FileClose(0);
  EXPECT_EQ(ReadWhole(path), "one\r\nTWO\r\nthree\r\n");
}

// A file opened for reading refuses writes: the caller learns it from the count.
TEST_F(WriteTest, RefusedWritesAreNotCountedAsWritten) {
  const std::string path = PathOf("in.txt");
  WriteWhole(path, "kept\n");
  ASSERT_NE(FileOpenRead(0, path.c_str()), 0);
  const std::string large(5000, 'x');
  EXPECT_EQ(FileWriteLine(0, large.c_str()), 0);  // straight to the system, refused, no line end
  EXPECT_EQ(FileWriteLine(0, "abc"), 5);           // accepted into the buffer
  const std::string fills(4092, 'y');              // too much for the room behind "abc"
  EXPECT_EQ(FileWriteLine(0, fills.c_str()), 0);  // and the buffered line cannot go out first
  EXPECT_EQ(FileWriteLine(0, "d"), 3);             // still room behind the waiting line
  FileClose(0);
  EXPECT_EQ(ReadWhole(path), "kept\n");
}

}  // namespace
