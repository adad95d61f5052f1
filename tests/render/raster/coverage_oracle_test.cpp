// Coverage of every shape family against area oracles written in the test:
// the chord-rule area per cell (exact) and the true area per cell (within
// the curvature-derived chord tolerance).
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "area_oracle.h"
#include "render/raster/outline.h"
#include "../render_test_support.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Case {
  COutline outline;
  OShape oracle;
};

// Adversarial and random values.
class Values {
 public:
  explicit Values(u32 seed) : rng_(seed) {}
  double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  // Centre near c: integer, half-integer or anywhere.
  double Centre(double c) {
    switch (Pick(3)) {
      case 0: return std::floor(c + Uniform(-3, 3));
      case 1: return std::floor(c + Uniform(-3, 3)) + 0.5;
      default: return c + Uniform(-3, 3);
    }
  }
  double Radius(double maxR) {
    static const double kList[] = {0.2, 0.5, 1.0, 1.5, 2.0, 2.5, 3.3, 7.0, 12.5};
    if (Pick(2) == 0) {
      double r = kList[Pick(9)];
      return r < maxR ? r : maxR;
    }
    return Uniform(0.2, maxR);
  }
  double Angle() {
    static const double kList[] = {0.0, kPi / 2 + 0.0005, kPi / 2 - 0.0005, 2 * kPi, -kPi / 4, kPi};
    return Pick(2) == 0 ? kList[Pick(6)] : Uniform(-2 * kPi, 2 * kPi);
  }

 private:
  std::mt19937 rng_;
};

void ExpectMatchesOracles(const Case& c, i32 w, i32 h, const char* what, int index,
                          i32 rowLo = 0, i32 rowHi = -1) {
  ASSERT_TRUE(c.outline.IsValid());
  if (rowHi < 0) rowHi = h;
  std::vector<double> got = ProbeCoverage(c.outline, w, h);
  OGrid chord = ChordRuleAreas(c.oracle, w, h, rowLo, rowHi);
  OGrid truth = TrueAreas(c.oracle, w, h, rowLo, rowHi);
  OGrid tol = ChordTolerance(c.oracle, w, h);
  int bad = 0;
  for (i32 y = rowLo; y < rowHi && bad < 3; ++y)
    for (i32 x = 0; x < w && bad < 3; ++x) {
      double g = got[static_cast<size_t>(y) * w + x];
      ASSERT_GE(g, 0.0);
      ASSERT_LE(g, 1.0);
      if (std::fabs(g - chord.At(x, y)) > 1e-8) {
        ++bad;
        ADD_FAILURE() << what << " #" << index << " cell (" << x << ", " << y << ") coverage " << g
                      << " chord rule " << chord.At(x, y);
      }
      if (std::fabs(g - truth.At(x, y)) > tol.At(x, y) + 1e-6) {
        ++bad;
        ADD_FAILURE() << what << " #" << index << " cell (" << x << ", " << y << ") coverage " << g
                      << " true area " << truth.At(x, y) << " chord " << chord.At(x, y) << " tolerance " << tol.At(x, y);
      }
    }
}

constexpr i32 kW = 48, kH = 48;
constexpr int kShapes = 40;

TEST(CoverageOracle, Circles) {
  Values v(11);
  for (int i = 0; i < kShapes; ++i) {
    double cx = v.Centre(24), cy = v.Centre(24), r = v.Radius(18);
    Case c;
    AddEllipseOutline(&c.outline, cx, cy, r, r, 0.0, false);
    c.oracle = OracleEllipse(cx, cy, r, r, 0.0);
    ExpectMatchesOracles(c, kW, kH, "circle", i);
  }
}

TEST(CoverageOracle, Rings) {
  Values v(12);
  for (int i = 0; i < kShapes; ++i) {
    double cx = v.Centre(24), cy = v.Centre(24), r = v.Radius(18) + 0.5, w = v.Uniform(0.1, r);
    Case c;
    AddEllipseOutline(&c.outline, cx, cy, r, r, 0.0, false);
    AddEllipseOutline(&c.outline, cx, cy, r - w, r - w, 0.0, true);
    c.oracle = OracleRing(cx, cy, r, r, 0.0, w);
    ExpectMatchesOracles(c, kW, kH, "ring", i);
  }
}

TEST(CoverageOracle, EllipsesUprightAndTurned) {
  Values v(13);
  for (int i = 0; i < kShapes; ++i) {
    double cx = v.Centre(24), cy = v.Centre(24), a = v.Radius(18), b = v.Radius(18);
    double th = i < kShapes / 3 ? 0.0 : v.Angle();
    Case c;
    AddEllipseOutline(&c.outline, cx, cy, a, b, th, false);
    c.oracle = OracleEllipse(cx, cy, a, b, th);
    ExpectMatchesOracles(c, kW, kH, "ellipse", i);
  }
}

