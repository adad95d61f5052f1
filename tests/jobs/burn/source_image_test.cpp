// The image-file burn source on reads that fail or end early: it delivers
// nothing then, so the job fails instead of writing a partial chunk (the
// user data of each image layout is checked by the burn rows).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "jobs/burn/burn_source_image.h"

namespace {

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

// An image whose last sector ends early is delivered in whole sectors, the
// rest of the last one zeros, read in any pieces and read again after a
// seek back to the start (the verify of a large image does so).
TEST(ImageFileSource, APartialLastSectorIsMadeWholeByZeros) {
  for (u64 size : {1ull, 1000ull, 2048ull, 4097ull, 10000ull}) {
    SCOPED_TRACE(size);
    std::vector<u8> bytes(static_cast<size_t>(size));
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<u8>(i * 7 + 1);
    std::vector<u8> whole = bytes;
    whole.resize((bytes.size() + 2047) / 2048 * 2048, 0);
    CMemoryImageSource memory(bytes.data(), bytes.size());
    CImageFileSource source;
    ASSERT_EQ(kHrOk, source.Image().Attach(&memory, false, false));
    u64 reported = 0;
    ASSERT_EQ(kHrOk, source.GetSize(&reported));
    EXPECT_EQ(whole.size(), reported);
    for (u64 piece : {3000ull, 32768ull}) {
      ASSERT_EQ(kHrOk, source.Seek(0, kSeekStart, nullptr));
      std::vector<u8> read, chunk(static_cast<size_t>(piece));
      for (u64 got = 1; got;) {
        ASSERT_EQ(kHrOk, source.Read(chunk.data(), piece, &got));
        read.insert(read.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
      }
      EXPECT_EQ(whole, read) << piece;
    }
  }
}

}  // namespace
