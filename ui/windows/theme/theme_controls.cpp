// The theme's controls: push button, check box, progress bar, drop-down
// field and the glossy highlight that several of them share.
#include <cmath>

#include "render/text/font.h"
#include "ui/windows/theme/theme_draw.h"

using namespace theme_draw;

namespace {

// Each of red, green and blue lowered by 32 (not below 0), made opaque.
u32 OutlineOf(u32 base) {
  u32 out = 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    const u32 c = (base >> shift) & 0xFF;
    out |= (c > 32 ? c - 32 : 0) << shift;
  }
  return out;
}

// One bar of the check mark: its rectangle relative to the box's corner.
struct TickBar {
  double x0, y0, x1, y1, angle;
  TickBar Inset(double d) const { return {x0 + d, y0 + d, x1 - d, y1 - d, angle}; }
};

void TickBars(double bx, double by, double s, TickBar* longBar, TickBar* shortBar) {
  *longBar = {bx + 0.3 * s, by + 0.41 * s, bx + s, by + 0.59 * s, kPi / 3};
  const double cx = bx + 0.695 * s + 0.35 * s * std::sin(4 * kPi / 3);
  const double cy = by + 0.545 * s + 0.35 * s * std::cos(4 * kPi / 3);
  *shortBar = {cx - 0.21 * s, cy - 0.09 * s, cx + 0.21 * s, cy + 0.09 * s, -kPi / 4};
}

void FillBar(CCanvas* canvas, const TickBar& b, u32 colour) {
  canvas->FillRotatedRoundRect(b.x0, b.y0, b.x1, b.y1, 1, b.angle, colour);
}

void DrawTick(CCanvas* canvas, double bx, double by, double s) {
  TickBar p, q;
  TickBars(bx, by, s, &p, &q);
  FillBar(canvas, p, 0xFF000000u);
  FillBar(canvas, q, 0xFF000000u);
  FillBar(canvas, p.Inset(0.4), ThemeCheckMarkColor());
  FillBar(canvas, q.Inset(0.4), ThemeCheckMarkColor());
  const double qx = (q.x0 + q.x1) / 2, qy = (q.y0 + q.y1) / 2;
  const RadialGradientParams glow = Radial(qx + 0.21 * s * std::sin(3 * kPi / 4), qy + 0.21 * s * std::cos(3 * kPi / 4),
                                           0xE0FFFFFFu, 0, 0x20FFFFFFu, 0.35 * s);
  const TickBar pi = p.Inset(0.6), qi = q.Inset(0.6);
  canvas->FillRotatedRoundRectRadialGradient(pi.x0, pi.y0, pi.x1, pi.y1, 1, pi.angle, glow);
  canvas->FillRotatedRoundRectRadialGradient(qi.x0, qi.y0, qi.x1, qi.y1, 1, qi.angle, glow);
  const LinearGradient gloss = Linear(0x00FFFFFFu, 0xFFFFFFFFu, by + s / 3, by + s);
  FillTurnedRoundRectGradientY(canvas, pi.x0, pi.y0, pi.x1, pi.y1, 1, pi.angle, gloss);
  FillTurnedRoundRectGradientY(canvas, qi.x0, qi.y0, qi.x1, qi.y1, 1, qi.angle, gloss);
}

// Length of a text given as (text, length): -1 measures up to the zero.
i32 TextLength(const wchar16* text, i32 length) {
  if (!text) return 0;
  if (length >= 0) return length;
  i32 n = 0;
  while (n < 4096 && text[n]) ++n;
  return n;
}

}  // namespace

