// CPopupMenu: opening, closing, submenus, timers and the owner protocol.
#include "render/text/font.h"
#include "ui/windows/dialogs/modal_loop.h"
#include "ui/windows/dialogs/popup_menu.h"

CPopupMenu::CPopupMenu(CMenuModel* shown, IPopupMenuOwner* popupOwner) : model(shown), owner(popupOwner) {
  smallMargins = true;
  if (model) {
    replacedListener_ = model->listener;
    model->listener = this;
  }
  if (owner) hotItem = owner->GetInitialHotItem();
}

CPopupMenu::~CPopupMenu() {
  StopTimers();
  if (model && model->listener == this) model->listener = replacedListener_;
  if (CaptureOwner() == this) CaptureTable::Uninstall(this);
  if (PressedWidget() == this) SetPressedWidget(nullptr);
}

void CPopupMenu::Layout() {
  CFontRef font(GetDefaultFont());
  const PopupLayout layout = LayoutPopupItems(model, font.Get(), &itemRects);
  rowHeight = layout.rowHeight;
  const i32 inset = PopupContentInset();
  width = layout.contentWidth + 2 * inset;
  height = layout.contentHeight + 2 * inset;
}

void CPopupMenu::PrepareAt(i32 left, i32 top) {
  Layout();
  OnCreate(Rect{left, top - height, left + width, top});
}

// The capture table and the system capture (when nobody holds the table),
// the pointer's place and the focus.
void CPopupMenu::TakeMouse() {
  if (!CaptureOwner()) {
    CCaptureSet set(this);
    set.On<CPopupMenu, &CPopupMenu::OnMouseMoveAt>(kCaptureMove)
        .On<CPopupMenu, &CPopupMenu::OnLeftButtonDown>(kCaptureLeftDown)
        .On<CPopupMenu, &CPopupMenu::OnLeftButtonUp>(kCaptureLeftUp)
        .On<CPopupMenu, &CPopupMenu::OnRightButtonDown>(kCaptureRightDown)
        .Translate<CPopupMenu, &CPopupMenu::DesktopToContent>(this);
    CaptureTable::Install(set, this);
    TakeSystemCapture(handle);
  }
  lastMouse = CursorInContent();
  SetFocus();
}

// A popup whose window could not be created takes neither the mouse nor
// the focus (nothing would give them back) and closes at once with -1.
i32 CPopupMenu::RunAt(i32 left, i32 top) {
  PrepareAt(left, top);
  if (!Create(SurfaceScreenRect(x, y, width, height, Margins(), WorkAreaBottom()), true)) {
    CloseWithResult(kPopupDismissed);
    return result;
  }
  TakeMouse();
  RunModalLoop(handle);
  return result;
}

void CPopupMenu::CloseWithResult(i32 value) {
  if (closing_) return;
  closing_ = true;
  result = value;
  if (PressedWidget() == this) {
    LoseHover();
    SetPressedWidget(nullptr);
  }
  if (CaptureOwner() == this) CaptureTable::Uninstall(this);
  if (owner) owner->OnPopupHotItem(-1, -1);
  owner = nullptr;
  if (handle) PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
  if (model && model->listener == this) model->listener = replacedListener_;
}

// The pressed role is gone: no hot item shows (unless a submenu is open,
// whose item stays marked).
void CPopupMenu::LoseHover() {
  if (state & kSubmenuOpen) return;
  if (hotItem != -1) {
    hotItem = -1;
    Repaint();
  }
}

bool CPopupMenu::OnCloseQuery() {
  StopTimers();
  if (CaptureOwner() == this) CaptureTable::Uninstall(this);
  return false;
}

void CPopupMenu::OnDestroy() { StopTimers(); }

