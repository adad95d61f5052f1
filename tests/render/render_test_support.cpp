#include "render_test_support.h"

#include <cmath>

#include "render/raster/scan_converter.h"

TestTarget::TestTarget(i32 w, i32 h, i32 bands, u32 fill)
    : pixels(static_cast<size_t>(w) * h, fill),
      scratch(static_cast<size_t>(w) * bands + 1, 123.0),  // garbage: the walk clears it
      canvas(bands) {
  canvas.Attach(pixels.data(), scratch.data(), w, h);
}

void TestTarget::Fill(u32 value) {
  for (u32& p : pixels) p = value;
}

namespace {

void Extent(double cy, double a, double b, double angle, double* yMax, double* yMin) {
  double s = std::sin(angle), c = std::cos(angle);
  double h = std::sqrt(a * a * s * s + b * b * c * c);
  *yMax = cy + h;
  *yMin = cy - h;
}

// Appends a turned ellipse shape with its row extent, painted `colour`.
template <typename Record>
void AppendTurned(CDisplayList& list, Record r, double cy, double a, double b, double angle,
                  u32 colour) {
  Extent(cy, a, b, angle, &r.yMax, &r.yMin);
  list.Append(r);
  list.ExtendRows(r.yMax, r.yMin);
  list.RecordSolidPaint(colour);
}

}  // namespace

void RecordEllipse(CDisplayList& list, double cx, double cy, double rx, double ry, u32 colour) {
  list.Append(EllipseRecord{kOpEllipse, 0, cx, cy, ry, rx});
  list.ExtendRows(cy + ry, cy - ry);
  list.RecordSolidPaint(colour);
}

void RecordEllipseRing(CDisplayList& list, double cx, double cy, double rx, double ry,
                       double width, u32 colour) {
  list.Append(EllipseRingRecord{kOpEllipseRing, 0, cx, cy, ry, rx, width});
  list.ExtendRows(cy + ry, cy - ry);
  list.RecordSolidPaint(colour);
}

void RecordRotatedEllipse(CDisplayList& list, double cx, double cy, double a, double b,
                          double angle, u32 colour) {
  AppendTurned(list, RotatedEllipseRecord{kOpRotatedEllipse, 0, cx, cy, b, a, angle, 0, 0}, cy,
               a, b, angle, colour);
}

void RecordRotatedEllipseRing(CDisplayList& list, double cx, double cy, double a, double b,
                              double width, double angle, u32 colour) {
  AppendTurned(list,
               RotatedEllipseRingRecord{kOpRotatedEllipseRing, 0, cx, cy, b, a, width, angle, 0, 0},
               cy, a, b, angle, colour);
}

void RecordSector(CDisplayList& list, double cx, double cy, double a, double b, double start,
                  double end, double rotation, u32 colour) {
  AppendTurned(list, SectorRecord{kOpSector, 0, cx, cy, b, a, start, end, rotation, 0, 0}, cy, a,
               b, rotation, colour);
}

void RecordSegment(CDisplayList& list, double cx, double cy, double a, double b, double t0,
                   double t1, double rotation, u32 colour) {
  AppendTurned(list, SegmentRecord{kOpSegment, 0, cx, cy, b, a, t0, t1, rotation, 0, 0}, cy, a,
               b, rotation, colour);
}

double ShapeRng::Centre(double lo, double hi) {
  const double v = U(lo, hi);
  switch (Pick(4)) {
    case 0: return std::floor(v);
    case 1: return std::floor(v) + 0.5;
    case 2: return std::floor(v) + 1e-7;
    default: return v;
  }
}

double ShapeRng::Radius(double max) {
  static const double kList[] = {0.2, 0.5, 0.999999, 1.0, 1.5, 2.0, 2.5, 3.3, 9.0, 17.0};
  return Pick(2) ? std::fmin(kList[Pick(10)], max) : U(0.2, max);
}

double ShapeRng::Angle() {
  constexpr double kPi = 3.14159265358979323846;
  static const double kList[] = {0.0, kPi / 2, kPi / 2 + 0.0005, kPi / 2 - 0.0005, 2 * kPi, -kPi / 4, kPi, 1.5 * kPi};
  return Pick(2) ? kList[Pick(8)] : U(-2 * kPi, 2 * kPi);
}

u32 ShapeRng::Colour() {
  static const u32 kAlpha[] = {0xFF, 0x90, 0x01, 0x00, 0x7F, 0xFE};
  const u32 a = Pick(2) ? 0xFF : kAlpha[Pick(6)];
  return (a << 24) | (static_cast<u32>(g_()) & 0xFFFFFF);
}

