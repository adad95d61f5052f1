// CPopupMenu: the hot item, the pointer, the keys and the painting.
#include "render/canvas.h"
#include "ui/views/widget_paint.h"
#include "ui/windows/dialogs/popup_menu.h"

void CPopupMenu::DesktopToContent(Point* point) const {
  const i32 inset = PopupContentInset();
  point->x -= x + inset;
  point->y -= y + inset;
}

Point CPopupMenu::ContentToDesktop(Point point) const {
  const i32 inset = PopupContentInset();
  return {point.x + x + inset, point.y + y + inset};
}

Point CPopupMenu::CursorInContent() const {
  ScreenPoint cursor = {0, 0};
  ReadCursorPosition(&cursor);
  FlipWorkAreaY(&cursor);
  Point p = {cursor.x, cursor.y};
  DesktopToContent(&p);
  return p;
}

i32 CPopupMenu::HitTestItem(Point p) const {
  if (!model) return -1;
  const i32 n = model->count < static_cast<i32>(itemRects.GetCount()) ? model->count
                                                                     : static_cast<i32>(itemRects.GetCount());
  MenuItem* item = model->first;
  for (i32 i = 0; item && i < n; ++i, item = MenuItem::Next(item))
    if (!(item->flags & kMenuHidden) && itemRects[static_cast<u32>(i)].Contains(p.x, p.y)) return i;
  return -1;
}

void CPopupMenu::NotifyHotItem() {
  if (!owner) return;
  if (hotItem < 0) return owner->OnPopupHotItem(-1, -1);
  const MenuItem* item = model ? model->GetItem(hotItem) : nullptr;
  if (item && item->type != kMenuTypeSeparator && (item->flags & kMenuEnabled))
    owner->OnPopupHotItem(item->id, item->hint);
}

void CPopupMenu::UpdateHotItem(Point p) {
  const i32 hit = HitTestItem(p);
  if (hit >= 0) {
    if (hit == hotItem) return;
    hotItem = hit;
    Repaint();
    NotifyHotItem();
  } else if (hotItem != -1) {
    hotItem = -1;
    Repaint();
    if (owner) owner->OnPopupHotItem(-1, -1);
  }
}

void CPopupMenu::OnMouseMoveAt(i32, Point* p) {
  if ((state & kSubmenuOpen) || closing_) return;
  if (!(state & kHoverBegun)) {
    if (!PressedWidget() && !CaptureOwner()) TakeSystemCapture(handle);
    SetPressedWidget(this);
    state |= kHoverBegun;
  }
  if (p->x == lastMouse.x && p->y == lastMouse.y) return;
  if (owner) {
    ancestorMark = nullptr;
    bool switchMenus = false;
    owner->OnPopupMouseMove(ContentToDesktop(*p), &switchMenus, &ancestorMark);
    if (switchMenus) return CloseWithResult(kPopupSwitched);
    if (ancestorMark && !trackTimer_.IsRunning()) StartTrackTimer();
  }
  lastMouse = *p;
  UpdateHotItem(*p);
  // Every move over a submenu item starts the delay again.
  if (model && model->GetItemType(hotItem) == kMenuTypeSubmenu && !(state & kSubmenuOpen)) {
    openTimerItem = hotItem;
    StartOpenTimer();
  }
}

void CPopupMenu::OnLeftButtonDown(i32, Point* p) {
  if ((state & kSubmenuOpen) || closing_) return;
  if (hotItem < 0) {
    if (owner) {
      const Point desktop = ContentToDesktop(*p);
      bool outside = !ContainsPoint(desktop);
      owner->OnPopupMouseButton(desktop, &outside);
    }
    return CloseWithResult(kPopupDismissed);
  }
  state |= kButtonOnItem;
  OpenSubmenu();
}

void CPopupMenu::OnRightButtonDown(i32 keyFlags, Point* p) {
  if (hotItem < 0) OnLeftButtonDown(keyFlags, p);
}

void CPopupMenu::OnLeftButtonUp(i32, Point*) {
  if ((state & kSubmenuOpen) || !(state & kButtonOnItem) || closing_) return;
  state &= ~kButtonOnItem;
  const MenuItem* item = model ? model->GetItem(hotItem) : nullptr;
  if (item && item->type == kMenuTypeCommand && !(item->flags & kMenuEnabled)) return;
  const i32 id = model ? model->GetItemId(hotItem) : -1;
  if (id != -2) CloseWithResult(id);
}