void CThemePainter::DrawButton(CCanvas* canvas, i32 w, i32 h, u32 state, const wchar16* text, i32 length,
                               i32 imageFrame, u32 colour) {
  if (!canvas) return;
  const u32 base = colour ? colour : ThemeButtonFaceColor();
  const bool disabled = (state & kLookDisabled) != 0, pressed = (state & kLookPressed) != 0;
  u32 face = base;
  if (disabled)
    LightenColor(&face, 0.5);
  else if (state & kLookDefault)
    LightenColor(&face, -0.35);
  canvas->FillRoundRect(0, 0, w, h, 5, face);
  const i32 inset = ThemeButtonTextInset();
  double labelLeft = inset;
  if (const CImageStrip* strip = StripFor(canvas, disabled, imageFrame)) {
    const i32 fw = static_cast<i32>(strip->frameWidth), fh = static_cast<i32>(strip->frameHeight);
    if (state & kButtonIconCentred) {
      strip->DrawFrame(canvas, imageFrame, (w - fw) / 2, (h - fh) / 2, 1.0);
    } else if (!(state & kButtonNoIcon)) {
      const i32 at = (h - fh) / 2;
      strip->DrawFrame(canvas, imageFrame, at, at, 1.0);
      labelLeft = at + fw + inset;
    }
  }
  if (state & kLookHot) {
    const i32 rx = w / 2, ry = h / 2;
    canvas->FillRoundRectEllipticGradient(0, 0, w, h, 5,
                                          Elliptic(rx, pressed ? h : 0, rx, ry, 0xE0FFFFFFu, 0x20FFFFFFu));
  }
  if (!pressed)
    canvas->FillRoundRectGradientY(0, h / 2.5, w, h, 5, Linear(0x20FFFFFFu, 0xFFFFFFFFu, h / 2.5, h - 1));
  else
    canvas->FillRoundRectGradientY(0, 0, w, h, 5, Linear(0xA4FFFFFFu, 0x80808080u, 0, h));
  const i32 n = TextLength(text, length);
  if (n > 0) {
    const u32 flags = (state & kButtonLabelCentred) ? kTextOneLineCentred | kTextCentre
                      : (state & kButtonLabelRight) ? kTextOneLineCentred | kTextRight
                                                    : kTextOneLineCentred;
    if (disabled) {
      DrawTextInColour(canvas, labelLeft + 1, -1, w - inset + 1, h - inset - 1, text, n, flags, ThemeButtonLightColor());
      DrawTextInColour(canvas, labelLeft, 0, w - inset, h - inset, text, n, flags, ThemeBorderColor());
    } else {
      DrawTextInColour(canvas, labelLeft, 0, w - inset, h - inset, text, n, flags, ThemeTextColor());
    }
  }
  canvas->FrameRoundRect(0, 0, w, h, 5, 1, OutlineOf(base));
  if (state & kLookFocused) canvas->FrameRoundRect(0, 0, w, h, 5, 1, 0xC0000000u);
}

void CThemePainter::DrawCheckBox(CCanvas* canvas, i32 w, i32 h, u32 state, const wchar16* text, i32 length) {
  if (!canvas) return;
  const i32 s = ThemeCheckBoxSize();
  const double by = (h - s) / 2.0;
  const double bx = (state & kCheckBoxRight) ? w - s : 0;
  canvas->FillRoundRectGradientY(bx, by, bx + s, by + s, 3, Linear(0x80FFFFFFu, 0x80C0C0C0u, 0, h));
  if ((state & kCheckTicked) && !(state & kLookDisabled)) DrawTick(canvas, bx, by, s);
  canvas->FrameRoundRect(bx, by, bx + s, by + s, 3, 0.5, WithAlpha(ThemeAccentColor(), 0x7F));
  if (!text || length < 0) return;
  const bool right = (state & kCheckTextRight) != 0;
  const u32 colour = (state & kLookDisabled) ? ThemeMenuHotColor()
                     : (state & kLookHot)    ? ThemeBlueColor()
                                             : ThemeTextColor();
  if (right)
    DrawTextInColour(canvas, s + 4, 0, w, h, text, length, kTextOneLineCentred, colour);
  else
    DrawTextInColour(canvas, 0, 0, w - s - 4, h, text, length, kTextOneLineCentred | kTextRight, colour);
  if (!(state & kLookHot) || !canvas->font) return;
  double left, bottom, width, height;
  canvas->font->MeasureTextBox(&left, &bottom, &width, &height, text, length);
  const double y = std::trunc(h / 2.0 - canvas->font->descender - 2);
  const double xa = right ? s + 4 : w - s - 4 - width;
  canvas->FillRect(xa, y - 1, xa + width, y, ThemeBlueColor());
}

