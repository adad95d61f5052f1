// CFrameWindow<T>: the member window procedure (included by
// frame_window.h). Every message becomes one toolkit event with its point in
// y-up desktop coordinates; messages 0x400 to 0x7FFF are the toolkit's own
// and never reach DefWindowProcW.
#pragma once

namespace frame_messages {

// A client point of a mouse message as a desktop point.
inline Point ClientToDesktop(HWND window, intptr_t lParam) {
  POINT p = {static_cast<i16>(lParam & 0xFFFF), static_cast<i16>((lParam >> 16) & 0xFFFF)};
  ClientToScreen(window, &p);
  ScreenPoint s = {p.x, p.y};
  FlipWorkAreaY(&s);
  return {s.x, s.y};
}

// A screen point of a message (hit test, wheel, non-client moves).
inline Point ScreenToDesktop(intptr_t lParam) {
  ScreenPoint s = {static_cast<i16>(lParam & 0xFFFF), static_cast<i16>((lParam >> 16) & 0xFFFF)};
  FlipWorkAreaY(&s);
  return {s.x, s.y};
}

}  // namespace frame_messages

template <class T>
intptr_t CFrameWindow<T>::WndProc(u32 message, uintptr_t wParam, intptr_t lParam) {
  using namespace frame_messages;
  const u8 outerHandled = handled;  // messages nest (a handler's own calls)
  handled = 1;
  intptr_t result = 0;
  HWND window = static_cast<HWND>(handle);
  // A minimised window that still gets a press is on the screen (no window
  // manager took it away): it comes back instead of ignoring every input.
  if ((flags & kFlagMinimized) && (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN ||
                                   message == WM_MBUTTONDOWN || message == WM_NCLBUTTONDOWN)) {
    Restore();
    handled = outerHandled;
    return 0;
  }
  switch (message) {
    case WM_NCCREATE: {
      const WindowBinding* record = WindowRegistry::At(WindowRegistry::BindingIndex());
      presentPosted = false;  // one posted to an earlier window of this object died with it
      if (record) handle = reinterpret_cast<void*>(record->handle);
      handled = outerHandled;
      return 1;
    }
    case WM_GETMINMAXINFO: {
      MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
      const i32 less = (flags & kFlagMaximized) ? (smallMargins ? kSmallMargins : kLargeMargins).total : 0;
      info->ptMinTrackSize.x = T::kMinTrackWidth - less;
      info->ptMinTrackSize.y = T::kMinTrackHeight - less;
      break;
    }
    case WM_NCHITTEST: {
      result = OnNcHitTest(ScreenToDesktop(lParam));
      if (IsSizingHit(static_cast<i32>(result))) ResetCursorOwner();
      break;
    }
    case WM_NCMOUSEMOVE:
      OnNcMouseMove(static_cast<i32>(wParam), ScreenToDesktop(lParam));
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      handled = OnNcButtonPress(message, static_cast<i32>(wParam), ScreenToDesktop(lParam)) ? 1 : 0;
      break;
    case WM_WINDOWPOSCHANGED:
      OnWindowPosChanged(reinterpret_cast<const WINDOWPOS*>(lParam));
      break;
    case WM_ACTIVATE:
      if constexpr (HasActivate<T>::value)
        Self().OnActivate(static_cast<u32>(wParam & 0xFFFF));
      else
        handled = 0;
      break;
    case WM_ACTIVATEAPP:
      OnActivateApp(wParam != 0, static_cast<u32>(lParam));
      handled = 0;
      break;
    case WM_CLOSE: {
      bool keepOpen = false;
      if constexpr (HasCloseQuery<T>::value) keepOpen = Self().OnCloseQuery();
      if (keepOpen) break;
      CWidget* owner = CaptureOwner();
      if (owner && owner->IsWithin(this)) CaptureTable::Uninstall(owner);
      handled = 0;
      break;
    }
    case WM_DESTROY:
      UiKeyStroke().ForgetWindow(window);
      OnDestroyMessage();
      break;
    case WM_NCDESTROY:
      result = DefWindowProcW(window, message, wParam, lParam);
      handle = nullptr;
      break;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_CLOSE:
          if (hotButton != kCaptionNone) ClearCaptionHot(false);
          handled = 0;
          break;
        case SC_RESTORE: Restore(); break;
        case SC_MINIMIZE: Minimize(); break;
        case SC_MAXIMIZE: Maximize(); break;
        default: handled = 0; break;
      }
      break;
    case WM_KEYDOWN: {
      // The keystroke's character, queued already, acts only where this
      // key-down went, and a held key's repeat only where the keystroke
      // left the keyboard (key_stroke.h).
      if (!UiKeyStroke().BeginKeyDown(static_cast<u32>(wParam & 0xFFFF), static_cast<u32>(lParam), window,
                                      FocusedWidget()))
        break;
      OnKeyDown(static_cast<u32>(wParam & 0xFFFF), static_cast<u32>(lParam & 0xFFFF),
                static_cast<u32>((lParam >> 16) & 0xFFFF));
      UiKeyStroke().EndKeyDown();
      break;
    }
    case WM_KEYUP:
      UiKeyStroke().KeyUp(static_cast<u32>(lParam));
      OnKeyUp(static_cast<u32>(wParam & 0xFFFF), static_cast<u32>(lParam & 0xFFFF),
              static_cast<u32>((lParam >> 16) & 0xFFFF));
      break;
    case WM_CHAR:
      // The character of a key-down that ran a command is spent.
      if (UiKeyStroke().IsSpentChar(static_cast<u32>(lParam), window, FocusedWidget())) break;
      if (FocusedWidget() != this && wParam != VK_ESCAPE && wParam != VK_RETURN && IsVisibleAndEnabled())
        RouteKeyToChildren(Self(), KeyEvent{KeyKind::kChar, static_cast<u32>(wParam), static_cast<u32>(lParam & 0xFFFF),
                                            static_cast<u32>((lParam >> 16) & 0xFFFF)});
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<i32>(wParam), ClientToDesktop(window, lParam));
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      OnButtonPress(message, static_cast<i32>(wParam), ClientToDesktop(window, lParam));
      break;
    case WM_LBUTTONUP:
      OnLButtonUp(static_cast<i32>(wParam), ClientToDesktop(window, lParam));
      break;
    case WM_RBUTTONUP:
      OnMouseEvent(MouseKind::kRightUp, static_cast<i32>(wParam), 0, ClientToDesktop(window, lParam));
      break;
    case WM_MBUTTONUP:
      OnMouseEvent(MouseKind::kMiddleUp, static_cast<i32>(wParam), 0, ClientToDesktop(window, lParam));
      break;
    case WM_MOUSEWHEEL:
      OnMouseEvent(MouseKind::kWheel, static_cast<i16>(wParam & 0xFFFF), static_cast<i16>((wParam >> 16) & 0xFFFF),
                   ScreenToDesktop(lParam));
      break;
    case WM_XBUTTONDOWN:
      RouteXButtons(wParam);
      break;
    case WM_XBUTTONDBLCLK:
      RouteXButtons(wParam);
      RouteXButtons(wParam);
      break;
    case WM_CAPTURECHANGED: {
      if (reinterpret_cast<HWND>(lParam) == window) break;
      // Another window took the mouse (or none holds it now); what lets go
      // here leaves the capture where it went.
      CCaptureTakenElsewhere elsewhere;
      LetGoOfPointer(false);
      break;
    }
    case kMessageScreenCheck:
      LetGoOfPointer(true);
      TakePendingFocusWithin(this);
      break;
    case WM_DEVICECHANGE:
      OnDeviceChange(static_cast<u32>(wParam), reinterpret_cast<const void*>(lParam));
      break;
    case WM_CLIPBOARDUPDATE:
      if constexpr (HasClipboardUpdate<T>::value) Self().OnClipboardUpdate();
      break;
    case kMessageUiCall:
      RunUiCall(wParam, lParam);
      break;
    case kMessagePostedTick:
      CPostedTick::Run(wParam, lParam);
      break;
    case kMessagePresent:
      OnPostedPresent();
      break;
    case WM_TIMER:
      if (wParam == kTimerPresent)
        OnPresentTimer();
      else
        handled = 0;
      break;
    default:
      if (message >= WM_USER && message <= 0x7FFF) {  // the toolkit's own
        if constexpr (HasUserMessage<T>::value) Self().OnUserMessage(message - WM_USER, wParam, lParam);
        break;
      }
      handled = 0;
      break;
  }
  const bool passOn = !handled;
  handled = outerHandled;
  if (passOn && message != WM_NCDESTROY) return DefWindowProcW(window, message, wParam, lParam);
  return result;
}
