// Feeds one audio track into the PCM ring buffer so that it delivers
// exactly its sectors x 2352 bytes: bytes beyond that are cut, Pad fills
// the rest with zeros. While the ring is full it waits 1 ms at a time and
// gives up when the job is cancelled or the caller's interrupt test says so.
// Portable; one producer at a time (the caller serialises).
#pragma once
#include "jobs/audio/audio_abort.h"
#include "runtime/types.h"

class CRingBuffer;

class CTrackRingWriter {
 public:
  typedef bool (*InterruptTest)(void* context);

  CTrackRingWriter(CRingBuffer* ring, u32 sectors, AudioAbort abort);

  // Writes what of the n bytes still fits in the track. False when the
  // wait for space was given up or there is no usable ring.
  bool Write(const u8* data, u32 n, InterruptTest interrupted = nullptr, void* context = nullptr);
  // Zeros up to the end of the track; same results as Write.
  bool Pad(InterruptTest interrupted = nullptr, void* context = nullptr);

  u64 Limit() const { return limit_; }
  u64 Delivered() const { return delivered_; }
  bool HasRing() const { return ring_ != nullptr; }
  // The job's cancel stopped a wait (or was seen before one).
  bool AbortSeen() const { return abortSeen_; }

 private:
  bool Put(const u8* data, u64 n, InterruptTest interrupted, void* context);

  CRingBuffer* ring_;
  u64 limit_;
  u64 delivered_ = 0;
  AudioAbort abort_;
  bool abortSeen_ = false;
};
