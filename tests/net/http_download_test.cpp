#include "net/http_download.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/net/net_test_servers.h"

namespace {

const std::string FinalBody = "final body\r\nsecond line\r\n";
const std::string OldContent = "old content that must survive\r\n";

class HttpDownloadTest : public DownloadTest {
 protected:
  HttpDownloadTest() : DownloadTest("download-") {}
};

// Spaces and line ends for the scripted server's query texts.
std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ') out += "%20";
    else if (c == '\r') out += "%0D";
    else if (c == '\n') out += "%0A";
    else if (c == '&') out += "%26";
    else if (c == '#') out += "%23";
    else if (c == ';') out += "%3B";
    else out += c;
  }
  return out;
}

std::string Raw(const std::string& response) { return "raw?text=" + Escaped(response); }
std::string ChunkedRaw(const std::string& body, const std::string& header = "") {
  return "chunked_raw?body=" + Escaped(body) + (header.empty() ? "" : "&header=" + Escaped(header));
}

TEST_F(HttpDownloadTest, FilesFromNginxByLengthAndChunked) {
  for (const char* path : {"small.txt", "big.bin", "chunked/page.html"}) {
    SCOPED_TRACE(path);
    const std::string expected = ReadFileBytes(std::string("www/") + path);
    ASSERT_FALSE(expected.empty());
    WriteFileBytes(target_, OldContent);
    EXPECT_EQ(Download(NginxUrl(path)), static_cast<std::int32_t>(expected.size()));
    EXPECT_EQ(ReadFileBytes(target_), expected);
    EXPECT_FALSE(FileExists(TempName()));
  }
}

TEST_F(HttpDownloadTest, ContentLength0GivesAnEmptyTargetAndResult0) {
  WriteFileBytes(target_, OldContent);
  EXPECT_EQ(Download(NginxUrl("empty.txt")), 0);
  EXPECT_TRUE(FileExists(target_));
  EXPECT_EQ(ReadFileBytes(target_), "");
}

TEST_F(HttpDownloadTest, RequestTextIsExact) {
  const std::string port = std::to_string(ServerPorts().scripted);
  const std::string longQuery(3000, 'q');  // longer than the 2048-byte blocks
  for (const std::string& script : {std::string("echo?x=1#frag"), "echo?" + longQuery}) {
    const std::string expected =
        "GET /s/" + script + " HTTP/1.1\r\nAccept: */*\r\nHost: 127.0.0.1:" + port + "\r\nConnection: close\r\n\r\n";
    EXPECT_EQ(Download(ScriptedUrl(script)), static_cast<std::int32_t>(expected.size()));
    EXPECT_EQ(ReadFileBytes(target_), expected);
  }
}

struct SuccessCase {
  const char* what;
  std::string script;
  std::string body;
};

TEST_F(HttpDownloadTest, ResponsesThatSucceed) {
  const std::string port = std::to_string(ServerPorts().scripted);
  const SuccessCase cases[] = {
      {"every byte its own piece", "tiny", FinalBody},
      {"60 KiB of headers over many blocks", "headers?size=60000", FinalBody},
      {"header names in any case, blanks after the colon",
       Raw("HTTP/1.1 200 OK\r\nCONTENT-LENGTH:      5\r\n\r\nhello"), "hello"},
      {"header without blank after the colon", Raw("HTTP/1.0 200 OK\r\ncontent-length:5\r\n\r\nhello"), "hello"},
      {"chunked in pieces of one byte, extensions, trailers", "chunked?piece=1", FinalBody + FinalBody + FinalBody},
      {"chunked in pieces of three bytes", "chunked?piece=3", FinalBody + FinalBody + FinalBody},
      {"chunked wins over a length", ChunkedRaw("3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n", "Content-Length: 2"), "abcde"},
      {"chunks of a few bytes, split", ChunkedRaw("1\r\na\r\n1\r\nb\r\n2\r\ncd\r\n0\r\n\r\n") + "&piece=2", "abcd"},
      {"redirect 301", "redirect?code=301", FinalBody},
      {"redirect 302", "redirect?code=302", FinalBody},
      {"redirect 303", "redirect?code=303", FinalBody},
      {"redirect 307", "redirect?code=307", FinalBody},
      {"redirect 308", "redirect?code=308", FinalBody},
      {"redirect to an absolute URL", "redirect?to=http://127.0.0.1:PORT/s/final", FinalBody},
      {"redirect beside the current path", "redirect?to=final", FinalBody},
      {"five redirects", "hops?n=5", FinalBody},
      {"a pause of 2.5 s in a body that runs until the close", "until_close?pause=2.5", FinalBody + FinalBody},
  };
  for (const SuccessCase& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileBytes(target_, OldContent);
    EXPECT_EQ(Download(ScriptedUrl(c.script)), static_cast<std::int32_t>(c.body.size()));
    EXPECT_EQ(ReadFileBytes(target_), c.body);
    EXPECT_FALSE(FileExists(TempName()));
  }
}

