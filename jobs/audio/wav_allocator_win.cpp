// The sink pin's own allocator (IMemAllocator) and its samples. Memory is
// freed only when every sample is back; Decommit wakes a waiting GetBuffer.
#include <cstring>
#include <new>

#include "jobs/audio/wav_filter_win.h"
#include "runtime/clock.h"
#include "runtime/heap.h"

namespace {

// Largest buffer block an upstream filter may ask for.
constexpr u64 kMaxBlockBytes = 64ull << 20;
// A waiting GetBuffer looks at the job's cancel this often.
constexpr u32 kWaitStepMs = 20;

}  // namespace

// ---- CWavSample ----

void CWavSample::Init(CWavPin* owner, BYTE* buffer, LONG size) {
  owner_ = owner;
  buffer_ = buffer;
  size_ = size;
}

void CWavSample::TakeForUse() {
  ++refs_;
  actual_ = 0;
  start_ = stop_ = 0;
  mediaStart_ = mediaStop_ = 0;
  discontinuity_ = false;
  syncPoint_ = false;
}

STDMETHODIMP CWavSample::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IMediaSample) &&
      !IsEqualIID(iid, IID_IMediaSample2))
    return E_NOINTERFACE;
  *out = static_cast<IMediaSample2*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CWavSample::AddRef() { return static_cast<ULONG>(++refs_); }

STDMETHODIMP_(ULONG) CWavSample::Release() {
  // Once the count drops the owner may free the sample list (here or on
  // another thread), so nothing of the sample is touched afterwards.
  CWavPin* owner = owner_;
  LONG n = --refs_;
  if (owner) owner->ReleaseBuffer(this);
  return n > 0 ? static_cast<ULONG>(n) : 0;
}

STDMETHODIMP CWavSample::GetPointer(BYTE** buffer) {
  if (!buffer) return E_POINTER;
  *buffer = buffer_;
  return S_OK;
}

STDMETHODIMP_(LONG) CWavSample::GetSize() { return size_; }

STDMETHODIMP CWavSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) {
  if (!start || !stop) return E_POINTER;
  *start = start_;
  *stop = stop_;
  return S_OK;
}

STDMETHODIMP CWavSample::SetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) {
  start_ = start ? *start : 0;
  stop_ = stop ? *stop : 0;
  return S_OK;
}

STDMETHODIMP CWavSample::IsSyncPoint() { return syncPoint_ ? S_OK : S_FALSE; }

STDMETHODIMP CWavSample::SetSyncPoint(BOOL value) {
  syncPoint_ = value != FALSE;
  return S_OK;
}

STDMETHODIMP CWavSample::IsPreroll() { return S_OK; }
STDMETHODIMP CWavSample::SetPreroll(BOOL) { return S_FALSE; }
STDMETHODIMP_(LONG) CWavSample::GetActualDataLength() { return actual_; }

STDMETHODIMP CWavSample::SetActualDataLength(LONG length) {
  if (length < 0 || length > size_) return VFW_E_BUFFER_OVERFLOW;
  actual_ = length;
  return S_OK;
}

STDMETHODIMP CWavSample::GetMediaType(AM_MEDIA_TYPE** type) {
  if (!type) return E_POINTER;
  *type = nullptr;
  return S_FALSE;
}

STDMETHODIMP CWavSample::SetMediaType(AM_MEDIA_TYPE*) { return S_OK; }
STDMETHODIMP CWavSample::IsDiscontinuity() { return discontinuity_ ? S_OK : S_FALSE; }

STDMETHODIMP CWavSample::SetDiscontinuity(BOOL value) {
  discontinuity_ = value != FALSE;
  return S_OK;
}

STDMETHODIMP CWavSample::GetMediaTime(LONGLONG* start, LONGLONG* stop) {
  if (!start || !stop) return E_POINTER;
  *start = mediaStart_;
  *stop = mediaStop_;
  return S_OK;
}

STDMETHODIMP CWavSample::SetMediaTime(LONGLONG* start, LONGLONG* stop) {
  mediaStart_ = start ? *start : 0;
  mediaStop_ = stop ? *stop : 0;
  return S_OK;
}

STDMETHODIMP CWavSample::GetProperties(DWORD, BYTE*) { return E_NOTIMPL; }
STDMETHODIMP CWavSample::SetProperties(DWORD, const BYTE*) { return E_NOTIMPL; }

