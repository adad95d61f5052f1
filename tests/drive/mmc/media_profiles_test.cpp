#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "drive/mmc/media_profiles.h"

namespace {

std::string Name(u16 p) {
  ProfileName n = GetProfileName(p);
  std::string s;
  for (u32 i = 0; i < n.length; ++i) s.push_back(static_cast<char>(n.text[i]));
  return s;
}

bool Has(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

}  // namespace

// The medium bits follow from what the name says: family; recordable (all
// but ROM) and rewritable, plus media only through their own bits; RAM,
// DVD+, DVD+RW and double layer. Profile 0x42 sets nothing. Each profile of
// the drive's list has a bit of its own, except that DVD-R and DVD+R double
// layer share one.
TEST(MediaProfiles, BitsFollowTheName) {
  u32 named = 0, listed = 0;
  std::set<std::pair<u32, u8>> used;
  for (u32 p = 0; p <= 0xFFFF; ++p) {
    std::string n = Name(static_cast<u16>(p));
    u32 byte = 9;
    u8 mask = 0;
    if (ProfileListBit(static_cast<u16>(p), &byte, &mask)) {
      ++listed;
      EXPECT_FALSE(n.empty()) << p;
      EXPECT_TRUE(byte <= 3 && __builtin_popcount(mask) == 1) << p;
      EXPECT_TRUE(used.insert({byte, mask}).second || p == 0x2B) << p;
    }
    u8 flags = 0xEE, flags2 = 0xEE;
    ProfileMediaBits(static_cast<u16>(p), &flags, &flags2);
    if (n.empty() || p == 0x42) {
      EXPECT_EQ(0, flags | flags2) << p;
      continue;
    }
    ++named;
    bool plus = Has(n, "+");
    u8 family = n.compare(0, 5, "HDDVD") == 0 ? 0x20 : n.compare(0, 2, "BD") == 0 ? 0x10 : n.compare(0, 3, "DVD") == 0 ? 0x08 : 0x04;
    bool rewritable = !plus && !Has(n, "RAM") && (Has(n, "RW") || Has(n, "RE"));
    bool recordable = !plus && !Has(n, "ROM");
    EXPECT_EQ(family | (recordable ? 0x40 : 0) | (rewritable ? 0x80 : 0), flags) << n;
    EXPECT_EQ((Has(n, "RAM") ? 1 : 0) | (plus ? 2 : 0) | (Has(n, "+RW") ? 4 : 0) | (Has(n, "Dual Layer") ? 8 : 0), flags2) << n;
  }
  EXPECT_EQ(27u, named);  // and 0x42
  EXPECT_EQ(23u, listed);
  EXPECT_EQ("BD-R-R", Name(0x42));
  u32 a = 9, b = 9;
  u8 ma = 0, mb = 0;
  ASSERT_TRUE(ProfileListBit(0x15, &a, &ma) && ProfileListBit(0x2B, &b, &mb));
  EXPECT_TRUE(a == b && ma == mb);
  EXPECT_FALSE(ProfileListBit(0x16, &a, &ma));
}
