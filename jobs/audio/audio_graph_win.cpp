#include "jobs/audio/audio_graph_win.h"

#include <evcode.h>

#include "jobs/audio/wav_filter_win.h"
#include "jobs/audio/wav_media_type_win.h"
#include "runtime/clock.h"

namespace {

const wchar_t kSinkName[] = L"VANTO Filter";
const wchar_t kSourceName[] = L"Source";
// How long one wait for the graph lasts before the job's cancel and the
// sink's progress are looked at.
constexpr long kGraphWaitStepMs = 50;

// The first output pin of a filter (referenced), or null.
IPin* FirstOutputPin(IBaseFilter* filter) {
  IEnumPins* pins = nullptr;
  if (FAILED(filter->EnumPins(&pins)) || !pins) return nullptr;
  IPin* found = nullptr;
  IPin* pin = nullptr;
  ULONG fetched = 0;
  while (!found && pins->Next(1, &pin, &fetched) == S_OK && fetched == 1 && pin) {
    PIN_DIRECTION direction;
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT)
      found = pin;
    else
      pin->Release();
    pin = nullptr;
  }
  pins->Release();
  return found;
}

// The decoder's own output format: the first type its output pin offers.
// False when it offers none or no wave format.
bool ReadNativeFormat(IPin* sinkPin, WaveFormatSummary* out) {
  IPin* upstream = nullptr;
  if (sinkPin->ConnectedTo(&upstream) != S_OK || !upstream) return false;
  IEnumMediaTypes* types = nullptr;
  bool found = false;
  if (SUCCEEDED(upstream->EnumMediaTypes(&types)) && types) {
    AM_MEDIA_TYPE* type = nullptr;
    ULONG fetched = 0;
    if (types->Next(1, &type, &fetched) == S_OK && fetched == 1 && type) {
      found = ReadMediaWaveFormat(type, out);
      DeleteMediaType(type);
    }
    types->Release();
  }
  upstream->Release();
  return found;
}

bool IsDecodedAudio(const WaveFormatSummary& f) {
  return f.tag == 1 || f.tag == 3 || f.tag == 0xFFFE;
}

AudioStatus Failure(AudioError error, HRESULT hr) {
  AudioStatus status;
  status.error = error;
  status.code = hr;
  return status;
}

}  // namespace

AudioStatus BuildDecodeGraph(IGraphBuilder** graph, const wchar16* path, CWavFilter* sink) {
  *graph = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                reinterpret_cast<void**>(graph));
  if (FAILED(hr) || !*graph) {
    *graph = nullptr;
    return Failure(AudioError::kSystem, hr);
  }
  hr = (*graph)->AddFilter(sink, kSinkName);
  if (FAILED(hr)) return Failure(AudioError::kSystem, hr);

  IBaseFilter* source = nullptr;
  hr = (*graph)->AddSourceFilter(AsWide(path), kSourceName, &source);
  if (FAILED(hr) || !source) return Failure(AudioError::kNotDecodable, hr);
  IPin* output = FirstOutputPin(source);
  source->Release();
  if (!output) return Failure(AudioError::kNotDecodable, VFW_E_NOT_FOUND);

  hr = (*graph)->Connect(output, sink->Pin());
  output->Release();
  if (SUCCEEDED(hr) && sink->Pin()->IsConnected()) {
    // A decoder whose own output runs at another rate would have to
    // resample to deliver CD audio; the platform's parsers agree to the
    // type and then end the stream without data. Refused here, clearly.
    WaveFormatSummary native;
    if (ReadNativeFormat(sink->Pin(), &native) && IsDecodedAudio(native) &&
        native.samplesPerSecond != kCdSampleRate) {
      AudioStatus refused = Failure(AudioError::kNotCdAudio, VFW_E_TYPE_NOT_ACCEPTED);
      refused.hasRefusedFormat = true;
      refused.refused = native;
      return refused;
    }
    // A format the sink refused on the way may have been converted by the
    // platform's filters; the caller can tell from the note.
    AudioStatus converted;
    converted.hasRefusedFormat = sink->Pin()->GetRefusedFormat(&converted.refused);
    return converted;
  }

  AudioStatus status = Failure(AudioError::kNotDecodable, FAILED(hr) ? hr : E_FAIL);
  if (sink->Pin()->GetRefusedFormat(&status.refused)) {
    status.error = AudioError::kNotCdAudio;
    status.hasRefusedFormat = true;
  }
  return status;
}

AudioStatus RunDecodeGraph(IUnknown* graph, CWavPin* pin, const AudioAbort& abort, u32 stallMs) {
  IMediaControl* control = nullptr;
  IMediaEvent* events = nullptr;
  HRESULT hr = graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&control));
  if (SUCCEEDED(hr)) hr = graph->QueryInterface(IID_IMediaEvent, reinterpret_cast<void**>(&events));
  if (FAILED(hr) || !control || !events) {
    if (events) events->Release();
    if (control) control->Release();
    return Failure(AudioError::kSystem, FAILED(hr) ? hr : E_NOINTERFACE);
  }
  AudioStatus status;
  hr = control->Run();
  if (FAILED(hr)) status = Failure(AudioError::kDecodeFailed, hr);
  u32 seen = pin->Activity();
  u64 seenAt = 0;
  ReadPerformanceCounter(&seenAt);
  while (status.Ok()) {
    long code = 0;
    hr = events->WaitForCompletion(kGraphWaitStepMs, &code);
    if (hr == E_ABORT) {  // the step passed without an end
      if (abort.IsSet()) {
        status = Failure(AudioError::kAborted, S_OK);
        break;
      }
      u64 now = 0;
      ReadPerformanceCounter(&now);
      u32 activity = pin->Activity();
      if (activity != seen) {
        seen = activity;
        seenAt = now;
      } else if (ElapsedSeconds(seenAt, now) * 1000.0 >= stallMs) {
        // Neither data nor an end for that long: the graph has stalled.
        status = Failure(AudioError::kDecodeFailed, VFW_E_TIMEOUT);
      }
      continue;
    }
    if (FAILED(hr))
      status = Failure(AudioError::kDecodeFailed, hr);
    else if (code != EC_COMPLETE)
      status = Failure(abort.IsSet() ? AudioError::kAborted : AudioError::kDecodeFailed, E_FAIL);
    break;
  }
  control->Stop();
  events->Release();
  control->Release();
  return status;
}

void ReleaseDecodeGraph(IGraphBuilder* graph, CWavFilter* sink) {
  if (!graph) return;
  // Removing the sink disconnects its pin (which lets go of the peer and
  // the stored type) and drops the graph's reference to it.
  graph->RemoveFilter(sink);
  graph->Release();
}
