// The DirectShow graph that decodes one audio file into the sink filter,
// without any audio device, and the COM initialisation around each use.
// Windows only.
#pragma once
#include <dshow.h>

#include "jobs/audio_status.h"
#include "runtime/win.h"

class CWavFilter;

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
