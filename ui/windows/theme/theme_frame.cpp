// The theme's frames: window and panel frames, the caption band with its
// buttons, icon and title, and the one-pixel content border. The scroll
// bars of a frame are theme_scroll_bars.cpp.
#include "render/bitmap.h"
#include "render/text/font.h"
#include "ui/windows/theme/theme_draw.h"

using namespace theme_draw;

namespace {

constexpr u32 kTitleColor = 0xC0FFFFFFu;
constexpr u32 kGroupShade = 0xA0808080u;
constexpr u32 kGroupLight = 0xA0FFFFFFu;
constexpr u32 kCloseWidth = 42;
constexpr u32 kButtonWidth = 24;

bool HasCaptionButtons(u32 style) {
  return !(style & kFlagNoCaptionButtons) && (style & kFlagCaptionButtons);
}

// The hot look of the maximise and minimise buttons, first the fill and
// glow under the glyph, then the gloss over it.
void HotFill(CCanvas* canvas, i32 right, i32 h) {
  canvas->FillRect(right - 23, h - 17, right - 1, h - 1, ThemeCaptionButtonColor());
  canvas->FillRectRadialGradient(right - 23, h - 17, right - 1, h - 1,
                                 Radial(right - 12, h - 17, 0xE000FFFFu, 0, 0x00FFFFFFu, 12));
}
void HotGloss(CCanvas* canvas, i32 right, i32 h) {
  canvas->FillRectGradientY(right - 23, h - 9, right - 1, h - 1, Linear(0x80FFFFFFu, 0xE0FFFFFFu, h - 9, h - 1));
}
void Separator(CCanvas* canvas, i32 right, i32 h) {
  canvas->FillRect(right - 1, h - 17, right, h - 1, kGroupShade);
  canvas->FillRect(right, h - 17, right + 1, h - 1, kGroupLight);
}

// The close cross: a bar and its inner bar, each turned both ways.
void Cross(CCanvas* canvas, i32 w, i32 h, u32 outer, u32 inner) {
  const double turn = kPi / 6;
  canvas->FillRotatedRoundRect(w - 36, h - 12, w - 16, h - 7, 1, turn, outer);
  canvas->FillRotatedRoundRect(w - 36, h - 12, w - 16, h - 7, 1, -turn, outer);
  canvas->FillRotatedRoundRect(w - 35, h - 11, w - 17, h - 8, 1, turn, inner);
  canvas->FillRotatedRoundRect(w - 35, h - 11, w - 17, h - 8, 1, -turn, inner);
}

void CloseButton(CCanvas* canvas, i32 w, i32 h, bool hot) {
  if (!hot) return Cross(canvas, w, h, 0xE0808080u, 0xE0FFFFFFu);
  {
    CClipScope clip(canvas, w - 46, h - 17, w - 6, h - 1);
    if (clip.Empty()) return;  // nothing of the hot close button shows
    canvas->FillRoundRect(w - 52, h - 17, w - 6, h + 5, 2, ThemeCloseHotColor());
    canvas->FillRoundRectRadialGradient(w - 52, h - 17, w - 6, h + 5, 2,
                                        Radial(w - 26, h - 17, 0xE0FFFF00u, 0, 0x00FFFFFFu, 21));
  }
  Cross(canvas, w, h, 0xFF000000u, 0xFFFFFFFFu);
  canvas->FillRectGradientY(w - 46, h - 9, w - 6, h - 1, Linear(0x80FFFFFFu, 0xE0FFFFFFu, h - 9, h - 1));
}

// The window glyph, the same whether the window is maximised or not: a
// dark outline, a light frame inside it and a dark title bar line.
void MaximizeButton(CCanvas* canvas, i32 right, i32 h, bool hot, bool separator) {
  const u32 dark = hot ? 0xFF000000u : 0xE0808080u;
  const u32 light = hot ? 0xFFFFFFFFu : 0xE0FFFFFFu;
  if (hot) HotFill(canvas, right, h);
  canvas->FrameRoundRect(right - 21, h - 16, right - 3, h - 3, 1, 4, dark);
  canvas->FrameRotatedRoundRect(right - 20, h - 15, right - 4, h - 4, 1, 0, 3, light);
  canvas->FrameRoundRect(right - 18, h - 13, right - 6, h - 7, 1, 1, dark);
  if (hot) HotGloss(canvas, right, h);
  if (separator) Separator(canvas, right, h);
}

void MinimizeButton(CCanvas* canvas, i32 right, i32 h, bool hot, bool separator) {
  const u32 dark = hot ? 0xFF000000u : 0xE0808080u;
  const u32 light = hot ? 0xFFFFFFFFu : 0xE0FFFFFFu;
  if (hot) HotFill(canvas, right, h);
  canvas->FillRotatedRoundRect(right - 21, h - 16, right - 3, h - 11, 1, 0, dark);
  canvas->FillRotatedRoundRect(right - 20, h - 15, right - 4, h - 12, 1, 0, light);
  if (hot) HotGloss(canvas, right, h);
  if (separator) Separator(canvas, right, h);
}

}  // namespace

