// Windows-1251 text converted to UTF-16 at the Win32 edge, so that Russian texts show
// correctly whatever the system's ANSI code page is.
#pragma once

#include <windows.h>

// A MainHeap copy of text (null: the empty string) in UTF-16; free it with MainHeapFree.
// Null when memory runs out.
WCHAR* WideFrom1251(const char* text);
