#include "net/http_response.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

enum class Ending { Complete, Failed, Incomplete };

struct Parsed {
  Ending ending;
  std::int32_t status;
  std::string body;
};

bool AppendBody(void* context, const char* data, std::int32_t length) {
  static_cast<std::string*>(context)->append(data, static_cast<std::size_t>(length));
  return true;
}

// Feeds the response in pieces of pieceSize bytes, then (when closed) the peer's close.
Parsed Parse(const std::string& text, std::size_t pieceSize, bool closed) {
  auto response = std::make_unique<HttpResponse>();
  HttpResponseBegin(response.get());
  Parsed parsed{Ending::Incomplete, 0, ""};
  HttpStep step = HttpStep::NeedMore;
  for (std::size_t at = 0; at < text.size() && step != HttpStep::BodyDone && step != HttpStep::Failed;) {
    const std::size_t piece = std::min(pieceSize, text.size() - at);
    std::int32_t offset = 0;
    do {
      std::int32_t consumed = 0;
      step = HttpResponseFeed(response.get(), text.data() + at + offset, static_cast<std::int32_t>(piece) - offset,
                              &consumed, AppendBody, &parsed.body);
      offset += consumed;
      EXPECT_LE(offset, static_cast<std::int32_t>(piece));
    } while (step == HttpStep::HeadersDone);
    at += piece;
  }
  if (step == HttpStep::NeedMore && closed) step = HttpResponseClose(response.get());
  parsed.status = response->status;
  parsed.ending = step == HttpStep::BodyDone ? Ending::Complete
                  : step == HttpStep::Failed ? Ending::Failed
                                             : Ending::Incomplete;
  return parsed;
}

struct ResponseCase {
  const char* name;
  std::string text;
  bool closed;  // the peer closes after the text
  Ending ending;
  std::int32_t status;
  const char* body;
};

const std::string Hello = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello";

