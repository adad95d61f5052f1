#include "area_oracle.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

OPiece Line(double x0, double y0, double x1, double y1) {
  OPiece p = {};
  p.arc = false;
  p.x0 = x0, p.y0 = y0, p.x1 = x1, p.y1 = y1;
  return p;
}

OPiece Arc(double cx, double cy, double a, double b, double theta, double t0, double t1) {
  OPiece p = {};
  p.arc = true;
  p.cx = cx, p.cy = cy, p.a = a, p.b = b, p.theta = theta, p.t0 = t0, p.t1 = t1;
  OPt s = p.At(t0), e = p.At(t1);
  p.x0 = s.x, p.y0 = s.y, p.x1 = e.x, p.y1 = e.y;
  return p;
}

// Derivative of x (which = 0) or y (which = 1) of an arc along t.
double Deriv(const OPiece& p, double t, int which) {
  double c = std::cos(p.theta), s = std::sin(p.theta);
  if (which == 0) return -p.a * std::sin(t) * c - p.b * std::cos(t) * s;
  return -p.a * std::sin(t) * s + p.b * std::cos(t) * c;
}

// Parameters in (t0, t1) where the arc turns in x or y, by sampling and
// bisection of the derivatives.
std::vector<double> Extremes(const OPiece& p) {
  std::vector<double> out;
  const int n = 256;
  for (int which = 0; which < 2; ++which) {
    for (int i = 0; i < n; ++i) {
      double u = p.t0 + (p.t1 - p.t0) * i / n, v = p.t0 + (p.t1 - p.t0) * (i + 1) / n;
      double du = Deriv(p, u, which), dv = Deriv(p, v, which);
      if (du == 0.0 && i > 0) out.push_back(u);
      if ((du < 0) == (dv < 0) || du == 0.0 || dv == 0.0) continue;
      for (int k = 0; k < 200; ++k) {
        double m = 0.5 * (u + v);
        if ((Deriv(p, m, which) < 0) == (du < 0))
          u = m;
        else
          v = m;
      }
      out.push_back(0.5 * (u + v));
    }
  }
  return out;
}

double Coord(OPt q, int which) { return which == 0 ? q.x : q.y; }

// The chord polygon of one loop: every piece cut at its extremes and its
// crossings with the integer lines.
// The arc between two parameters of a piece, as its chord's edge.
struct ChordEdge {
  const OPiece* piece;  // null for straight pieces
  double t, tn;
};

// The arc between consecutive chord vertices turns by less than a quarter
// and is convex, so it lies inside the triangle of its chord and the two
// tangents at its ends: that triangle's area bounds the chord's error.
double TangentTriangle(const ChordEdge& e) {
  const OPiece& p = *e.piece;
  OPt a = p.At(e.t), b = p.At(e.tn);
  double dax = Deriv(p, e.t, 0), day = Deriv(p, e.t, 1);
  double dbx = Deriv(p, e.tn, 0), dby = Deriv(p, e.tn, 1);
  double den = dax * dby - day * dbx;
  if (std::fabs(den) < 1e-300) return 0.0;
  double s = ((b.x - a.x) * dby - (b.y - a.y) * dbx) / den;
  OPt x = {a.x + s * dax, a.y + s * day};
  return 0.5 * std::fabs((x.x - a.x) * (b.y - a.y) - (x.y - a.y) * (b.x - a.x));
}

