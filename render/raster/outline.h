// Closed outlines as lists of monotone pieces (straight lines and arcs of
// ellipses), the geometry every shape executor hands to the scan converter.
// Each piece runs from (x0, y0) to (x1, y1) and is monotone in both x and y,
// so a row line or a column line crosses it at most once. Arcs are split at
// their horizontal and vertical extremes; a curved piece is held as a conic
// A X^2 + B X Y + C Y^2 = 1 about its centre together with the root it lies
// on. Portable.
#pragma once
#include "runtime/types.h"

struct OutlinePiece {
  double x0, y0, x1, y1;
  double xLo, xHi, yLo, yHi;
  double cx, cy, A, B, C;  // curved pieces
  double dxdy, dydx;       // straight pieces
  bool curved;
  double xSign, ySign;  // root of the conic the piece lies on (+1 or -1)

  // x of the piece on the line y (yLo <= y <= yHi), kept within the piece.
  double XAtY(double y) const;
  // y of the piece on the column line x (xLo <= x <= xHi).
  double YAtX(double x) const;
};

// x within 0.0001 of a whole number becomes that number: first toward the
// whole number below, then toward the one above (4.99995 and 5.00005 both
// become 5; 5.5 stays; NaN stays NaN).
inline void SnapToInteger(double* x) {
  const double v = *x;
  // NaN stays; from 2^52 on every double is a whole number.
  if (!(v > -4503599627370496.0 && v < 4503599627370496.0)) return;
  double below = static_cast<double>(static_cast<i64>(v));  // floor, without a library call
  if (below > v) below -= 1.0;
  if (v - below < 0.0001) {
    *x = below;
    return;
  }
  if (below + 1.0 - v < 0.0001) *x = below + 1.0;  // v is not whole: its ceiling is below + 1
}

// How an outline's crossings with the lines between pixel rows are taken:
// as computed, or snapped to a whole column when within 0.0001 of one (so a
// crossing a rounding step off a pixel border does not leave a sliver of
// coverage in the cell beside it).
enum class RowCrossings { kExact, kSnapped };

// A horizontal part of an outline: it bounds no area between two rows by
// itself, but the cells it runs through are partly covered.
struct OutlineFlat {
  double y, xLo, xHi;
};

class COutline {
 public:
  static constexpr i32 kMaxPieces = 40;

  explicit COutline(RowCrossings crossings = RowCrossings::kExact) : crossings_(crossings) {}
  // Adds the straight piece (x0, y0) -> (x1, y1); a horizontal one is kept
  // as a flat only.
  void AddLine(double x0, double y0, double x1, double y1);
  // Adds the arc of the ellipse with semi-axis a along (cos theta, sin
  // theta) and b across it, from parameter t0 to t1 (counter-clockwise when
  // t1 > t0); at most one full turn.
  void AddEllipseArc(double cx, double cy, double a, double b, double theta, double t0, double t1);
  // A point of that ellipse.
  static void EllipsePoint(double cx, double cy, double a, double b, double cosT, double sinT,
                           double t, double* x, double* y);

  bool IsValid() const { return valid_; }
  bool IsEmpty() const { return count_ == 0; }
  i32 Count() const { return count_; }
  const OutlinePiece& Piece(i32 i) const { return pieces_[i]; }
  RowCrossings Crossings() const { return crossings_; }
  i32 FlatCount() const { return flatCount_; }
  const OutlineFlat& Flat(i32 i) const { return flats_[i]; }
  double YMin() const { return yMin_; }
  double YMax() const { return yMax_; }
  double XMin() const { return xMin_; }
  double XMax() const { return xMax_; }
  // Marks the outline as not drawable (a NaN or infinite value).
  void Invalidate() { valid_ = false; }

 private:
  void AddPiece(const OutlinePiece& piece);

  OutlinePiece pieces_[kMaxPieces];
  i32 count_ = 0;
  OutlineFlat flats_[kMaxPieces];
  i32 flatCount_ = 0;
  RowCrossings crossings_;
  bool valid_ = true;
  double yMin_ = 0.0, yMax_ = 0.0, xMin_ = 0.0, xMax_ = 0.0;
};

// ---- the shapes ---------------------------------------------------------------
// Each builder appends one closed outline; reverse runs it the other way
// round, which cuts it out of an outline it lies in (holes of rings and
// frames). Non-finite or non-positive sizes add nothing.

void AddEllipseOutline(COutline* o, double cx, double cy, double a, double b, double theta,
                       bool reverse);
// Its two vertical sides only: the cells along the top and bottom are not
// runs of the outline but rows at a fraction of full coverage.
void AddRectOutline(COutline* o, double x, double y, double w, double h);
// Rounded rectangle turned by angle about its centre; the radius is cut to
// half the smaller side (a larger one has no consistent outline).
void AddRoundRectOutline(COutline* o, double x, double y, double w, double h, double r,
                         double angle, bool reverse);
// Part of the turned ellipse between the radius lines to the points of the
// start and end angle, counter-clockwise from start to end. Equal angles give
// nothing; a span of 2 pi or more gives the whole ellipse.
void AddSectorOutline(COutline* o, double cx, double cy, double a, double b, double start,
                      double end, double rotation);
// Part of the turned ellipse on the right of the chord from the point of t0
// to the point of t1: the arc counter-clockwise from t0 to t1 closed by the
// chord.
void AddSegmentOutline(COutline* o, double cx, double cy, double a, double b, double t0,
                       double t1, double rotation);

// The frame between a rounded rectangle and the same one inset by width;
// when the walls meet (width >= half the smaller side) the whole rounded
// rectangle. Nothing for width <= 0.
void AddRoundRectFrameOutline(COutline* o, double x, double y, double w, double h, double r,
                              double angle, double width);
