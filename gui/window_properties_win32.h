// Names of the window properties that mark and link the runtime's windows and controls.
#pragma once

inline constexpr const char* PropertyWindowId = "QV_WindowID";     // window number + 1
inline constexpr const char* PropertyDropAccept = "QV_DropAccept"; // an OLE drop target
inline constexpr const char* PropertyFocus = "QV_Focus";           // control focused at deactivation
inline constexpr const char* PropertyGadgetId = "QV_ID";           // gadget number of a control
inline constexpr const char* PropertyHotkey = "QV_Hotkey";         // control that keeps every key
