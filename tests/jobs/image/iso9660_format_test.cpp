#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "iso_test_support.h"
#include "jobs/image/iso9660_format.h"

namespace {

using isotest::MakeRecord;

TEST(Iso9660Records, ParsesFieldsAndRefusesBadLengths) {
  std::vector<u8> r = MakeRecord("FILE.TXT;1", 1234, 5678, kRecordHidden);
  DirRecord record;
  ASSERT_TRUE(ParseDirRecord(r.data(), r.size(), &record));
  EXPECT_EQ(record.length, r.size());
  EXPECT_EQ(record.location, 1234u);
  EXPECT_EQ(record.size, 5678u);
  EXPECT_EQ(record.flags, kRecordHidden);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.name), record.nameLength), "FILE.TXT;1");
  EXPECT_FALSE(ParseDirRecord(r.data(), r.size() - 1, &record));  // runs past the data
  std::vector<u8> bad = r;
  bad[32] = static_cast<u8>(r.size() - 32);  // name past the record
  EXPECT_FALSE(ParseDirRecord(bad.data(), bad.size(), &record));
  bad = r;
  bad[32] = 0;  // empty name
  EXPECT_FALSE(ParseDirRecord(bad.data(), bad.size(), &record));
  bad = r;
  bad[0] = 20;  // shorter than the fixed part
  EXPECT_FALSE(ParseDirRecord(bad.data(), bad.size(), &record));
  EXPECT_FALSE(ParseDirRecord(r.data(), 10, &record));
}

TEST(Iso9660Records, CursorFollowsBlockPaddingAndSkipsBrokenBlocks) {
  std::vector<u8> data(3 * 2048, 0);
  std::vector<u8> a = MakeRecord(std::string(1, '\0'), 20, 2048 * 3, kRecordDirectory);
  std::vector<u8> b = MakeRecord("B;1", 30, 1, 0);
  std::vector<u8> c = MakeRecord("C;1", 31, 2, 0);
  std::vector<u8> d = MakeRecord("D;1", 32, 3, 0);
  std::memcpy(data.data(), a.data(), a.size());
  std::memcpy(data.data() + a.size(), b.data(), b.size());
  std::memcpy(data.data() + 2048, c.data(), c.size());                  // after padding
  data[2048 + c.size()] = 7;                                            // broken record
  std::memcpy(data.data() + 4096, d.data(), d.size());                  // next block
  CDirRecordCursor cursor(data.data(), data.size());
  DirRecord record;
  std::vector<u32> seen;
  while (cursor.Next(&record)) seen.push_back(record.location);
  EXPECT_EQ(seen, (std::vector<u32>{20, 30, 31, 32}));
  EXPECT_EQ(cursor.GetMalformed(), 1u);
  DirRecord self;
  ASSERT_TRUE(ParseDirRecord(a.data(), a.size(), &self));
  EXPECT_TRUE(IsSelfOrParent(self));
  ParseDirRecord(b.data(), b.size(), &self);
  EXPECT_FALSE(IsSelfOrParent(self));

  // A block starting with 0 ends the directory.
  std::vector<u8> ended(2 * 2048, 0);
  std::memcpy(ended.data(), b.data(), b.size());
  CDirRecordCursor stop(ended.data(), ended.size());
  int count = 0;
  while (stop.Next(&record)) ++count;
  EXPECT_EQ(count, 1);
}

TEST(Iso9660Dates, DatesFrom1970GoThroughUnixTime) {
  const u8 date[7] = {124, 2, 29, 23, 59, 58, 36};  // 2024-02-29, offset ignored
  DateTime out;
  ASSERT_TRUE(IsoDateToTime(date, &out));
  EXPECT_EQ(out.year, 2024);
  EXPECT_EQ(out.month, 2);
  EXPECT_EQ(out.day, 29);
  EXPECT_EQ(out.weekday, 4);  // a Thursday
  EXPECT_EQ(out.hour, 23);
  EXPECT_EQ(out.minute, 59);
  EXPECT_EQ(out.second, 58);
}

