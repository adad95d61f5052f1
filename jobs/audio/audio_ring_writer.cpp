#include "jobs/audio/audio_ring_writer.h"

#include "jobs/audio/audio_cd_format.h"
#include "runtime/clock.h"
#include "runtime/ring_buffer.h"

namespace {

// Largest block handed to the ring at once; smaller when the ring is.
constexpr u32 kChunk = 16384;
const u8 kZeros[kChunk] = {};

}  // namespace

CTrackRingWriter::CTrackRingWriter(CRingBuffer* ring, u32 sectors, AudioAbort abort)
    : ring_(ring), limit_(static_cast<u64>(sectors) * kCdSectorBytes), abort_(abort) {}

bool CTrackRingWriter::Write(const u8* data, u32 n, InterruptTest interrupted, void* context) {
  u32 keep = BytesWithinLimit(delivered_, n, limit_);
  return Put(data, keep, interrupted, context);
}

bool CTrackRingWriter::Pad(InterruptTest interrupted, void* context) {
  return Put(nullptr, PaddingToLimit(delivered_, limit_), interrupted, context);
}

bool CTrackRingWriter::Put(const u8* data, u64 n, InterruptTest interrupted, void* context) {
  if (n == 0) return true;
  u64 capacity = ring_ ? ring_->GetCapacity() : 0;
  if (capacity == 0) return false;
  u32 chunk = capacity < kChunk ? static_cast<u32>(capacity) : kChunk;
  while (n > 0) {
    u32 part = n < chunk ? static_cast<u32>(n) : chunk;
    while (!ring_->Write(data ? data : kZeros, part)) {
      if (abort_.IsSet()) {
        abortSeen_ = true;
        return false;
      }
      if (interrupted && interrupted(context)) return false;
      SleepFor(1);
    }
    delivered_ += part;
    if (data) data += part;
    n -= part;
  }
  return true;
}
