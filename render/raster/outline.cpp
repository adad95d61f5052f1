#include "render/raster/outline.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

bool Finite(double v) { return std::isfinite(v); }

double Min(double a, double b) { return a < b ? a : b; }
double Max(double a, double b) { return a > b ? a : b; }

}  // namespace

double OutlinePiece::XAtY(double y) const {
  double x;
  if (!curved) {
    x = x0 + dxdy * (y - y0);
  } else {
    double Y = y - cy;
    double by = B * Y;
    double disc = by * by - 4.0 * A * (C * Y * Y - 1.0);
    double root = disc > 0.0 ? std::sqrt(disc) : 0.0;
    x = cx + (xSign * root - by) / (2.0 * A);
  }
  if (!(x >= xLo)) return xLo;
  return x > xHi ? xHi : x;
}

double OutlinePiece::YAtX(double x) const {
  double y;
  if (!curved) {
    y = y0 + dydx * (x - x0);
  } else {
    double X = x - cx;
    double bx = B * X;
    double disc = bx * bx - 4.0 * C * (A * X * X - 1.0);
    double root = disc > 0.0 ? std::sqrt(disc) : 0.0;
    y = cy + (ySign * root - bx) / (2.0 * C);
  }
  if (!(y >= yLo)) return yLo;
  return y > yHi ? yHi : y;
}

void COutline::AddPiece(const OutlinePiece& piece) {
  if (!valid_) return;
  if (!Finite(piece.x0) || !Finite(piece.y0) || !Finite(piece.x1) || !Finite(piece.y1) ||
      count_ >= kMaxPieces) {
    valid_ = false;
    return;
  }
  if (piece.y0 == piece.y1) {  // no area between rows of its own
    if (flatCount_ < kMaxPieces) flats_[flatCount_++] = {piece.y0, Min(piece.x0, piece.x1), Max(piece.x0, piece.x1)};
    return;
  }
  OutlinePiece& p = pieces_[count_];
  p = piece;
  p.xLo = Min(p.x0, p.x1);
  p.xHi = Max(p.x0, p.x1);
  p.yLo = Min(p.y0, p.y1);
  p.yHi = Max(p.y0, p.y1);
  if (count_ == 0) {
    xMin_ = p.xLo, xMax_ = p.xHi, yMin_ = p.yLo, yMax_ = p.yHi;
  } else {
    xMin_ = Min(xMin_, p.xLo), xMax_ = Max(xMax_, p.xHi);
    yMin_ = Min(yMin_, p.yLo), yMax_ = Max(yMax_, p.yHi);
  }
  ++count_;
}

void COutline::AddLine(double x0, double y0, double x1, double y1) {
  OutlinePiece p = {};
  p.x0 = x0, p.y0 = y0, p.x1 = x1, p.y1 = y1;
  p.curved = false;
  p.dxdy = y1 != y0 ? (x1 - x0) / (y1 - y0) : 0.0;
  p.dydx = x1 != x0 ? (y1 - y0) / (x1 - x0) : 0.0;
  AddPiece(p);
}

void COutline::EllipsePoint(double cx, double cy, double a, double b, double cosT, double sinT,
                            double t, double* x, double* y) {
  double ct = std::cos(t), st = std::sin(t);
  *x = cx + a * ct * cosT - b * st * sinT;
  *y = cy + a * ct * sinT + b * st * cosT;
}

