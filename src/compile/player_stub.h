// Turns a .rec file into the C source of a stand-alone player program that
// embeds the recording byte for byte and replays it once. Portable C stdio,
// no state between calls; any thread may call it.
#pragma once
#include <cstdint>
#include <cstdio>

#include "macro/rec_codec.h"  // kMaxStubEvents, the largest count the generator takes

// Reads the recording at `recordingPath` and writes the player source to
// `stubPath` (text mode). The C runtime opens both in the ANSI code page; the
// build driver passes ASCII forms. Every check on the recording happens before the stub
// is opened, so a 0 result means the stub path was neither created nor
// touched. `outCount` (optional) receives the event count as soon as it has
// been read and checked, even when a later step fails.
int WritePlayerStub(const char* recordingPath, const char* stubPath, int* outCount);

// The text-generation step alone: writes the whole player source for the file
// image `image` of `size` bytes (count field plus records) to `out`.
void WritePlayerStubText(FILE* out, const unsigned char* image, int32_t size);

