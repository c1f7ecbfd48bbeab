#include "net/http_download.h"

#include <cstdlib>
#include <cstring>

#include "net/connection.h"
#include "net/http_request.h"
#include "net/http_response.h"
#include "net/url.h"
#include "platform/platform_file.h"
#include "runtime/heaps.h"
#include "runtime/strings.h"

namespace {

constexpr std::int32_t BlockSize = 2048;  // received blocks, written as they come
constexpr std::int32_t SendTimeLimitSeconds = 10;
// For the first block and for every later one, also when the body runs until the close.
constexpr std::int32_t ReceiveTimeLimitSeconds = 10;
constexpr int RedirectLimit = 5;

enum class Outcome { Success, Redirect, Failure };

bool IsRedirect(std::int32_t status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The body's way to the temporary file; created only when a 200 response's headers are in.
struct BodyFile {
  char* name;
  NativeHandle handle;
};

bool WriteBody(void* context, const char* data, std::int32_t length) {
  auto* file = static_cast<BodyFile*>(context);
  return PlatformFileWrite(file->handle, data, length) == length;
}

// Everything one request holds, released together.
struct Exchange {
  char* host = nullptr;
  char* target = nullptr;
  char* buffer = nullptr;
  ConnectionRecord* connection = nullptr;

  ~Exchange() {
    MainHeapFree(target);
    MainHeapFree(buffer);
    ConnectionClose(connection);
    MainHeapFree(host);
  }
};

// Reads the response after the request went out. The header block decides: a redirect
// ends here (its body is never read), anything but 200 fails before a file exists.
Outcome ReadResponse(Exchange& exchange, HttpResponse* response, BodyFile* file) {
  HttpResponseBegin(response);
  char* block = exchange.buffer;
  std::int32_t blockLength = 0;
  std::int32_t offset = 0;
  for (;;) {
    std::int32_t consumed = 0;
    const HttpStep step =
        HttpResponseFeed(response, block + offset, blockLength - offset, &consumed, WriteBody, file);
    offset += consumed;
    switch (step) {
      case HttpStep::Failed:
        return Outcome::Failure;
      case HttpStep::BodyDone:
        return Outcome::Success;
      case HttpStep::HeadersDone:
        if (IsRedirect(response->status)) return Outcome::Redirect;
        if (response->status != 200) return Outcome::Failure;
        file->handle = PlatformFileCreate(file->name);
        if (file->handle == 0) return Outcome::Failure;
        continue;
      case HttpStep::NeedMore:
        break;
    }
    const std::int32_t wanted = HttpResponseWanted(response, BlockSize);
    const ReceiveResult received =
        ConnectionReceiveWithin(exchange.connection, block, wanted, ReceiveTimeLimitSeconds);
    if (received.outcome == ReceiveOutcome::Closed) {
      return HttpResponseClose(response) == HttpStep::BodyDone ? Outcome::Success : Outcome::Failure;
    }
    if (received.outcome != ReceiveOutcome::Data) return Outcome::Failure;
    blockLength = received.count;
    offset = 0;
  }
}

Outcome FetchOnce(const char* url, HttpResponse* response, BodyFile* file) {
  Exchange exchange;
  exchange.host = UrlPart(url, UrlPartHost);
  if (exchange.host == nullptr) return Outcome::Failure;
  const bool secure = HttpUrlIsSecure(url);
  const std::uint16_t port = HttpUrlPort(url);
  exchange.target = UrlPart(url, UrlPartTarget);

  // The buffer holds the request first and then every received block.
  const std::int32_t requestLength = HttpRequestFormat(nullptr, 0, exchange.host, port, exchange.target, secure);
  if (requestLength < 0 || requestLength > HttpRequestLimit) return Outcome::Failure;
  const std::int32_t bufferSize = requestLength + 1 > BlockSize + 1 ? requestLength + 1 : BlockSize + 1;
  exchange.buffer = static_cast<char*>(MainHeapAllocZero(static_cast<std::size_t>(bufferSize)));
  if (exchange.buffer == nullptr) return Outcome::Failure;
  HttpRequestFormat(exchange.buffer, bufferSize, exchange.host, port, exchange.target, secure);

  exchange.connection = NetworkConnect(exchange.host, port);
  if (exchange.connection == nullptr) return Outcome::Failure;
  // From here on both schemes are one exchange; TLS only changes what carries the bytes.
  if (secure && !ConnectionStartTls(exchange.connection, exchange.host, TlsHandshakeTimeLimitSeconds)) {
    return Outcome::Failure;
  }
  if (!ConnectionSendAll(exchange.connection, exchange.buffer, requestLength, SendTimeLimitSeconds)) {
    return Outcome::Failure;
  }
  return ReadResponse(exchange, response, file);
}

char* TempNameBeside(const char* target) {
  const std::size_t length = std::strlen(target);
  auto* name = static_cast<char*>(std::malloc(length + sizeof HttpDownloadTempSuffix));
  if (name == nullptr) return nullptr;
  std::memcpy(name, target, length);
  std::memcpy(name + length, HttpDownloadTempSuffix, sizeof HttpDownloadTempSuffix);
  return name;
}

// Follows redirects; on success the body is complete in the temporary file.
Outcome Fetch(const char* url, HttpResponse* response, BodyFile* file) {
  char* current = StringDuplicate(url);
  Outcome outcome = Outcome::Failure;
  for (int redirects = 0;; ++redirects) {
    outcome = FetchOnce(current, response, file);
    if (outcome != Outcome::Redirect) break;
    outcome = Outcome::Failure;
    if (redirects == RedirectLimit || !response->hasLocation || response->locationTooLong) break;
    char* next = HttpRedirectUrl(current, response->location);
    if (next == nullptr) break;
    StringRelease(current);
    current = next;
  }
  StringRelease(current);
  return outcome;
}

}  // namespace

std::int32_t HttpDownloadFile(const char* url, const char* target) {
  if (url == nullptr || target == nullptr) return 0;
  BodyFile file{TempNameBeside(target), 0};
  auto* response = static_cast<HttpResponse*>(MainHeapAllocZero(sizeof(HttpResponse)));
  std::int32_t result = 0;
  if (file.name != nullptr && response != nullptr) {
    const Outcome outcome = Fetch(url, response, &file);
    if (file.handle != 0) {
      PlatformFileClose(file.handle);
      // An empty chunked body leaves the target alone; an empty body of length 0 or one
      // that ran until the close makes it empty.
      const bool keepsTarget = response->framing == HttpFraming::Chunked && response->bodyBytes == 0;
      if (outcome == Outcome::Success && !keepsTarget && PlatformFileReplace(file.name, target)) {
        result = static_cast<std::int32_t>(response->bodyBytes);
      } else {
        PlatformFileDelete(file.name);
      }
    }
  }
  MainHeapFree(response);
  std::free(file.name);
  return result;
}
