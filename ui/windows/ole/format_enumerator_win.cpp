#include "ui/windows/ole/format_enumerator_win.h"

#include "runtime/heap.h"
#include "ui/windows/ole/com_ids_win.h"

STDMETHODIMP CFormatEnumerator::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (com_ids::Same(iid, com_ids::kUnknown) || com_ids::Same(iid, com_ids::kEnumFormatEtc)) {
    *out = static_cast<IEnumFORMATETC*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CFormatEnumerator::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) CFormatEnumerator::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    this->~CFormatEnumerator();
    rt::free(this);
  }
  return static_cast<ULONG>(left);
}

STDMETHODIMP CFormatEnumerator::Next(ULONG count, FORMATETC* records, ULONG* fetched) {
  if (!records) return E_INVALIDARG;
  ULONG copied = 0;
  while (copied < count && cursor_ < end_) records[copied++] = *cursor_++;
  if (fetched) *fetched = copied;
  return copied == count ? S_OK : S_FALSE;
}

STDMETHODIMP CFormatEnumerator::Skip(ULONG count) {
  if (count > static_cast<ULONG>(end_ - cursor_)) return S_FALSE;
  cursor_ += count;
  return S_OK;
}

STDMETHODIMP CFormatEnumerator::Reset() {
  cursor_ = first_;
  return S_OK;
}

STDMETHODIMP CFormatEnumerator::Clone(IEnumFORMATETC** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}
