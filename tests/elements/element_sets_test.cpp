#include "app/element_sets.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

const std::string Iss1 = "1 25544U 98067A   26345.51782528  .00016717  00000-0  10270-3 0  9993";
const std::string Iss2 = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.50377579 12348";
const std::string Noaa1 = "1 33591U 09005A   26345.21356014  .00000106  00000-0  82845-4 0  9995";
const std::string Noaa2 = "2 33591  99.1257  11.2345 0013721 300.1234  59.8596 14.12755433 12346";

std::string Replace(std::string line, std::size_t column, char c) {
  line.replace(column, 1, 1, c);
  return line;
}

struct Case {
  const char* what;
  std::string text;
  bool valid;
};

TEST(ElementSetsTest, Cases) {
  const std::string isoSet = "ISS (ZARYA)\r\n" + Iss1 + "\r\n" + Iss2 + "\r\n";
  const Case cases[] = {
      {"two named sets, CR LF", isoSet + "NOAA 19\r\n" + Noaa1 + "\r\n" + Noaa2 + "\r\n", true},
      {"sets without names, LF, no last line end", Iss1 + "\n" + Iss2 + "\n" + Noaa1 + "\n" + Noaa2, true},
      {"blank line between sets", isoSet + "\r\n" + Noaa1 + "\n" + Noaa2 + "\n\n", true},
      {"'-' counts as 1 (a 1 replaced)", Replace(Iss1, 54, '-') + "\n" + Iss2 + "\n", true},
      {"letters and '+' count 0 (a 0 replaced)", Replace(Replace(Iss1, 45, 'X'), 46, '+') + "\n" + Iss2 + "\n", true},
      {"empty", "", false},
      {"blank lines only", "\r\n\r\n", false},
      {"a name alone", "ISS (ZARYA)\r\n", false},
      {"wrong checksum digit", Replace(Iss1, 68, '4') + "\n" + Iss2 + "\n", false},
      {"a changed digit", Replace(Iss2, 21, '8') + "\n", false},
      {"'-' replaced by '+'", Replace(Iss1, 50, '+') + "\n" + Iss2 + "\n", false},
      {"checksum column not a digit", Replace(Iss1, 68, 'x') + "\n" + Iss2 + "\n", false},
      {"line of 70 characters", Iss1 + " \n" + Iss2 + "\n", false},
      {"line of 68 characters", Iss1.substr(1) + "\n" + Iss2 + "\n", false},
      {"catalogue numbers differ", Iss1 + "\n" + Noaa2 + "\n", false},
      {"line 1 without line 2", isoSet + Noaa1 + "\n", false},
      {"line 2 first", Iss2 + "\n" + Iss1 + "\n", false},
      {"two names in a row", "ISS\r\nZARYA\r\n" + Iss1 + "\r\n" + Iss2 + "\r\n", false},
      {"data line not starting \"1 \"", "1" + Iss1.substr(2) + "0\n" + Iss2 + "\n", false},
      {"an HTML page", "<!DOCTYPE html>\n<html><body>Not found</body></html>\n", false},
      {"sets inside an HTML page", "<pre>\n" + isoSet + "</pre>\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ElementSetsValid(c.text.data(), c.text.size()), c.valid);
  }
  EXPECT_FALSE(ElementSetsValid(nullptr, 0));
}

// Only the given length is looked at.
TEST(ElementSetsTest, TheLengthBoundsTheText) {
  const std::string text = Iss1 + "\n" + Iss2 + "\n" + Noaa1;
  EXPECT_TRUE(ElementSetsValid(text.data(), Iss1.size() + 1 + Iss2.size() + 1));
  EXPECT_FALSE(ElementSetsValid(text.data(), text.size()));
}

class ElementSetFileTest : public ::testing::Test {
 protected:
  void TearDown() override { std::remove(name_.c_str()); }
  void Write(const std::string& bytes) { std::ofstream(name_, std::ios::binary | std::ios::trunc) << bytes; }
  const std::string name_ = "element-sets-test.txt";
};

TEST_F(ElementSetFileTest, ChecksTheFilesContents) {
  const std::string set = Iss1 + "\r\n" + Iss2 + "\r\n";
  Write(set);
  EXPECT_TRUE(ElementSetFileValid(name_.c_str()));
  Write(set + "<html>");
  EXPECT_FALSE(ElementSetFileValid(name_.c_str()));
  std::remove(name_.c_str());
  EXPECT_FALSE(ElementSetFileValid(name_.c_str()));
}

TEST_F(ElementSetFileTest, AFileOverTheLimitFails) {
  const std::string set = Iss1 + "\r\n" + Iss2 + "\r\n";
  std::string within;
  while (within.size() + set.size() <= ElementSetFileLimit) within += set;
  Write(within);
  EXPECT_TRUE(ElementSetFileValid(name_.c_str()));
  Write(within + set);
  EXPECT_FALSE(ElementSetFileValid(name_.c_str()));
}

}  // namespace
