#include "runtime/date_time.h"

#include <gtest/gtest.h>

#include <cstddef>

namespace {

// An independent calendar: walks day by day with month lengths, so that
// every conversion can be checked against a count of days.
struct Civil {
  int year = 1970, month = 1, day = 1, weekday = 4;  // a Thursday
  static int MonthLength(int y, int m) {
    static const int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : kLengths[m - 1];
  }
  void Next() {
    weekday = (weekday + 1) % 7;
    if (++day <= MonthLength(year, month)) return;
    day = 1;
    if (++month <= 12) return;
    month = 1;
    ++year;
  }
};

u64 Seconds(i32 y, i32 mo, i32 d, i32 h, i32 mi, i32 s) {
  CUnixTime t;
  EXPECT_TRUE(t.FromDateTime(y, mo, d, h, mi, s)) << y << "-" << mo << "-" << d;
  return t.Get();
}

void ExpectDate(u64 seconds, int y, int mo, int d, int wd, int h, int mi, int s) {
  DateTime out;
  out.Set(1, 1, 1, 1, 1, 1, 1, 1);
  ASSERT_TRUE(SecondsToDateTime(seconds, &out)) << seconds;
  EXPECT_EQ(y, out.year) << seconds;
  EXPECT_EQ(mo, out.month) << seconds;
  EXPECT_EQ(d, out.day) << seconds;
  EXPECT_EQ(wd, out.weekday) << seconds;
  EXPECT_EQ(h, out.hour) << seconds;
  EXPECT_EQ(mi, out.minute) << seconds;
  EXPECT_EQ(s, out.second) << seconds;
  EXPECT_EQ(0, out.milliseconds) << seconds;
}

TEST(DateTime, EveryDayFrom1970To2105RoundTripsAgainstADayCount) {
  Civil c;
  u64 dayCount = 0;
  int failures = 0;
  for (; c.year <= 2105; c.Next(), ++dayCount) {
    // A time of day that changes from day to day, including the extremes.
    int h = static_cast<int>(dayCount * 7 % 24), mi = static_cast<int>(dayCount * 13 % 60),
        s = static_cast<int>(dayCount * 29 % 60);
    if (dayCount % 5 == 0) h = mi = s = 0;
    if (dayCount % 5 == 1) h = 23, mi = 59, s = 59;
    u64 expected = dayCount * 86400 + static_cast<u64>(h * 3600 + mi * 60 + s);
    CUnixTime t(c.year, c.month, c.day, h, mi, s);
    DateTime back;
    t.ToDateTime(&back);
    bool ok = t.Get() == expected && back.year == c.year && back.month == c.month &&
              back.day == c.day && back.weekday == c.weekday && back.hour == h &&
              back.minute == mi && back.second == s && back.milliseconds == 0;
    if (!ok && ++failures <= 5)
      ADD_FAILURE() << c.year << "-" << c.month << "-" << c.day << " " << h << ":" << mi << ":"
                    << s << " gave " << t.Get() << " expected " << expected << ", back "
                    << back.year << "-" << back.month << "-" << back.day << " wd "
                    << back.weekday;
  }
  EXPECT_EQ(0, failures);
  // 1970-01-01 to 2106-01-01.
  EXPECT_EQ(49673u, dayCount);
}

TEST(DateTime, DaysInYearAndLeapDaysAgreeWithTheCalendarWalk) {
  Civil c;
  int daysThisYear = 0;
  int leapYearsBefore = 0;
  for (; c.year <= 2400; c.Next()) {
    ++daysThisYear;
    if (c.month == 12 && c.day == 31) {
      EXPECT_EQ(daysThisYear, DaysInYear(c.year)) << c.year;
      EXPECT_EQ(daysThisYear == 366, IsLeapYear(c.year)) << c.year;
      EXPECT_EQ(leapYearsBefore, CountLeapDays(c.year)) << c.year;
      if (daysThisYear == 366) ++leapYearsBefore;
      daysThisYear = 0;
    }
  }
}

TEST(DateTime, KnownInstants) {
  EXPECT_EQ(0u, Seconds(1970, 1, 1, 0, 0, 0));
  ExpectDate(0, 1970, 1, 1, 4, 0, 0, 0);
  EXPECT_EQ(68212800u, Seconds(1972, 2, 29, 12, 0, 0));
  ExpectDate(68212800, 1972, 2, 29, 2, 12, 0, 0);
  EXPECT_EQ(94608000u, Seconds(1972, 12, 31, 0, 0, 0));
  ExpectDate(94608000, 1972, 12, 31, 0, 0, 0, 0);
  EXPECT_EQ(94694400u, Seconds(1973, 1, 1, 0, 0, 0));
  ExpectDate(94694400, 1973, 1, 1, 1, 0, 0, 0);
  ExpectDate(2678400, 1970, 2, 1, 0, 0, 0, 0);
  // 2000-01-01 was a Saturday, 2024-03-15 a Friday.
  ExpectDate(10957ull * 86400, 2000, 1, 1, 6, 0, 0, 0);
  ExpectDate(19797ull * 86400 + 45296, 2024, 3, 15, 5, 12, 34, 56);
  // The signed 32-bit limit is passed without a wrap.
  EXPECT_EQ(2147483648u, Seconds(2038, 1, 19, 3, 14, 8));
  ExpectDate(2147483648u, 2038, 1, 19, 2, 3, 14, 8);
  // The last second of the last accepted year.
  EXPECT_EQ(253402300799u, Seconds(9999, 12, 31, 23, 59, 59));
  ExpectDate(253402300799u, 9999, 12, 31, 5, 23, 59, 59);
}

TEST(DateTime, LeapYearRule) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_TRUE(IsLeapYear(1972));
  EXPECT_TRUE(IsLeapYear(2400));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_FALSE(IsLeapYear(2100));
  EXPECT_FALSE(IsLeapYear(1971));
  EXPECT_EQ(366, DaysInYear(2000));
  EXPECT_EQ(365, DaysInYear(2100));
  EXPECT_EQ(0, CountLeapDays(1970));
  EXPECT_EQ(0, CountLeapDays(1972));
  EXPECT_EQ(1, CountLeapDays(1973));
  EXPECT_EQ(8, CountLeapDays(2001));
  EXPECT_EQ(32, CountLeapDays(2101));
}

