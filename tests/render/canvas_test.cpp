// The canvas recorders through their pixels: every recorder moves with the
// origin, recordings that must draw alike do, clips and viewports bound
// every write, and bad input draws nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "render/canvas.h"
#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"
#include "render_test_support.h"
#include "support/font_fake_faces.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr u32 kPaper = 0xFF203040u;

// A drawing step given an offset added to every coordinate it passes.
typedef std::function<void(CCanvas&, double dx, double dy)> Op;

// Draws the ops into a fresh 120 x 90 target (the canvas origin set first)
// and returns the pixels.
std::vector<u32> Render(const std::vector<Op>& ops, double ox, double oy, double dx, double dy, i32 bands = 3) {
  TestTarget t(120, 90, bands, kPaper);
  t.canvas.originX = ox;
  t.canvas.originY = oy;
  for (const Op& op : ops) op(t.canvas, dx, dy);
  t.canvas.list.Flush(bands);
  return t.pixels;
}

class CanvasTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fonts_.ok);
    font_ = AcquireFont(u"Tahoma", 10, false, false);
    ASSERT_NE(font_, nullptr);
    for (size_t i = 0; i < picture_.size(); ++i) picture_[i] = 0x80000000u | static_cast<u32>(i * 0x0A0B0Cu);
  }
  void TearDown() override { font_->Release(); }
  fonttest::CFakeFaces faces_;
  fonttest::CFontListScope fonts_{&faces_};
  CFont* font_ = nullptr;
  std::vector<u32> picture_ = std::vector<u32>(6 * 5);
  BitmapView View() { return BitmapView{6, 5, 6, picture_.data()}; }
};

