// Word-wrapped text in a box, for painters that hold the box as doubles.
// Portable.
#pragma once
#include "runtime/types.h"
#include "runtime/wide_string.h"

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

// How text laid out from the top of a box width x height (not centred on
// one line) shows with every glyph whole: its first `lines` lines, those
// whose glyphs all fit in the box once it comes down by `drop`, as far as
// the accents of capitals rise above the font's rounded ascender. The drop
// is measured over those lines only. {bottom, top} is the box to lay them
// out in: top = height - drop, bottom the top less those lines, so the
// layout stops after them. No line (lines 0) when not even the first fits.
struct TopAlignedText {
  double drop, bottom, top;
  i32 lines;
};
TopAlignedText FitTextFromTop(CFont* font, double width, double height, const wchar16* text, i32 length);

// The text as one line of width: unchanged when it fits whole (no line
// feed, measured no wider than width); otherwise its longest start that
// fits with "..." after it (blanks before the mark left out), and only
// the dots that fit when the mark alone is wider. Measured and summed as
// the layout sums a line, so the result lays out as one line of width.
// Empty for an empty text or without a font.
void ShortenToWidth(CFont* font, double width, const wchar16* text, i32 length, CWideString* out);

// CCanvas::DrawTextInRect with the rectangle {left, bottom, right, top}
// relative to the canvas origin; nothing for a null canvas or text.
void DrawTextInBox(CCanvas* canvas, double left, double bottom, double right, double top,
                   const wchar16* text, i32 length, u32 flags);
