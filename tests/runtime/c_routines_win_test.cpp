#include <gtest/gtest.h>

#include <string>

#include "runtime/c_routines.h"

namespace {

TEST(CRoutinesWin, StrncmpIgnoresCaseWithinN) {
  EXPECT_EQ(rt::strncmp("ABCx", "abcy", 3), 0);
  EXPECT_EQ(rt::strncmp("ABCx", "abcy", 4), -1);
  EXPECT_EQ(rt::strncmp("abcy", "ABCx", 4), 1);
  EXPECT_EQ(rt::strncmp("ab", "abc", 5), -1);
  EXPECT_EQ(rt::strncmp("abc", "ab", 5), 1);
  EXPECT_EQ(rt::strncmp("abc", "abd", 0), 0);
  EXPECT_EQ(rt::strncmp(nullptr, "", 4), 0);
  EXPECT_EQ(rt::strncmp(nullptr, "a", 4), -1);
  EXPECT_EQ(rt::strncmp("HELLO", "hello", 99), 0);
}

TEST(CRoutinesWin, StrncmpFailureAndOverlongTexts) {
  EXPECT_EQ(rt::strncmp("a", "a", -1), -2);  // a negative count is refused
  std::string a(5000, 'a');
  std::string b = a;
  b[4500] = 'b';
  // Over-long texts are limited to n below the cap...
  EXPECT_EQ(rt::strncmp(a.c_str(), b.c_str(), 10), 0);
  EXPECT_EQ(rt::strncmp(a.c_str(), "AAAA", 4), 0);
  EXPECT_EQ(rt::strncmp(a.c_str(), "AAAA", 5), 1);
  // ...and run to their terminating zero otherwise.
  EXPECT_EQ(rt::strncmp(a.c_str(), b.c_str(), 100000), -1);
}

}  // namespace
