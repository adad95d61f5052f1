// CFormatEnumerator: IEnumFORMATETC over a table of formats that outlives
// it (the transfer formats). Windows only.
#pragma once
#include <objidl.h>

class CFormatEnumerator final : public IEnumFORMATETC {
 public:
  CFormatEnumerator(const FORMATETC* first, const FORMATETC* end) : first_(first), end_(end), cursor_(first) {}
  CFormatEnumerator(const CFormatEnumerator&) = delete;
  CFormatEnumerator& operator=(const CFormatEnumerator&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // Copies up to count records from the cursor: S_OK when all were
  // copied, else S_FALSE.
  STDMETHODIMP Next(ULONG count, FORMATETC* records, ULONG* fetched) override;
  // S_OK when count records remain (the cursor moves), else S_FALSE with
  // the cursor unchanged.
  STDMETHODIMP Skip(ULONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumFORMATETC** out) override;

 private:
  ~CFormatEnumerator() = default;

  const FORMATETC* first_;
  const FORMATETC* end_;
  const FORMATETC* cursor_;
  volatile LONG references_ = 1;
};
