// What a connection sends and receives through: its socket itself, or a TLS session over
// that socket. The connection layer above sees one stream either way.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct PlatformTlsSession;

struct PlatformTransport {
  NativeHandle socket;
  PlatformTlsSession* tls;  // null: plain bytes on the socket
};

// As PlatformSocketSend: the bytes taken, or PlatformSocketError.
std::int32_t PlatformTransportSend(const PlatformTransport& transport, const void* data, std::int32_t length);
// As PlatformSocketReceiveReady: bytes, 0 at the peer's orderly end, PlatformSocketWouldBlock
// or PlatformSocketError.
std::int32_t PlatformTransportReceiveReady(const PlatformTransport& transport, void* buffer, std::int32_t size);
// 1 when a receive may find bytes, 0 at the end of the time limit, -1 on failure.
int PlatformTransportWaitReadable(const PlatformTransport& transport, std::int32_t timeLimitMilliseconds);
