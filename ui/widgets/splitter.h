// CSplitter: the divider between the two panes of a page, dragged with the
// left button to change the left pane's width. It is no widget: it is a
// strip of the page's free area, and the page's own mouse handlers (reached
// when no child takes the event) pass their events to it. While dragging it
// owns the capture table, so the drag follows the pointer outside the page;
// the drag ends with the release, or when another window takes the mouse.
// The width is written to the settings on every change and read back when
// the page builds its controls, limited to the page. The page class offers
// GetContentRect(), WindowToLocal() (its CWidget ones), Window() and
// LayoutPanes(). Windows only (the settings are the registry).
#pragma once
#include "runtime/settings.h"
#include "ui/widgets/capture_table.h"
#include "ui/widgets/hover_cursor.h"
#include "ui/widgets/pointer_system.h"

constexpr i32 kPaneWidthDefault = 180;
constexpr i32 kPaneWidthMinimum = 80;

// The drag's limits: at least 80, at most the content width less 80 (on a
// page narrower than 160 the upper limit wins, but never below 0). A stored
// value goes through the same limits.
inline i32 ClampPaneWidth(i64 want, i32 contentWidth) {
  if (want < kPaneWidthMinimum) return kPaneWidthMinimum;
  const i32 upper = contentWidth - kPaneWidthMinimum;
  if (want > upper) return upper > 0 ? upper : 0;
  return static_cast<i32>(want);
}

template <class TPage>
class CSplitter {
 public:
  i32 leftPaneWidth = kPaneWidthDefault;
  i32 anchor = 0;  // the width less the pointer's x at the press
  i32 lastX = 0;   // the pointer's x at the press or the last drag step
  bool dragging = false;
  TPage* page = nullptr;
  CSettingsKey settings;

  // The divider strip, bounds included: W <= x <= W + 4, 96 <= y <= ch - 32.
  bool OnDivider(const Point& p) const {
    const Rect c = page->GetContentRect();
    return p.x >= leftPaneWidth && p.x <= leftPaneWidth + 4 && p.y >= 96 && p.y <= c.bottom - 32;
  }

  // The stored width, limited to the page's current content; the default
  // when none is stored.
  void LoadWidth() {
    u32 stored = 0;
    if (!settings.ReadDword(u"\\Explorer", u"LeftPaneLength", &stored)) return;
    leftPaneWidth = ClampPaneWidth(static_cast<i32>(stored), page->GetContentRect().right);
  }

  void OnMouseMove(i32, Point* p) {
    if (!dragging) {
      SetCursorOwner(page, OnDivider(*p) ? kCursorSizeWestEast : kCursorArrow, true);
      return;
    }
    SetCursorOwner(page, kCursorSizeWestEast, true);
    if (p->x == lastX) return;
    const i32 next = ClampPaneWidth(static_cast<i64>(anchor) + p->x, page->GetContentRect().right);
    lastX = p->x;
    if (next == leftPaneWidth) return;
    leftPaneWidth = next;
    settings.WriteDword(u"\\Explorer", u"LeftPaneLength", static_cast<u32>(next));  // a failure keeps the drag going
    page->LayoutPanes();
  }
  void OnLeftDown(i32, Point* p) {
    if (!OnDivider(*p)) return;
    SetCursorOwner(page, kCursorSizeWestEast, true);
    dragging = true;
    if (!CaptureOwner()) {
      InstallCaptureHandlers(true);
      TakeSystemCapture(page->Window().Handle());
    }
    anchor = leftPaneWidth - p->x;
    lastX = p->x;
  }
  void OnLeftUp(i32, Point*) {
    if (!dragging) return;
    dragging = false;
    InstallCaptureHandlers(false);
  }
  // Another window took the mouse: its release will not come here, so the
  // drag ends now, where the divider stands.
  void OnCaptureLost() { OnLeftUp(0, nullptr); }
  // Fills the capture table for the drag (the other events ignored), or
  // empties it.
  void InstallCaptureHandlers(bool install) {
    if (!install) {
      CaptureTable::Uninstall(page);
      return;
    }
    CCaptureSet set(this);
    set.On<CSplitter, &CSplitter::OnMouseMove>(kCaptureMove)
        .template On<CSplitter, &CSplitter::OnLeftDown>(kCaptureLeftDown)
        .template On<CSplitter, &CSplitter::OnLeftUp>(kCaptureLeftUp)
        .template OnLost<CSplitter, &CSplitter::OnCaptureLost>()
        .template Translate<CWidget, &CWidget::WindowToLocal>(page);
    CaptureTable::Install(set, page);
  }
};
