// The test bench's gcc.exe: the compiler bridge built with its test modes
// (failure, hang, command-line log; see tools/gccbridge/gccbridge_win.cpp).
// Tests copy it as gcc.exe into a folder they put first on the search path.
#define QUORREL_BRIDGE_TEST 1
#include "../../tools/gccbridge/gccbridge_win.cpp"
