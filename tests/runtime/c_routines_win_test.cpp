#include <gtest/gtest.h>

#include <string>

#include "runtime/c_routines.h"

namespace {

TEST(CRoutinesWin, StrncmpIgnoresCaseWithinN) {
  std::string a(5000, 'a');
  std::string b = a;
  b[4500] = 'b';
  const struct {
    const char *a, *b;
    i32 n, want;
  } rows[] = {
      {"ABCx", "abcy", 3, 0},  {"ABCx", "abcy", 4, -1}, {"abcy", "ABCx", 4, 1}, {"ab", "abc", 5, -1},
      {"abc", "ab", 5, 1},     {"abc", "abd", 0, 0},    {nullptr, "", 4, 0},    {nullptr, "a", 4, -1},
      {"HELLO", "hello", 99, 0}, {"a", "a", -1, -2},  // a negative count is refused
      // Over-long texts are limited to an n below the cap, else run to their zero.
      {a.c_str(), b.c_str(), 10, 0}, {a.c_str(), "AAAA", 4, 0}, {a.c_str(), "AAAA", 5, 1}, {a.c_str(), b.c_str(), 100000, -1},
  };
  for (const auto& r : rows)
    EXPECT_EQ(rt::strncmp(r.a, r.b, r.n), r.want) << (r.a ? std::string(r.a).substr(0, 6) : "null") << " " << r.n;
}

}  // namespace
