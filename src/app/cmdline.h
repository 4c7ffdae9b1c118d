// Command-line scanning for the optional .rec path. Portable: the file-system
// test lives in the Win32 layer (FindRecPathArgument).
#pragma once

constexpr int kPathBufferSize = 260;

// Copies the first argument of `cmdLine` (after leading blanks; a quoted argument
// runs to the next quote, an unquoted one to the next blank; at most 259
// characters) into `out`, which must hold kPathBufferSize bytes. Returns 1 when
// the copy is at least 4 characters long and ends in ".rec", ignoring case.
int ScanRecPathArgument(const char* cmdLine, char* out);
