// The burn's pure helpers: the write plan of each medium, track data block
// types, Mode 2 Form 1 packing, the audio synchronisation probe, the cache
// colours, the retry rule and the temporary image name.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
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

TEST(BurnWritePlan, EachMediumByProfileAndMethod) {
  // profile, media flags, method -> cdDao random page05 reserve closeTrack closeSession nwa
  struct Case {
    u16 profile;
    u8 flags;
    u32 method;
    bool plan[7];
  } const cases[] = {
      {0x09, 0x44, kMethodDiscAtOnce, {1, 0, 1, 0, 0, 0, 0}},   // CD-R disc-at-once
      {0x09, 0x44, kMethodTrackAtOnce, {0, 0, 1, 0, 1, 1, 1}},  // CD-R track-at-once
      {0x11, 0x48, kMethodDiscAtOnce, {0, 0, 1, 1, 0, 1, 1}},   // DVD-R
      {0x1B, 0x08, kMethodDiscAtOnce, {0, 0, 0, 0, 1, 1, 1}},   // DVD+R
      {0x41, 0x50, kMethodDiscAtOnce, {0, 0, 0, 0, 0, 1, 1}},   // BD-R
      {0x12, 0x48, kMethodDiscAtOnce, {0, 1, 0, 0, 0, 0, 0}},   // DVD-RAM
      {0x13, 0xC8, kMethodTrackAtOnce, {0, 1, 0, 0, 0, 0, 0}},  // DVD-RW restricted overwrite
      {0x1A, 0x08, kMethodTrackAtOnce, {0, 1, 0, 0, 0, 0, 0}},  // DVD+RW
      {0x43, 0xD0, kMethodDiscAtOnce, {0, 1, 0, 0, 0, 0, 0}},   // BD-RE
  };
  for (const Case& c : cases) {
    WritePlan p = PlanWrite(c.profile, c.flags, c.method);
    bool got[7] = {p.cdDao, p.random, p.writeParameters, p.reserve, p.closeTrack, p.closeSession, p.checkNextWritable};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(c.plan[i], got[i]) << std::hex << c.profile << " field " << i;
  }
  EXPECT_EQ(0, DataBlockTypeOf(TrackExtent{0, 2352, 1, 1, 0, 0, 0}));
  EXPECT_EQ(9, DataBlockTypeOf(TrackExtent{0, 2336, 1, 1, 0, 0, 0}));
  EXPECT_EQ(10, DataBlockTypeOf(TrackExtent{0, 2048, 1, 1, 1, 0, 0}));
  EXPECT_EQ(8, DataBlockTypeOf(TrackExtent{0, 2048, 1, 1, 0, 0, 0}));
}

// Track at once, a further track of a session must start 152 blocks after
// the end of the data track before it; gaps between them are not written,
// and a session's first track goes wherever the disc's next address is.
TEST(BurnTrackAtOnceLayout, FindsTheFirstTrackTheDriveCannotPlace) {
  auto data = [](i32 start, u32 count) { return TrackExtent{start, 2048, count, 1, 0, 0, 0}; };
  auto gap = [](i32 start, u32 count) { return TrackExtent{start, 2048, count, 0, 0, 1, 0}; };
  struct Case {
    const char* name;
    std::vector<std::vector<TrackExtent>> sessions;
    bool found;
    TrackPlacement at;
  } const cases[] = {
      {"one track", {{gap(-150, 150), data(0, 400)}}, false, {}},
      {"back to back", {{gap(-150, 150), data(0, 400), data(400, 300)}}, true, {2, 400, 400}},
      {"the drive's gap, described as a gap", {{data(0, 400), gap(400, 152), data(552, 300)}}, false, {}},
      {"one block short", {{data(0, 400), data(551, 300)}}, true, {2, 551, 400}},
      {"one block more", {{data(0, 400), data(553, 300)}}, true, {2, 553, 400}},
      {"third track", {{data(0, 400), data(552, 300), data(852, 10)}}, true, {3, 852, 852}},
      {"a second session starts anywhere", {{data(0, 400)}, {data(11952, 300)}}, false, {}},
      {"counted across sessions", {{data(0, 400)}, {data(11952, 300), data(12252, 300)}}, true, {3, 12252, 12252}},
  };
  for (const Case& c : cases) {
    BurnRequest request;
    for (const std::vector<TrackExtent>& entries : c.sessions) {
      TrackList* session = request.sessions.AppendNew();
      ASSERT_NE(nullptr, session);
      for (const TrackExtent& e : entries) ASSERT_TRUE(session->Add(e));
    }
    TrackPlacement at = {};
    EXPECT_EQ(c.found, FindTrackAtOnceMisplacement(request, &at)) << c.name;
    if (!c.found) continue;
    EXPECT_EQ(c.at.track, at.track) << c.name;
    EXPECT_EQ(c.at.start, at.start) << c.name;
    EXPECT_EQ(c.at.previousEnd, at.previousEnd) << c.name;
  }
}

