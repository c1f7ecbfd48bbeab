// The image gadget's subclass procedure, for code that stacks its own subclass on it.
#pragma once

#include <windows.h>

LRESULT CALLBACK ImageGadgetProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