// Every recorder, its paint and its clip are placed relative to the origin:
// a scene drawn with the origin at (ox, oy) is pixel for pixel the scene
// drawn with every coordinate moved by (ox, oy).
TEST_F(CanvasTest, EveryRecorderMovesWithTheOrigin) {
  CShadowGenerator shadow(1, 5);
  const LinearGradient g = {0xFF0000FFu, 0x80FF8000u, 3, 21};
  auto radial = [](double dx, double dy) { return RadialGradientParams{12 + dx, 10 + dy, 2, 14, 0xFFFFFFFFu, 0x40000000u}; };
  const std::vector<Op> ops = {
      [&](CCanvas& c, double dx, double dy) {
        shadow.DrawAt(&c, {static_cast<i32>(2 + dx), static_cast<i32>(3 + dy), static_cast<i32>(60 + dx),
                           static_cast<i32>(40 + dy)});
      },
      [](CCanvas& c, double dx, double dy) { c.FillCircle(10.5 + dx, 9 + dy, 6.3, 0xC0FF0000u); },
      [&](CCanvas& c, double dx, double dy) { c.FillCircleRadialGradient(30 + dx, 9 + dy, 7, radial(dx + 18, dy)); },
      [](CCanvas& c, double dx, double dy) { c.FillRing(50 + dx, 10 + dy, 8, 2.5, 0xFF00FF00u); },
      [](CCanvas& c, double dx, double dy) { c.FillRect(2 + dx, 22 + dy, 20.5 + dx, 30 + dy, 0x9000FFFFu); },
      [&](CCanvas& c, double dx, double dy) {
        c.FillRectGradientY(22 + dx, 22 + dy, 40 + dx, 30 + dy,
                            {g.colour0, g.colour1, g.start + 19 + dy, g.end + 9 + dy});
      },
      [&](CCanvas& c, double dx, double dy) {
        c.FillRectGradientX(42 + dx, 22 + dy, 60 + dx, 30 + dy, {g.colour0, g.colour1, 42 + dx, 60 + dx});
      },
      [&](CCanvas& c, double dx, double dy) {
        c.FillRectRadialGradient(62 + dx, 22 + dy, 80 + dx, 32 + dy, radial(dx + 58, dy + 16));
      },
      [](CCanvas& c, double dx, double dy) { c.FillRoundRect(2 + dx, 34 + dy, 22 + dx, 44 + dy, 3, 0xFFFF00FFu); },
      [](CCanvas& c, double dx, double dy) {
        c.FillRotatedRoundRect(24 + dx, 34 + dy, 44 + dx, 44 + dy, 3, 0.4, 0xFF808080u);
      },
      [&](CCanvas& c, double dx, double dy) {
        c.FillRoundRectGradientY(46 + dx, 34 + dy, 60 + dx, 44 + dy, 2, {g.colour0, g.colour1, 34 + dy, 44 + dy});
      },
      [&](CCanvas& c, double dx, double dy) {
        c.FillRoundRectGradientX(62 + dx, 34 + dy, 80 + dx, 44 + dy, 2, {g.colour0, g.colour1, 62 + dx, 80 + dx});
      },
      [&](CCanvas& c, double dx, double dy) {
        c.FillRoundRectRadialGradient(82 + dx, 34 + dy, 100 + dx, 44 + dy, 2, radial(dx + 78, dy + 28));
      },
      [](CCanvas& c, double dx, double dy) {
        c.FillRoundRectEllipticGradient(2 + dx, 46 + dy, 30 + dx, 56 + dy, 2,
                                        {16 + dx, 51 + dy, 14, 5, 0xFF000000u, 0xFFFFFFFFu});
      },
      [&](CCanvas& c, double dx, double dy) {
        c.FillRotatedRoundRectRadialGradient(32 + dx, 46 + dy, 50 + dx, 56 + dy, 2, 0.3, radial(dx + 29, dy + 41));
      },
      [](CCanvas& c, double dx, double dy) {
        c.FrameRoundRect(52 + dx, 46 + dy, 70 + dx, 56 + dy, 3, 1.5, 0xFFFFFFFFu);
      },
      [](CCanvas& c, double dx, double dy) {
        c.FrameRotatedRoundRect(72 + dx, 46 + dy, 92 + dx, 58 + dy, 3, 0.7, 2, 0xC0C0C0FFu);
      },
      [&](CCanvas& c, double dx, double dy) { c.DrawBitmap(95 + dx, 2 + dy, View(), 1.0); },
      [&](CCanvas& c, double dx, double dy) {
        c.DrawBitmapInRect(View(), 95.5 + dx, 10 + dy, 110 + dx, 21.25 + dy, 0.7);
      },
      [&](CCanvas& c, double dx, double dy) {
        c.SetFont(font_);
        c.textColour = 0xFFFFFF00u;
        c.DrawText(3 + dx, 60 + dy, u"abc", 3);
        c.DrawTextInRect(40 + dx, 58 + dy, 80 + dx, 80 + dy, u"ab cd ef gh", -1, kTextJustify);
      },
      [](CCanvas& c, double dx, double dy) {
        ASSERT_TRUE(c.SetClipRect(5 + dx, 60 + dy, 30 + dx, 78 + dy));
        c.Clear(0x11223344u);
        c.FillCircle(10 + dx, 75 + dy, 12, 0xFF00FF00u);
        i32 l, t, r, b;
        c.GetClipRect(&l, &t, &r, &b);
        EXPECT_TRUE(l == 5 + dx && t == 60 + dy && r == 30 + dx && b == 78 + dy);
      },
  };
  const std::vector<u32> plain = Render(ops, 0, 0, 0, 0);
  for (auto origin : {std::make_pair(7.0, 3.0), std::make_pair(-4.0, 9.0), std::make_pair(13.0, -2.0)}) {
    EXPECT_TRUE(Render(ops, origin.first, origin.second, 0, 0) == Render(ops, 0, 0, origin.first, origin.second))
        << "origin " << origin.first << ", " << origin.second;
  }
  size_t painted = 0;
  for (u32 p : plain) painted += p != kPaper;
  EXPECT_GT(painted, plain.size() / 3);
}

