#include "app/application.h"

#include "runtime/program.h"

ApplicationGlobals App;

void ApplicationRun() { ProgramEnd(); }
