#include "runtime/run_once.h"

#include "platform/platform.h"
#include "runtime/atomics.h"

namespace {

constexpr std::int32_t NotRun = 0;
constexpr std::int32_t Running = 1;
constexpr std::int32_t Done = 2;

}  // namespace

void RunOnce(RunOnceState* state, RunOnceRoutine routine) {
  if (PlatformRunOnce(&state->systemObject, routine)) return;
  RunOnceByCompareExchange(state, routine);
}

void RunOnceByCompareExchange(RunOnceState* state, RunOnceRoutine routine) {
  const std::int32_t old = AtomicCompareExchange(&state->word, Running, NotRun);
  if (old == NotRun) {
    routine();
    AtomicExchange(&state->word, Done);
    return;
  }
  // Another thread runs the routine: give up the time slice until it has finished. The
  // state is read with a locked operation (it changes nothing) so that what the routine
  // wrote is visible here once Done is seen.
  while (AtomicCompareExchange(&state->word, Done, Done) != Done) PlatformSleep(0);
}
