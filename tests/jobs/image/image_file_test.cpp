// Image layouts against mastered images and their raw rewrites: detection,
// user-data size, reads and positions, truncated and failing images, and the
// disc-at-once cue sheet of an image.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "iso_test_support.h"
#include "jobs/image/image_cue_sheet.h"
#include "jobs/image/image_file.h"

namespace {

std::string Text(const CWideString& text) { return isotest::ToUtf8(isotest::ToU16(text)); }

TEST(ImageFile, DetectsLayoutsFileSystemsAndLabels) {
  struct Case {
    const char* file;
    i32 layout, sectorSize;
    const char* systems;
    const char* labelOf;  // the image whose isoinfo -d gives the label, or ""
  } cases[] = {
      {"joliet.iso", kLayoutIso2048, 2048, "ISO9660/Joliet", "joliet"},
      {"joliet.mode1.bin", kLayoutRawMode1, 2352, "ISO9660/Joliet", "joliet"},
      {"joliet.mode2.bin", kLayoutRawMode2Form1, 2352, "ISO9660/Joliet", "joliet"},
      {"joliet.2336.bin", kLayoutMode2Form1, 2336, "ISO9660/Joliet", "joliet"},
      {"joliet_g.iso", kLayoutIso2048, 2048, "ISO9660/Joliet", "joliet_g"},
      {"udf.iso", kLayoutIso2048, 2048, "ISO9660/Joliet/UDF Bridge", "udf"},
      {"udf.mode1.bin", kLayoutRawMode1, 2352, "ISO9660/Joliet", "udf"},
      {"level4.iso", kLayoutIso2048, 2048, "ISO9660/Joliet", "level4"},
      {"zero256.iso", kLayoutIso2048, 2048, "ISO9660", "zero256"},  // a zero sector 256 is no UDF anchor
      {"udf_only.img", kLayoutUnknown, 2048, "UDF", ""},
      {"audio.raw", kLayoutRawUnchanged, 2352, "", ""},
      {"tiny.part", kLayoutUnknown, 2048, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::vector<u8> bytes = isotest::Fixture(c.file);
    isotest::CTestSource source(bytes, bytes.size());
    CImageFile image;
    ASSERT_EQ(image.Attach(&source, false, true), kHrOk);
    EXPECT_EQ(image.GetLayout(), c.layout);
    EXPECT_EQ(image.GetSectorSize(), c.sectorSize);
    CWideString systems;
    DescribeFileSystems(image, &systems);
    EXPECT_EQ(Text(systems), c.systems);
    EXPECT_EQ(Text(image.GetLabel()), *c.labelOf ? isotest::ListingField(isotest::FixtureText(std::string(c.labelOf) + ".d.txt"), "Volume id") : "");
  }
}

// Every layout reads as the user data of its sectors: the plain image for
// the raw rewrites, the file itself for plain layouts; a position after a
// seek is the seek's target; truncated images end with their last user bytes.
TEST(ImageFile, EveryLayoutReadsItsUserData) {
  std::vector<u8> iso = isotest::Fixture("joliet.iso");
  struct Case {
    const char* file;
    u64 sectorSize, offset;  // 0: plain
  } cases[] = {{"joliet.iso", 0, 0},           {"audio.raw", 0, 0},
               {"udf_only.img", 0, 0},         {"joliet.mode1.bin", 2352, 16},
               {"joliet.mode2.bin", 2352, 24}, {"joliet.2336.bin", 2336, 8},
               {"joliet.mode1.cut.part", 2352, 16}, {"joliet.mode2.cut.part", 2352, 24},
               {"joliet.2336.cut.part", 2336, 8},   {"joliet.cut.iso.part", 2048, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::vector<u8> bytes = isotest::Fixture(c.file);
    isotest::CTestSource source(bytes, bytes.size());
    CImageFile image;
    image.Attach(&source, false, true);
    u64 n = bytes.size(), r = c.sectorSize ? n % c.sectorSize : 0, size = 0;
    u64 expected = c.sectorSize ? (n / c.sectorSize) * 2048 + (r > c.offset ? std::min<u64>(r - c.offset, 2048) : 0) : n;
    EXPECT_EQ(image.IsPlain(), c.sectorSize == 0 || c.sectorSize == 2048);
    EXPECT_EQ(image.GetSize(&size), kHrOk);
    EXPECT_EQ(size, expected);
    std::vector<u8> data = isotest::ReadAllUserData(image);
    const std::vector<u8>& reference = c.sectorSize ? iso : bytes;
    ASSERT_EQ(data.size(), expected);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), reference.begin()));
    for (u64 p : {u64(0), u64(1), u64(2047), u64(2048), u64(2049), u64(4095), u64(70000), size}) {
      u64 position = 12345;
      ASSERT_EQ(image.Seek(p, 0), kHrOk);
      ASSERT_EQ(image.GetPosition(&position), kHrOk);
      EXPECT_EQ(position, p);
    }
    std::vector<u8> part(5000);  // a read that starts and ends inside sectors
    u64 got = 0, position = 0;
    image.Seek(2047, 0);
    ASSERT_EQ(image.Read(part.data(), part.size(), &got), kHrOk);
    EXPECT_TRUE(got == part.size() && std::equal(part.begin(), part.end(), reference.begin() + 2047));
    image.GetPosition(&position);
    EXPECT_EQ(position, 2047u + 5000u);
    image.Seek(size + 4096, 0);
    EXPECT_EQ(image.Read(part.data(), 10, &got), kHrOk);  // past the end: nothing, and success
    EXPECT_EQ(got, 0u);
    EXPECT_TRUE(image.IsPlain() || Failed(image.Seek(~0ull - 5, 0)));  // refused, not wrapped
  }
}

