// CFrameWindow<T>: mouse, caption buttons, keys, focus and press tracking
// (included by frame_window.h).
#pragma once

template <class T>
i32 CFrameWindow<T>::OnNcHitTest(const Point& point) {
  // Outside the content rectangle (the shadow margin included) the window
  // is nowhere: the drop shadow neither sizes it nor sets the cursor.
  if (!IsVisibleAndEnabled() || !HitTest(point)) return kHitNowhere;
  const i32 code = ChildHitCode(Self(), point);
  return code != kHitNowhere ? code : HitTestNonClient(point);
}

template <class T>
void CFrameWindow<T>::InstallCaptureHandlers() {
  CCaptureSet set(this);
  set.template Translate<CWidget, &CWidget::ParentToLocal>(this);
  CaptureTable::Install(set, this);
}

template <class T>
void CFrameWindow<T>::ClearCaptionHot(bool present) {
  const bool was = hotButton != kCaptionNone || pressedButton != kCaptionNone;
  hotButton = kCaptionNone;
  pressedButton = kCaptionNone;
  CaptureTable::Uninstall(this);
  if (was) RedrawCaption(present);
}

// A "move" to where the pointer rested when the keyboard lit a caption
// button (the one a press there makes first, as it brings the hover state
// up to date) is no movement and leaves that highlight alone.
template <class T>
bool CFrameWindow<T>::KeyLightResting(const Point& point) const {
  return hotButton != kCaptionNone && point.x == keyLitPointer.x && point.y == keyLitPointer.y;
}

template <class T>
void CFrameWindow<T>::TrackCaption(i32 hitCode) {
  const i32 button = CaptionButtonOfHit(hitCode);
  if (button == kCaptionNone) return;
  keyLitPointer = {kNotPlaced, kNotPlaced};
  if (hotButton == kCaptionNone && !CaptureOwner()) {
    InstallCaptureHandlers();
    TakeSystemCapture(handle);
  }
  if (hotButton != button) {
    hotButton = button;
    RedrawCaption(true);
  }
}

template <class T>
void CFrameWindow<T>::OnNcMouseMove(i32 hitCode, Point point) {
  const bool resting = KeyLightResting(point);
  if (CaptionButtonOfHit(hitCode) != kCaptionNone) {
    if (!resting) {
      TrackCaption(hitCode);
    } else if (!CaptureOwner() && !PressedWidget()) {
      // The light stays, and the window holds the mouse as over any lit
      // button, so that a click there reaches OnLButtonDown.
      InstallCaptureHandlers();
      TakeSystemCapture(handle);
    }
    return;
  }
  if (hotButton != kCaptionNone && !resting) ClearCaptionHot(true);
  RouteMouseToChildren(Self(), point, MouseEvent{MouseKind::kNcMove, 0, 0, hitCode});
}

template <class T>
bool CFrameWindow<T>::CheckPressLeave(const Point& point) {
  if (PressedWidget() == this) {
    if (ContainsPoint(point)) return false;
    if (hotButton != kCaptionNone) ClearCaptionHot(true);
    return true;
  }
  return IsVisibleAndEnabled() && CheckPressLeaveIn(Self(), point);
}

template <class T>
void CFrameWindow<T>::OnMouseMove(i32 keyFlags, Point point) {
  const i32 frameCode = HitTestNonClient(point);
  if (hotButton != kCaptionNone && !KeyLightResting(point)) {
    if (CaptionButtonOfHit(frameCode) != kCaptionNone)
      TrackCaption(frameCode);
    else
      ClearCaptionHot(true);
  }
  if (frameCode == kHitNowhere && OnNcHitTest(point) != kHitClient && !PressedWidget() && !CaptureOwner()) return;
  if (CaptureOwner()) {
    Point local = point;
    CaptureTable::DispatchMouseMove(keyFlags, &local);
  } else {
    RouteMouseToChildren(Self(), point, MouseEvent{MouseKind::kMove, keyFlags, 0, 0});
  }
  if (PressedWidget() && CheckPressLeave(point)) SetPressedWidget(nullptr);
}

