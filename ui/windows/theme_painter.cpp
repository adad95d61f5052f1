// The built-in painter's drawing: plain fills for frames, captions, caption
// buttons and push buttons in the theme's colours. The process-wide painter
// pointer lives here too.
#include <cmath>

#include "render/canvas.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"
#include "ui/windows/theme_metrics.h"
#include "ui/windows/theme_painter.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr u32 kTitleColor = 0xC0FFFFFFu;
constexpr u32 kGlyphDark = 0xE0404040u;
constexpr u32 kGlyphLight = 0xFFFFFFFFu;

class CBuiltInThemePainter final : public CThemePainter {};

CBuiltInThemePainter g_builtIn;
CThemePainter* g_painter = nullptr;

u32 WithAlpha(u32 colour, u32 alpha) { return (colour & 0x00FFFFFFu) | (alpha << 24); }

// Each of red, green and blue moved by amount towards white (positive) or
// black (negative), alpha kept.
u32 Shade(u32 colour, double amount) {
  u32 out = colour & 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    double c = ((colour >> shift) & 0xFF) / 255.0;
    c = amount >= 0 ? c + (1.0 - c) * amount : c * (1.0 + amount);
    out |= static_cast<u32>(c * 255.0) << shift;
  }
  return out;
}

// Length of the text before its first tab (a shortcut column is not drawn
// on a face); -1 measures up to the terminating zero.
i32 LabelLength(const wchar16* text, i32 length) {
  if (!text) return 0;
  i32 n = 0;
  while ((length < 0 || n < length) && n < 4096 && text[n] != 0 && text[n] != u'\t') ++n;
  return n;
}

// The caption buttons from the right edge inward, each 19 pixels high.
void DrawCaptionButtons(CCanvas* canvas, i32 w, i32 h, u32 style, i32 state) {
  i32 right = w - 5;
  const i32 y0 = h - 19;
  if (style & kFlagCloseButton) {
    const i32 left = right - 42;
    const bool hot = (state & kCaptionClose) != 0;
    canvas->FillRoundRect(left, y0, right, h + 5, 3, hot ? ThemeCloseHotColor() : 0x60FFFFFFu);
    const double cx = left + 21, cy = y0 + 9.5;
    const u32 ink = hot ? kGlyphLight : kGlyphDark;
    canvas->FillRotatedRoundRect(cx - 8, cy - 2, cx + 8, cy + 2, 1, kPi / 4, ink);
    canvas->FillRotatedRoundRect(cx - 8, cy - 2, cx + 8, cy + 2, 1, -kPi / 4, ink);
    right = left;
  }
  if (style & kFlagMaximizeButton) {
    const i32 left = right - 24;
    const bool hot = (state & kCaptionMaximize) != 0;
    canvas->FillRect(left, y0, right, h, hot ? ThemeCaptionButtonColor() : 0x60FFFFFFu);
    canvas->FrameRoundRect(left + 5, y0 + 4, right - 5, h - 4, 1, 2, hot ? kGlyphLight : kGlyphDark);
    right = left;
  }
  if (style & kFlagMinimizeButton) {
    const i32 left = right - 24;
    const bool hot = (state & kCaptionMinimize) != 0;
    canvas->FillRect(left, y0, right, h, hot ? ThemeCaptionButtonColor() : 0x60FFFFFFu);
    canvas->FillRect(left + 5, y0 + 4, right - 5, y0 + 7, hot ? kGlyphLight : kGlyphDark);
  }
}

}  // namespace

CThemePainter* ThemePainter() { return g_painter ? g_painter : &g_builtIn; }
void SetThemePainter(CThemePainter* painter) { g_painter = painter; }
CThemePainter* BuiltInThemePainter() { return &g_builtIn; }