// ---- CWavPin as IMemAllocator ----

STDMETHODIMP CWavPin::SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) {
  if (!request || !actual) return E_POINTER;
  if (request->cbAlign != 1) return VFW_E_BADALIGN;
  if (request->cBuffers < 1 || request->cbBuffer < 1 ||
      static_cast<u64>(request->cBuffers) * static_cast<u64>(request->cbBuffer) > kMaxBlockBytes)
    return E_INVALIDARG;
  CLockGuard guard(allocatorLock_);
  if (committed_ || block_) return VFW_E_ALREADY_COMMITTED;
  properties_.cBuffers = request->cBuffers;
  properties_.cbBuffer = request->cbBuffer;
  properties_.cbAlign = 1;
  properties_.cbPrefix = 0;  // the buffers start at the block's slices
  *actual = properties_;
  return S_OK;
}

STDMETHODIMP CWavPin::GetProperties(ALLOCATOR_PROPERTIES* properties) {
  if (!properties) return E_POINTER;
  CLockGuard guard(allocatorLock_);
  *properties = properties_;
  return S_OK;
}

STDMETHODIMP CWavPin::Commit() {
  CLockGuard guard(allocatorLock_);
  if (committed_) return S_OK;
  if (!block_) {
    u32 count = static_cast<u32>(properties_.cBuffers);
    u32 size = static_cast<u32>(properties_.cbBuffer);
    block_ = static_cast<BYTE*>(rt::malloc(count * size));
    samples_ = static_cast<CWavSample*>(rt::malloc(count * static_cast<u32>(sizeof(CWavSample))));
    if (!block_ || !samples_) {
      rt::free(block_);
      rt::free(samples_);
      block_ = nullptr;
      samples_ = nullptr;
      return E_OUTOFMEMORY;
    }
    for (u32 i = 0; i < count; ++i) {
      new (&samples_[i]) CWavSample();
      samples_[i].Init(this, block_ + static_cast<u64>(i) * size, static_cast<LONG>(size));
    }
    sampleCount_ = count;
  }
  // A block still waiting for its samples after a Decommit is used again.
  committed_ = true;
  return S_OK;
}

STDMETHODIMP CWavPin::Decommit() {
  {
    CLockGuard guard(allocatorLock_);
    committed_ = false;
    bool allBack = true;
    for (u32 i = 0; i < sampleCount_; ++i) allBack = allBack && samples_[i].IsFree();
    if (allBack) FreeSamplesLocked();
  }
  freeSample_.Set();  // a waiting GetBuffer sees the decommit
  return S_OK;
}

STDMETHODIMP CWavPin::GetBuffer(IMediaSample** sample, REFERENCE_TIME*, REFERENCE_TIME*,
                                DWORD flags) {
  if (!sample) return E_POINTER;
  *sample = nullptr;
  for (;;) {
    {
      CLockGuard guard(allocatorLock_);
      if (!committed_) return VFW_E_NOT_COMMITTED;
      for (u32 i = 0; i < sampleCount_; ++i) {
        if (samples_[i].IsFree()) {
          samples_[i].TakeForUse();
          *sample = &samples_[i];
          return S_OK;
        }
      }
    }
    if (flags & AM_GBF_NOWAIT) return VFW_E_TIMEOUT;
    if (abort_.IsSet()) {
      abortSeen_ = true;
      return VFW_E_NOT_COMMITTED;
    }
    // Woken by a released sample or a decommit; the step bounds the wait
    // so that a cancelled job is noticed.
    if (freeSample_.Wait(kWaitStepMs) == kWaitFailed) SleepFor(1);
  }
}

STDMETHODIMP CWavPin::ReleaseBuffer(IMediaSample* sample) {
  if (!sample) return E_POINTER;
  {
    CLockGuard guard(allocatorLock_);
    if (!committed_ && block_) {
      bool allBack = true;
      for (u32 i = 0; i < sampleCount_; ++i) allBack = allBack && samples_[i].IsFree();
      if (allBack) FreeSamplesLocked();
    }
  }
  freeSample_.Set();
  return S_OK;
}

void CWavPin::FreeSamplesLocked() {
  for (u32 i = 0; i < sampleCount_; ++i) samples_[i].~CWavSample();
  rt::free(samples_);
  rt::free(block_);
  samples_ = nullptr;
  block_ = nullptr;
  sampleCount_ = 0;
}