// The system sends no move before a press where the pointer already rests
// (after a window closed over it, a focus change or a repaint), yet a press
// acts on what lies under its point: the window first takes the point as a
// move with the buttons held before the press, so the control there lights
// (and takes the mouse) as if the pointer had just come, then the press is
// routed.
template <class T>
void CFrameWindow<T>::OnButtonPress(u32 message, i32 keyFlags, Point point) {
  const i32 button = message == WM_RBUTTONDOWN ? MK_RBUTTON : message == WM_MBUTTONDOWN ? MK_MBUTTON : MK_LBUTTON;
  OnMouseMove(keyFlags & ~button, point);
  TellFocusedOfPress(Self(), point);
  switch (message) {
    case WM_LBUTTONDOWN: return OnLButtonDown(keyFlags, point);
    case WM_LBUTTONDBLCLK: return OnMouseEvent(MouseKind::kLeftDoubleClick, keyFlags, 0, point);
    case WM_RBUTTONDOWN: return OnMouseEvent(MouseKind::kRightDown, keyFlags, 0, point);
    default: return OnMouseEvent(MouseKind::kMiddleDown, keyFlags, 0, point);
  }
}

// A press over the frame, likewise after the hover state is brought up to
// date: the left button on a caption button presses it here (its release
// comes under the capture the light took); every other frame press is the
// system's (move, size, its menu). True when the window handled it.
template <class T>
bool CFrameWindow<T>::OnNcButtonPress(u32 message, i32 hitCode, Point point) {
  OnNcMouseMove(hitCode, point);
  TellFocusedOfPress(Self(), point);
  if ((message != WM_NCLBUTTONDOWN && message != WM_NCLBUTTONDBLCLK) || CaptionButtonOfHit(hitCode) == kCaptionNone)
    return false;
  OnLButtonDown(MK_LBUTTON, point);
  return true;
}

// A press on a caption button presses it; a press anywhere else puts out a
// lit button (the keyboard's light stays through the move a press where the
// pointer rests makes first) and goes to what lies under the pointer.
template <class T>
void CFrameWindow<T>::OnLButtonDown(i32 keyFlags, Point point) {
  if (hotButton != kCaptionNone) {
    const i32 frameCode = HitTestNonClient(point);
    if (CaptionButtonOfHit(frameCode) != kCaptionNone) {
      TrackCaption(frameCode);
      pressedButton = hotButton;
      return;
    }
    ClearCaptionHot(true);
  }
  OnMouseEvent(MouseKind::kLeftDown, keyFlags, 0, point);
}

template <class T>
void CFrameWindow<T>::OnLButtonUp(i32 keyFlags, Point point) {
  if (hotButton != kCaptionNone) {
    const i32 button = hotButton;
    if (button == pressedButton) {
      hotButton = pressedButton = kCaptionNone;
      CaptureTable::Uninstall(this);
      if (button == kCaptionClose) {
        PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
      } else if (button == kCaptionMaximize) {
        if (flags & kFlagMaximized)
          Restore();
        else
          Maximize();
        RedrawCaption(false);
      } else {
        Minimize();
        RedrawCaption(false);
      }
      return;
    }
    ClearCaptionHot(true);
  }
  OnMouseEvent(MouseKind::kLeftUp, keyFlags, 0, point);
}

// Buttons, double click and wheel: to the capture owner's slot, else through
// the routing.
template <class T>
void CFrameWindow<T>::OnMouseEvent(MouseKind kind, i32 keyFlags, i32 delta, Point point) {
  if (!CaptureOwner()) {
    RouteMouseToChildren(Self(), point, MouseEvent{kind, keyFlags, delta, 0});
    return;
  }
  switch (kind) {
    case MouseKind::kWheel: return CaptureTable::DispatchWheel(keyFlags, delta, &point);
    case MouseKind::kLeftDown: return CaptureTable::DispatchLeftDown(keyFlags, &point);
    case MouseKind::kLeftUp: return CaptureTable::DispatchLeftUp(keyFlags, &point);
    case MouseKind::kLeftDoubleClick: return CaptureTable::DispatchLeftDoubleClick(keyFlags, &point);
    case MouseKind::kRightDown: return CaptureTable::DispatchRightDown(keyFlags, &point);
    case MouseKind::kRightUp: return CaptureTable::DispatchRightUp(keyFlags, &point);
    case MouseKind::kMiddleDown: return CaptureTable::DispatchMiddleDown(keyFlags, &point);
    case MouseKind::kMiddleUp: return CaptureTable::DispatchMiddleUp(keyFlags, &point);
    default: return;
  }
}

