// Local time from the system, in the program's DateTime field order.
#include "runtime/date_time.h"
#include "runtime/win.h"

bool GetLocalDateTime(DateTime* out) {
  if (!out) return false;
  SYSTEMTIME now;
  GetLocalTime(&now);
  // SYSTEMTIME keeps the weekday before the day; DateTime the other way.
  out->Set(now.wYear, now.wMonth, now.wDay, now.wDayOfWeek, now.wHour, now.wMinute, now.wSecond,
           now.wMilliseconds);
  return true;
}
