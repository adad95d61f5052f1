// CWavPin: the sink's input pin (IPin and IMemInputPin) and the copy of the
// stream into the ring buffer.

#include <cstring>

#include "jobs/audio/wav_filter_enum_win.h"
#include "jobs/audio/wav_filter_win.h"
#include "jobs/audio/wav_media_type_win.h"
#include "runtime/clock.h"
#include "runtime/platform.h"
#include "runtime/wide_string.h"

namespace {

const wchar_t kPinName[] = L"CWavPin In";

}  // namespace

CWavPin::CWavPin(CWavFilter* filter, CRingBuffer* ring, u32 expectedSectors, AudioAbort abort)
    : filter_(filter),
      abort_(abort),
      writer_(ring, expectedSectors, abort),
      expectedSectors_(expectedSectors) {
  freeSample_.Create(false, false);
}

CWavPin::~CWavPin() {
  FreeMediaType(&type_);
  if (connected_) connected_->Release();
  connected_ = nullptr;
  FreeSamplesLocked();
}

STDMETHODIMP CWavPin::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPin))
    *out = static_cast<IPin*>(this);
  else if (IsEqualIID(iid, IID_IMemInputPin))
    *out = static_cast<IMemInputPin*>(this);
  else if (IsEqualIID(iid, IID_IMemAllocator))
    *out = static_cast<IMemAllocator*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CWavPin::AddRef() { return static_cast<ULONG>(++refs_); }

STDMETHODIMP_(ULONG) CWavPin::Release() {
  LONG n = --refs_;
  return n > 0 ? static_cast<ULONG>(n) : 0;
}

// An input pin is connected to; it never starts a connection.
STDMETHODIMP CWavPin::Connect(IPin*, const AM_MEDIA_TYPE*) { return S_OK; }

STDMETHODIMP CWavPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* type) {
  if (!connector || !type) return E_POINTER;
  if (!IsEqualGUID(type->formattype, FORMAT_WaveFormatEx)) return VFW_E_TYPE_NOT_ACCEPTED;
  if (connector == connected_) return VFW_E_ALREADY_CONNECTED;
  if (!IsDecodedCdAudioType(type)) {
    // Remember decoded audio in another shape (PCM, float, extensible) for
    // the error text; compressed types, and the file source agreeing to the
    // sink's own stream type, are stages of the search for a decoder.
    WaveFormatSummary format;
    if (IsEqualGUID(type->majortype, MEDIATYPE_Audio) && ReadMediaWaveFormat(type, &format) &&
        (format.tag == 1 || format.tag == 3 || format.tag == 0xFFFE)) {
      refused_ = format;
      hasRefused_ = true;
    }
    return VFW_E_TYPE_NOT_ACCEPTED;
  }
  AM_MEDIA_TYPE copy;
  HRESULT hr = CopyMediaType(&copy, type);
  if (FAILED(hr)) return hr;
  FreeMediaType(&type_);
  type_ = copy;
  if (connected_) connected_->Release();  // a connection from another pin replaces it
  connected_ = connector;
  connected_->AddRef();
  return S_OK;
}

STDMETHODIMP CWavPin::Disconnect() {
  if (!connected_) return S_FALSE;
  if (filter_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
  connected_->Release();
  connected_ = nullptr;
  FreeMediaType(&type_);
  return S_OK;
}

STDMETHODIMP CWavPin::ConnectedTo(IPin** pin) {
  if (!pin) return E_POINTER;
  *pin = connected_;
  if (!connected_) return VFW_E_NOT_CONNECTED;
  connected_->AddRef();
  return S_OK;
}

STDMETHODIMP CWavPin::ConnectionMediaType(AM_MEDIA_TYPE* type) {
  if (!type) return E_POINTER;
  std::memset(type, 0, sizeof(*type));
  if (!connected_) return VFW_E_NOT_CONNECTED;
  return CopyMediaType(type, &type_);
}

STDMETHODIMP CWavPin::QueryPinInfo(PIN_INFO* info) {
  if (!info) return E_POINTER;
  std::memset(info, 0, sizeof(*info));
  info->pFilter = filter_;
  filter_->AddRef();
  info->dir = PINDIR_INPUT;
  std::memcpy(info->achName, kPinName, sizeof(kPinName));
  return S_OK;
}

STDMETHODIMP CWavPin::QueryDirection(PIN_DIRECTION* direction) {
  if (!direction) return E_POINTER;
  *direction = PINDIR_INPUT;
  return S_OK;
}

STDMETHODIMP CWavPin::QueryId(LPWSTR* id) {
  if (!id) return E_POINTER;
  *id = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof(kWavPinId)));
  if (!*id) return E_OUTOFMEMORY;
  std::memcpy(*id, kWavPinId, sizeof(kWavPinId));
  return S_OK;
}

// Any type: a connection is refused in ReceiveConnection, and a sample
// that comes with a type other than CD audio is refused when it arrives.
STDMETHODIMP CWavPin::QueryAccept(const AM_MEDIA_TYPE*) { return S_OK; }

