// The single check extraction applies to names read from an image.
#include "jobs/image/safe_name.h"

namespace {

bool IsRefusedChar(wchar16 c) {
  if (c < 0x20 || c == 0x7F) return true;
  switch (c) {
    case u'\\': case u'/': case u':': case u'<': case u'>': case u'"': case u'|': case u'?': case u'*':
      return true;
    default:
      return false;
  }
}

wchar16 Upper(wchar16 c) { return c >= u'a' && c <= u'z' ? static_cast<wchar16>(c - 0x20) : c; }

bool StemIs(const wchar16* stem, i32 length, const char* word) {
  i32 i = 0;
  for (; word[i]; ++i)
    if (i >= length || Upper(stem[i]) != static_cast<wchar16>(word[i])) return false;
  return i == length;
}

// Windows reserves the device names whatever follows their first dot, and
// ignores blanks before that dot.
bool IsDeviceName(const wchar16* name, i32 length) {
  i32 stem = 0;
  while (stem < length && name[stem] != u'.') ++stem;
  while (stem > 0 && name[stem - 1] == u' ') --stem;
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* word : kDevices)
    if (StemIs(name, stem, word)) return true;
  if (stem != 4) return false;
  if (!StemIs(name, 3, "COM") && !StemIs(name, 3, "LPT")) return false;
  const wchar16 digit = name[3];
  // Superscript one, two and three count as digits there too.
  return (digit >= u'1' && digit <= u'9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

}  // namespace

bool IsSafePathComponent(const wchar16* name, i32 length) {
  if (!name || length <= 0) return false;
  if (name[0] == u'.' && (length == 1 || (length == 2 && name[1] == u'.'))) return false;
  for (i32 i = 0; i < length; ++i)
    if (IsRefusedChar(name[i])) return false;
  const wchar16 last = name[length - 1];
  if (last == u'.' || last == u' ') return false;
  return !IsDeviceName(name, length);
}

i32 NameOutsideImageLength(const wchar16* name, i32 length) {
  if (!name || length <= 0) return 0;
  i32 at = length;
  while (at > 0 && length - at < 5 && name[at - 1] >= u'0' && name[at - 1] <= u'9') --at;
  if (at == length || at == 0 || name[at - 1] != u';') return length;
  i32 kept = at - 1;
  if (kept > 0 && name[kept - 1] == u'.') --kept;
  return kept;
}
