// The label/value rows and the coloured badges of the information pages,
// drawn downwards from a pen position (y up: each row lowers y). With no
// canvas the pen only moves, so a page can measure its rows without
// drawing them. Portable.
#pragma once
#include "render/canvas.h"
#include "render/text/font.h"

constexpr u32 kInfoValueColour = 0xFF909090u;
constexpr u32 kInfoBadgeTextColour = 0xFFFFFFFFu;

struct InfoRowPen {
  CCanvas* canvas;  // null: measure only
  CFont* font;      // the row font
  double size;      // its size
  double x, y;
};

// The label at the pen in the canvas colour, the value after it (half a
// size apart) in the value colour, then the pen one row (floor(2 x size))
// lower. Nothing for an empty value.
void DrawInfoRow(InfoRowPen& pen, const wchar16* label, i32 labelLength, const wchar16* value, i32 valueLength);

// A text on a filled rounded box (radius 2) reaching 2 pixels around it
// (x - 2, y - 2) to (x + width + 2, y + size + 2); the text's width.
double DrawBadge(InfoRowPen& pen, double x, double y, const wchar16* text, i32 length, u32 colour);

// A one-pixel black line from y - 3 to y - 2 under a heading.
void DrawHeadingRule(CCanvas* canvas, double left, double right, double y);

// Width of a text in the pen's font (0 without one).
double TextWidth(const InfoRowPen& pen, const wchar16* text, i32 length);

// floor(k x size), the pages' row steps.
double RowStep(double size, double k);