TEST(ImageFile, PlainLayoutsSeekRelativelyWithinBounds) {
  std::vector<u8> bytes = isotest::Fixture("audio.raw");
  isotest::CTestSource source(bytes, bytes.size());
  CImageFile image;
  image.Attach(&source, false, true);
  u64 position = 0;
  EXPECT_EQ(image.Seek(static_cast<u64>(-100), 2), kHrOk);
  EXPECT_EQ(image.Seek(10, 1), kHrOk);
  image.GetPosition(&position);
  EXPECT_EQ(position, bytes.size() - 90);
  EXPECT_TRUE(Failed(image.Seek(static_cast<u64>(-1) * (bytes.size() + 1), 1)));
  image.Seek(0, 2);
  EXPECT_TRUE(Failed(image.Seek(0x7FFFFFFFFFFFFFFFull, 1)));  // would overflow
}

TEST(ImageFile, FailedOrShortReadsAreErrorsNotShortSuccesses) {
  for (const char* name : {"joliet.mode1.bin", "joliet.iso"}) {
    std::vector<u8> bytes = isotest::Fixture(name);
    for (auto fault : {isotest::CTestSource::kFail, isotest::CTestSource::kShort, isotest::CTestSource::kZero}) {
      SCOPED_TRACE(std::string(name) + " fault " + std::to_string(fault));
      isotest::CTestSource source(bytes, bytes.size(), 100000, fault);
      CImageFile image;
      ASSERT_EQ(image.Attach(&source, false, true), kHrOk);
      std::vector<u8> buffer(200000);
      u64 got = 0;
      EXPECT_TRUE(Failed(image.Read(buffer.data(), buffer.size(), &got)));
      EXPECT_LT(got, buffer.size());
    }
  }
  std::vector<u8> bytes = isotest::Fixture("joliet.iso");
  isotest::CTestSource unreadable(bytes, bytes.size(), 0, isotest::CTestSource::kFail);
  CImageFile image;
  ASSERT_EQ(image.Attach(&unreadable, false, true), kHrOk);
  EXPECT_TRUE(image.GetLayout() == kLayoutUnknown && image.GetFileSystems() == 0 && image.GetLabel().IsEmpty());
  CImageFile closed;
  u64 value = 1;
  EXPECT_TRUE(Failed(closed.GetSize(&value)) && Failed(closed.Read(&value, 1, &value)));
  EXPECT_EQ(closed.Attach(nullptr, false, true), kHrPointer);
}

