// Area oracles for the scan converter, written independently of it: shapes
// as parametric closed paths; the chord-rule polygon (the path replaced by
// straight segments between its crossings with every pixel line and its
// horizontal and vertical extremes); a fine polygon standing for the true
// shape; and the area of a set of polygons inside every cell of a grid.
#pragma once
#include <vector>

#include "runtime/types.h"

struct OPt {
  double x, y;
};

// A line, or the arc of the ellipse with semi-axis a along (cos theta, sin
// theta) from parameter t0 to t1 (counter-clockwise when t1 > t0).
struct OPiece {
  bool arc;
  double x0, y0, x1, y1;
  double cx, cy, a, b, theta, t0, t1;
  OPt At(double t) const;  // arc point
};

typedef std::vector<OPiece> OLoop;

struct OShape {
  std::vector<OLoop> loops;
};

OShape OracleEllipse(double cx, double cy, double a, double b, double theta);
OShape OracleRing(double cx, double cy, double a, double b, double theta, double width);
OShape OracleRect(double x, double y, double w, double h);
// Radius cut to half the smaller side; turned about the centre.
OShape OracleRoundRect(double x, double y, double w, double h, double r, double angle);
// Frame of the given width; filled when the walls meet.
OShape OracleFrame(double x, double y, double w, double h, double r, double angle, double width);
// Counter-clockwise from start by the sweep (0 < sweep < 2 pi).
OShape OracleSector(double cx, double cy, double a, double b, double start, double sweep,
                    double rotation);
OShape OracleSegment(double cx, double cy, double a, double b, double t0, double sweep,
                     double rotation);

struct OGrid {
  i32 w = 0, h = 0;
  std::vector<double> v;
  double At(i32 x, i32 y) const { return v[static_cast<size_t>(y) * w + x]; }
};

// Chord-rule area of the shape in every cell.
// Only rows [rowLo, rowHi) are measured (rowHi -1: to the last row).
OGrid ChordRuleAreas(const OShape& shape, i32 w, i32 h, i32 rowLo = 0, i32 rowHi = -1);
// Area of the true shape (fine polygon) in every cell.
OGrid TrueAreas(const OShape& shape, i32 w, i32 h, i32 rowLo = 0, i32 rowHi = -1);
// Per cell, the most the chord rule can differ from the true area there:
// for every chord of a curved piece the triangle of the chord and the
// outline's tangents at its ends (the arc between lies inside it).
OGrid ChordTolerance(const OShape& shape, i32 w, i32 h);
