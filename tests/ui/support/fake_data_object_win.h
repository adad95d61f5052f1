// A data object as another program hands it over in a drag or on the
// clipboard: fixed blocks in given formats, each served as a new global
// block. It lives on the test's stack; its reference count shows whether
// whoever took it let it go. Windows only.
#pragma once
#include <objidl.h>

#include <string>
#include <vector>

#include "runtime/types.h"

class CFakeDataObject final : public IDataObject {
 public:
  void Offer(CLIPFORMAT format, const std::string& bytes);
  LONG References() const { return references_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&references_)); }
  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  i32 Find(const FORMATETC* format) const;
  std::vector<FORMATETC> formats_;
  std::vector<std::string> blocks_;
  volatile LONG references_ = 1;
};
