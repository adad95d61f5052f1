// The sink filter's IMediaSeeking and IMediaPosition: every call is passed
// to that interface of the upstream pin the sink is connected to, asked for
// anew each time, so the graph never holds an interface of another filter
// under this filter's name (that filter's pins may go away first). Windows
// only.
#pragma once
#include <dshow.h>

#include "runtime/win.h"

class CWavPin;

class CWavSeeking final : public IMediaSeeking {
 public:
  CWavSeeking(IBaseFilter* owner, CWavPin* pin) : owner_(owner), pin_(pin) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetCapabilities(DWORD* capabilities) override;
  STDMETHODIMP CheckCapabilities(DWORD* capabilities) override;
  STDMETHODIMP IsFormatSupported(const GUID* format) override;
  STDMETHODIMP QueryPreferredFormat(GUID* format) override;
  STDMETHODIMP GetTimeFormat(GUID* format) override;
  STDMETHODIMP IsUsingTimeFormat(const GUID* format) override;
  STDMETHODIMP SetTimeFormat(const GUID* format) override;
  STDMETHODIMP GetDuration(LONGLONG* duration) override;
  STDMETHODIMP GetStopPosition(LONGLONG* stop) override;
  STDMETHODIMP GetCurrentPosition(LONGLONG* current) override;
  STDMETHODIMP ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                 const GUID* sourceFormat) override;
  STDMETHODIMP SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                            DWORD stopFlags) override;
  STDMETHODIMP GetPositions(LONGLONG* current, LONGLONG* stop) override;
  STDMETHODIMP GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
  STDMETHODIMP SetRate(double rate) override;
  STDMETHODIMP GetRate(double* rate) override;
  STDMETHODIMP GetPreroll(LONGLONG* preroll) override;

 private:
  template <class Call>
  HRESULT Forward(Call call);

  IBaseFilter* owner_;
  CWavPin* pin_;
};

class CWavPosition final : public IMediaPosition {
 public:
  CWavPosition(IBaseFilter* owner, CWavPin* pin) : owner_(owner), pin_(pin) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                      EXCEPINFO* exception, UINT* argumentError) override;
  // IMediaPosition
  STDMETHODIMP get_Duration(REFTIME* length) override;
  STDMETHODIMP put_CurrentPosition(REFTIME time) override;
  STDMETHODIMP get_CurrentPosition(REFTIME* time) override;
  STDMETHODIMP get_StopTime(REFTIME* time) override;
  STDMETHODIMP put_StopTime(REFTIME time) override;
  STDMETHODIMP get_PrerollTime(REFTIME* time) override;
  STDMETHODIMP put_PrerollTime(REFTIME time) override;
  STDMETHODIMP put_Rate(double rate) override;
  STDMETHODIMP get_Rate(double* rate) override;
  STDMETHODIMP CanSeekForward(LONG* can) override;
  STDMETHODIMP CanSeekBackward(LONG* can) override;

 private:
  template <class Call>
  HRESULT Forward(Call call);

  IBaseFilter* owner_;
  CWavPin* pin_;
};
