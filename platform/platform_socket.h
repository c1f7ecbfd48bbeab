// IPv4 stream sockets by native handle: what the network connections stand on. A handle
// of 0 means no socket. Waiting is done in select, so a wait ends the moment data comes.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// The socket library's failure result of a send or receive (Windows' SOCKET_ERROR).
constexpr std::int32_t PlatformSocketError = -1;

// Starts and ends the socket library (Windows Sockets 1.1 on Windows; nothing to do elsewhere).
bool PlatformSocketStartup();
void PlatformSocketCleanup();

NativeHandle PlatformSocketOpenStream();
void PlatformSocketClose(NativeHandle socket);

// The IPv4 address of a dotted address or host name, in network byte order; false when the
// text is neither (255.255.255.255 counts as unresolved, as inet_addr cannot tell it apart).
bool PlatformSocketResolve(const char* host, std::uint32_t* addressNetworkOrder);

// Connects within the time limit; the socket stays blocking afterwards.
bool PlatformSocketConnect(NativeHandle socket, std::uint32_t addressNetworkOrder, std::uint16_t port,
                           std::int32_t timeLimitMilliseconds);

// Both return the bytes transferred or PlatformSocketError; a receive of 0 is the peer's
// orderly close. A send to a closed peer fails instead of ending the process.
std::int32_t PlatformSocketSend(NativeHandle socket, const void* data, std::int32_t length);
std::int32_t PlatformSocketReceive(NativeHandle socket, void* buffer, std::int32_t size);

// A receive that never blocks: PlatformSocketWouldBlock when nothing has arrived yet.
constexpr std::int32_t PlatformSocketWouldBlock = -2;
std::int32_t PlatformSocketReceiveReady(NativeHandle socket, void* buffer, std::int32_t size);

// Waits in select until the socket is readable (or writable) or the time runs out:
// 1 ready, 0 time out, -1 failure. A limit of 0 only looks.
int PlatformSocketWaitReadable(NativeHandle socket, std::int32_t timeLimitMilliseconds);
int PlatformSocketWaitWritable(NativeHandle socket, std::int32_t timeLimitMilliseconds);

// Bytes waiting to be read (FIONREAD), or -1 when the call fails.
std::int32_t PlatformSocketPendingBytes(NativeHandle socket);
