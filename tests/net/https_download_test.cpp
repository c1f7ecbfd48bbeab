// Downloads over TLS from nginx with certificates of the test authority, which these tests
// trust instead of the system's roots (OpenSSL through SSL_CERT_FILE; under Wine through
// the CA bundle bind-mounted over the host's, which Wine's certificate store reads).
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "net/connection.h"
#include "net/http_download.h"
#include "tests/net/net_test_servers.h"

namespace {

const std::string OldContent = "old content that must survive\r\n";

class HttpsDownloadTest : public DownloadTest {
 protected:
  HttpsDownloadTest() : DownloadTest("https-") {}
};

TEST_F(HttpsDownloadTest, FilesByLengthAndChunkedAsOverPlainHttp) {
  for (const char* path : {"small.txt", "big.bin", "chunked/page.html"}) {
    SCOPED_TRACE(path);
    const std::string expected = ReadFileBytes(std::string("www/") + path);
    ASSERT_FALSE(expected.empty());
    WriteFileBytes(target_, OldContent);
    EXPECT_EQ(Download(HttpsUrl(ServerPorts().https, path)), static_cast<std::int32_t>(expected.size()));
    EXPECT_EQ(ReadFileBytes(target_), expected);
    EXPECT_FALSE(FileExists(TempName()));
  }
}

TEST_F(HttpsDownloadTest, RedirectsLeadUpToHttpsButNeverBackDown) {
  const std::string small = ReadFileBytes("www/small.txt");
  const std::string plain = "http://localhost:" + std::to_string(ServerPorts().nginx) + "/to-https";
  EXPECT_EQ(Download(plain), static_cast<std::int32_t>(small.size()));
  EXPECT_EQ(ReadFileBytes(target_), small);
  RemoveFile(target_);
  EXPECT_EQ(Download(HttpsUrl(ServerPorts().https, "to-https-self")), static_cast<std::int32_t>(small.size()));
  EXPECT_EQ(ReadFileBytes(target_), small);

  WriteFileBytes(target_, OldContent);
  EXPECT_EQ(Download(HttpsUrl(ServerPorts().https, "to-plain")), 0);
  EXPECT_EQ(ReadFileBytes(target_), OldContent);
  EXPECT_FALSE(FileExists(TempName()));
}

struct TlsFailure {
  const char* what;
  int port;
};

// Each fails without touching the target: no temporary, the old file byte for byte.
TEST_F(HttpsDownloadTest, ServersThatCannotBeTrustedFailTheDownload) {
  const NetServerPorts& ports = ServerPorts();
  const TlsFailure cases[] = {
      {"certificate for another host name", ports.httpsWrongName},
      {"expired certificate", ports.httpsExpired},
      {"self-signed certificate", ports.httpsSelfSigned},
      {"chain from an authority nobody trusts", ports.httpsUnknownAuthority},
      {"plain HTTP server behind an https URL", ports.nginx},
  };
  for (const TlsFailure& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileBytes(target_, OldContent);
    EXPECT_EQ(Download(HttpsUrl(c.port, "small.txt")), 0);
    EXPECT_EQ(ReadFileBytes(target_), OldContent);
    EXPECT_FALSE(FileExists(TempName()));
  }
}

TEST_F(HttpsDownloadTest, AStalledHandshakeFailsAtItsTimeLimit) {
  WriteFileBytes(target_, OldContent);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Download(HttpsUrl(ServerPorts().tlsStall, "small.txt")), 0);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(seconds, TlsHandshakeTimeLimitSeconds - 1);
  EXPECT_LT(seconds, TlsHandshakeTimeLimitSeconds + 3);
  EXPECT_EQ(ReadFileBytes(target_), OldContent);
  EXPECT_FALSE(FileExists(TempName()));
}

// The connection's own operations over TLS: a request out, the answer in, the close.
TEST_F(HttpsDownloadTest, ConnectionSendsAndReceivesThroughTls) {
  ConnectionRecord* connection = NetworkConnect("localhost", ServerPorts().https);
  ASSERT_NE(connection, nullptr);
  ASSERT_EQ(ConnectionStartTls(connection, "localhost", TlsHandshakeTimeLimitSeconds), 1);
  EXPECT_EQ(ConnectionStartTls(connection, "localhost", TlsHandshakeTimeLimitSeconds), 0);  // once only
  const std::string request = "GET /small.txt HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";
  ASSERT_EQ(ConnectionSendAll(connection, request.data(), static_cast<std::int32_t>(request.size()), 10), 1);
  std::string response;
  char buffer[4097];
  std::int32_t received;
  while ((received = ConnectionReceiveWait(connection, buffer, 4096, 10)) > 0) response.append(buffer, received);
  EXPECT_EQ(response.compare(0, 15, "HTTP/1.1 200 OK"), 0);
  const std::string small = ReadFileBytes("www/small.txt");
  ASSERT_GE(response.size(), small.size());
  EXPECT_EQ(response.substr(response.size() - small.size()), small);
  ConnectionClose(connection);
}

}  // namespace
