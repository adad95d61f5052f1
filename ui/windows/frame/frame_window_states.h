// CFrameWindow<T>: minimise, maximise, restore, moves and sizes by the
// system, activation and destruction (included by frame_window.h). The
// windows have no system frame, so the toolkit changes their states itself
// and tells the system only the show state and normal rectangle.
#pragma once

template <class T>
void CFrameWindow<T>::Minimize() {
  if (busy) return;
  busy = 1;
  flags = (flags & ~kFlagVisible) | kFlagMinimized;
  minimizeFrom = CurrentRect();
  SetSystemPlacement(SW_MINIMIZE, minimizeFrom);
  FreeSurface();
  busy = 0;
}

template <class T>
void CFrameWindow<T>::Maximize() {
  if (busy || (flags & kFlagMinimized)) return;
  if (!(flags & kFlagMaximized)) maximizeFrom = CurrentRect();
  flags |= kFlagMaximized;
  WorkAreaRect area;
  GetWorkArea(&area);
  PlaceAndLayout({0, 0, area.right - area.left, area.bottom - area.top});
}

// From minimised: back where it was when minimised (maximised or not);
// from maximised: back to the rectangle before maximising. The two are kept
// apart, so a minimise never loses the size to restore to.
template <class T>
void CFrameWindow<T>::Restore() {
  if (busy) return;
  WindowRect target;
  if (flags & kFlagMinimized) {
    flags = (flags & ~kFlagMinimized) | kFlagVisible;
    target = minimizeFrom;
  } else if (flags & kFlagMaximized) {
    flags &= ~kFlagMaximized;
    target = maximizeFrom;
  } else {
    return;
  }
  flags &= ~0x20000000u;
  SetSystemPlacement(SW_RESTORE, target);
  PlaceAndLayout(target);
}

// A new state's rectangle: the margins may have changed with the state, so
// the surface, layout and paint always follow.
template <class T>
void CFrameWindow<T>::PlaceAndLayout(const WindowRect& r) {
  {
    CLockGuard hold(lock);
    x = r.x;
    y = r.y;
    width = r.width;
    height = r.height;
  }
  OnResize();
}

template <class T>
void CFrameWindow<T>::OnWindowPosChanged(const WINDOWPOS* position) {
  if (!position) return;
  const UINT f = position->flags;
  if (f & SWP_HIDEWINDOW) return;
  // Where the system parks a minimised window is not where it stands: the
  // rectangle (and the place the program remembers) stays the last normal one.
  if (flags & kFlagMinimized) return;
  const bool moved = !(f & SWP_NOMOVE);
  const bool sized = !(f & SWP_NOSIZE);
  if (moved && sized) return;  // minimise and restore by the system
  if (!moved && !sized) {
    if (f & SWP_SHOWWINDOW) Present();
    return;
  }
  const WindowMargins m = Margins();
  if (moved) {
    const Point origin = ContentOrigin(position->x, position->y, height, m, WorkAreaBottom());
    if (origin.x != x || origin.y != y) {
      {
        CLockGuard hold(lock);
        x = origin.x;
        y = origin.y;
      }
      if constexpr (HasMovedStep<T>::value) Self().OnMoved();
    }
    Present();
    return;
  }
  const i32 newWidth = position->cx - m.total;
  const i32 newHeight = position->cy - m.total;
  if (newHeight != height) {
    if (!SetBounds(x, y + height - newHeight, newWidth, newHeight)) Present();
  } else if (newWidth != width) {
    {
      CLockGuard hold(lock);
      width = newWidth;
    }
    OnResize();
  } else {
    Present();
  }
}

template <class T>
void CFrameWindow<T>::OnActivateApp(bool active, u32 threadId) {
  if (active || !IsVisible() || IsIconic(static_cast<HWND>(handle))) return;
  if (IsTaskbarThread(threadId) && TaskbarClickWantsMinimize(handle)) Minimize();
}

// Nothing of this window may stay in the process-wide pointers once it is
// gone: focus, pending focus, pressed widget, capture owner, cursor owner.
template <class T>
void CFrameWindow<T>::ForgetWindowState() {
  ForgetFocusWindow(&Self());
  CWidget* focused = FocusedWidget();
  if (focused && focused->IsWithin(this)) StoreFocusedWidget(nullptr);
  CWidget* pending = PendingFocus();
  if (pending && pending->IsWithin(this)) StorePendingFocus(nullptr, nullptr);
  CWidget* owner = CaptureOwner();
  if (owner && owner->IsWithin(this)) CaptureTable::Uninstall(owner);
  CWidget* pressed = PressedWidget();
  if (pressed && pressed->IsWithin(this)) SetPressedWidget(nullptr);
  CWidget* cursor = CursorOwner();
  if (cursor && cursor->IsWithin(this)) ForgetCursorOwner(cursor);
  hotButton = pressedButton = kCaptionNone;
}

template <class T>
void CFrameWindow<T>::OnDestroyMessage() {
  flags &= ~kFlagVisible;
  ForEachChild(Self(), [](auto& child) {
    child.flags &= ~kFlagVisible;
    return false;
  });
  ForgetWindowState();
  if constexpr (HasOnDestroy<T>::value) Self().OnDestroy();
  // A modal loop waiting in GetMessageW for this window wakes up and finds
  // it gone (it may have been closed by a sent, not posted, WM_CLOSE).
  PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}
