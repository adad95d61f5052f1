// Properties of the scan converter over thousands of seeded random shapes
// per family with adversarial values: coverage in [0, 1], translation and
// mirror symmetry, additivity; and, through the canvas, clip invariance with
// no write outside the clip and records drawing their outlines.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "render/canvas.h"
#include "render/raster/outline.h"
#include "../render_test_support.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr i32 kW = 64, kH = 64;

// One random shape of a family, buildable at any offset and mirrored.
struct Shape {
  int family;
  double cx, cy, a, b, angle, width, start, end;
  // x' = mirror ? 2 m - x : x, then moved by (dx, dy).
  void Build(COutline* o, double dx, double dy, bool mirror) const {
    double x = cx + dx, y = cy + dy, th = angle, s = start, e = end;
    const double m = kW / 2.0;
    if (mirror) {
      x = 2 * m - x;
      th = -th;
      s = kPi - end;
      e = kPi - start;
    }
    switch (family) {
      case 0: AddEllipseOutline(o, x, y, a, a, 0, false); break;
      case 1:
        AddEllipseOutline(o, x, y, a, a, 0, false);
        AddEllipseOutline(o, x, y, a - width, a - width, 0, true);
        break;
      case 2: AddEllipseOutline(o, x, y, a, b, th, false); break;
      case 3:
        AddEllipseOutline(o, x, y, a, b, th, false);
        AddEllipseOutline(o, x, y, a - width, b - width, th, true);
        break;
      case 4: AddSectorOutline(o, x, y, a, b, s, e, th); break;
      case 5: AddSegmentOutline(o, x, y, a, b, s, e, th); break;
      case 6: AddRectOutline(o, x - a, y - b, 2 * a, 2 * b); break;
      case 7: AddRoundRectOutline(o, x - a, y - b, 2 * a, 2 * b, width, th, false); break;
      case 8: AddRoundRectFrameOutline(o, x - a, y - b, 2 * a, 2 * b, start, th, width); break;
    }
  }
};

constexpr int kFamilies = 9;
const char* const kFamilyNames[kFamilies] = {"circle", "ring", "ellipse", "elliptic ring", "sector",
                                             "segment", "rect", "round rect", "frame"};

Shape RandomShape(ShapeRng& r, int family) {
  Shape s = {};
  s.family = family;
  s.cx = r.Centre(20, 44), s.cy = r.Centre(20, 44);
  s.a = r.Radius(18), s.b = r.Pick(3) == 0 ? s.a : r.Radius(18);
  s.angle = family == 0 || family == 1 ? 0.0 : r.Angle();
  if (family == 6) s.angle = 0;
  s.width = r.U(0.05, 1.0) * std::min(s.a, s.b);
  s.start = r.Angle();
  s.end = r.Pick(5) == 0 ? s.start + 2 * kPi : r.Angle();
  if (family == 7) s.width = r.Pick(3) == 0 ? r.U(1.0, 1.5) * std::min(s.a, s.b) : r.U(0, std::min(s.a, s.b));
  if (family == 8) {
    s.start = r.U(0, 1.4) * std::min(s.a, s.b);  // corner radius, at times above half a side
    s.width = r.U(0.05, 1.2) * std::min(s.a, s.b);
  }
  return s;
}

std::vector<double> Probe(const Shape& s, double dx, double dy, bool mirror) {
  COutline o;
  s.Build(&o, dx, dy, mirror);
  EXPECT_TRUE(o.IsValid());
  return ProbeCoverage(o, kW, kH);
}

const int kPerFamily = 2000;