void CPopupMenu::OpenSubmenu() {
  if (state & kSubmenuOpen) return;
  CMenuModel* sub = CMenuModel::AsSubmenu(model ? model->GetItem(hotItem) : nullptr);
  if (!sub || static_cast<u32>(hotItem) >= itemRects.GetCount()) return;
  StopTimers();  // this popup's pointer is in the child now
  openSubmenu = sub;
  state |= kSubmenuOpen;
  const Rect& row = itemRects[static_cast<u32>(hotItem)];
  const i32 inset = PopupContentInset();
  const i32 childX = x + inset + row.right;
  const i32 childY = y + row.bottom + inset + 2;
  if (PressedWidget() == this) SetPressedWidget(nullptr);
  i32 childResult;
  {
    CPopupMenu child(sub, this);
    child.icons = icons;
    child.greyedIcons = greyedIcons;
    if (CaptureOwner() == this) CaptureTable::Uninstall(this);
    childResult = child.RunAt(childX, childY);
  }
  state &= ~kSubmenuOpen;
  openSubmenu = nullptr;
  if (closing_) return;
  if (childResult >= 0 || childResult == kPopupSwitched || (state & kCloseAfterSubmenu)) {
    CloseWithResult(childResult);
    return;
  }
  // Back from Esc, Left or a rest over another of this popup's items.
  UpdateHotItem(CursorInContent());
  if (!PressedWidget() && !CaptureOwner()) TakeSystemCapture(handle);
  SetPressedWidget(this);
  TakeMouse();
  state &= ~(kHoverBegun | kButtonOnItem);
}

// ---- Timers ----

void CPopupMenu::StartOpenTimer() {
  openTimer_.Start(handle, &CPopupMenu::OpenTick, this, kPopupHoverDelayMs, false);
}

void CPopupMenu::StartTrackTimer() {
  trackTimer_.Start(handle, &CPopupMenu::TrackTick, this, kPopupHoverDelayMs, true);
}

void CPopupMenu::StopTimers() {
  trackTimer_.Stop();
  openTimer_.Stop();
}

void CPopupMenu::OnUserMessage(u32 offset, uintptr_t wParam, intptr_t lParam) {
  if (offset != kMessagePopupCommand - WM_USER || reinterpret_cast<CPopupMenu*>(lParam) != this || closing_) return;
  if (wParam == 1)
    OpenSubmenu();
  else
    CloseWithResult(kPopupCancelled);
}

// The pointer rested 600 ms: the submenu opens when it is still over the
// item the timer was started for.
void CPopupMenu::OnOpenTick() {
  openTimer_.Stop();
  if (closing_) return;
  if (HitTestItem(CursorInContent()) == openTimerItem) OpenSubmenu();
}

// Every 600 ms while the pointer is over another item of the parent: still
// there (or over another entry of the owning bar) folds this popup.
void CPopupMenu::OnTrackTick() {
  if (!owner || closing_) {
    trackTimer_.Stop();
    return;
  }
  bool switchMenus = false;
  CPopupMenu* ancestor = nullptr;
  const Point cursor = ContentToDesktop(CursorInContent());
  owner->OnPopupMouseMove(cursor, &switchMenus, &ancestor);
  if (!switchMenus && (!ancestor || ancestor != ancestorMark)) return;
  trackTimer_.Stop();
  openTimerItem = -1;
  // Over another entry of the owner the cascade gives way as a pointer move
  // would have made it.
  CloseWithResult(switchMenus ? kPopupSwitched : kPopupCancelled);
}

// ---- What the child popup tells this one ----

void CPopupMenu::OnPopupMouseMove(Point point, bool* switchMenus, CPopupMenu** ancestor) {
  if (ContainsPoint(point)) {
    Point local = point;
    DesktopToContent(&local);
    if (HitTestItem(local) != hotItem && ancestor) *ancestor = this;
  }
  if (owner) owner->OnPopupMouseMove(point, switchMenus, &ancestorMark);
}

void CPopupMenu::OnPopupMouseButton(Point point, bool* outside) {
  if (!ContainsPoint(point)) state |= kCloseAfterSubmenu;
  if (owner) owner->OnPopupMouseButton(point, outside);
}

void CPopupMenu::OnPopupKey(u32 key, bool* handled) {
  if (key == VK_LEFT && handled) *handled = true;
}

void CPopupMenu::OnPopupHotItem(i32 id, i32 hint) {
  if (owner) owner->OnPopupHotItem(id, hint);
}

i32 CPopupMenu::GetInitialHotItem() { return (state & kButtonOnItem) ? -1 : 0; }

void CPopupMenu::OnMenuItemChanged(MenuItem*) { Repaint(); }

i32 ShowPopupMenu(CMenuModel* model, i32 x, i32 y, const CImageStrip* icons, const CImageStrip* greyedIcons,
                  IPopupMenuOwner* owner) {
  CPopupMenu popup(model, owner);
  if (icons) {
    popup.icons = icons;
    popup.greyedIcons = greyedIcons;
  }
  return popup.RunAt(x, y);
}
