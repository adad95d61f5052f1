// Measuring and decoding audio tracks through DirectShow into the PCM ring
// buffer. Windows only.
#pragma once
#include "jobs/audio/audio_abort.h"
#include "jobs/audio/audio_status.h"
#include "jobs/audio/audio_track_info.h"

class CRingBuffer;

// Sets the path and both lengths of the track: from the graph's duration,
// or, for a ".bin"/".raw" file that no filter renders, from its size as raw
// CD audio. False (with the reason in *status when given) otherwise.
bool GetAudioTrackLength(AudioTrackInfo* track, const wchar16* path, AudioStatus* status = nullptr);

// Decodes the track into the ring buffer: exactly track.sectors x 2352
// bytes, the decoded audio cut or padded with zeros to that length, also
// when the file cannot be decoded (silence, and the reason as the result).
// Waits for ring space and for the graph in short steps and ends promptly
// when `abort` is set (kAborted; the track is then left incomplete). A
// graph whose stream shows no sign of life for kDecodeStallMs is given up
// (kDecodeFailed), and one that delivers more than the track's sectors is
// stopped once they are full.
AudioStatus DecodeAudioFile(const AudioTrackInfo& track, CRingBuffer* ring, AudioAbort abort);

// Copies a raw CD-audio file into the ring buffer, cut or padded to the
// track's sectors.
AudioStatus CopyRawAudioTrack(const AudioTrackInfo& track, CRingBuffer* ring, AudioAbort abort);

// A name longer than 4 characters ending in ".bin" or ".raw", compared
// case-sensitively.
bool HasRawAudioName(const wchar16* path);
