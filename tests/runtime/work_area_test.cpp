#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/paths.h"
#include "runtime/strings.h"
#include "runtime/work_area.h"
#include "tests/support/runtime_fixture.h"

namespace {

class WorkAreaTest : public RuntimeTest {};

std::string AssignedDirectoryPart(const char* path) {
  const std::int32_t start = WorkAreaPosition;
  DirectoryPart(path, start);
  char* variable = nullptr;
  StringAssign(&variable, start);
  std::string result = variable;
  StringFree(variable);
  return result;
}

struct DirectoryCase {
  const char* path;
  const char* expected;
};

void PrintTo(const DirectoryCase& c, std::ostream* out) { *out << (c.path == nullptr ? "(null)" : c.path); }

class DirectoryPartTest : public RuntimeTest, public ::testing::WithParamInterface<DirectoryCase> {};

TEST_P(DirectoryPartTest, KeepsTheLastSeparator) {
  EXPECT_EQ(AssignedDirectoryPart(GetParam().path), GetParam().expected);
  EXPECT_EQ(WorkAreaPosition, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, DirectoryPartTest,
                         ::testing::Values(DirectoryCase{"C:\\A\\B\\prog.exe", "C:\\A\\B\\"},
                                           DirectoryCase{"\"C:\\A B\\prog.exe\"", "C:\\A B\\"},
                                           DirectoryCase{"docs/a\\b.txt", "docs/a\\"},
                                           DirectoryCase{"C:\\x\\y|z\\w", "C:\\x\\"},
                                           DirectoryCase{"prog.exe", ""}, DirectoryCase{"", ""},
                                           DirectoryCase{nullptr, ""}, DirectoryCase{"\\", "\\"},
                                           DirectoryCase{"\"", ""}));

TEST_F(WorkAreaTest, StartsAsASixteenByteBlock) {
  EXPECT_EQ(WorkAreaCapacity, 16);
  EXPECT_EQ(WorkAreaPosition, 0);
  EXPECT_NE(WorkAreaBase, nullptr);
}

TEST_F(WorkAreaTest, ReservationNearCapacityGrowsAndKeepsTheText) {
  WorkAreaAppend("0123456789");  // 10 of 16: not yet at capacity - 4
  EXPECT_EQ(WorkAreaCapacity, 16);
  WorkAreaAppend("ab");  // reaches capacity - 4: grows by 16384 beyond the need
  EXPECT_EQ(WorkAreaCapacity, 10 + 2 + 16384);
  EXPECT_STREQ(WorkAreaBase, "0123456789ab");
  EXPECT_EQ(WorkAreaPosition, 12);
}

TEST_F(WorkAreaTest, ResultBuiltAcrossGrowthsIsIntact) {
  std::string expected;
  const std::int32_t start = WorkAreaPosition;
  for (int i = 0; i < 3000; ++i) {
    const std::string piece = "piece" + std::to_string(i) + ";";
    WorkAreaAppend(piece.c_str());
    expected += piece;
  }
  ASSERT_GT(WorkAreaCapacity, 16384);
  char* variable = nullptr;
  StringAssign(&variable, start);
  EXPECT_EQ(std::string(variable), expected);
  EXPECT_EQ(WorkAreaPosition, start);
  StringFree(variable);
}

TEST_F(WorkAreaTest, AppendOfTextInsideTheWorkAreaSurvivesTheMove) {
  WorkAreaAppend("abc");
  // Appending the area's own text forces a growth while the source lies in the old block.
  for (int i = 0; i < 14; ++i) WorkAreaAppend(WorkAreaBase);
  EXPECT_EQ(std::strlen(WorkAreaBase), static_cast<std::size_t>(3) << 14);
  EXPECT_EQ(std::string(WorkAreaBase, 6), "abcabc");
}

TEST_F(WorkAreaTest, DirectoryPartOfTextAtItsOwnOffsetAcrossGrowth) {
  std::string longPath(20000, 'd');
  longPath += "\\name.txt";
  const std::int32_t start = WorkAreaPosition;
  WorkAreaAppend(longPath.c_str());
  DirectoryPart(WorkAreaBase + start, start);
  WorkAreaAppend("tmp1");
  char* variable = nullptr;
  StringAssign(&variable, start);
  EXPECT_EQ(std::string(variable), std::string(20000, 'd') + "\\tmp1");
  StringFree(variable);
}

TEST_F(WorkAreaTest, AssigningEmptyThenAgainReusesTheVariable) {
  char* variable = nullptr;
  StringAssign(&variable, WorkAreaPosition);
  ASSERT_NE(variable, nullptr);
  EXPECT_STREQ(variable, "");
  const std::int32_t start = WorkAreaPosition;
  WorkAreaAppend("second value");
  StringAssign(&variable, start);
  EXPECT_STREQ(variable, "second value");
  StringFree(variable);
}

TEST_F(WorkAreaTest, NullAppendOnlyTerminates) {
  WorkAreaAppend("xy");
  WorkAreaShrink(1);
  WorkAreaAppend(nullptr);
  EXPECT_STREQ(WorkAreaBase, "x");
  EXPECT_EQ(WorkAreaPosition, 1);
}

TEST_F(WorkAreaTest, OffsetOfCoversExactlyTheBuiltText) {
  WorkAreaAppend("abcd");
  EXPECT_EQ(WorkAreaOffsetOf(WorkAreaBase), 1);
  EXPECT_EQ(WorkAreaOffsetOf(WorkAreaBase + 4), 5);
  EXPECT_EQ(WorkAreaOffsetOf(WorkAreaBase + 5), 0);
  EXPECT_EQ(WorkAreaOffsetOf("elsewhere"), 0);
  EXPECT_EQ(WorkAreaPointer(3), WorkAreaBase + 2);
}

TEST_F(WorkAreaTest, StringCopies) {
  char* variable = nullptr;
  StringSet(&variable, nullptr);
  EXPECT_EQ(variable, nullptr);
  StringSet(&variable, "text");
  EXPECT_STREQ(variable, "text");
  StringFree(variable);
  StringFree(nullptr);
  char* copy = StringDuplicate(nullptr);
  EXPECT_STREQ(copy, "");
  StringRelease(copy);
  copy = StringDuplicate("kept");
  EXPECT_STREQ(copy, "kept");
  StringRelease(copy);
}

TEST_F(WorkAreaTest, ProgramPathNamesThisTestExecutable) {
  const std::int32_t start = WorkAreaPosition;
  ProgramPath(start);
  const std::string path(WorkAreaBase + start);
  EXPECT_EQ(WorkAreaPosition, start + static_cast<std::int32_t>(path.size()));
  EXPECT_NE(path.find("runtime_tests"), std::string::npos) << path;
  DirectoryPart(WorkAreaBase + start, start);
  const std::string directory(WorkAreaBase + start);
  ASSERT_FALSE(directory.empty());
  EXPECT_TRUE(directory.back() == '\\' || directory.back() == '/') << directory;
  EXPECT_EQ(path.compare(0, directory.size(), directory), 0);
  WorkAreaPosition = start;
}

TEST(ExtendedPathPrefixTest, OnlyTheLeadingPrefixGoes) {
  struct Case {
    const char* path;
    const char* expected;
  } cases[] = {{"\\\\?\\C:\\p\\tle.exe", "C:\\p\\tle.exe"},
               {"C:\\p\\tle.exe", "C:\\p\\tle.exe"},
               {"\\\\server\\share\\tle.exe", "\\\\server\\share\\tle.exe"},
               {"\\\\?", "\\\\?"}};
  for (const Case& c : cases) {
    std::string text = c.path;
    const auto length = StripExtendedPathPrefix(text.data(), static_cast<std::int32_t>(text.size()));
    EXPECT_EQ(text.substr(0, static_cast<std::size_t>(length)), c.expected) << c.path;
  }
}

}  // namespace
