// Turns a fuzzer's bytes into the zero-terminated text the parsers take.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

inline std::string FuzzText(const uint8_t* data, size_t size) { return std::string((const char*)data, size); }
