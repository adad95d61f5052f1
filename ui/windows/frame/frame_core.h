// The part of every top-level window that does not depend on its class:
// handle, own widget record (the window's content rectangle in desktop
// coordinates and its style and state bits), surface with canvas, window
// lock, caption-button state, the rectangles remembered for restoring, the
// title and the media listener; the surface operations (resize, free,
// present, caption repaint) and the system placement. The class-specific
// rest is CFrameWindow<T> (frame_window.h). Windows only.
//
// The window lock is re-entrant and serialises every use of the surface,
// canvas and display list: repaints come from the user-interface thread and
// from job refresh threads. Never open a drive, wait for a thread or send a
// message to another thread while holding it.
//
// Only the window's own thread pushes the surface to the screen. The system
// may answer a layered update from another thread by sending a message to
// the window's thread and waiting; a painter on another thread holds the
// lock, and the window's thread may be waiting for it. So a present asked
// for elsewhere is posted to the window's thread, at most one at a time.
#pragma once
#include <atomic>

#include "runtime/threads.h"
#include "runtime/wide_string.h"
#include "ui/widgets/widget_record.h"
#include "ui/windows/frame/device_change.h"
#include "ui/windows/theme/theme_painter.h"
#include "ui/windows/frame/window_surface.h"

class CBitmap;

constexpr i32 kNotPlaced = static_cast<i32>(0x80000000u);
// A present asked for on another thread (posted, no parameters).
constexpr u32 kMessagePresent = 0x403;  // WM_USER + 3
// The window timer that runs that present once the window's thread is idle.
constexpr uintptr_t kTimerPresent = 0x4B50;

struct WindowRect {
  i32 x, y, width, height;
};

class CFrameCore : public CWidget {
 public:
  CFrameCore();
  ~CFrameCore();

  void* handle = nullptr;  // HWND; null before creation and after WM_NCDESTROY
  u8 handled = 0;          // the member window procedure's "handled" flag
  u8 busy = 0;             // re-entry guard of minimise, maximise and restore
  WindowRect maximizeFrom = {0, 0, 0, 0};  // before the last maximise
  WindowRect minimizeFrom = {0, 0, 0, 0};  // before the last minimise
  CWindowSurface surface;
  i32 bandCount = 0;       // bands per flush; 0: every band of the canvas
  i32 hotButton = kCaptionNone;
  i32 pressedButton = kCaptionNone;
  // Where the pointer rested when the keyboard lit a caption button
  // ({kNotPlaced, kNotPlaced} once the mouse lights one).
  Point keyLitPointer = {kNotPlaced, kNotPlaced};
  CLock lock;
  MediaListener media = {nullptr, nullptr, nullptr};
  CWideString title;
  const CBitmap* captionImage = nullptr;  // null: the theme's
  bool smallMargins = false;  // drop-down popups and popup menus
  ThemePaintState themeState;  // the theme's drawing state for this window's canvas
  std::atomic<bool> presentPosted{false};  // a present for another thread's paints is on its way

  CCanvas& Canvas() { return surface.canvas; }
  WindowMargins Margins() const { return MarginsFor(smallMargins, flags); }
  bool IsPlaced() const { return x != kNotPlaced && y != kNotPlaced; }
  i32 FlushBands() { return bandCount > 0 ? bandCount : surface.canvas.bandCount; }
  // True on the thread that owns the window.
  bool OnOwnThread() const;

  // Grows the surface to width x height (margins included) under the lock.
  bool ResizeSurface(i32 surfaceWidth, i32 surfaceHeight);
  // The surface for the current size and state.
  bool ResizeSurfaceToContent() { return ResizeSurface(width + Margins().total, height + Margins().total); }
  // Releases the surface under the lock (a refresh thread may be painting).
  void FreeSurface();
  // Pushes the surface to the screen, under the lock and only while a
  // surface of the right size exists. From another thread it posts the
  // present to the window's thread instead (unless one is on its way).
  void Present();
  // Present while visible and not minimised.
  void PresentIfVisible();
  // The window procedure's side of kMessagePresent: arms kTimerPresent.
  void OnPostedPresent();
  // The window procedure's side of kTimerPresent: the present itself.
  void OnPresentTimer();
  // Repaints the caption buttons alone, then presents when asked.
  void RedrawCaption(bool present);

  // Volume notifications of WM_DEVICECHANGE for the media listener.
  void OnDeviceChange(u32 event, const void* header);
  // Tells the system the window's show state and its normal rectangle
  // (the surface around r, with the margins of the current state).
  void SetSystemPlacement(u32 showCommand, const WindowRect& r);
  WindowRect CurrentRect() const { return {x, y, width, height}; }
};

// The work area's bottom edge in screen pixels (read afresh).
i32 WorkAreaBottom();
