// The application's event loop: one event at a time, queued events first, otherwise one
// window message read, translated and dispatched.
#pragma once

#include <cstdint>

// The code of a queued event, else the number of the message processed; 0 when a timed
// wait ran out. -1 waits without limit, 0 does not wait.
std::int32_t EventWaitTimeout(std::int32_t milliseconds);
std::int32_t EventWait();
