#include "jobs/audio/wav_filter_seeking_win.h"

#include "jobs/audio/wav_filter_win.h"

template <class Call>
HRESULT CWavSeeking::Forward(Call call) {
  IPin* upstream = nullptr;
  if (pin_->ConnectedTo(&upstream) != S_OK || !upstream) return VFW_E_NOT_CONNECTED;
  IMediaSeeking* seeking = nullptr;
  HRESULT hr = upstream->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking));
  upstream->Release();
  if (FAILED(hr) || !seeking) return E_NOTIMPL;
  hr = call(seeking);
  seeking->Release();
  return hr;
}

STDMETHODIMP CWavSeeking::QueryInterface(REFIID iid, void** out) {
  return owner_->QueryInterface(iid, out);
}
STDMETHODIMP_(ULONG) CWavSeeking::AddRef() { return owner_->AddRef(); }
STDMETHODIMP_(ULONG) CWavSeeking::Release() { return owner_->Release(); }

STDMETHODIMP CWavSeeking::GetCapabilities(DWORD* c) {
  return Forward([&](IMediaSeeking* s) { return s->GetCapabilities(c); });
}
STDMETHODIMP CWavSeeking::CheckCapabilities(DWORD* c) {
  return Forward([&](IMediaSeeking* s) { return s->CheckCapabilities(c); });
}
STDMETHODIMP CWavSeeking::IsFormatSupported(const GUID* f) {
  return Forward([&](IMediaSeeking* s) { return s->IsFormatSupported(f); });
}
STDMETHODIMP CWavSeeking::QueryPreferredFormat(GUID* f) {
  return Forward([&](IMediaSeeking* s) { return s->QueryPreferredFormat(f); });
}
STDMETHODIMP CWavSeeking::GetTimeFormat(GUID* f) {
  return Forward([&](IMediaSeeking* s) { return s->GetTimeFormat(f); });
}
STDMETHODIMP CWavSeeking::IsUsingTimeFormat(const GUID* f) {
  return Forward([&](IMediaSeeking* s) { return s->IsUsingTimeFormat(f); });
}
STDMETHODIMP CWavSeeking::SetTimeFormat(const GUID* f) {
  return Forward([&](IMediaSeeking* s) { return s->SetTimeFormat(f); });
}
STDMETHODIMP CWavSeeking::GetDuration(LONGLONG* d) {
  return Forward([&](IMediaSeeking* s) { return s->GetDuration(d); });
}
STDMETHODIMP CWavSeeking::GetStopPosition(LONGLONG* p) {
  return Forward([&](IMediaSeeking* s) { return s->GetStopPosition(p); });
}
STDMETHODIMP CWavSeeking::GetCurrentPosition(LONGLONG* p) {
  return Forward([&](IMediaSeeking* s) { return s->GetCurrentPosition(p); });
}
STDMETHODIMP CWavSeeking::ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat,
                                            LONGLONG source, const GUID* sourceFormat) {
  return Forward([&](IMediaSeeking* s) {
    return s->ConvertTimeFormat(target, targetFormat, source, sourceFormat);
  });
}
STDMETHODIMP CWavSeeking::SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                                       DWORD stopFlags) {
  return Forward(
      [&](IMediaSeeking* s) { return s->SetPositions(current, currentFlags, stop, stopFlags); });
}
STDMETHODIMP CWavSeeking::GetPositions(LONGLONG* current, LONGLONG* stop) {
  return Forward([&](IMediaSeeking* s) { return s->GetPositions(current, stop); });
}
STDMETHODIMP CWavSeeking::GetAvailable(LONGLONG* earliest, LONGLONG* latest) {
  return Forward([&](IMediaSeeking* s) { return s->GetAvailable(earliest, latest); });
}
STDMETHODIMP CWavSeeking::SetRate(double rate) {
  return Forward([&](IMediaSeeking* s) { return s->SetRate(rate); });
}
STDMETHODIMP CWavSeeking::GetRate(double* rate) {
  return Forward([&](IMediaSeeking* s) { return s->GetRate(rate); });
}
STDMETHODIMP CWavSeeking::GetPreroll(LONGLONG* preroll) {
  return Forward([&](IMediaSeeking* s) { return s->GetPreroll(preroll); });
}
