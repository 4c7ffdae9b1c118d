// Where the program's UTF-8 texts and paths meet the system's UTF-16 (W)
// functions, and the ASCII forms of paths for what takes only the ANSI code
// page (the A functions, the compiler). Any thread.
#pragma once
#include <windows.h>

#include "base/path_size.h"

// 1 when every byte of the text is ASCII.
int IsAsciiText(const char* text);
// UTF-8 to UTF-16 into `out` (`size` units). 1 when the whole text fit; else
// 0, and `out` is empty.
int ToWide(const char* text, WCHAR* out, int size);
// UTF-16 to UTF-8 into `out` (`size` bytes), cut before the first character
// that does not fit. 1 when nothing was cut.
int ToUtf8(const WCHAR* text, char* out, int size);

// A UTF-8 path as the W file functions take it; `ok` is 0 for a null or empty
// path and for one longer than the system's limit.
struct WidePath {
    explicit WidePath(const char* path) : ok(ToWide(path, text, MAX_PATH) && text[0]) {}
    WCHAR text[MAX_PATH];
    int ok;
};

// The ASCII spelling of an existing file or folder: the path itself when it is
// ASCII, else its short (8.3) form when that is. 0 when it has none.
int AsciiPathForm(const char* path, char* out, int size);
// A folder for temporary files whose path is ASCII, ending in a backslash: the
// user's temporary folder or its short form, else the Windows folder's Temp
// (which every user may write to). 0 when there is none.
int AsciiTempFolder(char* out, int size);

// A message box of UTF-8 text and caption: a path in it shows in its own script.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT flags);
