// How big a path buffer is. Paths inside the program are UTF-8, so that a
// folder named in any script keeps its name; the Win32 layer turns them into
// UTF-16 at the system's W functions (base/wide_text_win.h). A path of the
// system's 259 UTF-16 units takes at most three bytes for each. Portable.
#pragma once

constexpr int kPathUnits = 260;                       // MAX_PATH: 259 and the terminator
constexpr int kPathBytes = 3 * (kPathUnits - 1) + 1;  // the same path as UTF-8
