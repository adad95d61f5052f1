// CFileRangeStream: a read-only IStream over a byte range of a file, the
// "FileContents" of one file inside a disc image. Each stream owns a
// duplicate of the image's handle and keeps its own position: every read
// names its file offset, so streams read side by side (by the shell's
// threads, or interleaved) never disturb each other through the file
// pointer their handles share. Positions reported to callers are relative
// to the range's start. Windows only.
#pragma once
#include <objidl.h>

#include "runtime/types.h"

class CFileRangeStream final : public IStream {
 public:
  // A stream over [start, start + length) of file, through a duplicate of
  // the handle; null when the handle cannot be duplicated or memory is
  // short. The position starts at the range's start.
  static CFileRangeStream* Create(HANDLE file, u64 start, u64 length);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP Read(void* buffer, ULONG count, ULONG* read) override;
  STDMETHODIMP Write(const void* buffer, ULONG count, ULONG* written) override;
  STDMETHODIMP Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
  STDMETHODIMP SetSize(ULARGE_INTEGER size) override;
  STDMETHODIMP CopyTo(IStream* to, ULARGE_INTEGER count, ULARGE_INTEGER* read, ULARGE_INTEGER* written) override;
  STDMETHODIMP Commit(DWORD flags) override;
  STDMETHODIMP Revert() override;
  STDMETHODIMP LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER count, DWORD type) override;
  STDMETHODIMP Stat(STATSTG* out, DWORD flags) override;
  // Another stream over the same range with its own position, starting
  // where this one stands.
  STDMETHODIMP Clone(IStream** out) override;

 private:
  CFileRangeStream(HANDLE file, u64 start, u64 length) : file_(file), start_(start), length_(length), position_(start) {}
  ~CFileRangeStream();

  HANDLE file_;
  u64 start_;
  u64 length_;
  u64 position_;  // absolute file offset
  volatile LONG references_ = 1;
};
