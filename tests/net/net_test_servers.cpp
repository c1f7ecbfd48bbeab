#include "tests/net/net_test_servers.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "net/connection.h"
#include "net/http_download.h"

#ifdef _WIN32
#include <windows.h>
#endif

bool RunningUnderWine() {
#ifdef _WIN32
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

const NetServerPorts& ServerPorts() {
  static NetServerPorts ports;
  if (ports.scripted == 0) {
    std::ifstream file("ports.txt");
    std::string name;
    int port = 0;
    while (file >> name >> port) {
      if (name == "nginx") ports.nginx = port;
      if (name == "scripted") ports.scripted = port;
      if (name == "blackhole") ports.blackhole = port;
      if (name == "https") ports.https = port;
      if (name == "https_wrong_name") ports.httpsWrongName = port;
      if (name == "https_expired") ports.httpsExpired = port;
      if (name == "https_self_signed") ports.httpsSelfSigned = port;
      if (name == "https_unknown_authority") ports.httpsUnknownAuthority = port;
      if (name == "tls_stall") ports.tlsStall = port;
    }
    if (ports.scripted == 0 || ports.nginx == 0) {
      ADD_FAILURE() << "no ports.txt: run these tests through ctest, whose fixture starts the servers";
    }
  }
  return ports;
}

std::string NginxUrl(const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(ServerPorts().nginx) + "/" + path;
}

std::string ScriptedUrl(const std::string& script) {
  return "http://127.0.0.1:" + std::to_string(ServerPorts().scripted) + "/s/" + script;
}

std::string HttpsUrl(int port, const std::string& path) {
  return "https://localhost:" + std::to_string(port) + "/" + path;
}

bool FileExists(const std::string& name) { return std::ifstream(name, std::ios::binary).good(); }

std::string ReadFileBytes(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const std::string& name, const std::string& bytes) {
  std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

void RemoveFile(const std::string& name) { std::remove(name.c_str()); }

std::vector<LibraryStep> NetTest::ExtraStartSteps() {
  return {LibraryStep{"network", [] { NetworkInit(); }}};
}

std::vector<LibraryStep> NetTest::ExtraEndSteps() { return {LibraryStep{"network", NetworkEnd}}; }

void DownloadTest::SetUp() {
  NetTest::SetUp();
  target_ = prefix_ + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".txt";
  RemoveFile(target_);
  RemoveFile(TempName());
}

void DownloadTest::TearDown() {
  RemoveFile(target_);
  RemoveFile(TempName());
  NetTest::TearDown();
}

std::string DownloadTest::TempName() const { return target_ + HttpDownloadTempSuffix; }

std::int32_t DownloadTest::Download(const std::string& url) { return HttpDownloadFile(url.c_str(), target_.c_str()); }
