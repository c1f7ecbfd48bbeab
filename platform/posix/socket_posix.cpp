// IPv4 stream sockets over BSD sockets. Native handles are descriptors plus one, so that
// 0 stays "no socket".
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "platform/platform_socket.h"

namespace {
int AsDescriptor(NativeHandle socket) { return static_cast<int>(socket - 1); }

timeval ToTimeval(std::int32_t milliseconds) {
  if (milliseconds < 0) milliseconds = 0;
  timeval limit;
  limit.tv_sec = milliseconds / 1000;
  limit.tv_usec = static_cast<suseconds_t>(milliseconds % 1000) * 1000;
  return limit;
}

// select on one descriptor; descriptors beyond FD_SETSIZE cannot be waited for safely.
int WaitFor(NativeHandle socket, bool forWriting, std::int32_t timeLimitMilliseconds) {
  const int descriptor = AsDescriptor(socket);
  if (descriptor < 0 || descriptor >= FD_SETSIZE) return -1;
  for (;;) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(descriptor, &set);
    timeval limit = ToTimeval(timeLimitMilliseconds);
    const int ready = select(descriptor + 1, forWriting ? nullptr : &set, forWriting ? &set : nullptr, nullptr, &limit);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return -1;
    return ready > 0 && FD_ISSET(descriptor, &set) ? 1 : 0;
  }
}

bool SetBlocking(int descriptor, bool blocking) {
  const int flags = fcntl(descriptor, F_GETFL, 0);
  if (flags < 0) return false;
  return fcntl(descriptor, F_SETFL, blocking ? (flags & ~O_NONBLOCK) : (flags | O_NONBLOCK)) == 0;
}
}  // namespace

bool PlatformSocketStartup() { return true; }
void PlatformSocketCleanup() {}

NativeHandle PlatformSocketOpenStream() {
  const int descriptor = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  return descriptor < 0 ? 0 : static_cast<NativeHandle>(descriptor) + 1;
}

void PlatformSocketClose(NativeHandle socket) {
  if (socket != 0) close(AsDescriptor(socket));
}

bool PlatformSocketResolve(const char* host, std::uint32_t* addressNetworkOrder) {
  in_addr_t address = inet_addr(host);
  if (address == INADDR_NONE) {
    const hostent* entry = gethostbyname(host);
    if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_addr_list[0] == nullptr) return false;
    std::memcpy(&address, entry->h_addr_list[0], sizeof address);
  }
  if (address == INADDR_NONE) return false;
  *addressNetworkOrder = address;
  return true;
}

bool PlatformSocketConnect(NativeHandle socket, std::uint32_t addressNetworkOrder, std::uint16_t port,
                           std::int32_t timeLimitMilliseconds) {
  const int descriptor = AsDescriptor(socket);
  sockaddr_in remote;
  std::memset(&remote, 0, sizeof remote);
  remote.sin_family = AF_INET;
  remote.sin_port = htons(port);
  remote.sin_addr.s_addr = addressNetworkOrder;
  // A non-blocking connect lets select bound the wait; the socket is blocking again after.
  if (!SetBlocking(descriptor, false)) return false;
  if (connect(descriptor, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0) {
    if (errno != EINPROGRESS) return false;
    if (WaitFor(socket, true, timeLimitMilliseconds) != 1) return false;
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) return false;
  }
  return SetBlocking(descriptor, true);
}

std::int32_t PlatformSocketSend(NativeHandle socket, const void* data, std::int32_t length) {
  if (length < 0) return PlatformSocketError;
  ssize_t sent;
  do {
    sent = send(AsDescriptor(socket), data, static_cast<size_t>(length), MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return sent < 0 ? PlatformSocketError : static_cast<std::int32_t>(sent);
}

std::int32_t PlatformSocketReceive(NativeHandle socket, void* buffer, std::int32_t size) {
  if (size < 0) return PlatformSocketError;
  ssize_t received;
  do {
    received = recv(AsDescriptor(socket), buffer, static_cast<size_t>(size), 0);
  } while (received < 0 && errno == EINTR);
  return received < 0 ? PlatformSocketError : static_cast<std::int32_t>(received);
}

std::int32_t PlatformSocketReceiveReady(NativeHandle socket, void* buffer, std::int32_t size) {
  if (size < 0) return PlatformSocketError;
  ssize_t received;
  do {
    received = recv(AsDescriptor(socket), buffer, static_cast<size_t>(size), MSG_DONTWAIT);
  } while (received < 0 && errno == EINTR);
  if (received < 0) return errno == EAGAIN || errno == EWOULDBLOCK ? PlatformSocketWouldBlock : PlatformSocketError;
  return static_cast<std::int32_t>(received);
}

int PlatformSocketWaitReadable(NativeHandle socket, std::int32_t timeLimitMilliseconds) {
  return WaitFor(socket, false, timeLimitMilliseconds);
}

int PlatformSocketWaitWritable(NativeHandle socket, std::int32_t timeLimitMilliseconds) {
  return WaitFor(socket, true, timeLimitMilliseconds);
}

std::int32_t PlatformSocketPendingBytes(NativeHandle socket) {
  int pending = 0;
  if (ioctl(AsDescriptor(socket), FIONREAD, &pending) != 0) return -1;
  return pending;
}