TEST(Iso9660Dates, EarlierDatesKeepTheirFieldsWithoutWrapping) {
  const u8 date[7] = {65, 6, 15, 10, 20, 30, 0};
  DateTime out;
  ASSERT_TRUE(IsoDateToTime(date, &out));
  EXPECT_EQ(out.year, 1965);
  EXPECT_EQ(out.month, 6);
  EXPECT_EQ(out.day, 15);
  EXPECT_EQ(out.weekday, 2);  // a Tuesday
  EXPECT_EQ(out.hour, 10);
  EXPECT_EQ(out.minute, 20);
  EXPECT_EQ(out.second, 30);
  const u8 first[7] = {0, 1, 1, 0, 0, 0, 0};
  ASSERT_TRUE(IsoDateToTime(first, &out));
  EXPECT_EQ(out.year, 1900);
  EXPECT_EQ(out.weekday, 1);  // 1900-01-01 was a Monday
}

TEST(Iso9660Dates, UnrecordedOrBrokenDatesAreZero) {
  const u8 zero[7] = {0, 0, 0, 0, 0, 0, 0};
  DateTime out;
  out.year = 77;
  EXPECT_FALSE(IsoDateToTime(zero, &out));
  EXPECT_EQ(out.year, 0);
  const u8 bad[7] = {100, 13, 1, 0, 0, 0, 0};
  EXPECT_FALSE(IsoDateToTime(bad, &out));
  const u8 late[7] = {100, 1, 1, 24, 0, 0, 0};
  EXPECT_FALSE(IsoDateToTime(late, &out));
}

TEST(Iso9660Descriptors, OnlyVersionOneWithEscapeIsJoliet) {
  bool found = false;
  std::vector<u8> image = isotest::ReadFixture("level4.iso", &found);
  ASSERT_TRUE(found) << "fixtures/iso/level4.iso missing";
  const u8* pvd = image.data() + 16 * 2048;
  const u8* evd = image.data() + 17 * 2048;
  const u8* svd = image.data() + 18 * 2048;
  EXPECT_TRUE(IsVolumeDescriptor(pvd, 2048));
  EXPECT_EQ(DescriptorType(evd), kDescriptorSupplementary);
  EXPECT_FALSE(IsJolietDescriptor(pvd, 2048));
  EXPECT_FALSE(IsJolietDescriptor(evd, 2048));  // enhanced: version 2
  EXPECT_TRUE(IsJolietDescriptor(svd, 2048));
  EXPECT_FALSE(IsJolietDescriptor(svd, 90));
  std::vector<u8> copy(svd, svd + 2048);
  copy[90] = 'Z';  // not a UCS-2 level
  EXPECT_FALSE(IsJolietDescriptor(copy.data(), copy.size()));
}

TEST(Iso9660Descriptors, LabelsLoseTrailingSpaces) {
  std::vector<u8> d(2048, 0);
  std::memcpy(d.data() + 1, "CD001", 5);
  std::memset(d.data() + 40, ' ', 32);
  std::memcpy(d.data() + 40, "MY DISC", 7);
  CWideString label;
  ReadDescriptorLabel(d.data(), d.size(), false, &label);
  EXPECT_EQ(isotest::ToU16(label), u"MY DISC");
  // UCS-2 big-endian: "Ab" then spaces.
  for (int i = 0; i < 16; ++i) {
    d[40 + 2 * i] = 0;
    d[41 + 2 * i] = ' ';
  }
  d[41] = 'A';
  d[42] = 0x04;
  d[43] = 0x16;  // U+0416
  ReadDescriptorLabel(d.data(), d.size(), true, &label);
  EXPECT_EQ(isotest::ToU16(label), u"A\u0416");
  ReadDescriptorLabel(d.data(), 50, true, &label);
  EXPECT_TRUE(label.IsEmpty());
  wchar16 chars[16];
  for (int i = 0; i < 16; ++i) chars[i] = static_cast<wchar16>(0x4100 + i);
  SwapUcs2Label(chars);
  EXPECT_EQ(chars[0], 0x0041);
  EXPECT_EQ(chars[15], 0x0F41);
  u8 name[5] = {0, 'a', 0, 'b', 9};
  SwapJolietName(name, 5);
  EXPECT_EQ(name[0], 'a');
  EXPECT_EQ(name[2], 'b');
  EXPECT_EQ(name[4], 9);
}

}  // namespace
