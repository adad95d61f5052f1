// Case-insensitive bounded comparison of byte strings through the system's
// locale-aware comparison.
#include "runtime/c_routines.h"
#include "runtime/wide_string.h"
#include "runtime/win.h"

namespace rt {

namespace {

// Length of one side for strncmp: measured with the 4096 cap and limited to
// n. An over-long text (measured as -1) is at least 4096 bytes long, so it
// can be limited to an n below that; otherwise it runs to its zero.
i32 ComparedLength(const char* text, i32 n) {
  i32 length = GetAnsiLength(text, kTextCap);
  if (length < 0) return n < kTextCap ? n : -1;
  return n < length ? n : length;
}

}  // namespace

i32 strncmp(const char* a, const char* b, i32 n) {
  if (n < 0) return -2;
  return CompareAnsiTextNoCase(a, ComparedLength(a, n), b, ComparedLength(b, n));
}

}  // namespace rt