void COutline::AddEllipseArc(double cx, double cy, double a, double b, double theta, double t0,
                             double t1) {
  if (!Finite(cx) || !Finite(cy) || !Finite(a) || !Finite(b) || !Finite(theta) || !Finite(t0) ||
      !Finite(t1)) {
    valid_ = false;
    return;
  }
  if (t1 - t0 > kTwoPi) t1 = t0 + kTwoPi;
  if (t0 - t1 > kTwoPi) t1 = t0 - kTwoPi;
  double cosT = std::cos(theta), sinT = std::sin(theta);
  if (a == 0.0 && b == 0.0) return;
  if (!(a > 0.0) || !(b > 0.0)) {
    // A flat ellipse encloses nothing: keep the outline closed with a chord.
    double xa, ya, xb, yb;
    EllipsePoint(cx, cy, a, b, cosT, sinT, t0, &xa, &ya);
    EllipsePoint(cx, cy, a, b, cosT, sinT, t1, &xb, &yb);
    AddLine(xa, ya, xb, yb);
    return;
  }
  // Parameters of the horizontal and vertical extremes (two of each).
  double ext[4];
  ext[0] = std::atan2(-b * sinT, a * cosT);
  ext[1] = ext[0] + kPi;
  ext[2] = std::atan2(b * cosT, a * sinT);
  ext[3] = ext[2] + kPi;
  double lo = Min(t0, t1), hi = Max(t0, t1);
  double cuts[10];
  i32 n = 0;
  for (double e : ext) {
    // Every e + k 2 pi strictly inside (lo, hi).
    double k = std::ceil((lo - e) / kTwoPi);
    for (double v = e + k * kTwoPi; v < hi && n < 10; v += kTwoPi)
      if (v > lo) cuts[n++] = v;
  }
  // Sort in travel order.
  for (i32 i = 1; i < n; ++i)
    for (i32 j = i; j > 0 && (t1 > t0 ? cuts[j] < cuts[j - 1] : cuts[j] > cuts[j - 1]); --j) {
      double s = cuts[j];
      cuts[j] = cuts[j - 1];
      cuts[j - 1] = s;
    }
  double ia2 = 1.0 / (a * a), ib2 = 1.0 / (b * b);
  double A = cosT * cosT * ia2 + sinT * sinT * ib2;
  double C = sinT * sinT * ia2 + cosT * cosT * ib2;
  double B = 2.0 * cosT * sinT * (ia2 - ib2);
  double prev = t0;
  for (i32 i = 0; i <= n; ++i) {
    double next = i < n ? cuts[i] : t1;
    if (next == prev) continue;
    OutlinePiece p = {};
    p.curved = true;
    p.cx = cx, p.cy = cy, p.A = A, p.B = B, p.C = C;
    EllipsePoint(cx, cy, a, b, cosT, sinT, prev, &p.x0, &p.y0);
    EllipsePoint(cx, cy, a, b, cosT, sinT, next, &p.x1, &p.y1);
    double mx, my;
    EllipsePoint(cx, cy, a, b, cosT, sinT, 0.5 * (prev + next), &mx, &my);
    double X = mx - cx, Y = my - cy;
    p.xSign = X >= -B * Y / (2.0 * A) ? 1.0 : -1.0;
    p.ySign = Y >= -B * X / (2.0 * C) ? 1.0 : -1.0;
    AddPiece(p);
    prev = next;
  }
}

// ---- shapes -------------------------------------------------------------------

void AddEllipseOutline(COutline* o, double cx, double cy, double a, double b, double theta,
                       bool reverse) {
  if (!(a > 0.0) || !(b > 0.0)) {
    if (!(a >= 0.0) || !(b >= 0.0)) o->Invalidate();
    return;
  }
  // Start at a horizontal extreme, which is a corner of every chord polygon
  // anyway: the outline then has no corner of its own choosing, so mirrored
  // or moved shapes give mirrored or moved coverage.
  double t0 = std::atan2(-b * std::sin(theta), a * std::cos(theta));
  if (reverse)
    o->AddEllipseArc(cx, cy, a, b, theta, t0 + kTwoPi, t0);
  else
    o->AddEllipseArc(cx, cy, a, b, theta, t0, t0 + kTwoPi);
}

void AddRectOutline(COutline* o, double x, double y, double w, double h) {
  if (!Finite(x) || !Finite(y) || !Finite(w) || !Finite(h)) {
    o->Invalidate();
    return;
  }
  if (!(w > 0.0) || !(h > 0.0)) return;
  double x1 = x + w, y1 = y + h;
  o->AddLine(x1, y, x1, y1);
  o->AddLine(x, y1, x, y);
}

namespace {

// Maps points of a rectangle's own frame (relative to its centre) into the
// target, turned by an angle; the angle 0 adds the centre only, so upright
// edges stay exactly where they were given.
struct Turn {
  double cx, cy, c, s;
  bool upright;
  void Map(double px, double py, double* x, double* y) const {
    if (upright) {
      *x = cx + px, *y = cy + py;
    } else {
      *x = cx + px * c - py * s;
      *y = cy + py * c + px * s;
    }
  }
};

}  // namespace

void AddRoundRectOutline(COutline* o, double x, double y, double w, double h, double r,
                         double angle, bool reverse) {
  if (!Finite(x) || !Finite(y) || !Finite(w) || !Finite(h) || !Finite(angle) || !(r == r)) {
    o->Invalidate();
    return;
  }
  if (!(w > 0.0) || !(h > 0.0)) return;
  double m = 0.5 * Min(w, h);
  if (!(r > 0.0)) r = 0.0;
  if (r > m) r = m;
  if (angle == 0.0 && !reverse && r == 0.0) {
    AddRectOutline(o, x, y, w, h);
    o->AddLine(x + w, y + h, x, y + h);
    o->AddLine(x, y, x + w, y);
    return;
  }
  Turn turn;
  turn.upright = angle == 0.0;
  turn.c = std::cos(angle), turn.s = std::sin(angle);
  turn.cx = x + 0.5 * w, turn.cy = y + 0.5 * h;
  // Corners relative to the centre; upright ones straight from the edges.
  double l = x - turn.cx, rr = x + w - turn.cx, b = y - turn.cy, t = y + h - turn.cy;
  if (turn.upright) turn.cx = 0.0, turn.cy = 0.0, l = x, rr = x + w, b = y, t = y + h;
  // Counter-clockwise: right side up, top leftward, left side down, bottom
  // rightward; each corner arc a quarter turn.
  struct Step {
    double px0, py0, px1, py1;   // straight side
    double ccx, ccy, tStart;     // corner arc after it
  } steps[4] = {
      {rr, b + r, rr, t - r, rr - r, t - r, 0.0},
      {rr - r, t, l + r, t, l + r, t - r, 0.5 * kPi},
      {l, t - r, l, b + r, l + r, b + r, kPi},
      {l + r, b, rr - r, b, rr - r, b + r, 1.5 * kPi},
  };
  auto side = [&](const Step& s, bool back) {
    double ax, ay, bx, by;
    turn.Map(s.px0, s.py0, &ax, &ay);
    turn.Map(s.px1, s.py1, &bx, &by);
    if (back)
      o->AddLine(bx, by, ax, ay);
    else
      o->AddLine(ax, ay, bx, by);
  };
  auto corner = [&](const Step& s, bool back) {
    if (r <= 0.0) return;
    double ccx, ccy;
    turn.Map(s.ccx, s.ccy, &ccx, &ccy);
    double a0 = s.tStart + (turn.upright ? 0.0 : angle);
    if (back)
      o->AddEllipseArc(ccx, ccy, r, r, 0.0, a0 + 0.5 * kPi, a0);
    else
      o->AddEllipseArc(ccx, ccy, r, r, 0.0, a0, a0 + 0.5 * kPi);
  };
  if (!reverse) {
    for (const Step& s : steps) {
      side(s, false);
      corner(s, false);
    }
  } else {
    for (i32 i = 3; i >= 0; --i) {
      corner(steps[i], true);
      side(steps[i], true);
    }
  }
}

