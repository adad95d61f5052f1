// Calendar records, seconds since 1970 and the performance counter.
// The calendar arithmetic is portable.
#pragma once
#include "runtime/types.h"
#include "runtime/wide_string.h"

struct DateTime {
  u16 year;
  u16 month;    // 1-12
  u16 day;      // 1-31
  u16 weekday;  // 0 = Sunday
  u16 hour;
  u16 minute;
  u16 second;
  u16 milliseconds;
  void Set(u16 y, u16 mo, u16 d, u16 wd, u16 h, u16 mi, u16 s, u16 ms);
};

// "mm:ss" of whole seconds, each part at least two digits (7 -> "00:07",
// 7503 -> "125:03").
void AppendMinutesSeconds(CWideString* text, u64 seconds);

bool IsLeapYear(i32 year);
i32 DaysInYear(i32 year);
// Leap years from 1970 up to, not including, year.
i32 CountLeapDays(i32 year);

class CUnixTime {
 public:
  CUnixTime() = default;
  explicit CUnixTime(u64 seconds) : value_(seconds) {}
  // A rejected date leaves the value 0.
  CUnixTime(i32 year, i32 month, i32 day, i32 hour, i32 minute, i32 second);
  // False, value unchanged, for a field out of range or a year outside
  // 1970..9999. The day is not checked against the month's length.
  bool FromDateTime(i32 year, i32 month, i32 day, i32 hour, i32 minute, i32 second);
  void ToDateTime(DateTime* out) const;
  u64 Get() const { return value_; }

 private:
  u64 value_ = 0;
};

// False, out unchanged, for a value past the end of year 9999.
bool SecondsToDateTime(u64 seconds, DateTime* out);

// Local time from the system (Windows).
bool GetLocalDateTime(DateTime* out);
