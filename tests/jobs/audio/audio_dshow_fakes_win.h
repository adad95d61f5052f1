// Small stand-ins for the graph side of DirectShow, so the sink filter can
// be driven without a filter graph: an upstream output pin, a graph that
// counts the events it is told, a foreign media sample, and a connected
// sink in such a graph.
#pragma once
#include <dshow.h>

#include <atomic>

#include "jobs/audio/wav_filter_win.h"
#include "jobs/audio/wav_media_type_win.h"
#undef GetFreeSpace  // a 16-bit era macro of <windows.h>
#include "runtime/ring_buffer.h"
#include "runtime/win.h"

// A method a stand-in has only because its interface has it.
#define FAKE_METHOD(result, name, ...) \
  STDMETHODIMP name(__VA_ARGS__) override { return result; }

// QueryInterface over a list of interface ids, each with the pointer to give.
#define FAKE_QUERY_INTERFACE(...)                                  \
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {   \
    if (!out) return E_POINTER;                                    \
    *out = nullptr;                                                \
    for (const auto& offer : {__VA_ARGS__})                        \
      if (IsEqualIID(iid, offer.first)) *out = offer.second;       \
    if (!*out) return E_NOINTERFACE;                               \
    AddRef();                                                      \
    return S_OK;                                                   \
  }

typedef std::pair<IID, void*> FakeOffer;

