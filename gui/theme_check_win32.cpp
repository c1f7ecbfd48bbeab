// Whether the status bar's texts must keep clear of a themed size grip: the common-controls
// version and the application's theme, both looked up at run time because older systems
// have neither entry.
#include <windows.h>

#include <shlwapi.h>

#include "gui/status_bar.h"

std::int32_t ThemedControls = 0;

namespace {

std::uint32_t CommonControlsVersion = 0;

// GetProcAddress gives a generic pointer; the entries' own types are these.
template <typename Function>
Function EntryPoint(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

std::uint32_t ReadCommonControlsVersion() {
  HMODULE library = LoadLibraryA("COMCTL32.DLL");
  if (library == nullptr) return 0;
  std::uint32_t version = 1;  // a library without the entry predates version numbers
  if (auto getVersion = EntryPoint<DLLGETVERSIONPROC>(library, "DllGetVersion")) {
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    version = SUCCEEDED(getVersion(&info)) ? (info.dwMajorVersion << 16) | (info.dwMinorVersion & 0xFFFF) : 0;
  }
  FreeLibrary(library);
  return version;
}

}  // namespace

std::uint32_t ThemeCheck() {
  if (CommonControlsVersion != 0) return CommonControlsVersion;
  const std::uint32_t version = ReadCommonControlsVersion();
  // uxtheme stays loaded: the answer is asked again only while the version is unknown.
  if (HMODULE uxtheme = LoadLibraryA("uxtheme.dll")) {
    if (auto isAppThemed = EntryPoint<BOOL(WINAPI*)()>(uxtheme, "IsAppThemed")) {
      ThemedControls = (isAppThemed() && version >= 0x60000) ? 1 : 0;
    }
  }
  CommonControlsVersion = version;
  return version;
}
