// Response parsing, one byte of framing at a time so that a piece may end anywhere.
//
// Lines end at LF; a CR right before it is dropped. The header block is
//   status-line = "HTTP/1." DIGIT SP 3DIGIT [ SP reason ] LF
//   header      = name ":" *blank value LF      (names in any letter case)
//   end         = empty line
// and a chunked body is (its grammar, as we accept it)
//   chunk       = 1*16HEXDIG *blank [ ";" extension ] CRLF data CRLF
//   last-chunk  = 1*("0") ... CRLF, then trailer lines up to an empty line.
#include "net/http_response.h"

#include <cstring>

namespace {

enum State : std::int32_t {
  StatusLine,         // bytes of the status line; its start is kept in statusText
  LineStart,          // first byte of a header line, or the end of the block
  LineStartCR,        // a CR began the line: LF makes it the empty line
  HeaderName,         // name bytes up to ":"
  HeaderValue,        // value bytes up to LF, read as the header asks
  BodyLength,         // body bytes counted against the content length
  BodyUntilClose,     // body bytes until the peer closes
  ChunkSize,          // hex digits of a chunk size
  ChunkSizeBlank,     // blanks after the digits
  ChunkExtension,     // ";" extension, skipped
  ChunkSizeCR,        // the size line's CR was seen: LF must follow
  ChunkData,          // data bytes of the chunk
  ChunkDataEnd,       // CR (or LF) after the data
  ChunkDataLF,        // LF after that CR
  TrailerLineStart,   // after the last chunk: a trailer line or the final empty line
  TrailerEndLF,       // a CR began the line: LF ends the body
  TrailerLine,        // a trailer line, discarded
  Done,
  Broken,
};

enum Header : std::int32_t { OtherHeader, ContentLengthHeader, TransferEncodingHeader, LocationHeader };

// How a Content-Length value is read: blanks, digits, blanks; anything else is malformed.
enum LengthValueState : std::int32_t { LengthBeforeDigits, LengthDigits, LengthAfterDigits };

constexpr char ChunkedWord[] = "chunked";
constexpr std::int32_t ChunkedWordLength = 7;
constexpr std::int64_t LargestBody = 0x7FFFFFFF;  // results are 32-bit counts

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "HTTP/1.x NNN" followed by the end of the line or a blank; the code, or 0.
std::int32_t ParseStatusLine(const char* text, std::int32_t length) {
  if (length < 12 || std::memcmp(text, "HTTP/1.", 7) != 0 || !IsDigit(text[7]) || text[8] != ' ') return 0;
  if (!IsDigit(text[9]) || !IsDigit(text[10]) || !IsDigit(text[11])) return 0;
  if (length > 12 && text[12] != ' ') return 0;
  return (text[9] - '0') * 100 + (text[10] - '0') * 10 + (text[11] - '0');
}

Header ClassifyName(const HttpResponse* r) {
  const std::int32_t n = r->nameLength;
  if (n < 0) return OtherHeader;
  if (n == 14 && std::memcmp(r->name, "content-length", 14) == 0) return ContentLengthHeader;
  if (n == 17 && std::memcmp(r->name, "transfer-encoding", 17) == 0) return TransferEncodingHeader;
  if (n == 8 && std::memcmp(r->name, "location", 8) == 0) return LocationHeader;
  return OtherHeader;
}

void StartHeaderValue(HttpResponse* r) {
  r->header = ClassifyName(r);
  r->valueState = LengthBeforeDigits;
  r->matchIndex = 0;
  r->lengthValue = 0;
  if (r->header == LocationHeader) {
    r->hasLocation = true;
    r->locationTooLong = false;
    r->locationLength = 0;
  }
}

// A value byte other than the line's LF. False: the header is malformed.
bool TakeValueByte(HttpResponse* r, char c) {
  if (c == '\r') return true;  // the CR before LF; a stray one means nothing either
  switch (r->header) {
    case ContentLengthHeader:
      if (IsDigit(c) && r->valueState != LengthAfterDigits) {
        r->valueState = LengthDigits;
        r->lengthValue = r->lengthValue * 10 + (c - '0');
        return r->lengthValue <= LargestBody;
      }
      if (IsBlank(c)) {
        if (r->valueState == LengthDigits) r->valueState = LengthAfterDigits;
        return true;
      }
      return false;  // a sign, a letter, a second number: not a length we can trust
    case TransferEncodingHeader:
      if (r->matchIndex < ChunkedWordLength) {
        if (Lower(c) == ChunkedWord[r->matchIndex]) {
          if (++r->matchIndex == ChunkedWordLength) r->chunked = true;
        } else {
          r->matchIndex = Lower(c) == ChunkedWord[0] ? 1 : 0;
        }
      }
      return true;
    case LocationHeader:
      if (r->locationLength == 0 && IsBlank(c)) return true;
      if (r->locationLength >= HttpLocationLimit) {
        r->locationTooLong = true;
      } else {
        r->location[r->locationLength++] = c;
      }
      return true;
    default:
      return true;
  }
}

// The value's LF. False: the header is malformed.
bool EndHeaderValue(HttpResponse* r) {
  if (r->header == ContentLengthHeader) {
    if (r->valueState == LengthBeforeDigits) return false;
    // Two different lengths leave no way to know where the body ends.
    if (r->contentLength >= 0 && r->contentLength != r->lengthValue) return false;
    r->contentLength = r->lengthValue;
  } else if (r->header == LocationHeader) {
    while (r->locationLength > 0 && IsBlank(r->location[r->locationLength - 1])) --r->locationLength;
    r->location[r->locationLength] = '\0';
  }
  return true;
}

// After the empty line: chunked coding wins over a length; neither means until close.
void ChooseFraming(HttpResponse* r) {
  if (r->chunked) {
    r->framing = HttpFraming::Chunked;
    r->state = ChunkSize;
    r->chunkSize = 0;
    r->chunkDigits = 0;
    r->chunkLineBytes = 0;
  } else if (r->contentLength >= 0) {
    r->framing = HttpFraming::Length;
    r->remaining = r->contentLength;
    r->state = r->remaining == 0 ? Done : BodyLength;
  } else {
    r->framing = HttpFraming::UntilClose;
    r->state = BodyUntilClose;
  }
}

// One byte of the status line or header block. Returns false when the response is broken.
// Sets *headersDone when the byte ended the block.
bool TakeHeaderByte(HttpResponse* r, char c, bool* headersDone) {
  if (++r->headerBytes > HttpHeaderLimit) return false;
  switch (r->state) {
    case StatusLine:
      if (c == '\n') {
        r->status = ParseStatusLine(r->statusText, r->statusLength);
        if (r->status == 0) return false;
        r->state = LineStart;
      } else if (c != '\r' && r->statusLength < static_cast<std::int32_t>(sizeof r->statusText)) {
        r->statusText[r->statusLength++] = c;
      }
      return true;
    case LineStart:
    case LineStartCR:
      if (c == '\n') {
        ChooseFraming(r);
        *headersDone = true;
        return true;
      }
      if (c == '\r' && r->state == LineStart) {
        r->state = LineStartCR;
        return true;
      }
      r->nameLength = 0;
      r->state = HeaderName;
      [[fallthrough]];
    case HeaderName:
      if (c == ':') {
        StartHeaderValue(r);
        r->state = HeaderValue;
      } else if (c == '\n') {
        r->state = LineStart;  // a line without a colon carries nothing we use
      } else if (r->nameLength >= 0 && r->nameLength < static_cast<std::int32_t>(sizeof r->name)) {
        r->name[r->nameLength++] = Lower(c);
      } else {
        r->nameLength = -1;  // longer than any name we look for
      }
      return true;
    case HeaderValue:
      if (c == '\n') {
        r->state = LineStart;
        return EndHeaderValue(r);
      }
      return TakeValueByte(r, c);
    default:
      return false;
  }
}

// One byte of chunk framing (sizes, CR LF after data, trailers). Returns false when broken.
bool TakeChunkFramingByte(HttpResponse* r, char c) {
  switch (r->state) {
    case ChunkSize: {
      if (++r->chunkLineBytes > HttpChunkLineLimit) return false;
      const int digit = HexValue(c);
      if (digit >= 0) {
        if (++r->chunkDigits > HttpChunkSizeDigitLimit) return false;
        r->chunkSize = (r->chunkSize << 4) | static_cast<std::uint64_t>(digit);
        return true;
      }
      if (r->chunkDigits == 0) return false;
      if (IsBlank(c)) r->state = ChunkSizeBlank;
      else if (c == ';') r->state = ChunkExtension;
      else if (c == '\r') r->state = ChunkSizeCR;
      else if (c == '\n') break;
      else return false;
      return true;
    }
    case ChunkSizeBlank:
      if (++r->chunkLineBytes > HttpChunkLineLimit) return false;
      if (IsBlank(c)) return true;
      if (c == ';') r->state = ChunkExtension;
      else if (c == '\r') r->state = ChunkSizeCR;
      else if (c == '\n') break;
      else return false;
      return true;
    case ChunkExtension:
      if (++r->chunkLineBytes > HttpChunkLineLimit) return false;
      if (c == '\r') r->state = ChunkSizeCR;
      else if (c == '\n') break;
      return true;
    case ChunkSizeCR:
      if (c != '\n') return false;
      break;
    case ChunkDataEnd:
      if (c == '\r') r->state = ChunkDataLF;
      else if (c == '\n') r->state = ChunkSize;
      else return false;  // the data ran longer than its size said
      r->chunkSize = 0;
      r->chunkDigits = 0;
      r->chunkLineBytes = 0;
      return true;
    case ChunkDataLF:
      if (c != '\n') return false;
      r->state = ChunkSize;
      return true;
    case TrailerLineStart:
    case TrailerEndLF:
    case TrailerLine:
      if (++r->trailerBytes > HttpHeaderLimit) return false;
      if (c == '\n') {
        r->state = r->state == TrailerLine ? TrailerLineStart : Done;
      } else if (c == '\r' && r->state == TrailerLineStart) {
        r->state = TrailerEndLF;
      } else {
        r->state = TrailerLine;
      }
      return true;
    default:
      return false;
  }
  // The size line ended.
  if (r->chunkSize == 0) {
    r->state = TrailerLineStart;
    r->trailerBytes = 0;
    return true;
  }
  if (r->chunkSize > static_cast<std::uint64_t>(LargestBody - r->bodyBytes)) return false;
  r->remaining = static_cast<std::int64_t>(r->chunkSize);
  r->state = ChunkData;
  return true;
}

bool Deliver(HttpResponse* r, const char* data, std::int32_t length, HttpBodySink sink, void* context) {
  if (length <= 0) return true;
  if (r->bodyBytes + length > LargestBody) return false;
  r->bodyBytes += length;
  return sink == nullptr || sink(context, data, length);
}

}  // namespace

