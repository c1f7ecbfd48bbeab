#include "net/connection.h"

#include "platform/platform_socket.h"
#include "platform/platform_tls.h"
#include "platform/platform_transport.h"
#include "runtime/date.h"
#include "runtime/heaps.h"

namespace {

// Set while the socket library is started by NetworkInit; only then does NetworkEnd act.
bool NetworkStarted;

// The clock counts whole seconds, so "within L seconds" runs until DateNow has moved more
// than L past the start. Waits last for the whole seconds still left; in the last, partial
// second the clock is looked at every tenth of a second. Data ends a wait at once.
constexpr std::int32_t LastSecondSliceMilliseconds = 100;

std::int32_t WaitSliceMilliseconds(std::int32_t secondsLeft) {
  return secondsLeft > 0 ? secondsLeft * 1000 : LastSecondSliceMilliseconds;
}

PlatformTransport TransportOf(const ConnectionRecord* connection) {
  return PlatformTransport{connection->socket, connection->tls};
}

}  // namespace

std::int32_t NetworkInit() {
  if (NetworkStarted) return 1;
  NetworkStarted = PlatformSocketStartup();
  return NetworkStarted ? 1 : 0;
}

void NetworkEnd() {
  if (!NetworkStarted) return;
  PlatformSocketCleanup();
  NetworkStarted = false;
}

ConnectionRecord* NetworkConnect(const char* host, std::int32_t port) {
  if (host == nullptr) return nullptr;
  const NativeHandle socket = PlatformSocketOpenStream();
  if (socket == 0) return nullptr;
  std::uint32_t address = 0;
  if (!PlatformSocketResolve(host, &address) ||
      !PlatformSocketConnect(socket, address, static_cast<std::uint16_t>(port & 0xFFFF),
                             ConnectTimeLimitSeconds * 1000)) {
    PlatformSocketClose(socket);
    return nullptr;
  }
  auto* connection = static_cast<ConnectionRecord*>(MainHeapAllocZero(sizeof(ConnectionRecord)));
  if (connection == nullptr) {
    PlatformSocketClose(socket);
    return nullptr;
  }
  connection->kind = ConnectionKindStream;
  connection->socket = socket;
  connection->owner = 0;
  return connection;
}

std::int32_t ConnectionStartTls(ConnectionRecord* connection, const char* hostName, std::int32_t timeLimitSeconds) {
  if (connection == nullptr || connection->tls != nullptr) return 0;
  connection->tls = PlatformTlsStart(connection->socket, hostName, timeLimitSeconds * 1000);
  return connection->tls != nullptr ? 1 : 0;
}

std::int32_t ConnectionSend(ConnectionRecord* connection, const void* data, std::int32_t length) {
  const std::int32_t sent = PlatformTransportSend(TransportOf(connection), data, length);
  return sent < 0 ? PlatformSocketError : sent;
}

std::int32_t ConnectionPoll(ConnectionRecord* connection) {
  if (connection->tls != nullptr && PlatformTlsHasBuffered(connection->tls)) return NetworkEventData;
  const int ready = PlatformSocketWaitReadable(connection->socket, 0);
  if (ready < 0) return NetworkEventDisconnect;
  if (ready == 0) return NetworkEventNone;
  // Readable with nothing to read: the peer has closed.
  const std::int32_t pending = PlatformSocketPendingBytes(connection->socket);
  return pending > 0 ? NetworkEventData : NetworkEventDisconnect;
}

std::int32_t ConnectionReceive(ConnectionRecord* connection, void* buffer, std::int32_t size) {
  if (connection->tls == nullptr) return PlatformSocketReceive(connection->socket, buffer, size);
  // Blocks like a plain receive: until decrypted bytes, the end, or a failure.
  for (;;) {
    const std::int32_t received = PlatformTransportReceiveReady(TransportOf(connection), buffer, size);
    if (received != PlatformSocketWouldBlock) return received < 0 ? PlatformSocketError : received;
    if (PlatformTransportWaitReadable(TransportOf(connection), 1000) < 0) return PlatformSocketError;
  }
}

void ConnectionClose(ConnectionRecord* connection) {
  if (connection == nullptr) return;
  PlatformTlsEnd(connection->tls);
  PlatformSocketClose(connection->socket);
  MainHeapFree(connection);
}

std::int32_t ConnectionSendAll(ConnectionRecord* connection, const void* data, std::int32_t length,
                               std::int32_t timeLimitSeconds) {
  const char* next = static_cast<const char*>(data);
  std::int32_t left = length;
  // Set after select reported the socket writable; a send that fails even then has failed
  // for good.
  bool writable = false;
  const std::int32_t start = DateNow();
  std::int32_t elapsed;
  while ((elapsed = DateNow() - start) < timeLimitSeconds) {
    const std::int32_t sent = ConnectionSend(connection, next, left);
    if (sent < 0) {
      if (writable) return 0;
      const int ready = PlatformSocketWaitWritable(connection->socket, (timeLimitSeconds - elapsed) * 1000);
      if (ready < 0) return 0;
      writable = ready > 0;
      continue;
    }
    writable = false;
    next += sent;
    left -= sent;
    if (left <= 0) return 1;
  }
  return 0;
}

ReceiveResult ConnectionReceiveWithin(ConnectionRecord* connection, char* buffer, std::int32_t size,
                                      std::int32_t timeLimitSeconds) {
  if (size <= 0) return {ReceiveOutcome::Failed, 0};
  const std::int32_t start = DateNow();
  for (;;) {
    const std::int32_t received = PlatformTransportReceiveReady(TransportOf(connection), buffer, size);
    if (received > 0) return {ReceiveOutcome::Data, received};
    if (received == 0) return {ReceiveOutcome::Closed, 0};
    if (received != PlatformSocketWouldBlock) return {ReceiveOutcome::Failed, 0};
    const std::int32_t elapsed = DateNow() - start;
    if (elapsed > timeLimitSeconds) return {ReceiveOutcome::TimedOut, 0};
    if (PlatformTransportWaitReadable(TransportOf(connection), WaitSliceMilliseconds(timeLimitSeconds - elapsed)) < 0) {
      return {ReceiveOutcome::Failed, 0};
    }
  }
}

std::int32_t ConnectionReceiveWait(ConnectionRecord* connection, char* buffer, std::int32_t size,
                                   std::int32_t timeLimitSeconds) {
  const ReceiveResult result = ConnectionReceiveWithin(connection, buffer, size, timeLimitSeconds);
  if (result.outcome != ReceiveOutcome::Data) return 0;
  buffer[result.count] = '\0';
  return result.count;
}