// Pairs of recordings that must give the same pixels.
TEST_F(CanvasTest, EquivalentRecordingsDrawAlike) {
  const Op nothing = [](CCanvas&, double, double) {};
  const struct {
    const char* what;
    Op a, b;
  } rows[] = {
      {"radius cut to thousandths", [](CCanvas& c, double, double) { c.FillCircle(20, 20, 7.0009, 0xFFFFFFFFu); },
       [](CCanvas& c, double, double) { c.FillCircle(20, 20, 7.0, 0xFFFFFFFFu); }},
      {"ring radius too", [](CCanvas& c, double, double) { c.FillRing(20, 20, 7.0009, 2, 0xFFFFFFFFu); },
       [](CCanvas& c, double, double) { c.FillRing(20, 20, 7.0, 2, 0xFFFFFFFFu); }},
      {"rect corners in any order", [](CCanvas& c, double, double) { c.FillRect(30.5, 25, 5, 7.25, 0xFFFFFFFFu); },
       [](CCanvas& c, double, double) { c.FillRect(5, 7.25, 30.5, 25, 0xFFFFFFFFu); }},
      {"frame whose walls meet is filled",
       [](CCanvas& c, double, double) { c.FrameRoundRect(5.5, 8, 35, 16.2, 4, 5, 0xFFFFFFFFu); },
       [](CCanvas& c, double, double) { c.FillRoundRect(5.5, 8, 35, 16.2, 4, 0xFFFFFFFFu); }},
      {"ring as wide as its radius", [](CCanvas& c, double, double) { c.FillRing(20, 20, 5, 5, 0xFF00FF00u); },
       [](CCanvas& c, double, double) { c.FillCircle(20, 20, 5, 0xFF00FF00u); }},
      {"bitmap at its own size", [&](CCanvas& c, double, double) { c.DrawBitmap(5.5, 6, View(), 0.8); },
       [&](CCanvas& c, double, double) { c.DrawBitmapInRect(View(), 5.5, 6, 11.5, 11, 0.8); }},
      {"near pi: upright",
       [](CCanvas& c, double, double) { c.FillRotatedRoundRect(10, 10, 30, 14, 1, kPi + 0.0005, 0xFFFFFFFFu); },
       [](CCanvas& c, double, double) { c.FillRoundRect(10, 10, 30, 14, 1, 0xFFFFFFFFu); }},
      {"no width",
       [](CCanvas& c, double, double) {
         c.FillRing(20, 20, 10, 0, 0xFFFFFFFFu);
         c.FillRing(20, 20, 10, -3, 0xFFFFFFFFu);
         c.FrameRoundRect(5, 5, 35, 35, 4, 0, 0xFFFFFFFFu);
         c.FrameRoundRect(5, 5, 35, 35, 4, -1, 0xFFFFFFFFu);
       },
       nothing},
  };
  for (const auto& r : rows) EXPECT_TRUE(Render({r.a}, 0, 0, 0, 0) == Render({r.b}, 0, 0, 0, 0)) << r.what;
  // Within 0.001 of a quarter turn the rectangle is turned about its centre
  // and drawn upright.
  for (double a : {kPi / 2 + 0.0005, kPi / 2 - 0.0005, -kPi / 2, 1.5 * kPi})
    EXPECT_TRUE(
        Render({[a](CCanvas& c, double, double) { c.FillRotatedRoundRect(10, 10, 30, 14, 1, a, 0xFFFFFFFFu); }}, 0, 0,
               0, 0) ==
        Render({[](CCanvas& c, double, double) { c.FillRoundRect(18, 2, 22, 22, 1, 0xFFFFFFFFu); }}, 0, 0, 0, 0))
        << a;
  // A negative angle draws as its positive twin, up to rounding.
  std::vector<u32> neg =
      Render({[](CCanvas& c, double, double) { c.FillRotatedRoundRect(15, 20, 45, 40, 4, -kPi / 4, 0xFFFFFFFFu); }}, 0,
             0, 0, 0);
  std::vector<u32> pos =
      Render({[](CCanvas& c, double, double) { c.FillRotatedRoundRect(15, 20, 45, 40, 4, 7 * kPi / 4, 0xFFFFFFFFu); }},
             0, 0, 0, 0);
  int differ = 0;
  for (size_t i = 0; i < neg.size(); ++i) {
    differ += neg[i] != pos[i];
    ASSERT_LE(std::abs(static_cast<int>(neg[i] & 0xFF) - static_cast<int>(pos[i] & 0xFF)), 1);
  }
  EXPECT_LT(differ, 10);
}

