// The burn's pure helpers: Mode 2 Form 1 packing, the audio synchronisation
// probe, the memory-cache colours, the retry rule and the temporary image
// name.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "jobs/burn/burn_job.h"
#include "jobs/burn/temp_image.h"

namespace {

std::vector<u8> Noise(size_t n, u32 seed) {
  std::vector<u8> out(n);
  u32 x = seed;
  for (u8& b : out) {
    x = x * 1103515245u + 12345u;
    b = static_cast<u8>((x >> 16) | 1);  // never zero
  }
  return out;
}

TEST(BurnPackMode2Form1, SubHeaderDataAndZeroTrailer) {
  std::vector<u8> source = Noise(3 * 2048, 5);
  std::vector<u8> packed(3 * 2336, 0xEE);
  PackMode2Form1(packed.data(), source.data(), 3);
  for (u32 i = 0; i < 3; ++i) {
    const u8* s = packed.data() + i * 2336;
    const u8 header[8] = {0, 0, 0x08, 0, 0, 0, 0x08, 0};
    EXPECT_EQ(0, std::memcmp(s, header, 8)) << i;
    EXPECT_EQ(0, std::memcmp(s + 8, source.data() + i * 2048, 2048)) << i;
    for (u32 b = 2056; b < 2336; ++b) ASSERT_EQ(0, s[b]) << i << " " << b;
  }
}

// Read data that lags the expected stream by `offset` bytes.
std::vector<u8> Shifted(const std::vector<u8>& stream, size_t from, size_t length, size_t offset) {
  std::vector<u8> out(length, 0);
  for (size_t x = 0; x < length; ++x)
    if (from + x >= offset && from + x - offset < stream.size()) out[x] = stream[from + x - offset];
  return out;
}

TEST(BurnAudioSync, FindsTheOffsetOfShiftedAudio) {
  const u32 length = 16 * 2352;
  std::vector<u8> stream = Noise(length * 3, 9);
  for (u32 offset : {4u, 1176u, 2352u, 5000u}) {
    std::vector<u8> expected(stream.begin() + length, stream.begin() + 2 * length);
    std::vector<u8> read = Shifted(stream, length, length, offset);
    EXPECT_EQ(static_cast<i32>(offset), FindAudioSyncOffset(expected.data(), read.data(), length)) << offset;
  }
}

TEST(BurnAudioSync, SilenceFirstHalfSynchronisesOnTheFirstNonZeroByte) {
  const u32 length = 16 * 2352;
  std::vector<u8> stream(length * 2, 0);
  std::vector<u8> tail = Noise(length / 2 + 3000, 4);
  std::copy(tail.begin(), tail.end(), stream.begin() + length + length / 2 - 3000);
  std::vector<u8> expected(stream.begin() + length, stream.begin() + 2 * length);
  std::vector<u8> read = Shifted(stream, length, length, 300);
  EXPECT_EQ(300, FindAudioSyncOffset(expected.data(), read.data(), length));
}

TEST(BurnAudioSync, NoUsableProbeAndNotFound) {
  const u32 length = 16 * 2352;
  std::vector<u8> zeros(length, 0);
  std::vector<u8> read = Noise(length, 2);
  EXPECT_EQ(-2, FindAudioSyncOffset(zeros.data(), read.data(), length));
  // Non-zero data only in the last 2000 bytes: less than one sector to probe.
  std::vector<u8> late(length, 0);
  std::vector<u8> bits = Noise(2000, 3);
  std::copy(bits.begin(), bits.end(), late.end() - 2000);
  EXPECT_EQ(-2, FindAudioSyncOffset(late.data(), read.data(), length));
  std::vector<u8> expected = Noise(length, 8);
  EXPECT_EQ(-1, FindAudioSyncOffset(expected.data(), read.data(), length));
  // Identical data is found at offset 0.
  EXPECT_EQ(0, FindAudioSyncOffset(expected.data(), expected.data(), length));
  // Tiny lengths never read outside the buffers.
  EXPECT_EQ(-2, FindAudioSyncOffset(expected.data(), expected.data(), 10));
}

TEST(BurnCacheColour, RedAmberGreenBands) {
  EXPECT_EQ(kCacheColourGreen, CacheBarColour(0.0, true));
  EXPECT_EQ(kCacheColourRed, CacheBarColour(0.0, false));
  EXPECT_EQ(kCacheColourRed, CacheBarColour(0.19, false));
  EXPECT_EQ(kCacheColourRed, CacheBarColour(0.2, false));
  EXPECT_EQ(kCacheColourAmber, CacheBarColour(0.5, false));
  EXPECT_EQ(kCacheColourGreen, CacheBarColour(0.8, false));
  EXPECT_EQ(kCacheColourGreen, CacheBarColour(1.0, false));
  // Half way from red (E0,20,20) to amber (E0,A8,00): (E0,64,10).
  EXPECT_EQ(0xFFE06410u, CacheBarColour(0.35, false));
  // Half way from amber to green (20,C0,40): (80,B4,20).
  EXPECT_EQ(0xFF80B420u, CacheBarColour(0.65, false));
  // No capacity gives NaN: it counts as empty.
  double nan = std::nan("");
  EXPECT_EQ(kCacheColourRed, CacheBarColour(nan, false));
}

struct FailedDrive {
  FailedDrive(u8 key, u8 asc, u8 ascq, i32 error = 0) {
    d.scsiStatus = error ? 0 : 2;
    d.errorCode = error;
    d.senseKey = key;
    d.asc = asc;
    d.ascq = ascq;
  }
  operator const CDrive&() const { return d; }
  CDrive d;
};

TEST(BurnRetryRule, FifthFailureAtOneAddressGivesUp) {
  CRetryRule rule(true, 1000);
  FailedDrive d(0x0B, 0x47, 0);
  u32 log = 99;
  EXPECT_EQ(RetryVerdict::kRetry, rule.OnFailure(d, 100, &log));
  EXPECT_EQ(0u, log);
  for (u32 count = 2; count <= 4; ++count) {
    EXPECT_EQ(RetryVerdict::kRetry, rule.OnFailure(d, 100, &log));
    EXPECT_EQ(count, log);
  }
  EXPECT_EQ(RetryVerdict::kGiveUp, rule.OnFailure(d, 100, &log));
  EXPECT_EQ(0u, log);
}

TEST(BurnRetryRule, FreshAddressRestartsTheCountAndMediumErrorsEndWrites) {
  CRetryRule write(true, 1000);
  FailedDrive medium(3, 0x0C, 0);
  u32 log = 0;
  EXPECT_EQ(RetryVerdict::kRetry, write.OnFailure(medium, 10, &log));
  EXPECT_EQ(RetryVerdict::kRetry, write.OnFailure(medium, 26, &log));  // another address
  EXPECT_EQ(0u, log);
  EXPECT_EQ(RetryVerdict::kGiveUp, write.OnFailure(medium, 26, &log));
  for (u8 key : {4, 6}) {
    CRetryRule rule(true, 1000);
    FailedDrive d(key, 0x28, 0);
    EXPECT_EQ(RetryVerdict::kRetry, rule.OnFailure(d, 5, &log));
    EXPECT_EQ(RetryVerdict::kGiveUp, rule.OnFailure(d, 5, &log)) << int(key);
  }
  // A read-back counts medium errors up to five like any other.
  CRetryRule read(false, 1000);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(RetryVerdict::kRetry, read.OnFailure(medium, 7, &log));
  EXPECT_EQ(RetryVerdict::kGiveUp, read.OnFailure(medium, 7, &log));
  // Transport failures are counted too.
  CRetryRule transport(true, 1000);
  FailedDrive lost(0, 0, 0, 1117);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(RetryVerdict::kRetry, transport.OnFailure(lost, 7, &log));
  EXPECT_EQ(RetryVerdict::kGiveUp, transport.OnFailure(lost, 7, &log));
}

TEST(BurnRetryRule, LongWriteIsNotCountedButHasAnEnd) {
  CRetryRule rule(true, 50);
  FailedDrive busy(2, 0x04, 0x08);
  FailedDrive other(2, 0x04, 0x07);
  u32 log = 0;
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(RetryVerdict::kRetryNotCounted, rule.OnFailure(busy, 0, &log));
    EXPECT_EQ(RetryVerdict::kRetryNotCounted, rule.OnFailure(other, 0, &log));
  }
  EXPECT_EQ(0u, rule.Failures());
  rule.OnSuccess();
  for (int i = 0; i < 49; ++i) EXPECT_EQ(RetryVerdict::kRetryNotCounted, rule.OnFailure(busy, 0, &log));
  EXPECT_EQ(RetryVerdict::kGiveUp, rule.OnFailure(busy, 0, &log));
}

