// The program's frame: start-up brings the libraries up in a fixed order, runs the
// application's statements, and ProgramEnd takes the libraries down in a fixed order.
#pragma once

#include <cstddef>

// One library's initialiser or finaliser in one of the two orders.
struct LibraryStep {
  const char* library;
  void (*routine)();
  // Optional: false after the routine means the library could not set up something the
  // program cannot run without (a heap); start-up then stops.
  bool (*ready)() = nullptr;
};

// A block of global variables cleared before anything else happens.
struct GlobalBlock {
  void* address;
  std::size_t size;
};

struct ProgramDescription {
  const GlobalBlock* globals;
  std::size_t globalCount;
  const LibraryStep* startOrder;
  std::size_t startCount;
  const LibraryStep* endOrder;
  std::size_t endCount;
  void (*application)();
};

// Exit code of a program whose heaps could not be created at start-up.
constexpr int ExitCodeNoHeap = 2;

// Start-up, then the application; ends the process through ProgramEnd, also when the
// application returns without calling it.
[[noreturn]] void ProgramEntry(const ProgramDescription& program);

// Runs the finalisers, releases the work area, destroys MainHeap and ends the process
// with exit code 0.
[[noreturn]] void ProgramEnd();

// The two halves of the above without ending the process. ProgramStartup returns false
// when a heap cannot be created; the finalisers of the libraries already started have
// then run and MainHeap is gone.
bool ProgramStartup(const ProgramDescription& program);
void ProgramShutdown();
