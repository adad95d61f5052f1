// The readers of image bytes at each field's exact bound: given the bytes
// up to the field's last one they read it, one byte fewer they do not (in
// the sanitizer build from a block of exactly that size, so a read past it
// fails); and the lengths the bytes state for themselves, one unit either
// side of what fits.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "iso_test_support.h"
#include "jobs/image/iso9660_format.h"
#include "jobs/image/udf_anchor.h"

namespace {

struct BoundRow {
  std::string field;
  std::vector<u8> bytes;
  u32 end;  // one past the field's last byte
  std::function<bool(const u8*, u32)> read;
};

bool ReadFrom(const BoundRow& row, const std::vector<u8>& bytes, u32 n) {
  std::vector<u8> cut(bytes.begin(), bytes.begin() + n);
  return row.read(cut.empty() ? nullptr : cut.data(), n);
}

std::vector<u8> VolumeDescriptor(u8 type, bool joliet) {
  std::vector<u8> d(2048, 0);
  d[0] = type;
  std::memcpy(d.data() + 1, "CD001", 5);
  d[6] = 1;
  if (joliet) {
    for (int i = 0; i < 16; ++i) d[41 + 2 * i] = i < 2 ? "JL"[i] : ' ';
    std::memcpy(d.data() + 88, "%/E", 3);
  } else {
    std::memcpy(d.data() + 40, "MY DISC                         ", 32);
  }
  return d;
}

void PutLittle(std::vector<u8>& s, u32 at, u32 value, u32 bytes) {
  for (u32 i = 0; i < bytes; ++i) s[at + i] = static_cast<u8>(value >> (8 * i));
}

// An anchor at sector 256 whose CRC covers crcLength bytes after the tag,
// the checksum and CRC made right for them.
std::vector<u8> Anchor(u32 crcLength, size_t size) {
  std::vector<u8> s(size, 0);
  PutLittle(s, 0, 2, 2);       // anchor volume descriptor pointer
  PutLittle(s, 2, 3, 2);       // descriptor version
  PutLittle(s, 12, 256, 4);    // tag location
  PutLittle(s, 16, 0x8000, 4); // main sequence extent
  PutLittle(s, 20, 257, 4);
  PutLittle(s, 24, 0x8000, 4); // reserve sequence extent
  PutLittle(s, 28, 512, 4);
  for (size_t i = 32; i < size; ++i) s[i] = static_cast<u8>(i * 7 + 1);
  PutLittle(s, 10, crcLength, 2);
  u32 covered = 16 + crcLength <= size ? crcLength : 0;
  PutLittle(s, 8, UdfTagCrc(s.data() + 16, covered), 2);
  u8 sum = 0;
  for (int i = 0; i < 16; ++i) sum = static_cast<u8>(sum + (i == 4 ? 0 : s[i]));
  s[4] = sum;
  return s;
}

std::string Label(const u8* d, u32 n, bool joliet) {
  CWideString label;
  ReadDescriptorLabel(d, n, joliet, &label);
  return isotest::ToUtf8(isotest::ToU16(label));
}

bool RecordRead(const u8* r, u32 n) {
  DirRecord record;
  return ParseDirRecord(r, n, &record) && record.location == 1234 && record.size == 5678 &&
         std::string(reinterpret_cast<const char*>(record.name), record.nameLength) == "FILE.TX;1";
}

}  // namespace

TEST(ImageBounds, EachFieldNeedsItsLastByte) {
  const std::vector<u8> primary = VolumeDescriptor(kDescriptorPrimary, false);
  const std::vector<u8> joliet = VolumeDescriptor(kDescriptorSupplementary, true);
  const std::vector<BoundRow> rows = {
      {"standard identifier and version", primary, 7, [](const u8* d, u32 n) { return IsVolumeDescriptor(d, n); }},
      {"volume label", primary, 72, [](const u8* d, u32 n) { return Label(d, n, false) == "MY DISC"; }},
      {"Joliet volume label", joliet, 72, [](const u8* d, u32 n) { return Label(d, n, true) == "JL"; }},
      {"Joliet escape sequences", joliet, 91, [](const u8* d, u32 n) { return IsJolietDescriptor(d, n); }},
      {"directory record", isotest::MakeRecord("FILE.TX;1", 1234, 5678, 0), 42, RecordRead},
      {"anchor extents", Anchor(16, 2048), 32, [](const u8* s, u32 n) { return IsUdfAnchor(s, n, 256); }},
      {"anchor covered bytes", Anchor(496, 2048), 512, [](const u8* s, u32 n) { return IsUdfAnchor(s, n, 256); }},
  };
  for (const BoundRow& row : rows) {
    SCOPED_TRACE(row.field);
    ASSERT_LE(row.end, row.bytes.size());
    EXPECT_TRUE(ReadFrom(row, row.bytes, static_cast<u32>(row.bytes.size())));
    EXPECT_TRUE(ReadFrom(row, row.bytes, row.end));
    EXPECT_FALSE(ReadFrom(row, row.bytes, row.end - 1));
  }
}

// The lengths a record and an anchor give themselves: the record's length
// must hold its name and lie within the bytes; the anchor's CRC length must
// cover its two extents and stay within the sector and the bytes.
TEST(ImageBounds, StatedLengthsAtTheirLimits) {
  const std::vector<u8> record = isotest::MakeRecord("FILE.TX;1", 1234, 5678, 0);  // 42 bytes, no padding
  ASSERT_EQ(42u, record.size());
  const struct {
    u32 at;
    u8 value;
    bool read;
  } fields[] = {{0, 42, true}, {0, 41, false}, {0, 43, false}, {0, 255, false},  // record length
                {32, 9, true},  {32, 10, false}, {32, 0, false}};                   // name length
  for (const auto& f : fields) {
    std::vector<u8> r = record;
    r[f.at] = f.value;
    EXPECT_EQ(f.read, ReadFrom(BoundRow{"", {}, 0, [](const u8* b, u32 n) {
                                 DirRecord d;
                                 return ParseDirRecord(b, n, &d);
                               }},
                               r, 42))
        << "byte " << f.at << " = " << int(f.value);
  }
  const struct {
    u32 crcLength;
    size_t size;
    bool anchor;
  } anchors[] = {{16, 2048, true}, {15, 2048, false}, {2032, 2048, true}, {2033, 2049, false}, {2032, 2047, false}};
  for (const auto& a : anchors) {
    const std::vector<u8> s = Anchor(a.crcLength, a.size);
    std::vector<u8> exact(s);
    EXPECT_EQ(a.anchor, IsUdfAnchor(exact.data(), exact.size(), 256)) << a.crcLength << " in " << a.size;
  }
  const std::vector<u8> anchor = Anchor(16, 2048);
  const std::vector<u8> tag(anchor.begin(), anchor.begin() + 15);  // the tag one byte short
  EXPECT_FALSE(IsUdfAnchor(tag.data(), tag.size(), 256));
}
