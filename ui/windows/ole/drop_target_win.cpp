#include "ui/windows/ole/drop_target_win.h"

#include "runtime/heap.h"
#include "runtime/platform.h"
#include "ui/windows/ole/com_ids_win.h"

namespace {

CDropTarget* g_target = nullptr;

// OLE's screen point as a desktop point (y up from the work area's bottom).
Point ToDesktop(POINTL point) {
  ScreenPoint p = {point.x, point.y};
  FlipWorkAreaY(&p);
  return {p.x, p.y};
}

// Holds a reference for the length of a call: an owner's callback may
// revoke the last handler.
class CSelfReference {
 public:
  explicit CSelfReference(CDropTarget* target) : target_(target) { target_->AddRef(); }
  ~CSelfReference() { target_->Release(); }

 private:
  CDropTarget* target_;
};

}  // namespace

CDropTarget* SharedDropTarget() { return g_target; }

STDMETHODIMP CDropTarget::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (com_ids::Same(iid, com_ids::kUnknown) || com_ids::Same(iid, com_ids::kDropTarget)) {
    *out = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CDropTarget::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) CDropTarget::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) {
    this->~CDropTarget();
    rt::free(this);
  }
  return static_cast<ULONG>(left);
}

bool CDropTarget::AddHandler(HWND window, CWidget* widget, IDropHandler* owner, DropHitTest hitTest,
                             DropPointConversion toLocal) {
  bool named = false;
  for (const DropHandlerEntry& e : handlers_) named = named || e.window == window;
  DropHandlerEntry* entry = handlers_.AppendNew();
  if (!entry) return false;
  *entry = {owner, window, widget, hitTest, toLocal, 0};
  if (!named) RegisterDragDrop(window, this);
  return true;
}

bool CDropTarget::RemoveHandler(IDropHandler* owner) {
  u32 index = 0;
  while (index < handlers_.GetCount() && handlers_[index].owner != owner) ++index;
  if (index == handlers_.GetCount()) return false;
  const HWND window = handlers_[index].window;
  if (current_ == static_cast<i32>(index))
    current_ = -1;
  else if (current_ > static_cast<i32>(index))
    --current_;
  handlers_.RemoveAt(index);
  bool named = false;
  for (const DropHandlerEntry& e : handlers_) named = named || e.window == window;
  if (!named) RevokeDragDrop(window);
  return true;
}

void CDropTarget::LeaveCurrent() {
  if (current_ < 0) return;
  DropHandlerEntry& entry = handlers_[static_cast<u32>(current_)];
  current_ = -1;
  if (!entry.entered) return;
  entry.entered = 0;
  entry.owner->OnDragLeave();  // may change the table
}

i32 CDropTarget::FindHandler(const Point& point) {
  if (current_ >= 0) {
    const DropHandlerEntry& entry = handlers_[static_cast<u32>(current_)];
    if ((entry.widget->*entry.hitTest)(point)) return current_;
    LeaveCurrent();
  }
  for (u32 i = 0; i < handlers_.GetCount(); ++i) {
    const DropHandlerEntry& entry = handlers_[i];
    if ((entry.widget->*entry.hitTest)(point)) return static_cast<i32>(i);
  }
  return -1;
}

void CDropTarget::Over(u32 keyState, POINTL screen, DWORD* effect, u32 allowed) {
  const i32 found = FindHandler(ToDesktop(screen));
  current_ = found;
  if (found < 0) {
    *effect = DROPEFFECT_NONE;
    return;
  }
  DropHandlerEntry& entry = handlers_[static_cast<u32>(found)];
  Point local = ToDesktop(screen);
  (entry.widget->*entry.toLocal)(&local);
  u32 answer = *effect;
  if (!entry.entered) {
    entry.entered = 1;
    entry.owner->OnDragEnter(&data_, keyState, local, &answer);
  } else {
    entry.owner->OnDragOver(keyState, local, &answer);
  }
  // Never an effect the source did not offer.
  *effect = answer & allowed;
}

STDMETHODIMP CDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  CSelfReference hold(this);
  data_.Hold(data);
  const u32 allowed = *effect;
  *effect = DROPEFFECT_NONE;
  Over(keyState, point, effect, allowed);
  return S_OK;
}

STDMETHODIMP CDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  CSelfReference hold(this);
  Over(keyState, point, effect, *effect);
  return S_OK;
}

STDMETHODIMP CDropTarget::DragLeave() {
  CSelfReference hold(this);
  // The handler hears that the drag left, so nothing of this drag carries
  // over to the next one.
  LeaveCurrent();
  data_.Hold(nullptr);
  return S_OK;
}

STDMETHODIMP CDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  CSelfReference hold(this);
  const u32 allowed = *effect;
  *effect = DROPEFFECT_NONE;
  const i32 found = FindHandler(ToDesktop(point));
  current_ = -1;
  if (found >= 0) {
    DropHandlerEntry& entry = handlers_[static_cast<u32>(found)];
    const Point desktop = ToDesktop(point);
    if ((entry.widget->*entry.hitTest)(desktop)) {
      data_.Hold(data);
      entry.entered = 0;
      u32 answer = allowed;
      entry.owner->OnDrop(&data_, keyState, desktop, &answer);
      *effect = answer & allowed;
    }
  }
  data_.Hold(nullptr);
  return S_OK;
}

bool RegisterDropHandler(void* window, CWidget* widget, IDropHandler* owner, DropHitTest hitTest,
                         DropPointConversion toLocal) {
  if (!window || !widget || !owner || !hitTest || !toLocal) return false;
  const bool created = g_target == nullptr;
  if (created) {
    g_target = rt::New<CDropTarget>();
    if (!g_target) return false;
  } else {
    g_target->AddRef();
  }
  if (g_target->AddHandler(static_cast<HWND>(window), widget, owner, hitTest, toLocal)) return true;
  // The registration is dropped with the reference it took.
  CDropTarget* target = g_target;
  if (target->HandlerCount() == 0) g_target = nullptr;
  target->Release();
  return false;
}

void RevokeDropHandler(IDropHandler* owner) {
  CDropTarget* target = g_target;
  if (!target || !target->RemoveHandler(owner)) return;
  if (target->HandlerCount() == 0) g_target = nullptr;
  target->Release();
}
