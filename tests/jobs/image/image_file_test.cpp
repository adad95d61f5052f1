#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "iso_test_support.h"
#include "jobs/image/image_file.h"

namespace {

using isotest::ReadFixture;

std::vector<u8> Load(const std::string& name) {
  bool found = false;
  std::vector<u8> bytes = ReadFixture(name, &found);
  EXPECT_TRUE(found) << "fixture missing: fixtures/iso/" << name;
  return bytes;
}

std::string VolumeId(const std::string& base) {
  bool found = false;
  std::string text = isotest::ReadFixtureText(base + ".d.txt", &found);
  EXPECT_TRUE(found) << base << ".d.txt missing";
  return isotest::ListingField(text, "Volume id");
}

std::string Describe(const CImageFile& image) {
  CWideString text;
  DescribeFileSystems(image, &text);
  return isotest::ToUtf8(isotest::ToU16(text));
}

struct Expected {
  const char* file;
  i32 layout;
  i32 sectorSize;
  const char* systems;
  const char* labelOf;  // the image whose isoinfo -d gives the label, or ""
};

TEST(ImageFile, DetectsLayoutsFileSystemsAndLabels) {
  const Expected cases[] = {
      {"joliet.iso", kLayoutIso2048, 2048, "ISO9660/Joliet", "joliet"},
      {"joliet.mode1.bin", kLayoutRawMode1, 2352, "ISO9660/Joliet", "joliet"},
      {"joliet.mode2.bin", kLayoutRawMode2Form1, 2352, "ISO9660/Joliet", "joliet"},
      {"joliet.2336.bin", kLayoutMode2Form1, 2336, "ISO9660/Joliet", "joliet"},
      {"joliet_g.iso", kLayoutIso2048, 2048, "ISO9660/Joliet", "joliet_g"},
      {"udf.iso", kLayoutIso2048, 2048, "ISO9660/Joliet/UDF Bridge", "udf"},
      {"udf.mode1.bin", kLayoutRawMode1, 2352, "ISO9660/Joliet", "udf"},
      {"level4.iso", kLayoutIso2048, 2048, "ISO9660/Joliet", "level4"},
      {"eltorito.iso", kLayoutIso2048, 2048, "ISO9660/Joliet", "eltorito"},
      {"zero256.iso", kLayoutIso2048, 2048, "ISO9660", "zero256"},
      {"bigdir.iso", kLayoutIso2048, 2048, "ISO9660/Joliet", "bigdir"},
      {"udf_only.img", kLayoutUnknown, 2048, "UDF", ""},
      {"audio.raw", kLayoutRawUnchanged, 2352, "", ""},
      {"tiny.part", kLayoutUnknown, 2048, "", ""},
  };
  for (const Expected& c : cases) {
    SCOPED_TRACE(c.file);
    std::vector<u8> bytes = Load(c.file);
    CMemoryImageSource source(bytes.data(), bytes.size());
    CImageFile image;
    ASSERT_EQ(image.Attach(&source, false, true), kHrOk);
    EXPECT_EQ(image.GetLayout(), c.layout);
    EXPECT_EQ(image.GetSectorSize(), c.sectorSize);
    EXPECT_EQ(Describe(image), c.systems);
    std::string label = isotest::ToUtf8(isotest::ToU16(image.GetLabel()));
    EXPECT_EQ(label, *c.labelOf ? VolumeId(c.labelOf) : std::string());
    u64 position = 99;
    EXPECT_EQ(image.GetPosition(&position), kHrOk);
    EXPECT_EQ(position, 0u);
  }
}

TEST(ImageFile, PlainLayoutsReadTheFileUnchanged) {
  for (const char* name : {"audio.raw", "udf_only.img", "joliet.iso"}) {
    SCOPED_TRACE(name);
    std::vector<u8> bytes = Load(name);
    CMemoryImageSource source(bytes.data(), bytes.size());
    CImageFile image;
    image.Attach(&source, false, true);
    EXPECT_TRUE(image.IsPlain());
    u64 size = 0;
    EXPECT_EQ(image.GetSize(&size), kHrOk);
    EXPECT_EQ(size, bytes.size());
    EXPECT_EQ(isotest::ReadAllUserData(image), bytes);
    // Relative seeks of the plain layouts.
    EXPECT_EQ(image.Seek(static_cast<u64>(-100), 2), kHrOk);
    u64 position = 0;
    image.GetPosition(&position);
    EXPECT_EQ(position, bytes.size() - 100);
    EXPECT_EQ(image.Seek(10, 1), kHrOk);
    image.GetPosition(&position);
    EXPECT_EQ(position, bytes.size() - 90);
    EXPECT_TRUE(Failed(image.Seek(static_cast<u64>(-1) * (bytes.size() + 1), 1)));
    image.Seek(0, 2);
    EXPECT_TRUE(Failed(image.Seek(0x7FFFFFFFFFFFFFFFull, 1)));  // would overflow
  }
}

TEST(ImageFile, RawLayoutsYieldTheUserDataOfEverySector) {
  std::vector<u8> iso = Load("joliet.iso");
  for (const char* name : {"joliet.mode1.bin", "joliet.mode2.bin", "joliet.2336.bin"}) {
    SCOPED_TRACE(name);
    std::vector<u8> raw = Load(name);
    CMemoryImageSource source(raw.data(), raw.size());
    CImageFile image;
    image.Attach(&source, false, true);
    EXPECT_FALSE(image.IsPlain());
    u64 size = 0;
    image.GetSize(&size);
    EXPECT_EQ(size, iso.size());
    EXPECT_EQ(isotest::ReadAllUserData(image), iso);
    // Reads that start and end inside sectors.
    std::vector<u8> part(5000);
    u64 got = 0;
    ASSERT_EQ(image.Seek(2047, 0), kHrOk);
    ASSERT_EQ(image.Read(part.data(), part.size(), &got), kHrOk);
    ASSERT_EQ(got, part.size());
    EXPECT_TRUE(std::equal(part.begin(), part.end(), iso.begin() + 2047));
    u64 position = 0;
    image.GetPosition(&position);
    EXPECT_EQ(position, 2047u + 5000u);
    // Absurd positions are refused rather than wrapped.
    EXPECT_TRUE(Failed(image.Seek(~0ull - 5, 0)));
    // Past the end: nothing, and success.
    image.Seek(iso.size() + 4096, 0);
    EXPECT_EQ(image.Read(part.data(), 10, &got), kHrOk);
    EXPECT_EQ(got, 0u);
  }
}

TEST(ImageFile, PositionAfterSeekIsTheSeekTargetInEveryLayout) {
  for (const char* name : {"joliet.iso", "joliet.mode1.bin", "joliet.mode2.bin", "joliet.2336.bin", "audio.raw"}) {
    SCOPED_TRACE(name);
    std::vector<u8> bytes = Load(name);
    CMemoryImageSource source(bytes.data(), bytes.size());
    CImageFile image;
    image.Attach(&source, false, true);
    u64 size = 0;
    image.GetSize(&size);
    for (u64 p : {u64(0), u64(1), u64(2047), u64(2048), u64(2049), u64(4095), u64(70000), size}) {
      ASSERT_EQ(image.Seek(p, 0), kHrOk);
      u64 position = 12345;
      ASSERT_EQ(image.GetPosition(&position), kHrOk);
      EXPECT_EQ(position, p);
    }
    // After reading to a sector's end the position is the next sector's start.
    image.Seek(0, 0);
    std::vector<u8> block(2048);
    u64 got = 0;
    image.Read(block.data(), block.size(), &got);
    u64 position = 0;
    image.GetPosition(&position);
    EXPECT_EQ(position, 2048u);
  }
}

TEST(ImageFile, TruncatedImagesEndWithTheirLastUserBytes) {
  std::vector<u8> iso = Load("joliet.iso");
  struct Cut {
    const char* name;
    u64 sectorSize;
    u64 offset;
  };
  for (const Cut& cut : {Cut{"joliet.mode1.cut.part", 2352, 16}, Cut{"joliet.mode2.cut.part", 2352, 24},
                         Cut{"joliet.2336.cut.part", 2336, 8}, Cut{"joliet.cut.iso.part", 2048, 0}}) {
    SCOPED_TRACE(cut.name);
    std::vector<u8> bytes = Load(cut.name);
    CMemoryImageSource source(bytes.data(), bytes.size());
    CImageFile image;
    image.Attach(&source, false, true);
    u64 n = bytes.size();
    u64 r = n % cut.sectorSize;
    u64 partial = r > cut.offset ? std::min<u64>(r - cut.offset, 2048) : 0;
    u64 expected = (n / cut.sectorSize) * 2048 + partial;
    u64 size = 0;
    image.GetSize(&size);
    EXPECT_EQ(size, expected);
    std::vector<u8> data = isotest::ReadAllUserData(image);
    ASSERT_EQ(data.size(), expected);
    EXPECT_TRUE(std::equal(data.begin(), data.end(), iso.begin()));
  }
}

TEST(ImageFile, FailedOrShortReadsAreErrorsNotShortSuccesses) {
  for (const char* name : {"joliet.mode1.bin", "joliet.iso"}) {
    std::vector<u8> bytes = Load(name);
    for (auto mode : {isotest::CFaultySource::kFail, isotest::CFaultySource::kShort, isotest::CFaultySource::kZero}) {
      SCOPED_TRACE(std::string(name) + " mode " + std::to_string(mode));
      isotest::CFaultySource source(bytes, 100000, mode);
      CImageFile image;
      ASSERT_EQ(image.Attach(&source, false, true), kHrOk);
      std::vector<u8> buffer(200000);
      u64 got = 0;
      image.Seek(0, 0);
      HResult hr = image.Read(buffer.data(), buffer.size(), &got);
      EXPECT_TRUE(Failed(hr));
      EXPECT_LT(got, buffer.size());
    }
  }
}

TEST(ImageFile, UnreadableImageIsUnknownWithoutFileSystems) {
  std::vector<u8> bytes = Load("joliet.iso");
  isotest::CFaultySource source(bytes, 0, isotest::CFaultySource::kFail);
  CImageFile image;
  ASSERT_EQ(image.Attach(&source, false, true), kHrOk);
  EXPECT_EQ(image.GetLayout(), kLayoutUnknown);
  EXPECT_EQ(image.GetFileSystems(), 0);
  EXPECT_TRUE(image.GetLabel().IsEmpty());
  CImageFile closed;
  u64 value = 1;
  EXPECT_TRUE(Failed(closed.GetSize(&value)));
  EXPECT_TRUE(Failed(closed.Read(&value, 1, &value)));
  EXPECT_EQ(closed.Attach(nullptr, false, true), kHrPointer);
}

}  // namespace
