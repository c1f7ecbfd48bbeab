// Plain Win32 top-level windows for the gui tests, made without the runtime's window
// library, and a helper that waits for something another thread does.
#pragma once

#include <windows.h>

#include <chrono>
#include <thread>

inline HWND RawWindowCreate(DWORD style, DWORD exStyle = 0, int width = 200, int height = 100) {
  static const wchar_t* className = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TleTestRawWindow";
    RegisterClassW(&windowClass);
    return L"TleTestRawWindow";
  }();
  return CreateWindowExW(exStyle, className, L"raw", style, 10, 10, width, height, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

inline bool IsTopmost(HWND window) { return (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// Handles whatever is waiting in this thread's message queue.
inline void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Polls condition for up to timeoutMs; true as soon as it holds. Keeps this thread's
// windows answering meanwhile: other threads' window calls may send them messages.
template <typename Condition>
bool WaitFor(Condition condition, int timeoutMs = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    PumpMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return condition();
}

// Makes window the foreground window, as a click on it would.
inline bool BringToForeground(HWND window) {
  SetForegroundWindow(window);
  return WaitFor([window] { return GetForegroundWindow() == window; }, 2000);
}
