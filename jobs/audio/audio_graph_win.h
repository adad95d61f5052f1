// The DirectShow graph that decodes one audio file into the sink filter,
// without any audio device, and the COM initialisation around each use.
// Windows only.
#pragma once
#include <dshow.h>

#include "jobs/audio/audio_abort.h"
#include "jobs/audio/audio_status.h"
#include "runtime/win.h"

class CWavFilter;
class CWavPin;

// How long a running graph may go without a sign of life from the sink (a
// sample, an end of stream or a wait for ring space) before the decode
// gives up on it.
constexpr u32 kDecodeStallMs = 60000;

// CoInitialize for the scope; CoUninitialize only when it succeeded.
class CComScope {
 public:
  CComScope() : hr_(CoInitialize(nullptr)) {}
  ~CComScope() {
    if (SUCCEEDED(hr_)) CoUninitialize();
  }
  CComScope(const CComScope&) = delete;
  CComScope& operator=(const CComScope&) = delete;
  // COM is usable on this thread (also when it was set up before, in any mode).
  bool Ok() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }
  HRESULT Result() const { return hr_; }

 private:
  HRESULT hr_;
};

// Makes a filter graph, adds the sink as "VANTO Filter" and the source
// filter for the file, and connects the source's output to the sink; the
// graph inserts the parsers and decoders it needs. *graph gets the graph
// whenever one was made, also on failure (the caller releases it). A sink
// that refused the decoded format turns the failure into kNotCdAudio.
AudioStatus BuildDecodeGraph(IGraphBuilder** graph, const wchar16* path, CWavFilter* sink);

// Runs a built graph until the sink's stream completes, the graph reports
// an error (kDecodeFailed), the job is cancelled (kAborted) or the stream
// stalls for stallMs (kDecodeFailed, VFW_E_TIMEOUT); the graph is stopped
// before return. `graph` is any object of the graph (IMediaControl and
// IMediaEvent are asked of it).
AudioStatus RunDecodeGraph(IUnknown* graph, CWavPin* pin, const AudioAbort& abort,
                           u32 stallMs = kDecodeStallMs);

// Takes the sink out of the graph, then releases the graph: the graph lets
// go of the sink (which lives only as long as its caller's scope) even when
// something else still holds the graph. Null graphs are ignored.
void ReleaseDecodeGraph(IGraphBuilder* graph, CWavFilter* sink);
