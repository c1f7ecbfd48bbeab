// The application's job and its global variables.
#pragma once

#include <cstdint>

struct ApplicationGlobals {
  std::int32_t lastEventCode;
  std::int32_t lastEventWindow;
};

extern ApplicationGlobals App;

// The application's statements, run by the entry point between start-up and ProgramEnd.
void ApplicationRun();
