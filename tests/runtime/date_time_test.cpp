// Calendar arithmetic against an independent day-by-day walk of the
// calendar, and the limits of the accepted fields.
#include "runtime/date_time.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

// The record's fields: eight 16-bit values, the day before the weekday.
static_assert(sizeof(DateTime) == 16 && offsetof(DateTime, day) == 4 && offsetof(DateTime, weekday) == 6 &&
                  offsetof(DateTime, milliseconds) == 14,
              "DateTime layout");

namespace {

// Walks day by day with month lengths from 1970-01-01, a Thursday.
struct Civil {
  int year = 1970, month = 1, day = 1, weekday = 4;
  void Next() {
    static const int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    weekday = (weekday + 1) % 7;
    if (++day <= (month == 2 && leap ? 29 : kLengths[month - 1])) return;
    day = 1;
    if (++month > 12) month = 1, ++year;
  }
};

TEST(DateTime, EveryDayRoundTripsAgainstTheWalk) {
  Civil c;
  u64 days = 0;
  int failures = 0, daysThisYear = 0, leapYearsBefore = 0;
  for (; c.year <= 2400; c.Next(), ++days) {
    // A time of day that changes from day to day, the extremes included.
    int h = static_cast<int>(days * 7 % 24), mi = static_cast<int>(days * 13 % 60), s = static_cast<int>(days * 29 % 60);
    if (days % 5 == 0) h = mi = s = 0;
    if (days % 5 == 1) h = 23, mi = 59, s = 59;
    const u64 expected = days * 86400 + static_cast<u64>(h * 3600 + mi * 60 + s);
    CUnixTime t(c.year, c.month, c.day, h, mi, s);
    DateTime back;
    back.Set(1, 1, 1, 1, 1, 1, 1, 1);
    const bool converted = SecondsToDateTime(expected, &back);
    const bool ok = converted && t.Get() == expected && back.year == c.year && back.month == c.month &&
                    back.day == c.day && back.weekday == c.weekday && back.hour == h && back.minute == mi &&
                    back.second == s && back.milliseconds == 0;
    if (!ok && ++failures <= 5)
      ADD_FAILURE() << c.year << "-" << c.month << "-" << c.day << " " << h << ":" << mi << ":" << s << " gave "
                    << t.Get() << " expected " << expected << ", back " << back.year << "-" << back.month << "-"
                    << back.day << " wd " << back.weekday;
    ++daysThisYear;
    if (c.month == 12 && c.day == 31) {
      EXPECT_EQ(DaysInYear(c.year), daysThisYear) << c.year;
      EXPECT_EQ(IsLeapYear(c.year), daysThisYear == 366) << c.year;
      EXPECT_EQ(CountLeapDays(c.year), leapYearsBefore) << c.year;
      leapYearsBefore += daysThisYear == 366;
      daysThisYear = 0;
    }
  }
  EXPECT_EQ(failures, 0);
  // The last second of the last accepted year, and one past it.
  EXPECT_EQ(CUnixTime(9999, 12, 31, 23, 59, 59).Get(), 253402300799u);
  DateTime out;
  out.Set(1234, 5, 6, 0, 7, 8, 9, 10);
  for (u64 seconds : {253402300800ull, 1ull << 40, ~0ull}) EXPECT_FALSE(SecondsToDateTime(seconds, &out)) << seconds;
  EXPECT_TRUE(out.year == 1234 && out.milliseconds == 10);
  EXPECT_FALSE(SecondsToDateTime(0, nullptr));
}

TEST(DateTime, FieldsOutOfRangeAreRefusedAndDaysPastAMonthCountOn) {
  const struct {
    i32 y, mo, d, h, mi, s;
  } bad[] = {
      {2000, 0, 1, 0, 0, 0},  {2000, 13, 1, 0, 0, 0},    {2000, -1, 1, 0, 0, 0},  {2000, 1, 0, 0, 0, 0},
      {2000, 1, 32, 0, 0, 0}, {2000, 1, -3, 0, 0, 0},    {2000, 1, 1, 24, 0, 0},  {2000, 1, 1, -1, 0, 0},
      {2000, 1, 1, 0, 60, 0}, {2000, 1, 1, 0, -1, 0},    {2000, 1, 1, 0, 0, 60},  {2000, 1, 1, 0, 0, -1},
      {1969, 12, 31, 23, 59, 59}, {0, 1, 1, 0, 0, 0},    {-400, 1, 1, 0, 0, 0},   {10000, 1, 1, 0, 0, 0},
      {0x7FFFFFFF, 12, 31, 0, 0, 0}, {static_cast<i32>(0x80000000u), 1, 1, 0, 0, 0}, {1999, 12, 32, 0, 0, 0},
  };
  for (const auto& b : bad) {
    CUnixTime t(2010, 6, 15, 8, 30, 0);
    const u64 before = t.Get();
    EXPECT_FALSE(t.FromDateTime(b.y, b.mo, b.d, b.h, b.mi, b.s)) << b.y << "-" << b.mo << "-" << b.d << " " << b.h;
    EXPECT_EQ(t.Get(), before);
    EXPECT_EQ(CUnixTime(b.y, b.mo, b.d, b.h, b.mi, b.s).Get(), 0u);  // the constructor leaves 0
  }
  EXPECT_EQ(CUnixTime(1971, 2, 31, 0, 0, 0).Get(), CUnixTime(1971, 3, 3, 0, 0, 0).Get());
  EXPECT_EQ(CUnixTime(1972, 2, 31, 0, 0, 0).Get(), CUnixTime(1972, 3, 2, 0, 0, 0).Get());
  EXPECT_EQ(CUnixTime(1999, 4, 31, 10, 0, 0).Get(), CUnixTime(1999, 5, 1, 10, 0, 0).Get());
}

}  // namespace

// Job times, track lengths and the audio total: both fields at least two
// digits, at every edge where a digit is added, past 32 bits too.
TEST(MinutesSeconds, BothFieldsPaddedAtTheirDigitEdges) {
  const struct {
    u64 seconds;
    const char16_t* text;
  } cases[] = {{0, u"00:00"},       {7, u"00:07"},          {9, u"00:09"},        {10, u"00:10"},
               {59, u"00:59"},      {60, u"01:00"},         {540, u"09:00"},      {599, u"09:59"},
               {600, u"10:00"},     {610, u"10:10"},        {4440, u"74:00"},     {5999, u"99:59"},
               {6000, u"100:00"},   {6009, u"100:09"},      {7503, u"125:03"},    {0xFFFFFFFFull, u"71582788:15"},
               {0x100000000ull, u"71582788:16"}};
  for (const auto& c : cases) {
    CWideString text;
    AppendMinutesSeconds(&text, c.seconds);
    EXPECT_EQ(std::u16string(c.text), std::u16string(text.c_str(), static_cast<size_t>(text.GetLength()))) << c.seconds;
  }
}
