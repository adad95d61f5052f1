// The program's own byte-string routines against the standard ones.
#include "runtime/c_routines.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace {

std::string RandomText(std::mt19937& rng, size_t maxLength, char first, int letters) {
  std::string s(rng() % (maxLength + 1), 'x');
  for (char& c : s) c = static_cast<char>(first + rng() % letters);
  return s;
}

TEST(CRoutines, StrncpyCopiesLessThanNAndNeverPads) {
  std::mt19937 rng(3);
  for (int i = 0; i < 3000; ++i) {
    const std::string src = RandomText(rng, 40, 'a', 26);
    const int n = static_cast<int>(rng() % 48) - 3;
    char got[64], want[64];
    std::memset(got, '#', sizeof got);
    std::memset(want, '#', sizeof want);
    EXPECT_EQ(rt::strncpy(got, src.c_str(), n), got);
    if (n > 0) std::snprintf(want, static_cast<size_t>(n), "%s", src.c_str());  // nothing for n <= 0
    ASSERT_EQ(std::memcmp(got, want, sizeof got), 0) << src << " n=" << n;
  }
  char buffer[4] = {'#', '#', '#', '#'};
  rt::strncpy(buffer, nullptr, 5);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(rt::strncpy(nullptr, "ab", 5), nullptr);
}

TEST(CRoutines, AtolTakesTheLeadingDigitsModulo2To32) {
  std::mt19937 rng(5);
  for (int i = 0; i < 2000; ++i) {
    const std::string digits = RandomText(rng, 25, '0', 10);
    unsigned long long expected = 0;
    for (char c : digits) expected = (expected * 10 + static_cast<unsigned>(c - '0')) & 0xFFFFFFFFull;
    ASSERT_EQ(rt::atol((digits + "z9").c_str()), expected) << digits;
  }
  for (const char* zero : {"-5", " 5", "", static_cast<const char*>(nullptr), "4294967296"}) EXPECT_EQ(rt::atol(zero), 0u);
  EXPECT_EQ(rt::atol("4294967295"), 4294967295u);
}

TEST(CRoutines, StrrchrAndLengthWithinTheCap) {
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    const std::string s = RandomText(rng, 30, 'a', 4);
    const char c = static_cast<char>('a' + rng() % 5);
    ASSERT_EQ(rt::strrchr(s.c_str(), c), std::strrchr(s.c_str(), c)) << s << " " << c;
    ASSERT_EQ(rt::GetAnsiLength(s.c_str(), 4096), static_cast<i32>(s.size()));
  }
  const std::string longest(4095, 'a'), tooLong(4096, 'a');
  EXPECT_EQ(rt::strrchr(longest.c_str(), 'a'), longest.c_str() + 4094);
  const char* high = "a\xE9z";
  EXPECT_EQ(rt::strrchr(high, 0xE9), high + 1);
  for (const char* none : {static_cast<const char*>(nullptr), "", tooLong.c_str()}) EXPECT_EQ(rt::strrchr(none, 'a'), nullptr);
  EXPECT_EQ(rt::strrchr("abc", 0), nullptr);  // the terminating zero is never matched
  EXPECT_EQ(rt::GetAnsiLength(nullptr, 4096), 0);
  EXPECT_EQ(rt::GetAnsiLength("abc", 3), -1);
  EXPECT_EQ(rt::GetAnsiLength(tooLong.c_str(), 4096), -1);
}

}  // namespace
