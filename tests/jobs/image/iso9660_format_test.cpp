// Directory records, recording dates, descriptors and labels, the UDF anchor
// test and the names allowed on disk: the parsers of untrusted image bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "iso_test_support.h"
#include "jobs/image/iso9660_format.h"
#include "jobs/image/safe_name.h"
#include "jobs/image/udf_anchor.h"

namespace {

using isotest::MakeRecord;

TEST(Iso9660Records, FieldsAndEveryBadLength) {
  std::vector<u8> r = MakeRecord("FILE.TXT;1", 1234, 5678, kRecordHidden);
  DirRecord record;
  ASSERT_TRUE(ParseDirRecord(r.data(), r.size(), &record));
  EXPECT_TRUE(record.length == r.size() && record.location == 1234u && record.size == 5678u && record.flags == kRecordHidden);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.name), record.nameLength), "FILE.TXT;1");
  // {byte, value, bytes given}: past the data, name past the record, empty
  // name, shorter than the fixed part, fewer bytes than a record.
  const u32 bad[][3] = {{0, r[0], u32(r.size() - 1)}, {32, u8(r.size() - 32), u32(r.size())}, {32, 0, u32(r.size())},
                        {0, 20, u32(r.size())}, {0, r[0], 10}};
  for (const auto& b : bad) {
    std::vector<u8> copy = r;
    copy[b[0]] = static_cast<u8>(b[1]);
    EXPECT_FALSE(ParseDirRecord(copy.data(), b[2], &record)) << b[0] << " " << b[1] << " " << b[2];
  }
}

TEST(Iso9660Records, CursorFollowsPaddingSkipsBrokenBlocksAndStopsAtAnEmptyBlock) {
  std::vector<u8> data(4 * 2048, 0);
  auto put = [&](size_t at, const std::vector<u8>& r) { std::memcpy(data.data() + at, r.data(), r.size()); };
  std::vector<u8> self = MakeRecord(std::string(1, '\0'), 20, 2048 * 3, kRecordDirectory);
  put(0, self);
  put(self.size(), MakeRecord("B;1", 30, 1, 0));
  put(2048, MakeRecord("C;1", 31, 2, 0));  // after padding
  data[2048 + 36] = 7;                     // a broken record
  put(4096, MakeRecord("D;1", 32, 3, 0));  // the next block; the block after it starts with 0
  put(6144 + 100, MakeRecord("E;1", 33, 3, 0));
  CDirRecordCursor cursor(data.data(), data.size());
  DirRecord record;
  std::vector<u32> seen;
  while (cursor.Next(&record)) seen.push_back(record.location);
  EXPECT_EQ(seen, (std::vector<u32>{20, 30, 31, 32}));
  EXPECT_EQ(cursor.GetMalformed(), 1u);
  ParseDirRecord(self.data(), self.size(), &record);
  EXPECT_TRUE(IsSelfOrParent(record));
}

TEST(Iso9660Dates, FromUnixTimeBefore1970AndRefused) {
  struct Case {
    u8 date[7];
    bool ok;
    u16 year, month, day, weekday, hour, minute, second;
  } cases[] = {
      {{124, 2, 29, 23, 59, 58, 36}, true, 2024, 2, 29, 4, 23, 59, 58},  // the GMT offset is not used
      {{65, 6, 15, 10, 20, 30, 0}, true, 1965, 6, 15, 2, 10, 20, 30},    // before 1970: no wrap
      {{0, 1, 1, 0, 0, 0, 0}, true, 1900, 1, 1, 1, 0, 0, 0},
      // Refused: the time 0, 1970-01-01 00:00:00, a Thursday.
      {{0, 0, 0, 0, 0, 0, 0}, false, 1970, 1, 1, 4, 0, 0, 0},  // not recorded
      {{100, 13, 1, 0, 0, 0, 0}, false, 1970, 1, 1, 4, 0, 0, 0},
      {{100, 1, 0, 0, 0, 0, 0}, false, 1970, 1, 1, 4, 0, 0, 0},
      {{100, 1, 1, 24, 0, 0, 0}, false, 1970, 1, 1, 4, 0, 0, 0},
      {{100, 1, 1, 0, 60, 0, 0}, false, 1970, 1, 1, 4, 0, 0, 0},
      {{100, 1, 1, 0, 0, 60, 0}, false, 1970, 1, 1, 4, 0, 0, 0},
  };
  for (const Case& c : cases) {
    DateTime d;
    std::memset(&d, 0x77, sizeof(d));
    EXPECT_EQ(c.ok, IsoDateToTime(c.date, &d)) << c.year;
    EXPECT_EQ((std::vector<u16>{c.year, c.month, c.day, c.weekday, c.hour, c.minute, c.second, 0}),
              (std::vector<u16>{d.year, d.month, d.day, d.weekday, d.hour, d.minute, d.second, d.milliseconds}));
  }
}