void CThemePainter::DrawProgressBar(CCanvas* canvas, i32 w, i32 h, double fraction, u32 colour) {
  if (!canvas) return;
  canvas->FillRoundRectGradientY(0, 0, w, h, 3, Linear(0x80FFFFFFu, 0x80C0C0C0u, 0, h));
  if (fraction > 1.0) fraction = 1.0;  // NaN and negative values show nothing
  if (fraction > 0.0) {
    const double wf = w * fraction;
    canvas->FillRoundRect(0, 0, wf, h, 3, colour);
    canvas->FillRoundRectGradientY(0, h / 2.0, wf, h, 3, Linear(0x60FFFFFFu, 0xF0FFFFFFu, h / 2.0, h));
    canvas->FillRoundRectEllipticGradient(0, 0, wf, h / 2.0, 3, Elliptic(wf / 2, 2, wf, h / 2.0, 0x8080FF80u, 0x10FFFFFFu));
  }
  canvas->FrameRoundRect(0, 0, w, h, 3, 0.5, WithAlpha(ThemeAccentColor(), 0x7F));
}

void CThemePainter::DrawDropDown(CCanvas* canvas, i32 w, i32 h, u32 state, const wchar16* text, i32 length) {
  if (!canvas) return;
  if (state & kLookPressed) {  // the popup's background
    canvas->FrameRoundRect(0, 0, w, h, 3, 3, ThemePanelColor());
    canvas->FrameRoundRect(0, 0, w, h, 3, 1, Opaque(ThemePanelColor()));
    canvas->FillRotatedRoundRect(2, 2, w - 2, h - 2, 3, 0, Opaque(ThemePanelColor()));
    canvas->FrameRoundRect(2, 2, w - 2, h - 2, 3, 1, ThemeTintColor());
    return;
  }
  const bool open = (state & kLookOpen) != 0;
  DrawItemHighlight(canvas, Rect{0, 0, w, h}, 3, ThemeTintColor(), open, 1);
  const i32 m = ThemeControlSize();
  canvas->FillRect(w - m - 1, 2, w - m, h - 2, ThemeTintColor());
  canvas->FillRect(w - m, 2, w - m + 1, h - 2, ThemeButtonLightColor());
  const double cx = w - m / 2, cy = h / 2;
  const double l = m / 4;
  const double e = l * std::sin(kPi / 4) - 0.6;
  const u32 arrow = open ? ThemeTextColor() : ThemeBorderColor();
  canvas->FillRotatedRoundRect(cx - e - l, cy - 1.2, cx - e + l, cy + 1.2, 1, -kPi / 4, arrow);
  canvas->FillRotatedRoundRect(cx + e - l, cy - 1.2, cx + e + l, cy + 1.2, 1, kPi / 4, arrow);
  if (text)
    DrawTextInColour(canvas, 6, 0, w - m - 3, h, text, length, kTextOneLineCentred,
                     (state & kLookHot) ? ThemeBorderColor() : ThemeTextColor());
}

void CThemePainter::DrawItemHighlight(CCanvas* canvas, const Rect& r, double radius, u32 colour, bool selected,
                                      double inset) {
  if (!canvas) return;
  canvas->FillRoundRect(r.left, r.top, r.right, r.bottom, radius, colour);
  const double x0 = r.left + inset, y0 = r.top + inset, x1 = r.right - inset, y1 = r.bottom - inset;
  const double m = (y0 + y1) / 2;
  canvas->FillRoundRectGradientY(x0, m, x1, y1, radius, Linear(0x60FFFFFFu, 0xF0FFFFFFu, m, y1));
  if (selected)
    canvas->FillRoundRectEllipticGradient(x0, y0, x1, m, radius,
                                          Elliptic((x0 + x1) / 2, y0 + 2, x1 - x0, (y1 - y0) / 2, 0xFFFFFFFFu, 0x20FFFFFFu));
}
