// Calendar arithmetic: seconds since 1970-01-01 00:00:00 (Gregorian, no
// leap seconds, no time zones) to and from calendar fields.
#include "runtime/date_time.h"

namespace {

// Days before the first of each month.
const i32 kCommonYearDays[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
const i32 kLeapYearDays[13] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366};

constexpr i32 kFirstYear = 1970;
// Years past this are refused, which keeps every value far inside 64 bits
// and every year inside the record's 16-bit field.
constexpr i32 kLastYear = 9999;
constexpr u64 kSecondsPerDay = 86400;

const i32* MonthTable(i32 year) { return IsLeapYear(year) ? kLeapYearDays : kCommonYearDays; }

// Leap years in 1..year (year >= 0).
i64 LeapYearsThrough(i64 year) { return year / 4 - year / 100 + year / 400; }

// Days from 1970-01-01 to the first day of year.
i64 FirstDayOfYear(i64 year) {
  return (year - kFirstYear) * 365 + LeapYearsThrough(year - 1) - LeapYearsThrough(kFirstYear - 1);
}

}  // namespace

void DateTime::Set(u16 y, u16 mo, u16 d, u16 wd, u16 h, u16 mi, u16 s, u16 ms) {
  year = y;
  month = mo;
  day = d;
  weekday = wd;
  hour = h;
  minute = mi;
  second = s;
  milliseconds = ms;
}

bool IsLeapYear(i32 year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

i32 DaysInYear(i32 year) { return IsLeapYear(year) ? 366 : 365; }

i32 CountLeapDays(i32 year) {
  return static_cast<i32>(LeapYearsThrough(static_cast<i64>(year) - 1) -
                          LeapYearsThrough(kFirstYear - 1));
}

CUnixTime::CUnixTime(i32 year, i32 month, i32 day, i32 hour, i32 minute, i32 second) {
  FromDateTime(year, month, day, hour, minute, second);
}

bool CUnixTime::FromDateTime(i32 year, i32 month, i32 day, i32 hour, i32 minute, i32 second) {
  if (year < kFirstYear || year > kLastYear) return false;
  if (month < 1 || month > 12 || day < 1 || day > 31) return false;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
    return false;
  // The day is not checked against the month: 31 February counts on into
  // March, as the disc dates this converts have always been read.
  i64 days = FirstDayOfYear(year) + MonthTable(year)[month - 1] + (day - 1);
  value_ = static_cast<u64>(days) * kSecondsPerDay + static_cast<u64>(hour) * 3600 +
           static_cast<u64>(minute) * 60 + static_cast<u64>(second);
  return true;
}

void CUnixTime::ToDateTime(DateTime* out) const { SecondsToDateTime(value_, out); }

bool SecondsToDateTime(u64 seconds, DateTime* out) {
  if (!out) return false;
  i64 days = static_cast<i64>(seconds / kSecondsPerDay);
  // Beyond the last supported year the fields would not fit: refused.
  if (seconds / kSecondsPerDay >= static_cast<u64>(FirstDayOfYear(kLastYear + 1))) return false;
  i64 rest = static_cast<i64>(seconds % kSecondsPerDay);
  // The estimate never lies before the right year; step back to it.
  i64 year = kFirstYear + days / 365;
  while (FirstDayOfYear(year) > days) --year;
  i32 dayOfYear = static_cast<i32>(days - FirstDayOfYear(year));
  const i32* table = MonthTable(static_cast<i32>(year));
  i32 month = 12;
  while (table[month - 1] > dayOfYear) --month;
  out->Set(static_cast<u16>(year), static_cast<u16>(month),
           static_cast<u16>(dayOfYear - table[month - 1] + 1), static_cast<u16>((days + 4) % 7),
           static_cast<u16>(rest / 3600), static_cast<u16>(rest % 3600 / 60),
           static_cast<u16>(rest % 60), 0);
  return true;
}

void AppendMinutesSeconds(CWideString* text, u64 seconds) {
  text->AppendUIntPadded(seconds / 60, 2);
  text->AppendChar(u':');
  text->AppendUIntPadded(seconds % 60, 2);
}
