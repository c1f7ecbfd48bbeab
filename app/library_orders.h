// The program as the entry point sees it: its globals and the fixed start-up and
// shut-down orders of the runtime libraries.
#pragma once

#include "runtime/program.h"

extern const ProgramDescription TleProgram;
