#include "jobs/audio/wav_filter_seeking_win.h"

#include "jobs/audio/wav_filter_win.h"

namespace {

// Calls call(interface) on the interface iid of the pin connected to the
// sink's input: VFW_E_NOT_CONNECTED without a connection, E_NOTIMPL when
// that pin does not offer the interface, else what the call answers.
template <class I, class Call>
HRESULT CallUpstream(CWavPin* pin, REFIID iid, Call call) {
  IPin* upstream = nullptr;
  if (pin->ConnectedTo(&upstream) != S_OK || !upstream) return VFW_E_NOT_CONNECTED;
  I* wanted = nullptr;
  HRESULT hr = upstream->QueryInterface(iid, reinterpret_cast<void**>(&wanted));
  upstream->Release();
  if (FAILED(hr) || !wanted) return E_NOTIMPL;
  hr = call(wanted);
  wanted->Release();
  return hr;
}

}  // namespace

template <class Call>
HRESULT CWavSeeking::Forward(Call call) {
  return CallUpstream<IMediaSeeking>(pin_, IID_IMediaSeeking, call);
}

template <class Call>
HRESULT CWavPosition::Forward(Call call) {
  return CallUpstream<IMediaPosition>(pin_, IID_IMediaPosition, call);
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

STDMETHODIMP CWavPosition::QueryInterface(REFIID iid, void** out) {
  return owner_->QueryInterface(iid, out);
}
STDMETHODIMP_(ULONG) CWavPosition::AddRef() { return owner_->AddRef(); }
STDMETHODIMP_(ULONG) CWavPosition::Release() { return owner_->Release(); }

STDMETHODIMP CWavPosition::GetTypeInfoCount(UINT* count) {
  return Forward([&](IMediaPosition* p) { return p->GetTypeInfoCount(count); });
}
STDMETHODIMP CWavPosition::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
  return Forward([&](IMediaPosition* p) { return p->GetTypeInfo(index, locale, info); });
}
STDMETHODIMP CWavPosition::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) {
  return Forward([&](IMediaPosition* p) { return p->GetIDsOfNames(iid, names, count, locale, ids); });
}
STDMETHODIMP CWavPosition::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                  VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
  return Forward([&](IMediaPosition* p) {
    return p->Invoke(id, iid, locale, flags, parameters, result, exception, argumentError);
  });
}
STDMETHODIMP CWavPosition::get_Duration(REFTIME* length) {
  return Forward([&](IMediaPosition* p) { return p->get_Duration(length); });
}
STDMETHODIMP CWavPosition::put_CurrentPosition(REFTIME time) {
  return Forward([&](IMediaPosition* p) { return p->put_CurrentPosition(time); });
}
STDMETHODIMP CWavPosition::get_CurrentPosition(REFTIME* time) {
  return Forward([&](IMediaPosition* p) { return p->get_CurrentPosition(time); });
}
STDMETHODIMP CWavPosition::get_StopTime(REFTIME* time) {
  return Forward([&](IMediaPosition* p) { return p->get_StopTime(time); });
}
STDMETHODIMP CWavPosition::put_StopTime(REFTIME time) {
  return Forward([&](IMediaPosition* p) { return p->put_StopTime(time); });
}
STDMETHODIMP CWavPosition::get_PrerollTime(REFTIME* time) {
  return Forward([&](IMediaPosition* p) { return p->get_PrerollTime(time); });
}
STDMETHODIMP CWavPosition::put_PrerollTime(REFTIME time) {
  return Forward([&](IMediaPosition* p) { return p->put_PrerollTime(time); });
}
STDMETHODIMP CWavPosition::put_Rate(double rate) {
  return Forward([&](IMediaPosition* p) { return p->put_Rate(rate); });
}
STDMETHODIMP CWavPosition::get_Rate(double* rate) {
  return Forward([&](IMediaPosition* p) { return p->get_Rate(rate); });
}
STDMETHODIMP CWavPosition::CanSeekForward(LONG* can) {
  return Forward([&](IMediaPosition* p) { return p->CanSeekForward(can); });
}
STDMETHODIMP CWavPosition::CanSeekBackward(LONG* can) {
  return Forward([&](IMediaPosition* p) { return p->CanSeekBackward(can); });
}
