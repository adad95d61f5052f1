// The image stream's IStream methods.
#include "jobs/image/image_stream_win.h"

#include <cstring>
#include <new>

#include "runtime/heap.h"

CImageStream* CImageStream::Create(const wchar16* imagePath, u64 extentStart, u64 extentLength) {
  void* memory = rt::malloc(sizeof(CImageStream));
  if (!memory) return nullptr;
  CImageStream* stream = new (memory) CImageStream(extentStart, extentLength);
  if (Succeeded(stream->image_.Open(imagePath, true))) {
    // An extent reaching past the image would read as endless empty data.
    u64 size = 0;
    stream->image_.GetSize(&size);
    if (stream->start_ > size) stream->start_ = size;
    if (stream->length_ > size - stream->start_) stream->length_ = size - stream->start_;
    stream->image_.Seek(stream->start_, 0);
  }
  return stream;
}

HRESULT CImageStream::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_ISequentialStream) || IsEqualIID(riid, IID_IStream)) {
    *ppv = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG CImageStream::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG CImageStream::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    image_.Close();
    this->~CImageStream();
    rt::free(this);
  }
  return static_cast<ULONG>(left);
}

HRESULT CImageStream::Read(void* pv, ULONG cb, ULONG* pcbRead) {
  if (!pv) return STG_E_INVALIDPOINTER;
  if (pcbRead) *pcbRead = 0;
  if (cb == 0) return S_OK;
  u64 position = 0;
  HResult hr = image_.GetPosition(&position);
  if (Failed(hr)) return hr;
  u64 end = start_ + length_;
  if (position < start_ || position >= end) return S_FALSE;
  u64 remaining = end - position;
  u64 want = cb < remaining ? cb : remaining;
  u64 got = 0;
  hr = image_.Read(pv, want, &got);
  if (pcbRead) *pcbRead = static_cast<ULONG>(got);
  if (Failed(hr)) return hr;
  return got < cb ? S_FALSE : S_OK;
}

HRESULT CImageStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) {
  i64 base;
  if (origin == STREAM_SEEK_SET) {
    base = static_cast<i64>(start_);
  } else if (origin == STREAM_SEEK_CUR) {
    u64 position = 0;
    if (Failed(image_.GetPosition(&position))) return STG_E_INVALIDFUNCTION;
    base = static_cast<i64>(position);
  } else if (origin == STREAM_SEEK_END) {
    base = static_cast<i64>(start_ + length_);
  } else {
    return STG_E_INVALIDFUNCTION;
  }
  i64 target = 0;
  if (__builtin_add_overflow(base, static_cast<i64>(move.QuadPart), &target)) return STG_E_INVALIDFUNCTION;
  if (target < static_cast<i64>(start_) || target > static_cast<i64>(start_ + length_)) return STG_E_INVALIDFUNCTION;
  if (Failed(image_.Seek(static_cast<u64>(target), 0))) return STG_E_INVALIDFUNCTION;
  if (newPosition) newPosition->QuadPart = static_cast<u64>(target) - start_;
  return S_OK;
}

HRESULT CImageStream::Stat(STATSTG* stat, DWORD) {
  if (!stat) return STG_E_INVALIDPOINTER;
  std::memset(stat, 0, sizeof(*stat));
  stat->type = STGTY_STREAM;
  stat->cbSize.QuadPart = length_;
  stat->grfMode = STGM_READ;
  return S_OK;
}

HRESULT CImageStream::Write(const void*, ULONG, ULONG*) { return E_NOTIMPL; }
HRESULT CImageStream::SetSize(ULARGE_INTEGER) { return E_NOTIMPL; }
HRESULT CImageStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) { return E_NOTIMPL; }
HRESULT CImageStream::Commit(DWORD) { return E_NOTIMPL; }
HRESULT CImageStream::Revert() { return E_NOTIMPL; }
HRESULT CImageStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }
HRESULT CImageStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return E_NOTIMPL; }
HRESULT CImageStream::Clone(IStream**) { return E_NOTIMPL; }