// The sheet of an image's one data track counts its user data; the job log
// prints each entry with its address.
TEST(ImageCueSheet, SheetOfTheUserDataAndItsLogTable) {
  std::vector<u8> iso = isotest::Fixture("joliet.iso"), raw = isotest::Fixture("joliet.mode1.bin");
  for (bool mode2 : {false, true}) {
    // 1000 sectors of 2048 or raw 2352 bytes: zeros past the image's head.
    isotest::CTestSource source(mode2 ? raw : iso, 1000ull * (mode2 ? 2352 : 2048));
    CImageFile image;
    ASSERT_EQ(image.Attach(&source, false, true), kHrOk);
    CueSheet sheet;
    std::memset(&sheet, 0xEE, sizeof(sheet));
    ASSERT_TRUE(BuildImageCueSheet(image, &sheet, mode2));
    u8 d = mode2 ? 0x20 : 0x10, g = static_cast<u8>(d + 4);  // forms of the data and of the generated sectors
    const std::vector<u8> expected = {0x41, 0,    0, g, 0, 0, 0, 0, 0x41, 1, 0, d, 0, 0, 0,  0,  // lead-in, index 0
                                      0x41, 1,    1, d, 0, 0, 2, 0,                              // index 1 at 00:02:00
                                      0x41, 0xAA, 1, g, 0, 0, 15, 25};                           // lead-out at 1000
    ASSERT_EQ(4u, sheet.count);
    const u8* entries = &sheet.entries[0][0];
    EXPECT_EQ(expected, std::vector<u8>(entries, entries + 32));
    EXPECT_EQ(std::vector<u8>(8 * 252, 0), std::vector<u8>(entries + 32, entries + 8 * 256));  // the rest cleared
  }
  CImageFile closed;
  CueSheet sheet;
  EXPECT_FALSE(BuildImageCueSheet(closed, &sheet, false));
  EXPECT_EQ(0u, sheet.count);
  BuildSingleTrackCueSheet(&sheet, 1000, false);
  CWideString text(u"old text");
  LogCueSheet(sheet, &text);
  EXPECT_EQ("Cue Sheet\r\n\tCTL\tADR\tTno\tIdx\tDtf\tSCM\tMin\tSec\tFrm\tLBA\r\n" + std::string(114, '=') + "\r\n"
            "\t04\t01\t00\t00\t14\t00\t00\t00\t00\t-150\r\n\t04\t01\t01\t00\t10\t00\t00\t00\t00\t-150\r\n"
            "\t04\t01\t01\t01\t10\t00\t00\t02\t00\t0\r\n\t04\t01\taa\t01\t14\t00\t00\t15\t25\t1000\r\n",
            Text(text));
}

// The log table's fields at their digit boundaries: hexadecimal at 9/a
// and f/10, times at 9/10 and 99/100 (a minute past 99 gets its third digit).
TEST(ImageCueSheet, LogTableFieldsAtTheirDigitBoundaries) {
  const u8 entries[][8] = {
      {0x9A, 0x0F, 0x10, 0xA0, 0xFF, 9, 10, 59},
      {0x00, 0x99, 0x9F, 0x00, 0x01, 10, 59, 74},
      {0xA9, 0xAA, 0x01, 0x14, 0x00, 99, 60, 9},
      {0x41, 0x01, 0x00, 0x10, 0x00, 100, 0, 0},
      {0x41, 0x01, 0x01, 0x10, 0x00, 0, 9, 10},
  };
  CueSheet sheet;
  std::memset(&sheet, 0, sizeof(sheet));
  for (const auto& e : entries) std::memcpy(sheet.entries[sheet.count++], e, 8);
  CWideString text;
  LogCueSheet(sheet, &text);
  const std::string head = "Cue Sheet\r\n\tCTL\tADR\tTno\tIdx\tDtf\tSCM\tMin\tSec\tFrm\tLBA\r\n" + std::string(114, '=') + "\r\n";
  EXPECT_EQ(head +
                "\t09\t0a\t0f\t10\ta0\tff\t09\t10\t59\t41159\r\n"
                "\t00\t00\t99\t9f\t00\t01\t10\t59\t74\t49349\r\n"
                "\t0a\t09\taa\t01\t14\t00\t99\t60\t09\t449859\r\n"
                "\t04\t01\t01\t00\t10\t00\t100\t00\t00\t449850\r\n"
                "\t04\t01\t01\t01\t10\t00\t00\t09\t10\t535\r\n",
            Text(text));
}

}  // namespace
