// CAudioProjectSource: the audio project as the byte source of a burn. It
// burns a snapshot of the project's tracks taken when the burn is set up,
// so editing the project meanwhile never changes what the job writes. Each
// pass (Seek: the burn, then the verify) starts a decode thread that turns
// the tracks one after the other into CD-DA sectors in a 4 MiB ring that
// Read drains: exactly each track's sectors x 2352 bytes, so the stream is
// GetSize bytes long.
//
// Every wait has an exit: Read ends when the decoding has finished (what is
// left, then end of data) or failed (an error, never silence reported as
// success); the decode thread's waits for ring space end when the pass is
// stopped (Stop, a new Seek, the snapshot replaced or the source going
// away), which joins it. Portable: the decoding is a function the caller
// gives (DecodeAudioFile on Windows).
#pragma once
#include <atomic>

#include "jobs/audio/audio_abort.h"
#include "jobs/audio/audio_status.h"
#include "jobs/audio/audio_track_info.h"
#include "jobs/burn/burn_source.h"
#include "runtime/array.h"
#include "runtime/ring_buffer.h"
#include "runtime/threads.h"

constexpr u32 kAudioRingBytes = 0x400000;  // 4 MiB, not locked
// The decode thread runs the media framework's graph: room for it.
constexpr u32 kAudioDecodeStackBytes = 256 * 1024;

typedef AudioStatus (*AudioDecodeFunction)(const AudioTrackInfo& track, CRingBuffer* ring, AudioAbort abort);

class CAudioProjectSource final : public IBurnSource {
 public:
  explicit CAudioProjectSource(AudioDecodeFunction decode) : decode_(decode), tracks_(16) {}
  ~CAudioProjectSource() { Stop(); }
  CAudioProjectSource(const CAudioProjectSource&) = delete;
  CAudioProjectSource& operator=(const CAudioProjectSource&) = delete;

  // Replaces the snapshot (copies of the tracks). Refused (false, nothing
  // changed) while a pass decodes for a job; false as well when the copy
  // could not be made (the snapshot is then empty).
  bool SetTracks(const AudioTrackInfo* const* tracks, u32 count);
  u32 TrackCount() const { return tracks_.GetCount(); }
  const AudioTrackInfo& Track(u32 index) const { return tracks_[index]; }

  // A decode thread runs (a pass is being read or waits for its reader).
  bool IsDecoding() const { return running_.load(std::memory_order_acquire); }
  // Ends the pass: the decode thread is told to stop and joined.
  void Stop();
  // The first failure of the last pass (kNone while none).
  AudioStatus LastFailure() const { return failure_; }
  // The track the failure belongs to (0-based).
  u32 FailedTrack() const { return failedTrack_; }

  // ---- IBurnSource ----
  // Starts a new pass from the first track, whatever the arguments: the
  // previous pass stopped, the ring emptied. The new position is 0.
  HResult Seek(i64 move, u32 origin, u64* newPosition) override;
  HResult GetSize(u64* bytes) override;
  // Waits (1 ms steps) until n bytes are there; once the decoding has
  // finished, delivers what is left (0 bytes: kHrFalse, end of data). A
  // failed decode or a pass that could not start: a failure, 0 bytes. The
  // stream's last byte is held back until the pass has ended without a
  // failure, so a failed last track never reads as complete.
  HResult Read(void* buffer, u64 bytes, u64* bytesRead) override;

 private:
  static u32 DecodeEntry(void* self);
  u32 DecodeThread();

  AudioDecodeFunction decode_;
  CArray<AudioTrackInfo> tracks_;
  CRingBuffer ring_;
  CThread thread_;
  std::atomic<u8> stop_{0};
  std::atomic<bool> running_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> failed_{false};
  AudioStatus failure_;
  u32 failedTrack_ = 0;
  // The reader's side of a pass: the stream's length and what was read.
  u64 total_ = 0;
  u64 delivered_ = 0;
};