template <class T>
bool CFrameWindow<T>::ReleasePress() {
  if (PressedWidget() == this) {
    if (hotButton != kCaptionNone) ClearCaptionHot(true);
    return true;
  }
  return IsVisibleAndEnabled() && ReleasePressIn(Self());
}

template <class T>
void CFrameWindow<T>::LetGoOfPointer(bool onlyUnreachable) {
  LetGoOfPointerIn(Self(), onlyUnreachable);
}

template <class T>
void CFrameWindow<T>::CapturePress(CWidget* widget) {
  if (!CaptureOwner() && !PressedWidget())
    TakeSystemCapture(handle);
  else if (PressedWidget() && PressedWidget() != widget)
    ReleasePress();
  SetPressedWidget(widget);
}

template <class T>
bool CFrameWindow<T>::OnFocusLost(const CWidget* old) {
  if (!old) return false;
  if (old == this) {
    if (!(flags & (kFlagModal1 | kFlagNoCaptionButtons)) && hotButton != kCaptionNone) ClearCaptionHot(true);
    return true;
  }
  return IsVisibleAndEnabled() && NotifyFocusLost(Self(), old);
}

template <class T>
bool CFrameWindow<T>::OnFocusGained(const CWidget* focused) {
  if (!focused) return false;
  if (focused == this) {
    if (!(flags & (kFlagModal1 | kFlagNoCaptionButtons)) && (flags & kFlagCaptionButtons)) {
      hotButton = (flags & kFlagCloseButton) ? kCaptionClose
                  : (flags & kFlagMaximizeButton) ? kCaptionMaximize
                                                  : kCaptionMinimize;
      if (!ReadPointerPoint(&keyLitPointer)) keyLitPointer = {kNotPlaced, kNotPlaced};
      RedrawCaption(true);
    }
    return true;
  }
  return IsVisibleAndEnabled() && NotifyFocusGained(Self(), focused);
}

// The window's own place in the Tab order: without a Tab-stop test.
template <class T>
bool CFrameWindow<T>::OwnTabStep(bool* passed) {
  if (*passed) {
    if (!IsVisibleAndEnabled()) return false;
    SetFocus();
    return true;
  }
  if (FocusedWidget() == this) *passed = true;
  return false;
}

template <class T>
bool CFrameWindow<T>::TabWalk(bool backward, bool* passed) {
  if (backward) {
    if (ForEachChildReverse(Self(), [&](auto& child) { return TabWalkBackward(passed, child); })) return true;
    return OwnTabStep(passed);
  }
  if (OwnTabStep(passed)) return true;
  return IsVisibleAndEnabled() && ForEachChild(Self(), [&](auto& child) { return TabWalkForward(passed, child); });
}

