// Raw CD-audio tracks: copied into the ring, cut or padded.
#include "jobs/audio/audio_raw_track_win.h"

#include "jobs/audio/audio_ring_writer.h"
#include "runtime/file.h"
#include "runtime/heap.h"
#include "runtime/wide_string.h"

namespace {
constexpr u32 kReadChunk = 65536;
}

bool HasRawAudioName(const wchar16* path) {
  i32 length = GetStringLength(path, kTextCap);
  if (length <= 4) return false;
  const wchar16* tail = path + length - 4;
  return CompareText(tail, 4, u".bin", 4) == 0 || CompareText(tail, 4, u".raw", 4) == 0;
}

AudioStatus CopyRawAudioTrack(const AudioTrackInfo& track, CRingBuffer* ring, AudioAbort abort) {
  AudioStatus status;
  CTrackRingWriter writer(ring, track.sectors, abort);
  CFileHandle file;
  HResult hr = file.OpenRead(track.path.c_str());
  u8* buffer = static_cast<u8*>(rt::malloc(kReadChunk));
  if (hr != 0 || !buffer) {
    status.error = hr != 0 ? AudioError::kReadFailed : AudioError::kSystem;
    status.code = hr != 0 ? hr : kHrFail;
  }
  // Only the track's sectors are read; a file that grew since it was
  // measured is cut, one that shrank is padded.
  while (status.Ok() && writer.Delivered() < writer.Limit()) {
    u64 want = writer.Limit() - writer.Delivered();
    u64 got = 0;
    hr = FileReadAll(file.Get(), buffer, want < kReadChunk ? want : kReadChunk, &got);
    if (hr != 0) {
      status.error = AudioError::kReadFailed;
      status.code = hr;
    }
    if (got == 0) break;
    if (!writer.Write(buffer, static_cast<u32>(got))) break;
  }
  rt::free(buffer);
  if (writer.AbortSeen() || abort.IsSet()) {
    status = AudioStatus();
    status.error = AudioError::kAborted;
    return status;
  }
  if (!writer.Pad() && status.Ok()) {
    status.error = writer.AbortSeen() ? AudioError::kAborted : AudioError::kSystem;
    status.code = writer.AbortSeen() ? 0 : kHrFail;
  }
  return status;
}