// Viewports and clips as the pixels they let through: a filled target and a
// Clear inside each must touch exactly the expected rectangle.
TEST_F(CanvasTest, ViewportAndClipBoundEveryWrite) {
  const struct {
    Rect viewport, clip;  // clip in origin coordinates; right 0: none
    double ox, oy;
    bool clipTaken;
    Rect expected;
  } rows[] = {
      {{0, 0, 120, 90}, {0, 0, 0, 0}, 0, 0, false, {0, 0, 120, 90}},
      {{-50, -50, 500, 500}, {0, 0, 0, 0}, 0, 0, false, {0, 0, 120, 90}},  // cut to the target
      {{5, 5, 30, 25}, {0, 0, 100, 10}, 2.7, 1.2, true, {7, 6, 32, 11}},
      {{5, 5, 30, 25}, {31, 0, 40, 30}, 0, 0, false, {5, 5, 30, 25}},       // refused: outside
      {{10, 10, 60, 60}, {20, 30, 21, 31}, 0, 0, true, {20, 30, 21, 31}},   // one pixel
      {{130, 100, 140, 110}, {0, 0, 0, 0}, 0, 0, false, {0, 0, 0, 0}},      // empty: nothing
  };
  for (const auto& r : rows) {
    for (bool clear : {false, true}) {
      TestTarget t(120, 90, 2, kPaper);
      t.canvas.originX = r.ox;
      t.canvas.originY = r.oy;
      t.canvas.SetViewport(r.viewport.left, r.viewport.top, r.viewport.right, r.viewport.bottom);
      EXPECT_EQ(r.clip.right && t.canvas.SetClipRect(r.clip.left, r.clip.top, r.clip.right, r.clip.bottom), r.clipTaken);
      if (clear)
        t.canvas.Clear(0x10203040u);  // stored without blending
      else
        t.canvas.FillRect(-1000, -1000, 1000, 1000, 0xFFFFFFFFu);
      t.canvas.list.Flush(2);
      for (i32 y = 0; y < 90; ++y)
        for (i32 x = 0; x < 120; ++x)
          ASSERT_EQ(t.At(x, y), r.expected.Contains(x, y) ? (clear ? 0x10203040u : 0xFFFFFFFFu) : kPaper)
              << "viewport " << r.viewport.left << " clip " << r.clip.left << " at " << x << ", " << y;
    }
  }
}

