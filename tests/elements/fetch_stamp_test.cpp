#include "app/fetch_stamp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

constexpr std::int64_t Now = 1'797'000'000;  // a December day of 2026
constexpr std::int64_t Size = 1234;

struct Case {
  const char* what;
  std::string text;
  std::int64_t fileSize;
  bool fresh;
};

TEST(FetchStampTest, FreshOnlyWithinTwoHoursAndForTheSameFile) {
  const auto stamp = [](std::int64_t at, std::int64_t size) {
    char room[FetchStampRoom];
    return std::string(room, FetchStampText(room, at, size));
  };
  const Case cases[] = {
      {"just fetched", stamp(Now, Size), Size, true},
      {"one second short of two hours", stamp(Now - FetchIntervalSeconds + 1, Size), Size, true},
      {"exactly two hours", stamp(Now - FetchIntervalSeconds, Size), Size, false},
      {"yesterday", stamp(Now - 86400, Size), Size, false},
      {"in the future (clock set back)", stamp(Now + 60, Size), Size, false},
      {"the file changed size", stamp(Now, Size), Size + 1, false},
      {"the file is gone", stamp(Now, Size), -1, false},
      {"LF only", std::to_string(Now) + " 1234\n", Size, true},
      {"no line end", std::to_string(Now) + " 1234", Size, true},
      {"empty", "", Size, false},
      {"time only", std::to_string(Now) + "\r\n", Size, false},
      {"two blanks", std::to_string(Now) + "  1234\r\n", Size, false},
      {"negative time", "-5 1234\r\n", Size, false},
      {"trailing text", std::to_string(Now) + " 1234\r\nx", Size, false},
      {"a number too long to hold", "9999999999999999999999 1234", Size, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FetchStampFresh(c.text.data(), c.text.size(), c.fileSize, Now), c.fresh) << c.what;
  }
}

class FetchStampFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = ::testing::TempDir() + "fetch_stamp_test_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    Write(path_, "element sets\r\n");
    std::remove((path_ + ".stamp").c_str());
  }
  void TearDown() override {
    std::remove(path_.c_str());
    std::remove((path_ + ".stamp").c_str());
  }
  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  std::string path_;
};

TEST_F(FetchStampFileTest, AWrittenStampMakesTheFileRecentForTwoHours) {
  EXPECT_FALSE(FetchedRecently(path_.c_str(), Now)) << "no stamp yet";
  ASSERT_TRUE(FetchStampWrite(path_.c_str(), Now));
  EXPECT_TRUE(FetchedRecently(path_.c_str(), Now));
  EXPECT_TRUE(FetchedRecently(path_.c_str(), Now + FetchIntervalSeconds - 1));
  EXPECT_FALSE(FetchedRecently(path_.c_str(), Now + FetchIntervalSeconds));
}

TEST_F(FetchStampFileTest, AReplacedOrMissingFileIsNotRecent) {
  ASSERT_TRUE(FetchStampWrite(path_.c_str(), Now));
  Write(path_, "something else, written by someone else\r\n");
  EXPECT_FALSE(FetchedRecently(path_.c_str(), Now));
  std::remove(path_.c_str());
  EXPECT_FALSE(FetchedRecently(path_.c_str(), Now));
  EXPECT_FALSE(FetchStampWrite(path_.c_str(), Now)) << "no stamp for a file that is not there";
}

TEST_F(FetchStampFileTest, AnOverlongStampIsNotRead) {
  ASSERT_TRUE(FetchStampWrite(path_.c_str(), Now));
  Write(path_ + ".stamp", std::to_string(Now) + " 14" + std::string(FetchStampRoom, ' '));
  EXPECT_FALSE(FetchedRecently(path_.c_str(), Now));
}

}  // namespace