struct FailureCase {
  const char* what;
  std::string url;
};

// Every failure returns 0, leaves an existing target byte for byte, and no temporary.
TEST_F(HttpDownloadTest, ResponsesThatFailLeaveTheTargetAlone) {
  const std::string port = std::to_string(ServerPorts().scripted);
  const FailureCase cases[] = {
      {"status 404", ScriptedUrl("status?line=404%20Not%20Found")},
      {"200 only in the reason", ScriptedUrl("status?line=500%20Error%20200")},
      {"status 201 is not 200", ScriptedUrl("status?line=201%20Created")},
      {"four-digit status", ScriptedUrl("status?line=2000%20OK")},
      {"redirect to ftp", ScriptedUrl("redirect?to=ftp://127.0.0.1:PORT/s/final")},
      {"redirect without Location", ScriptedUrl(Raw("HTTP/1.1 302 Found\r\nContent-Length: 0\r\n\r\n"))},
      {"six redirects", ScriptedUrl("hops?n=6")},
      {"headers over 64 KiB", ScriptedUrl("headers?size=70000")},
      {"negative content length", ScriptedUrl(Raw("HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nhello"))},
      {"body shorter than its length", ScriptedUrl("truncated")},
      {"chunked body cut before its last chunk", ScriptedUrl(ChunkedRaw("5\r\nhello\r\n"))},
      {"chunk size not hex", ScriptedUrl(ChunkedRaw("5\r\nhello\r\nzz\r\nhello\r\n0\r\n\r\n"))},
      {"chunk data not followed by CR LF", ScriptedUrl(ChunkedRaw("5\r\nhelloXX\r\n0\r\n\r\n"))},
      {"chunk size line split and malformed", ScriptedUrl(ChunkedRaw("5\r\nhello\r\n1 x\r\na\r\n0\r\n\r\n") + "&piece=1")},
      {"body until close ended by a reset", ScriptedUrl("until_close?end=reset")},
      {"closed without a response", ScriptedUrl("silent_close")},
      {"request over 8 KiB", ScriptedUrl("echo?" + std::string(9000, 'q'))},
      {"connection refused", "http://127.0.0.2:" + port + "/s/final"},
      {"no host", "file.txt"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.what);
    if (RunningUnderWine() && c.url.find("end=reset") != std::string::npos) continue;
    WriteFileBytes(target_, OldContent);
    EXPECT_EQ(Download(c.url), 0);
    EXPECT_EQ(ReadFileBytes(target_), OldContent);
    EXPECT_FALSE(FileExists(TempName()));
  }
}

TEST_F(HttpDownloadTest, FailureCreatesNoTarget) {
  EXPECT_EQ(Download(ScriptedUrl("truncated")), 0);
  EXPECT_FALSE(FileExists(target_));
  EXPECT_FALSE(FileExists(TempName()));
  EXPECT_EQ(HttpDownloadFile(nullptr, target_.c_str()), 0);
  EXPECT_FALSE(FileExists(target_));
}

// The body stops and nothing comes for longer than the 10-second limit.
TEST_F(HttpDownloadTest, StalledBodyFailsAtTheTimeLimit) {
  WriteFileBytes(target_, OldContent);
  EXPECT_EQ(Download(ScriptedUrl("stall")), 0);
  EXPECT_EQ(ReadFileBytes(target_), OldContent);
  EXPECT_FALSE(FileExists(TempName()));
}

}  // namespace
