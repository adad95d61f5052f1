// Small stand-ins for the graph side of DirectShow, so the sink filter can
// be driven without a filter graph: an upstream output pin, a graph that
// counts the events it is told, and a foreign media sample.
#pragma once
#include <dshow.h>

#include <atomic>

#include "jobs/audio/wav_media_type_win.h"
#include "runtime/win.h"

// An output pin that only keeps its reference count.
class FakeUpstreamPin final : public IPin {
 public:
  LONG refs = 1;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPin)) return E_NOINTERFACE;
    *out = static_cast<IPin*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  STDMETHODIMP Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP Disconnect() override { return S_OK; }
  STDMETHODIMP ConnectedTo(IPin** p) override {
    *p = nullptr;
    return VFW_E_NOT_CONNECTED;
  }
  STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE*) override { return VFW_E_NOT_CONNECTED; }
  STDMETHODIMP QueryPinInfo(PIN_INFO*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryDirection(PIN_DIRECTION* d) override {
    *d = PINDIR_OUTPUT;
    return S_OK;
  }
  STDMETHODIMP QueryId(LPWSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE*) override { return S_OK; }
  STDMETHODIMP EnumMediaTypes(IEnumMediaTypes**) override { return E_NOTIMPL; }
  STDMETHODIMP QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
  STDMETHODIMP EndOfStream() override { return S_OK; }
  STDMETHODIMP BeginFlush() override { return S_OK; }
  STDMETHODIMP EndFlush() override { return S_OK; }
  STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }
};

// A graph that records the events a filter notifies and, as the object a
// decode runs, drives one filter's state (Run pauses and runs it, Stop
// stops it) and reports completion once the filter notified it.
class FakeGraph final : public IFilterGraph,
                        public IMediaEventSink,
                        public IMediaControl,
                        public IMediaEvent {
 public:
  std::atomic<int> completes{0};
  std::atomic<int> others{0};
  std::atomic<int> runs{0};
  std::atomic<int> stops{0};
  LONG_PTR lastSender = 0;
  LONG refs = 1;
  IBaseFilter* driven = nullptr;  // the filter Run and Stop act on

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IFilterGraph))
      *out = static_cast<IFilterGraph*>(this);
    else if (IsEqualIID(iid, IID_IMediaEventSink))
      *out = static_cast<IMediaEventSink*>(this);
    else if (IsEqualIID(iid, IID_IMediaControl))
      *out = static_cast<IMediaControl*>(this);
    else if (IsEqualIID(iid, IID_IMediaEvent))
      *out = static_cast<IMediaEvent*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  // IFilterGraph
  STDMETHODIMP AddFilter(IBaseFilter*, LPCWSTR) override { return E_NOTIMPL; }
  STDMETHODIMP RemoveFilter(IBaseFilter*) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFilters(IEnumFilters**) override { return E_NOTIMPL; }
  STDMETHODIMP FindFilterByName(LPCWSTR, IBaseFilter**) override { return E_NOTIMPL; }
  STDMETHODIMP ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  STDMETHODIMP Reconnect(IPin*) override { return E_NOTIMPL; }
  STDMETHODIMP Disconnect(IPin*) override { return E_NOTIMPL; }
  STDMETHODIMP SetDefaultSyncSource() override { return E_NOTIMPL; }
  // IMediaEventSink
  STDMETHODIMP Notify(LONG code, LONG_PTR, LONG_PTR sender) override {
    if (code == EC_COMPLETE)
      ++completes;
    else
      ++others;
    lastSender = sender;
    return S_OK;
  }
  // IDispatch (of IMediaControl and IMediaEvent)
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return E_NOTIMPL;
  }
  // IMediaControl
  STDMETHODIMP Run() override {
    ++runs;
    if (driven) {
      driven->Pause();
      driven->Run(0);
    }
    return S_OK;
  }
  STDMETHODIMP Pause() override { return driven ? driven->Pause() : S_OK; }
  STDMETHODIMP Stop() override {
    ++stops;
    return driven ? driven->Stop() : S_OK;
  }
  STDMETHODIMP GetState(LONG, OAFilterState*) override { return E_NOTIMPL; }
  STDMETHODIMP RenderFile(BSTR) override { return E_NOTIMPL; }
  STDMETHODIMP AddSourceFilter(BSTR, IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP get_FilterCollection(IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP get_RegFilterCollection(IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP StopWhenReady() override { return E_NOTIMPL; }
  // IMediaEvent: completion once a filter notified it; else the wait
  // passes its time-out.
  STDMETHODIMP GetEventHandle(OAEVENT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetEvent(long*, LONG_PTR*, LONG_PTR*, long) override { return E_NOTIMPL; }
  STDMETHODIMP WaitForCompletion(long timeout, long* code) override {
    *code = 0;
    if (completes.load() == 0) Sleep(static_cast<DWORD>(timeout));
    if (completes.load() == 0) return E_ABORT;
    *code = EC_COMPLETE;
    return S_OK;
  }
  STDMETHODIMP CancelDefaultHandling(long) override { return E_NOTIMPL; }
  STDMETHODIMP RestoreDefaultHandling(long) override { return E_NOTIMPL; }
  STDMETHODIMP FreeEventParams(long, LONG_PTR, LONG_PTR) override { return E_NOTIMPL; }
};

// A sample of another allocator whose reported length can lie.
class FakeSample final : public IMediaSample {
 public:
  BYTE* data = nullptr;
  LONG size = 0;
  LONG actual = 0;
  AM_MEDIA_TYPE* changedType = nullptr;  // handed out by GetMediaType (a copy is made)

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IMediaSample)) return E_NOINTERFACE;
    *out = static_cast<IMediaSample*>(this);
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetPointer(BYTE** p) override {
    *p = data;
    return S_OK;
  }
  STDMETHODIMP_(LONG) GetSize() override { return size; }
  STDMETHODIMP GetTime(REFERENCE_TIME*, REFERENCE_TIME*) override {
    return VFW_E_SAMPLE_TIME_NOT_SET;
  }
  STDMETHODIMP SetTime(REFERENCE_TIME*, REFERENCE_TIME*) override { return S_OK; }
  STDMETHODIMP IsSyncPoint() override { return S_OK; }
  STDMETHODIMP SetSyncPoint(BOOL) override { return S_OK; }
  STDMETHODIMP IsPreroll() override { return S_FALSE; }
  STDMETHODIMP SetPreroll(BOOL) override { return S_OK; }
  STDMETHODIMP_(LONG) GetActualDataLength() override { return actual; }
  STDMETHODIMP SetActualDataLength(LONG n) override {
    actual = n;
    return S_OK;
  }
  STDMETHODIMP GetMediaType(AM_MEDIA_TYPE** type) override {
    *type = nullptr;
    if (!changedType) return S_FALSE;
    AM_MEDIA_TYPE* copy = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!copy || FAILED(CopyMediaType(copy, changedType))) {
      CoTaskMemFree(copy);
      return E_OUTOFMEMORY;
    }
    *type = copy;
    return S_OK;
  }
  STDMETHODIMP SetMediaType(AM_MEDIA_TYPE*) override { return S_OK; }
  STDMETHODIMP IsDiscontinuity() override { return S_FALSE; }
  STDMETHODIMP SetDiscontinuity(BOOL) override { return S_OK; }
  STDMETHODIMP GetMediaTime(LONGLONG*, LONGLONG*) override { return VFW_E_MEDIA_TIME_NOT_SET; }
  STDMETHODIMP SetMediaTime(LONGLONG*, LONGLONG*) override { return S_OK; }
};
