// File helpers the Win32 test suites share.
#pragma once
#include <cstdio>
#include <string>

// The whole file, or "" when it cannot be read.
inline std::string ReadText(const std::string& path) {
    std::string text;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) text.append(buf, n);
    fclose(f);
    return text;
}
