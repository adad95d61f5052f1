// CDropTarget: the one OLE drop target of the process. It keeps the table
// of drop handlers, registers each window that has one with OLE, turns the
// pointer into a desktop point, finds the handler under it and hands its
// owner the data holder. Reached through a process-wide pointer that is
// empty while no handler exists. Windows only.
#pragma once
#include <oleidl.h>

#include "runtime/array.h"
#include "runtime/win.h"
#include "ui/windows/ole/drop_handler.h"

struct DropHandlerEntry {
  IDropHandler* owner;
  HWND window;
  CWidget* widget;
  DropHitTest hitTest;
  DropPointConversion toLocal;
  u8 entered;  // set after the owner's enter call, cleared by leave or drop
};

class CDropTarget final : public IDropTarget {
 public:
  CDropTarget() = default;
  CDropTarget(const CDropTarget&) = delete;
  CDropTarget& operator=(const CDropTarget&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
  STDMETHODIMP DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
  STDMETHODIMP DragLeave() override;
  STDMETHODIMP Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

  // Appends a handler, registering the window with OLE when no entry
  // names it yet; false when the table cannot grow.
  bool AddHandler(HWND window, CWidget* widget, IDropHandler* owner, DropHitTest hitTest,
                  DropPointConversion toLocal);
  // Removes the owner's first entry and revokes its window when no entry
  // names it any more; false when the owner has none.
  bool RemoveHandler(IDropHandler* owner);
  u32 HandlerCount() const { return handlers_.GetCount(); }

 private:
  ~CDropTarget() = default;
  // The entry under a desktop point (index), or -1; a current handler
  // the point has left is told so first.
  i32 FindHandler(const Point& point);
  // The leave call of the current handler when it was entered.
  void LeaveCurrent();
  void Over(u32 keyState, POINTL point, DWORD* effect, u32 allowed);

  CArray<DropHandlerEntry> handlers_{16};
  i32 current_ = -1;
  CDropData data_;
  volatile LONG references_ = 1;
};

// The shared target, null while no handler exists (tests drive it).
CDropTarget* SharedDropTarget();
