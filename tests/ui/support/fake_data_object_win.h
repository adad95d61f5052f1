// A data object as another program hands it over in a drag or on the
// clipboard: fixed blocks in given formats, each served as a new global
// block. It lives on the test's stack; its reference count shows whether
// whoever took it let it go. Windows only.
#pragma once
#include <objidl.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "runtime/heap.h"
#include "ui/windows/ole/format_enumerator_win.h"

class CFakeDataObject final : public IDataObject {
 public:
  void Offer(CLIPFORMAT format, const std::string& bytes) {
    formats_.push_back({format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    blocks_.push_back(bytes);
  }
  LONG References() const { return references_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject) ? this : nullptr;
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&references_)); }
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
    const int i = Find(format);
    if (i < 0) return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE, blocks_[i].size());
    medium->pUnkForRelease = nullptr;
    std::memcpy(GlobalLock(medium->hGlobal), blocks_[i].data(), blocks_[i].size());
    GlobalUnlock(medium->hGlobal);
    return S_OK;
  }
  STDMETHODIMP QueryGetData(FORMATETC* format) override { return Find(format) < 0 ? DV_E_FORMATETC : S_OK; }
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    *out = new (rt::malloc(sizeof(CFormatEnumerator))) CFormatEnumerator(formats_.data(), formats_.data() + formats_.size());
    return S_OK;
  }
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  int Find(const FORMATETC* format) const {
    for (size_t i = 0; i < formats_.size(); ++i)
      if (formats_[i].cfFormat == format->cfFormat && (format->tymed & TYMED_HGLOBAL)) return static_cast<int>(i);
    return -1;
  }
  std::vector<FORMATETC> formats_;
  std::vector<std::string> blocks_;
  volatile LONG references_ = 1;
};
