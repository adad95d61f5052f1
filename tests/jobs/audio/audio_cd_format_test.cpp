// CD audio arithmetic: track lengths from durations and raw sizes, the cut
// and pad amounts, the wave-format check and the error texts.
#include "jobs/audio/audio_cd_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "jobs/audio/audio_status.h"

namespace {

struct Length {
  bool ok;
  u32 seconds;
  u32 sectors;
};

Length FromDuration(i64 d) {
  Length l{false, 0, 0};
  l.ok = TrackLengthFromDuration(d, &l.seconds, &l.sectors);
  return l;
}

Length FromRaw(u64 bytes) {
  Length l{false, 0, 0};
  l.ok = TrackLengthFromRawBytes(bytes, &l.seconds, &l.sectors);
  return l;
}

// The duration a media framework reports for n samples at 44100 Hz: the
// exact time truncated to 100-ns units.
i64 DurationOfSamples(u64 n) { return static_cast<i64>(n * 10000000ull / 44100ull); }

std::string Text(const AudioStatus& status) {
  CWideString text;
  AppendAudioStatusText(status, &text);
  std::string ascii;
  for (i32 i = 0; i < text.GetLength(); ++i) ascii.push_back(static_cast<char>(text.At(i)));
  return ascii;
}

}  // namespace

TEST(AudioTrackLength, WholeSecondsAndRoundedUpSectors) {
  Length three = FromDuration(30000000);
  EXPECT_TRUE(three.ok);
  EXPECT_EQ(3u, three.seconds);
  EXPECT_EQ(225u, three.sectors);
  Length above = FromDuration(30000001);  // 3.0000001 s
  EXPECT_EQ(3u, above.seconds);
  EXPECT_EQ(226u, above.sectors);
  Length tiny = FromDuration(1);
  EXPECT_EQ(0u, tiny.seconds);
  EXPECT_EQ(1u, tiny.sectors);
}

TEST(AudioTrackLength, SampleCountsAroundSectorBoundaries) {
  // sectors = ceil(samples / 588) for every count a framework can report.
  const u64 counts[] = {1, 441, 587, 588, 589, 44100, 587999, 588000, 588001, 26460000, 26460001};
  for (u64 n : counts) {
    Length l = FromDuration(DurationOfSamples(n));
    ASSERT_TRUE(l.ok) << n;
    EXPECT_EQ((n + 587) / 588, l.sectors) << n;
    EXPECT_EQ(n / 44100, l.seconds) << n;
  }
}

TEST(AudioTrackLength, RefusesEmptyNegativeAndAbsurdDurations) {
  EXPECT_FALSE(FromDuration(0).ok);
  EXPECT_FALSE(FromDuration(-5).ok);
  EXPECT_TRUE(FromDuration(i64(24) * 3600 * 10000000).ok);
  EXPECT_FALSE(FromDuration(i64(24) * 3600 * 10000000 + 1).ok);
  EXPECT_FALSE(FromDuration(INT64_MAX).ok);
}

TEST(AudioTrackLength, RawSizes) {
  Length ten = FromRaw(1764001);
  EXPECT_TRUE(ten.ok);
  EXPECT_EQ(10u, ten.seconds);
  EXPECT_EQ(751u, ten.sectors);
  Length one = FromRaw(176400);
  EXPECT_EQ(1u, one.seconds);
  EXPECT_EQ(75u, one.sectors);
  Length byte = FromRaw(1);
  EXPECT_EQ(0u, byte.seconds);
  EXPECT_EQ(1u, byte.sectors);
  EXPECT_FALSE(FromRaw(0).ok);
  EXPECT_FALSE(FromRaw(u64(1) << 40).ok);
}

