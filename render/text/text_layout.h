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

// CCanvas::DrawTextInRect with the rectangle {left, bottom, right, top}
// relative to the canvas origin; nothing for a null canvas or text.
// The height that text word-wrapped in width takes: its lines times the
// font's line height (what CCanvas::LayoutText needs to show all of it).
double LaidOutTextHeight(CFont* font, double width, const wchar16* text, i32 length);

void DrawTextInBox(CCanvas* canvas, double left, double bottom, double right, double top,
                   const wchar16* text, i32 length, u32 flags);
