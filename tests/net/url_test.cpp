#include <gtest/gtest.h>

#include <string>

#include "net/url.h"
#include "runtime/heaps.h"
#include "tests/support/runtime_fixture.h"

namespace {

class UrlTest : public RuntimeTest {
 protected:
  // The part as a string, "<null>" when UrlPart yields null.
  static std::string Part(const char* url, std::int32_t selector) {
    char* copy = UrlPart(url, selector);
    if (copy == nullptr) return "<null>";
    std::string text = copy;
    MainHeapFree(copy);
    return text;
  }
};

struct UrlCase {
  const char* url;
  const char* host;
  const char* port;
  std::int32_t portNumber;
  const char* path;
  const char* target;
};

const UrlCase UrlCases[] = {
    {"http://host:81/a/b?x=1#f", "host", "81", 81, "a/b", "a/b?x=1#f"},
    {"http://host", "host", "<null>", 80, "<null>", "<null>"},
    {"http://host/", "host", "<null>", 80, "<null>", "<null>"},
    {"http://host:/x", "host", "<null>", 80, "x", "x"},
    {"http://host/a:b", "host", "<null>", 80, "a:b", "a:b"},
    {"http://host/a#f", "host", "<null>", 80, "a#f", "a#f"},
    {"http://host?x=1", "host?x=1", "<null>", 80, "<null>", "<null>"},
    {"http://host:99x/", "host", "99x", 99, "<null>", "<null>"},
    // User information before the host, and an "@" that belongs to the path.
    {"http://user:pw@host:82/p", "host", "82", 82, "p", "p"},
    {"http://host/p@q", "host", "<null>", 80, "p@q", "p@q"},
    {"ftp://user@host", "host", "<null>", 80, "<null>", "<null>"},
    {"host/a", "<null>", "<null>", 80, "<null>", "<null>"},
    {"http://host:65617/", "host", "65617", 65617, "<null>", "<null>"},
};

TEST_F(UrlTest, PartsOfTheTableOfUrls) {
  for (const UrlCase& c : UrlCases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(Part(c.url, UrlPartHost), c.host);
    EXPECT_EQ(Part(c.url, UrlPartPort), c.port);
    EXPECT_EQ(UrlPortNumber(c.url), c.portNumber);
    EXPECT_EQ(Part(c.url, UrlPartPath), c.path);
    EXPECT_EQ(Part(c.url, UrlPartTarget), c.target);
  }
}

TEST_F(UrlTest, UnknownSelectorAndNullUrlYieldNull) {
  EXPECT_EQ(UrlPart("http://host/a", 4), nullptr);
  EXPECT_EQ(UrlPart("http://host/a", -1), nullptr);
  EXPECT_EQ(UrlPart(nullptr, UrlPartHost), nullptr);
  EXPECT_EQ(UrlPortNumber(nullptr), 80);
}

TEST_F(UrlTest, FindersReportSpansAndLeaveTheEndOfAnAbsentPart) {
  const char* url = "http://h:8/p?q";
  const char* end = nullptr;
  EXPECT_EQ(UrlHostSpan(url, &end), url + 7);
  EXPECT_EQ(end, url + 8);
  EXPECT_EQ(UrlPortSpan(url, &end), url + 9);
  EXPECT_EQ(end, url + 10);
  EXPECT_EQ(UrlPathSpan(url, &end), url + 11);
  EXPECT_EQ(end, url + 12);
  EXPECT_EQ(UrlTargetSpan(url, &end), url + 11);
  EXPECT_EQ(end, url + 14);

  const char* untouched = url;
  EXPECT_EQ(UrlPortSpan("http://h/p:1", &untouched), nullptr);
  EXPECT_EQ(UrlPathSpan("no-scheme/p", &untouched), nullptr);
  EXPECT_EQ(untouched, url);
}

TEST_F(UrlTest, PortNumberReadsLikeAtoi) {
  EXPECT_EQ(UrlPortNumber("http://h:-5/"), -5);
  EXPECT_EQ(UrlPortNumber("http://h: 7/"), 7);
  EXPECT_EQ(UrlPortNumber("http://h:x/"), 0);
}

}  // namespace
