// CImageStream: a read-only COM IStream over one file's bytes inside a disc
// image (an extent of user data), for handing image files to the shell.
// Position 0 is the file's first byte; reads never run past its end.
#pragma once
#include "runtime/win.h"

#include <objidl.h>

#include "jobs/image/image_file.h"

class CImageStream final : public IStream {
 public:
  // Opens its own handle on the image (with format detection) and goes to
  // the extent's start. The extent is clamped to the image's user data. The
  // stream is returned even when the image could not be opened: it then
  // fails every read and seek. Null only when allocation fails.
  static CImageStream* Create(const wchar16* imagePath, u64 extentStart, u64 extentLength);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // S_OK when cb bytes were read, S_FALSE when fewer (the end of the file).
  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override;
  HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override;
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override;
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
  HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER cb, ULARGE_INTEGER* read,
                                   ULARGE_INTEGER* written) override;
  HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Revert() override;
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER cb, DWORD type) override;
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER cb, DWORD type) override;
  // Type STGTY_STREAM, the extent's length as size, read access; no name.
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override;

  u64 GetExtentStart() const { return start_; }
  u64 GetExtentLength() const { return length_; }

 private:
  CImageStream(u64 start, u64 length) : start_(start), length_(length) {}
  ~CImageStream() = default;

  u64 start_;
  u64 length_;
  CImageFile image_;
  volatile LONG references_ = 1;
};
