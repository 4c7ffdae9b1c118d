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

// Writes `size` bytes to `path`, replacing it; true when all of them were written.
inline bool WriteBytes(const std::string& path, const void* data, size_t size) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}
