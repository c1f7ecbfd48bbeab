// Client stream connections over the platform's sockets: start and end of the socket
// library, connect by host name or dotted IPv4 address, send, poll, receive, and the two
// waiting operations with time limits in whole seconds of the clock (DateNow). A connection
// may carry TLS: then everything sent and received goes through the TLS session.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct PlatformTlsSession;

struct ConnectionRecord {
  std::int32_t kind;  // always 1: stream
  NativeHandle socket;
  std::int32_t owner;  // always none here
  PlatformTlsSession* tls;  // null until ConnectionStartTls succeeds
};

enum NetworkEvent : std::int32_t {
  NetworkEventNone = 0,
  NetworkEventData = 2,
  NetworkEventDisconnect = 4,
};

constexpr std::int32_t ConnectionKindStream = 1;
// How long a connect may take before it counts as failed.
constexpr std::int32_t ConnectTimeLimitSeconds = 10;
// How long a TLS handshake may take, from the first byte sent to the last check.
constexpr std::int32_t TlsHandshakeTimeLimitSeconds = 10;

std::int32_t NetworkInit();
// Ends the socket library only when NetworkInit started it; otherwise does nothing.
void NetworkEnd();

ConnectionRecord* NetworkConnect(const char* host, std::int32_t port);
std::int32_t ConnectionSend(ConnectionRecord* connection, const void* data, std::int32_t length);
std::int32_t ConnectionPoll(ConnectionRecord* connection);
std::int32_t ConnectionReceive(ConnectionRecord* connection, void* buffer, std::int32_t size);
void ConnectionClose(ConnectionRecord* connection);

// Starts TLS as a client of hostName on a fresh connection: the handshake within the time
// limit, and the server's certificate checked against the system's trusted roots and the
// name. 1 on success; 0 otherwise, and the connection is then only fit to be closed.
std::int32_t ConnectionStartTls(ConnectionRecord* connection, const char* hostName, std::int32_t timeLimitSeconds);

// 1 when every byte went out within the limit, else 0.
std::int32_t ConnectionSendAll(ConnectionRecord* connection, const void* data, std::int32_t length,
                               std::int32_t timeLimitSeconds);
// Bytes received (a NUL stored after them, so the buffer holds size + 1), or 0 on a
// disconnect, an error or the end of the time limit.
std::int32_t ConnectionReceiveWait(ConnectionRecord* connection, char* buffer, std::int32_t size,
                                   std::int32_t timeLimitSeconds);

// What ConnectionReceiveWait folds into 0, told apart: the download needs to know an
// orderly close from a failure or a time-out.
enum class ReceiveOutcome { Data, Closed, Failed, TimedOut };
struct ReceiveResult {
  ReceiveOutcome outcome;
  std::int32_t count;  // bytes received when outcome is Data
};
ReceiveResult ConnectionReceiveWithin(ConnectionRecord* connection, char* buffer, std::int32_t size,
                                      std::int32_t timeLimitSeconds);
