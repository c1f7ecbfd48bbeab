// TLS through Schannel (SSPI in secur32): handshake tokens, records, and the server's
// certificate checked by us against the system's store with the SSL chain policy, which
// also checks the host name and the validity dates. Schannel's automatic check is turned
// off so that the one check below is the check, whatever the system's defaults.
#include <winsock.h>
#include <windows.h>
#include <wincrypt.h>
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/platform_socket.h"
#include "platform/platform_tls.h"

namespace {

// Received bytes not yet taken by Schannel: the largest record with room to spare, and
// the server's handshake flights. A server that needs more than this fails.
constexpr std::int32_t IncomingLimit = 64 * 1024;

constexpr ULONG RequestFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                               ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR |
                               ISC_REQ_MANUAL_CRED_VALIDATION;

using Clock = std::chrono::steady_clock;

}  // namespace

struct PlatformTlsSession {
  NativeHandle socket = 0;
  CredHandle credentials{};
  CtxtHandle context{};
  bool hasCredentials = false;
  bool hasContext = false;
  bool closed = false;  // the server's close_notify has come
  SecPkgContext_StreamSizes sizes{};
  char* incoming = nullptr;  // received, not yet decrypted
  std::int32_t incomingLength = 0;
  char* plain = nullptr;  // decrypted, not yet handed out
  std::int32_t plainOffset = 0;
  std::int32_t plainLength = 0;
  char* outgoing = nullptr;  // one record being encrypted: header, data, trailer
};

namespace {

bool SendAllBytes(NativeHandle socket, const char* data, std::int32_t length) {
  while (length > 0) {
    const std::int32_t sent = PlatformSocketSend(socket, data, length);
    if (sent <= 0) return false;
    data += sent;
    length -= sent;
  }
  return true;
}

// Sends a token Schannel made for the server and gives its memory back.
bool SendToken(PlatformTlsSession* session, SecBuffer* token) {
  const bool sent = token->pvBuffer == nullptr ||
                    SendAllBytes(session->socket, static_cast<const char*>(token->pvBuffer),
                                 static_cast<std::int32_t>(token->cbBuffer));
  if (token->pvBuffer != nullptr) FreeContextBuffer(token->pvBuffer);
  token->pvBuffer = nullptr;
  token->cbBuffer = 0;
  return sent;
}

// Keeps the bytes a call left over (an "extra" buffer) at the start of the incoming buffer.
void KeepExtra(PlatformTlsSession* session, const SecBuffer* extra) {
  if (extra == nullptr || extra->cbBuffer == 0) {
    session->incomingLength = 0;
    return;
  }
  const auto length = static_cast<std::int32_t>(extra->cbBuffer);
  std::memmove(session->incoming, session->incoming + session->incomingLength - length,
               static_cast<std::size_t>(length));
  session->incomingLength = length;
}

const SecBuffer* FindExtra(const SecBuffer* buffers, int count) {
  for (int i = 0; i < count; ++i) {
    if (buffers[i].BufferType == SECBUFFER_EXTRA) return &buffers[i];
  }
  return nullptr;
}

// Waits until the deadline for more of the server's bytes.
bool ReceiveMore(PlatformTlsSession* session, Clock::time_point deadline) {
  if (session->incomingLength >= IncomingLimit) return false;
  for (;;) {
    const std::int32_t received = PlatformSocketReceiveReady(
        session->socket, session->incoming + session->incomingLength, IncomingLimit - session->incomingLength);
    if (received > 0) {
      session->incomingLength += received;
      return true;
    }
    if (received != PlatformSocketWouldBlock) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0 || PlatformSocketWaitReadable(session->socket, static_cast<std::int32_t>(left)) != 1) return false;
  }
}

bool AcquireCredentials(PlatformTlsSession* session) {
  SCHANNEL_CRED data{};
  data.dwVersion = SCHANNEL_CRED_VERSION;
  // The system's default protocols; no client certificate; the server's certificate is
  // checked by CertificateTrustedFor.
  data.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
  TimeStamp expiry;
  char package[] = UNISP_NAME_A;
  if (AcquireCredentialsHandleA(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &data, nullptr, nullptr,
                                &session->credentials, &expiry) != SEC_E_OK) {
    return false;
  }
  session->hasCredentials = true;
  return true;
}