TEST(DateTime, DayPastTheMonthsEndCountsOn) {
  EXPECT_EQ(Seconds(1971, 3, 3, 0, 0, 0), Seconds(1971, 2, 31, 0, 0, 0));
  EXPECT_EQ(Seconds(1972, 3, 2, 0, 0, 0), Seconds(1972, 2, 31, 0, 0, 0));
  EXPECT_EQ(Seconds(1999, 5, 1, 10, 0, 0), Seconds(1999, 4, 31, 10, 0, 0));
  // 31 December is the last day: 32 is refused.
  CUnixTime t;
  EXPECT_FALSE(t.FromDateTime(1999, 12, 32, 0, 0, 0));
}

TEST(DateTime, RejectedFieldsLeaveTheValueUnchanged) {
  const struct {
    i32 y, mo, d, h, mi, s;
  } kBad[] = {
      {2000, 0, 1, 0, 0, 0},   {2000, 13, 1, 0, 0, 0},  {2000, -1, 1, 0, 0, 0},
      {2000, 1, 0, 0, 0, 0},   {2000, 1, 32, 0, 0, 0},  {2000, 1, -3, 0, 0, 0},
      {2000, 1, 1, 24, 0, 0},  {2000, 1, 1, -1, 0, 0},  {2000, 1, 1, 0, 60, 0},
      {2000, 1, 1, 0, -1, 0},  {2000, 1, 1, 0, 0, 60},  {2000, 1, 1, 0, 0, -1},
      {1969, 12, 31, 23, 59, 59}, {1900, 1, 1, 0, 0, 0}, {0, 1, 1, 0, 0, 0},
      {-400, 1, 1, 0, 0, 0},   {10000, 1, 1, 0, 0, 0},  {0x7FFFFFFF, 12, 31, 0, 0, 0},
      {static_cast<i32>(0x80000000u), 1, 1, 0, 0, 0},
  };
  for (const auto& b : kBad) {
    CUnixTime t;
    ASSERT_TRUE(t.FromDateTime(2010, 6, 15, 8, 30, 0));
    u64 before = t.Get();
    EXPECT_FALSE(t.FromDateTime(b.y, b.mo, b.d, b.h, b.mi, b.s))
        << b.y << "-" << b.mo << "-" << b.d << " " << b.h << ":" << b.mi << ":" << b.s;
    EXPECT_EQ(before, t.Get());
    // The constructor leaves a rejected date at 0.
    EXPECT_EQ(0u, CUnixTime(b.y, b.mo, b.d, b.h, b.mi, b.s).Get());
  }
}

TEST(DateTime, SecondsPastTheLastYearAreRefused) {
  DateTime out;
  out.Set(1234, 5, 6, 0, 7, 8, 9, 10);
  for (u64 seconds : {253402300800ull, 1ull << 40, ~0ull}) {
    EXPECT_FALSE(SecondsToDateTime(seconds, &out)) << seconds;
    EXPECT_EQ(1234, out.year);
    EXPECT_EQ(10, out.milliseconds);
  }
  EXPECT_FALSE(SecondsToDateTime(0, nullptr));
}

TEST(DateTime, SetStoresTheFieldsInOrder) {
  DateTime d;
  d.Set(2010, 11, 30, 2, 23, 58, 57, 999);
  EXPECT_EQ(2010, d.year);
  EXPECT_EQ(11, d.month);
  EXPECT_EQ(30, d.day);
  EXPECT_EQ(2, d.weekday);
  EXPECT_EQ(23, d.hour);
  EXPECT_EQ(58, d.minute);
  EXPECT_EQ(57, d.second);
  EXPECT_EQ(999, d.milliseconds);
  // Eight 16-bit fields; the day precedes the weekday in memory.
  EXPECT_EQ(16u, sizeof(DateTime));
  EXPECT_EQ(4u, offsetof(DateTime, day));
  EXPECT_EQ(6u, offsetof(DateTime, weekday));
  EXPECT_EQ(14u, offsetof(DateTime, milliseconds));
}

}  // namespace
