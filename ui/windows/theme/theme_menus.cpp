// The theme's menus and bars: popup-menu background and rows, the menu
// bar's background and items, and the status bar's background and items.
#include "render/text/font.h"
#include "ui/windows/theme/theme_draw.h"

using namespace theme_draw;

namespace {

// The soft white glow of a hot row or bar item over its rectangle inset by
// half a pixel: an elliptic glow from the bottom edge and a gloss from the
// middle up.
void HotGlow(CCanvas* canvas, double x0, double y0, double x1, double y1) {
  const double h = y1 - y0;
  const i32 k = static_cast<i32>(h) / 2;
  canvas->FillRoundRectEllipticGradient(x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5, 2,
                                        Elliptic((x0 + x1) / 2, y0 + 0.5, (x1 - x0 - 1) / 2, (h - 1) / 2,
                                                 0xFFFFFFFFu, 0x20FFFFFFu));
  canvas->FillRoundRectGradientY(x0 + 0.5, y0 + k - 1, x1 - 0.5, y1 - 0.5, 2,
                                 Linear(0x20FFFFFFu, 0xFFFFFFFFu, y0 + k - 1, y1 - 0.5));
}

}  // namespace

void CThemePainter::DrawMenuBackground(CCanvas* canvas, i32 w, i32 h, i32 band) {
  if (!canvas) return;
  const i32 m = ThemeMenuSpacing();
  const u32 panel = ThemePanelColor();
  canvas->FrameRoundRect(0, 0, w, h, 3, m + 1, panel);
  canvas->FrameRoundRect(0, 0, w, h, 3, 1, Opaque(panel));
  canvas->FillRotatedRoundRect(m, m, w - m, h - m, 3, 0, Opaque(panel));
  if (band > 0)
    canvas->FillRectGradientX(m, m, band + m + 2, h - m, Linear(Opaque(panel), ThemeTintColor(), m, band + m + 2));
  canvas->FrameRoundRect(m, m, w - m, h - m, 3, 1, ThemeTintColor());
}

void CThemePainter::DrawMenuItem(CCanvas* canvas, const Rect& item, u32 state, const wchar16* text, i32 length,
                                 i32 imageFrame) {
  if (!canvas) return;
  const i32 x0 = item.left, y0 = item.top, x1 = item.right, y1 = item.bottom;
  const i32 h = y1 - y0, k = h / 2;
  if (state & kMenuSeparator) {
    canvas->FillRect(x0, y0 + k, x1 - k, y0 + k + 1, ThemeItemFrameColor());
    return;
  }
  const bool disabled = (state & kLookDisabled) != 0;
  if ((state & kLookHot) && !disabled) {
    canvas->FillRotatedRoundRect(x0, y0, x1, y1, 2, 0, ThemeItemFrameColor());
    HotGlow(canvas, x0, y0, x1, y1);
  }
  if (state & kMenuSubmenu) canvas->FillCircle(x1 - k, y0 + k, h / 6, 0xFF000000u);
  if (text) {
    // The text up to its first tab; the shortcut after it against the
    // right edge. Without a length both run to the terminator.
    const i32 m = ThemeMenuSpacing();
    const wchar16* tab = FindCharN(text, u'\t', length >= 0 ? length : 4096);
    const i32 before = tab ? static_cast<i32>(tab - text) : (length >= 0 ? length : -1);
    const u32 colour = disabled ? ThemeMenuHotColor() : ThemeMenuTextColor();
    const double left = x0 + h + m, right = x1 - k - m;
    DrawTextInColour(canvas, left, y0, right, y1, text, before, kTextOneLineCentred, colour);
    if (tab) {
      const i32 rest = length >= 0 ? length - before - 1 : -1;
      DrawTextInColour(canvas, left, y0, right, y1, tab + 1, rest, kTextOneLineCentred | kTextRight, colour);
    }
  }
  if (imageFrame >= 0) {
    if (const CImageStrip* strip = StripFor(canvas, disabled, imageFrame)) {
      const i32 fw = static_cast<i32>(strip->frameWidth), fh = static_cast<i32>(strip->frameHeight);
      strip->DrawFrame(canvas, imageFrame, x0 + (h - fw) / 2, y0 + (h - fh) / 2, 1.0);
    }
  } else if (imageFrame != -1) {
    const double dx = x0 + (h - ThemeCheckBoxSize()) / 2 - 1, dy = y0;
    canvas->originX += dx;
    canvas->originY += dy;
    DrawCheckBox(canvas, x1 - k - x0, h, imageFrame == -2 ? kCheckTicked : 0, nullptr, 0);
    canvas->originX -= dx;
    canvas->originY -= dy;
  }
}

