// The single check extraction applies to names read from an image.
#include "jobs/image/safe_name.h"

bool IsSafePathComponent(const wchar16* name, i32 length) {
  if (!name || length <= 0) return false;
  if (name[0] == u'.' && (length == 1 || (length == 2 && name[1] == u'.'))) return false;
  for (i32 i = 0; i < length; ++i) {
    wchar16 c = name[i];
    if (c < 0x20 || c == 0x7F || c == u'\\' || c == u'/' || c == u':') return false;
  }
  return true;
}
