// Crossings of an outline with the lines between pixel rows that lie within
// 0.0001 of a whole column are taken as that column, for every shape but
// the plain rectangle, whose columns are cut exactly where its edges are.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "render/canvas.h"
#include "render/raster/outline.h"
#include "../render_test_support.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

TEST(RowCrossings, SnapToIntegerTable) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const struct {
    double in, out;
  } rows[] = {
      {4.99995, 5.0},   {5.00005, 5.0},   {5.5, 5.5},       {6.9998, 6.9998}, {7.0, 7.0},     {-4.99995, -5.0},
      {-5.00005, -5.0}, {0.00009, 0.0},   {-0.00009, 0.0},  {2.00011, 2.00011}, {1.99989, 1.99989}, {inf, inf},
  };
  for (const auto& r : rows) {
    double x = r.in;
    SnapToInteger(&x);
    EXPECT_EQ(x, r.out) << r.in;
  }
  double x = nan;
  SnapToInteger(&x);
  EXPECT_TRUE(std::isnan(x));
}

// The side of a huge circle (leftmost point at x, row 20) crosses both
// lines of row 22 within 0.0001 left of column line 7 when x = 6.9999:
// snapped, column 6 gets no coverage from those crossings; at 6.9997 they
// stay, and so do the crossings of an exact outline.
TEST(RowCrossings, CircleCrossingNextToAColumnLine) {
  const struct {
    double leftmost;
    RowCrossings crossings;
    bool sliver;  // column 6 holds coverage in row 22
  } rows[] = {
      {6.9999, RowCrossings::kSnapped, false},
      {6.9997, RowCrossings::kSnapped, true},
      {6.9999, RowCrossings::kExact, true},
  };
  for (const auto& r : rows) {
    COutline o(r.crossings);
    AddEllipseOutline(&o, r.leftmost + 100000.0, 20, 100000.0, 100000.0, 0.0, false);
    const std::vector<double> cov = ProbeCoverage(o, 40, 40);
    EXPECT_EQ(cov[22 * 40 + 6] > 0.0, r.sliver) << r.leftmost;
    EXPECT_EQ(cov[22 * 40 + 7], 1.0) << r.leftmost;
  }
}

// Through the canvas, opaque white over black: an edge that crosses the
// lines of row y within 0.0001 right of column x (a straight edge, or the
// side of a huge circle two and three rows from its leftmost point, which
// lies 0.00001 right of the column line) covers the column whole when the
// shape snaps its row crossings, and leaves it at weight 254 when the
// columns are exact.
TEST(RowCrossings, EveryShapeButThePlainRectangleSnaps) {
  const u32 white = 0xFFFFFFFFu, black = 0xFF000000u;
  const double big = 100000.0, e = 0.00005, side = 5.00001;
  typedef std::function<void(CCanvas&)> Draw;
  const struct {
    const char* what;
    Draw draw;
    i32 x, y;
    bool snapped;
  } rows[] = {
      {"rounded rectangle, left", [=](CCanvas& c) { c.FillRoundRect(5 + e, 5, 20, 15, 0, white); }, 5, 10, true},
      {"rounded rectangle, right", [=](CCanvas& c) { c.FillRoundRect(5, 5, 21 - e, 15, 0, white); }, 20, 10, true},
      {"rounded rectangle's straight side", [=](CCanvas& c) { c.FillRoundRect(5 + e, 5, 20, 25, 3, white); }, 5, 15, true},
      {"frame", [=](CCanvas& c) { c.FrameRoundRect(5, 5, 31 - e, 25, 2, 3, white); }, 30, 15, true},
      {"turned within a step of upright",
       [=](CCanvas& c) { c.FillRotatedRoundRect(5 + e, 5, 20, 15, 0, 0.0004, white); }, 5, 10, true},
      {"sector's radius line", [=](CCanvas& c) { RecordSector(c.list, 20 + e, 20, 10, 10, 0, kPi / 2, 0, white); }, 20, 25, true},
      {"segment's chord", [=](CCanvas& c) { RecordSegment(c.list, 20 + e, 20, 10, 10, -kPi / 2, kPi / 2, 0, white); }, 20,
       25, true},
      {"circle", [=](CCanvas& c) { c.FillCircle(side + big, 30, big, white); }, 5, 32, true},
      {"circle, lower half", [=](CCanvas& c) { c.FillCircle(side + big, 30, big, white); }, 5, 27, true},
      {"ring", [=](CCanvas& c) { c.FillRing(side + big, 30, big, 20, white); }, 5, 32, true},
      {"ellipse", [=](CCanvas& c) { RecordEllipse(c.list, side + big, 30, big, big, white); }, 5, 32, true},
      {"elliptic ring", [=](CCanvas& c) { RecordEllipseRing(c.list, side + big, 30, big, big, 20, white); }, 5, 32, true},
      {"turned ellipse", [=](CCanvas& c) { RecordRotatedEllipse(c.list, side + big, 30, big, big, 0, white); }, 5, 32,
       true},
      {"turned elliptic ring",
       [=](CCanvas& c) { RecordRotatedEllipseRing(c.list, side + big, 30, big, big, 20, 0, white); }, 5, 32, true},
      {"plain rectangle, left", [=](CCanvas& c) { c.FillRect(5 + e, 5, 20, 15, white); }, 5, 10, false},
      {"plain rectangle, right", [=](CCanvas& c) { c.FillRect(5, 5, 21 - e, 15, white); }, 20, 10, false},
  };
  for (i32 bands : {1, 4})
    for (const auto& r : rows) {
      TestTarget t(64, 48, bands, black);
      r.draw(t.canvas);
      t.canvas.list.Flush(bands);
      EXPECT_EQ(t.At(r.x, r.y), r.snapped ? white : RuleBlend(black, white, 254))
          << r.what << " in " << bands << " bands" << std::hex << " got " << t.At(r.x, r.y);
    }
}

}  // namespace
