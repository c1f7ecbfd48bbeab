// Reading lines: every line-end shape, long lines, lines across buffer refills, and the
// same through a file that has no buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file/sequential_file.h"
#include "runtime/work_area.h"
#include "tests/file/file_fixture.h"

namespace {

using Lines = std::vector<std::string>;

enum class Buffering { Buffered, Unbuffered };

// The end test's value at the end of the file: 1 for a buffered file, -1 for an unbuffered one.
std::string BufferingName(const ::testing::TestParamInfo<Buffering>& testCase) {
  return testCase.param == Buffering::Buffered ? "Buffered" : "Unbuffered";
}

int EndValue(Buffering buffering) { return buffering == Buffering::Buffered ? 1 : -1; }

class ReadTest : public FileTest, public ::testing::WithParamInterface<Buffering> {
 protected:
  // Lays out the bytes and opens them as file 0.
  void OpenWith(const std::string& bytes) {
    const std::string path = PathOf("in.txt");
    WriteWhole(path, bytes);
    ASSERT_NE(FileOpenRead(0, path.c_str()), 0);
    if (GetParam() == Buffering::Unbuffered) DropBuffer(0);
  }
  void ExpectAtEnd() {
    EXPECT_EQ(FileEof(0), EndValue(GetParam()));
    EXPECT_EQ(ReadLine(0), "");
    EXPECT_EQ(FileEof(0), EndValue(GetParam()));
  }
};

struct LineEndCase {
  const char* name;
  std::string bytes;
  Lines lines;
};

const LineEndCase LineEndCases[] = {
    {"LF", "a\nb\n", {"a", "b"}},
    {"CR LF", "a\r\nb\r\n", {"a", "b"}},
    {"lone CR", "a\rb\rc", {"a", "b", "c"}},
    {"mixed", "a\r\nb\nc", {"a", "b", "c"}},
    {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
    {"LF CR", "a\n\rb", {"a", "", "b"}},
    {"NUL", std::string("a\0b\n", 4), {"a", "b"}},
    {"CR NUL", std::string("a\r\0b", 4), {"a", "", "b"}},
    {"CR last", "a\nb\r", {"a", "b"}},
    {"no final line end", "a\nlast", {"a", "last"}},
    {"empty lines", "\n\r\n\r", {"", "", ""}},
    {"empty file", "", {}},
};

class LineEndTest : public ReadTest {};

TEST_P(LineEndTest, EveryShapeSplitsAsAlways) {
  for (const LineEndCase& c : LineEndCases) {
    SCOPED_TRACE(c.name);
    OpenWith(c.bytes);
    EXPECT_EQ(ReadLinesToEnd(0), c.lines);
    ExpectAtEnd();
    FileClose(0);
  }
}

TEST_P(LineEndTest, LineGoesAtTheOffsetAfterEarlierText) {
  OpenWith("line\nnext");
  WorkAreaAppend("prefix");
  EXPECT_EQ(ReadLineAt(0, WorkAreaPosition), "line");
  EXPECT_EQ(std::string(WorkAreaBase), "prefixline");
}

INSTANTIATE_TEST_SUITE_P(Both, LineEndTest, ::testing::Values(Buffering::Buffered, Buffering::Unbuffered),
                         BufferingName);

// Lines longer than the buffer and than one step of the line's work-area reservation.
class LongLineTest : public ReadTest {};

TEST_P(LongLineTest, LinesOfAnyLengthComeBackWhole) {
  for (const std::size_t length : {4095u, 4096u, 4097u, 8192u, 10000u}) {
    SCOPED_TRACE(length);
    std::string line(length, 'x');
    for (std::size_t i = 0; i < length; i += 97) line[i] = static_cast<char>('a' + i % 26);
    OpenWith(line + "\r\nz");
    EXPECT_EQ(ReadLinesToEnd(0), (Lines{line, "z"}));
    FileClose(0);
  }
}

INSTANTIATE_TEST_SUITE_P(Both, LongLineTest, ::testing::Values(Buffering::Buffered, Buffering::Unbuffered),
                         BufferingName);

// Many lines of varied lengths and line ends, so line ends fall at every place of a refill.
class RefillTest : public ReadTest {};

TEST_P(RefillTest, LinesAcrossRefillsAreIntact) {
  const char* const ends[] = {"\n", "\r\n", "\r"};
  Lines lines;
  std::string bytes;
  for (int i = 0; bytes.size() < 5 * 4096; ++i) {
    // Never empty: an empty line after a lone CR would read as part of a CR LF.
    std::string line(1 + (i * 37) % 151, static_cast<char>('A' + i % 26));
    bytes += line + ends[i % 3];
    lines.push_back(line);
  }
  OpenWith(bytes);
  EXPECT_EQ(ReadLinesToEnd(0), lines);
  ExpectAtEnd();
}

TEST_P(RefillTest, LineEndSplitByARefill) {
  const std::string first(4095, 'f');  // its CR is the buffer's last byte
  for (const char* rest : {"\nsecond", "second", "\rsecond"}) {
    SCOPED_TRACE(rest);
    OpenWith(first + "\r" + rest);
    const Lines expected = std::string(rest)[0] == '\r' ? Lines{first, "", "second"} : Lines{first, "second"};
    EXPECT_EQ(ReadLinesToEnd(0), expected);
    FileClose(0);
  }
}

INSTANTIATE_TEST_SUITE_P(Both, RefillTest, ::testing::Values(Buffering::Buffered, Buffering::Unbuffered),
                         BufferingName);

}  // namespace
