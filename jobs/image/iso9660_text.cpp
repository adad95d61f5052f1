// UTF-8 names and labels of an image. Malformed, overlong and surrogate
// sequences become U+FFFD.
#include "jobs/image/iso9660_text.h"

namespace {

constexpr wchar16 kReplacement = 0xFFFD;

// Decodes one sequence at bytes[i..n); returns the code point and advances i.
u32 DecodeOne(const u8* bytes, u32 n, u32* i) {
  u32 c = bytes[*i];
  ++*i;
  if (c < 0x80) return c;
  u32 extra;
  u32 minimum;
  if ((c & 0xE0) == 0xC0) {
    extra = 1;
    minimum = 0x80;
    c &= 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    extra = 2;
    minimum = 0x800;
    c &= 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    extra = 3;
    minimum = 0x10000;
    c &= 0x07;
  } else {
    return kReplacement;
  }
  for (u32 k = 0; k < extra; ++k) {
    if (*i >= n || (bytes[*i] & 0xC0) != 0x80) return kReplacement;
    c = (c << 6) | (bytes[*i] & 0x3F);
    ++*i;
  }
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
  return c;
}

}  // namespace

void AssignNameUtf8(CWideString* out, const u8* bytes, u32 length) {
  // Every byte gives at most one UTF-16 unit (a 4-byte sequence gives two).
  wchar16* p = out->SetLength(static_cast<i32>(length));
  if (!p) return;
  u32 n = 0;
  u32 i = 0;
  while (i < length) {
    u32 c = DecodeOne(bytes, length, &i);
    if (c >= 0x10000) {
      c -= 0x10000;
      p[n++] = static_cast<wchar16>(0xD800 + (c >> 10));
      p[n++] = static_cast<wchar16>(0xDC00 + (c & 0x3FF));
    } else {
      p[n++] = static_cast<wchar16>(c);
    }
  }
  out->SetLength(static_cast<i32>(n));
}
