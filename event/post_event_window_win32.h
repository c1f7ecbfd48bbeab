// For the event loop: the hidden "PostEventClass" window, and the number of the registered
// message "QV_PostEventMessage". Its long parameter is the address of a MainHeap block laid
// out as an EventQueueNode (event/event_node.h); the window procedure queues that event,
// also while posting is suspended, and frees the block.
#pragma once

#include <windows.h>

HWND PostEventWindowHandle();
UINT PostEventMessageNumber();
