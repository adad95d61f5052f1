// The small strips of the dialogs and job pages: message box signs, job
// buttons and results, the pulse picture, the browse dialog's tool bar.
// Used by the skin generator.
#include <cmath>

#include "skin_art.h"
#include "skin_motifs.h"

using namespace palette;

void DrawMessageIcon(CPen& pen, i32 frame) {
  const double c = 24, r = 22;
  switch (frame) {
    case 0:
      WarningSign(pen, c, 3, 41, 22, 2);
      break;
    case 1:
      Badge(pen, c, c, r, 2, kBlue);
      Gloss(pen, c, c, r - 2);
      WhiteGlyph(pen, Glyph::kInfo, c, c - 0.5, 27, 5.4, 0);
      break;
    case 2:
      Badge(pen, c, c, r, 2, kBlue);
      Question(pen, c, c - 0.5, 30, 5.6, Solid(kWhite), LitRound(kBlue, c, c, r));
      Gloss(pen, c, c, r - 2);
      break;
    default:
      Badge(pen, c, c, r, 2, kRed);
      Gloss(pen, c, c, r - 2);
      WhiteGlyph(pen, Glyph::kCross, c, c, 21, 5.4, 0);
      break;
  }
}

void DrawPulse(CPen& pen, i32) { WarningSign(pen, 8, 1, 14, 7.6, 1); }

void DrawJobButton(CPen& pen, i32 frame) {
  const Paint edge = Solid(kGlyphEdge), white = Solid(kWhite);
  switch (frame) {
    case 0:  // stop
      pen.RoundRect(3, 3, 13, 13, 2, edge);
      pen.RoundRect(4, 4, 12, 12, 1.5, white);
      break;
    case 1:  // pause
      for (double x : {4.0, 9.0}) {
        pen.RoundRect(x - 1, 2.5, x + 4, 13.5, 1.5, edge);
        pen.RoundRect(x, 3.5, x + 3, 12.5, 1, white);
      }
      break;
    case 2:  // resume
      pen.TriangleH(8, 14.4, 3, 6.6, edge);
      pen.TriangleH(8, 13, 4, 5, white);
      break;
    default:  // close
      WhiteGlyph(pen, Glyph::kCross, 8, 8, 10, 2.4, 1.4);
      break;
  }
}

void DrawJobStatus(CPen& pen, i32 frame) {
  const Tone& t = frame == 0 ? kGreen : frame == 1 ? kRed : kAmber;
  Badge(pen, 8, 8, 7.5, 1, t);
  Gloss(pen, 8, 8, 6.5);
  if (frame == 1)
    WhiteGlyph(pen, Glyph::kCross, 8, 8, 7.6, 2, 0);
  else
    WhiteGlyph(pen, Glyph::kTick, 8, 8.3, 9, 2, 0);
}

namespace {

void Grid(CPen& pen) {
  for (double x : {2.0, 9.0})
    for (double y : {2.0, 9.0}) {
      pen.RoundRect(x, y, x + 5, y + 5, 1, Solid(kBlue.edge));
      pen.Rect(x + 1, y + 1, x + 4, y + 4, Lit(kBlue, y + 1, y + 4));
    }
}

// Rows of a small square and a line; big squares for the large list.
void Rows(CPen& pen, bool large) {
  const double size = large ? 5 : 3, step = large ? 7 : 5;
  for (double y = large ? 9 : 11; y >= 1; y -= step) {
    pen.Rect(1, y, 1 + size, y + size, Solid(kBlue.edge));
    pen.Rect(2, y + 1, size, y + size - 1, Solid(kBlue.light));
    const double mid = std::floor(y + size / 2);
    pen.Rect(size + 3, mid, 15, mid + (large ? 2 : 1), Solid(kSlate.mid));
  }
}

void Details(CPen& pen) {
  pen.Rect(1, 2, 15, 14, Solid(kSlate.edge));
  pen.Rect(2, 3, 14, 11, Solid(kWhite));
  pen.Rect(2, 11, 14, 13, Lit(kBlue, 11, 13));
  for (double y : {8.0, 5.0}) pen.Rect(2, y, 14, y + 1, Solid(0xFFC9D4DFu));
  pen.Rect(6, 3, 7, 13, Solid(0xFF9FB4CAu));
  pen.Rect(10, 3, 11, 13, Solid(0xFF9FB4CAu));
}

// A round blue button with a white arrow: back (left) or forward.
void RoundArrow(CPen& pen, bool left) {
  Badge(pen, 8, 8, 7.5, 1, kBlue);
  Gloss(pen, 8, 8, 6.5);
  const double tip = left ? 3 : 13;
  Arrow(pen, left ? 2 : 0, tip, 8, 9.5, 4.4, 4, 2.6, Solid(kWhite));
}

}  // namespace

void DrawBrowseIcon(CPen& pen, i32 frame) {
  switch (frame) {
    case 0: RoundArrow(pen, true); break;
    case 1: RoundArrow(pen, false); break;
    case 2:
      Folder(pen, 0.5, 1, 14, 11.5, 1, false);
      Arrow(pen, 1, 11.5, 15.5, 9, 4, 4.2, 2.6, Solid(kGreen.edge));
      Arrow(pen, 1, 11.5, 14.5, 8, 3, 3.2, 1.4, Solid(kGreen.light));
      break;
    case 3: Grid(pen); break;
    case 4: Rows(pen, false); break;
    case 5: Rows(pen, true); break;
    default: Details(pen); break;
  }
}