// An output pin that keeps its reference count and answers for positions
// as a parser's pin does (a duration, the position last set).
class FakeUpstreamPin final : public IPin, public IMediaPosition {
 public:
  LONG refs = 1;
  REFTIME duration = 3.5;
  REFTIME position = 0;
  FAKE_QUERY_INTERFACE(FakeOffer(IID_IUnknown, static_cast<IPin*>(this)), FakeOffer(IID_IPin, static_cast<IPin*>(this)),
                       FakeOffer(IID_IMediaPosition, static_cast<IMediaPosition*>(this)))
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  STDMETHODIMP ConnectedTo(IPin** p) override { return *p = nullptr, VFW_E_NOT_CONNECTED; }
  STDMETHODIMP QueryDirection(PIN_DIRECTION* d) override { return *d = PINDIR_OUTPUT, S_OK; }
  FAKE_METHOD(E_NOTIMPL, Connect, IPin*, const AM_MEDIA_TYPE*)
  FAKE_METHOD(E_NOTIMPL, ReceiveConnection, IPin*, const AM_MEDIA_TYPE*)
  FAKE_METHOD(S_OK, Disconnect)
  FAKE_METHOD(VFW_E_NOT_CONNECTED, ConnectionMediaType, AM_MEDIA_TYPE*)
  FAKE_METHOD(E_NOTIMPL, QueryPinInfo, PIN_INFO*)
  FAKE_METHOD(E_NOTIMPL, QueryId, LPWSTR*)
  FAKE_METHOD(S_OK, QueryAccept, const AM_MEDIA_TYPE*)
  FAKE_METHOD(E_NOTIMPL, EnumMediaTypes, IEnumMediaTypes**)
  FAKE_METHOD(E_NOTIMPL, QueryInternalConnections, IPin**, ULONG*)
  FAKE_METHOD(S_OK, EndOfStream)
  FAKE_METHOD(S_OK, BeginFlush)
  FAKE_METHOD(S_OK, EndFlush)
  FAKE_METHOD(S_OK, NewSegment, REFERENCE_TIME, REFERENCE_TIME, double)
  STDMETHODIMP get_Duration(REFTIME* d) override { return *d = duration, S_OK; }
  STDMETHODIMP put_CurrentPosition(REFTIME t) override { return position = t, S_OK; }
  STDMETHODIMP get_CurrentPosition(REFTIME* t) override { return *t = position, S_OK; }
  FAKE_METHOD(E_NOTIMPL, GetTypeInfoCount, UINT*)
  FAKE_METHOD(E_NOTIMPL, GetTypeInfo, UINT, LCID, ITypeInfo**)
  FAKE_METHOD(E_NOTIMPL, GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
  FAKE_METHOD(E_NOTIMPL, Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
  FAKE_METHOD(E_NOTIMPL, get_StopTime, REFTIME*)
  FAKE_METHOD(E_NOTIMPL, put_StopTime, REFTIME)
  FAKE_METHOD(E_NOTIMPL, get_PrerollTime, REFTIME*)
  FAKE_METHOD(E_NOTIMPL, put_PrerollTime, REFTIME)
  FAKE_METHOD(E_NOTIMPL, put_Rate, double)
  FAKE_METHOD(E_NOTIMPL, get_Rate, double*)
  FAKE_METHOD(E_NOTIMPL, CanSeekForward, LONG*)
  FAKE_METHOD(E_NOTIMPL, CanSeekBackward, LONG*)
};

// Decoded CD audio as a decoder offers it: the sink's own type under the
// audio major type.
inline AM_MEDIA_TYPE* CreateDecodedCdAudioType() {
  AM_MEDIA_TYPE* type = CreateCdAudioMediaType();
  if (type) type->majortype = MEDIATYPE_Audio;
  return type;
}

// A graph that records the completions a filter notifies and, as the object
// a decode runs, drives one filter's state (Run pauses and runs it, Stop
// stops it) and reports completion once the filter notified it.
class FakeGraph final : public IFilterGraph, public IMediaEventSink, public IMediaControl, public IMediaEvent {
 public:
  std::atomic<int> completes{0};
  std::atomic<int> runs{0};
  std::atomic<int> stops{0};
  LONG_PTR lastSender = 0;
  LONG refs = 1;
  IBaseFilter* driven = nullptr;  // the filter Run and Stop act on

  FAKE_QUERY_INTERFACE(FakeOffer(IID_IUnknown, static_cast<IFilterGraph*>(this)),
                       FakeOffer(IID_IFilterGraph, static_cast<IFilterGraph*>(this)),
                       FakeOffer(IID_IMediaEventSink, static_cast<IMediaEventSink*>(this)),
                       FakeOffer(IID_IMediaControl, static_cast<IMediaControl*>(this)),
                       FakeOffer(IID_IMediaEvent, static_cast<IMediaEvent*>(this)))
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
  STDMETHODIMP_(ULONG) Release() override { return --refs; }
  STDMETHODIMP Notify(LONG code, LONG_PTR, LONG_PTR sender) override {
    if (code == EC_COMPLETE) ++completes;
    lastSender = sender;
    return S_OK;
  }
  STDMETHODIMP Run() override {
    ++runs;
    if (driven) driven->Pause();
    return driven ? driven->Run(0) : S_OK;
  }
  STDMETHODIMP Pause() override { return driven ? driven->Pause() : S_OK; }
  STDMETHODIMP Stop() override {
    ++stops;
    return driven ? driven->Stop() : S_OK;
  }
  // Completion once a filter notified it; else the wait passes its time-out.
  STDMETHODIMP WaitForCompletion(long timeout, long* code) override {
    if (completes.load() == 0) Sleep(static_cast<DWORD>(timeout));
    *code = completes.load() ? EC_COMPLETE : 0;
    return completes.load() ? S_OK : E_ABORT;
  }
  FAKE_METHOD(E_NOTIMPL, AddFilter, IBaseFilter*, LPCWSTR)
  FAKE_METHOD(E_NOTIMPL, RemoveFilter, IBaseFilter*)
  FAKE_METHOD(E_NOTIMPL, EnumFilters, IEnumFilters**)
  FAKE_METHOD(E_NOTIMPL, FindFilterByName, LPCWSTR, IBaseFilter**)
  FAKE_METHOD(E_NOTIMPL, ConnectDirect, IPin*, IPin*, const AM_MEDIA_TYPE*)
  FAKE_METHOD(E_NOTIMPL, Reconnect, IPin*)
  FAKE_METHOD(E_NOTIMPL, Disconnect, IPin*)
  FAKE_METHOD(E_NOTIMPL, SetDefaultSyncSource)
  FAKE_METHOD(E_NOTIMPL, GetTypeInfoCount, UINT*)
  FAKE_METHOD(E_NOTIMPL, GetTypeInfo, UINT, LCID, ITypeInfo**)
  FAKE_METHOD(E_NOTIMPL, GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
  FAKE_METHOD(E_NOTIMPL, Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
  FAKE_METHOD(E_NOTIMPL, GetState, LONG, OAFilterState*)
  FAKE_METHOD(E_NOTIMPL, RenderFile, BSTR)
  FAKE_METHOD(E_NOTIMPL, AddSourceFilter, BSTR, IDispatch**)
  FAKE_METHOD(E_NOTIMPL, get_FilterCollection, IDispatch**)
  FAKE_METHOD(E_NOTIMPL, get_RegFilterCollection, IDispatch**)
  FAKE_METHOD(E_NOTIMPL, StopWhenReady)
  FAKE_METHOD(E_NOTIMPL, GetEventHandle, OAEVENT*)
  FAKE_METHOD(E_NOTIMPL, GetEvent, long*, LONG_PTR*, LONG_PTR*, long)
  FAKE_METHOD(E_NOTIMPL, CancelDefaultHandling, long)
  FAKE_METHOD(E_NOTIMPL, RestoreDefaultHandling, long)
  FAKE_METHOD(E_NOTIMPL, FreeEventParams, long, LONG_PTR, LONG_PTR)
};

// A sample of another allocator whose reported length can lie, and which
// can announce a change of media type (a copy of changedType).
class FakeSample final : public IMediaSample {
 public:
  BYTE* data = nullptr;
  LONG size = 0;
  LONG actual = 0;
  AM_MEDIA_TYPE* changedType = nullptr;

  FAKE_QUERY_INTERFACE(FakeOffer(IID_IUnknown, static_cast<IMediaSample*>(this)),
                       FakeOffer(IID_IMediaSample, static_cast<IMediaSample*>(this)))
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetPointer(BYTE** p) override { return *p = data, S_OK; }
  STDMETHODIMP_(LONG) GetSize() override { return size; }
  STDMETHODIMP_(LONG) GetActualDataLength() override { return actual; }
  STDMETHODIMP SetActualDataLength(LONG n) override { return actual = n, S_OK; }
  STDMETHODIMP GetMediaType(AM_MEDIA_TYPE** type) override {
    *type = nullptr;
    if (!changedType) return S_FALSE;
    AM_MEDIA_TYPE* copy = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
    if (!copy || FAILED(CopyMediaType(copy, changedType))) return CoTaskMemFree(copy), E_OUTOFMEMORY;
    *type = copy;
    return S_OK;
  }
  FAKE_METHOD(VFW_E_SAMPLE_TIME_NOT_SET, GetTime, REFERENCE_TIME*, REFERENCE_TIME*)
  FAKE_METHOD(S_OK, SetTime, REFERENCE_TIME*, REFERENCE_TIME*)
  FAKE_METHOD(S_OK, IsSyncPoint)
  FAKE_METHOD(S_OK, SetSyncPoint, BOOL)
  FAKE_METHOD(S_FALSE, IsPreroll)
  FAKE_METHOD(S_OK, SetPreroll, BOOL)
  FAKE_METHOD(S_OK, SetMediaType, AM_MEDIA_TYPE*)
  FAKE_METHOD(S_FALSE, IsDiscontinuity)
  FAKE_METHOD(S_OK, SetDiscontinuity, BOOL)
  FAKE_METHOD(VFW_E_MEDIA_TIME_NOT_SET, GetMediaTime, LONGLONG*, LONGLONG*)
  FAKE_METHOD(S_OK, SetMediaTime, LONGLONG*, LONGLONG*)
};

// A sink over a ring, connected to an upstream pin and joined to a graph
// that drives it when `driven`.
struct SinkRig {
  CRingBuffer ring;
  CWavFilter filter;
  FakeUpstreamPin upstream;
  FakeGraph graph;
  SinkRig(u32 sectors, u32 ringBytes, AudioAbort abort, bool driven) : filter(&ring, sectors, abort) {
    ring.Allocate(ringBytes, false);
    graph.driven = driven ? &filter : nullptr;
    filter.JoinFilterGraph(&graph, L"VANTO Filter");
    AM_MEDIA_TYPE* type = CreateDecodedCdAudioType();
    filter.Pin()->ReceiveConnection(&upstream, type);
    DeleteMediaType(type);
  }
  ~SinkRig() { filter.JoinFilterGraph(nullptr, nullptr); }
};
