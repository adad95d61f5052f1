#include "ui/views/text_edit_painter.h"

#include "render/canvas.h"
#include "render/color.h"
#include "render/text/font.h"
#include "ui/views/control_painters.h"
#include "ui/widgets/edit_text.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

u32 WithAlpha(u32 colour, u32 alpha) { return (colour & 0x00FFFFFFu) | (alpha << 24); }

}  // namespace

void PaintTextEdit(CCanvas& canvas, const CEditText& e, i32 w, i32 h, bool focused) {
  const u32 background = focused ? ThemeEditColor() : WithAlpha(ThemeEditColor(), 0xBF);
  canvas.FillRoundRect(0, 0, w, h, 3.0, background);
  CFont* font = e.TextFont() ? e.TextFont() : canvas.font;
  if (font) {
    CCanvasFontScope scope(canvas, font);
    const i32 n = e.Length();
    const auto bound = [n](i32 v) { return v < 0 ? 0 : (v > n ? n : v); };
    const i32 f = bound(e.firstVisible), caret = bound(e.caret);
    const wchar16* text = e.text.c_str();
    const double m = ThemeTextPadding();
    const double lh = font->lineHeight;
    const double yBox = (h - lh) / 2, yText = (h - static_cast<double>(font->size)) / 2;
    const auto width = [&](i32 from, i32 to) { return to > from ? font->MeasureText(text + from, to - from) : 0.0; };
    const double tw = width(f, n);
    double x = m;
    if (w - 2 * m > tw) {
      if (e.options & kEditCentre)
        x = (w - tw) / 2;
      else if (e.options & kEditAlignRight)
        x = w - m - tw;
    }
    if (n - f > 0) {
      const i32 s = bound(e.SelectionLow()), end = bound(e.SelectionHigh());
      if (focused && s < end && f < end) {
        i32 first = f;
        double x0 = x;
        if (s != 0 && s > f) {
          canvas.DrawText(x, yText, text + f, s - f);
          x0 = x + width(f, s);
          first = s;
        }
        const double x1 = x0 + width(first, end);
        canvas.FillRoundRect(x0 - 1, Floor(yBox - 1), x1 + 2, Ceil(yBox + lh + 1), 2.0, ThemeSelectionColor());
        const u32 saved = canvas.textColour;
        canvas.textColour = ThemeSelectedTextColor();
        canvas.DrawText(x0, yText, text + first, end - first);
        canvas.textColour = saved;
        if (end < n) canvas.DrawText(x1, yText, text + end, n - end);
      } else {
        canvas.DrawText(x, yText, text + f, n - f);
      }
    }
    if (focused && (e.state & kEditCaretShown)) {
      const double cx = Floor(x + width(0, caret) - width(0, f));
      canvas.FillRect(cx, yBox, cx + 1, yBox + lh, 0xFF000000u);
    }
  }
  const u32 border = focused ? ThemeAccentColor() : WithAlpha(ThemeAccentColor(), 0x7F);
  canvas.FrameRoundRect(0, 0, w, h, 3.0, 1.0, border);
}
