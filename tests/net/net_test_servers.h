// What the server tests share: the ports of the servers the ctest fixture started (read
// from ports.txt in the working directory), file helpers, and a fixture with the socket
// layer started.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/runtime_fixture.h"

struct NetServerPorts {
  int nginx = 0;
  int scripted = 0;
  int blackhole = 0;  // accepts nothing: a connect to it is never answered
  // nginx over TLS: certificates for localhost from the test authority, one for another
  // name, one expired, one self-signed.
  int https = 0;
  int httpsWrongName = 0;
  int httpsExpired = 0;
  int httpsSelfSigned = 0;
  int httpsUnknownAuthority = 0;  // leaf and intermediate of an authority nobody trusts
  int tlsStall = 0;  // accepts and reads, never answers: a handshake that stalls
};

// Fails the calling test (ADD_FAILURE) when ports.txt is missing.
const NetServerPorts& ServerPorts();
std::string NginxUrl(const std::string& path);
// A URL of the scripted server's script name, e.g. "status?line=404".
std::string ScriptedUrl(const std::string& script);
// https://localhost:PORT/path
std::string HttpsUrl(int port, const std::string& path);

// Wine's server reads a socket's pending error away when it polls, so a reset that comes
// after the last byte shows there as an orderly close; such cases run natively only.
bool RunningUnderWine();

bool FileExists(const std::string& name);
std::string ReadFileBytes(const std::string& name);
void WriteFileBytes(const std::string& name, const std::string& bytes);
void RemoveFile(const std::string& name);

class NetTest : public RuntimeTest {
 protected:
  std::vector<LibraryStep> ExtraStartSteps() override;
  std::vector<LibraryStep> ExtraEndSteps() override;
};

// A download into a file named after the running test (prefix + test name + ".txt"), with
// the target and its temporary removed before and after the test.
class DownloadTest : public NetTest {
 protected:
  explicit DownloadTest(const char* prefix) : prefix_(prefix) {}
  void SetUp() override;
  void TearDown() override;
  std::string TempName() const;
  std::int32_t Download(const std::string& url);

  std::string target_;

 private:
  const char* prefix_;
};
