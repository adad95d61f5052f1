#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "runtime/c_routines.h"

namespace {

TEST(CRoutines, StrncpyAlwaysTerminatesAndNeverPads) {
  char buf[16];
  std::memset(buf, '#', sizeof buf);
  EXPECT_EQ(rt::strncpy(buf, "abcdef", 4), buf);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(buf[4], '#');  // no zero padding after the terminator
  std::memset(buf, '#', sizeof buf);
  rt::strncpy(buf, "ab", 10);
  EXPECT_STREQ(buf, "ab");
  EXPECT_EQ(buf[3], '#');
  std::memset(buf, '#', sizeof buf);
  rt::strncpy(buf, "ab", 1);
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(buf[1], '#');
  std::memset(buf, '#', sizeof buf);
  rt::strncpy(buf, "ab", 0);
  rt::strncpy(buf, "ab", -3);
  EXPECT_EQ(buf[0], '#');  // nothing written for n <= 0
  rt::strncpy(buf, nullptr, 5);
  EXPECT_EQ(buf[0], 0);
  EXPECT_EQ(rt::strncpy(nullptr, "ab", 5), nullptr);
}

TEST(CRoutines, StrncpyMatchesBoundedPrintf) {
  std::mt19937 rng(3);
  for (int i = 0; i < 3000; ++i) {
    std::string src(rng() % 40, 'x');
    for (char& c : src) c = static_cast<char>('a' + rng() % 26);
    int n = static_cast<int>(rng() % 45);
    char got[64];
    char want[64];
    std::memset(got, '#', sizeof got);
    std::memset(want, '#', sizeof want);
    rt::strncpy(got, src.c_str(), n);
    if (n > 0) std::snprintf(want, static_cast<size_t>(n), "%s", src.c_str());
    ASSERT_EQ(std::memcmp(got, want, sizeof got), 0) << src << " n=" << n;
  }
}

TEST(CRoutines, Atol) {
  EXPECT_EQ(rt::atol("12ab"), 12u);
  EXPECT_EQ(rt::atol("-5"), 0u);
  EXPECT_EQ(rt::atol(" 5"), 0u);
  EXPECT_EQ(rt::atol(""), 0u);
  EXPECT_EQ(rt::atol(nullptr), 0u);
  EXPECT_EQ(rt::atol("4294967295"), 4294967295u);
  EXPECT_EQ(rt::atol("4294967296"), 0u);  // wraps modulo 2^32
  std::mt19937 rng(5);
  for (int i = 0; i < 2000; ++i) {
    std::string digits(1 + rng() % 25, '0');
    for (char& c : digits) c = static_cast<char>('0' + rng() % 10);
    unsigned long long expected = 0;
    for (char c : digits) expected = (expected * 10 + static_cast<unsigned>(c - '0')) & 0xFFFFFFFFull;
    ASSERT_EQ(rt::atol((digits + "z9").c_str()), expected) << digits;
  }
}

TEST(CRoutines, Strrchr) {
  const char* t = "abcabc";
  EXPECT_EQ(rt::strrchr(t, 'b'), t + 4);
  EXPECT_EQ(rt::strrchr(t, 'a'), t + 3);
  EXPECT_EQ(rt::strrchr(t, 'z'), nullptr);
  EXPECT_EQ(rt::strrchr(t, 0), nullptr);
  EXPECT_EQ(rt::strrchr("", 'a'), nullptr);
  EXPECT_EQ(rt::strrchr(nullptr, 'a'), nullptr);
  const char* high = "a\xE9z";
  EXPECT_EQ(rt::strrchr(high, 0xE9), high + 1);
  std::string longest(4095, 'a');
  EXPECT_EQ(rt::strrchr(longest.c_str(), 'a'), longest.c_str() + 4094);
  std::string tooLong(4096, 'a');
  EXPECT_EQ(rt::strrchr(tooLong.c_str(), 'a'), nullptr);
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    std::string s(rng() % 30, 'a');
    for (char& c : s) c = static_cast<char>('a' + rng() % 4);
    char c = static_cast<char>('a' + rng() % 5);
    ASSERT_EQ(rt::strrchr(s.c_str(), c), std::strrchr(s.c_str(), c)) << s << " " << c;
  }
}

TEST(CRoutines, GetAnsiLength) {
  EXPECT_EQ(rt::GetAnsiLength(nullptr, 4096), 0);
  EXPECT_EQ(rt::GetAnsiLength("", 4096), 0);
  EXPECT_EQ(rt::GetAnsiLength("abc", 4096), 3);
  EXPECT_EQ(rt::GetAnsiLength("abc", 3), -1);
  std::string s(4096, 'x');
  EXPECT_EQ(rt::GetAnsiLength(s.c_str(), 4096), -1);
  s.pop_back();
  EXPECT_EQ(rt::GetAnsiLength(s.c_str(), 4096), 4095);
}

}  // namespace
