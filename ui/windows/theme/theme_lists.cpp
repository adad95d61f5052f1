// The theme's list rows: the drop-down popup's item and the tree's row with
// its icon, highlight and expander box.
#include "render/text/font.h"
#include "runtime/wide_string.h"
#include "ui/windows/theme/theme_draw.h"

using namespace theme_draw;

void CThemePainter::DrawListItem(CCanvas* canvas, const Rect& r, u32 state, const wchar16* text, i32 length) {
  if (!canvas) return;
  canvas->FillRect(r.left, r.top, r.right, r.bottom, ThemeWhite());
  if (state & kLookSelected) DrawItemHighlight(canvas, r, 2, ThemeItemHotColor(), true, 1);
  if (text) DrawTextInColour(canvas, r.left + 3, r.top, r.right, r.bottom, text, length, kTextOneLineCentred, ThemeTextColor());
}

void CThemePainter::DrawListRow(CCanvas* canvas, const Rect& r, u32 state, const wchar16* text, i32 length,
                                i32 imageFrame) {
  if (!canvas) return;
  const i32 x0 = r.left, y0 = r.top, x1 = r.right, y1 = r.bottom, h = y1 - y0;
  if (text && length < 0) length = GetStringLength(text, kTextCap);
  double tw = 0;
  if (canvas->font && text && length > 0) tw = Ceil(canvas->font->MeasureText(text, length));
  const CImageStrip* strip = StripFor(canvas, false, imageFrame);
  const double tx = strip ? x0 + strip->frameWidth + 4.0 : x0;
  const i32 pad = ThemeTextPadding();
  if (state & kRowSelected)
    DrawItemHighlight(canvas, Rect{static_cast<i32>(tx), y0, static_cast<i32>(tx + tw + 2 * pad), y1}, 2,
                      ThemeItemHotColor(), true, 0.5);
  else if (state & kRowHot)
    DrawItemHighlight(canvas, r, 2, ThemeItemHotColor(), true, 0.5);
  if (strip) strip->DrawFrame(canvas, imageFrame, x0 + 2, y0 + (h - static_cast<i32>(strip->frameHeight)) / 2, 1.0);
  if (state & (kRowCollapsed | kRowExpanded)) {
    const i32 cx = x0 - h / 2, cy = y0 + h / 2;
    DrawItemHighlight(canvas, Rect{cx - 5, cy - 5, cx + 6, cy + 6}, 1, ThemeItemFrameColor(), true, 0.5);
    canvas->FillRect(cx - 2, cy, cx + 3, cy + 1, ThemeMenuTextColor());
    if (state & kRowCollapsed) canvas->FillRect(cx, cy - 2, cx + 1, cy + 3, ThemeMenuTextColor());
  }
  if (!(state & kRowNoText) && text)
    DrawTextInColour(canvas, tx + pad, y0, x1 - pad, y1, text, length, kTextOneLineCentred, ThemeTextColor());
}
