// Arbitrary response bytes, split at points the fuzzer chooses, through the response
// parser. The first SplitBytes bytes of an input give the piece sizes (cycled); the rest is
// what the server sent. Fed once whole and once in pieces (never more than the parser
// wants, as the download asks), the two runs must agree on everything, and the body must
// respect its framing.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "net/http_response.h"

namespace {

constexpr std::size_t SplitBytes = 8;

struct Run {
  HttpStep last = HttpStep::NeedMore;
  int headersDone = 0;
  std::int32_t status = 0;
  std::string body;
};

bool Append(void* context, const char* data, std::int32_t length) {
  if (length <= 0) std::abort();  // the sink is never called with nothing
  static_cast<std::string*>(context)->append(data, static_cast<std::size_t>(length));
  return true;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

Run Parse(const char* data, std::size_t size, const std::uint8_t* splits, bool whole) {
  auto response = std::make_unique<HttpResponse>();
  HttpResponseBegin(response.get());
  Run run;
  std::size_t at = 0;
  std::size_t piece = 0;
  while (at < size && (run.last == HttpStep::NeedMore || run.last == HttpStep::HeadersDone)) {
    std::size_t length = whole ? size - at : static_cast<std::size_t>(splits[piece++ % SplitBytes] % 64) + 1;
    if (!whole) {
      const std::size_t wanted = static_cast<std::size_t>(HttpResponseWanted(response.get(), 2048));
      if (length > wanted) length = wanted;
      if (length == 0) length = 1;
    }
    if (length > size - at) length = size - at;
    std::int32_t consumed = 0;
    run.last = HttpResponseFeed(response.get(), data + at, static_cast<std::int32_t>(length), &consumed, Append,
                                &run.body);
    Check(consumed >= 0 && static_cast<std::size_t>(consumed) <= length);
    if (run.last == HttpStep::NeedMore) Check(static_cast<std::size_t>(consumed) == length);
    if (run.last == HttpStep::HeadersDone) ++run.headersDone;
    // A body byte is only ever handed on after the headers were reported.
    if (run.headersDone == 0) Check(run.body.empty());
    at += static_cast<std::size_t>(consumed);
    if (run.last == HttpStep::HeadersDone) run.last = HttpStep::NeedMore;
  }
  if (run.last == HttpStep::NeedMore && run.headersDone > 0) {
    // Whatever comes after a final step, the step stays final.
    run.last = HttpResponseClose(response.get());
    std::int32_t consumed = 0;
    Check(HttpResponseFeed(response.get(), "x", 1, &consumed, Append, &run.body) == run.last);
    Check(consumed == 0);
  }
  run.status = response->status;
  Check(run.headersDone <= 1);
  Check(response->bodyBytes == static_cast<std::int64_t>(run.body.size()));
  if (response->framing == HttpFraming::Length && run.headersDone) {
    Check(static_cast<std::int64_t>(run.body.size()) <= response->contentLength);
    if (run.last == HttpStep::BodyDone) Check(static_cast<std::int64_t>(run.body.size()) == response->contentLength);
  }
  if (response->hasLocation) Check(std::strlen(response->location) <= static_cast<std::size_t>(HttpLocationLimit));
  return run;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size) {
  if (size < SplitBytes) return 0;
  const char* data = reinterpret_cast<const char*>(input + SplitBytes);
  const std::size_t length = size - SplitBytes;
  const Run whole = Parse(data, length, input, true);
  const Run split = Parse(data, length, input, false);
  Check(whole.last == split.last);
  Check(whole.status == split.status);
  Check(whole.headersDone == split.headersDone);
  Check(whole.body == split.body);
  return 0;
}
