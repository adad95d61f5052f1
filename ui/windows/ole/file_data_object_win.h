// CFileDataObject: the data object that offers a set of files on the
// clipboard, with its asynchronous-transfer interface as a second table in
// the same object. It owns its copy of the descriptor block and the file
// positions; the shell may call it from its own threads, so what changes
// after creation (the provider, let go when the set is released) is read
// under a lock. Windows only.
#pragma once
#include <objidl.h>
#include <shldisp.h>

#include "runtime/threads.h"
#include "runtime/types.h"

class IFileStreamProvider;

class CFileDataObject final : public IDataObject, public IDataObjectAsyncCapability {
 public:
  // Takes ownership of descriptor (a FileGroupDescriptorW block of size
  // bytes) and positions (one per descriptor, count of them); both are
  // freed when creation fails.
  static CFileDataObject* Create(u8* descriptor, u32 size, u64* positions, u32 count);

  // Opens the file whose byte ranges hold the files' contents (a handle
  // opened before is closed); false when it cannot be opened.
  bool SetSourceFile(const wchar16* path);
  void SetProvider(IFileStreamProvider* provider);
  // Forgets the provider: its owner is going away.
  void DetachProvider();

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP QueryGetData(FORMATETC* format) override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
  STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  STDMETHODIMP DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
  STDMETHODIMP DUnadvise(DWORD connection) override;
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA** out) override;

  // The transfer is announced as asynchronous; nothing else is done for it.
  STDMETHODIMP SetAsyncMode(BOOL async) override;
  STDMETHODIMP GetAsyncMode(BOOL* async) override;
  STDMETHODIMP StartOperation(IBindCtx* reserved) override;
  STDMETHODIMP InOperation(BOOL* inOperation) override;
  STDMETHODIMP EndOperation(HRESULT result, IBindCtx* reserved, DWORD effects) override;

 private:
  CFileDataObject(u8* descriptor, u32 size, u64* positions, u32 count);
  ~CFileDataObject();
  HRESULT GetContents(LONG index, STGMEDIUM* medium);

  const FORMATETC* formats_;
  u8* descriptor_;
  u32 descriptorSize_;
  u64* positions_;
  u32 count_;
  HANDLE source_ = nullptr;
  CLock lock_;  // guards provider_
  IFileStreamProvider* provider_ = nullptr;
  volatile LONG references_ = 1;
};
