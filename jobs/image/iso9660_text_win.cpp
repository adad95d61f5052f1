// UTF-8 names and labels through the system's conversion.
#include "jobs/image/iso9660_format.h"

void AssignNameUtf8(CWideString* out, const u8* bytes, u32 length) {
  out->SetLength(0);
  if (length > 0) out->AssignUtf8(reinterpret_cast<const char*>(bytes), static_cast<i32>(length));
}
