// DecodeAudioFile: runs the decoding graph of one track into the ring.
#include "jobs/audio/audio_decode_win.h"

#include "jobs/audio/audio_graph_win.h"
#include "jobs/audio/audio_raw_track_win.h"
#include "jobs/audio/wav_filter_win.h"
#include "runtime/file.h"

namespace {

// A decode that ends more than a second before the measured length has
// lost audio (a failing decoder ends its stream early), not rounding.
constexpr u64 kShortfallBytes = kCdBytesPerSecond;

AudioStatus Status(AudioError error, HRESULT hr = S_OK) {
  AudioStatus status;
  status.error = error;
  status.code = hr;
  return status;
}

// Builds and runs the graph; everything of it is released before return.
AudioStatus DecodeThroughGraph(const AudioTrackInfo& track, CWavFilter* sink,
                               const AudioAbort& abort) {
  IGraphBuilder* graph = nullptr;
  AudioStatus status = BuildDecodeGraph(&graph, track.path.c_str(), sink);
  if (status.Ok()) status = RunDecodeGraph(graph, sink->Pin(), abort);
  // The graph lets go of the sink (its pin of the peer and the stored
  // type) before the sink and then COM go away.
  ReleaseDecodeGraph(graph, sink);
  return status;
}

}  // namespace

AudioStatus DecodeAudioFile(const AudioTrackInfo& track, CRingBuffer* ring, AudioAbort abort) {
  if (track.raw) return CopyRawAudioTrack(track, ring, abort);
  // Declared in this order so that the sink is destroyed before COM ends.
  CComScope com;
  CWavFilter sink(ring, track.sectors, abort);
  AudioStatus status;
  if (!FileExists(track.path.c_str()))
    status = Status(AudioError::kMissingFile);
  else if (!com.Ok())
    status = Status(AudioError::kSystem, com.Result());
  else
    status = DecodeThroughGraph(track, &sink, abort);
  if (status.error == AudioError::kAborted || sink.Pin()->AbortSeen())
    return Status(AudioError::kAborted);
  // Whatever happened, the track keeps its place on the disc: the rest of
  // it is silence.
  status.bytesDecoded = sink.Pin()->BytesReceived();
  u64 expected = static_cast<u64>(track.sectors) * kCdSectorBytes;
  if (status.Ok() && expected > 0 &&
      (status.bytesDecoded == 0 || status.bytesDecoded + kShortfallBytes < expected))
    status.error = AudioError::kDecodedShort;
  if (!sink.Pin()->PadToExpected()) {
    if (sink.Pin()->AbortSeen()) return Status(AudioError::kAborted);
    if (status.Ok()) status = Status(AudioError::kSystem, E_FAIL);
  }
  return status;
}
