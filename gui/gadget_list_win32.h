// The current gadget list's state, shared by the gadget layer's files.
#pragma once

#include "platform/platform.h"

void GadgetListStateCreate(NativeHandle font);
// The font every new gadget gets (the stock GUI font); 0 before GadgetInit.
NativeHandle GadgetListFont();
