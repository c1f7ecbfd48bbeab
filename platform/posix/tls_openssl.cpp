// TLS through OpenSSL. Bytes go through a BIO of our own over the platform's socket calls,
// so that reads never block (the caller waits in select with its own time limits) and a
// write to a closed peer fails instead of raising SIGPIPE. Trusted roots are the system's
// (OpenSSL's default paths, which SSL_CERT_FILE and SSL_CERT_DIR may point elsewhere).
#include <arpa/inet.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <chrono>
#include <new>

#include "platform/platform_socket.h"
#include "platform/platform_tls.h"

struct PlatformTlsSession {
  SSL_CTX* context = nullptr;
  SSL* ssl = nullptr;
};

namespace {

using Clock = std::chrono::steady_clock;

NativeHandle SocketOf(BIO* bio) { return reinterpret_cast<NativeHandle>(BIO_get_data(bio)); }

int SocketBioWrite(BIO* bio, const char* data, int length) {
  BIO_clear_retry_flags(bio);
  const std::int32_t sent = PlatformSocketSend(SocketOf(bio), data, length);
  return sent < 0 ? -1 : sent;
}

int SocketBioRead(BIO* bio, char* buffer, int size) {
  BIO_clear_retry_flags(bio);
  const std::int32_t received = PlatformSocketReceiveReady(SocketOf(bio), buffer, size);
  if (received == PlatformSocketWouldBlock) {
    BIO_set_retry_read(bio);
    return -1;
  }
  return received < 0 ? -1 : received;
}

long SocketBioControl(BIO*, int command, long, void*) { return command == BIO_CTRL_FLUSH ? 1 : 0; }

int SocketBioCreate(BIO* bio) {
  BIO_set_init(bio, 1);
  return 1;
}

// Made once and kept for the life of the process.
BIO_METHOD* SocketBioMethod() {
  static BIO_METHOD* const method = [] {
    BIO_METHOD* made = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "platform socket");
    if (made == nullptr) return made;
    BIO_meth_set_write(made, SocketBioWrite);
    BIO_meth_set_read(made, SocketBioRead);
    BIO_meth_set_ctrl(made, SocketBioControl);
    BIO_meth_set_create(made, SocketBioCreate);
    return made;
  }();
  return method;
}

void Free(PlatformTlsSession* session) {
  SSL_free(session->ssl);  // frees the BIO too
  SSL_CTX_free(session->context);
  delete session;
  ERR_clear_error();
}

bool Configure(PlatformTlsSession* session, NativeHandle socket, const char* hostName) {
  session->context = SSL_CTX_new(TLS_client_method());
  if (session->context == nullptr) return false;
  SSL_CTX_set_min_proto_version(session->context, TLS1_2_VERSION);
  SSL_CTX_set_options(session->context, SSL_OP_NO_RENEGOTIATION);
  SSL_CTX_set_verify(session->context, SSL_VERIFY_PEER, nullptr);
  if (SSL_CTX_set_default_verify_paths(session->context) != 1) return false;
  session->ssl = SSL_new(session->context);
  if (session->ssl == nullptr || SocketBioMethod() == nullptr) return false;
  BIO* bio = BIO_new(SocketBioMethod());
  if (bio == nullptr) return false;
  BIO_set_data(bio, reinterpret_cast<void*>(socket));
  SSL_set_bio(session->ssl, bio, bio);
  // A dotted address is checked against the certificate's addresses and sent no SNI.
  in_addr address;
  if (inet_pton(AF_INET, hostName, &address) == 1) {
    return X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(session->ssl), hostName) == 1;
  }
  SSL_set_hostflags(session->ssl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
  return SSL_set_tlsext_host_name(session->ssl, hostName) == 1 && SSL_set1_host(session->ssl, hostName) == 1;
}

bool Handshake(SSL* ssl, std::int32_t timeLimitMilliseconds) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeLimitMilliseconds);
  for (;;) {
    ERR_clear_error();
    const int result = SSL_connect(ssl);
    if (result == 1) return SSL_get_verify_result(ssl) == X509_V_OK && SSL_get0_peer_certificate(ssl) != nullptr;
    const int error = SSL_get_error(ssl, result);
    if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    const NativeHandle socket = SocketOf(SSL_get_rbio(ssl));
    const auto wait = static_cast<std::int32_t>(left);
    const int ready = error == SSL_ERROR_WANT_READ ? PlatformSocketWaitReadable(socket, wait)
                                                   : PlatformSocketWaitWritable(socket, wait);
    if (ready != 1) return false;
  }
}

}  // namespace

PlatformTlsSession* PlatformTlsStart(NativeHandle socket, const char* hostName, std::int32_t timeLimitMilliseconds) {
  if (hostName == nullptr || hostName[0] == '\0') return nullptr;
  auto* session = new (std::nothrow) PlatformTlsSession;
  if (session == nullptr) return nullptr;
  if (!Configure(session, socket, hostName) || !Handshake(session->ssl, timeLimitMilliseconds)) {
    Free(session);
    return nullptr;
  }
  return session;
}

std::int32_t PlatformTlsSend(PlatformTlsSession* session, const void* data, std::int32_t length) {
  if (length < 0) return PlatformSocketError;
  if (length == 0) return 0;
  ERR_clear_error();
  const int written = SSL_write(session->ssl, data, length);
  return written > 0 ? written : PlatformSocketError;
}

std::int32_t PlatformTlsReceiveReady(PlatformTlsSession* session, void* buffer, std::int32_t size) {
  if (size <= 0) return PlatformSocketError;
  ERR_clear_error();
  const int received = SSL_read(session->ssl, buffer, size);
  if (received > 0) return received;
  switch (SSL_get_error(session->ssl, received)) {
    case SSL_ERROR_ZERO_RETURN:
      return 0;
    case SSL_ERROR_WANT_READ:
    case SSL_ERROR_WANT_WRITE:
      return PlatformSocketWouldBlock;
    default:
      return PlatformSocketError;
  }
}

bool PlatformTlsHasBuffered(const PlatformTlsSession* session) { return SSL_pending(session->ssl) > 0; }

void PlatformTlsEnd(PlatformTlsSession* session) {
  if (session == nullptr) return;
  ERR_clear_error();
  SSL_shutdown(session->ssl);  // one close_notify, not waiting for the server's
  Free(session);
}
