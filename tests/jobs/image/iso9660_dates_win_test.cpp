// Recording dates as the system takes them: what the clipboard's file
// descriptors and the file times of extracted files are made from.
#include <gtest/gtest.h>

#include "jobs/image/iso9660_format.h"
#include "runtime/win.h"

namespace {

// 1970-01-01 00:00:00 in 100-ns units since 1601.
constexpr u64 kUnixEpochFileTime = 116444736000000000ull;

bool ToFileTime(const DateTime& d, u64* out) {
  SYSTEMTIME system = {d.year, d.month, d.weekday, d.day, d.hour, d.minute, d.second, d.milliseconds};
  FILETIME file;
  if (!SystemTimeToFileTime(&system, &file)) return false;
  *out = (u64(file.dwHighDateTime) << 32) | file.dwLowDateTime;
  return true;
}

}  // namespace

// A date that is not recorded, or has a field out of range, is the time 0:
// the system takes it as 1970-01-01 00:00:00 like any other date.
TEST(Iso9660DatesOnWindows, RefusedDatesConvertAsTheTimeZero) {
  const u8 refused[][7] = {{0, 0, 0, 0, 0, 0, 0}, {100, 13, 1, 0, 0, 0, 0}, {100, 2, 1, 24, 0, 0, 0}};
  for (const u8* date : refused) {
    DateTime d;
    EXPECT_FALSE(IsoDateToTime(date, &d));
    u64 time = 0;
    ASSERT_TRUE(ToFileTime(d, &time)) << int(date[0]) << "/" << int(date[1]);
    EXPECT_EQ(kUnixEpochFileTime, time);
  }
  const u8 recorded[7] = {70, 1, 1, 0, 0, 1, 0};
  DateTime d;
  ASSERT_TRUE(IsoDateToTime(recorded, &d));
  u64 time = 0;
  ASSERT_TRUE(ToFileTime(d, &time));
  EXPECT_EQ(kUnixEpochFileTime + 10000000ull, time) << "one second later";
}
