// The string work area: one growable StringHeap buffer in which temporary string results
// are built, and from which they are copied into string variables.
//
// A routine with a string result takes the offset at which to write it and leaves
// WorkAreaPosition just after it. Any reservation may move the buffer, so only offsets
// survive a call that writes into the work area; pointers are taken afresh afterwards.
#pragma once

#include <cstdint>

#include "platform/platform.h"

extern NativeHandle StringHeap;
extern char* WorkAreaBase;
extern std::int32_t WorkAreaCapacity;
extern std::int32_t WorkAreaPosition;

// Library initialiser and its readiness check, and the release at the program's end.
void WorkAreaInit();
bool WorkAreaReady();
void WorkAreaRelease();
void WorkAreaClearState();

char* WorkAreaReserve(std::int32_t length, std::int32_t offset);
void WorkAreaAppend(const char* text);
void WorkAreaShrink(std::int32_t count);
// Offset + 1 of a pointer into the text built so far, or 0 for a pointer elsewhere.
std::int32_t WorkAreaOffsetOf(const char* pointer);
char* WorkAreaPointer(std::int32_t k);
