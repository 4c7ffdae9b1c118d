// Strict number parsing for the texts typed into the preferences prompts. Pure
// logic, no windows.h; any thread.
#pragma once

// A positive single-precision number with nothing after it ("3.5", " 7"). 1 and
// `*out` on success; 0 on a null or empty text, trailing characters, or a value
// that is not greater than 0 in single precision (0, negatives, underflow, NaN).
int ParseSpeed(const char* text, float* out);

// A base-10 integer with nothing after it, within [minimum, maximum]. 1 and `*out`
// on success; 0 otherwise (a value beyond long saturates and fails the bounds).
int ParseIntInRange(const char* text, int* out, int minimum, int maximum);
