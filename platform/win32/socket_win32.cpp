// IPv4 stream sockets over Windows Sockets 1.1 (wsock32). Native handles are the SOCKET
// values; INVALID_SOCKET becomes 0.
#include <winsock.h>

#include <cstring>

#include "platform/platform_socket.h"

namespace {
SOCKET AsSocket(NativeHandle socket) { return static_cast<SOCKET>(socket); }

timeval ToTimeval(std::int32_t milliseconds) {
  if (milliseconds < 0) milliseconds = 0;
  timeval limit;
  limit.tv_sec = milliseconds / 1000;
  limit.tv_usec = (milliseconds % 1000) * 1000;
  return limit;
}

int WaitFor(NativeHandle socket, bool forWriting, std::int32_t timeLimitMilliseconds) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(AsSocket(socket), &set);
  // A failed non-blocking connect shows in the exception set, not the write set.
  fd_set failed;
  FD_ZERO(&failed);
  FD_SET(AsSocket(socket), &failed);
  timeval limit = ToTimeval(timeLimitMilliseconds);
  const int ready = select(0, forWriting ? nullptr : &set, forWriting ? &set : nullptr, forWriting ? &failed : nullptr,
                           &limit);
  if (ready == SOCKET_ERROR) return -1;
  if (forWriting && FD_ISSET(AsSocket(socket), &failed)) return -1;
  return ready > 0 && FD_ISSET(AsSocket(socket), &set) ? 1 : 0;
}

bool SetBlocking(NativeHandle socket, bool blocking) {
  u_long nonBlocking = blocking ? 0 : 1;
  return ioctlsocket(AsSocket(socket), FIONBIO, &nonBlocking) == 0;
}
}  // namespace

bool PlatformSocketStartup() {
  WSADATA data;
  return WSAStartup(0x0101, &data) == 0;
}

void PlatformSocketCleanup() { WSACleanup(); }

NativeHandle PlatformSocketOpenStream() {
  const SOCKET handle = socket(AF_INET, SOCK_STREAM, 0);
  return handle == INVALID_SOCKET ? 0 : static_cast<NativeHandle>(handle);
}

void PlatformSocketClose(NativeHandle socket) {
  if (socket != 0) closesocket(AsSocket(socket));
}

bool PlatformSocketResolve(const char* host, std::uint32_t* addressNetworkOrder) {
  unsigned long address = inet_addr(host);
  if (address == INADDR_NONE) {
    const hostent* entry = gethostbyname(host);
    if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_addr_list[0] == nullptr) return false;
    std::memcpy(&address, entry->h_addr_list[0], 4);
  }
  if (address == INADDR_NONE) return false;
  *addressNetworkOrder = static_cast<std::uint32_t>(address);
  return true;
}

bool PlatformSocketConnect(NativeHandle socket, std::uint32_t addressNetworkOrder, std::uint16_t port,
                           std::int32_t timeLimitMilliseconds) {
  sockaddr_in remote;
  std::memset(&remote, 0, sizeof remote);
  remote.sin_family = AF_INET;
  remote.sin_port = htons(port);
  remote.sin_addr.s_addr = addressNetworkOrder;
  // A non-blocking connect lets select bound the wait; the socket is blocking again after.
  if (!SetBlocking(socket, false)) return false;
  if (connect(AsSocket(socket), reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == SOCKET_ERROR) {
    if (WSAGetLastError() != WSAEWOULDBLOCK) return false;
    if (WaitFor(socket, true, timeLimitMilliseconds) != 1) return false;
  }
  return SetBlocking(socket, true);
}

std::int32_t PlatformSocketSend(NativeHandle socket, const void* data, std::int32_t length) {
  if (length < 0) return PlatformSocketError;
  const int sent = send(AsSocket(socket), static_cast<const char*>(data), length, 0);
  return sent == SOCKET_ERROR ? PlatformSocketError : sent;
}

std::int32_t PlatformSocketReceive(NativeHandle socket, void* buffer, std::int32_t size) {
  if (size < 0) return PlatformSocketError;
  const int received = recv(AsSocket(socket), static_cast<char*>(buffer), size, 0);
  return received == SOCKET_ERROR ? PlatformSocketError : received;
}

// Windows Sockets 1.1 has no per-call non-blocking flag: look first, then receive.
std::int32_t PlatformSocketReceiveReady(NativeHandle socket, void* buffer, std::int32_t size) {
  const int ready = WaitFor(socket, false, 0);
  if (ready < 0) return PlatformSocketError;
  if (ready == 0) return PlatformSocketWouldBlock;
  return PlatformSocketReceive(socket, buffer, size);
}

int PlatformSocketWaitReadable(NativeHandle socket, std::int32_t timeLimitMilliseconds) {
  return WaitFor(socket, false, timeLimitMilliseconds);
}

int PlatformSocketWaitWritable(NativeHandle socket, std::int32_t timeLimitMilliseconds) {
  return WaitFor(socket, true, timeLimitMilliseconds);
}

std::int32_t PlatformSocketPendingBytes(NativeHandle socket) {
  u_long pending = 0;
  if (ioctlsocket(AsSocket(socket), FIONREAD, &pending) != 0) return -1;
  return static_cast<std::int32_t>(pending);
}
