// Plain drawings of popup menus and menu bars (flat fills, text, no
// images), until the theme's own drawing of them lands.
#include "render/canvas.h"
#include "render/text/text_layout.h"
#include "ui/windows/theme_metrics.h"
#include "ui/windows/theme_painter.h"

namespace {

// The part of a text before its first tab, and where the part after it
// starts (-1 without a tab).
i32 SplitAtTab(const wchar16* text, i32 length, i32* rest) {
  *rest = -1;
  if (!text || length <= 0) return 0;
  for (i32 i = 0; i < length && i < 4096; ++i) {
    if (text[i] == u'\t') {
      *rest = i + 1;
      return i;
    }
  }
  return length;
}

}  // namespace

void CThemePainter::SetIcon(const CImageStrip*, const CImageStrip*) {}

void CThemePainter::DrawMenuBackground(CCanvas* canvas, i32 w, i32 h, i32 band) {
  if (!canvas) return;
  const i32 m = ThemeMenuSpacing();
  const u32 panel = ThemePanelColor() | 0xFF000000u;
  canvas->FillRoundRect(0, 0, w, h, 3, panel);
  if (band > 0) canvas->FillRect(m, m, band + m + 2, h - m, ThemeTintColor());
  canvas->FrameRoundRect(m, m, w - m, h - m, 3, 1, ThemeTintColor());
  canvas->FrameRoundRect(0, 0, w, h, 3, 1, ThemeAccentColor());
}

void CThemePainter::DrawMenuItem(CCanvas* canvas, const Rect* item, u32 state, const wchar16* text, i32 length,
                                 i32) {
  if (!canvas || !item) return;
  const i32 h = item->bottom - item->top;
  const i32 k = h / 2;
  if (state & 0x8) {
    canvas->FillRect(item->left, item->top + k, item->right - k, item->top + k + 1, ThemeItemFrameColor());
    return;
  }
  if ((state & 0x2) && !(state & 0x1))
    canvas->FillRoundRect(item->left, item->top, item->right, item->bottom, 2, ThemeItemFrameColor());
  if (state & 0x10) canvas->FillCircle(item->right - k, item->top + k, h / 6, 0xFF000000u);
  i32 rest = -1;
  const i32 left = SplitAtTab(text, length, &rest);
  const u32 saved = canvas->textColour;
  canvas->textColour = (state & 0x1) ? ThemeMenuHotColor() : ThemeMenuTextColor();
  const i32 m = ThemeMenuSpacing();
  const double x0 = item->left + h + m, x1 = item->right - k - m;
  if (left > 0) canvas->DrawTextInRect(x0, item->top, x1, item->bottom, text, left, kTextOneLineCentred);
  if (rest >= 0 && rest < length)
    canvas->DrawTextInRect(x0, item->top, x1, item->bottom, text + rest, length - rest,
                           kTextOneLineCentred | kTextRight);
  canvas->textColour = saved;
}

void CThemePainter::DrawMenuBarBackground(CCanvas* canvas, u32 state, i32 w, i32 h) {
  if (!canvas) return;
  if (state & 0x2) canvas->FillRoundRect(0, 0, w, h, 3, ThemeMenuBarColor());
  if (state & 0x1) canvas->FrameRoundRect(0, 0, w, h, 3, 1, ThemeAccentColor());
}

void CThemePainter::DrawMenuBarItem(CCanvas* canvas, const Rect* item, u32 state, const wchar16* text, i32 length,
                                    i32) {
  if (!canvas || !item) return;
  if ((state & 0x4) && !(state & 0x2))
    canvas->FillRoundRect(item->left, item->top, item->right, item->bottom, 2,
                          (state & 0x8) ? ThemeItemFrameColor() : ThemeMenuBarColor());
  if (!text || length <= 0) return;
  const u32 saved = canvas->textColour;
  canvas->textColour = (state & 0x2) ? ThemeBorderColor() : ThemeMenuTextColor();
  canvas->DrawTextInRect(item->left, item->top, item->right, item->bottom, text, length,
                         kTextOneLineCentred | kTextCentre);
  canvas->textColour = saved;
}
