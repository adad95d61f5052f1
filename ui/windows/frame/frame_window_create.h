// CFrameWindow<T>: creation, placement and the window's own record
// (included by frame_window.h).
#pragma once

template <class T>
bool CFrameWindow<T>::PlaceAndCreate(const Rect* size, const Point* centre) {
  WorkAreaRect area;
  GetWorkArea(&area);
  return CreateAt(PlaceContent(size, centre, area.right, area.bottom), true);
}

template <class T>
bool CFrameWindow<T>::CreateAt(const Rect& content, bool owned) {
  OnCreate(content);
  return Create(SurfaceScreenRect(x, y, width, height, Margins(), WorkAreaBottom()), owned);
}

template <class T>
void CFrameWindow<T>::OnCreate(const Rect& content) {
  x = content.left;
  y = content.top;
  width = content.right - content.left;
  height = content.bottom - content.top;
  flags = T::kStyle & ~kFlagVisible;
  if constexpr (HasCreateControls<T>::value) Self().CreateControls();
  if (width > 0 && height > 0) OnResize();
  if (!IsVisible()) ModifyFlags(0, kFlagVisible);
  if (PendingFocus() == this) SetFocus();
}

template <class T>
bool CFrameWindow<T>::Create(const Rect& outer, bool owned) {
  wchar_t className[32];
  ATOM atom;
  if constexpr (HasOwnWindowClass<T>::value)
    atom = T::RegisterWindowClass(className);
  else
    atom = RegisterFrameClass(this, className);
  const wchar_t* windowName = nullptr;
  if constexpr (HasWindowName<T>::value) windowName = AsWide(T::WindowName());
  const u32 index = WindowRegistry::BeginCreation(this, &CFrameWindow::WndProcThunk);
  if (index == WindowRegistry::kNoIndex) return false;
  HWND owner = owned ? reinterpret_cast<HWND>(GetOwnerWindow()) : nullptr;
  if (owner && !IsWindow(owner)) owner = nullptr;  // an owner gone meanwhile would make the creation fail
  HWND window = CreateWindowExW(WS_EX_LAYERED | (owned ? 0 : WS_EX_APPWINDOW),
                                atom ? MAKEINTATOM(atom) : className, windowName, WS_POPUP | WS_VISIBLE,
                                outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top,
                                owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  WindowRegistry::EndCreation(index, reinterpret_cast<uintptr_t>(window));
  if (!window) {
    handle = nullptr;
    return false;
  }
  handle = window;
  if (CaptureOwner() == this) TakeSystemCapture(window);
  if (!owned) SetOwnerWindow(reinterpret_cast<uintptr_t>(window));
  if (!title.IsEmpty()) SetWindowTextW(window, AsWide(title.c_str()));
  PresentIfVisible();
  return true;
}

template <class T>
bool CFrameWindow<T>::ModifyFlags(u32 clear, u32 set) {
  const u32 old = flags;
  const u32 next = (old & ~clear) | set;
  if (next == old) return false;
  flags = next;
  if ((next & ~old) & kFlagVisible) Repaint();
  return true;
}

template <class T>
bool CFrameWindow<T>::SuspendRedraw(bool suspend) {
  const bool was = IsRedrawSuspended();
  if (suspend) {
    if (!was) ModifyFlags(0, kFlagRedrawSuspended);
  } else if (was) {
    ModifyFlags(kFlagRedrawSuspended, 0);
    Repaint();
  }
  return was;
}

template <class T>
CWidget* CFrameWindow<T>::SetFocus() {
  if (!IsVisibleAndEnabled() || FocusedWidget() == this) {
    StorePendingFocus(this, [](CWidget* self) { return static_cast<T*>(self)->SetFocus(); });
    return nullptr;
  }
  CWidget* previous = FocusedWidget();
  StoreFocusedWidget(this);
  MoveFocusWindow(&Self(), &FocusWindowOf<T>::kRoutines, previous);
  OnFocusLost(previous);
  OnFocusGained(this);
  return previous;
}

template <class T>
CWidget* CFrameWindow<T>::SetFocusedWidget(CWidget* next) {
  CWidget* old = FocusedWidget();
  if (old == next) return old;
  StoreFocusedWidget(next);
  if (next)
    MoveFocusWindow(&Self(), &FocusWindowOf<T>::kRoutines, old);
  else
    LeaveFocusWindow(&Self(), old);
  OnFocusLost(old);
  OnFocusGained(next);
  return old;
}

template <class T>
bool CFrameWindow<T>::SetBounds(i32 newX, i32 newY, i32 newWidth, i32 newHeight) {
  const bool moved = newX != x || newY != y;
  {
    CLockGuard hold(lock);  // refresh threads read the position to present
    x = newX;
    y = newY;
  }
  if (newWidth != width || newHeight != height) {
    {
      CLockGuard hold(lock);
      width = newWidth;
      height = newHeight;
    }
    OnResize();
    return true;
  }
  if (moved) Repaint();
  return moved;
}

template <class T>
void CFrameWindow<T>::OnResize() {
  Rect content;
  ThemePainter()->GetContentRect(&content, width, height, flags);
  if (content.IsEmpty()) return;
  ResizeSurfaceToContent();
  const bool wasSuspended = SuspendRedraw(true);
  if constexpr (HasLayoutContent<T>::value) Self().LayoutContent(content.right - content.left, content.bottom - content.top);
  SuspendRedraw(wasSuspended);
}