bool Handshake(PlatformTlsSession* session, char* hostName, Clock::time_point deadline) {
  SecBuffer outToken{0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc output{SECBUFFER_VERSION, 1, &outToken};
  ULONG attributes = 0;
  TimeStamp expiry;
  SECURITY_STATUS status = InitializeSecurityContextA(&session->credentials, nullptr, hostName, RequestFlags, 0, 0,
                                                      nullptr, 0, &session->context, &output, &attributes, &expiry);
  if (status != SEC_I_CONTINUE_NEEDED) {
    SendToken(session, &outToken);  // nothing is sent for a failed start; only freed
    return false;
  }
  session->hasContext = true;
  if (!SendToken(session, &outToken)) return false;
  bool needMore = true;
  for (;;) {
    if (needMore && !ReceiveMore(session, deadline)) return false;
    SecBuffer input[2] = {{static_cast<ULONG>(session->incomingLength), SECBUFFER_TOKEN, session->incoming},
                          {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc inputs{SECBUFFER_VERSION, 2, input};
    outToken = {0, SECBUFFER_TOKEN, nullptr};
    status = InitializeSecurityContextA(&session->credentials, &session->context, hostName, RequestFlags, 0, 0,
                                        &inputs, 0, nullptr, &output, &attributes, &expiry);
    if (status == SEC_E_INCOMPLETE_MESSAGE) {  // the bytes are kept; wait for the rest
      SendToken(session, &outToken);
      needMore = true;
      continue;
    }
    // A server asking for a client certificate (SEC_I_INCOMPLETE_CREDENTIALS) is not served.
    if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) {
      SendToken(session, &outToken);
      return false;
    }
    if (!SendToken(session, &outToken)) return false;
    KeepExtra(session, FindExtra(input, 2));
    if (status == SEC_E_OK) return true;
    needMore = session->incomingLength == 0;
  }
}

bool CertificateTrustedFor(PlatformTlsSession* session, const char* hostName) {
  wchar_t wideHost[256];
  if (MultiByteToWideChar(CP_ACP, 0, hostName, -1, wideHost, 256) == 0) return false;
  PCCERT_CONTEXT certificate = nullptr;
  if (QueryContextAttributesA(&session->context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &certificate) != SEC_E_OK ||
      certificate == nullptr) {
    return false;
  }
  char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
  LPSTR usages[] = {serverAuth};
  CERT_CHAIN_PARA chainParameters{};
  chainParameters.cbSize = sizeof chainParameters;
  chainParameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  chainParameters.RequestedUsage.Usage.cUsageIdentifier = 1;
  chainParameters.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  bool trusted = false;
  // The server's intermediate certificates come with its certificate's own store.
  if (CertGetCertificateChain(nullptr, certificate, nullptr, certificate->hCertStore, &chainParameters, 0, nullptr,
                              &chain)) {
    SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
    ssl.cbSize = sizeof ssl;
    ssl.dwAuthType = AUTHTYPE_SERVER;
    ssl.pwszServerName = wideHost;
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof policy;
    policy.pvExtraPolicyPara = &ssl;
    CERT_CHAIN_POLICY_STATUS result{};
    result.cbSize = sizeof result;
    // The chain's own status too: Wine's SSL policy passes a chain that stops short of any
    // root (a partial chain), which would let a server name its own "intermediate".
    const DWORD chainErrors = chain->TrustStatus.dwErrorStatus &
                              ~static_cast<DWORD>(CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION);
    trusted = chainErrors == CERT_TRUST_NO_ERROR &&
              CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &result) && result.dwError == 0;
    CertFreeCertificateChain(chain);
  }
  CertFreeCertificateContext(certificate);
  return trusted;
}

bool AllocateRecordBuffers(PlatformTlsSession* session) {
  if (QueryContextAttributesA(&session->context, SECPKG_ATTR_STREAM_SIZES, &session->sizes) != SEC_E_OK) return false;
  const std::size_t record = session->sizes.cbHeader + session->sizes.cbMaximumMessage + session->sizes.cbTrailer;
  if (record > static_cast<std::size_t>(IncomingLimit)) return false;
  session->plain = static_cast<char*>(std::malloc(session->sizes.cbMaximumMessage));
  session->outgoing = static_cast<char*>(std::malloc(record));
  return session->plain != nullptr && session->outgoing != nullptr;
}

// The close_notify alert, sent as a courtesy: nothing waits for the server's answer.
void SendCloseNotify(PlatformTlsSession* session) {
  DWORD type = SCHANNEL_SHUTDOWN;
  SecBuffer control{sizeof type, SECBUFFER_TOKEN, &type};
  SecBufferDesc controls{SECBUFFER_VERSION, 1, &control};
  if (ApplyControlToken(&session->context, &controls) != SEC_E_OK) return;
  SecBuffer outToken{0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc output{SECBUFFER_VERSION, 1, &outToken};
  ULONG attributes = 0;
  TimeStamp expiry;
  InitializeSecurityContextA(&session->credentials, &session->context, nullptr, RequestFlags, 0, 0, nullptr, 0,
                             nullptr, &output, &attributes, &expiry);
  SendToken(session, &outToken);
}

void Free(PlatformTlsSession* session) {
  if (session->hasContext) DeleteSecurityContext(&session->context);
  if (session->hasCredentials) FreeCredentialsHandle(&session->credentials);
  std::free(session->incoming);
  std::free(session->plain);
  std::free(session->outgoing);
  delete session;
}

enum class Decrypted { Data, NeedMore, Closed, Failed };

// After the handshake the server may send more handshake messages (TLS 1.3 session
// tickets, key updates); Schannel takes them through InitializeSecurityContext.
bool TakePostHandshake(PlatformTlsSession* session) {
  SecBuffer input[2] = {{static_cast<ULONG>(session->incomingLength), SECBUFFER_TOKEN, session->incoming},
                        {0, SECBUFFER_EMPTY, nullptr}};
  SecBufferDesc inputs{SECBUFFER_VERSION, 2, input};
  SecBuffer outToken{0, SECBUFFER_TOKEN, nullptr};
  SecBufferDesc output{SECBUFFER_VERSION, 1, &outToken};
  ULONG attributes = 0;
  TimeStamp expiry;
  const SECURITY_STATUS status =
      InitializeSecurityContextA(&session->credentials, &session->context, nullptr, RequestFlags, 0, 0,
                                 session->incomingLength > 0 ? &inputs : nullptr, 0, nullptr, &output, &attributes,
                                 &expiry);
  if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED) {
    SendToken(session, &outToken);
    return false;
  }
  if (!SendToken(session, &outToken)) return false;
  if (session->incomingLength > 0) KeepExtra(session, FindExtra(input, 2));
  return true;
}

// Decrypts the record at the start of the incoming buffer into the plain buffer.
Decrypted DecryptRecord(PlatformTlsSession* session) {
  SecBuffer buffers[4] = {{static_cast<ULONG>(session->incomingLength), SECBUFFER_DATA, session->incoming},
                          {0, SECBUFFER_EMPTY, nullptr},
                          {0, SECBUFFER_EMPTY, nullptr},
                          {0, SECBUFFER_EMPTY, nullptr}};
  SecBufferDesc message{SECBUFFER_VERSION, 4, buffers};
  const SECURITY_STATUS status = DecryptMessage(&session->context, &message, 0, nullptr);
  if (status == SEC_E_INCOMPLETE_MESSAGE) return Decrypted::NeedMore;
  if (status == SEC_I_CONTEXT_EXPIRED) return Decrypted::Closed;
  if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) return Decrypted::Failed;
  for (const SecBuffer& buffer : buffers) {
    if (buffer.BufferType != SECBUFFER_DATA) continue;
    if (buffer.cbBuffer > session->sizes.cbMaximumMessage) return Decrypted::Failed;
    std::memcpy(session->plain, buffer.pvBuffer, buffer.cbBuffer);
    session->plainOffset = 0;
    session->plainLength = static_cast<std::int32_t>(buffer.cbBuffer);
  }
  KeepExtra(session, FindExtra(buffers, 4));
  if (status == SEC_I_RENEGOTIATE && !TakePostHandshake(session)) return Decrypted::Failed;
  return Decrypted::Data;
}

}  // namespace

