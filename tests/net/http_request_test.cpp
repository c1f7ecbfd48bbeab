#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "net/http_request.h"
#include "runtime/strings.h"
#include "tests/support/runtime_fixture.h"

namespace {

std::string Request(const char* host, std::uint16_t port, const char* target, bool secure = false) {
  const std::int32_t length = HttpRequestFormat(nullptr, 0, host, port, target, secure);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  EXPECT_EQ(HttpRequestFormat(text.data(), length + 1, host, port, target, secure), length);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

TEST(HttpRequestTest, RequestTextCarriesThePortOnlyWhenNot80) {
  EXPECT_EQ(Request("h", 80, "dir/f.txt"),
            "GET /dir/f.txt HTTP/1.1\r\nAccept: */*\r\nHost: h\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(Request("h", 81, "dir/f.txt"),
            "GET /dir/f.txt HTTP/1.1\r\nAccept: */*\r\nHost: h:81\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(Request("h", 80, nullptr), "GET / HTTP/1.1\r\nAccept: */*\r\nHost: h\r\nConnection: close\r\n\r\n");
  // 65616 keeps its low 16 bits: 80, so no suffix.
  EXPECT_EQ(Request("h", static_cast<std::uint16_t>(65616 & 0xFFFF), "a?b#c"),
            "GET /a?b#c HTTP/1.1\r\nAccept: */*\r\nHost: h\r\nConnection: close\r\n\r\n");
}

TEST(HttpRequestTest, OverTlsThePortIsLeftOutWhen443) {
  EXPECT_EQ(Request("h", 443, "f", true), "GET /f HTTP/1.1\r\nAccept: */*\r\nHost: h\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(Request("h", 80, "f", true), "GET /f HTTP/1.1\r\nAccept: */*\r\nHost: h:80\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(Request("h", 443, "f"), "GET /f HTTP/1.1\r\nAccept: */*\r\nHost: h:443\r\nConnection: close\r\n\r\n");
}

struct SchemeCase {
  const char* url;
  bool secure;
  std::uint16_t port;
};

// The port text is read through UrlPortNumber, whose copy comes from the runtime's heap.
class HttpUrlTest : public RuntimeTest {};

TEST_F(HttpUrlTest, SchemeAndPort) {
  const SchemeCase cases[] = {
      {"http://h/a", false, 80},          {"https://h/a", true, 443},        {"HTTPS://h", true, 443},
      {"https://h:8443/a", true, 8443},   {"https://h:/a", true, 443},       {"http://h:81", false, 81},
      {"https://h:65979/", true, 443},    {"httpsx://h/", false, 80},        {"https:/h/", false, 80},
      {"h/https://x", false, 80},
  };
  for (const SchemeCase& c : cases) {
    SCOPED_TRACE(c.url);
    EXPECT_EQ(HttpUrlIsSecure(c.url), c.secure);
    EXPECT_EQ(HttpUrlPort(c.url), c.port);
  }
  EXPECT_FALSE(HttpUrlIsSecure(nullptr));
}

TEST(HttpRequestTest, ATooSmallBufferIsNotOverrun) {
  char buffer[16];
  std::memset(buffer, 'x', sizeof buffer);
  const std::int32_t length = HttpRequestFormat(buffer, 8, "host", 80, "t");
  EXPECT_GT(length, 8);
  EXPECT_EQ(buffer[7], '\0');
  EXPECT_EQ(buffer[8], 'x');
}

struct RedirectCase {
  const char* url;
  const char* location;
  const char* expected;  // null: the redirect cannot be followed
};

const RedirectCase RedirectCases[] = {
    {"http://h:81/a/b?q", "/x/y", "http://h:81/x/y"},
    {"http://h:81/a/b?q", "c", "http://h:81/a/c"},
    {"http://h:81/a/b?q", "?z", "http://h:81/a/b?z"},
    {"http://h", "c", "http://h/c"},
    {"http://h/a", "http://other:5/p", "http://other:5/p"},
    {"http://h/a", "HTTP://other/p", "http://other/p"},
    {"http://h/a", "//other/p", "http://other/p"},
    {"http://h/a", "https://h/a", "https://h/a"},
    {"http://h/a", "HTTPS://h:8443/b", "https://h:8443/b"},
    {"https://h/a", "https://o/p", "https://o/p"},
    {"https://h:8443/a/b", "/x", "https://h:8443/x"},
    {"https://h/a/b", "c", "https://h/a/c"},
    {"https://h/a", "//o/p", "https://o/p"},
    {"https://h/a", "http://h/a", nullptr},
    {"HTTPS://h/a", "HTTP://h/a", nullptr},
    {"http://h/a", "ftp://h/a", nullptr},
    {"http://h/a", "mailto:x@y", nullptr},
    {"http://h/a", "", nullptr},
};

TEST(HttpRequestTest, RedirectTargets) {
  for (const RedirectCase& c : RedirectCases) {
    SCOPED_TRACE(std::string(c.url) + " -> " + c.location);
    char* next = HttpRedirectUrl(c.url, c.location);
    if (c.expected == nullptr) {
      EXPECT_EQ(next, nullptr);
    } else {
      ASSERT_NE(next, nullptr);
      EXPECT_STREQ(next, c.expected);
    }
    StringRelease(next);
  }
}

}  // namespace
