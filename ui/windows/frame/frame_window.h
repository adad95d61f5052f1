// CFrameWindow<T>: the template of every top-level window of the toolkit
// (main window, dialogs, message box, popups). A window class derives from
// it with itself as T and declares (all optional but Children):
//
//   static constexpr u32 kStyle = 0x6410;            // its own record's flag word
//   static constexpr i32 kMinTrackWidth = 259, kMinTrackHeight = 199;
//   auto Children() { return std::tie(ok_, cancel_); }  // routing order
//   void CreateControls();                   // builds the children
//   void LayoutContent(i32 width, i32 height);  // places them
//   void PaintDecoration(CCanvas& canvas);   // drawn under the children
//   bool OnDialogKey(u32 key);               // Escape, Enter (dialogs)
//   bool OnCloseQuery();                     // true keeps the window open
//   void OnDestroy();                        // WM_DESTROY extras
//   static constexpr bool kCaptionArrowKeys = true;  // main window: Left,
//                                            // Right and Space on the caption
//   static u16 RegisterWindowClass(wchar_t* name);   // own class (main window)
//   static const wchar16* WindowName();      // name given to CreateWindowExW
//   bool OnShortcutKey(u32 key);             // main window: a key down before
//                                            // any other handling; true ends it
//   void OnClipboardUpdate();                // WM_CLIPBOARDUPDATE
//   void OnMoved();                          // the system moved the window
//   void OnActivate(u32 state);              // WM_ACTIVATE (low word), taken over
//   void OnUserMessage(u32 offset, uintptr_t wParam, intptr_t lParam);
//                                            // WM_USER + offset (not + 1)
//   void OnExtraButton(u32 button);          // the extra mouse buttons (1,
//                                            // then 2) taken by the window,
//                                            // not passed on as keys 5 and 6
//
// The window is its children's parent (RepaintChild, RepaintRegion, Window)
// and holds its own widget record as its CWidget base: x and y are the
// content's bottom-left corner in desktop coordinates, width and height the
// content size without the shadow margin. Windows only.
#pragma once
#include "runtime/platform.h"
#include "runtime/win.h"
#include "ui/views/paint_path.h"
#include "ui/widgets/capture_table.h"
#include "ui/widgets/event_routing.h"
#include "ui/widgets/focus.h"
#include "ui/widgets/hover_cursor.h"
#include "ui/widgets/pointer_system.h"
#include "ui/widgets/press_tracking.h"
#include "ui/widgets/tab_order.h"
#include "ui/windows/frame/frame_core.h"
#include "ui/windows/frame/key_stroke.h"
#include "ui/windows/frame/posted_tick.h"
#include "ui/windows/frame/taskbar_button.h"
#include "ui/windows/theme/theme_painter.h"
#include "ui/windows/frame/ui_call.h"
#include "ui/windows/frame/window_proc.h"
#include "ui/windows/frame/window_registry.h"

KELVANE_WIDGET_TRAIT(HasCreateControls, widget_traits::Fake<T>().CreateControls())
KELVANE_WIDGET_TRAIT(HasDialogKey, widget_traits::Fake<T>().OnDialogKey(0u))
KELVANE_WIDGET_TRAIT(HasCloseQuery, widget_traits::Fake<T>().OnCloseQuery())
KELVANE_WIDGET_TRAIT(HasOnDestroy, widget_traits::Fake<T>().OnDestroy())
KELVANE_WIDGET_TRAIT(HasCaptionArrowKeys, T::kCaptionArrowKeys)
KELVANE_WIDGET_TRAIT(HasOwnWindowClass, T::RegisterWindowClass((wchar_t*)nullptr))
KELVANE_WIDGET_TRAIT(HasWindowName, T::WindowName())
KELVANE_WIDGET_TRAIT(HasShortcutKey, widget_traits::Fake<T>().OnShortcutKey(0u))
KELVANE_WIDGET_TRAIT(HasClipboardUpdate, widget_traits::Fake<T>().OnClipboardUpdate())
KELVANE_WIDGET_TRAIT(HasMovedStep, widget_traits::Fake<T>().OnMoved())
KELVANE_WIDGET_TRAIT(HasActivate, widget_traits::Fake<T>().OnActivate(0u))
KELVANE_WIDGET_TRAIT(HasUserMessage, widget_traits::Fake<T>().OnUserMessage(0u, uintptr_t(0), intptr_t(0)))
KELVANE_WIDGET_TRAIT(HasExtraButton, widget_traits::Fake<T>().OnExtraButton(0u))

template <class T>
class CFrameWindow : public CFrameCore {
 public:
  CFrameWindow() = default;
  // A window object that goes away first lets its window go: the record
  // forgets it before the window is destroyed, so no message reaches it
  // (its keystroke is over too), and the focus no longer names it.
  ~CFrameWindow() {
    ForgetFocusWindow(static_cast<T*>(this));
    if (handle) {
      WindowRegistry::Unbind(reinterpret_cast<uintptr_t>(handle));
      UiKeyStroke().ForgetWindow(handle);
      if (IsWindow(static_cast<HWND>(handle))) DestroyWindow(static_cast<HWND>(handle));
      handle = nullptr;
    }
  }

