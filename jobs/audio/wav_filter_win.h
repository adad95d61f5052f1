// CWavFilter: the program's DirectShow sink. It accepts only CD audio PCM
// (44100 Hz, 2 channels, 16 bits) and copies every sample's bytes into a
// CRingBuffer, cut and padded so that the track delivers exactly its
// expected sectors x 2352 bytes. One object holds the filter, its input pin
// (IPin, IMemInputPin and the pin's own IMemAllocator) and the samples; it
// lives on the stack of the code that runs the graph, and reference counts
// are kept but never free it. Windows only.
#pragma once
#include <dshow.h>

#include <atomic>

#include "jobs/audio/audio_abort.h"
#include "jobs/audio/audio_cd_format.h"
#include "jobs/audio/audio_ring_writer.h"
#include "jobs/audio/wav_filter_seeking_win.h"
#include "runtime/threads.h"
#include "runtime/win.h"

class CRingBuffer;
class CWavPin;

// One media sample over a slice of the allocator's buffer block. A count
// of 1 means free: only the allocator holds it.
class CWavSample final : public IMediaSample2 {
 public:
  void Init(CWavPin* owner, BYTE* buffer, LONG size);
  bool IsFree() const { return refs_.load(std::memory_order_acquire) == 1; }
  // Hands the sample out: one more reference, length, times and flags cleared.
  void TakeForUse();

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetPointer(BYTE** buffer) override;
  STDMETHODIMP_(LONG) GetSize() override;
  STDMETHODIMP GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override;
  STDMETHODIMP SetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override;
  STDMETHODIMP IsSyncPoint() override;
  STDMETHODIMP SetSyncPoint(BOOL value) override;
  STDMETHODIMP IsPreroll() override;
  STDMETHODIMP SetPreroll(BOOL value) override;
  STDMETHODIMP_(LONG) GetActualDataLength() override;
  STDMETHODIMP SetActualDataLength(LONG length) override;
  STDMETHODIMP GetMediaType(AM_MEDIA_TYPE** type) override;
  STDMETHODIMP SetMediaType(AM_MEDIA_TYPE* type) override;
  STDMETHODIMP IsDiscontinuity() override;
  STDMETHODIMP SetDiscontinuity(BOOL value) override;
  STDMETHODIMP GetMediaTime(LONGLONG* start, LONGLONG* stop) override;
  STDMETHODIMP SetMediaTime(LONGLONG* start, LONGLONG* stop) override;
  STDMETHODIMP GetProperties(DWORD size, BYTE* properties) override;
  STDMETHODIMP SetProperties(DWORD size, const BYTE* properties) override;

 private:
  BYTE* buffer_ = nullptr;
  LONG size_ = 0;
  LONG actual_ = 0;
  REFERENCE_TIME start_ = 0, stop_ = 0;
  LONGLONG mediaStart_ = 0, mediaStop_ = 0;
  bool discontinuity_ = false;
  bool syncPoint_ = false;
  std::atomic<LONG> refs_{1};
  CWavPin* owner_ = nullptr;
};

class CWavFilter;

// The input pin with its allocator.
class CWavPin final : public IPin, public IMemInputPin, public IMemAllocator {
 public:
  CWavPin(CWavFilter* filter, CRingBuffer* ring, u32 expectedSectors, AudioAbort abort);
  ~CWavPin();
  CWavPin(const CWavPin&) = delete;
  CWavPin& operator=(const CWavPin&) = delete;

