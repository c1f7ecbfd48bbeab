// TLS client sessions over connected sockets: Schannel on Windows (the system's own TLS and
// certificate store), OpenSSL elsewhere. The server's certificate chain must lead to a root
// the system trusts and must name the host asked for; anything less fails the handshake.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct PlatformTlsSession;

// Runs the client handshake on a connected socket within the time limit and verifies the
// server's certificate for hostName. Null when the handshake fails or stalls or the
// certificate is not trusted for that name. The socket stays the caller's either way.
PlatformTlsSession* PlatformTlsStart(NativeHandle socket, const char* hostName, std::int32_t timeLimitMilliseconds);

// Encrypts and sends: the bytes of data taken, or PlatformSocketError.
std::int32_t PlatformTlsSend(PlatformTlsSession* session, const void* data, std::int32_t length);

// Never blocks: decrypted bytes, PlatformSocketWouldBlock when the socket has to be waited
// for, 0 when the server ended the session in order (close_notify), or PlatformSocketError.
// A connection closed without close_notify is an error: the data may have been cut off.
std::int32_t PlatformTlsReceiveReady(PlatformTlsSession* session, void* buffer, std::int32_t size);

// Decrypted bytes held in the session, which no wait on the socket would announce.
bool PlatformTlsHasBuffered(const PlatformTlsSession* session);

// Says goodbye to the server when it can (close_notify) and frees the session; the socket
// is not closed.
void PlatformTlsEnd(PlatformTlsSession* session);
