#include "app/job_windows/burn_image_info.h"

#include "jobs/image/image_file.h"

bool ImageSectorsFit(u64 bytes, u32* sectors) {
  const u64 count = UserDataSectors(bytes);
  if (count > 0xFFFFFFFFull) {
    *sectors = 0;
    return false;
  }
  *sectors = static_cast<u32>(count);
  return true;
}

void AppendGrouped(CWideString* out, u64 n) {
  // Written backwards: each digit, with a dot after every third one that
  // has more digits to come.
  wchar16 backwards[32];
  i32 count = 0, written = 0;
  do {
    if (written && written % 3 == 0) backwards[count++] = u'.';
    backwards[count++] = static_cast<wchar16>(u'0' + n % 10);
    ++written;
    n /= 10;
  } while (n);
  for (i32 i = count - 1; i >= 0; --i) out->AppendChar(backwards[i]);
}

void FormatImageSize(u64 bytes, CWideString* out) {
  out->Assign(u"");
  AppendGrouped(out, bytes);
  out->Append(u" bytes (");
  // Scaled by 1/1024 while above 1023, always with two decimals.
  static const wchar16* const kUnits[] = {u" Bytes", u" KB", u" MB", u" GB", u" TB"};
  double value = static_cast<double>(bytes);
  u32 unit = 0;
  while (value > 1023.0 && unit < 4) {
    value /= 1024.0;
    ++unit;
  }
  const u64 hundredths = static_cast<u64>(value * 100.0 + 0.5);
  out->AppendUInt64(hundredths / 100);
  out->AppendChar(u'.');
  out->AppendChar(static_cast<wchar16>(u'0' + hundredths / 10 % 10));
  out->AppendChar(static_cast<wchar16>(u'0' + hundredths % 10));
  out->Append(kUnits[unit]);
  out->Append(u")");
}
