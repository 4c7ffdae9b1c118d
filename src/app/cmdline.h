// Command-line scanning for the optional .rec path. Portable: the file-system
// test lives in the Win32 layer (FindRecPathArgument).
#pragma once

#include "base/path_size.h"

constexpr int kPathBufferSize = kPathBytes;

// Copies the first argument of `cmdLine` (UTF-8; after leading blanks; a quoted
// argument runs to the next quote, an unquoted one to the next blank; at most
// 259 characters, counted as the system counts them, in UTF-16 units) into
// `out`, which must hold kPathBufferSize bytes. Returns 1 when the copy is at
// least 4 characters long and ends in ".rec", ignoring case.
int ScanRecPathArgument(const char* cmdLine, char* out);
