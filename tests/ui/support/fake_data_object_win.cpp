#include "ui/support/fake_data_object_win.h"

#include <new>

#include "runtime/heap.h"
#include "ui/windows/format_enumerator_win.h"

void CFakeDataObject::Offer(CLIPFORMAT format, const std::string& bytes) {
  formats_.push_back({format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  blocks_.push_back(bytes);
}

i32 CFakeDataObject::Find(const FORMATETC* format) const {
  for (size_t i = 0; i < formats_.size(); ++i)
    if (formats_[i].cfFormat == format->cfFormat && (format->tymed & TYMED_HGLOBAL)) return static_cast<i32>(i);
  return -1;
}

STDMETHODIMP CFakeDataObject::QueryInterface(REFIID iid, void** out) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
    *out = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP CFakeDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  const i32 i = Find(format);
  if (i < 0) return DV_E_FORMATETC;
  const std::string& bytes = blocks_[i];
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = block;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

STDMETHODIMP CFakeDataObject::QueryGetData(FORMATETC* format) { return Find(format) < 0 ? DV_E_FORMATETC : S_OK; }

STDMETHODIMP CFakeDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP CFakeDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
  if (direction != DATADIR_GET) return E_NOTIMPL;
  void* memory = rt::malloc(sizeof(CFormatEnumerator));
  *out = new (memory) CFormatEnumerator(formats_.data(), formats_.data() + formats_.size());
  return S_OK;
}
