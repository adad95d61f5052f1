#include "ui/windows/ole/file_data_object_win.h"

#include <cstring>
#include <new>

#include "runtime/heap.h"
#include "runtime/win.h"
#include "ui/windows/ole/clipboard_files.h"
#include "ui/windows/ole/com_ids_win.h"
#include "ui/windows/ole/file_group_descriptor.h"
#include "ui/windows/ole/file_range_stream_win.h"
#include "ui/windows/ole/format_enumerator_win.h"
#include "ui/windows/ole/transfer_formats_win.h"

namespace {

// A new global block holding a copy of size bytes.
HGLOBAL CopyToGlobal(const void* bytes, SIZE_T size) {
  HGLOBAL block = GlobalAlloc(GHND, size);
  if (!block) return nullptr;
  void* to = GlobalLock(block);
  if (!to) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(to, bytes, size);
  GlobalUnlock(block);
  return block;
}

HRESULT GlobalMedium(HGLOBAL block, STGMEDIUM* medium) {
  if (!block) return E_OUTOFMEMORY;
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = block;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

}  // namespace

CFileDataObject* CFileDataObject::Create(u8* descriptor, u32 size, u64* positions, u32 count) {
  void* memory = rt::malloc(sizeof(CFileDataObject));
  if (!memory) {
    rt::free(descriptor);
    rt::free(positions);
    return nullptr;
  }
  return new (memory) CFileDataObject(descriptor, size, positions, count);
}

CFileDataObject::CFileDataObject(u8* descriptor, u32 size, u64* positions, u32 count)
    : formats_(RegisterTransferFormats()),
      descriptor_(descriptor),
      descriptorSize_(size),
      positions_(positions),
      count_(count) {}

CFileDataObject::~CFileDataObject() {
  if (source_) CloseHandle(source_);
  rt::free(descriptor_);
  rt::free(positions_);
}

bool CFileDataObject::SetSourceFile(const wchar16* path) {
  if (source_) CloseHandle(source_);
  source_ = nullptr;
  if (!path) return false;
  HANDLE file = CreateFileW(AsWide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  source_ = file;
  return true;
}

void CFileDataObject::SetProvider(IFileStreamProvider* provider) {
  CLockGuard hold(lock_);
  provider_ = provider;
}

void CFileDataObject::DetachProvider() { SetProvider(nullptr); }

STDMETHODIMP CFileDataObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (com_ids::Same(iid, com_ids::kUnknown) || com_ids::Same(iid, com_ids::kDataObject)) {
    *out = static_cast<IDataObject*>(this);
  } else if (com_ids::Same(iid, com_ids::kAsyncOperation)) {
    *out = static_cast<IDataObjectAsyncCapability*>(this);
  } else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) CFileDataObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) CFileDataObject::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    this->~CFileDataObject();
    rt::free(this);
  }
  return static_cast<ULONG>(left);
}

HRESULT CFileDataObject::GetContents(LONG index, STGMEDIUM* medium) {
  // lindex comes from the caller: -1 ("all") and anything past the files
  // name no file.
  if (index < 0 || static_cast<u32>(index) >= count_) return E_FAIL;
  FileDescriptorFields file;
  if (!ReadFileDescriptor(descriptor_, descriptorSize_, static_cast<u32>(index), &file)) return E_FAIL;
  const u64 position = positions_[index];
  IStream* stream = nullptr;
  {
    CLockGuard hold(lock_);
    if (provider_) {
      stream = provider_->OpenStream(position, file.size);
    } else if (source_) {
      stream = CFileRangeStream::Create(source_, position, file.size);
    }
  }
  if (!stream) return E_FAIL;
  medium->tymed = TYMED_ISTREAM;
  medium->pstm = stream;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

STDMETHODIMP CFileDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return E_POINTER;
  const CLIPFORMAT kind = format->cfFormat;
  if ((format->tymed & TYMED_HGLOBAL) && kind == formats_[kFormatDescriptor].cfFormat)
    return GlobalMedium(CopyToGlobal(descriptor_, descriptorSize_), medium);
  if ((format->tymed & TYMED_HGLOBAL) && kind == formats_[kFormatUntrusted].cfFormat) {
    const DWORD zero = 0;
    return GlobalMedium(CopyToGlobal(&zero, sizeof(zero)), medium);
  }
  if ((format->tymed & TYMED_ISTREAM) && kind == formats_[kFormatContents].cfFormat)
    return GetContents(format->lindex, medium);
  return DV_E_FORMATETC;
}

STDMETHODIMP CFileDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

STDMETHODIMP CFileDataObject::QueryGetData(FORMATETC* format) {
  if (!format) return E_POINTER;
  for (unsigned i = 0; i < kTransferFormatCount; ++i)
    if (format->cfFormat == formats_[i].cfFormat && (format->tymed & formats_[i].tymed)) return S_OK;
  return E_FAIL;
}

STDMETHODIMP CFileDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) { return E_NOTIMPL; }

STDMETHODIMP CFileDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

STDMETHODIMP CFileDataObject::EnumFormatEtc(DWORD, IEnumFORMATETC** out) {
  if (!out) return E_POINTER;
  void* memory = rt::malloc(sizeof(CFormatEnumerator));
  if (!memory) {
    *out = nullptr;
    return E_FAIL;
  }
  *out = new (memory) CFormatEnumerator(formats_, formats_ + kTransferFormatCount);
  return S_OK;
}

STDMETHODIMP CFileDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return E_NOTIMPL; }

STDMETHODIMP CFileDataObject::DUnadvise(DWORD) { return E_NOTIMPL; }

STDMETHODIMP CFileDataObject::EnumDAdvise(IEnumSTATDATA**) { return E_NOTIMPL; }

STDMETHODIMP CFileDataObject::SetAsyncMode(BOOL) { return S_OK; }

STDMETHODIMP CFileDataObject::GetAsyncMode(BOOL* async) {
  if (!async) return E_POINTER;
  *async = static_cast<BOOL>(-1);
  return S_OK;
}

STDMETHODIMP CFileDataObject::StartOperation(IBindCtx*) { return S_OK; }

STDMETHODIMP CFileDataObject::InOperation(BOOL* inOperation) {
  if (!inOperation) return E_POINTER;
  *inOperation = static_cast<BOOL>(-1);
  return S_OK;
}

STDMETHODIMP CFileDataObject::EndOperation(HRESULT, IBindCtx*, DWORD) { return S_OK; }
