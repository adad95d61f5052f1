#include <gtest/gtest.h>

#include <vector>

#include "iso_test_support.h"
#include "jobs/image/udf_anchor.h"

namespace {

TEST(UdfAnchor, TagCrcMatchesTheCheckValue) {
  const char* text = "123456789";
  EXPECT_EQ(UdfTagCrc(reinterpret_cast<const u8*>(text), 9), 0x31C3);
  EXPECT_EQ(UdfTagCrc(nullptr, 0), 0);
}

TEST(UdfAnchor, ZeroSectorIsNotAnAnchor) {
  std::vector<u8> zeros(2048, 0);
  EXPECT_FALSE(IsUdfAnchor(zeros.data(), zeros.size(), kUdfAnchorSector));
}

class UdfAnchorFromTool : public ::testing::Test {
 protected:
  void SetUp() override {
    bool found = false;
    image_ = isotest::ReadFixture("udf.iso", &found);
    ASSERT_TRUE(found) << "fixtures/iso/udf.iso missing";
    ASSERT_GE(image_.size(), 257u * 2048);
    sector_.assign(image_.begin() + 256 * 2048, image_.begin() + 257 * 2048);
  }
  void Refresh() {  // recomputes the tag checksum after a change
    u8 sum = 0;
    for (int i = 0; i < 16; ++i)
      if (i != 4) sum = static_cast<u8>(sum + sector_[i]);
    sector_[4] = sum;
  }
  std::vector<u8> image_;
  std::vector<u8> sector_;
};

TEST_F(UdfAnchorFromTool, MasteredAnchorPasses) {
  EXPECT_TRUE(IsUdfAnchor(sector_.data(), sector_.size(), kUdfAnchorSector));
  EXPECT_FALSE(IsUdfAnchor(sector_.data(), sector_.size(), 257));
  EXPECT_FALSE(IsUdfAnchor(sector_.data(), 15, kUdfAnchorSector));
}

TEST_F(UdfAnchorFromTool, EachBrokenFieldIsRefused) {
  std::vector<u8> good = sector_;
  sector_[0] = 3;  // another descriptor
  Refresh();
  EXPECT_FALSE(IsUdfAnchor(sector_.data(), sector_.size(), kUdfAnchorSector));
  sector_ = good;
  sector_[4] ^= 1;  // checksum
  EXPECT_FALSE(IsUdfAnchor(sector_.data(), sector_.size(), kUdfAnchorSector));
  sector_ = good;
  sector_[13] = 2;  // location 512
  Refresh();
  EXPECT_FALSE(IsUdfAnchor(sector_.data(), sector_.size(), kUdfAnchorSector));
  sector_ = good;
  sector_[10] = 0xFF;  // CRC length past the sector
  sector_[11] = 0xFF;
  Refresh();
  EXPECT_FALSE(IsUdfAnchor(sector_.data(), sector_.size(), kUdfAnchorSector));
  sector_ = good;
  sector_[10] = 0;  // CRC length 0 with CRC 0
  sector_[11] = 0;
  sector_[8] = 0;
  sector_[9] = 0;
  Refresh();
  EXPECT_FALSE(IsUdfAnchor(sector_.data(), sector_.size(), kUdfAnchorSector));
  sector_ = good;
  sector_[40] ^= 0x55;  // covered data
  EXPECT_FALSE(IsUdfAnchor(sector_.data(), sector_.size(), kUdfAnchorSector));
}

}  // namespace
