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

class COutline {
 public:
  static constexpr i32 kMaxPieces = 40;

  COutline() = default;
  // Adds the straight piece (x0, y0) -> (x1, y1); horizontal pieces are
  // dropped (they bound no area between two rows by themselves).
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
  bool valid_ = true;
  double yMin_ = 0.0, yMax_ = 0.0, xMin_ = 0.0, xMax_ = 0.0;
};

// ---- the shapes ---------------------------------------------------------------
// Each builder appends one closed outline; reverse runs it the other way
// round, which cuts it out of an outline it lies in (holes of rings and
// frames). Non-finite or non-positive sizes add nothing.

void AddEllipseOutline(COutline* o, double cx, double cy, double a, double b, double theta,
                       bool reverse);
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