TEST(BurnTempImage, NamesSkipTakenFilesAndFolders) {
  CWideString name;
  BuildTempImageName(u"C:\\Temp", 0, &name);
  EXPECT_EQ(std::u16string(u"C:\\Temp\\KelvaneTemp0.iso"), std::u16string(name.c_str()));
  BuildTempImageName(u"C:\\Temp\\", 12, &name);
  EXPECT_EQ(std::u16string(u"C:\\Temp\\KelvaneTemp12.iso"), std::u16string(name.c_str()));

  static std::set<std::u16string> taken;
  taken = {u"T\\KelvaneTemp0.iso", u"T\\KelvaneTemp1.iso"};
  CWideString out;
  ASSERT_TRUE(FindFreeTempImageName(u"T", [](const wchar16* p) { return taken.count(p) > 0; }, &out));
  EXPECT_EQ(std::u16string(u"T\\KelvaneTemp2.iso"), std::u16string(out.c_str()));
  EXPECT_FALSE(FindFreeTempImageName(u"T", [](const wchar16*) { return true; }, &out));
}

TEST(BurnProfiles, WriteClasses) {
  for (u16 p : {0x11, 0x14, 0x15, 0x17}) EXPECT_TRUE(IsSequentialDvdMinus(p)) << p;
  for (u16 p : {0x12, 0x13, 0x16, 0x1A, 0x1B, 0x41}) EXPECT_FALSE(IsSequentialDvdMinus(p)) << p;
  EXPECT_TRUE(IsDvdPlusR(0x1B) && IsDvdPlusR(0x2B) && !IsDvdPlusR(0x1A));
  EXPECT_TRUE(IsDvdPlusRw(0x1A) && IsDvdPlusRw(0x2A) && !IsDvdPlusRw(0x1B));
  EXPECT_TRUE(IsBdR(0x41) && !IsBdR(0x42) && !IsBdR(0x43));
}

}  // namespace
