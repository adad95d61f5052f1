// CD audio arithmetic and the check of a wave format block: 44100 Hz,
// 2 channels, 16-bit PCM, 2352-byte sectors, 75 sectors a second.
// Portable: works on plain numbers and bytes.
#pragma once
#include "runtime/types.h"

constexpr u32 kCdSectorBytes = 2352;
constexpr u32 kCdBytesPerSecond = 176400;
constexpr u32 kCdSectorsPerSecond = 75;
constexpr u32 kCdSampleRate = 44100;
// Longest track the program measures: 24 hours. Longer values are taken as
// corrupt lengths rather than audio.
constexpr u32 kMaxTrackSectors = 24u * 3600u * kCdSectorsPerSecond;
// Size of the leading WAVEFORMATEX fields up to and including cbSize.
constexpr u32 kWaveFormatBytes = 18;

// The fields of a WAVEFORMATEX block that decide whether it is CD audio.
struct WaveFormatSummary {
  u16 tag;
  u16 channels;
  u32 samplesPerSecond;
  u32 bytesPerSecond;
  u16 blockAlign;
  u16 bitsPerSample;
};

// Reads the little-endian fields of a format block; false when it is null
// or shorter than kWaveFormatBytes.
bool ReadWaveFormat(const u8* format, u32 size, WaveFormatSummary* out);
// PCM (tag 1), 2 channels, 44100 Hz, 16 bits, block align 4, 176400 bytes a second.
bool IsCdAudioFormat(const WaveFormatSummary& format);

// Track length from a duration in 100-ns units: whole seconds, and sectors
// rounded up. False for a duration of 0 or less or above kMaxTrackSectors.
bool TrackLengthFromDuration(i64 duration, u32* seconds, u32* sectors);
// Track length of raw CD audio from its byte count: seconds truncated,
// sectors rounded up. False for 0 bytes or above kMaxTrackSectors.
bool TrackLengthFromRawBytes(u64 bytes, u32* seconds, u32* sectors);

// Of n bytes arriving after `delivered` bytes, how many still fit under
// `limit` (the track's sectors x 2352): the rest is cut.
u32 BytesWithinLimit(u64 delivered, u32 n, u64 limit);
// Zero bytes still owed after `delivered` bytes so that the track ends at
// `limit`; 0 when it is already there or beyond.
u64 PaddingToLimit(u64 delivered, u64 limit);
