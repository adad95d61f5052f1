// The image-file burn source: exact user data in engine-sized chunks,
// seeking, and reads that fail or end early.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "jobs/burn/burn_source_image.h"

namespace {

std::vector<u8> MakeRawMode1Image(u32 sectors) {
  std::vector<u8> bytes(static_cast<size_t>(sectors) * 2352, 0);
  for (u32 s = 0; s < sectors; ++s)
    for (u32 b = 0; b < 2048; ++b) bytes[s * 2352 + 16 + b] = static_cast<u8>(s * 7 + b * 13);
  u8* d = bytes.data() + 16 * 2352 + 16;
  std::memset(d, 0, 2048);
  d[0] = 1;
  std::memcpy(d + 1, "CD001", 5);
  u8* t = bytes.data() + 17 * 2352 + 16;
  std::memset(t, 0, 2048);
  t[0] = 255;
  std::memcpy(t + 1, "CD001", 5);
  return bytes;
}

u8 UserByte(const std::vector<u8>& raw, u64 position) {
  return raw[(position / 2048) * 2352 + 16 + position % 2048];
}

// A source whose size promises more than it delivers, or that fails at an
// offset.
class FlakySource : public IImageSource {
 public:
  FlakySource(const std::vector<u8>& bytes, u64 claimed, u64 failAt)
      : bytes_(bytes), claimed_(claimed), failAt_(failAt) {}
  HResult ReadAt(u64 offset, void* buffer, u32 count, u32* got) override {
    *got = 0;
    if (offset + count > failAt_) return HResultFromError(23);  // CRC error
    u64 end = offset + count < bytes_.size() ? offset + count : bytes_.size();
    if (offset < end) {
      std::memcpy(buffer, bytes_.data() + offset, static_cast<size_t>(end - offset));
      *got = static_cast<u32>(end - offset);
    }
    return kHrOk;
  }
  HResult GetSize(u64* size) override {
    *size = claimed_;
    return kHrOk;
  }

 private:
  const std::vector<u8>& bytes_;
  u64 claimed_;
  u64 failAt_;
};

TEST(ImageFileSource, DeliversExactlyTheUserData) {
  std::vector<u8> raw = MakeRawMode1Image(100);
  CMemoryImageSource memory(raw.data(), raw.size());
  CImageFileSource source;
  ASSERT_EQ(kHrOk, source.Image().Attach(&memory, false, true));
  u64 size = 0;
  ASSERT_EQ(kHrOk, source.GetSize(&size));
  EXPECT_EQ(100u * 2048, size);
  ASSERT_EQ(kHrOk, source.Seek(0, kSeekStart, nullptr));
  std::vector<u8> chunk(32768);
  u64 total = 0;
  for (;;) {
    u64 got = 0;
    ASSERT_EQ(kHrOk, source.Read(chunk.data(), chunk.size(), &got));
    if (got == 0) break;
    for (u64 i = 0; i < got; ++i) ASSERT_EQ(UserByte(raw, total + i), chunk[i]) << total + i;
    total += got;
  }
  EXPECT_EQ(size, total);
  u64 at = 0;
  ASSERT_EQ(kHrOk, source.Seek(4096 + 5, kSeekStart, &at));
  EXPECT_EQ(4101u, at);
  u64 got = 0;
  ASSERT_EQ(kHrOk, source.Read(chunk.data(), 10, &got));
  EXPECT_EQ(10u, got);
  EXPECT_EQ(UserByte(raw, 4101), chunk[0]);
  EXPECT_EQ(kHrNotImpl, source.Write(chunk.data(), 1, &got));
  EXPECT_EQ(0u, got);
  EXPECT_EQ(kHrNotImpl, source.Reserved1(0, 0));
  EXPECT_EQ(kHrNotImpl, source.Reserved2());
}

TEST(ImageFileSource, FailedOrShortReadsDeliverNothing) {
  std::vector<u8> raw(2048 * 40, 0x11);
  {
    // The file is shorter than its size says: the read fails.
    FlakySource flaky(raw, raw.size() + 4096, ~0ull);
    CImageFileSource source;
    ASSERT_EQ(kHrOk, source.Image().Attach(&flaky, false, false));
    std::vector<u8> chunk(32768);
    u64 got = 0;
    ASSERT_EQ(kHrOk, source.Read(chunk.data(), chunk.size(), &got));
    ASSERT_EQ(kHrOk, source.Read(chunk.data(), chunk.size(), &got));
    got = 1;
    EXPECT_TRUE(Failed(source.Read(chunk.data(), chunk.size(), &got)));
    EXPECT_EQ(0u, got);
  }
  {
    FlakySource flaky(raw, raw.size(), 40000);
    CImageFileSource source;
    ASSERT_EQ(kHrOk, source.Image().Attach(&flaky, false, false));
    std::vector<u8> chunk(32768);
    u64 got = 0;
    ASSERT_EQ(kHrOk, source.Read(chunk.data(), chunk.size(), &got));
    EXPECT_EQ(32768u, got);
    got = 1;
    EXPECT_TRUE(Failed(source.Read(chunk.data(), chunk.size(), &got)));
    EXPECT_EQ(0u, got);
  }
  {
    CImageFileSource closed;
    u64 got = 1;
    u8 b[16];
    EXPECT_TRUE(Failed(closed.Read(b, sizeof(b), &got)));
    EXPECT_EQ(0u, got);
  }
}

}  // namespace