void CThemePainter::DrawFrame(CCanvas* canvas, i32 w, i32 h, u32 style, bool fill,
                              i32 captionState, const CBitmap* image, const wchar16* title) {
  (void)image;
  if (!canvas) return;
  const bool maximized = (style & kFlagMaximized) != 0;
  const u32 frame = maximized ? WithAlpha(ThemeTintColor(), 0xFF) : ThemeTintColor();
  if (style & (kFlagSizable | kFlagPanelFrame)) canvas->FrameRoundRect(0, 0, w, h, 5, 5, frame);
  if (style & kFlagCaption) canvas->FillRect(5, h - 25, w - 5, h - 5, frame);
  Rect c;
  GetContentRect(&c, w, h, style);
  if (fill) canvas->FillRect(c.left, c.top, c.right, c.bottom, (style & kFlagPanelFrame) ? ThemeWindowColor() : ThemeWhite());
  if (style & (kFlagInset | kFlagBorderInset)) {
    const u32 line = ThemeAccentColor();
    canvas->FillRect(c.left - 1, c.top - 1, c.right + 1, c.top, line);
    canvas->FillRect(c.left - 1, c.top, c.left, c.bottom, line);
    canvas->FillRect(c.left - 1, c.bottom, c.right + 1, c.bottom + 1, line);
    canvas->FillRect(c.right, c.top, c.right + 1, c.bottom, line);
  }
  const bool buttons = !(style & kFlagNoCaptionButtons) && (style & kFlagCaptionButtons);
  if (buttons) DrawCaptionButtons(canvas, w, h, style, captionState);
  if (title) {
    const u32 savedColour = canvas->textColour;
    CFont* savedFont = canvas->font;
    if (savedFont) savedFont->AddRef();  // SetFont releases the canvas's reference
    if (UiFontBold()) canvas->SetFont(UiFontBold());
    canvas->textColour = kTitleColor;
    canvas->DrawTextInRect(5, h - 24, w - 5, h - 5, title, -1, kTextOneLineCentred);
    canvas->textColour = savedColour;
    canvas->SetFont(savedFont);
    if (savedFont) savedFont->Release();
  }
  if (style & (kFlagSizable | kFlagPanelFrame)) canvas->FrameRoundRect(0, 0, w, h, 5, 1, 0xA0FFFFFFu);
}

void CThemePainter::DrawCaption(CCanvas* canvas, i32 w, i32 h, u32 style, i32 captionState) {
  if (!canvas) return;
  Rect r;
  GetCaptionRect(&r, w, h, style);
  i32 left, bottom, right, top;
  canvas->GetClipRect(&left, &bottom, &right, &top);
  if (canvas->SetClipRect(r.left, r.top, r.right, r.bottom))
    DrawFrame(canvas, w, h, style, false, captionState, nullptr, nullptr);
  canvas->SetClipRect(left, bottom, right, top);
}

void CThemePainter::DrawButton(CCanvas* canvas, i32 w, i32 h, u32 state, const wchar16* text,
                               i32 length, i32 imageFrame, u32 colour) {
  (void)imageFrame;
  if (!canvas) return;
  const u32 base = colour ? colour : ThemeButtonFaceColor();
  u32 face = base;
  if (state & kLookDisabled)
    face = Shade(base, 0.5);
  else if (state & kLookDefault)
    face = Shade(base, -0.35);
  canvas->FillRoundRect(0, 0, w, h, 5, face);
  if (state & kLookPressed)
    canvas->FillRoundRect(0, 0, w, h, 5, 0x40000000u);
  else if (state & kLookHot)
    canvas->FillRoundRect(0, h / 2.0, w, h, 5, 0x60FFFFFFu);
  const u32 outline = Shade(base, -0.25) | 0xFF000000u;
  canvas->FrameRoundRect(0, 0, w, h, 5, 1, outline);
  if (state & kLookFocused) canvas->FrameRoundRect(1, 1, w - 1, h - 1, 4, 1, 0xC0000000u);
  const i32 n = LabelLength(text, length);
  if (n > 0) {
    const u32 saved = canvas->textColour;
    canvas->textColour = (state & kLookDisabled) ? ThemeBorderColor() : ThemeTextColor();
    const i32 inset = ThemeButtonTextInset();
    canvas->DrawTextInRect(inset, 0, w - inset, h - inset, text, n, kTextCentre | kTextOneLineCentred);
    canvas->textColour = saved;
  }
}