void AddRoundRectFrameOutline(COutline* o, double x, double y, double w, double h, double r,
                              double angle, double width) {
  if (!(width == width)) {
    o->Invalidate();
    return;
  }
  if (!(width > 0.0)) return;
  double m = 0.5 * Min(w, h);
  if (!(r > 0.0)) r = 0.0;
  if (r > m) r = m;
  if (width >= m) {  // the walls meet: the whole shape
    AddRoundRectOutline(o, x, y, w, h, r, angle, false);
    return;
  }
  AddRoundRectOutline(o, x, y, w, h, r, angle, false);
  if (angle == 0.0) {
    AddRoundRectOutline(o, x + width, y + width, w - 2.0 * width, h - 2.0 * width,
                        Max(r - width, 0.0), 0.0, true);
  } else {
    // Inset about the same centre so both outlines turn together.
    double cx = x + 0.5 * w, cy = y + 0.5 * h;
    double iw = w - 2.0 * width, ih = h - 2.0 * width;
    AddRoundRectOutline(o, cx - 0.5 * iw, cy - 0.5 * ih, iw, ih, Max(r - width, 0.0), angle, true);
  }
}

namespace {

// The sweep from start to end, counter-clockwise, in (0, 2 pi]; 0 for equal
// angles. A difference within rounding of a whole number of turns (end =
// start + 2 pi computed in doubles) is a full turn: a sweep below 1e-9 could
// not be seen anyway.
double Sweep(double start, double end) {
  double s = end - start;
  if (s == 0.0) return 0.0;
  double r = std::fmod(s, kTwoPi);
  if (r < 0.0) r += kTwoPi;
  return r < 1e-9 || r > kTwoPi - 1e-9 ? kTwoPi : r;
}

}  // namespace

namespace {

// An elliptic arc from t0 over its sweep, closed either through the centre
// (a sector) or by its chord (a segment). A whole turn is the ellipse.
void AddClosedArcOutline(COutline* o, double cx, double cy, double a, double b, double t0,
                         double t1, double rotation, bool throughCentre) {
  if (!Finite(t0) || !Finite(t1) || !Finite(rotation) || !Finite(cx) || !Finite(cy) ||
      !Finite(a) || !Finite(b)) {
    o->Invalidate();
    return;
  }
  if (!(a > 0.0) || !(b > 0.0)) return;
  double sweep = Sweep(t0, t1);
  if (sweep == 0.0) return;
  if (sweep >= kTwoPi) {
    AddEllipseOutline(o, cx, cy, a, b, rotation, false);
    return;
  }
  double c = std::cos(rotation), s = std::sin(rotation);
  double xs, ys, xe, ye;
  COutline::EllipsePoint(cx, cy, a, b, c, s, t0, &xs, &ys);
  COutline::EllipsePoint(cx, cy, a, b, c, s, t0 + sweep, &xe, &ye);
  if (throughCentre) o->AddLine(cx, cy, xs, ys);
  o->AddEllipseArc(cx, cy, a, b, rotation, t0, t0 + sweep);
  if (throughCentre)
    o->AddLine(xe, ye, cx, cy);
  else
    o->AddLine(xe, ye, xs, ys);
}

}  // namespace

void AddSectorOutline(COutline* o, double cx, double cy, double a, double b, double start,
                      double end, double rotation) {
  AddClosedArcOutline(o, cx, cy, a, b, start, end, rotation, true);
}

void AddSegmentOutline(COutline* o, double cx, double cy, double a, double b, double t0,
                       double t1, double rotation) {
  AddClosedArcOutline(o, cx, cy, a, b, t0, t1, rotation, false);
}
