#include "app/main_window/start_strip_paint.h"

#include "app/main_window/page_pane.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

u32 WithAlpha(u32 colour, u32 alpha) { return (colour & 0x00FFFFFFu) | (alpha << 24); }

void PaintTile(CCanvas& canvas, const StartTileLook& tile, i32 index, const CImageStrip* icons, double x0, double y0,
               double x1, double y1) {
  const u32 a = static_cast<u32>(static_cast<i32>(tile.level * 255.0)) & 0xFF;
  LinearGradient g = {WithAlpha(tile.colour0, a), WithAlpha(tile.colour1, a), y0, y1};
  canvas.FillRoundRectGradientY(x0, y0, x1, y1, 5, g);
  canvas.FrameRoundRect(x0, y0, x1, y1, 5, 1.0, WithAlpha(ThemeAccentColor(), a));
  UiString title, description;
  TileTextParts(*GetUiString(tile.textId), &title, &description);
  const u32 colour = canvas.textColour;
  canvas.textColour = WithAlpha(ThemeTextColor(), a);
  // The title one line below the top edge, the description wrapped below
  // it a quarter line lower, both in the strip's font.
  const double fontHeight = canvas.font ? canvas.font->lineHeight : 14.0;
  const double titleY = y1 - fontHeight;
  canvas.DrawText(x0 + 48, titleY, title.text, static_cast<i32>(title.length));
  DrawTextInBox(&canvas, x0 + 48, y0, x1 - 8, titleY - fontHeight / 4, description.text,
                static_cast<i32>(description.length), 0);
  canvas.textColour = colour;
  if (icons) icons->DrawFrame(&canvas, index, x0 + 8, y0 + 8, tile.level);
}

}  // namespace

void TileTextParts(const UiString& text, UiString* title, UiString* description) {
  u32 tab = 0;
  while (tab < text.length && text.text[tab] != u'\t') ++tab;
  *title = {text.text, tab};
  if (tab >= text.length) {
    *description = {text.text + text.length, 0};
    return;
  }
  *description = {text.text + tab + 1, text.length - tab - 1};
}

void PaintStartStrip(CCanvas& canvas, i32 w, i32 h, const StartTileLook* tiles, u32 count, CFont* font,
                     const CImageStrip* icons) {
  const PanePlace p = BeginPagePane(canvas, w, h, WithAlpha(PaneOutlineColour(), 0xD8));
  CFont* before = canvas.font;
  if (before) before->AddRef();
  if (font) canvas.SetFont(font);
  const double left = p.border + 8, right = p.width - p.border - 8;
  double top = p.height - p.border - 8;
  for (u32 i = 0; i < count; ++i) {
    PaintTile(canvas, tiles[i], static_cast<i32>(i), icons, left, top - kStartTileHeight, right, top);
    top -= kStartTilePitch;
  }
  canvas.SetFont(before);
  if (before) before->Release();
  EndPagePane(canvas);
}
