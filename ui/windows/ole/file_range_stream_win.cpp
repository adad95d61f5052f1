#include "ui/windows/ole/file_range_stream_win.h"

#include <new>

#include "runtime/heap.h"
#include "runtime/types.h"
#include "ui/windows/ole/com_ids_win.h"

namespace {

HRESULT LastError() {
  const DWORD code = GetLastError();
  return code ? HRESULT_FROM_WIN32(code) : E_FAIL;
}

// Reads count bytes at offset without touching the file pointer's meaning
// for anyone else; stops early at the end of the file.
HRESULT ReadAt(HANDLE file, u64 offset, u8* buffer, ULONG count, ULONG* got) {
  *got = 0;
  while (*got < count) {
    OVERLAPPED at = {};
    const u64 where = offset + *got;
    at.Offset = static_cast<DWORD>(where);
    at.OffsetHigh = static_cast<DWORD>(where >> 32);
    DWORD n = 0;
    if (!ReadFile(file, buffer + *got, count - *got, &n, &at)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return LastError();
    }
    if (n == 0) break;
    *got += n;
  }
  return S_OK;
}

HANDLE Duplicate(HANDLE file) {
  HANDLE copy = nullptr;
  if (!file || !DuplicateHandle(GetCurrentProcess(), file, GetCurrentProcess(), &copy, 0, FALSE,
                                DUPLICATE_SAME_ACCESS))
    return nullptr;
  return copy;
}

u64 Value(ULARGE_INTEGER v) { return v.QuadPart; }

}  // namespace

CFileRangeStream* CFileRangeStream::Create(HANDLE file, u64 start, u64 length) {
  // Ranges reach at most the largest signed file offset.
  const u64 limit = 0x7FFFFFFFFFFFFFFFull;
  if (start > limit || length > limit - start) return nullptr;
  HANDLE copy = Duplicate(file);
  if (!copy) return nullptr;
  void* memory = rt::malloc(sizeof(CFileRangeStream));
  if (!memory) {
    CloseHandle(copy);
    return nullptr;
  }
  return new (memory) CFileRangeStream(copy, start, length);
}

CFileRangeStream::~CFileRangeStream() { CloseHandle(file_); }

STDMETHODIMP CFileRangeStream::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (com_ids::Same(iid, com_ids::kUnknown) || com_ids::Same(iid, com_ids::kStream) ||
      com_ids::Same(iid, com_ids::kSequentialStream)) {
    *out = static_cast<IStream*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CFileRangeStream::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) CFileRangeStream::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    this->~CFileRangeStream();
    rt::free(this);
  }
  return static_cast<ULONG>(left);
}

STDMETHODIMP CFileRangeStream::Read(void* buffer, ULONG count, ULONG* read) {
  if (!buffer) return STG_E_INVALIDPOINTER;
  if (read) *read = 0;
  if (count == 0) return S_OK;
  const u64 remaining = start_ + length_ - position_;
  if (remaining == 0) return S_FALSE;
  const ULONG want = remaining < count ? static_cast<ULONG>(remaining) : count;
  ULONG got = 0;
  const HRESULT hr = ReadAt(file_, position_, static_cast<u8*>(buffer), want, &got);
  position_ += got;
  if (read) *read = got;
  if (FAILED(hr)) return hr;
  // A file shorter than its range ends the stream rather than giving
  // empty successful reads forever.
  return got == 0 ? S_FALSE : S_OK;
}

STDMETHODIMP CFileRangeStream::Write(const void*, ULONG, ULONG* written) {
  if (written) *written = 0;
  return E_NOTIMPL;
}

STDMETHODIMP CFileRangeStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
  i64 base;
  switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = static_cast<i64>(position_ - start_); break;
    case STREAM_SEEK_END: base = static_cast<i64>(length_); break;
    default: return STG_E_INVALIDFUNCTION;
  }
  const i64 by = move.QuadPart;
  // base and length lie in [0, 2^63): the sum below cannot overflow once
  // by is known to keep it inside [0, length].
  if (by < -base || by > static_cast<i64>(length_) - base) return STG_E_INVALIDFUNCTION;
  position_ = start_ + static_cast<u64>(base + by);
  if (position) position->QuadPart = position_ - start_;
  return S_OK;
}

STDMETHODIMP CFileRangeStream::SetSize(ULARGE_INTEGER size) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(Value(size));
  if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) || !SetEndOfFile(file_)) return LastError();
  return S_OK;
}

STDMETHODIMP CFileRangeStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) {
  return E_NOTIMPL;
}

STDMETHODIMP CFileRangeStream::Commit(DWORD) { return FlushFileBuffers(file_) ? S_OK : LastError(); }

STDMETHODIMP CFileRangeStream::Revert() { return E_NOTIMPL; }

STDMETHODIMP CFileRangeStream::LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD) {
  const u64 at = start_ + Value(offset);
  const u64 n = Value(count);
  if (!LockFile(file_, static_cast<DWORD>(at), static_cast<DWORD>(at >> 32), static_cast<DWORD>(n),
                static_cast<DWORD>(n >> 32)))
    return LastError();
  return S_OK;
}

STDMETHODIMP CFileRangeStream::UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD) {
  const u64 at = start_ + Value(offset);
  const u64 n = Value(count);
  if (!UnlockFile(file_, static_cast<DWORD>(at), static_cast<DWORD>(at >> 32), static_cast<DWORD>(n),
                  static_cast<DWORD>(n >> 32)))
    return LastError();
  return S_OK;
}

STDMETHODIMP CFileRangeStream::Stat(STATSTG* out, DWORD) {
  if (!out) return STG_E_INVALIDPOINTER;
  ZeroMemory(out, sizeof(*out));
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file_, &info)) return LastError();
  out->type = STGTY_STREAM;
  out->cbSize.QuadPart = length_;
  out->mtime = info.ftLastWriteTime;
  out->ctime = info.ftCreationTime;
  out->atime = info.ftLastAccessTime;
  return S_OK;
}

STDMETHODIMP CFileRangeStream::Clone(IStream** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  CFileRangeStream* copy = Create(file_, start_, length_);
  if (!copy) return E_FAIL;
  copy->position_ = position_;
  *out = copy;
  return S_OK;
}
