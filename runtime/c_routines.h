// The handful of C library routines the program provides under its own names.
// Their behaviour differs from the standard ones on purpose (see each).
#pragma once
#include "runtime/types.h"

namespace rt {

// Copies at most n - 1 bytes and always terminates (no zero padding).
char* strncpy(char* destination, const char* source, i32 n);
// Decimal value of the leading digits; no sign or blanks; wraps modulo 2^32.
u32 atol(const char* text);
// Last occurrence of c in text measured with the 4096 cap; byte 0 is never
// matched; null for a null, empty or over-long text.
const char* strrchr(const char* text, int c);
// Case-insensitive comparison of at most n bytes: -1, 0 or 1; -2 on failure.
i32 strncmp(const char* a, const char* b, i32 n);

// Bounded byte-string length: -1 when the length reaches cap (0 for null).
i32 GetAnsiLength(const char* text, i32 cap);

}  // namespace rt
