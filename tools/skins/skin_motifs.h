// The palette and the recurring motifs of the skin pictures (disc, folder,
// page, flame, note, round badge, glyphs), drawn at any size so that every
// picture shares one look: flat shapes under a soft top-left light, a
// darker outline of `line` pixels, white glyphs with a faint dark edge on
// coloured grounds. Coordinates are the frame's, y up. Used by the skin
// generator.
#pragma once
#include <cmath>

#include "runtime/types.h"
#include "skin_pen.h"

constexpr double kDeg = M_PI / 180.0;  // radians per degree

// One hue as its light, middle and dark tones and its outline.
struct Tone {
  u32 light, mid, dark, edge;
};

namespace palette {
extern const Tone kBlue, kGreen, kRed, kAmber, kFolder, kSilver, kSlate, kFlame, kPaper;
constexpr u32 kWhite = 0xFFFFFFFFu;
constexpr u32 kGlyphEdge = 0x50000000u;  // the faint edge under white glyphs
}  // namespace palette

// A top-lit fill of a tone over [y0, y1].
Paint Lit(const Tone& t, double y0, double y1);
// A radial light from the upper left of a circle.
Paint LitRound(const Tone& t, double cx, double cy, double r);

// Round badge: outline, lit body and a gloss over its upper half.
void Badge(CPen& pen, double cx, double cy, double r, double line, const Tone& t);
void Gloss(CPen& pen, double cx, double cy, double r);

// Optical disc with its centre hole (see-through) and hub.
void Disc(CPen& pen, double cx, double cy, double r, double line, const Tone& t);
// Folder seen from the front; open shows a sheet and a lowered front.
void Folder(CPen& pen, double x0, double y0, double x1, double y1, double line, bool open);
// Sheet of paper with text lines.
void Page(CPen& pen, double x0, double y0, double x1, double y1, double line, bool lines);
// Flame standing on baseY, leaning its tip sideways by lean.
void Flame(CPen& pen, double cx, double baseY, double height, double lean, double line);
// Two beamed eighth notes whose lower heads sit at (x, y); size = stem height.
void Notes(CPen& pen, double x, double y, double size, const Tone& t, double line);
// Eraser turned by angle, centred on (cx, cy).
void Eraser(CPen& pen, double cx, double cy, double length, double thickness, double angle,
            double line);

// Glyphs of stroke width w in a box of height h centred on (cx, cy).
void Cross(CPen& pen, double cx, double cy, double h, double w, const Paint& p);
void Tick(CPen& pen, double cx, double cy, double h, double w, const Paint& p);
void Plus(CPen& pen, double cx, double cy, double h, double w, const Paint& p);
void Exclamation(CPen& pen, double cx, double cy, double h, double w, const Paint& p);
void InfoMark(CPen& pen, double cx, double cy, double h, double w, const Paint& p);
// The hook is cut out of a ring by repainting the ground with `ground`, the
// paint of what lies under the mark.
void Question(CPen& pen, double cx, double cy, double h, double w, const Paint& p,
              const Paint& ground);

// White glyph with its faint dark edge (for coloured grounds and buttons).
enum class Glyph { kCross, kTick, kPlus, kExclamation, kInfo };
void WhiteGlyph(CPen& pen, Glyph g, double cx, double cy, double h, double w, double edge);

// Arrow with a whole-pixel head base: dir 0 right, 1 up, 2 left, 3 down;
// (tipX, tipY) the point, length from tip to tail, head length and half
// width, shaft thickness.
void Arrow(CPen& pen, int dir, double tipX, double tipY, double length, double head,
           double half, double shaft, const Paint& p);

// Warning sign: rounded amber triangle with a dark mark, apex at the top.
void WarningSign(CPen& pen, double cx, double baseY, double height, double half, double line);
