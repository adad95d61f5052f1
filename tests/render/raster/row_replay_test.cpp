// Rows whose outline pieces are all vertical lines through the whole row
// (rectangles, the straight middle rows of upright rounded rectangles and
// frames) are resolved once and replayed; the replay must give exactly the
// pixels of resolving every row on its own, for every kind of paint, over
// any background and clip.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/canvas.h"
#include "render/raster/outline.h"
#include "render/raster/scan_converter.h"

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

class Shapes {
 public:
  explicit Shapes(u32 seed) : g_(seed) {}
  double U(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(g_); }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(g_); }
  // Edges on whole and half pixels, next to pixel lines, or anywhere.
  double Edge(double lo, double hi) {
    double v = U(lo, hi);
    switch (Pick(4)) {
      case 0: return std::floor(v);
      case 1: return std::floor(v) + 0.5;
      case 2: return std::floor(v) + 1e-9;
      default: return v;
    }
  }
  u32 Colour() {
    static const u32 kAlpha[] = {0xFF, 0x90, 0x01, 0x00, 0x7F, 0xFE};
    u32 a = Pick(2) ? 0xFF : kAlpha[Pick(6)];
    return (a << 24) | (static_cast<u32>(g_()) & 0xFFFFFF);
  }
  void Build(COutline* o) {
    double x = Edge(-8, kW - 4), y = Edge(-8, kH - 4);
    double w = Pick(5) == 0 ? U(0.05, 1.5) : U(0.5, 70), h = U(0.3, 70);
    double r = Pick(3) == 0 ? 0.0 : U(0.1, 25);
    switch (Pick(6)) {
      case 0:
      case 1: AddRectOutline(o, x, y, w, h); break;
      case 2: AddRoundRectOutline(o, x, y, w, h, r, 0.0, false); break;
      case 3: AddRoundRectFrameOutline(o, x, y, w, h, r, 0.0, U(0.2, 9)); break;
      case 4:  // two rectangles side by side: more vertical pieces per row
        AddRectOutline(o, x, y, w, h);
        AddRectOutline(o, x + w + U(0, 3), y + U(-2, 2), U(0.5, 20), h);
        break;
      default: AddRoundRectOutline(o, x, y, w, h, r, U(-1, 1), false); break;  // turned
    }
  }

 private:
  std::mt19937 g_;
};

template <class Paint>
void ExpectReplayMatches(Shapes& s, const Paint& paint, const COutline& o, int i) {
  Rig fast;
  std::vector<u32> slow(static_cast<size_t>(kW) * kH);
  for (size_t k = 0; k < slow.size(); ++k)
    fast.pixels[k] = slow[k] = static_cast<u32>(s.Pick(1 << 30)) * 3u + (s.Pick(2) ? 0xFF000000u : 0u);
  i32 left = s.Pick(3) ? 0 : s.Pick(kW), right = s.Pick(3) ? kW : left + s.Pick(kW - left + 1);
  fast.canvas.bandClips[0] = {left, 0, right, kH};
  ScanOutline(&fast.canvas, o, paint, 0, kH, 0);
  DrawRowByRow(slow.data(), o, paint, left, right);
  ASSERT_EQ(fast.pixels, slow) << "shape " << i;
  for (double c : fast.coverage) ASSERT_EQ(c, 0.0) << "coverage row left dirty, shape " << i;
}

TEST(RowReplay, SolidPaintGivesTheRowByRowPixels) {
  Shapes s(11);
  for (int i = 0; i < 3000; ++i) {
    COutline o;
    s.Build(&o);
    SolidPaintState p;
    p.colour = s.Colour();
    ExpectReplayMatches(s, p, o, i);
  }
}

TEST(RowReplay, GradientsAlongYAndXGiveTheRowByRowPixels) {
  Shapes s(12);
  for (int i = 0; i < 2000; ++i) {
    COutline o;
    s.Build(&o);
    // Colours of different alpha, so consecutive rows change their weights.
    LinearGradientPaint g = {kPaintGradientY, 0, s.Colour(), s.Colour(), s.U(-10, kH), s.U(-10, kH + 10)};
    if (s.Pick(2)) {
      GradientYState p;
      p.Set(g);
      ExpectReplayMatches(s, p, o, i);
    } else {
      GradientXState p;
      p.Set(g);
      ExpectReplayMatches(s, p, o, i);
    }
  }
}

TEST(RowReplay, RadialPaintGivesTheRowByRowPixels) {
  Shapes s(13);
  for (int i = 0; i < 500; ++i) {
    COutline o;
    s.Build(&o);
    RadialGradient p(s.U(0, kW), s.U(0, kH), s.U(0, 5), s.U(5, 60), s.Colour(), s.Colour());
    ExpectReplayMatches(s, p, o, i);
  }
}

}  // namespace
