// Coverage of every shape family against area oracles written in the test:
// the chord-rule area per cell (exact) and the true area per cell (within
// the curvature-derived chord tolerance).
#include <gtest/gtest.h>

#include <cmath>

#include "area_oracle.h"
#include "render/raster/outline.h"
#include "../render_test_support.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Case {
  COutline outline;
  OShape oracle;
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

// Each family builds a random shape as the scan converter's outline and as
// the oracle's path.
typedef void (*Family)(ShapeRng& v, int i, Case* c);

const struct {
  const char* name;
  u32 seed;
  Family build;
} kFamilies[] = {
    {"circle", 11, [](ShapeRng& v, int, Case* c) {
       double cx = v.Centre(21, 27), cy = v.Centre(21, 27), r = v.Radius(18);
       AddEllipseOutline(&c->outline, cx, cy, r, r, 0.0, false);
       c->oracle = OracleEllipse(cx, cy, r, r, 0.0);
     }},
    {"ring", 12, [](ShapeRng& v, int, Case* c) {
       double cx = v.Centre(21, 27), cy = v.Centre(21, 27), r = v.Radius(18) + 0.5, w = v.U(0.1, r);
       AddEllipseOutline(&c->outline, cx, cy, r, r, 0.0, false);
       AddEllipseOutline(&c->outline, cx, cy, r - w, r - w, 0.0, true);
       c->oracle = OracleRing(cx, cy, r, r, 0.0, w);
     }},
    {"ellipse", 13, [](ShapeRng& v, int i, Case* c) {
       double cx = v.Centre(21, 27), cy = v.Centre(21, 27), a = v.Radius(18), b = v.Radius(18), th = i % 3 ? v.Angle() : 0.0;
       AddEllipseOutline(&c->outline, cx, cy, a, b, th, false);
       c->oracle = OracleEllipse(cx, cy, a, b, th);
     }},
    {"elliptic ring", 14, [](ShapeRng& v, int i, Case* c) {
       double cx = v.Centre(21, 27), cy = v.Centre(21, 27), a = v.Radius(18) + 0.5, b = v.Radius(18) + 0.5;
       double w = v.U(0.1, std::min(a, b)), th = i % 2 ? 0.0 : v.Angle();
       AddEllipseOutline(&c->outline, cx, cy, a, b, th, false);
       AddEllipseOutline(&c->outline, cx, cy, a - w, b - w, th, true);
       c->oracle = OracleRing(cx, cy, a, b, th, w);
     }},
    {"sector or segment", 15, [](ShapeRng& v, int i, Case* c) {
       double cx = v.Centre(21, 27), cy = v.Centre(21, 27), a = v.Radius(18), b = v.Radius(18);
       double start = v.Angle(), sweep = v.Pick(4) == 0 ? kPi / 2 : v.U(0.01, 2 * kPi - 0.01);
       double rot = v.Pick(3) == 0 ? 0.0 : v.Angle();
       if (i % 2) {
         AddSectorOutline(&c->outline, cx, cy, a, b, start, start + sweep, rot);
         c->oracle = OracleSector(cx, cy, a, b, start, sweep, rot);
       } else {
         AddSegmentOutline(&c->outline, cx, cy, a, b, start, start + sweep, rot);
         c->oracle = OracleSegment(cx, cy, a, b, start, sweep, rot);
       }
     }},
    {"rect", 16, [](ShapeRng& v, int, Case* c) {
       double x = v.Centre(7, 13), y = v.Centre(7, 13), w = v.Radius(30), h = v.Radius(30);
       AddRectOutline(&c->outline, x, y, w, h);
       c->oracle = OracleRect(x, y, w, h);
     }},
    {"round rect or frame", 17, [](ShapeRng& v, int i, Case* c) {
       double w = v.Radius(30) + 0.3, h = v.Radius(30) + 0.3, x = v.Centre(21, 27) - w / 2, y = v.Centre(21, 27) - h / 2;
       // Radii up to and above half a side (pills and beyond).
       double r = v.Pick(4) == 0 ? 0.5 * std::min(w, h) * v.U(1.0, 1.6) : v.Radius(10);
       double th = i % 4 < 2 ? 0.0 : v.Angle(), fw = v.U(0.2, 0.7 * std::min(w, h));
       if (i % 2) {
         AddRoundRectOutline(&c->outline, x, y, w, h, r, th, false);
         c->oracle = OracleRoundRect(x, y, w, h, r, th);
       } else {
         AddRoundRectFrameOutline(&c->outline, x, y, w, h, r, th, fw);
         c->oracle = OracleFrame(x, y, w, h, r, th, fw);
       }
     }},
};

TEST(CoverageOracle, EveryFamilyMatchesTheChordRuleAndTheTrueArea) {
  for (const auto& family : kFamilies) {
    ShapeRng v(family.seed);
    for (int i = 0; i < 60; ++i) {
      Case c;
      family.build(v, i, &c);
      ExpectMatchesOracles(c, kW, kH, family.name, i);
    }
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
