// The Windows entry point: hands over to the program's own start-up at once.
#include <windows.h>

#include "app/library_orders.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { ProgramEntry(TleProgram); }