STDMETHODIMP CWavPin::EnumMediaTypes(IEnumMediaTypes** types) {
  if (!types) return E_POINTER;
  *types = CreateMediaTypeEnum();
  return *types ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CWavPin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

STDMETHODIMP CWavPin::EndOfStream() {
  ++activity_;
  if (filter_->State() == State_Stopped) return S_OK;  // a stale end of a stopped stream
  if (flushing_.load()) return S_OK;
  {
    CLockGuard guard(receiveLock_);
    if (trackFull_.load()) return S_OK;  // its end was reported when it filled
    CWideString line;
    line.AppendAscii("EndOfStream: ");
    line.AppendUInt64(bytesReceived_ / kCdSectorBytes);
    line.AppendAscii("\r\n");
    OutputDebugText(line.c_str());
    PadForEndOfStream();
    if (abortSeen_.load()) return S_OK;  // cancelled: the decode stops the graph itself
  }
  filter_->OnEndOfStream();
  return S_OK;
}

STDMETHODIMP CWavPin::BeginFlush() {
  flushing_ = true;
  return S_OK;
}

STDMETHODIMP CWavPin::EndFlush() {
  // The stream starts again: an end that belonged to the flushed data is
  // forgotten, so that the new data's end is reported when it comes.
  {
    CLockGuard guard(receiveLock_);
    trackFull_ = false;
  }
  filter_->ClearEndOfStream();
  flushing_ = false;
  return S_OK;
}

STDMETHODIMP CWavPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

void CWavPin::OnStop() { freeSample_.Set(); }

STDMETHODIMP CWavPin::GetAllocator(IMemAllocator** allocator) {
  if (!allocator) return E_POINTER;
  *allocator = static_cast<IMemAllocator*>(this);
  AddRef();
  return S_OK;
}

// Receive works with samples of any allocator, so the choice is taken as is.
STDMETHODIMP CWavPin::NotifyAllocator(IMemAllocator*, BOOL) { return S_OK; }

STDMETHODIMP CWavPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) {
  if (!properties) return E_POINTER;
  *properties = properties_;
  return S_OK;
}

STDMETHODIMP CWavPin::Receive(IMediaSample* sample) {
  if (!sample) return E_POINTER;
  if (abort_.IsSet()) {
    abortSeen_ = true;
    return S_FALSE;
  }
  if (filter_->State() == State_Stopped) return VFW_E_WRONG_STATE;
  if (flushing_.load()) return S_FALSE;
  AM_MEDIA_TYPE* changed = nullptr;
  if (sample->GetMediaType(&changed) == S_OK && changed) {
    bool cd = IsDecodedCdAudioType(changed);
    DeleteMediaType(changed);
    if (!cd) return VFW_E_TYPE_NOT_ACCEPTED;
  }
  BYTE* data = nullptr;
  if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
  LONG length = sample->GetActualDataLength();
  LONG size = sample->GetSize();
  if (length < 0) length = 0;
  if (length > size) length = size < 0 ? 0 : size;

  ++activity_;
  {
    CLockGuard guard(receiveLock_);
    if (trackFull_.load()) return S_FALSE;
    u32 n = static_cast<u32>(length);
    bytesReceived_ += n;
    if (!writer_.HasRing()) return S_OK;
    // The track ends at its measured sectors: a longer decode is cut there.
    bool beyondEnd = writer_.Delivered() + n > writer_.Limit();
    if (!writer_.Write(data, n, &CWavPin::StreamInterrupted, this)) {
      if (writer_.AbortSeen()) abortSeen_ = true;
      return S_FALSE;
    }
    if (!beyondEnd) return S_OK;
    // The track is complete. Its stream ends here rather than decoding on
    // into nothing (a source that never ends would never let it finish).
    trackFull_ = true;
  }
  filter_->OnEndOfStream();
  return S_FALSE;  // tells the upstream filter to stop delivering
}

STDMETHODIMP CWavPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed) {
  if (!samples || !processed) return E_POINTER;
  *processed = 0;
  HRESULT hr = S_OK;
  for (long i = 0; i < count; ++i) {
    hr = Receive(samples[i]);
    if (hr != S_OK) break;
    ++*processed;
  }
  return hr;
}

STDMETHODIMP CWavPin::ReceiveCanBlock() { return S_OK; }

bool CWavPin::PadToExpected() {
  CLockGuard guard(receiveLock_);
  if (!writer_.HasRing()) return true;
  bool done = writer_.Pad();
  if (writer_.AbortSeen()) abortSeen_ = true;
  return done;
}

bool CWavPin::PadForEndOfStream() {
  if (!writer_.HasRing()) return true;
  bool done = writer_.Pad(&CWavPin::StreamInterrupted, this);
  if (writer_.AbortSeen()) abortSeen_ = true;
  return done;
}

bool CWavPin::GetRefusedFormat(WaveFormatSummary* out) const {
  if (!hasRefused_) return false;
  *out = refused_;
  return true;
}

// The streaming thread stops waiting for ring space on a flush or a stop.
bool CWavPin::StreamInterrupted(void* context) {
  CWavPin* pin = static_cast<CWavPin*>(context);
  ++pin->activity_;  // waiting for the consumer is not a stall
  return pin->flushing_.load() || pin->filter_->State() == State_Stopped;
}
