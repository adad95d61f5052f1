#include "jobs/audio/audio_cd_format.h"

namespace {

u16 Le16(const u8* p) { return static_cast<u16>(p[0] | (p[1] << 8)); }
u32 Le32(const u8* p) {
  return static_cast<u32>(p[0]) | (static_cast<u32>(p[1]) << 8) | (static_cast<u32>(p[2]) << 16) |
         (static_cast<u32>(p[3]) << 24);
}

constexpr u64 kTicksPerSecond = 10000000;  // 100-ns units

}  // namespace

bool ReadWaveFormat(const u8* format, u32 size, WaveFormatSummary* out) {
  if (!format || size < kWaveFormatBytes) return false;
  out->tag = Le16(format);
  out->channels = Le16(format + 2);
  out->samplesPerSecond = Le32(format + 4);
  out->bytesPerSecond = Le32(format + 8);
  out->blockAlign = Le16(format + 12);
  out->bitsPerSample = Le16(format + 14);
  return true;
}

bool IsCdAudioFormat(const WaveFormatSummary& f) {
  return f.tag == 1 && f.channels == 2 && f.samplesPerSecond == kCdSampleRate &&
         f.bitsPerSample == 16 && f.blockAlign == 4 && f.bytesPerSecond == kCdBytesPerSecond;
}

bool TrackLengthFromDuration(i64 duration, u32* seconds, u32* sectors) {
  if (duration <= 0) return false;
  u64 d = static_cast<u64>(duration);
  u64 whole = d / kTicksPerSecond;
  u64 frames =
      ((d % kTicksPerSecond) * kCdSectorsPerSecond + kTicksPerSecond - 1) / kTicksPerSecond;
  if (whole > kMaxTrackSectors / kCdSectorsPerSecond) return false;
  u64 total = whole * kCdSectorsPerSecond + frames;
  if (total > kMaxTrackSectors) return false;
  *seconds = static_cast<u32>(whole);
  *sectors = static_cast<u32>(total);
  return true;
}

bool TrackLengthFromRawBytes(u64 bytes, u32* seconds, u32* sectors) {
  if (bytes == 0) return false;
  u64 total = bytes / kCdSectorBytes + (bytes % kCdSectorBytes != 0 ? 1 : 0);
  if (total > kMaxTrackSectors) return false;
  *seconds = static_cast<u32>(bytes / kCdBytesPerSecond);
  *sectors = static_cast<u32>(total);
  return true;
}

u32 BytesWithinLimit(u64 delivered, u32 n, u64 limit) {
  if (delivered >= limit) return 0;
  u64 room = limit - delivered;
  return room < n ? static_cast<u32>(room) : n;
}

u64 PaddingToLimit(u64 delivered, u64 limit) { return delivered < limit ? limit - delivered : 0; }
