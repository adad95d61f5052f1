#include <gtest/gtest.h>

#include <string>

#include "jobs/image/safe_name.h"

namespace {

bool Safe(const std::u16string& name) { return IsSafePathComponent(name.data(), static_cast<i32>(name.size())); }

TEST(SafeName, PlainNamesPass) {
  EXPECT_TRUE(Safe(u"README.TXT;1"));
  EXPECT_TRUE(Safe(u"Ünïcödé_名前.txt"));
  EXPECT_TRUE(Safe(u"..hidden"));
  EXPECT_TRUE(Safe(u"a..b"));
  EXPECT_TRUE(Safe(u"..."));
}

TEST(SafeName, NamesThatCouldLeaveTheFolderAreRefused) {
  EXPECT_FALSE(Safe(u""));
  EXPECT_FALSE(Safe(u"."));
  EXPECT_FALSE(Safe(u".."));
  EXPECT_FALSE(Safe(u"..\\..\\windows"));
  EXPECT_FALSE(Safe(u"../etc"));
  EXPECT_FALSE(Safe(u"dir/file"));
  EXPECT_FALSE(Safe(u"C:evil"));
  EXPECT_FALSE(Safe(u"file.txt:stream"));
  EXPECT_FALSE(Safe(std::u16string(u"a\0b", 3)));
  EXPECT_FALSE(Safe(u"tab\there"));
  EXPECT_FALSE(Safe(u"del\x7f"));
  EXPECT_FALSE(IsSafePathComponent(nullptr, 3));
}

}  // namespace
