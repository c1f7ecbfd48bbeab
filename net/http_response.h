// The response side of an HTTP/1.1 download as a resumable state machine: status line,
// header block, and the body by content length, chunked coding or until the peer closes.
// It takes received bytes in pieces of any size, split anywhere, and hands body bytes to
// a sink as spans of the caller's block; it never touches a socket or a file.
#pragma once

#include <cstdint>

// Named caps on what a server may make us hold or count.
constexpr std::int32_t HttpHeaderLimit = 64 * 1024;     // status line + headers, and trailers
constexpr std::int32_t HttpLocationLimit = 8 * 1024;    // a longer redirect target fails
constexpr std::int32_t HttpChunkSizeDigitLimit = 16;    // hex digits of one chunk size
constexpr std::int32_t HttpChunkLineLimit = 4 * 1024;   // chunk-size line with its extension

enum class HttpStep {
  NeedMore,     // every byte given was taken; feed more, or close
  HeadersDone,  // the header block ended; consumed stops right after it
  BodyDone,     // the body is complete; later bytes are not looked at
  Failed,       // malformed or over a cap; final
};

enum class HttpFraming { Length, Chunked, UntilClose };

// Receives body bytes; false (a failed write) fails the response.
using HttpBodySink = bool (*)(void* context, const char* data, std::int32_t length);

struct HttpResponse {
  // Results, valid once HeadersDone has been reported.
  std::int32_t status;
  HttpFraming framing;
  std::int64_t contentLength;  // -1 without a Content-Length header
  bool chunked;
  bool hasLocation;
  bool locationTooLong;
  std::int32_t locationLength;
  char location[HttpLocationLimit + 1];
  std::int64_t bodyBytes;  // handed to the sink so far

  // Parser state; see http_response.cpp.
  std::int32_t state;
  std::int32_t headerBytes;
  std::int32_t header;         // which header the current line carries
  std::int32_t statusLength;   // bytes of the status line kept in statusText
  char statusText[16];
  std::int32_t nameLength;
  char name[24];
  std::int32_t valueState;
  std::int32_t matchIndex;     // "chunked" matched so far in a Transfer-Encoding value
  std::int64_t lengthValue;    // the Content-Length being read
  std::int64_t remaining;      // body bytes still due: of the length, or of the chunk
  std::uint64_t chunkSize;
  std::int32_t chunkDigits;
  std::int32_t chunkLineBytes;
  std::int32_t trailerBytes;
};

void HttpResponseBegin(HttpResponse* response);
// Takes bytes from data and reports how many in *consumed. Stops right after the header
// block so the caller can look at the status before any body byte goes to the sink.
HttpStep HttpResponseFeed(HttpResponse* response, const char* data, std::int32_t length, std::int32_t* consumed,
                          HttpBodySink sink, void* context);
// The peer closed in order: BodyDone when that completes the body, else Failed.
HttpStep HttpResponseClose(HttpResponse* response);
// The most bytes worth receiving next, at most blockSize: a body of known length is never
// read past its end.
std::int32_t HttpResponseWanted(const HttpResponse* response, std::int32_t blockSize);
