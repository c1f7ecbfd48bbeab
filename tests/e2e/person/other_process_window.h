// Reading the program's window from another process, as a person at the screen would:
// its title, its status text and its message boxes. Everything sent to the program's
// windows goes with a short time limit, because its thread answers only while it waits
// for messages (never during a download).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The first top-level window whose title is exactly title, or null.
HWND FindTopLevelWindow(const std::wstring& title);

// The window's title, read without the help of its thread.
std::wstring WindowTitle(HWND window);

// The text of a control of another process (WM_GETTEXT, marshalled across processes);
// false when its thread does not answer in time.
bool ControlText(HWND control, std::wstring* text);

// True when the window's thread takes and answers a message within a short time.
bool ThreadAnswers(HWND window);

// The status-bar control among the window's children, or null.
HWND StatusBarOf(HWND window);

struct MessageBoxSeen {
  HWND window;
  std::wstring title;
  std::wstring text;
};

// Dialog boxes (class "#32770") of the given process, visible or not.
std::vector<HWND> DialogBoxesOf(DWORD processId);

// Title and text of a message box: the text is that of its static controls.
MessageBoxSeen ReadMessageBox(HWND box);

// Presses the box's OK button.
void PressOk(HWND box);
