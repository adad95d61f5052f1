#include "jobs/audio/audio_project_source.h"

#include "jobs/audio/audio_cd_format.h"
#include "runtime/clock.h"

namespace {
constexpr u8 kStopBit = 1;
}

bool CAudioProjectSource::SetTracks(const AudioTrackInfo* const* tracks, u32 count) {
  if (IsDecoding()) return false;
  Stop();
  tracks_.Clear();
  for (u32 i = 0; i < count; ++i) {
    if (!tracks_.Add(*tracks[i])) {
      tracks_.Clear();
      return false;
    }
  }
  return true;
}

void CAudioProjectSource::Stop() {
  stop_.store(kStopBit, std::memory_order_release);
  if (thread_.IsStarted()) thread_.Join();
  running_.store(false, std::memory_order_release);
}

HResult CAudioProjectSource::Seek(i64, u32, u64* newPosition) {
  Stop();
  stop_.store(0, std::memory_order_release);
  finished_.store(false, std::memory_order_release);
  failed_.store(false, std::memory_order_release);
  failure_ = AudioStatus();
  failedTrack_ = 0;
  delivered_ = 0;
  GetSize(&total_);
  if (newPosition) *newPosition = 0;
  // Each pass starts from an empty ring: nothing of an earlier pass is
  // read again.
  if (!ring_.Allocate(kAudioRingBytes, false)) {
    failure_.error = AudioError::kSystem;
    failure_.code = kHrFail;
    failed_.store(true, std::memory_order_release);
    finished_.store(true, std::memory_order_release);
    return kHrFail;
  }
  running_.store(true, std::memory_order_release);
  if (!thread_.Start(&CAudioProjectSource::DecodeEntry, this, kAudioDecodeStackBytes)) {
    running_.store(false, std::memory_order_release);
    failure_.error = AudioError::kSystem;
    failure_.code = kHrFail;
    failed_.store(true, std::memory_order_release);
    finished_.store(true, std::memory_order_release);
    return kHrFail;
  }
  return kHrOk;
}

HResult CAudioProjectSource::GetSize(u64* bytes) {
  u64 sum = 0;
  for (const AudioTrackInfo& t : tracks_) sum += static_cast<u64>(t.sectors) * kCdSectorBytes;
  *bytes = sum;
  return kHrOk;
}

HResult CAudioProjectSource::Read(void* buffer, u64 bytes, u64* bytesRead) {
  if (bytesRead) *bytesRead = 0;
  u8* out = static_cast<u8*>(buffer);
  u64 got = 0;
  // Taken as it comes, so a request larger than the ring is served too.
  while (got < bytes) {
    // A stopped pass is incomplete: nothing more of it is handed out.
    if (stop_.load(std::memory_order_acquire)) return kHrFail;
    if (failed_.load(std::memory_order_acquire)) return failure_.code < 0 ? failure_.code : kHrFail;
    // The flags are read before the ring, so the bytes written before the
    // decoding ended are seen; running before finished, which the thread
    // sets first.
    const bool running = running_.load(std::memory_order_acquire);
    const bool finished = finished_.load(std::memory_order_acquire);
    // The thread sets the failure before it finishes.
    if (finished && failed_.load(std::memory_order_acquire)) return failure_.code < 0 ? failure_.code : kHrFail;
    const u64 stored = ring_.GetDataSize();
    u64 want = bytes - got;
    // The stream's last byte waits for the pass to end well: a track that
    // cannot be decoded is padded with silence before its failure is known,
    // and a reader that had the whole stream would take that silence for
    // the track.
    const u64 position = delivered_ + got;
    if (!finished && position < total_ && want >= total_ - position) want = total_ - position - 1;
    const u32 take = static_cast<u32>(stored < want ? stored : want);
    if (take > 0 && ring_.Read(out + got, take)) {
      got += take;
      continue;
    }
    if (finished) break;
    if (!running) return kHrFail;  // no pass runs: nothing will come
    SleepFor(1);
  }
  delivered_ += got;
  if (bytesRead) *bytesRead = got;
  return got == 0 && bytes != 0 ? kHrFalse : kHrOk;
}

u32 CAudioProjectSource::DecodeEntry(void* self) { return static_cast<CAudioProjectSource*>(self)->DecodeThread(); }

u32 CAudioProjectSource::DecodeThread() {
  const AudioAbort abort = AudioAbort::OnFlags(&stop_, kStopBit);
  for (u32 i = 0; i < tracks_.GetCount(); ++i) {
    if (abort.IsSet()) break;
    AudioStatus status = decode_(tracks_[i], &ring_, abort);
    if (status.error == AudioError::kAborted) break;
    if (!status.Ok()) {
      // A track that cannot be decoded fails the burn: its silence is
      // never written as if it were the track.
      failure_ = status;
      failedTrack_ = i;
      failed_.store(true, std::memory_order_release);
      break;
    }
  }
  finished_.store(true, std::memory_order_release);
  running_.store(false, std::memory_order_release);
  return 0;
}
