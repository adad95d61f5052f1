// Disc-at-once cue sheets of images and the cue-sheet table of the job log.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "jobs/image/image_cue_sheet.h"
#include "jobs/image/image_file.h"
#include "jobs/burn/source_layout.h"

namespace {

// An image of `sectors` sectors of `sectorSize` bytes whose user data starts
// `dataOffset` bytes into each sector, with a volume descriptor at 16.
std::vector<u8> MakeImage(u32 sectors, u32 sectorSize, u32 dataOffset) {
  std::vector<u8> bytes(static_cast<size_t>(sectors) * sectorSize, 0x5A);
  u8* descriptor = bytes.data() + 16 * sectorSize + dataOffset;
  std::memset(descriptor, 0, 2048);
  descriptor[0] = 1;
  std::memcpy(descriptor + 1, "CD001", 5);
  descriptor[6] = 1;
  u8* terminator = bytes.data() + 17 * sectorSize + dataOffset;
  std::memset(terminator, 0, 2048);
  terminator[0] = 255;
  std::memcpy(terminator + 1, "CD001", 5);
  return bytes;
}

std::vector<u8> SheetBytes(const CueSheet& sheet) {
  std::vector<u8> out;
  for (u32 i = 0; i < sheet.count; ++i) out.insert(out.end(), sheet.entries[i], sheet.entries[i] + 8);
  return out;
}

TEST(ImageCueSheet, Mode1ImageOfOneThousandBlocks) {
  std::vector<u8> bytes = MakeImage(1000, 2048, 0);
  CMemoryImageSource source(bytes.data(), bytes.size());
  CImageFile image;
  ASSERT_EQ(kHrOk, image.Attach(&source, false, true));
  CueSheet sheet;
  std::memset(&sheet, 0xEE, sizeof(sheet));
  ASSERT_TRUE(BuildImageCueSheet(image, &sheet, false));
  const std::vector<u8> expected = {
      0x41, 0x00, 0x00, 0x14, 0x00, 0x00, 0x00, 0x00,  // lead-in
      0x41, 0x01, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00,  // track 1 index 0 at -150
      0x41, 0x01, 0x01, 0x10, 0x00, 0x00, 0x02, 0x00,  // index 1 at 0 (00:02:00)
      0x41, 0xAA, 0x01, 0x14, 0x00, 0x00, 0x0F, 0x19,  // lead-out at 1000 (00:15:25)
  };
  EXPECT_EQ(4u, sheet.count);
  EXPECT_EQ(expected, SheetBytes(sheet));
  // Entries beyond the count stay zero.
  for (u32 i = 4; i < kCueSheetEntries; ++i)
    for (u32 k = 0; k < 8; ++k) ASSERT_EQ(0, sheet.entries[i][k]);
}

TEST(ImageCueSheet, Mode2FormsAndRawSectorsCountUserData) {
  std::vector<u8> raw = MakeImage(1000, 2352, 16);
  CMemoryImageSource source(raw.data(), raw.size());
  CImageFile image;
  ASSERT_EQ(kHrOk, image.Attach(&source, false, true));
  ASSERT_EQ(kLayoutRawMode1, image.GetLayout());
  CueSheet sheet;
  ASSERT_TRUE(BuildImageCueSheet(image, &sheet, true));
  const std::vector<u8> expected = {
      0x41, 0x00, 0x00, 0x24, 0x00, 0x00, 0x00, 0x00,  //
      0x41, 0x01, 0x00, 0x20, 0x00, 0x00, 0x00, 0x00,  //
      0x41, 0x01, 0x01, 0x20, 0x00, 0x00, 0x02, 0x00,  //
      0x41, 0xAA, 0x01, 0x24, 0x00, 0x00, 0x0F, 0x19,  // user-data size / 2048 = 1000
  };
  EXPECT_EQ(expected, SheetBytes(sheet));
}

TEST(ImageCueSheet, ClosedImageBuildsNothing) {
  CImageFile image;
  CueSheet sheet;
  std::memset(&sheet, 0xEE, sizeof(sheet));
  EXPECT_FALSE(BuildImageCueSheet(image, &sheet, false));
  EXPECT_EQ(0u, sheet.count);
}

TEST(CueSheetTable, PrintsEveryEntryWithItsAddress) {
  CueSheet sheet;
  BuildSingleTrackCueSheet(&sheet, 1000, false);
  CWideString text(u"old text");
  LogCueSheet(sheet, &text);
  std::string got;
  for (i32 i = 0; i < text.GetLength(); ++i) got.push_back(static_cast<char>(text.At(i)));
  std::string expected = "Cue Sheet\r\n\tCTL\tADR\tTno\tIdx\tDtf\tSCM\tMin\tSec\tFrm\tLBA\r\n" + std::string(114, '=') +
                         "\r\n"
                         "\t04\t01\t00\t00\t14\t00\t00\t00\t00\t-150\r\n"
                         "\t04\t01\t01\t00\t10\t00\t00\t00\t00\t-150\r\n"
                         "\t04\t01\t01\t01\t10\t00\t00\t02\t00\t0\r\n"
                         "\t04\t01\taa\t01\t14\t00\t00\t15\t25\t1000\r\n";
  EXPECT_EQ(expected, got);
}

}  // namespace
