#include "app/element_sets.h"

#include <cstdlib>
#include <cstring>

#include "platform/platform_file.h"

namespace {

constexpr std::size_t DataLineLength = 69;

struct Line {
  const char* text;
  std::size_t length;
};

// The next line from *position (its LF and one CR before it taken off); false at the end.
bool NextLine(const char* text, std::size_t length, std::size_t* position, Line* line) {
  if (*position >= length) return false;
  const char* start = text + *position;
  const void* newline = std::memchr(start, '\n', length - *position);
  std::size_t lineLength = newline != nullptr ? static_cast<std::size_t>(static_cast<const char*>(newline) - start)
                                              : length - *position;
  *position += lineLength + (newline != nullptr ? 1 : 0);
  if (lineLength > 0 && start[lineLength - 1] == '\r') --lineLength;
  *line = Line{start, lineLength};
  return true;
}

bool IsDataLine(const Line& line, char number) {
  return line.length >= 2 && line.text[0] == number && line.text[1] == ' ';
}

bool ChecksumHolds(const Line& line) {
  unsigned sum = 0;
  for (std::size_t i = 0; i + 1 < DataLineLength; ++i) {
    const char c = line.text[i];
    if (c >= '0' && c <= '9') sum += static_cast<unsigned>(c - '0');
    if (c == '-') sum += 1;
  }
  const char last = line.text[DataLineLength - 1];
  return last >= '0' && last <= '9' && sum % 10 == static_cast<unsigned>(last - '0');
}

bool DataLineValid(const Line& line, char number) {
  return IsDataLine(line, number) && line.length == DataLineLength && ChecksumHolds(line);
}

// Columns 3 to 7 of both lines: the satellite's catalogue number.
bool SameCatalogueNumber(const Line& first, const Line& second) {
  return std::memcmp(first.text + 2, second.text + 2, 5) == 0;
}

// "<" followed by a letter, "/", "!" or "?": the start of a tag, a comment or a doctype.
bool LooksLikeHtml(const char* text, std::size_t length) {
  for (std::size_t i = 0; i + 1 < length; ++i) {
    if (text[i] != '<') continue;
    const char next = text[i + 1];
    if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') || next == '/' || next == '!' || next == '?') {
      return true;
    }
  }
  return false;
}

bool IsBlank(const Line& line) {
  for (std::size_t i = 0; i < line.length; ++i) {
    if (line.text[i] != ' ' && line.text[i] != '\t') return false;
  }
  return true;
}

}  // namespace

bool ElementSetsValid(const char* text, std::size_t length) {
  if (text == nullptr || LooksLikeHtml(text, length)) return false;
  std::size_t position = 0;
  std::size_t sets = 0;
  Line line;
  while (NextLine(text, length, &position, &line)) {
    if (IsBlank(line)) continue;
    // A name line must be followed by line 1.
    if (!IsDataLine(line, '1') && !IsDataLine(line, '2')) {
      if (!NextLine(text, length, &position, &line)) return false;
    }
    Line first = line;
    Line second;
    if (!DataLineValid(first, '1') || !NextLine(text, length, &position, &second) || !DataLineValid(second, '2') ||
        !SameCatalogueNumber(first, second)) {
      return false;
    }
    ++sets;
  }
  return sets > 0;
}

bool ElementSetFileValid(const char* path) {
  const NativeHandle file = PlatformFileOpenRead(path);
  if (file == 0) return false;
  std::size_t capacity = 64 * 1024;
  std::size_t length = 0;
  char* text = static_cast<char*>(std::malloc(capacity));
  bool readable = text != nullptr;
  while (readable) {
    if (length == capacity) {
      if (capacity > ElementSetFileLimit) {  // a byte past the limit has come: too long
        readable = false;
        break;
      }
      capacity = capacity * 2 > ElementSetFileLimit ? ElementSetFileLimit + 1 : capacity * 2;
      char* larger = static_cast<char*>(std::realloc(text, capacity));
      if (larger == nullptr) {
        readable = false;
        break;
      }
      text = larger;
    }
    const std::int32_t got = PlatformFileRead(file, text + length, static_cast<std::int32_t>(capacity - length));
    if (got < 0) readable = false;
    if (got <= 0) break;
    length += static_cast<std::size_t>(got);
  }
  PlatformFileClose(file);
  const bool valid = readable && ElementSetsValid(text, length);
  std::free(text);
  return valid;
}