const ResponseCase Cases[] = {
    {"length", Hello, false, Ending::Complete, 200, "hello"},
    {"length, more bytes than promised", Hello + "EXTRA", false, Ending::Complete, 200, "hello"},
    {"length cut short", "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\nhello", true, Ending::Failed, 200, "hello"},
    {"length 0", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", false, Ending::Complete, 200, ""},
    {"name case and blanks", "HTTP/1.0 200 OK\r\nCONTENT-LENGTH:   \t 2\r\n\r\nab", false, Ending::Complete, 200,
     "ab"},
    {"no blank after colon", "HTTP/1.1 200 OK\r\ncontent-length:2\r\n\r\nab", false, Ending::Complete, 200, "ab"},
    {"bare LF lines", "HTTP/1.1 200 OK\nContent-Length: 2\n\nab", false, Ending::Complete, 200, "ab"},
    {"negative length", "HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nab", true, Ending::Failed, 200, ""},
    {"length with junk", "HTTP/1.1 200 OK\r\nContent-Length: 5x\r\n\r\nhello", true, Ending::Failed, 200, ""},
    {"length too large", "HTTP/1.1 200 OK\r\nContent-Length: 2147483648\r\n\r\n", true, Ending::Failed, 200, ""},
    {"two lengths", "HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab", true, Ending::Failed,
     200, ""},
    {"until close", "HTTP/1.1 200 OK\r\nServer: x\r\n\r\nall of it", true, Ending::Complete, 200, "all of it"},
    {"until close, not closed", "HTTP/1.1 200 OK\r\n\r\npart", false, Ending::Incomplete, 200, "part"},
    {"status 404", "HTTP/1.1 404 Not Found 200\r\nContent-Length: 0\r\n\r\n", false, Ending::Complete, 404, ""},
    {"status with four digits", "HTTP/1.1 2000 OK\r\n\r\n", true, Ending::Failed, 0, ""},
    {"status not first", "XHTTP/1.1 200 OK\r\n\r\n", true, Ending::Failed, 0, ""},
    {"status line without code", "HTTP/1.1 OK 200\r\n\r\n", true, Ending::Failed, 0, ""},
    {"status only", "HTTP/1.1 200\r\n\r\nx", true, Ending::Complete, 200, "x"},
    {"headers never end", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n", true, Ending::Failed, 200, ""},
    {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n1\r\n!\r\n0\r\n\r\n", false,
     Ending::Complete, 200, "hello!"},
    {"chunked in any case, wins over length",
     "HTTP/1.1 200 OK\r\nContent-Length: 3\r\ntransfer-encoding: gzip, Chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", false,
     Ending::Complete, 200, "hello"},
    {"chunk extensions, blanks, upper hex and trailers",
     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n0A ;a=b;c\r\n0123456789\r\n00\r\nX-T: 1\r\nY: 2\r\n\r\n",
     false, Ending::Complete, 200, "0123456789"},
    {"chunked cut before the last chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n", true,
     Ending::Failed, 200, "hello"},
    {"chunked closed after the last chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nA\r\n0\r\n",
     true, Ending::Complete, 200, "A"},
    {"chunk size not hex", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n0\r\n\r\n", true,
     Ending::Failed, 200, ""},
    {"chunk size missing", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n\r\nhello\r\n0\r\n\r\n", true,
     Ending::Failed, 200, ""},
    {"chunk data longer than its size", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nhello\r\n0\r\n\r\n",
     true, Ending::Failed, 200, "he"},
    {"seventeen hex digits", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n00000000000000001\r\nA\r\n0\r\n\r\n",
     true, Ending::Failed, 200, ""},
    {"chunk larger than a result can count",
     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n80000000\r\nA\r\n0\r\n\r\n", true, Ending::Failed, 200,
     ""},
    {"redirect", "HTTP/1.1 302 Found\r\nLocation:   /next?a=1  \r\nContent-Length: 3\r\n\r\nxyz", false,
     Ending::Complete, 302, "xyz"},
};

TEST(HttpResponseTest, CasesGiveTheSameResultWholeAndSplitAnywhere) {
  for (const ResponseCase& c : Cases) {
    for (std::size_t pieceSize : {c.text.size() + 1, std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{7}}) {
      SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(pieceSize));
      const Parsed parsed = Parse(c.text, pieceSize, c.closed);
      EXPECT_EQ(parsed.ending, c.ending);
      EXPECT_EQ(parsed.status, c.status);
      if (c.ending != Ending::Failed || c.body[0] != '\0') {
        EXPECT_EQ(parsed.body, c.body);
      }
    }
  }
}

TEST(HttpResponseTest, FeedStopsRightAfterTheHeaderBlock) {
  HttpResponse response;
  HttpResponseBegin(&response);
  std::string body;
  std::int32_t consumed = 0;
  EXPECT_EQ(HttpResponseFeed(&response, Hello.data(), static_cast<std::int32_t>(Hello.size()), &consumed, AppendBody,
                             &body),
            HttpStep::HeadersDone);
  EXPECT_EQ(consumed, static_cast<std::int32_t>(Hello.size()) - 5);
  EXPECT_EQ(body, "");
  EXPECT_EQ(response.framing, HttpFraming::Length);
  EXPECT_EQ(response.contentLength, 5);
  EXPECT_EQ(HttpResponseWanted(&response, 2048), 5);
}

TEST(HttpResponseTest, LocationIsKeptTrimmed) {
  const std::string text = "HTTP/1.1 301 Moved\r\nLOCATION: \t http://h/x \r\n\r\n";
  HttpResponse response;
  HttpResponseBegin(&response);
  std::int32_t consumed = 0;
  EXPECT_EQ(HttpResponseFeed(&response, text.data(), static_cast<std::int32_t>(text.size()), &consumed, nullptr,
                             nullptr),
            HttpStep::HeadersDone);
  EXPECT_TRUE(response.hasLocation);
  EXPECT_STREQ(response.location, "http://h/x");
}

TEST(HttpResponseTest, HeaderBlockIsCappedAt64KiB) {
  const std::string start = "HTTP/1.1 200 OK\r\n";
  std::string filler;
  while (start.size() + filler.size() < HttpHeaderLimit - 200) filler += "X-Fill: " + std::string(90, 'f') + "\r\n";
  const std::string fits = start + filler + "Content-Length: 1\r\n\r\nA";
  EXPECT_EQ(Parse(fits, 2048, false).ending, Ending::Complete);
  const std::string over = start + filler + "X-Over: " + std::string(200, 'o') + "\r\nContent-Length: 1\r\n\r\nA";
  EXPECT_EQ(Parse(over, 2048, false).ending, Ending::Failed);
}

TEST(HttpResponseTest, AFailingSinkFailsTheResponse) {
  HttpResponse response;
  HttpResponseBegin(&response);
  std::int32_t consumed = 0;
  const auto refuse = [](void*, const char*, std::int32_t) { return false; };
  HttpStep step = HttpResponseFeed(&response, Hello.data(), static_cast<std::int32_t>(Hello.size()), &consumed,
                                   refuse, nullptr);
  ASSERT_EQ(step, HttpStep::HeadersDone);
  std::int32_t more = 0;
  step = HttpResponseFeed(&response, Hello.data() + consumed, static_cast<std::int32_t>(Hello.size()) - consumed,
                          &more, refuse, nullptr);
  EXPECT_EQ(step, HttpStep::Failed);
}

}  // namespace