PlatformTlsSession* PlatformTlsStart(NativeHandle socket, const char* hostName, std::int32_t timeLimitMilliseconds) {
  if (hostName == nullptr || hostName[0] == '\0') return nullptr;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeLimitMilliseconds);
  auto* session = new (std::nothrow) PlatformTlsSession;
  if (session == nullptr) return nullptr;
  session->socket = socket;
  session->incoming = static_cast<char*>(std::malloc(IncomingLimit));
  const std::size_t nameLength = std::strlen(hostName);
  char* name = static_cast<char*>(std::malloc(nameLength + 1));
  bool started = session->incoming != nullptr && name != nullptr;
  if (started) std::memcpy(name, hostName, nameLength + 1);
  started = started && AcquireCredentials(session) && Handshake(session, name, deadline) &&
            CertificateTrustedFor(session, hostName) && AllocateRecordBuffers(session);
  std::free(name);
  if (!started) {
    Free(session);
    return nullptr;
  }
  return session;
}

std::int32_t PlatformTlsSend(PlatformTlsSession* session, const void* data, std::int32_t length) {
  if (length < 0) return PlatformSocketError;
  if (length == 0) return 0;
  const SecPkgContext_StreamSizes& sizes = session->sizes;
  const ULONG piece = static_cast<ULONG>(length) < sizes.cbMaximumMessage ? static_cast<ULONG>(length)
                                                                           : sizes.cbMaximumMessage;
  char* header = session->outgoing;
  std::memcpy(header + sizes.cbHeader, data, piece);
  SecBuffer buffers[4] = {{sizes.cbHeader, SECBUFFER_STREAM_HEADER, header},
                          {piece, SECBUFFER_DATA, header + sizes.cbHeader},
                          {sizes.cbTrailer, SECBUFFER_STREAM_TRAILER, header + sizes.cbHeader + piece},
                          {0, SECBUFFER_EMPTY, nullptr}};
  SecBufferDesc message{SECBUFFER_VERSION, 4, buffers};
  if (EncryptMessage(&session->context, 0, &message, 0) != SEC_E_OK) return PlatformSocketError;
  const auto recordLength = static_cast<std::int32_t>(buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
  if (!SendAllBytes(session->socket, header, recordLength)) return PlatformSocketError;
  return static_cast<std::int32_t>(piece);
}

std::int32_t PlatformTlsReceiveReady(PlatformTlsSession* session, void* buffer, std::int32_t size) {
  if (size <= 0) return PlatformSocketError;
  for (;;) {
    if (session->plainLength > 0) {
      const std::int32_t count = size < session->plainLength ? size : session->plainLength;
      std::memcpy(buffer, session->plain + session->plainOffset, static_cast<std::size_t>(count));
      session->plainOffset += count;
      session->plainLength -= count;
      return count;
    }
    if (session->closed) return 0;
    if (session->incomingLength > 0) {
      const Decrypted decrypted = DecryptRecord(session);
      if (decrypted == Decrypted::Failed) return PlatformSocketError;
      if (decrypted == Decrypted::Closed) session->closed = true;
      if (decrypted != Decrypted::NeedMore) continue;
    }
    if (session->incomingLength >= IncomingLimit) return PlatformSocketError;
    const std::int32_t received = PlatformSocketReceiveReady(
        session->socket, session->incoming + session->incomingLength, IncomingLimit - session->incomingLength);
    if (received == PlatformSocketWouldBlock) return received;
    if (received <= 0) return PlatformSocketError;  // closed without close_notify: maybe cut off
    session->incomingLength += received;
  }
}

bool PlatformTlsHasBuffered(const PlatformTlsSession* session) { return session->plainLength > 0; }

void PlatformTlsEnd(PlatformTlsSession* session) {
  if (session == nullptr) return;
  if (!session->closed) SendCloseNotify(session);
  Free(session);
}
