// CD audio arithmetic: track lengths from durations and raw sizes, the cut
// and pad amounts, the wave-format check and the error texts.
#include "jobs/audio/audio_cd_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "jobs/audio/audio_status.h"

namespace {

std::string Text(const AudioStatus& status) {
  CWideString text;
  AppendAudioStatusText(status, &text);
  std::string ascii;
  for (i32 i = 0; i < text.GetLength(); ++i) ascii.push_back(static_cast<char>(text.At(i)));
  return ascii;
}

}  // namespace

// For every sample count a framework can report (its duration truncated to
// 100-ns units), the sectors are ceil(samples / 588) and the seconds whole.
TEST(AudioTrackLength, FromDurationsAndRawSizes) {
  for (u64 n : {1ull, 441ull, 587ull, 588ull, 589ull, 44100ull, 587999ull, 588000ull, 588001ull, 26460000ull, 26460001ull}) {
    u32 seconds = 9, sectors = 9;
    ASSERT_TRUE(TrackLengthFromDuration(static_cast<i64>(n * 10000000ull / 44100ull), &seconds, &sectors)) << n;
    EXPECT_EQ((n + 587) / 588, sectors) << n;
    EXPECT_EQ(n / 44100, seconds) << n;
  }
  struct Case {
    bool raw;
    i64 value;  // 100-ns units, or bytes
    bool ok;
    u32 seconds, sectors;
  } cases[] = {
      {false, 30000000, true, 3, 225},   {false, 30000001, true, 3, 226},  // a fraction rounds up
      {false, 0, false, 0, 0},           {false, -5, false, 0, 0},
      {false, i64(24) * 3600 * 10000000, true, 86400, 6480000},           // 24 hours, the longest
      {false, i64(24) * 3600 * 10000000 + 1, false, 0, 0},               {false, INT64_MAX, false, 0, 0},
      {true, 1764001, true, 10, 751},    {true, 176400, true, 1, 75},      {true, 1, true, 0, 1},
      {true, 0, false, 0, 0},            {true, i64(1) << 40, false, 0, 0},
  };
  for (const Case& c : cases) {
    u32 seconds = 0, sectors = 0;
    bool ok = c.raw ? TrackLengthFromRawBytes(static_cast<u64>(c.value), &seconds, &sectors)
                    : TrackLengthFromDuration(c.value, &seconds, &sectors);
    EXPECT_EQ(c.ok, ok) << c.value;
    EXPECT_TRUE(!ok || (seconds == c.seconds && sectors == c.sectors)) << c.value;
  }
}

TEST(AudioTrackLimit, CutsAtTheLimitAndPadsUpToIt) {
  // {delivered, limit, of 100 bytes kept, padding owed}
  const u64 cases[][4] = {{0, 2352, 100, 2352}, {2300, 2352, 52, 52}, {2352, 2352, 0, 0}, {5000, 2352, 0, 0}, {0, 0, 0, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(c[2], BytesWithinLimit(c[0], 100, c[1])) << c[0];
    EXPECT_EQ(c[3], PaddingToLimit(c[0], c[1])) << c[0];
  }
}

TEST(AudioWaveFormat, OnlyCdAudioPasses) {
  struct Case {
    u16 tag, ch;
    u32 rate, bps;
    u16 align, bits;
    bool cd;
  } cases[] = {
      {1, 2, 44100, 176400, 4, 16, true},   {1, 2, 48000, 192000, 4, 16, false}, {1, 1, 44100, 88200, 2, 16, false},
      {1, 2, 44100, 264600, 6, 24, false},  {1, 2, 44100, 88200, 2, 8, false},   {3, 2, 44100, 352800, 8, 32, false},
      {1, 2, 44100, 176400, 2, 16, false},  {1, 2, 44100, 176401, 4, 16, false}, {0xFFFE, 2, 44100, 176400, 4, 16, false},
  };
  for (const Case& c : cases) {
    // WAVEFORMATEX bytes, little-endian: tag, channels, rate, bytes/s, block align, bits, cbSize.
    u8 block[18] = {};
    std::memcpy(block, &c.tag, 2);
    std::memcpy(block + 2, &c.ch, 2);
    std::memcpy(block + 4, &c.rate, 4);
    std::memcpy(block + 8, &c.bps, 4);
    std::memcpy(block + 12, &c.align, 2);
    std::memcpy(block + 14, &c.bits, 2);
    WaveFormatSummary s;
    ASSERT_TRUE(ReadWaveFormat(block, 18, &s));
    EXPECT_TRUE(s.tag == c.tag && s.channels == c.ch && s.samplesPerSecond == c.rate && s.bytesPerSecond == c.bps &&
                s.blockAlign == c.align && s.bitsPerSample == c.bits);
    EXPECT_EQ(c.cd, IsCdAudioFormat(s)) << c.rate << " " << c.ch << " " << c.bits;
    EXPECT_FALSE(ReadWaveFormat(block, 17, &s));
  }
  WaveFormatSummary s;
  EXPECT_FALSE(ReadWaveFormat(nullptr, 18, &s));
}

TEST(AudioStatusText, NamesTheRefusedFormatAndTheSystemsCode) {
  AudioStatus status;
  status.error = AudioError::kNotCdAudio;
  status.hasRefusedFormat = true;
  status.refused = WaveFormatSummary{1, 1, 48000, 96000, 2, 16};
  EXPECT_EQ("The audio is not CD audio (48000 Hz, 1 channel, 16 bits); only 44100 Hz stereo 16-bit PCM can be written",
            Text(status));
  status.error = AudioError::kNotDecodable;
  status.code = static_cast<HResult>(0x80040265u);
  EXPECT_EQ("No installed decoder can read the audio file (error 0x80040265)", Text(status));
}
