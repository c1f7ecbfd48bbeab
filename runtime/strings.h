// String variables (StringHeap blocks; null is the empty string) and the runtime's small
// string copies.
#pragma once

#include <cstdint>

// Copies the text from offset start to WorkAreaPosition into the variable and sets
// WorkAreaPosition back to start.
void StringAssign(char** variable, std::int32_t start);
// Gives the variable a new block holding a copy of text; a null text leaves it unchanged.
void StringSet(char** variable, const char* text);
void StringFree(char* block);
// A malloc'ed copy (null is copied as the empty string), freed with StringRelease.
char* StringDuplicate(const char* text);
void StringRelease(char* copy);
