#include <gtest/gtest.h>

#include "runtime/date.h"

namespace {

struct DateCase {
  int year, month, day, hour, minute, second;
  std::int32_t expected;
};

void PrintTo(const DateCase& c, std::ostream* out) {
  *out << c.year << '-' << c.month << '-' << c.day << ' ' << c.hour << ':' << c.minute << ':' << c.second;
}

class DateFromFieldsTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateFromFieldsTest, GivesSecondsOrMinusOne) {
  const DateCase& c = GetParam();
  EXPECT_EQ(DateFromFields(c.year, c.month, c.day, c.hour, c.minute, c.second), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DateFromFieldsTest,
    ::testing::Values(DateCase{1970, 1, 1, 0, 0, 0, 0}, DateCase{1970, 1, 1, 0, 1, 5, 65},
                      DateCase{2038, 1, 19, 3, 14, 7, 2147483647}, DateCase{2038, 1, 19, 3, 14, 8, -1},
                      DateCase{2038, 1, 19, 3, 15, 0, -1}, DateCase{2038, 1, 19, 4, 0, 0, -1},
                      DateCase{2038, 1, 20, 0, 0, 0, -1}, DateCase{2038, 2, 1, 0, 0, 0, -1},
                      DateCase{2039, 1, 1, 0, 0, 0, -1}, DateCase{2000, 2, 29, 0, 0, 0, 951782400},
                      DateCase{2001, 2, 29, 0, 0, 0, -1}, DateCase{2000, 3, 1, 0, 0, 0, 951868800},
                      DateCase{1999, 4, 31, 0, 0, 0, -1}, DateCase{1999, 3, 31, 0, 0, 0, 922838400},
                      DateCase{1969, 12, 31, 23, 59, 59, -1}, DateCase{2000, 1, 1, 0, 0, 60, -1},
                      DateCase{2000, 1, 1, 0, 60, 0, -1}, DateCase{2000, 1, 1, 24, 0, 0, -1},
                      DateCase{2000, 0, 1, 0, 0, 0, -1}, DateCase{2000, 13, 1, 0, 0, 0, -1},
                      DateCase{2000, 1, 0, 0, 0, 0, -1}, DateCase{2000, 1, 32, 0, 0, 0, -1},
                      DateCase{2000, 1, 1, -1, 0, 0, -1}, DateCase{2024, 12, 31, 23, 59, 59, 1735689599},
                      DateCase{2026, 12, 11, 6, 30, 0, 1796970600}));

TEST(DateNowTest, AdvancesWithTheWallClock) {
  const std::int32_t first = DateNow();
  ASSERT_GT(first, DateFromFields(2020, 1, 1, 0, 0, 0));
  const std::int32_t second = DateNow();
  EXPECT_GE(second - first, 0);
  EXPECT_LE(second - first, 1);
}

}  // namespace
