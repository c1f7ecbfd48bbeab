// Event codes posted by the window procedure and the gadgets, the commands of the Tab
// accelerators, and the result by which message handlers leave a message to default
// processing.
#pragma once

#include <cstdint>

constexpr std::int32_t EventGadgetAction = 13100;
constexpr std::int32_t EventMenuCommand = 13101;
constexpr std::int32_t EventTrayIcon = 13102;
constexpr std::int32_t EventWindowActivated = 13104;
constexpr std::int32_t EventWindowMinimized = 13107;
constexpr std::int32_t EventWindowMaximized = 13108;
constexpr std::int32_t EventWindowRestored = 13109;
constexpr std::int32_t EventTimerTick = 13110;
constexpr std::int32_t EventClickRight = 13111;
constexpr std::int32_t EventClickLeft = 13112;
constexpr std::int32_t EventDoubleClickLeft = 13113;
constexpr std::int32_t EventWindowDeactivated = 13114;
constexpr std::int32_t EventRedraw = 13115;
constexpr std::int32_t EventCloseWindow = 13116;
constexpr std::int32_t EventWindowMoved = 13117;
constexpr std::int32_t EventWindowSized = 13118;

// Commands of the two accelerator entries every window carries.
constexpr std::int32_t CommandTabNext = 64001;
constexpr std::int32_t CommandTabPrevious = 64002;

// The message a tray icon sends its window.
constexpr std::uint32_t TrayCallbackMessage = 12501;

// Returned by the runtime's message handlers for a message they leave to the default
// window procedure. Pointer-sized like every window procedure result.
constexpr std::intptr_t ResultNotHandled = static_cast<std::intptr_t>(static_cast<std::int32_t>(0xD0D0D0D1u));