template <class T>
void CFrameWindow<T>::OnKeyDown(u32 key, u32 repeat, u32 data) {
  if constexpr (HasShortcutKey<T>::value) {
    if (Self().OnShortcutKey(key)) return;
  }
  if (key == VK_TAB) {
    const bool backward = (ReadAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
    bool passed = false;
    if (!TabWalk(backward, &passed)) {
      passed = true;  // nothing after the focused object: wrap around
      TabWalk(backward, &passed);
    }
    return;
  }
  const bool ownFocus = FocusedWidget() == this;
  // Enter fires the focused push button, in every window; only when no
  // push button has the focus does it reach the default buttons.
  if (key == VK_RETURN && !ownFocus && IsVisibleAndEnabled() &&
      RouteKeyToChildren(Self(), KeyEvent{KeyKind::kPress, key, repeat, data}))
    return;
  if constexpr (HasCaptionArrowKeys<T>::value) {
    // The main window: no default buttons; Escape and Enter reach the
    // focused widget like any other key.
    if (ownFocus) {
      const u32 present = flags & kFlagCaptionButtons;
      static const i32 kOrder[3] = {kCaptionMinimize, kCaptionMaximize, kCaptionClose};
      const u32 kBits[3] = {kFlagMinimizeButton, kFlagMaximizeButton, kFlagCloseButton};
      if ((key == VK_LEFT || key == VK_RIGHT) && present) {
        i32 at = 0;
        while (at < 3 && kOrder[at] != hotButton) ++at;
        // Nothing highlighted: Right starts from the first button, Left
        // from the last, as if stepping in from past the other end.
        if (at == 3) at = key == VK_LEFT ? 0 : 2;
        for (i32 step = 0; step < 3; ++step) {
          at = key == VK_LEFT ? (at + 2) % 3 : (at + 1) % 3;
          if (present & kBits[at]) break;
        }
        if (hotButton != kOrder[at]) {
          hotButton = kOrder[at];
          RedrawCaption(true);
        }
      } else if (key == VK_SPACE) {
        pressedButton = hotButton;
      }
      return;
    }
  } else {
    // Enter on the window itself while a caption button shows the keyboard
    // highlight is that button's key, as Space is: its release presses the
    // button (OnCaptionKey) and the default buttons never see it.
    if (key == VK_RETURN && ownFocus && hotButton != kCaptionNone &&
        !(flags & (kFlagModal1 | kFlagNoCaptionButtons)))
      return;
    if (ownFocus || key == VK_ESCAPE || key == VK_RETURN) {
      if constexpr (HasDialogKey<T>::value) Self().OnDialogKey(key);
      return;
    }
  }
  if (IsVisibleAndEnabled()) RouteKeyToChildren(Self(), KeyEvent{KeyKind::kDown, key, repeat, data});
}

template <class T>
void CFrameWindow<T>::OnKeyUp(u32 key, u32 repeat, u32 data) {
  if (FocusedWidget() == this || key == VK_ESCAPE || key == VK_RETURN) return OnCaptionKey(key);
  if (IsVisibleAndEnabled()) RouteKeyToChildren(Self(), KeyEvent{KeyKind::kUp, key, repeat, data});
}

template <class T>
void CFrameWindow<T>::OnCaptionKey(u32 key) {
  if (flags & (kFlagModal1 | kFlagNoCaptionButtons)) return;
  if (key == VK_ESCAPE) return ClearCaptionHot(true);
  // Enter and Space act on the keyboard highlight only while the window
  // itself has the focus (a highlight under the mouse is no key target).
  if ((key != VK_RETURN && key != VK_SPACE) || FocusedWidget() != this) return;
  const i32 button = hotButton;
  if (button == kCaptionNone) return;
  hotButton = pressedButton = kCaptionNone;
  CaptureTable::Uninstall(this);
  if (button == kCaptionClose) {
    PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
  } else if (button == kCaptionMaximize) {
    if (flags & kFlagMaximized)
      Restore();
    else
      Maximize();
  } else {
    Minimize();
    RedrawCaption(false);
  }
}

// The extra mouse buttons, the first and then the second: to a window
// that takes them itself (whatever has the focus), else as keys 5 and 6 to
// the focused widget.
template <class T>
void CFrameWindow<T>::RouteXButtons(uintptr_t wParam) {
  if (!IsVisibleAndEnabled()) return;
  if constexpr (HasExtraButton<T>::value) {
    if (wParam & MK_XBUTTON1) Self().OnExtraButton(1);
    if (wParam & MK_XBUTTON2) Self().OnExtraButton(2);
  } else {
    if (FocusedWidget() == this) return;
    if (wParam & MK_XBUTTON1) RouteKeyToChildren(Self(), KeyEvent{KeyKind::kDown, 5, 0, 0});
    if (wParam & MK_XBUTTON2) RouteKeyToChildren(Self(), KeyEvent{KeyKind::kDown, 6, 0, 0});
  }
}
