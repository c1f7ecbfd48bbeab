// The hidden window through which events are handed over as a registered window message.
// Only Windows has it; elsewhere these do nothing.
#pragma once

void PostEventWindowCreate();
// Destroys the window if there is one; does nothing when it was never made.
void PostEventWindowDestroy();
