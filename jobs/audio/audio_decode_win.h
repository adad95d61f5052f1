// Decoding audio tracks through DirectShow into the PCM ring buffer. With
// the measuring of tracks (included), the audio project's entry points.
// Windows only.
#pragma once
#include "jobs/audio/audio_abort.h"
#include "jobs/audio/audio_status.h"
#include "jobs/audio/audio_track_info.h"
#include "jobs/audio/audio_track_length_win.h"

class CRingBuffer;

// Decodes the track into the ring buffer: exactly track.sectors x 2352
// bytes, the decoded audio cut or padded with zeros to that length, also
// when the file cannot be decoded (silence, and the reason as the result).
// Waits for ring space and for the graph in short steps and ends promptly
// when `abort` is set (kAborted; the track is then left incomplete). A
// graph whose stream shows no sign of life for kDecodeStallMs is given up
// (kDecodeFailed), and one that delivers more than the track's sectors is
// stopped once they are full.
AudioStatus DecodeAudioFile(const AudioTrackInfo& track, CRingBuffer* ring, AudioAbort abort);