TEST(ShapeProperties, CoverageLiesInZeroToOneAndMovesWithTheShape) {
  ShapeRng r(101);
  for (int f = 0; f < kFamilies; ++f)
    for (int i = 0; i < kPerFamily; ++i) {
      Shape s = RandomShape(r, f);
      std::vector<double> a = Probe(s, 0, 0, false);
      int dx = r.Pick(7) - 3, dy = r.Pick(7) - 3;
      std::vector<double> b = Probe(s, dx, dy, false);
      for (i32 y = 0; y < kH; ++y)
        for (i32 x = 0; x < kW; ++x) {
          double v = a[y * kW + x];
          ASSERT_TRUE(v >= 0.0 && v <= 1.0) << kFamilyNames[f] << " #" << i;
          i32 mx = x + dx, my = y + dy;
          if (mx < 0 || my < 0 || mx >= kW || my >= kH) continue;
          ASSERT_NEAR(v, b[my * kW + mx], 1e-7) << kFamilyNames[f] << " #" << i << " moved by "
                                                << dx << ", " << dy << " at " << x << ", " << y;
        }
    }
}

TEST(ShapeProperties, MirrorSymmetry) {
  ShapeRng r(202);
  for (int f = 0; f < kFamilies; ++f)
    for (int i = 0; i < kPerFamily / 2; ++i) {
      Shape s = RandomShape(r, f);
      std::vector<double> a = Probe(s, 0, 0, false), b = Probe(s, 0, 0, true);
      for (i32 y = 0; y < kH; ++y)
        for (i32 x = 0; x < kW; ++x)
          ASSERT_NEAR(a[y * kW + x], b[y * kW + (kW - 1 - x)], 1e-7)
              << kFamilyNames[f] << " #" << i << " at " << x << ", " << y;
    }
}

bool CellHolds(i32 x, i32 y, double px, double py) {
  return px >= x && px <= x + 1 && py >= y && py <= y + 1;
}

TEST(ShapeProperties, RingIsDiscMinusDiscAndFrameIsRectMinusRect) {
  ShapeRng r(303);
  for (int i = 0; i < kPerFamily; ++i) {
    Shape s = RandomShape(r, 3);
    if (i % 2) s.b = s.a, s.angle = 0;  // circles too
    COutline ring, outer, inner;
    AddEllipseOutline(&ring, s.cx, s.cy, s.a, s.b, s.angle, false);
    AddEllipseOutline(&ring, s.cx, s.cy, s.a - s.width, s.b - s.width, s.angle, true);
    AddEllipseOutline(&outer, s.cx, s.cy, s.a, s.b, s.angle, false);
    AddEllipseOutline(&inner, s.cx, s.cy, s.a - s.width, s.b - s.width, s.angle, false);
    std::vector<double> g = ProbeCoverage(ring, kW, kH), o = ProbeCoverage(outer, kW, kH),
                        n = ProbeCoverage(inner, kW, kH);
    for (size_t k = 0; k < g.size(); ++k) ASSERT_NEAR(g[k], o[k] - n[k], 1e-9) << "ring #" << i;
  }
  for (int i = 0; i < kPerFamily; ++i) {
    Shape s = RandomShape(r, 8);
    double w = 2 * s.a, h = 2 * s.b, x = s.cx - s.a, y = s.cy - s.b, d = s.width;
    if (2 * d >= std::min(w, h)) continue;
    double rr = std::min(s.start, 0.5 * std::min(w, h));
    COutline frame, outer, inner;
    AddRoundRectFrameOutline(&frame, x, y, w, h, s.start, s.angle, d);
    AddRoundRectOutline(&outer, x, y, w, h, rr, s.angle, false);
    AddRoundRectOutline(&inner, x + d, y + d, w - 2 * d, h - 2 * d, std::max(rr - d, 0.0), s.angle, false);
    std::vector<double> g = ProbeCoverage(frame, kW, kH), o = ProbeCoverage(outer, kW, kH),
                        n = ProbeCoverage(inner, kW, kH);
    for (size_t k = 0; k < g.size(); ++k) ASSERT_NEAR(g[k], o[k] - n[k], 1e-9) << "frame #" << i;
  }
}