void HttpResponseBegin(HttpResponse* response) {
  std::memset(response, 0, sizeof *response);
  response->contentLength = -1;
  response->framing = HttpFraming::UntilClose;
  response->state = StatusLine;
}

HttpStep HttpResponseFeed(HttpResponse* response, const char* data, std::int32_t length, std::int32_t* consumed,
                          HttpBodySink sink, void* context) {
  HttpResponse* r = response;
  std::int32_t at = 0;
  HttpStep step = HttpStep::NeedMore;
  while (step == HttpStep::NeedMore) {
    if (r->state == Done) {
      step = HttpStep::BodyDone;
      break;
    }
    if (r->state == Broken) {
      step = HttpStep::Failed;
      break;
    }
    if (at >= length) break;
    bool ok = true;
    switch (r->state) {
      case StatusLine:
      case LineStart:
      case LineStartCR:
      case HeaderName:
      case HeaderValue: {
        bool headersDone = false;
        ok = TakeHeaderByte(r, data[at++], &headersDone);
        if (ok && headersDone) step = HttpStep::HeadersDone;
        break;
      }
      case BodyLength:
      case ChunkData: {
        std::int32_t n = length - at;
        if (n > r->remaining) n = static_cast<std::int32_t>(r->remaining);
        ok = Deliver(r, data + at, n, sink, context);
        at += n;
        r->remaining -= n;
        if (r->remaining == 0) r->state = r->state == BodyLength ? Done : ChunkDataEnd;
        break;
      }
      case BodyUntilClose:
        ok = Deliver(r, data + at, length - at, sink, context);
        at = length;
        break;
      default:
        ok = TakeChunkFramingByte(r, data[at++]);
        break;
    }
    if (!ok) r->state = Broken;
  }
  *consumed = at;
  return step;
}

HttpStep HttpResponseClose(HttpResponse* response) {
  switch (response->state) {
    case BodyUntilClose:
    case TrailerLineStart:  // the last chunk has come: every body byte is here
    case TrailerEndLF:
    case TrailerLine:
      response->state = Done;
      [[fallthrough]];
    case Done:
      return HttpStep::BodyDone;
    default:
      response->state = Broken;
      return HttpStep::Failed;
  }
}

std::int32_t HttpResponseWanted(const HttpResponse* response, std::int32_t blockSize) {
  if (response->state == BodyLength && response->remaining < blockSize) {
    return static_cast<std::int32_t>(response->remaining);
  }
  return blockSize;
}
