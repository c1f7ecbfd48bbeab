#include "runtime/program.h"

#include <cstring>

#include "runtime/heaps.h"
#include "runtime/pool.h"
#include "runtime/work_area.h"

namespace {

// The runtime's own globals, cleared with the application's.
const ProgramDescription* CurrentProgram;

void ClearGlobals(const ProgramDescription& program) {
  for (std::size_t i = 0; i < program.globalCount; ++i) {
    std::memset(program.globals[i].address, 0, program.globals[i].size);
  }
  InstanceHandle = 0;
  MainHeap = 0;
  WorkAreaClearState();
  PoolRegistryClearState();
}

void RunSteps(const LibraryStep* steps, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (steps[i].routine != nullptr) steps[i].routine();
  }
}

// Runs the start order; stops at the first library that is not ready.
bool RunStartSteps(const LibraryStep* steps, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (steps[i].routine != nullptr) steps[i].routine();
    if (steps[i].ready != nullptr && !steps[i].ready()) return false;
  }
  return true;
}

}  // namespace

bool ProgramStartup(const ProgramDescription& program) {
  ClearGlobals(program);
  CurrentProgram = &program;
  InstanceHandle = PlatformModuleHandle();
  MainHeap = PlatformHeapCreate(4096);
  if (MainHeap == 0) return false;
  if (!RunStartSteps(program.startOrder, program.startCount)) {
    ProgramShutdown();
    return false;
  }
  return true;
}

void ProgramShutdown() {
  if (CurrentProgram != nullptr) RunSteps(CurrentProgram->endOrder, CurrentProgram->endCount);
  WorkAreaRelease();
  PlatformHeapDestroy(MainHeap);
  MainHeap = 0;
  CurrentProgram = nullptr;
}

void ProgramEnd() {
  ProgramShutdown();
  PlatformExitProcess(0);
}

void ProgramEntry(const ProgramDescription& program) {
  if (!ProgramStartup(program)) PlatformExitProcess(ExitCodeNoHeap);
  if (program.application != nullptr) program.application();
  ProgramEnd();
}
