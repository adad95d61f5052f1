// The burn-image window's size figure at its switching points: the unit
// changes only above 1023 of the smaller one, the two decimals round half
// up (and may carry into the whole number), the byte count is grouped by
// threes; the sector count is whole 2048-byte sectors.
#include <gtest/gtest.h>

#include <string>

#include "app/job_windows/burn_image_info.h"

namespace {

std::u16string SizeText(u64 bytes) {
  CWideString out;
  FormatImageSize(bytes, &out);
  return std::u16string(out.c_str(), static_cast<size_t>(out.GetLength()));
}

TEST(BurnImageInfo, SizeTextAtItsUnitAndRoundingEdges) {
  struct Case {
    u64 bytes;
    const char16_t* text;
  } cases[] = {
      {0, u"0 bytes (0.00 Bytes)"},
      {1023, u"1.023 bytes (1023.00 Bytes)"},
      {1024, u"1.024 bytes (1.00 KB)"},
      {1029, u"1.029 bytes (1.00 KB)"},  // 1.0049
      {1030, u"1.030 bytes (1.01 KB)"},  // 1.0059
      {1075, u"1.075 bytes (1.05 KB)"},  // 1.0498
      {2047, u"2.047 bytes (2.00 KB)"},  // 1.999: the rounding carries
      {1047552, u"1.047.552 bytes (1023.00 KB)"},
      {1047553, u"1.047.553 bytes (1.00 MB)"},
      {1179648, u"1.179.648 bytes (1.13 MB)"},  // 1.125 exactly: half up
      {1474560, u"1.474.560 bytes (1.41 MB)"},
      {1073741824, u"1.073.741.824 bytes (1.00 GB)"},
      {1099511627776ull, u"1.099.511.627.776 bytes (1.00 TB)"},
      {1125899906842624ull, u"1.125.899.906.842.624 bytes (1024.00 TB)"},  // no unit after TB
      {18446744073709551615ull, u"18.446.744.073.709.551.615 bytes (16777216.00 TB)"},
  };
  for (const Case& c : cases) EXPECT_EQ(std::u16string(c.text), SizeText(c.bytes)) << c.bytes;
}

TEST(BurnImageInfo, GroupsOfThreeAndWholeSectors) {
  struct Group {
    u64 n;
    const char16_t* text;
  } groups[] = {{999, u"999"}, {1000, u"1.000"}, {100000, u"100.000"}, {999999, u"999.999"}, {1000000, u"1.000.000"}};
  for (const Group& g : groups) {
    CWideString out;
    AppendGrouped(&out, g.n);
    EXPECT_EQ(std::u16string(g.text), std::u16string(out.c_str(), static_cast<size_t>(out.GetLength())));
  }
  // A partial last sector is written whole: it counts.
  struct Sectors {
    u64 bytes;
    u32 sectors;
    bool fits;
  } sizes[] = {{0, 0, true},         {1, 1, true},         {2047, 1, true},
               {2048, 1, true},      {2049, 2, true},      {4096, 2, true},
               {0xFFFFFFFFull * 2048, 0xFFFFFFFFu, true}, {0xFFFFFFFFull * 2048 + 1, 0, false}};
  for (const Sectors& s : sizes) {
    u32 sectors = 99;
    EXPECT_EQ(s.fits, ImageSectorsFit(s.bytes, &sectors)) << s.bytes;
    EXPECT_EQ(s.sectors, sectors) << s.bytes;
  }
}

}  // namespace
