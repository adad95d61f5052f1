#include "jobs/audio/wav_filter_enum_win.h"

#include <atomic>

#include "jobs/audio/wav_media_type_win.h"
#include "runtime/heap.h"

namespace {

// Item policies: how the one element is made and which interface lists it.
struct PinItem {
  typedef IEnumPins Enum;
  typedef IPin* Item;
  static const IID& Iid() { return IID_IEnumPins; }
  static Item Make(IPin* pin) {
    pin->AddRef();
    return pin;
  }
};

struct TypeItem {
  typedef IEnumMediaTypes Enum;
  typedef AM_MEDIA_TYPE* Item;
  static const IID& Iid() { return IID_IEnumMediaTypes; }
  static Item Make(IPin*) { return CreateCdAudioMediaType(); }
};

// An enumerator over exactly one element.
template <class Policy>
class CSingleItemEnum final : public Policy::Enum {
 public:
  typedef typename Policy::Item Item;
  explicit CSingleItemEnum(IPin* pin) : pin_(pin) {
    if (pin_) pin_->AddRef();
  }
  ~CSingleItemEnum() {
    if (pin_) pin_->Release();
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, Policy::Iid())) return E_NOINTERFACE;
    *out = static_cast<typename Policy::Enum*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG n = --refs_;
    if (n == 0) rt::Delete(this);
    return n > 0 ? static_cast<ULONG>(n) : 0;
  }

  STDMETHODIMP Next(ULONG count, Item* items, ULONG* fetched) override {
    if (!items) return E_POINTER;
    ULONG n = 0;
    if (count > 0 && position_ == 0) {
      Item item = Policy::Make(pin_);
      if (!item) {
        if (fetched) *fetched = 0;
        return E_OUTOFMEMORY;
      }
      items[0] = item;
      position_ = 1;
      n = 1;
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  // Nothing is skipped: Next hands the one element out whatever came before.
  STDMETHODIMP Skip(ULONG) override { return S_FALSE; }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(typename Policy::Enum** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return E_NOTIMPL;
  }

 private:
  IPin* pin_;
  u32 position_ = 0;
  std::atomic<LONG> refs_{1};
};

}  // namespace

IEnumPins* CreatePinEnum(IPin* pin) { return rt::New<CSingleItemEnum<PinItem>>(pin); }

IEnumMediaTypes* CreateMediaTypeEnum() { return rt::New<CSingleItemEnum<TypeItem>>(nullptr); }