void RecordScene(CCanvas& canvas, u32 seed, int count, bool curvedGradients) {
  ShapeRng r(seed);
  CDisplayList& list = canvas.list;
  for (int i = 0; i < count; ++i) {
    double cx = r.U(-10, 170), cy = r.U(-10, 130), a = r.Radius(18) * 2, b = r.Radius(18) * 2;
    double th = r.Angle();
    u32 colour = (static_cast<u32>(r.Pick(256)) << 24) | static_cast<u32>(r.Pick(1 << 24));
    if (r.Pick(3) == 0) colour |= 0xFF000000u;
    int f = r.Pick(12);
    switch (f) {
      case 0: canvas.FillCircle(cx, cy, a, colour); break;
      case 1: canvas.FillRing(cx, cy, a, r.U(-1, a + 1), colour); break;
      case 2: RecordEllipse(list, cx, cy, a, b, colour); break;
      case 3: RecordEllipseRing(list, cx, cy, a, b, r.U(0, a), colour); break;
      case 4: RecordRotatedEllipse(list, cx, cy, a, b, th, colour); break;
      case 5: RecordRotatedEllipseRing(list, cx, cy, a, b, r.U(0, a), th, colour); break;
      case 6: RecordSector(list, cx, cy, a, b, r.Angle(), r.Angle(), th, colour); break;
      case 7: RecordSegment(list, cx, cy, a, b, r.Angle(), r.Angle(), th, colour); break;
      case 8: {
        LinearGradient g = {colour, ~colour, cy - a, cy + a};
        if (r.Pick(2))
          canvas.FillRectGradientY(cx - a, cy - b, cx + a, cy + b, g);
        else
          canvas.FillRectGradientX(cx - a, cy - b, cx + a, cy + b, g);
        break;
      }
      case 9: {
        RadialGradientParams g = {cx, cy, r.U(0, 3), a, colour, colour ^ 0x00FFFFFFu};
        const double radius = r.U(0, a);
        if (curvedGradients)
          canvas.FillRoundRectRadialGradient(cx - a, cy - b, cx + a, cy + b, radius, g);
        else
          canvas.FillRoundRectGradientY(cx - a, cy - b, cx + a, cy + b, radius, {g.colour0, g.colour1, cy - b, cy + b});
        break;
      }
      case 10: canvas.FillRotatedRoundRect(cx - a, cy - b, cx + a, cy + b, r.U(0, a), th, colour); break;
      case 11:
        canvas.FrameRotatedRoundRect(cx - a, cy - b, cx + a, cy + b, r.U(0, a), th * (r.Pick(2)),
                                     r.U(-0.5, a), colour);
        break;
    }
  }
}

namespace {

struct ProbeVisitor {
  static constexpr bool kRuns = false;
  double* row;
  void Constant(i32 from, i32 to, double c) {
    for (i32 x = from; x < to; ++x) row[x] = c;
  }
  void Cells(i32 from, i32 to, const double* cells) {
    for (i32 x = from; x < to; ++x) row[x] = cells[x];
  }
};

}  // namespace

std::vector<double> ProbeCoverage(const COutline& outline, i32 w, i32 h, i32 clipLeft,
                                  i32 clipRight) {
  if (clipRight < 0) clipRight = w;
  std::vector<double> grid(static_cast<size_t>(w) * h, -1.0);
  std::vector<double> scratch(static_cast<size_t>(w), 0.0);
  for (i32 j = 0; j < h; ++j) {
    ProbeVisitor v{grid.data() + static_cast<size_t>(j) * w};
    ResolveRow(outline, j, scratch.data(), w, clipLeft, clipRight, v);
  }
  return grid;
}

u32 RuleBlend(u32 t, u32 c, u32 a) {
  if (a == 255) return c | 0xFF000000u;
  u32 out = 0;
  for (int shift = 0; shift < 24; shift += 8)
    out |= ((((c >> shift) & 0xFF) * a + ((t >> shift) & 0xFF) * (255 - a)) >> 8) << shift;
  const u32 ta = t >> 24;
  return out | (ta + (((255 - ta) * a) >> 8)) << 24;
}

u32 ExpectedPixel(u32 background, u32 colour, double coverage) {
  const u32 a = static_cast<u32>(std::fmin(std::fmax(coverage, 0.0), 1.0) * 255.0);
  return a ? RuleBlend(background, colour, a) : background;
}
