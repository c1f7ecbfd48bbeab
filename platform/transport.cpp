// The transport's choice between the plain socket and its TLS session; no system calls.
#include "platform/platform_transport.h"

#include "platform/platform_socket.h"
#include "platform/platform_tls.h"

std::int32_t PlatformTransportSend(const PlatformTransport& transport, const void* data, std::int32_t length) {
  if (transport.tls != nullptr) return PlatformTlsSend(transport.tls, data, length);
  return PlatformSocketSend(transport.socket, data, length);
}

std::int32_t PlatformTransportReceiveReady(const PlatformTransport& transport, void* buffer, std::int32_t size) {
  if (transport.tls != nullptr) return PlatformTlsReceiveReady(transport.tls, buffer, size);
  return PlatformSocketReceiveReady(transport.socket, buffer, size);
}

int PlatformTransportWaitReadable(const PlatformTransport& transport, std::int32_t timeLimitMilliseconds) {
  // Bytes already decrypted would never wake a wait on the socket.
  if (transport.tls != nullptr && PlatformTlsHasBuffered(transport.tls)) return 1;
  return PlatformSocketWaitReadable(transport.socket, timeLimitMilliseconds);
}