// Segment + its complement and sector + its complement give the ellipse;
// only the cells holding the cut points differ (there the ellipse has no
// corner).
TEST(ShapeProperties, SegmentAndSectorPlusComplementIsTheEllipse) {
  ShapeRng r(404);
  for (int i = 0; i < kPerFamily; ++i) {
    Shape s = RandomShape(r, 4);
    if (std::fabs(std::remainder(s.end - s.start, 2 * kPi)) < 2e-9) continue;
    COutline whole;
    AddEllipseOutline(&whole, s.cx, s.cy, s.a, s.b, s.angle, false);
    std::vector<double> e = ProbeCoverage(whole, kW, kH);
    double c = std::cos(s.angle), sn = std::sin(s.angle);
    double p[2][2];
    for (int k = 0; k < 2; ++k) {
      double t = k ? s.end : s.start;
      double u = s.a * std::cos(t), v = s.b * std::sin(t);
      p[k][0] = s.cx + u * c - v * sn, p[k][1] = s.cy + u * sn + v * c;
    }
    for (int kind = 0; kind < 2; ++kind) {
      COutline one, other;
      if (kind == 0) {
        AddSegmentOutline(&one, s.cx, s.cy, s.a, s.b, s.start, s.end, s.angle);
        AddSegmentOutline(&other, s.cx, s.cy, s.a, s.b, s.end, s.start, s.angle);
      } else {
        AddSectorOutline(&one, s.cx, s.cy, s.a, s.b, s.start, s.end, s.angle);
        AddSectorOutline(&other, s.cx, s.cy, s.a, s.b, s.end, s.start, s.angle);
      }
      std::vector<double> g = ProbeCoverage(one, kW, kH), h = ProbeCoverage(other, kW, kH);
      for (i32 y = 0; y < kH; ++y)
        for (i32 x = 0; x < kW; ++x) {
          if (CellHolds(x, y, p[0][0], p[0][1]) || CellHolds(x, y, p[1][0], p[1][1])) continue;
          // Both parts cover the cell: the sum can pass 1 only by rounding.
          ASSERT_NEAR(g[y * kW + x] + h[y * kW + x], e[y * kW + x], 1e-9)
              << (kind ? "sector" : "segment") << " #" << i << " at " << x << ", " << y;
        }
    }
  }
}

// ---- through the canvas ---------------------------------------------------------

std::vector<u32> RenderScene(u32 seed, int count, i32 bands, const Rect* clip, bool curvedGradients = true) {
  TestTarget t(160, 120, 16, 0x80402010u);
  t.canvas.Reset();
  if (clip) t.canvas.SetClipRect(clip->left, clip->top, clip->right, clip->bottom);
  RecordScene(t.canvas, seed, count, curvedGradients);
  t.canvas.list.Flush(bands);
  return t.pixels;
}

// (A run that a clip cuts on the left takes the colour at the clip's edge,
// so scenes with curved gradients are only checked outside the clip.)
TEST(ShapeProperties, ClipChangesNothingInsideAndWritesNothingOutside) {
  ShapeRng r(77);
  for (u32 seed = 1; seed <= 8; ++seed)
    for (bool curved : {false, true}) {
      std::vector<u32> full = RenderScene(seed, 120, 3, nullptr, curved);
      i32 l = r.Pick(150), t = r.Pick(110);
      Rect clip = {l, t, l + 1 + r.Pick(160 - l), t + 1 + r.Pick(120 - t)};
      std::vector<u32> cut = RenderScene(seed, 120, 7, &clip, curved);
      for (i32 y = 0; y < 120; ++y)
        for (i32 x = 0; x < 160; ++x) {
          if (curved && clip.Contains(x, y)) continue;
          u32 want = clip.Contains(x, y) ? full[y * 160 + x] : 0x80402010u;
          ASSERT_EQ(cut[y * 160 + x], want) << "seed " << seed << (curved ? " curved" : "") << " at " << x << ", " << y;
        }
    }
}