// Bad numbers, empty input and broken streams draw nothing and end safely.
TEST_F(CanvasTest, BadInputDrawsNothing) {
  const double nan = std::nan(""), inf = INFINITY;
  const std::u16string tooLong(5000, u'x');
  const Op rows[] = {
      [=](CCanvas& c, double, double) { c.FillCircle(nan, 10, 5, 0xFFFFFFFFu); },
      [=](CCanvas& c, double, double) { c.FillCircle(10, 10, nan, 0xFFFFFFFFu); },
      [=](CCanvas& c, double, double) { c.FillCircle(10, 10, -4, 0xFFFFFFFFu); },
      [=](CCanvas& c, double, double) { c.FillRing(10, nan, 5, 1, 0xFFFFFFFFu); },
      [=](CCanvas& c, double, double) { c.FillRect(nan, 0, 10, 10, 0xFFFFFFFFu); },
      [=](CCanvas& c, double, double) { c.FillRect(0, 0, inf, 10, 0xFFFFFFFFu); },
      [=](CCanvas& c, double, double) { c.FillRotatedRoundRect(0, 0, 10, 10, 2, nan, 0xFFFFFFFFu); },
      [=](CCanvas& c, double, double) { c.FrameRoundRect(0, 0, 10, 10, 2, nan, 0xFFFFFFFFu); },
      [=](CCanvas& c, double, double) { RecordSector(c.list, 10, 10, 5, 5, nan, 1, 0, 0xFFFFFFFFu); },
      [=](CCanvas& c, double, double) { RecordSegment(c.list, 10, 10, 5, 5, 0, inf, 0, 0xFFFFFFFFu); },
      [=](CCanvas& c, double, double) { RecordRotatedEllipse(c.list, 10, 10, 5, nan, 0, 0xFFFFFFFFu); },
      [=](CCanvas& c, double, double) { c.FillCircle(1e300, 10, 5, 0xFFFFFFFFu); },
      [&](CCanvas& c, double, double) { c.DrawBitmap(1, 1, View(), 0.0); },
      [&](CCanvas& c, double, double) { c.DrawBitmap(1, 1, View(), nan); },
      [&](CCanvas& c, double, double) { c.DrawBitmap(1, 1, BitmapView{4, 4, 4, nullptr}, 1.0); },
      [&](CCanvas& c, double, double) {
        c.SetFont(font_);
        c.DrawText(1, 20, u"", -1);
        c.DrawText(1, 20, u"abc", 0);
        c.DrawText(1, 20, nullptr, 3);
        c.DrawText(1, 20, tooLong.c_str(), -1);  // over 4096 units
        c.SetFont(nullptr);
        c.DrawText(1, 20, u"abc", 3);
      },
      [](CCanvas& c, double, double) { c.list.RecordCircle(5, 5, 3); },  // no paint: the end record is none
  };
  for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
    for (u32 p : Render({rows[i]}, 0, 0, 0, 0)) ASSERT_EQ(p, kPaper) << "row " << i;
  }
  // An unknown record ends the walk; a ring with a paint it cannot take is
  // passed over and the stream goes on.
  std::vector<u32> cut = Render({[](CCanvas& c, double, double) {
                                  c.FillRect(0, 0, 10, 5, 0xFFFFFFFFu);
                                  c.list.RecordRing(40, 40, 5, 2);
                                  c.list.RecordEllipticGradient({40, 40, 5, 5, 0xFFFFFFFFu, 0xFFFFFFFFu});
                                  c.FillRect(0, 5, 10, 10, 0xFF0000FFu);
                                  c.list.Append(FillRecord{99, 0});
                                  c.FillRect(0, 10, 10, 15, 0xFFFFFFFFu);
                                }},
                                0, 0, 0, 0);
  EXPECT_EQ(cut[2 * 120 + 3], 0xFFFFFFFFu);
  EXPECT_EQ(cut[36 * 120 + 40], kPaper);
  EXPECT_EQ(cut[7 * 120 + 3], 0xFF0000FFu);
  EXPECT_EQ(cut[12 * 120 + 3], kPaper);
  // Shapes far larger than the target cover its rows without overflow.
  std::vector<u32> huge = Render({[](CCanvas& c, double, double) {
                                   c.FillCircle(-1e7, 15, 1e7 + 10.5, 0xFF00FF00u);
                                   c.FillRect(-1e9, -1e9, 2e9, 2e9, 0x80000000u);
                                 }},
                                 0, 0, 0, 0);
  EXPECT_EQ(huge[15 * 120] & 0x00FFFFFFu, 0x00007E00u);  // green under half black
  EXPECT_EQ(huge[15 * 120 + 119], huge[89 * 120 + 119]);  // half black only
  EXPECT_NE(huge[89 * 120 + 119], kPaper);
}

TEST(Canvas, RowsAboveAndBelowTheTargetAreNotTouched) {
  std::vector<u32> buffer(12 * 14, 0xDEADBEEFu);  // a guard row on each side
  std::vector<double> scratch(12 * 4, 0.0);
  CCanvas canvas(4);
  canvas.Attach(buffer.data() + 12, scratch.data(), 12, 12);
  canvas.FillCircle(6, -0.5, 3, 0xFFFFFFFFu);
  canvas.FillCircle(6, 12.5, 3, 0xFFFFFFFFu);
  canvas.FillRing(-0.5, 6, 3, 1, 0xFFFFFFFFu);
  canvas.FillRotatedRoundRect(9, 3, 14, 9, 1, 0.4, 0xFFFFFFFFu);
  canvas.list.Flush(4);
  for (i32 x = 0; x < 12; ++x) ASSERT_TRUE(buffer[x] == 0xDEADBEEFu && buffer[13 * 12 + x] == 0xDEADBEEFu) << x;
  EXPECT_NE(buffer[12 + 6], 0xDEADBEEFu);
}

}  // namespace
