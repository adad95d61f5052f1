// Word-wrapped text in a box, for painters that hold the box as doubles.
// Portable.
#pragma once
#include "runtime/types.h"

class CCanvas;
class CFont;

// Layout flags of CCanvas::DrawTextInRect and DrawTextInBox.
constexpr u32 kTextCentre = 1;
constexpr u32 kTextRight = 2;
constexpr u32 kTextJustify = 4;
constexpr u32 kTextOneLineCentred = 8;

// The height that text word-wrapped in width takes: its lines times the
// font's line height (what CCanvas::LayoutText needs to show all of it).
double LaidOutTextHeight(CFont* font, double width, const wchar16* text, i32 length);

// How far text laid out from the top of a box width x height (not
// centred on one line) must come down for the glyphs of its lines to stay
// under that top: the accents of capitals rise above the font's rounded
// ascender. Only as far as the lowest glyphs of the lines the box shows
// stay above its bottom; 0 when nothing rises above.
double TopAlignedTextDrop(CFont* font, double width, double height, const wchar16* text, i32 length);

// CCanvas::DrawTextInRect with the rectangle {left, bottom, right, top}
// relative to the canvas origin; nothing for a null canvas or text.
void DrawTextInBox(CCanvas* canvas, double left, double bottom, double right, double top,
                   const wchar16* text, i32 length, u32 flags);