bool CPopupMenu::IsSelectable(i32 n) {
  const MenuItem* item = model ? model->GetItem(n) : nullptr;
  return item && !(item->flags & kMenuHidden) && (item->flags & kMenuEnabled) && item->type != kMenuTypeSeparator &&
         item->type != kMenuTypeReserved;
}

// Up and Down: the previous or next selectable child, wrapping; nothing
// when the model has none.
void CPopupMenu::StepHotItem(bool down) {
  if (!model || model->CountSelectableItems() <= 0) return;
  const i32 n = model->count;
  i32 at = hotItem;
  for (i32 step = 0; step < n; ++step) {
    if (down)
      at = (at < 0 || at >= n - 1) ? 0 : at + 1;
    else
      at = (at <= 0 || at > n - 1) ? n - 1 : at - 1;
    if (!IsSelectable(at)) continue;
    hotItem = at;
    Repaint();
    NotifyHotItem();
    return;
  }
}

bool CPopupMenu::OnDialogKey(u32 key) {
  OnKey(key);
  return true;
}

void CPopupMenu::OnKey(u32 key) {
  if (closing_ || (state & kSubmenuOpen)) return;
  const MenuItem* hot = model ? model->GetItem(hotItem) : nullptr;
  switch (key) {
    case VK_RETURN:
    case VK_SPACE:
      if (!hot) return;
      if (hot->type == kMenuTypeSubmenu) return OpenSubmenu();
      if (hot->type == kMenuTypeCommand && (hot->flags & kMenuEnabled)) CloseWithResult(hot->id);
      return;
    case VK_ESCAPE: {
      bool handled = true;
      if (owner) owner->OnPopupKey(VK_ESCAPE, &handled);
      if (handled) CloseWithResult(kPopupCancelled);
      return;
    }
    case VK_RIGHT:
      if (hot && hot->type == kMenuTypeSubmenu) return OpenSubmenu();
      [[fallthrough]];
    case VK_LEFT: {
      if (!owner) return;
      bool handled = false;
      owner->OnPopupKey(key, &handled);
      if (handled) CloseWithResult(kPopupDismissed);
      return;
    }
    case VK_UP: return StepHotItem(false);
    case VK_DOWN: return StepHotItem(true);
    default: return;
  }
}

// ---- Painting (under the window lock, origin at the window's corner) ----

void CPopupMenu::PaintWhole(CCanvas& canvas) {
  using namespace widget_paint;
  if (!IsVisible()) return;
  const i32 inset = PopupContentInset();
  const Rect content = {inset, inset, width - inset, height - inset};
  const Rect saved = CurrentClip(canvas);
  if (!IsRedrawSuspended() && !Inside(saved, content))
    ThemePainter()->DrawMenuBackground(&canvas, width, height, rowHeight);
  Translate(canvas, inset, inset);
  Rect clip = saved;
  if (clip.Intersect(content) && !clip.IsEmpty() &&
      canvas.SetClipRect(clip.left - inset, clip.top - inset, clip.right - inset, clip.bottom - inset) &&
      !IsRedrawSuspended())
    PaintItems(canvas);
  Translate(canvas, -inset, -inset);
  canvas.SetClipRect(saved.left, saved.top, saved.right, saved.bottom);
}

void CPopupMenu::PaintItems(CCanvas& canvas) {
  ThemePainter()->SetIcon(&canvas, icons, greyedIcons);
  if (!model) return;
  const i32 n = model->count < static_cast<i32>(itemRects.GetCount()) ? model->count
                                                                     : static_cast<i32>(itemRects.GetCount());
  MenuItem* item = model->first;
  for (i32 i = 0; item && i < n; ++i, item = MenuItem::Next(item)) {
    if (item->flags & kMenuHidden) continue;
    const Rect& row = itemRects[static_cast<u32>(i)];
    if (item->type == kMenuTypeSeparator) {
      ThemePainter()->DrawMenuItem(&canvas, row, kMenuSeparator, nullptr, 0, -1);
      continue;
    }
    u32 look = 0;
    if (i == hotItem) look |= kLookHot;
    if (!(item->flags & kMenuEnabled)) look |= kLookDisabled;
    if (item->type == kMenuTypeSubmenu) look |= kMenuSubmenu;
    // An icon-only row shows its icon alone.
    const UiString* text = model->GetItemText(i);
    ThemePainter()->DrawMenuItem(&canvas, row, look, text ? text->text : nullptr,
                                 text ? static_cast<i32>(text->length) : 0, item->icon);
  }
}
