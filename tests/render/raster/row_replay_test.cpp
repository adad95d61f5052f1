// Rows whose outline pieces are all vertical lines through the whole row
// (rectangles, the straight middle rows of upright rounded rectangles and
// frames) are resolved once and replayed; the replay must give exactly the
// pixels of resolving every row on its own, for every kind of paint, over
// any background and clip.
#include <gtest/gtest.h>

#include <vector>

#include "render/canvas.h"
#include "render/raster/outline.h"
#include "render/raster/scan_converter.h"
#include "../render_test_support.h"

namespace {

constexpr i32 kW = 97, kH = 83;

struct Rig {
  std::vector<u32> pixels;
  std::vector<double> coverage;
  CCanvas canvas{1};
  Rig() : pixels(static_cast<size_t>(kW) * kH), coverage(kW, 0.0) {
    canvas.Attach(pixels.data(), coverage.data(), kW, kH);
  }
};

// Every row resolved and written on its own, without any replay.
template <class Paint>
void DrawRowByRow(u32* pixels, const COutline& o, const Paint& paint, i32 clipLeft, i32 clipRight) {
  std::vector<double> cov(kW, 0.0);
  for (i32 j = 0; j < kH; ++j) {
    scan_detail::RowWriter<Paint> w{pixels + static_cast<size_t>(j) * kW, cov.data(), paint, j};
    ResolveRow(o, j, cov.data(), kW, clipLeft, clipRight, w);
  }
}

// Rectangles, upright rounded rectangles and frames (with straight middle
// rows), pairs of rectangles, and turned ones (no straight rows), with edges
// on whole and half pixels, next to pixel lines or anywhere.
void BuildShape(ShapeRng& s, COutline* o) {
  auto edge = [&](double lo, double hi) { return s.Centre(lo, hi); };
  const double x = edge(-8, kW - 4), y = edge(-8, kH - 4);
  const double w = s.Pick(5) == 0 ? s.U(0.05, 1.5) : s.U(0.5, 70), h = s.U(0.3, 70);
  const double r = s.Pick(3) == 0 ? 0.0 : s.U(0.1, 25);
  switch (s.Pick(6)) {
    case 0:
    case 1: AddRectOutline(o, x, y, w, h); break;
    case 2: AddRoundRectOutline(o, x, y, w, h, r, 0.0, false); break;
    case 3: AddRoundRectFrameOutline(o, x, y, w, h, r, 0.0, s.U(0.2, 9)); break;
    case 4:
      AddRectOutline(o, x, y, w, h);
      AddRectOutline(o, x + w + s.U(0, 3), y + s.U(-2, 2), s.U(0.5, 20), h);
      break;
    default: AddRoundRectOutline(o, x, y, w, h, r, s.U(-1, 1), false);
  }
}

template <class Paint>
void ExpectReplayMatches(ShapeRng& s, const Paint& paint, const COutline& o, int i) {
  Rig fast;
  std::vector<u32> slow(static_cast<size_t>(kW) * kH);
  for (size_t k = 0; k < slow.size(); ++k) fast.pixels[k] = slow[k] = s.Colour();
  i32 left = s.Pick(3) ? 0 : s.Pick(kW), right = s.Pick(3) ? kW : left + s.Pick(kW - left + 1);
  fast.canvas.bandClips[0] = {left, 0, right, kH};
  ScanOutline(&fast.canvas, o, paint, 0, kH, 0);
  DrawRowByRow(slow.data(), o, paint, left, right);
  ASSERT_EQ(fast.pixels, slow) << "shape " << i;
  for (double c : fast.coverage) ASSERT_EQ(c, 0.0) << "coverage row left dirty, shape " << i;
}

// Every kind of paint, colours of every alpha (so consecutive rows of a
// gradient change their weights), over any background and clip.
TEST(RowReplay, ReplayedRowsGiveTheRowByRowPixels) {
  ShapeRng s(11);
  for (int i = 0; i < 4000; ++i) {
    COutline o;
    BuildShape(s, &o);
    const LinearGradientPaint g = {kPaintGradientY, 0, s.Colour(), s.Colour(), s.U(-10, kH), s.U(-10, kH + 10)};
    switch (i % 4) {
      case 0: {
        SolidPaintState p{s.Colour()};
        ExpectReplayMatches(s, p, o, i);
        break;
      }
      case 1: {
        GradientYState p;
        p.Set(g);
        ExpectReplayMatches(s, p, o, i);
        break;
      }
      case 2: {
        GradientXState p;
        p.Set(g);
        ExpectReplayMatches(s, p, o, i);
        break;
      }
      default:
        ExpectReplayMatches(s, RadialGradient(s.U(0, kW), s.U(0, kH), s.U(0, 5), s.U(5, 60), s.Colour(), s.Colour()), o, i);
    }
  }
}

}  // namespace
