// DecodeAudioFile: runs the decoding graph of one track into the ring.
#include "jobs/audio_decode_win.h"

#include <evcode.h>

#include "jobs/audio_graph_win.h"
#include "jobs/wav_filter_win.h"
#include "runtime/file.h"

namespace {

// How long one wait for the graph lasts before the job's cancel is tested.
constexpr long kGraphWaitStepMs = 50;
// A decode that ends more than a second before the measured length has
// lost audio (a failing decoder ends its stream early), not rounding.
constexpr u64 kShortfallBytes = kCdBytesPerSecond;

AudioStatus Status(AudioError error, HRESULT hr = S_OK) {
  AudioStatus status;
  status.error = error;
  status.code = hr;
  return status;
}

// Runs the built graph until it completes, fails or the job is cancelled.
AudioStatus RunGraph(IGraphBuilder* graph, const AudioAbort& abort) {
  IMediaControl* control = nullptr;
  IMediaEvent* events = nullptr;
  AudioStatus status;
  HRESULT hr = graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
  if (SUCCEEDED(hr)) hr = graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events));
  if (FAILED(hr) || !control || !events) {
    status = Status(AudioError::kSystem, FAILED(hr) ? hr : E_NOINTERFACE);
  } else {
    hr = control->Run();
    if (FAILED(hr)) status = Status(AudioError::kDecodeFailed, hr);
    while (status.Ok()) {
      long code = 0;
      hr = events->WaitForCompletion(kGraphWaitStepMs, &code);
      if (hr == E_ABORT) {  // the step passed without an end
        if (abort.IsSet()) status = Status(AudioError::kAborted);
        continue;
      }
      if (FAILED(hr))
        status = Status(AudioError::kDecodeFailed, hr);
      else if (code != EC_COMPLETE)
        status = Status(abort.IsSet() ? AudioError::kAborted : AudioError::kDecodeFailed, E_FAIL);
      break;
    }
    control->Stop();
  }
  if (events) events->Release();
  if (control) control->Release();
  return status;
}

// Builds and runs the graph; everything of it is released before return.
AudioStatus DecodeThroughGraph(const AudioTrackInfo& track, CWavFilter* sink,
                               const AudioAbort& abort) {
  IGraphBuilder* graph = nullptr;
  AudioStatus status = BuildDecodeGraph(&graph, track.path.c_str(), sink);
  if (status.Ok()) status = RunGraph(graph, abort);
  // Releasing the graph disconnects the sink (its pin lets go of the peer
  // and the stored type) before the sink and then COM go away.
  if (graph) graph->Release();
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
