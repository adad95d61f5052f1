// The program's own bounded byte-string routines (portable part).
#include "runtime/c_routines.h"

#include "runtime/wide_string.h"

namespace rt {

i32 GetAnsiLength(const char* text, i32 cap) {
  if (!text) return 0;
  for (i32 i = 0; i < cap; ++i)
    if (text[i] == 0) return i;
  return -1;
}

char* strncpy(char* destination, const char* source, i32 n) {
  if (!destination || n <= 0) return destination;
  i32 i = 0;
  if (source)
    for (; i < n - 1 && source[i] != 0; ++i) destination[i] = source[i];
  destination[i] = 0;
  return destination;
}

u32 atol(const char* text) {
  u32 value = 0;
  if (!text) return 0;
  for (; *text >= '0' && *text <= '9'; ++text) value = value * 10u + static_cast<u32>(*text - '0');
  return value;
}

const char* strrchr(const char* text, int c) {
  char wanted = static_cast<char>(c);
  i32 n = GetAnsiLength(text, kTextCap);
  if (n <= 0 || wanted == 0) return nullptr;
  for (i32 i = n - 1; i >= 0; --i)
    if (text[i] == wanted) return text + i;
  return nullptr;
}

}  // namespace rt