TEST(BurnPackMode2Form1, SubHeaderDataAndZeroTrailer) {
  std::vector<u8> source = Noise(3 * 2048, 5);
  std::vector<u8> packed(3 * 2336, 0xEE);
  PackMode2Form1(packed.data(), source.data(), 3);
  const u8 header[8] = {0, 0, 0x08, 0, 0, 0, 0x08, 0};
  for (u32 i = 0; i < 3; ++i) {
    const u8* s = packed.data() + i * 2336;
    EXPECT_EQ(0, std::memcmp(s, header, 8)) << i;
    EXPECT_EQ(0, std::memcmp(s + 8, source.data() + i * 2048, 2048)) << i;
    EXPECT_EQ(std::vector<u8>(280, 0), std::vector<u8>(s + 2056, s + 2336)) << i;
  }
}

TEST(BurnAudioSync, OffsetsProbesAndFailures) {
  const u32 length = 16 * 2352;
  std::vector<u8> stream = Noise(length * 3, 9);
  // Read data that lags the expected stream by `offset` bytes.
  auto shifted = [&](const std::vector<u8>& s, size_t offset) {
    std::vector<u8> out(length, 0);
    for (size_t x = 0; x < length; ++x)
      if (length + x >= offset) out[x] = s[length + x - offset];
    return out;
  };
  std::vector<u8> expected(stream.begin() + length, stream.begin() + 2 * length);
  for (u32 offset : {0u, 4u, 1176u, 2352u, 5000u})
    EXPECT_EQ(static_cast<i32>(offset), FindAudioSyncOffset(expected.data(), shifted(stream, offset).data(), length));
  // A first half of silence: the probe starts at the first sound.
  std::vector<u8> quiet(length * 2, 0);
  std::vector<u8> tail = Noise(length / 2 + 3000, 4);
  std::copy(tail.begin(), tail.end(), quiet.begin() + length + length / 2 - 3000);
  std::vector<u8> quietExpected(quiet.begin() + length, quiet.begin() + 2 * length);
  EXPECT_EQ(300, FindAudioSyncOffset(quietExpected.data(), shifted(quiet, 300).data(), length));
  // No usable probe: all silence, or sound only in the last 2000 bytes.
  std::vector<u8> zeros(length, 0), late(length, 0), bits = Noise(2000, 3), other = Noise(length, 8);
  std::copy(bits.begin(), bits.end(), late.end() - 2000);
  EXPECT_EQ(-2, FindAudioSyncOffset(zeros.data(), other.data(), length));
  EXPECT_EQ(-2, FindAudioSyncOffset(late.data(), other.data(), length));
  EXPECT_EQ(-1, FindAudioSyncOffset(expected.data(), other.data(), length));
  EXPECT_EQ(-2, FindAudioSyncOffset(other.data(), other.data(), 10));  // never reads outside
}