std::vector<OPt> ChordLoop(const OLoop& loop, std::vector<ChordEdge>* edges) {
  std::vector<OPt> pts;
  for (const OPiece& p : loop) {
    std::vector<double> ts;  // fraction 0..1 for lines, parameter for arcs
    double lo = p.arc ? p.t0 : 0.0, hi = p.arc ? p.t1 : 1.0;
    std::vector<double> breaks = {lo, hi};
    if (p.arc) {
      std::vector<double> e = Extremes(p);
      breaks.insert(breaks.end(), e.begin(), e.end());
    }
    std::sort(breaks.begin(), breaks.end(), [&](double u, double v) { return lo < hi ? u < v : u > v; });
    auto at = [&](double t) -> OPt {
      if (p.arc) return p.At(t);
      return {p.x0 + (p.x1 - p.x0) * t, p.y0 + (p.y1 - p.y0) * t};
    };
    // A whole ellipse has no corner where its parameter starts: only the
    // extremes and the crossings are vertices (unless the start is one).
    bool closedArc = p.arc && loop.size() == 1 && std::fabs(std::fabs(hi - lo) - 2 * kPi) < 1e-12;
    bool startIsExtreme = std::fabs(Deriv(p, lo, 0)) < 1e-12 * (p.a + p.b) ||
                          std::fabs(Deriv(p, lo, 1)) < 1e-12 * (p.a + p.b);
    for (size_t i = 0; i + 1 < breaks.size(); ++i) {
      double u = breaks[i], v = breaks[i + 1];
      if (i > 0 || !closedArc || startIsExtreme) ts.push_back(u);
      OPt pu = at(u), pv = at(v);
      for (int which = 0; which < 2; ++which) {
        double a = Coord(pu, which), b = Coord(pv, which);
        double mn = std::min(a, b), mx = std::max(a, b);
        for (double k = std::floor(mn) + 1; k < mx; k += 1.0) {
          double l = u, r = v;  // monotone here: bisect on the coordinate
          bool up = b > a;
          for (int it = 0; it < 200; ++it) {
            double m = 0.5 * (l + r);
            double c = Coord(at(m), which);
            if ((c < k) == up)
              l = m;
            else
              r = m;
          }
          ts.push_back(0.5 * (l + r));
        }
      }
    }
    std::sort(ts.begin(), ts.end(), [&](double u, double v) { return lo < hi ? u < v : u > v; });
    for (size_t i = 0; i < ts.size(); ++i) {
      pts.push_back(at(ts[i]));
      // The last chord of a whole ellipse closes on its first vertex.
      double last = closedArc && !startIsExtreme ? ts[0] + (hi - lo) : hi;
      double next = i + 1 < ts.size() ? ts[i + 1] : last;
      if (edges) edges->push_back({p.arc ? &p : nullptr, ts[i], next});
    }
  }
  return pts;
}

// The chord polygon with every curved chord cut into 32 more pieces: the
// true shape up to errors about a thousand times below the chord rule's.
std::vector<OPt> FineLoop(const OLoop& loop) {
  std::vector<ChordEdge> edges;
  std::vector<OPt> chord = ChordLoop(loop, &edges);
  std::vector<OPt> pts;
  for (size_t i = 0; i < chord.size(); ++i) {
    pts.push_back(chord[i]);
    if (!edges[i].piece) continue;
    for (int k = 1; k < 32; ++k)
      pts.push_back(edges[i].piece->At(edges[i].t + (edges[i].tn - edges[i].t) * k / 32));
  }
  return pts;
}

// Sutherland-Hodgman against one axis line: keep coordinate >= v (keepAbove)
// or <= v.
std::vector<OPt> ClipAxis(const std::vector<OPt>& in, int which, double v, bool keepAbove) {
  std::vector<OPt> out;
  size_t n = in.size();
  if (n == 0) return out;
  auto inside = [&](OPt q) { return keepAbove ? Coord(q, which) >= v : Coord(q, which) <= v; };
  for (size_t i = 0; i < n; ++i) {
    OPt a = in[i], b = in[(i + 1) % n];
    bool ia = inside(a), ib = inside(b);
    if (ia) out.push_back(a);
    if (ia != ib) {
      double ca = Coord(a, which), cb = Coord(b, which);
      double t = (v - ca) / (cb - ca);
      OPt q = {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
      if (which == 0) q.x = v; else q.y = v;
      out.push_back(q);
    }
  }
  return out;
}

double Shoelace(const std::vector<OPt>& p) {
  double s = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    const OPt& a = p[i];
    const OPt& b = p[(i + 1) % p.size()];
    s += a.x * b.y - b.x * a.y;
  }
  return 0.5 * s;
}