TEST(AudioTrackLimit, CutsAtTheLimitAndPadsUpToIt) {
  EXPECT_EQ(100u, BytesWithinLimit(0, 100, 2352));
  EXPECT_EQ(52u, BytesWithinLimit(2300, 100, 2352));
  EXPECT_EQ(0u, BytesWithinLimit(2352, 100, 2352));
  EXPECT_EQ(0u, BytesWithinLimit(5000, 100, 2352));
  EXPECT_EQ(0u, BytesWithinLimit(0, 100, 0));
  EXPECT_EQ(10u, PaddingToLimit(2342, 2352));
  EXPECT_EQ(2352u * 3, PaddingToLimit(0, 2352 * 3));
  EXPECT_EQ(0u, PaddingToLimit(2352, 2352));
  EXPECT_EQ(0u, PaddingToLimit(9999, 2352));
}

TEST(AudioWaveFormat, OnlyCdAudioPasses) {
  // WAVEFORMATEX bytes: tag, channels, rate, bytes/s, block align, bits, cbSize.
  auto make = [](u16 tag, u16 ch, u32 rate, u32 bps, u16 align, u16 bits, u8* out) {
    const u8 bytes[18] = {u8(tag),
                          u8(tag >> 8),
                          u8(ch),
                          u8(ch >> 8),
                          u8(rate),
                          u8(rate >> 8),
                          u8(rate >> 16),
                          u8(rate >> 24),
                          u8(bps),
                          u8(bps >> 8),
                          u8(bps >> 16),
                          u8(bps >> 24),
                          u8(align),
                          u8(align >> 8),
                          u8(bits),
                          u8(bits >> 8),
                          0,
                          0};
    std::memcpy(out, bytes, 18);
  };
  struct Case {
    u16 tag, ch;
    u32 rate, bps;
    u16 align, bits;
    bool cd;
  } cases[] = {
      {1, 2, 44100, 176400, 4, 16, true},       {1, 2, 48000, 192000, 4, 16, false},
      {1, 1, 44100, 88200, 2, 16, false},       {1, 2, 44100, 264600, 6, 24, false},
      {1, 2, 44100, 88200, 2, 8, false},        {3, 2, 44100, 352800, 8, 32, false},
      {1, 2, 44100, 176400, 2, 16, false},      {1, 2, 44100, 176401, 4, 16, false},
      {0xFFFE, 2, 44100, 176400, 4, 16, false},
  };
  for (const Case& c : cases) {
    u8 block[18];
    make(c.tag, c.ch, c.rate, c.bps, c.align, c.bits, block);
    WaveFormatSummary summary;
    ASSERT_TRUE(ReadWaveFormat(block, 18, &summary));
    EXPECT_EQ(c.rate, summary.samplesPerSecond);
    EXPECT_EQ(c.ch, summary.channels);
    EXPECT_EQ(c.bits, summary.bitsPerSample);
    EXPECT_EQ(c.cd, IsCdAudioFormat(summary)) << c.rate << " " << c.ch << " " << c.bits;
  }
  u8 block[18];
  make(1, 2, 44100, 176400, 4, 16, block);
  WaveFormatSummary summary;
  EXPECT_FALSE(ReadWaveFormat(block, 17, &summary));
  EXPECT_FALSE(ReadWaveFormat(nullptr, 18, &summary));
}

TEST(AudioStatusText, NamesTheRefusedFormat) {
  AudioStatus status;
  status.error = AudioError::kNotCdAudio;
  status.hasRefusedFormat = true;
  status.refused = WaveFormatSummary{1, 1, 48000, 96000, 2, 16};
  std::string text = Text(status);
  EXPECT_NE(std::string::npos, text.find("not CD audio")) << text;
  EXPECT_NE(std::string::npos, text.find("48000 Hz, 1 channel, 16 bits")) << text;
  EXPECT_NE(std::string::npos, text.find("44100 Hz stereo 16-bit")) << text;

  AudioStatus failed;
  failed.error = AudioError::kNotDecodable;
  failed.code = static_cast<HResult>(0x80040265u);
  EXPECT_NE(std::string::npos, Text(failed).find("0x80040265")) << Text(failed);
  AudioStatus aborted;
  aborted.error = AudioError::kAborted;
  EXPECT_NE(std::string::npos, Text(aborted).find("cancelled"));
  AudioStatus missing;
  missing.error = AudioError::kMissingFile;
  EXPECT_NE(std::string::npos, Text(missing).find("does not exist"));
}
