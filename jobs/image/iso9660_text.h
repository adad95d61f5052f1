// Names and labels recorded as UTF-8 in an image, decoded the same way in
// every build. Portable.
#pragma once
#include "runtime/types.h"
#include "runtime/wide_string.h"

// UTF-8 bytes of a name or label to text; each malformed, overlong or
// surrogate sequence becomes one U+FFFD.
void AssignNameUtf8(CWideString* out, const u8* bytes, u32 length);
