#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/status_bar_layout.h"
#include "runtime/heaps.h"
#include "tests/support/runtime_fixture.h"

namespace {

constexpr std::int32_t Shared = IgnoreValue;

struct EdgeCase {
  const char* name;
  std::vector<std::int32_t> widths;
  std::int32_t right, bottom;
  bool sizeGrip;
  std::vector<std::int32_t> edges;
};

const EdgeCase EdgeCases[] = {
    // The application's single field on its 340-wide window runs past the bar.
    {"one field wider than the bar", {350}, 340, 20, true, {350}},
    {"shared and fixed beside a size grip", {Shared, 100}, 340, 20, true, {223, 323}},
    {"shared and fixed, maximized or no sizing border", {Shared, 100}, 340, 20, false, {240, 340}},
    {"two shares lose the remainder", {Shared, Shared}, 301, 20, false, {150, 300}},
    {"shares between fixed fields", {50, Shared, 60, Shared}, 410, 20, false, {50, 200, 260, 410}},
    {"fixed fields wider than the bar leave a negative share", {Shared, 400}, 340, 20, false, {-60, 340}},
    {"a negative share rounds toward zero", {Shared, Shared, 341}, 340, 20, false, {0, 0, 341}},
    {"edges saturate instead of overflowing", {2000000000, 2000000000}, 340, 20, false, {2000000000, 2147483647}},
    {"no fields", {}, 340, 20, true, {}},
};

TEST(StatusBarLayoutTest, EdgesFollowWidthsSharesAndSizeGrip) {
  for (const EdgeCase& c : EdgeCases) {
    std::vector<StatusField> fields;
    for (std::int32_t width : c.widths) fields.push_back({width, 0});
    std::vector<std::int32_t> edges(fields.size(), -1);
    const std::int32_t right = StatusBarUsableRight(c.right, c.bottom, c.sizeGrip);
    StatusBarEdges(fields.data(), static_cast<std::int32_t>(fields.size()), 0, right, edges.data());
    EXPECT_EQ(edges, c.edges) << c.name;
  }
}

TEST(StatusBarLayoutTest, SizeGripTakesTheHeightLessThree) {
  EXPECT_EQ(StatusBarUsableRight(340, 22, true), 321);
  EXPECT_EQ(StatusBarUsableRight(340, 22, false), 340);
}

struct PartWordCase {
  std::int32_t field;
  std::uint32_t flags;
  std::uint32_t word;
};

TEST(StatusBarLayoutTest, PartWordCarriesFieldAndBorder) {
  const PartWordCase cases[] = {
      {0, 0, 0},       {3, 0, 3},           {0, 1, 0x200}, {2, 2, 0x102},
      {1, 3, 0x201},   {0, 12, 0},          {5, 14, 0x105}, {255, 1, 0x2FF},
  };
  for (const PartWordCase& c : cases) {
    EXPECT_EQ(StatusTextPartWord(c.field, c.flags), c.word) << "field " << c.field << " flags " << c.flags;
  }
}

class StatusTextAlignedTest : public RuntimeTest {};

TEST_F(StatusTextAlignedTest, TabsAndSpacesAlignTheText) {
  struct Case {
    const char* text;
    std::uint32_t flags;
    bool themed;
    const char* expected;
  };
  // "\xD4\xE0\xE9\xEB" is the Windows-1251 text "Файл".
  const Case cases[] = {
      {"\xD4\xE0\xE9\xEB", 0, true, "\xD4\xE0\xE9\xEB"},
      {"\xD4\xE0\xE9\xEB", 4, false, "\t\xD4\xE0\xE9\xEB"},
      {"\xD4\xE0\xE9\xEB", 12, true, "\t\xD4\xE0\xE9\xEB"},
      {"\xD4\xE0\xE9\xEB", 8, false, "\t\t\xD4\xE0\xE9\xEB"},
      {"\xD4\xE0\xE9\xEB", 8, true, "\t\t\xD4\xE0\xE9\xEB    "},
      {"abc", 3, true, "abc"},
      {nullptr, 4, false, "\t"},
      {nullptr, 0, false, ""},
  };
  for (const Case& c : cases) {
    char* aligned = StatusTextAligned(c.text, c.flags, c.themed);
    ASSERT_NE(aligned, nullptr);
    EXPECT_STREQ(aligned, c.expected) << "flags " << c.flags << " themed " << c.themed;
    MainHeapFree(aligned);
  }
}

}  // namespace
