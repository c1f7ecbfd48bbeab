// The Win32 procedures of the gui library: every window's class procedure and message
// handler, the gadget subclass and the gadget-list subclass.
#pragma once

#include <windows.h>

LRESULT CALLBACK WindowClassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The result, or ResultNotHandled to leave the message to the default procedure.
LRESULT WindowMessageHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GadgetProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GadgetListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Calls a saved window procedure in the character set the window now uses, or the default
// procedure when there is none.
LRESULT CallPreviousProcedure(LONG_PTR previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
