// Off Windows there is no hidden window: events are posted only by the thread that runs
// the event loop.
#include "event/post_event_window.h"

void PostEventWindowCreate() {}
void PostEventWindowDestroy() {}