OGrid Areas(const std::vector<std::vector<OPt>>& polys, i32 w, i32 h, i32 rowLo, i32 rowHi) {
  OGrid g;
  g.w = w, g.h = h;
  g.v.assign(static_cast<size_t>(w) * h, 0.0);
  if (rowHi < 0 || rowHi > h) rowHi = h;
  for (const auto& whole : polys) {
    // Only rows [rowLo, rowHi) are measured.
    std::vector<OPt> poly = ClipAxis(ClipAxis(whole, 1, rowLo, true), 1, rowHi, false);
    if (poly.size() < 3) continue;
    double y0 = 1e300, y1 = -1e300, x0 = 1e300, x1 = -1e300;
    for (OPt q : poly) {
      y0 = std::min(y0, q.y), y1 = std::max(y1, q.y);
      x0 = std::min(x0, q.x), x1 = std::max(x1, q.x);
    }
    int ja = std::max(0, static_cast<int>(std::floor(y0))), jb = std::min(h - 1, static_cast<int>(std::floor(y1)));
    int ka = std::max(0, static_cast<int>(std::floor(x0))), kb = std::min(w - 1, static_cast<int>(std::floor(x1)));
    for (int j = ja; j <= jb; ++j) {
      std::vector<OPt> strip = ClipAxis(ClipAxis(poly, 1, j, true), 1, j + 1, false);
      if (strip.size() < 3) continue;
      for (int k = ka; k <= kb; ++k) {
        std::vector<OPt> cell = ClipAxis(ClipAxis(strip, 0, k, true), 0, k + 1, false);
        if (cell.size() < 3) continue;
        g.v[static_cast<size_t>(j) * w + k] += Shoelace(cell);
      }
    }
  }
  for (double& a : g.v) a = std::fabs(a);
  return g;
}

}  // namespace

OPt OPiece::At(double t) const {
  double c = std::cos(theta), s = std::sin(theta);
  double u = a * std::cos(t), v = b * std::sin(t);
  return {cx + u * c - v * s, cy + u * s + v * c};
}

OShape OracleEllipse(double cx, double cy, double a, double b, double theta) {
  OShape s;
  s.loops.push_back({Arc(cx, cy, a, b, theta, 0, 2 * kPi)});
  return s;
}

OShape OracleRing(double cx, double cy, double a, double b, double theta, double width) {
  OShape s = OracleEllipse(cx, cy, a, b, theta);
  if (width < std::min(a, b)) s.loops.push_back({Arc(cx, cy, a - width, b - width, theta, 2 * kPi, 0)});
  return s;
}

OShape OracleRect(double x, double y, double w, double h) {
  OShape s;
  s.loops.push_back({Line(x, y, x + w, y), Line(x + w, y, x + w, y + h), Line(x + w, y + h, x, y + h),
                     Line(x, y + h, x, y)});
  return s;
}

namespace {

OLoop RoundRectLoop(double x, double y, double w, double h, double r, double angle, bool reverse) {
  r = std::min(std::max(r, 0.0), 0.5 * std::min(w, h));
  double cx = x + w / 2, cy = y + h / 2, c = std::cos(angle), s = std::sin(angle);
  auto map = [&](double px, double py) -> OPt {
    double dx = px - cx, dy = py - cy;
    return {cx + dx * c - dy * s, cy + dy * c + dx * s};
  };
  // Corner centres counter-clockwise from the lower right.
  double ccx[4] = {x + w - r, x + w - r, x + r, x + r};
  double ccy[4] = {y + r, y + h - r, y + h - r, y + r};
  OLoop loop;
  for (int i = 0; i < 4; ++i) {
    double a0 = -kPi / 2 + i * kPi / 2;
    OPt cc = map(ccx[i], ccy[i]);
    OPt p0 = map(ccx[i] + r * std::cos(a0), ccy[i] + r * std::sin(a0));
    OPt p1 = map(ccx[i] + r * std::cos(a0 + kPi / 2), ccy[i] + r * std::sin(a0 + kPi / 2));
    if (r > 0)
      loop.push_back(Arc(cc.x, cc.y, r, r, 0, a0 + angle, a0 + angle + kPi / 2));
    int n = (i + 1) % 4;
    double b0 = -kPi / 2 + n * kPi / 2;
    OPt q0 = map(ccx[n] + r * std::cos(b0), ccy[n] + r * std::sin(b0));
    loop.push_back(Line(p1.x, p1.y, q0.x, q0.y));
    (void)p0;
  }
  if (reverse) {
    OLoop back;
    for (auto it = loop.rbegin(); it != loop.rend(); ++it) {
      OPiece p = *it;
      std::swap(p.x0, p.x1);
      std::swap(p.y0, p.y1);
      std::swap(p.t0, p.t1);
      back.push_back(p);
    }
    return back;
  }
  return loop;
}

}  // namespace

