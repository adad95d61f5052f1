// How the start strip is drawn: its pane, then its task tiles from the top
// down, each 48 pixels high and 56 apart, brightened by its fade level
// (0.4 resting, 1.0 under the pointer). A tile's title and description are
// the two parts of its UI string (split at the first tab) looked up at
// every paint, so a language switch shows the new texts at once. Portable.
#pragma once
#include "render/canvas.h"
#include "render/image_strip.h"
#include "runtime/ui_strings.h"

constexpr i32 kStartTileHeight = 48;
constexpr i32 kStartTilePitch = 56;

// What the painter reads of one tile.
struct StartTileLook {
  u32 textId;
  u32 colour0;  // bottom of the tile's gradient (its alpha is replaced)
  u32 colour1;  // top
  double level;
};

// The title (before the first tab) and the description (after it) of a
// tile's text; without a tab the whole text is the title.
void TileTextParts(const UiString& text, UiString* title, UiString* description);

// The strip's content painter: w x h, the tiles in order, the strip's one
// font of titles and descriptions (null: the canvas's) and the icons (frame
// i for tile i; may be empty).
void PaintStartStrip(CCanvas& canvas, i32 w, i32 h, const StartTileLook* tiles, u32 count, CFont* font,
                     const CImageStrip* icons);
