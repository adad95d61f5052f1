// The theme's geometry: content rectangle, scroll-bar bands, the frame hit
// test and the caption-button area. Every frame (window, control, view)
// goes through these four.
#include "ui/windows/theme/theme_metrics.h"
#include "ui/windows/theme/theme_painter.h"

namespace {

constexpr i32 kBorder = 5;         // sizable or panel frame margin
constexpr i32 kCaptionHeight = 20;  // caption band inside the frame
constexpr i32 kButtonRow = 19;      // caption buttons' height at the top
constexpr i32 kCloseWidth = 42;
constexpr i32 kButtonWidth = 24;
constexpr i32 kCornerReach = 10;    // corner codes reach this far along an edge
constexpr i32 kCaptionReach = 25;   // the caption hit band from the top

void Inset(Rect* r, i32 d) {
  r->left += d;
  r->top += d;
  r->right -= d;
  r->bottom -= d;
}

// x in [x0, x1) and y in [y0, y1).
bool Inside(i32 x, i32 y, i32 x0, i32 y0, i32 x1, i32 y1) {
  return x >= x0 && x < x1 && y >= y0 && y < y1;
}

}  // namespace

Rect* CThemePainter::GetContentRect(Rect* out, i32 w, i32 h, u32 style) {
  const bool maximized = (style & kFlagMaximized) != 0;
  Rect r = {0, 0, w, h};
  if (style & (kFlagSizable | kFlagPanelFrame)) {
    if (maximized)
      r.bottom = h - kBorder;
    else
      Inset(&r, kBorder);
  }
  if (style & kFlagCaption)
    r.bottom -= kCaptionHeight;
  else if ((style & kFlagBorderInset) && !maximized)
    Inset(&r, 1);
  if ((style & kFlagInset) && !maximized) Inset(&r, 1);
  const i32 t = ThemeScrollBarSize();
  if (style & kFlagHScroll) r.top += t;
  if (style & kFlagVScroll) r.right -= t;
  *out = r;
  return out;
}

Rect* CThemePainter::GetScrollBarRect(i32 axis, Rect* out, i32 w, i32 h, u32 style) {
  Rect c;
  GetContentRect(&c, w, h, style);
  const i32 t = ThemeScrollBarSize();
  if (axis == 1)
    *out = {c.left, c.top - t, c.right, c.top};
  else
    *out = {c.right, c.top, c.right + t, c.bottom};
  return out;
}

i32 CThemePainter::HitTestFrame(i32 x, i32 y, i32 w, i32 h, u32 style) {
  if (!Inside(x, y, 0, 0, w, h)) return kHitNowhere;
  if (!(style & kFlagNoCaptionButtons) && y >= h - kButtonRow) {
    i32 right = w - kBorder;
    if (style & kFlagCloseButton) {
      if (x >= right - kCloseWidth && x < right) return kHitClose;
      right -= kCloseWidth;
    }
    if (style & kFlagMaximizeButton) {
      if (x >= right - kButtonWidth && x < right) return kHitMaximize;
      right -= kButtonWidth;
    }
    if ((style & kFlagMinimizeButton) && x >= right - kButtonWidth && x < right)
      return kHitMinimize;
  }
  const bool maximized = (style & kFlagMaximized) != 0;
  const bool sizable = (style & kFlagSizable) != 0;
  if (!maximized && sizable) {
    if (x < kBorder) return y < kCornerReach ? kHitBottomLeft : y > h - kCornerReach ? kHitTopLeft : kHitLeft;
    if (x > w - kBorder)
      return y < kCornerReach ? kHitBottomRight : y > h - kCornerReach ? kHitTopRight : kHitRight;
    if (y < kBorder)
      return x < kCornerReach ? kHitBottomLeft : x > w - kCornerReach ? kHitBottomRight : kHitBottom;
    if (y > h - kBorder) return x < kCornerReach ? kHitTopLeft : x > w - kCornerReach ? kHitTopRight : kHitTop;
    return y > h - kCaptionReach ? kHitCaption : kHitClient;
  }
  if (!maximized && (style & kFlagCaption) && y > h - kCaptionReach && x > kBorder && x < w - kBorder)
    return kHitCaption;
  const i32 t = ThemeScrollBarSize();
  if (style & kFlagHScroll) {
    Rect bar = sizable ? Rect{kBorder, kBorder, w - kBorder, t + kBorder} : Rect{0, 0, w, t};
    if (style & kFlagVScroll) bar.right -= t;
    if (Inside(x, y, bar.left, bar.top, bar.right, bar.bottom)) return kHitHScroll;
  }
  if (style & kFlagVScroll) {
    Rect bar = sizable ? Rect{w - t - kBorder, kBorder, w - kBorder, h - kBorder} : Rect{w - t, 0, w, h};
    if (style & (kFlagCaption | kFlagCloseButton)) bar.bottom -= kCaptionHeight;
    if (style & kFlagHScroll) bar.top += t;
    if (Inside(x, y, bar.left, bar.top, bar.right, bar.bottom)) return kHitVScroll;
  }
  return kHitClient;
}

Rect* CThemePainter::GetCaptionRect(Rect* out, i32 w, i32 h, u32 style) {
  i32 left = (style & kFlagCloseButton) ? w - kBorder - kCloseWidth : w - kBorder;
  if (style & kFlagMinimizeButton) left -= kButtonWidth;
  if (style & kFlagMaximizeButton) left -= kButtonWidth;
  *out = {left - 2, h - kCaptionHeight, w - 3, h - 1};
  return out;
}