TEST(BurnCacheColour, RedAmberGreenBands) {
  const std::pair<double, u32> cases[] = {{0.0, kCacheColourRed},     {0.2, kCacheColourRed},
                                          {0.35, 0xFFE06410u},        {0.5, kCacheColourAmber},
                                          {0.55, 0xFFC0AC0Bu},
                                          {0.65, 0xFF80B420u},        {0.8, kCacheColourGreen},
                                          {1.0, kCacheColourGreen},   {std::nan(""), kCacheColourRed}};
  for (const auto& c : cases) EXPECT_EQ(c.second, CacheBarColour(c.first, false)) << c.first;
  EXPECT_EQ(kCacheColourGreen, CacheBarColour(0.0, true));
}

TEST(BurnRetryRule, CountsPerAddressAndGivesUp) {
  struct Failed {
    u8 key, asc, ascq;
    i32 error;
  };
  auto drive = [](const Failed& f) {
    CDrive* d = new CDrive();
    d->scsiStatus = f.error ? 0 : 2;
    d->errorCode = f.error;
    d->senseKey = f.key;
    d->asc = f.asc;
    d->ascq = f.ascq;
    return std::unique_ptr<CDrive>(d);
  };
  struct Case {
    bool writing;
    Failed failure;
    u32 failuresToGiveUp;  // at one address
  } const cases[] = {{true, {0x0B, 0x47, 0, 0}, 5}, {true, {3, 0x0C, 0, 0}, 2}, {true, {4, 0x44, 0, 0}, 2},
                     {true, {6, 0x28, 0, 0}, 2},    {false, {3, 0x11, 0, 0}, 5}, {true, {0, 0, 0, 1117}, 5}};
  for (const Case& c : cases) {
    CRetryRule rule(c.writing, 1000);
    auto d = drive(c.failure);
    u32 log = 99;
    EXPECT_EQ(RetryVerdict::kRetry, rule.OnFailure(*d, 7, &log));
    EXPECT_EQ(0u, log);
    EXPECT_EQ(RetryVerdict::kRetry, rule.OnFailure(*d, 23, &log));  // a fresh address counts 1 again
    for (u32 n = 2; n < c.failuresToGiveUp; ++n) {
      EXPECT_EQ(RetryVerdict::kRetry, rule.OnFailure(*d, 23, &log));
      EXPECT_EQ(n, log);
    }
    EXPECT_EQ(RetryVerdict::kGiveUp, rule.OnFailure(*d, 23, &log)) << int(c.failure.key);
  }
  // A long write is not counted, but has an end.
  CRetryRule rule(true, 50);
  auto busy = drive(Failed{2, 0x04, 0x08, 0});
  u32 log = 0;
  for (int i = 0; i < 49; ++i) EXPECT_EQ(RetryVerdict::kRetryNotCounted, rule.OnFailure(*busy, 0, &log));
  EXPECT_EQ(0u, rule.Failures());
  EXPECT_EQ(RetryVerdict::kGiveUp, rule.OnFailure(*busy, 0, &log));
}

TEST(BurnTempImage, NamesSkipTakenFilesAndFolders) {
  CWideString name;
  BuildTempImageName(u"C:\\Temp\\", 12, &name);
  EXPECT_EQ(std::u16string(u"C:\\Temp\\KelvaneTemp12.iso"), std::u16string(name.c_str()));
  static std::set<std::u16string> taken;
  taken = {u"T\\KelvaneTemp0.iso", u"T\\KelvaneTemp1.iso"};
  ASSERT_TRUE(FindFreeTempImageName(u"T", [](const wchar16* p) { return taken.count(p) > 0; }, &name));
  EXPECT_EQ(std::u16string(u"T\\KelvaneTemp2.iso"), std::u16string(name.c_str()));
  EXPECT_FALSE(FindFreeTempImageName(u"T", [](const wchar16*) { return true; }, &name));
}

}  // namespace
