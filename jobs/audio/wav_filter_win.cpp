// CWavFilter: the IBaseFilter part of the sink.
#include "jobs/audio/wav_filter_win.h"

#include <evcode.h>

#include <cstring>
#include <cwchar>

#include "jobs/audio/wav_filter_enum_win.h"
#include "runtime/heap.h"

const GUID kWavFilterClassId = {
    0xAC33DDD7, 0xC255, 0x4391, {0xB5, 0x42, 0xCA, 0x3F, 0x2B, 0x13, 0xF5, 0x0F}};
const wchar_t kWavPinId[3] = L"In";

namespace {
const wchar_t kFilterName[] = L"CWavFilter";
}

CWavFilter::CWavFilter(CRingBuffer* ring, u32 expectedSectors, AudioAbort abort)
    : pin_(this, ring, expectedSectors, abort) {}

STDMETHODIMP CWavFilter::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist) ||
      IsEqualIID(iid, IID_IMediaFilter) || IsEqualIID(iid, IID_IBaseFilter)) {
    *out = static_cast<IBaseFilter*>(this);
    AddRef();
    return S_OK;
  }
  // Seeking, positions and the duration are the upstream filter's to answer.
  if (IsEqualIID(iid, IID_IMediaSeeking) && pin_.IsConnected()) {
    *out = static_cast<IMediaSeeking*>(&seeking_);
    AddRef();
    return S_OK;
  }
  if (IsEqualIID(iid, IID_IMediaPosition) && pin_.IsConnected()) {
    *out = static_cast<IMediaPosition*>(&position_);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CWavFilter::AddRef() { return static_cast<ULONG>(++refs_); }

STDMETHODIMP_(ULONG) CWavFilter::Release() {
  // The owner's scope frees the filter, never the count.
  LONG n = --refs_;
  return n > 0 ? static_cast<ULONG>(n) : 0;
}

STDMETHODIMP CWavFilter::GetClassID(CLSID* id) {
  if (!id) return E_POINTER;
  *id = kWavFilterClassId;
  return S_OK;
}

STDMETHODIMP CWavFilter::Stop() {
  {
    CLockGuard guard(stateLock_);
    state_ = State_Stopped;
    eosPending_ = false;
  }
  pin_.OnStop();
  return S_OK;
}

STDMETHODIMP CWavFilter::Pause() {
  CLockGuard guard(stateLock_);
  state_ = State_Paused;
  return S_OK;
}

STDMETHODIMP CWavFilter::Run(REFERENCE_TIME) {
  bool notify = false;
  {
    CLockGuard guard(stateLock_);
    state_ = State_Running;
    notify = eosPending_;
    eosPending_ = false;
  }
  // An end of stream that came while paused is reported now.
  if (notify) NotifyComplete();
  return S_OK;
}

STDMETHODIMP CWavFilter::GetState(DWORD, FILTER_STATE* state) {
  if (!state) return E_POINTER;
  *state = State();
  return S_OK;
}

STDMETHODIMP CWavFilter::SetSyncSource(IReferenceClock*) { return S_OK; }

STDMETHODIMP CWavFilter::GetSyncSource(IReferenceClock** clock) {
  // The sink does not pace by a clock: it has none.
  if (!clock) return E_POINTER;
  *clock = nullptr;
  return S_OK;
}

STDMETHODIMP CWavFilter::EnumPins(IEnumPins** pins) {
  if (!pins) return E_POINTER;
  *pins = CreatePinEnum(&pin_);
  return *pins ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CWavFilter::FindPin(LPCWSTR id, IPin** pin) {
  if (!pin) return E_POINTER;
  *pin = nullptr;
  if (!id || wcscmp(id, kWavPinId) != 0) return VFW_E_NOT_FOUND;
  *pin = &pin_;
  pin_.AddRef();
  return S_OK;
}

STDMETHODIMP CWavFilter::QueryFilterInfo(FILTER_INFO* info) {
  if (!info) return E_POINTER;
  std::memset(info, 0, sizeof(*info));
  std::memcpy(info->achName, kFilterName, sizeof(kFilterName));
  info->pGraph = graph_;
  if (graph_) graph_->AddRef();
  return S_OK;
}

STDMETHODIMP CWavFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR) {
  CLockGuard guard(stateLock_);
  graph_ = graph;
  return S_OK;
}

STDMETHODIMP CWavFilter::QueryVendorInfo(LPWSTR* info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  return E_NOTIMPL;
}

void CWavFilter::OnEndOfStream() {
  bool notify = false;
  {
    CLockGuard guard(stateLock_);
    if (state_ == State_Running)
      notify = true;
    else if (state_ == State_Paused)
      eosPending_ = true;
  }
  if (notify) NotifyComplete();
}

void CWavFilter::ClearEndOfStream() {
  CLockGuard guard(stateLock_);
  eosPending_ = false;
}

void CWavFilter::NotifyComplete() {
  IFilterGraph* graph = nullptr;
  {
    CLockGuard guard(stateLock_);
    graph = graph_;
    if (graph) graph->AddRef();
  }
  if (!graph) return;
  IMediaEventSink* sink = nullptr;
  if (SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&sink))) &&
      sink) {
    sink->Notify(EC_COMPLETE, S_OK, reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)));
    sink->Release();
  }
  graph->Release();
}