TEST(Iso9660Descriptors, JolietVersionAndLabels) {
  std::vector<u8> image = isotest::Fixture("level4.iso");
  ASSERT_GE(image.size(), 20u * 2048);
  const u8* evd = image.data() + 17 * 2048;
  std::vector<u8> svd(image.begin() + 18 * 2048, image.begin() + 19 * 2048);
  EXPECT_TRUE(IsVolumeDescriptor(image.data() + 16 * 2048, 2048) && DescriptorType(evd) == kDescriptorSupplementary);
  EXPECT_FALSE(IsJolietDescriptor(image.data() + 16 * 2048, 2048));  // primary
  EXPECT_FALSE(IsJolietDescriptor(evd, 2048));                       // enhanced: version 2
  EXPECT_TRUE(IsJolietDescriptor(svd.data(), 2048));
  EXPECT_FALSE(IsJolietDescriptor(svd.data(), 90));
  svd[90] = 'Z';  // no UCS-2 level
  EXPECT_FALSE(IsJolietDescriptor(svd.data(), 2048));
  std::vector<u8> d(2048, 0);
  std::memcpy(d.data() + 40, "MY DISC                         ", 32);
  CWideString label;
  ReadDescriptorLabel(d.data(), d.size(), false, &label);
  EXPECT_EQ(isotest::ToU16(label), u"MY DISC");
  const u8 ucs2[] = {0, 'A', 0x04, 0x16, 0, ' ', 0, ' ', 0, 0, 0, 'x'};  // "AЖ", blanks, a zero ending it
  std::memcpy(d.data() + 40, ucs2, sizeof(ucs2));
  ReadDescriptorLabel(d.data(), d.size(), true, &label);
  EXPECT_EQ(isotest::ToU16(label), u"A\u0416");
  ReadDescriptorLabel(d.data(), 50, true, &label);
  EXPECT_TRUE(label.IsEmpty());
}

TEST(UdfAnchor, CheckValueAndEachBrokenField) {
  EXPECT_EQ(UdfTagCrc(reinterpret_cast<const u8*>("123456789"), 9), 0x31C3);
  std::vector<u8> image = isotest::Fixture("udf.iso");
  ASSERT_GE(image.size(), 257u * 2048);
  std::vector<u8> good(image.begin() + 256 * 2048, image.begin() + 257 * 2048);
  EXPECT_TRUE(IsUdfAnchor(good.data(), good.size(), kUdfAnchorSector));
  EXPECT_FALSE(IsUdfAnchor(good.data(), good.size(), 257));
  EXPECT_FALSE(IsUdfAnchor(good.data(), 15, kUdfAnchorSector));
  // {byte, new value, checksum made right again}: another descriptor, the
  // checksum, location 512, CRC length past the sector, CRC length 0 with
  // CRC 0 (a zero sector), the covered data.
  const int broken[][3] = {{0, 3, 1}, {4, -1, 0}, {13, 2, 1}, {10, 0xFF, 1}, {10, 0, 1}, {40, -1, 0}};
  for (const auto& b : broken) {
    std::vector<u8> s = good;
    s[b[0]] = b[1] < 0 ? static_cast<u8>(s[b[0]] ^ 0x55) : static_cast<u8>(b[1]);
    if (b[0] == 10) {  // both length bytes, and a CRC of 0
      s[11] = s[10];
      s[8] = s[9] = 0;
    }
    u8 sum = 0;
    for (int i = 0; i < 16; ++i) sum = static_cast<u8>(sum + (i == 4 ? 0 : s[i]));
    if (b[2]) s[4] = sum;
    EXPECT_FALSE(IsUdfAnchor(s.data(), s.size(), kUdfAnchorSector)) << b[0];
  }
  EXPECT_FALSE(IsUdfAnchor(std::vector<u8>(2048, 0).data(), 2048, kUdfAnchorSector));
}

TEST(SafeName, OnlyPlainComponentsPass) {
  for (const char16_t* name : {u"README.TXT;1", u"Ünïcödé_名前.txt", u"..hidden", u"a..b", u".profile", u"CONSOLE",
                               u"CON_1", u"COM10", u"LPT0", u"COM", u"my con.txt", u"nul2.txt", u"AUXILIARY.txt"})
    EXPECT_TRUE(IsSafePathComponent(name, static_cast<i32>(std::u16string(name).size()))) << isotest::ToUtf8(name);
  for (std::u16string name : {std::u16string(u""), std::u16string(u"."), std::u16string(u".."), std::u16string(u"..."),
                              std::u16string(u"..\\..\\windows"), std::u16string(u"../etc"), std::u16string(u"dir/file"),
                              std::u16string(u"C:evil"), std::u16string(u"file.txt:stream"), std::u16string(u"a\0b", 3),
                              std::u16string(u"tab\there"), std::u16string(u"del\x7f"), std::u16string(u"what?"),
                              std::u16string(u"star*"), std::u16string(u"a<b"), std::u16string(u"a>b"), std::u16string(u"q\"q"),
                              std::u16string(u"pipe|"), std::u16string(u"trailing."), std::u16string(u"trailing ")})
    EXPECT_FALSE(IsSafePathComponent(name.data(), static_cast<i32>(name.size()))) << isotest::ToUtf8(name);
  // Device names in any case, with or without an extension or blanks
  // before the dot.
  for (const char16_t* name : {u"CON", u"con", u"Prn", u"aux", u"NUL", u"nul.txt", u"CON .txt", u"conin$", u"CONOUT$.log",
                               u"COM1", u"com9", u"LPT1", u"lpt9.doc", u"COM\u00b9", u"LPT\u00b2.txt", u"aux.tar.gz"})
    EXPECT_FALSE(IsSafePathComponent(name, static_cast<i32>(std::u16string(name).size()))) << isotest::ToUtf8(name);
  EXPECT_FALSE(IsSafePathComponent(nullptr, 3));
}

}  // namespace