  T& Self() { return static_cast<T&>(*this); }
  T& Window() { return Self(); }
  void* Handle() const { return handle; }

  // ---- Creation and placement ----
  // An owned window of a size (none: two thirds of the work area), centred
  // on a y-up point or on the work area.
  bool PlaceAndCreate(const Rect* size, const Point* centre);
  // A window whose content rectangle is given (y-up).
  bool CreateAt(const Rect& content, bool owned);
  // The record from the content rectangle, the class's flag word, its
  // controls and layout; then shown, and focused when pending.
  void OnCreate(const Rect& content);
  // Registers the class, binds the record and creates the system window
  // around the surface's screen rectangle.
  bool Create(const Rect& outerScreen, bool owned);

  // ---- The window's own record ----
  bool ModifyFlags(u32 clear, u32 set);
  bool SuspendRedraw(bool suspend);
  CWidget* SetFocus();
  // Sets the focused object without any test and tells both sides.
  CWidget* SetFocusedWidget(CWidget* next);
  bool SetBounds(i32 newX, i32 newY, i32 newWidth, i32 newHeight);
  void OnResize();
  void Repaint() { RepaintWindow(Self()); }

  // ---- Parent of its children ----
  template <class C>
  void RepaintChild(C& child, const Rect* rect) {
    RedrawWidgetInWindow(Self(), child, rect);
  }
  template <class C>
  void RedrawWidget(C& child, const Rect* rect) {
    RedrawWidgetInWindow(Self(), child, rect);
  }
  void RepaintRegion(const Rect& desktopRect) { RedrawWindowRegion(Self(), desktopRect); }
  bool OnFocusLost(const CWidget* old);
  bool OnFocusGained(const CWidget* focused);
  // A control takes the press (hover tracking through the routing).
  void CapturePress(CWidget* widget);
  // The pressed widget lets go; true when it was in this window.
  bool ReleasePress();
  // The capture owner and the pressed widget of this window let go: all of
  // them (another window took the mouse), or only those that can no longer
  // take the pointer (hidden or disabled here, or on another thread:
  // kMessageScreenCheck).
  void LetGoOfPointer(bool onlyUnreachable);
  // The window takes all mouse input while it tracks a caption button.
  void InstallCaptureHandlers();

  // ---- Window states ----
  void Minimize();
  void Maximize();
  void Restore();

  // ---- Messages ----
  static intptr_t WndProcThunk(void* object, u32 message, uintptr_t wParam, intptr_t lParam) {
    return static_cast<CFrameWindow*>(object)->WndProc(message, wParam, lParam);
  }
  intptr_t WndProc(u32 message, uintptr_t wParam, intptr_t lParam);
  i32 OnNcHitTest(const Point& point);
  void OnMouseMove(i32 keyFlags, Point point);
  void OnNcMouseMove(i32 hitCode, Point point);
  void OnLButtonDown(i32 keyFlags, Point point);
  void OnLButtonUp(i32 keyFlags, Point point);
  // A button press in the content (left, right, middle, left double click)
  // or over the frame (hit code): the hover state is brought up to date for
  // its point, the focused widget hears of a press outside it, then the
  // press is handled. A frame press answers whether the
  // window took it (else it is the system's).
  void OnButtonPress(u32 message, i32 keyFlags, Point point);
  bool OnNcButtonPress(u32 message, i32 hitCode, Point point);
  void OnMouseEvent(MouseKind kind, i32 keyFlags, i32 delta, Point point);
  void OnKeyDown(u32 key, u32 repeat, u32 data);
  void OnKeyUp(u32 key, u32 repeat, u32 data);
  void OnCaptionKey(u32 key);
  void OnWindowPosChanged(const WINDOWPOS* position);
  void OnActivateApp(bool active, u32 threadId);
  void OnDestroyMessage();

 private:
  bool KeyLightResting(const Point& point) const;
  void TrackCaption(i32 hitCode);
  // Clears the caption buttons' hot and pressed state, lets the window's
  // capture bindings go and repaints the caption.
  void ClearCaptionHot(bool present);
  bool CheckPressLeave(const Point& point);
  bool TabWalk(bool backward, bool* passed);
  bool OwnTabStep(bool* passed);
  void RouteXButtons(uintptr_t wParam);
  void PlaceAndLayout(const WindowRect& r);
  void ForgetWindowState();
};

#include "ui/windows/frame/frame_window_create.h"
#include "ui/windows/frame/frame_window_input.h"
#include "ui/windows/frame/frame_window_messages.h"
#include "ui/windows/frame/frame_window_states.h"