void CThemePainter::DrawCaptionButtons(CCanvas* canvas, i32 w, i32 h, u32 style, i32 state) {
  i32 left = w - 5;
  if (style & kFlagCloseButton) left -= kCloseWidth;
  if (style & kFlagMaximizeButton) left -= kButtonWidth;
  if (style & kFlagMinimizeButton) left -= kButtonWidth;
  // Outlines running above the top edge: only the lower corners show.
  canvas->FrameRoundRect(left - 1, h - 18, w - 4, h + 5, 3, 1, kGroupShade);
  canvas->FrameRoundRect(left, h - 19, w - 5, h + 5, 3, 1, kGroupLight);
  i32 right = w - 5;
  if (style & kFlagCloseButton) {
    CloseButton(canvas, w, h, (state & kCaptionClose) != 0);
    right -= kCloseWidth;
  }
  if (style & kFlagMaximizeButton) {
    MaximizeButton(canvas, right, h, (state & kCaptionMaximize) != 0, right != w - 5);
    right -= kButtonWidth;
  }
  if (style & kFlagMinimizeButton) MinimizeButton(canvas, right, h, (state & kCaptionMinimize) != 0, right != w - 5);
}

void CThemePainter::DrawFrame(CCanvas* canvas, i32 w, i32 h, u32 style, bool fill, i32 captionState,
                              const CBitmap* image, const wchar16* title) {
  if (!canvas) return;
  const bool buttons = HasCaptionButtons(style);
  if (buttons) DrawCaptionButtons(canvas, w, h, style, kCaptionClose | kCaptionMaximize | kCaptionMinimize);
  u32 frame = ThemeTintColor();
  if (style & kFlagMaximized) frame = Opaque(frame);
  if (ThemePaintState* state = ThemeStateOf(canvas)) state->frameColor = frame;
  const bool framed = (style & (kFlagSizable | kFlagPanelFrame)) != 0;
  if (framed) canvas->FrameRoundRect(0, 0, w, h, 5, 5, frame);
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
  double titleLeft = 5;
  if (buttons) {
    DrawCaptionButtons(canvas, w, h, style, captionState);
    const CBitmap* icon = image ? image : appIcon_;
    if (icon) {
      DrawBitmapAt(canvas, icon, 5, h - 24, 1.0);
      titleLeft = icon->width + 10.0;
    }
  }
  if (title) {
    const u32 savedColour = canvas->textColour;
    CFont* savedFont = canvas->font;
    if (savedFont) savedFont->AddRef();  // SetFont releases the canvas's reference
    if (UiFontBold()) canvas->SetFont(UiFontBold());
    canvas->textColour = kTitleColor;
    canvas->DrawTextInRect(titleLeft, h - 24, w - 5, h - 5, title, -1, kTextOneLineCentred);
    canvas->textColour = savedColour;
    canvas->SetFont(savedFont);
    if (savedFont) savedFont->Release();
  }
  if (framed) canvas->FrameRoundRect(0, 0, w, h, 5, 1, 0xA0FFFFFFu);
  DrawFrameBorder(canvas, w, h, style);
}

void CThemePainter::DrawCaption(CCanvas* canvas, i32 w, i32 h, u32 style, i32 captionState) {
  if (!canvas) return;
  Rect r;
  GetCaptionRect(&r, w, h, style);
  CClipScope clip(canvas, r.left, r.top, r.right, r.bottom);
  if (!clip.Empty()) DrawFrame(canvas, w, h, style, false, captionState, nullptr, nullptr);
}