void CThemePainter::DrawMenuBarBackground(CCanvas* canvas, u32 state, i32 w, i32 h) {
  if (!canvas) return;
  if (state & 0x2) {
    canvas->FillRoundRect(0, 0, w, h, 3, ThemeMenuBarColor());
    canvas->FillRoundRectGradientY(0, h / 2.0, w, h, 3, Linear(0x60FFFFFFu, 0xE0FFFFFFu, h / 2.0, h));
    canvas->FillRoundRectEllipticGradient(0, 0, w, h, 3, Elliptic(w / 2.0, 0, w / 2.0, h / 2.5, 0xFFFFFFFFu, 0x80FFFFFFu));
  }
  if (state & 0x1) canvas->FrameRoundRect(0, 0, w, h, 3, 1, ThemeAccentColor());
}

void CThemePainter::DrawMenuBarItem(CCanvas* canvas, const Rect& item, u32 state, const wchar16* text, i32 length,
                                    i32 imageFrame) {
  if (!canvas) return;
  const i32 x0 = item.left, y0 = item.top, x1 = item.right, y1 = item.bottom, h = y1 - y0;
  const bool disabled = (state & kBarItemDisabled) != 0;
  if ((state & kBarItemHot) && !disabled) {
    canvas->FillRotatedRoundRect(x0, y0, x1, y1, 2, 0, ThemeMenuBarColor());
    if (state & kBarItemOpen) {
      canvas->FillRoundRectGradientY(x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5, 2,
                                     Linear(0xC0E0E0E0u, 0x00E0E0E0u, y0 + 0.5, y1 - 0.5));
      canvas->FillRoundRectGradientY(x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5, 2,
                                     Linear(0xA4FFFFFFu, 0x80808080u, y0 + 0.5, y1 - 0.5));
    } else {
      canvas->FillRoundRectEllipticGradient(x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5, 2,
                                            Elliptic((x0 + x1) / 2.0, y0 + 0.5, (x1 - x0 - 1) / 2.0, (h - 1) / 2.0,
                                                     0xFFFFFFFFu, 0x20FFFFFFu));
      canvas->FillRoundRectGradientY(x0 + 0.5, y0 + h / 2.0 - 1, x1 - 0.5, y1 - 0.5, 2,
                                     Linear(0x20FFFFFFu, 0xFFFFFFFFu, y0 + h / 2.0 - 1, y1 - 0.5));
    }
  }
  const bool hasText = text && length != 0;
  i32 left = x0;
  if (const CImageStrip* strip = StripFor(canvas, disabled, imageFrame)) {
    const i32 fw = static_cast<i32>(strip->frameWidth), fh = static_cast<i32>(strip->frameHeight);
    const i32 x = hasText ? x0 + ThemeMenuBarItemGap() : (x0 + x1) / 2 - fw / 2;
    strip->DrawFrame(canvas, imageFrame, x, y0 + (h - fh) / 2, 1.0);
    left = x0 + fw;
  }
  if (hasText) canvas->DrawTextInRect(left, y0, x1, y1, text, length, kTextOneLineCentred | kTextCentre);
}

void CThemePainter::DrawBarBackground(CCanvas* canvas, i32 w, i32 h, bool grip) {
  if (!canvas) return;
  const ThemePaintState* state = ThemeStateOf(canvas);
  const u32 frame = state && state->frameColor ? state->frameColor : ThemeTintColor();
  canvas->FillRect(0, 0, w, h, frame);
  if (!grip) return;
  for (i32 r = 4; r <= 16; r += 4) {
    canvas->FillRing(w, 0, r, 1, 0xE0808080u);
    canvas->FillRing(w, 0, r + 1, 1, 0xFFFFFFFFu);
  }
}

void CThemePainter::DrawBarItem(CCanvas* canvas, const Rect& item, const wchar16* text, i32 length, i32 imageFrame) {
  if (!canvas) return;
  const i32 x0 = item.left, y0 = item.top, x1 = item.right, y1 = item.bottom;
  canvas->FillRoundRectGradientY(x0, y0, x1, y1, 3, Linear(0x80FFFFFFu, 0xE0FFFFFFu, y0, y1));
  canvas->FrameRoundRect(x0, y0, x1, y1, 3, 1, ThemeAccentColor());
  i32 x = x0 + 5;
  if (const CImageStrip* strip = StripFor(canvas, false, imageFrame)) {
    const i32 fw = static_cast<i32>(strip->frameWidth), fh = static_cast<i32>(strip->frameHeight);
    strip->DrawFrame(canvas, imageFrame, x, y0 + (y1 - y0 - fh) / 2, 1.0);
    x += fw + 4;
  }
  if (text) canvas->DrawTextInRect(x, y0, x1 - 5, y1, text, length, kTextOneLineCentred);
}
