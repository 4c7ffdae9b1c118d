// Test-bench program that builds a player with the product's build driver, so
// that a test can run the build from a folder of its own (with a planted
// gcc.exe beside it) and from a current folder of its choice.
//   build_player RECORDING OUTPUT
// Exit code: 0 built, 1 the compiler ran and failed, 2 no compiler was started,
// 3 no player source, 4 wrong arguments.
#include <windows.h>

#include <cstring>

#include "compile/build_driver_win.h"
#include "compile/build_texts.h"

int main(int argc, char** argv) {
    if (argc != 3) return 4;
    BuildResult result;
    if (BuildExecutable(argv[1], argv[2], &result)) return 0;
    if (strcmp(result.errorText, kCompilerNotStartedText) == 0) return 2;
    if (strcmp(result.errorText, kStubFailedText) == 0) return 3;
    return 1;
}
