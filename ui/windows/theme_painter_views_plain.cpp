// Plain drawings of the view controls' theme operations: flat fills and the
// text, enough to see and test the views until the theme draws them.
#include "render/canvas.h"
#include "render/image_strip.h"
#include "render/text/text_layout.h"
#include "ui/windows/theme_metrics.h"
#include "ui/windows/theme_painter.h"

void CThemePainter::SetScrollState(CCanvas*, const ScrollBarState*, i32) {}

void CThemePainter::SetIcon(CCanvas*, const CImageStrip*, const CImageStrip*) {}

void CThemePainter::DrawDropDown(CCanvas* canvas, i32 w, i32 h, u32 state, const wchar16* text, i32 length) {
  if (!canvas) return;
  canvas->FillRoundRect(0, 0, w, h, 3, (state & kLookPressed) ? ThemePanelColor() | 0xFF000000u : ThemeWhite());
  if (state & kLookOpen) canvas->FrameRoundRect(0, 0, w, h, 3, 1, ThemeAccentColor());
  if (text && length > 0 && !(state & kLookPressed)) {
    const i32 arrow = ThemeControlSize();
    canvas->DrawTextInRect(6, 0, w - arrow - 3, h, text, length, kTextOneLineCentred);
  }
}

void CThemePainter::DrawListItem(CCanvas* canvas, const Rect& r, u32 state, const wchar16* text, i32 length) {
  if (!canvas) return;
  canvas->FillRect(r.left, r.top, r.right, r.bottom, ThemeWhite());
  if (state & kLookSelected) DrawItemHighlight(canvas, r, 2, ThemeItemHotColor(), true, 1);
  if (text && length > 0) canvas->DrawTextInRect(r.left + 3, r.top, r.right, r.bottom, text, length, kTextOneLineCentred);
}

void CThemePainter::DrawListRow(CCanvas* canvas, const Rect& r, u32 state, const wchar16* text, i32 length, i32) {
  if (!canvas) return;
  if (state & kRowSelected) DrawItemHighlight(canvas, r, 2, ThemeItemHotColor(), true, 0.5);
  if (state & (kRowCollapsed | kRowExpanded)) {
    const double cx = r.left - (r.bottom - r.top) / 2, cy = r.top + (r.bottom - r.top) / 2;
    canvas->FillRect(cx - 2, cy, cx + 3, cy + 1, ThemeMenuTextColor());
    if (state & kRowCollapsed) canvas->FillRect(cx, cy - 2, cx + 1, cy + 3, ThemeMenuTextColor());
  }
  if (text && length > 0 && !(state & kRowNoText)) {
    const i32 pad = ThemeTextPadding();
    canvas->DrawTextInRect(r.left + pad, r.top, r.right - pad, r.bottom, text, length, kTextOneLineCentred);
  }
}

void CThemePainter::DrawItemHighlight(CCanvas* canvas, const Rect& r, double radius, u32 colour, bool, double) {
  if (canvas) canvas->FillRoundRect(r.left, r.top, r.right, r.bottom, radius, colour);
}
