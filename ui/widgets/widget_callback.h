// A control's notification of its owner: {static thunk, owner offset}. The
// thunk is stamped out per (owner class, member function) and called on the
// control's parent plus the offset, so no member-function pointer is ever
// converted between classes. A null thunk or a control without a parent
// notifies nobody. Portable.
//
// The contract of every handler: it never deletes the widget that called
// it, nor one of that widget's owners, also not from inside a popup or a
// dialog it runs; the control goes on using itself once the handler
// returns. To close a page or remove a row, post its freeing, to run once
// the handler has returned.
#pragma once
#include "runtime/types.h"

class CWidget;

template <class... Args>
struct WidgetCallback {
  void (*thunk)(void* owner, Args... args) = nullptr;
  i32 ownerOffset = 0;

  void Call(CWidget* parent, Args... args) const {
    if (thunk && parent) thunk(reinterpret_cast<char*>(parent) + ownerOffset, args...);
  }
  bool IsSet() const { return thunk != nullptr; }
};

template <class TOwner, auto Member, class... Args>
void WidgetCallbackThunk(void* owner, Args... args) {
  (static_cast<TOwner*>(owner)->*Member)(args...);
}

// The callback that calls owner->Member(args) for a control whose parent
// record is `parent` (owner is usually the parent object itself).
template <class TOwner, auto Member, class... Args>
WidgetCallback<Args...> BindCallback(const CWidget* parent, TOwner* owner) {
  WidgetCallback<Args...> callback;
  callback.thunk = &WidgetCallbackThunk<TOwner, Member, Args...>;
  callback.ownerOffset =
      static_cast<i32>(reinterpret_cast<const char*>(owner) - reinterpret_cast<const char*>(parent));
  return callback;
}