  // IUnknown (shared by the three interfaces)
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // IPin
  STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP Disconnect() override;
  STDMETHODIMP ConnectedTo(IPin** pin) override;
  STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* type) override;
  STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
  STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override;
  STDMETHODIMP QueryId(LPWSTR* id) override;
  STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* type) override;
  STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
  STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;
  STDMETHODIMP EndOfStream() override;
  STDMETHODIMP BeginFlush() override;
  STDMETHODIMP EndFlush() override;
  STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

  // IMemInputPin
  STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
  STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
  STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
  STDMETHODIMP Receive(IMediaSample* sample) override;
  STDMETHODIMP ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
  STDMETHODIMP ReceiveCanBlock() override;

  // IMemAllocator
  STDMETHODIMP SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override;
  STDMETHODIMP GetProperties(ALLOCATOR_PROPERTIES* properties) override;
  STDMETHODIMP Commit() override;
  STDMETHODIMP Decommit() override;
  STDMETHODIMP GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                         DWORD flags) override;
  STDMETHODIMP ReleaseBuffer(IMediaSample* sample) override;

  // Pads the track with zeros up to its expected sectors (once the stream
  // has ended or the graph has stopped). False when it was aborted or the
  // ring could not take the bytes.
  bool PadToExpected();
  u64 BytesReceived() const { return bytesReceived_; }
  u64 BytesDelivered() const { return writer_.Delivered(); }
  u32 GetExpectedSectors() const { return expectedSectors_; }
  // The last format ReceiveConnection refused, for a clear error.
  bool GetRefusedFormat(WaveFormatSummary* out) const;
  bool IsConnected() const { return connected_ != nullptr; }
  bool AbortSeen() const { return abortSeen_.load(std::memory_order_acquire); }
  // Counts the stream's signs of life: samples, ends of stream and each
  // wait for ring space. Unchanged for long while running means the graph
  // has stalled.
  u32 Activity() const { return activity_.load(std::memory_order_acquire); }
  // The track received more than its measured sectors and was ended there.
  bool TrackFull() const { return trackFull_.load(std::memory_order_acquire); }
  // Allocator state for tests: committed, and whether the block is held.
  bool IsCommitted() const { return committed_; }
  bool HoldsBufferBlock() const { return block_ != nullptr; }
  LONG RefCount() const { return refs_.load(); }

  // Called by the filter as the graph changes state.
  void OnStop();

 private:
  friend class CWavSample;
  static bool StreamInterrupted(void* context);
  bool PadForEndOfStream();
  void FreeSamplesLocked();

  CWavFilter* filter_;
  AudioAbort abort_;
  CTrackRingWriter writer_;
  ALLOCATOR_PROPERTIES properties_ = {1, 16384, 1, 0};
  AM_MEDIA_TYPE type_ = {};
  BYTE* block_ = nullptr;
  CWavSample* samples_ = nullptr;
  u32 sampleCount_ = 0;
  bool committed_ = false;
  IPin* connected_ = nullptr;
  CEvent freeSample_;
  CLock allocatorLock_;
  CLock receiveLock_;
  u64 bytesReceived_ = 0;
  u32 expectedSectors_;
  std::atomic<bool> flushing_{false};
  std::atomic<bool> abortSeen_{false};
  std::atomic<bool> trackFull_{false};
  std::atomic<u32> activity_{0};
  bool hasRefused_ = false;
  WaveFormatSummary refused_ = {};
  std::atomic<LONG> refs_{1};
};

class CWavFilter final : public IBaseFilter {
 public:
  // ring may be null when the graph is only built to measure a track.
  CWavFilter(CRingBuffer* ring, u32 expectedSectors, AudioAbort abort = AudioAbort());
  ~CWavFilter() = default;
  CWavFilter(const CWavFilter&) = delete;
  CWavFilter& operator=(const CWavFilter&) = delete;

  CWavPin* Pin() { return &pin_; }
  FILTER_STATE State() const { return static_cast<FILTER_STATE>(state_.load()); }
  LONG RefCount() const { return refs_.load(); }
  bool EndOfStreamPending() const { return eosPending_; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IPersist
  STDMETHODIMP GetClassID(CLSID* id) override;
  // IMediaFilter
  STDMETHODIMP Stop() override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Run(REFERENCE_TIME start) override;
  STDMETHODIMP GetState(DWORD timeout, FILTER_STATE* state) override;
  STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
  STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;
  // IBaseFilter
  STDMETHODIMP EnumPins(IEnumPins** pins) override;
  STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
  STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
  STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
  STDMETHODIMP QueryVendorInfo(LPWSTR* info) override;

  // The pin's end of stream: completion is reported to the graph now when
  // running, on Run when paused, and not at all when stopped.
  void OnEndOfStream();
  // A flush drops an end of stream still waiting for Run.
  void ClearEndOfStream();

 private:
  void NotifyComplete();

  std::atomic<int> state_{State_Stopped};
  IFilterGraph* graph_ = nullptr;  // not referenced: the graph owns the filter
  std::atomic<LONG> refs_{1};
  CLock stateLock_;
  bool eosPending_ = false;
  CWavPin pin_;
  CWavSeeking seeking_{this, &pin_};
  CWavPosition position_{this, &pin_};
};

// The filter's class id {AC33DDD7-C255-4391-B542-CA3F2B13F50F}.
extern const GUID kWavFilterClassId;
// The pin's id, as QueryId gives it and FindPin takes it.
extern const wchar_t kWavPinId[3];