// Each record kind draws what its outline covers: opaque white over black
// gives the blend of the probed coverage in every pixel.
TEST(ShapeProperties, RecordsDrawTheirOutlines) {
  ShapeRng r(55);
  TestTarget t(kW, kH, 3, 0xFF000000u);
  for (int i = 0; i < 400; ++i) {
    t.Fill(0xFF000000u);
    t.canvas.Reset();
    double cx = r.Centre(20, 44), cy = r.Centre(20, 44), a = r.Radius(18), b = r.Radius(18), th = r.Angle();
    double w = r.U(0, 1) * std::min(a, b), s0 = r.Angle(), s1 = r.Angle();
    // Rectangles cut their columns exactly; every other shape takes its row
    // crossings snapped.
    COutline o(i % 10 == 6 ? RowCrossings::kExact : RowCrossings::kSnapped);
    const u32 white = 0xFFFFFFFFu;
    switch (i % 10) {
      case 0:
        t.canvas.FillRing(cx, cy, a, w, white);
        AddEllipseOutline(&o, cx, cy, TruncateRadius(a), TruncateRadius(a), 0, false);
        AddEllipseOutline(&o, cx, cy, TruncateRadius(a) - w, TruncateRadius(a) - w, 0, true);
        break;
      case 8:
        t.canvas.FillCircle(cx, cy, a, white);
        AddEllipseOutline(&o, cx, cy, TruncateRadius(a), TruncateRadius(a), 0, false);
        break;
      case 9: {  // the stored extent of a turned shape must hold all of it
        double ang = r.U(0.1, 1.4) + (i % 20 == 9 ? 3.2 : 0.0);
        t.canvas.FillRotatedRoundRect(cx - a, cy - b, cx + a, cy + b, w, ang, white);
        AddRoundRectOutline(&o, cx - a, cy - b, 2 * a, 2 * b, TruncateRadius(w), ang, false);
        break;
      }
      case 1:
        RecordEllipse(t.canvas.list, cx, cy, a, b, white);
        AddEllipseOutline(&o, cx, cy, a, b, 0, false);
        break;
      case 2:
        RecordEllipseRing(t.canvas.list, cx, cy, a, b, w, white);
        AddEllipseOutline(&o, cx, cy, a, b, 0, false);
        AddEllipseOutline(&o, cx, cy, a - w, b - w, 0, true);
        break;
      case 3:
        RecordRotatedEllipseRing(t.canvas.list, cx, cy, a, b, w, th, white);
        AddEllipseOutline(&o, cx, cy, a, b, th, false);
        AddEllipseOutline(&o, cx, cy, a - w, b - w, th, true);
        break;
      case 4:
        RecordSector(t.canvas.list, cx, cy, a, b, s0, s1, th, white);
        AddSectorOutline(&o, cx, cy, a, b, s0, s1, th);
        break;
      case 5:
        RecordSegment(t.canvas.list, cx, cy, a, b, s0, s1, th, white);
        AddSegmentOutline(&o, cx, cy, a, b, s0, s1, th);
        break;
      case 6:
        t.canvas.FillRect(cx + a, cy + b, cx - a, cy - b, white);  // corners in any order
        AddRectOutline(&o, cx - a, cy - b, (cx + a) - (cx - a), (cy + b) - (cy - b));
        break;
      case 7: {
        double ang = r.U(0.1, 1.4);
        t.canvas.FrameRotatedRoundRect(cx - a, cy - b, cx + a, cy + b, w, ang, w * 0.5, white);
        AddRoundRectFrameOutline(&o, cx - a, cy - b, 2 * a, 2 * b, TruncateRadius(w), ang, w * 0.5);
        break;
      }
    }
    t.canvas.list.Flush(3);
    std::vector<double> cov = ProbeCoverage(o, kW, kH);
    for (i32 y = 0; y < kH; ++y)
      for (i32 x = 0; x < kW; ++x)
        ASSERT_EQ(t.At(x, y), ExpectedPixel(0xFF000000u, white, cov[y * kW + x]))
            << "case " << i << " at " << x << ", " << y;
  }
}

}  // namespace
