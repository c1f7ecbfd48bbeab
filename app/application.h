// The application's job and its global variables.
#pragma once

#include <cstdint>

struct ApplicationGlobals {
  // String variables (StringHeap blocks; null is the empty string).
  char* firstTemporaryPath;
  char* secondTemporaryPath;
  char* satelliteListPath;
  char* satelliteListTemporaryPath;
  char* unfinishedDownloadPath;
  char* url;
  char* messageText;
  char* firstLine;
  char* secondLine;
  // The last event the loop took, and the window it concerns.
  std::int32_t lastEventCode;
  std::int32_t lastEventWindow;
};

extern ApplicationGlobals App;

// The application's statements, run by the entry point between start-up and ProgramEnd.
void ApplicationRun();