OShape OracleRoundRect(double x, double y, double w, double h, double r, double angle) {
  OShape s;
  s.loops.push_back(RoundRectLoop(x, y, w, h, r, angle, false));
  return s;
}

OShape OracleFrame(double x, double y, double w, double h, double r, double angle, double width) {
  double m = 0.5 * std::min(w, h);
  OShape s = OracleRoundRect(x, y, w, h, r, angle);
  if (width >= m) return s;
  double rr = std::min(std::max(r, 0.0), m);
  double ir = std::max(rr - width, 0.0);
  s.loops.push_back(RoundRectLoop(x + width, y + width, w - 2 * width, h - 2 * width, ir, angle, true));
  return s;
}

OShape OracleSector(double cx, double cy, double a, double b, double start, double sweep,
                    double rotation) {
  OShape s;
  OPiece arc = Arc(cx, cy, a, b, rotation, start, start + sweep);
  s.loops.push_back({Line(cx, cy, arc.x0, arc.y0), arc, Line(arc.x1, arc.y1, cx, cy)});
  return s;
}

OShape OracleSegment(double cx, double cy, double a, double b, double t0, double sweep,
                     double rotation) {
  OShape s;
  OPiece arc = Arc(cx, cy, a, b, rotation, t0, t0 + sweep);
  s.loops.push_back({arc, Line(arc.x1, arc.y1, arc.x0, arc.y0)});
  return s;
}

OGrid ChordRuleAreas(const OShape& shape, i32 w, i32 h, i32 rowLo, i32 rowHi) {
  std::vector<std::vector<OPt>> polys;
  for (const OLoop& l : shape.loops) polys.push_back(ChordLoop(l, nullptr));
  return Areas(polys, w, h, rowLo, rowHi);
}

OGrid TrueAreas(const OShape& shape, i32 w, i32 h, i32 rowLo, i32 rowHi) {
  std::vector<std::vector<OPt>> polys;
  for (const OLoop& l : shape.loops) polys.push_back(FineLoop(l));
  return Areas(polys, w, h, rowLo, rowHi);
}

OGrid ChordTolerance(const OShape& shape, i32 w, i32 h) {
  OGrid g;
  g.w = w, g.h = h;
  g.v.assign(static_cast<size_t>(w) * h, 0.0);
  for (const OLoop& l : shape.loops) {
    std::vector<ChordEdge> edges;
    std::vector<OPt> p = ChordLoop(l, &edges);
    for (size_t i = 0; i < p.size(); ++i) {
      if (!edges[i].piece) continue;
      OPt a = p[i], b = p[(i + 1) % p.size()];
      int x = static_cast<int>(std::floor(0.5 * (a.x + b.x))), y = static_cast<int>(std::floor(0.5 * (a.y + b.y)));
      if (x >= 0 && x < w && y >= 0 && y < h)
        g.v[static_cast<size_t>(y) * w + x] += TangentTriangle(edges[i]) + 1e-9;
    }
  }
  return g;
}