TEST(CoverageOracle, EllipticRingsUprightAndTurned) {
  Values v(14);
  for (int i = 0; i < kShapes; ++i) {
    double cx = v.Centre(24), cy = v.Centre(24), a = v.Radius(18) + 0.5, b = v.Radius(18) + 0.5;
    double w = v.Uniform(0.1, std::min(a, b));
    double th = i % 2 ? 0.0 : v.Angle();
    Case c;
    AddEllipseOutline(&c.outline, cx, cy, a, b, th, false);
    AddEllipseOutline(&c.outline, cx, cy, a - w, b - w, th, true);
    c.oracle = OracleRing(cx, cy, a, b, th, w);
    ExpectMatchesOracles(c, kW, kH, "elliptic ring", i);
  }
}

TEST(CoverageOracle, SectorsAndSegments) {
  Values v(15);
  for (int i = 0; i < kShapes; ++i) {
    double cx = v.Centre(24), cy = v.Centre(24), a = v.Radius(18), b = v.Radius(18);
    double start = v.Angle(), sweep = v.Pick(4) == 0 ? kPi / 2 : v.Uniform(0.01, 2 * kPi - 0.01);
    double rot = v.Pick(3) == 0 ? 0.0 : v.Angle();
    Case s;
    AddSectorOutline(&s.outline, cx, cy, a, b, start, start + sweep, rot);
    s.oracle = OracleSector(cx, cy, a, b, start, sweep, rot);
    ExpectMatchesOracles(s, kW, kH, "sector", i);
    Case g;
    AddSegmentOutline(&g.outline, cx, cy, a, b, start, start + sweep, rot);
    g.oracle = OracleSegment(cx, cy, a, b, start, sweep, rot);
    ExpectMatchesOracles(g, kW, kH, "segment", i);
  }
}

TEST(CoverageOracle, RectanglesWithFractionalEdges) {
  Values v(16);
  for (int i = 0; i < kShapes; ++i) {
    double x = v.Centre(10), y = v.Centre(10), w = v.Radius(30), h = v.Radius(30);
    Case c;
    AddRectOutline(&c.outline, x, y, w, h);
    c.oracle = OracleRect(x, y, w, h);
    ExpectMatchesOracles(c, kW, kH, "rect", i);
  }
}

TEST(CoverageOracle, RoundRectsAndFramesUprightAndTurned) {
  Values v(17);
  for (int i = 0; i < kShapes; ++i) {
    double w = v.Radius(30) + 0.3, h = v.Radius(30) + 0.3;
    double x = v.Centre(24) - w / 2, y = v.Centre(24) - h / 2;
    // Radii up to and above half a side (pills and beyond).
    double r = v.Pick(4) == 0 ? 0.5 * std::min(w, h) * v.Uniform(1.0, 1.6) : v.Radius(10);
    double th = i % 2 ? 0.0 : v.Angle();
    Case c;
    AddRoundRectOutline(&c.outline, x, y, w, h, r, th, false);
    c.oracle = OracleRoundRect(x, y, w, h, r, th);
    ExpectMatchesOracles(c, kW, kH, "round rect", i);
    double fw = v.Uniform(0.2, 0.7 * std::min(w, h));
    Case f;
    AddRoundRectFrameOutline(&f.outline, x, y, w, h, r, th, fw);
    f.oracle = OracleFrame(x, y, w, h, r, th, fw);
    ExpectMatchesOracles(f, kW, kH, "frame", i);
  }
}

// Large shapes: the rows near the bottom, the middle and the top.
TEST(CoverageOracle, LargeShapes) {
  const i32 w = 640, h = 640;
  Case c;
  AddEllipseOutline(&c.outline, 320.25, 319.5, 300, 300, 0.0, false);
  c.oracle = OracleEllipse(320.25, 319.5, 300, 300, 0.0);
  for (i32 lo : {15, 310, 610}) ExpectMatchesOracles(c, w, h, "circle r 300", lo, lo, lo + 12);
  Case e;
  AddEllipseOutline(&e.outline, 320, 320, 290, 120, 0.7, false);
  e.oracle = OracleEllipse(320, 320, 290, 120, 0.7);
  for (i32 lo : {120, 300, 500}) ExpectMatchesOracles(e, w, h, "turned ellipse", lo, lo, lo + 12);
}

}  // namespace
