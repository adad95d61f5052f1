// The canvas recorders, the command stream they write and its execution in
// bands.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <mutex>
#include <random>
#include <vector>

#include "render/canvas.h"
#include "render/drawable.h"
#include "render/raster/outline.h"
#include "render/raster/rasterizer.h"
#include "text/font_fake_faces.h"
#include "render_test_support.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Records of the stream after the clip records of Attach/Reset, as
// (opcode, offset) in order.
struct Entry {
  u32 op;
  u32 offset;
};

u32 RecordSize(const u8* at) {
  switch (ReadRecord<u32>(at)) {
    case kOpCircle: return 32;
    case kOpRing: return 40;
    case kOpEllipse: return 40;
    case kOpEllipseRing: return 48;
    case kOpRotatedEllipse: return 64;
    case kOpRotatedEllipseRing: return 72;
    case kOpSector:
    case kOpSegment: return 80;
    case kOpRect: return 40;
    case kOpRoundRect: return 72;
    case kOpRoundRectFrame: return 80;
    case kOpFill: return 8;
    case kOpClip: return 20;
    case kOpDrawable: return sizeof(DrawableRecord) + ReadRecord<DrawableRecord>(at).dataSize;
    case kOpTextRun: return sizeof(TextRunRecord);
    case kOpBitmap: return sizeof(BitmapRecord);
    case kOpEnd: return 8;
  }
  return 0;
}

bool HasPaint(u32 op) { return (op >= kOpCircle && op <= kOpRoundRectFrame) || op == kOpTextRun; }

u32 PaintSize(u32 kind) {
  static const u32 kSizes[] = {8, 32, 32, 48, 56};
  return kind < 5 ? kSizes[kind] : 0;
}

std::vector<Entry> Walk(const CDisplayList& list) {
  std::vector<Entry> out;
  const u8* base = list.Commands().data;
  u32 at = 0, used = list.Commands().used;
  while (at + 4 <= used) {
    u32 op = ReadRecord<u32>(base + at);
    u32 size = RecordSize(base + at);
    EXPECT_NE(size, 0u) << "bad opcode " << op << " at " << at;
    if (!size) break;
    out.push_back({op, at});
    at += size;
    if (HasPaint(op)) {
      out.push_back({1000 + ReadRecord<u32>(base + at), at});
      at += PaintSize(ReadRecord<u32>(base + at));
    }
  }
  EXPECT_EQ(at, used);
  return out;
}

TEST(Rect, IntersectEmptyContains) {
  Rect a = {0, 0, 10, 10};
  EXPECT_TRUE(a.Intersect({5, -5, 20, 5}));
  EXPECT_EQ(a.left, 5);
  EXPECT_EQ(a.top, 0);
  EXPECT_EQ(a.right, 10);
  EXPECT_EQ(a.bottom, 5);
  Rect b = {0, 0, 10, 10};
  EXPECT_TRUE(b.Intersect({10, 0, 20, 10}));  // empty but not inverted
  EXPECT_TRUE(b.IsEmpty());
  Rect c = {0, 0, 10, 10};
  EXPECT_FALSE(c.Intersect({11, 0, 20, 10}));
  EXPECT_EQ(c.left | c.top | c.right | c.bottom, 0);
  EXPECT_TRUE(a.Contains(5, 0));
  EXPECT_FALSE(a.Contains(10, 0));
  EXPECT_FALSE(a.Contains(5, 5));
}

TEST(Arena, CapacityAndGrowthKeepContents) {
  EXPECT_EQ(ArenaCapacityFor(1000), 2048u);
  EXPECT_EQ(ArenaCapacityFor(3000), 4096u);
  EXPECT_GE(ArenaCapacityFor(5000), 5000u);
  CArena arena;
  u8* p = arena.Append(100);
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 100; ++i) p[i] = static_cast<u8>(i);
  u8* q = arena.Append(5000);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(arena.used, 5100u);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(arena.data[i], i);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(q[i], 0);
  EXPECT_EQ(arena.Reserve(0, 10), arena.data);
  arena.Empty();
  EXPECT_EQ(arena.used, 0u);
  EXPECT_EQ(arena.Append(4)[0], 0);
  arena.Release();
}

TEST(CanvasRecording, ResetRecordsAFullClipAndTouchesEveryRow) {
  TestTarget t(40, 30, 1, 0);
  t.canvas.FillCircle(5, 5, 1, 0xFFFFFFFFu);
  t.canvas.Reset();
  std::vector<Entry> e = Walk(t.canvas.list);
  ASSERT_GE(e.size(), 1u);
  EXPECT_EQ(e[0].op, kOpClip);
  ClipRecord c = ReadRecord<ClipRecord>(t.canvas.list.Commands().data);
  EXPECT_EQ(c.left, 0);
  EXPECT_EQ(c.right, 40);
  EXPECT_EQ(c.bottom, 30);
  EXPECT_EQ(t.canvas.list.TouchedStart(), 0);
  EXPECT_EQ(t.canvas.list.TouchedEnd(), 30);
  EXPECT_EQ(t.canvas.originX, 0.0);
}

TEST(CanvasRecording, CircleRecordsTruncatedRadiusAndOrigin) {
  TestTarget t(40, 30, 1, 0);
  t.canvas.originX = 3;
  t.canvas.originY = 4;
  t.canvas.FillCircle(1, 2, 2.0004, 0xFF00FF00u);
  t.canvas.FillRing(1, 2, 2.0019, 0.5, 0xFF00FF00u);
  std::vector<Entry> e = Walk(t.canvas.list);
  const u8* base = t.canvas.list.Commands().data;
  size_t n = e.size();
  ASSERT_GE(n, 4u);
  ASSERT_EQ(e[n - 4].op, kOpCircle);
  CircleRecord c = ReadRecord<CircleRecord>(base + e[n - 4].offset);
  EXPECT_EQ(c.cx, 4.0);
  EXPECT_EQ(c.cy, 6.0);
  EXPECT_EQ(c.r, 2.0);
  EXPECT_EQ(e[n - 3].op, 1000u + kPaintSolid);
  EXPECT_EQ(ReadRecord<SolidPaint>(base + e[n - 3].offset).colour, 0xFF00FF00u);
  RingRecord r = ReadRecord<RingRecord>(base + e[n - 2].offset);
  EXPECT_EQ(r.op, kOpRing);
  EXPECT_EQ(r.r, 2.001);
  EXPECT_EQ(r.width, 0.5);
}

TEST(CanvasRecording, RectCornersAnyOrderAndGradientsMoveWithTheOrigin) {
  TestTarget t(40, 30, 1, 0);
  t.canvas.originX = 10;
  t.canvas.originY = 20;
  t.canvas.FillRect(5, 7, 1, 2, 0xFF000000u);
  LinearGradient g = {1, 2, 3.0, 4.0};
  t.canvas.FillRectGradientY(0, 0, 1, 1, g);
  RadialGradientParams rg = {1, 2, 3, 4, 5, 6};
  t.canvas.FillRoundRectRadialGradient(0, 0, 1, 1, 0.5, rg);
  std::vector<Entry> e = Walk(t.canvas.list);
  const u8* base = t.canvas.list.Commands().data;
  size_t n = e.size();
  RectRecord rr = ReadRecord<RectRecord>(base + e[n - 6].offset);
  EXPECT_EQ(rr.x, 11.0);
  EXPECT_EQ(rr.y, 22.0);
  EXPECT_EQ(rr.w, 4.0);
  EXPECT_EQ(rr.h, 5.0);
  LinearGradientPaint lp = ReadRecord<LinearGradientPaint>(base + e[n - 3].offset);
  EXPECT_EQ(lp.kind, kPaintGradientY);
  EXPECT_EQ(lp.start, 23.0);
  EXPECT_EQ(lp.end, 24.0);
  RadialGradientPaint rp = ReadRecord<RadialGradientPaint>(base + e[n - 1].offset);
  EXPECT_EQ(rp.centreX, 11.0);
  EXPECT_EQ(rp.centreY, 22.0);
  EXPECT_EQ(rp.r0, 3.0);
  EXPECT_EQ(rp.colour1, 6u);
}

TEST(CanvasRecording, QuarterTurnedRoundRectIsRecordedUpright) {
  for (double a : {kPi / 2 + 0.0005, kPi / 2 - 0.0005, -kPi / 2, 1.5 * kPi}) {
    TestTarget t(40, 30, 1, 0);
    t.canvas.FillRotatedRoundRect(10, 10, 30, 14, 1.0, a, 0xFFFFFFFFu);
    std::vector<Entry> e = Walk(t.canvas.list);
    RoundRectRecord r = ReadRecord<RoundRectRecord>(t.canvas.list.Commands().data + e[e.size() - 2].offset);
    EXPECT_EQ(r.angle, 0.0) << a;
    EXPECT_EQ(r.w, 4.0);
    EXPECT_EQ(r.h, 20.0);
    EXPECT_EQ(r.x + r.w / 2, 20.0);
    EXPECT_EQ(r.y + r.h / 2, 12.0);
    EXPECT_EQ(r.yMax, r.y + r.h);
    EXPECT_EQ(r.yMin, r.y);
  }
}

TEST(CanvasRecording, TurnedRoundRectStoresItsOutlinesExtent) {
  TestTarget t(100, 100, 1, 0);
  t.canvas.FillRotatedRoundRect(40, 45, 60, 55, 2.0, kPi / 4, 0xFFFFFFFFu);
  std::vector<Entry> e = Walk(t.canvas.list);
  RoundRectRecord r = ReadRecord<RoundRectRecord>(t.canvas.list.Commands().data + e[e.size() - 2].offset);
  // Highest corner circle centre + radius: centre 50 + |(8, 3) turned| y.
  double cy = 50 + (8 * std::sin(kPi / 4) + 3 * std::cos(kPi / 4));
  EXPECT_NEAR(r.yMax, cy + 2, 1e-9);
  EXPECT_NEAR(r.yMin, 100 - (cy + 2), 1e-9);
}

// The stored extent of any turned rounded rectangle or frame holds the
// outline its executor draws, and is as tight as that outline's.
TEST(CanvasRecording, TurnedRoundRectExtentHoldsItsOutline) {
  TestTarget t(100, 100, 1, 0);
  std::mt19937 g(17);
  auto U = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(g); };
  for (int i = 0; i < 400; ++i) {
    double x0 = U(-50, 150), y0 = U(-50, 150), x1 = x0 + U(0.01, 90), y1 = y0 + U(0.01, 90);
    double radius = i % 7 == 0 ? 0.0 : U(0, 60), angle = U(-7, 7), width = U(0.1, 10);
    t.canvas.Reset();
    if (i % 2)
      t.canvas.FrameRotatedRoundRect(x0, y0, x1, y1, radius, angle, width, 0xFFFFFFFFu);
    else
      t.canvas.FillRotatedRoundRect(x0, y0, x1, y1, radius, angle, 0xFFFFFFFFu);
    std::vector<Entry> e = Walk(t.canvas.list);
    RoundRectRecord r = ReadRecord<RoundRectRecord>(t.canvas.list.Commands().data + e[e.size() - 2].offset);
    COutline o;
    AddRoundRectOutline(&o, r.x, r.y, r.w, r.h, r.radius, r.angle, false);
    ASSERT_TRUE(o.IsValid() && !o.IsEmpty()) << i;
    EXPECT_GE(r.yMax, o.YMax()) << i;
    EXPECT_LE(r.yMin, o.YMin()) << i;
    EXPECT_NEAR(r.yMax, o.YMax(), 1e-9 * (1 + std::fabs(r.yMax))) << i;
    EXPECT_NEAR(r.yMin, o.YMin(), 1e-9 * (1 + std::fabs(r.yMin))) << i;
  }
}

TEST(CanvasRecording, NegativeAngleDrawsAsItsPositiveTwin) {
  TestTarget a(60, 60, 1, 0xFF000000u), b(60, 60, 1, 0xFF000000u);
  a.canvas.FillRotatedRoundRect(15, 20, 45, 40, 4, -kPi / 4, 0xFFFFFFFFu);
  b.canvas.FillRotatedRoundRect(15, 20, 45, 40, 4, 7 * kPi / 4, 0xFFFFFFFFu);
  a.canvas.list.Flush(1);
  b.canvas.list.Flush(1);
  int diff = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i)
    if (a.pixels[i] != b.pixels[i]) {
      // The same outline turned by angles 2 pi apart: at most rounding.
      int d = std::abs(static_cast<int>(a.pixels[i] & 0xFF) - static_cast<int>(b.pixels[i] & 0xFF));
      ASSERT_LE(d, 1);
      ++diff;
    }
  EXPECT_LT(diff, 10);
  EXPECT_NE(a.pixels[40 * 60 / 2 + 30], 0xFF000000u);
}

TEST(CanvasClip, SetClipRectIntersectsWithTheViewportOrFails) {
  TestTarget t(40, 30, 1, 0);
  t.canvas.SetViewport(5, 5, 30, 25);
  u32 used = t.canvas.list.Commands().used;
  EXPECT_FALSE(t.canvas.SetClipRect(31, 0, 40, 30));
  EXPECT_EQ(t.canvas.list.Commands().used, used);
  EXPECT_EQ(t.canvas.clip.left, 5);
  EXPECT_EQ(t.canvas.clip.right, 30);
  t.canvas.originX = 2.7;
  t.canvas.originY = 1.2;
  EXPECT_TRUE(t.canvas.SetClipRect(0, 0, 100, 10));
  EXPECT_EQ(t.canvas.clip.left, 5);
  EXPECT_EQ(t.canvas.clip.top, 5);
  EXPECT_EQ(t.canvas.clip.right, 30);
  EXPECT_EQ(t.canvas.clip.bottom, 11);
  i32 l, tp, r, b;
  t.canvas.GetClipRect(&l, &tp, &r, &b);
  EXPECT_EQ(l, 3);
  EXPECT_EQ(tp, 4);
  EXPECT_EQ(r, 28);
  EXPECT_EQ(b, 10);
}

TEST(CanvasClip, ViewportIsCutToTheTargetAndAnEmptyOneDrawsNothing) {
  TestTarget t(20, 20, 1, 0x11111111u);
  t.canvas.SetViewport(-50, -50, 500, 500);
  EXPECT_EQ(t.canvas.baseClip.left, 0);
  EXPECT_EQ(t.canvas.baseClip.right, 20);
  EXPECT_EQ(t.canvas.baseClip.bottom, 20);
  t.canvas.SetViewport(30, 30, 40, 40);
  EXPECT_TRUE(t.canvas.clip.IsEmpty());
  t.canvas.FillRect(-100, -100, 100, 100, 0xFFFFFFFFu);
  t.canvas.Clear(0xFF00FF00u);
  t.canvas.list.Flush(1);
  for (u32 p : t.pixels) ASSERT_EQ(p, 0x11111111u);
}

TEST(CanvasClip, ClipChangeBetweenShapesAppliesToTheLaterOnly) {
  TestTarget t(20, 10, 1, 0);
  t.canvas.FillRect(0, 0, 20, 10, 0xFF0000FFu);
  ASSERT_TRUE(t.canvas.SetClipRect(10, 0, 20, 10));
  t.canvas.FillRect(0, 0, 20, 10, 0xFFFF0000u);
  t.canvas.list.Flush(1);
  EXPECT_EQ(t.At(5, 5), 0xFF0000FFu);
  EXPECT_EQ(t.At(15, 5), 0xFFFF0000u);
}

TEST(CanvasClip, ClearStoresWithoutBlendingInsideTheClip) {
  TestTarget t(10, 10, 2, 0xFFFFFFFFu);
  ASSERT_TRUE(t.canvas.SetClipRect(2, 3, 6, 8));
  t.canvas.Clear(0x10203040u);
  t.canvas.list.Flush(2);
  for (i32 y = 0; y < 10; ++y)
    for (i32 x = 0; x < 10; ++x)
      ASSERT_EQ(t.At(x, y), (x >= 2 && x < 6 && y >= 3 && y < 8) ? 0x10203040u : 0xFFFFFFFFu);
}

TEST(CanvasRecording, TextAndBitmapRecords) {
  TestTarget t(40, 30, 1, 0);
  u32 used = t.canvas.list.Commands().used;
  t.canvas.DrawText(1, 2, u"", -1);
  t.canvas.DrawText(1, 2, u"abc", 0);
  t.canvas.DrawText(1, 2, nullptr, 3);
  std::vector<wchar16> longText(5000, u'x');
  longText.push_back(0);
  t.canvas.DrawText(1, 2, longText.data(), -1);
  EXPECT_EQ(t.canvas.list.Commands().used, used);
  t.canvas.textColour = 0xFF123456u;
  t.canvas.originX = 1;
  t.canvas.DrawText(1, 2, u"héllo", -1);
  EXPECT_EQ(t.canvas.list.Commands().used, used) << "without a font nothing is recorded";
  fonttest::CFakeFaces faces;
  fonttest::CFontListScope fonts(&faces);
  CFont* font = AcquireFont(u"Tahoma", 10, false, false);
  ASSERT_NE(font, nullptr);
  t.canvas.SetFont(font);
  t.canvas.DrawText(1, 2, u"héllo", -1);
  std::vector<Entry> e = Walk(t.canvas.list);
  ASSERT_EQ(e[e.size() - 2].op, kOpTextRun);
  TextRunRecord r = ReadRecord<TextRunRecord>(t.canvas.list.Commands().data + e[e.size() - 2].offset);
  EXPECT_EQ(r.length, 5);
  EXPECT_EQ(r.x, 2.0);
  EXPECT_EQ(r.string, nullptr);
  EXPECT_EQ(std::memcmp(t.canvas.list.Strings().data + 2 * r.stringOffset, u"héllo", 10), 0);
  EXPECT_EQ(ReadRecord<SolidPaint>(t.canvas.list.Commands().data + e.back().offset).colour, 0xFF123456u);
  // Bitmaps: nothing without pixels; the far corner from the view's size.
  BitmapView none = {4, 4, 4, nullptr};
  used = t.canvas.list.Commands().used;
  t.canvas.DrawBitmap(0, 0, none, 1.0);
  EXPECT_EQ(t.canvas.list.Commands().used, used);
  u32 px[6] = {};
  BitmapView view = {3, 2, 3, px};
  t.canvas.DrawBitmap(5, 6, view, 0.5);
  BitmapRecord b = ReadRecord<BitmapRecord>(t.canvas.list.Commands().data + used);
  EXPECT_EQ(b.op, kOpBitmap);
  EXPECT_EQ(b.x0, 6.0);
  EXPECT_EQ(b.x1, 9.0);
  EXPECT_EQ(b.y1, 8.0);
  EXPECT_EQ(b.view.pixels, px);
  EXPECT_EQ(b.opacity, 0.5);
  // The text record holds its font until the next reset, even once the
  // canvas and its owner have let go of it.
  u32 listed = FontListCount();
  t.canvas.SetFont(nullptr);
  font->Release();
  EXPECT_EQ(listed, FontListCount());
  t.canvas.list.Flush(1);  // the stream is read, never written
  r = ReadRecord<TextRunRecord>(t.canvas.list.Commands().data + e[e.size() - 2].offset);
  EXPECT_EQ(r.string, nullptr);
  EXPECT_GT(faces.TotalRenders(), 0);
  t.canvas.list.Reset(&t.canvas);
  EXPECT_EQ(listed - 1, FontListCount());
}

// ---- execution -------------------------------------------------------------------

// A drawable that notes the rows and columns each band is given.
class CRowProbe final : public IDrawable {
 public:
  struct Call {
    i32 rowStart, rowEnd, left, right;
  };
  std::mutex lock;
  std::vector<Call> calls;
  Rect rect = {};
  void Draw(CCanvas*, const void* data, i32 rowStart, i32 rowEnd, i32 l, i32 r) override {
    Rect saved;
    std::memcpy(&saved, data, sizeof saved);
    EXPECT_EQ(saved.top, rect.top);
    std::lock_guard<std::mutex> g(lock);
    calls.push_back({rowStart, rowEnd, l, r});
  }
  double Top() override { return rect.top; }
  double Bottom() override { return rect.bottom; }
  void Offset(double dx, double dy) override {
    rect.left += static_cast<i32>(dx), rect.right += static_cast<i32>(dx);
    rect.top += static_cast<i32>(dy), rect.bottom += static_cast<i32>(dy);
  }
  u32 DataSize() override { return sizeof(Rect); }
  void SaveData(void* dst) override { std::memcpy(dst, &rect, sizeof rect); }
  void LoadData(const void* src) override { std::memcpy(&rect, src, sizeof rect); }
};

// Even work: every band takes an equal share of slices of equal rows, the
// last taking the rest; taken band by band, 100 rows on 3 bands are 33, 33
// and 34 rows.
TEST(BandExecution, TouchedRowsAreCutIntoEqualBandsTheLastTakingTheRest) {
  TestTarget t(10, 100, 3, 0);
  CRowProbe probe;
  probe.rect = {0, 0, 10, 100};
  t.canvas.DrawDrawable(&probe);
  t.canvas.list.Flush(3);
  const i32 slices = 3 * kSlicesPerBand;
  ASSERT_EQ(probe.calls.size(), static_cast<size_t>(slices));
  std::vector<std::pair<i32, i32>> rows;
  for (auto& c : probe.calls) rows.push_back({c.rowStart, c.rowEnd});
  std::sort(rows.begin(), rows.end());
  for (i32 k = 0; k < slices; ++k)
    EXPECT_EQ(rows[k], std::make_pair(100 * k / slices, 100 * (k + 1) / slices)) << "slice " << k;
  EXPECT_EQ(rows[kSlicesPerBand].first, 33);
  EXPECT_EQ(rows[2 * kSlicesPerBand].first, 66);
}

TEST(BandExecution, FewerRowsThanBandsUseOneBand) {
  TestTarget t(10, 2, 3, 0);
  CRowProbe probe;
  probe.rect = {0, 0, 10, 2};
  t.canvas.DrawDrawable(&probe);
  t.canvas.list.Flush(3);
  ASSERT_EQ(probe.calls.size(), 1u);
  EXPECT_EQ(probe.calls[0].rowStart, 0);
  EXPECT_EQ(probe.calls[0].rowEnd, 2);
}

TEST(BandExecution, ClipRecordOutsideABandEmptiesItsRows) {
  TestTarget t(10, 90, 3, 0);
  ASSERT_TRUE(t.canvas.SetClipRect(2, 0, 8, 20));
  CRowProbe probe;
  probe.rect = {0, 0, 10, 90};
  t.canvas.DrawDrawable(&probe);
  t.canvas.FillRect(0, 0, 10, 90, 0xFFFFFFFFu);
  t.canvas.list.Flush(3);
  // Only the slices holding rows 0..19, each with the clip's columns.
  std::vector<CRowProbe::Call> calls = probe.calls;
  std::sort(calls.begin(), calls.end(), [](const auto& a, const auto& b) { return a.rowStart < b.rowStart; });
  ASSERT_FALSE(calls.empty());
  EXPECT_LT(calls.size(), static_cast<size_t>(3 * kSlicesPerBand));
  EXPECT_EQ(calls.front().rowStart, 0);
  EXPECT_EQ(calls.back().rowEnd, 20);
  for (size_t k = 0; k < calls.size(); ++k) {
    if (k > 0) {
      EXPECT_EQ(calls[k].rowStart, calls[k - 1].rowEnd);
    }
    EXPECT_EQ(calls[k].left, 2);
    EXPECT_EQ(calls[k].right, 8);
  }
  for (i32 y = 0; y < 90; ++y)
    for (i32 x = 0; x < 10; ++x) ASSERT_EQ(t.At(x, y), (y < 20 && x >= 2 && x < 8) ? 0xFFFFFFFFu : 0u);
}

TEST(BandExecution, UnknownOpcodeOrTruncatedStreamEndsTheWalk) {
  TestTarget t(10, 10, 2, 0);
  t.canvas.FillRect(0, 0, 10, 5, 0xFFFFFFFFu);
  t.canvas.list.Append(FillRecord{99, 0});
  t.canvas.FillRect(0, 5, 10, 10, 0xFFFFFFFFu);
  t.canvas.list.Flush(2);
  EXPECT_EQ(t.At(3, 2), 0xFFFFFFFFu);
  EXPECT_EQ(t.At(3, 7), 0u);
  // A shape record without its paint: the end record is no paint.
  TestTarget u(10, 10, 2, 0);
  u.canvas.list.RecordCircle(5, 5, 3);
  u.canvas.list.Flush(2);
  for (u32 p : u.pixels) ASSERT_EQ(p, 0u);
}

TEST(BandExecution, RingsAndFramesOfNoWidthDrawNothingAndMeetingWallsFill) {
  TestTarget t(40, 40, 2, 0);
  t.canvas.FillRing(20, 20, 10, 0, 0xFFFFFFFFu);
  t.canvas.FillRing(20, 20, 10, -3, 0xFFFFFFFFu);
  t.canvas.FrameRoundRect(5, 5, 35, 35, 4, 0, 0xFFFFFFFFu);
  t.canvas.FrameRoundRect(5, 5, 35, 35, 4, -1, 0xFFFFFFFFu);
  t.canvas.list.Flush(2);
  for (u32 p : t.pixels) ASSERT_EQ(p, 0u);
  TestTarget a(40, 40, 2, 0), b(40, 40, 2, 0);
  a.canvas.FrameRoundRect(5.5, 8, 35, 16.2, 4, 5, 0xFFFFFFFFu);  // 8.2 high: walls meet
  b.canvas.FillRoundRect(5.5, 8, 35, 16.2, 4, 0xFFFFFFFFu);
  a.canvas.FillRing(20, 20, 5, 5, 0xFF00FF00u);
  b.canvas.FillCircle(20, 20, 5, 0xFF00FF00u);
  a.canvas.list.Flush(2);
  b.canvas.list.Flush(2);
  EXPECT_EQ(a.pixels, b.pixels);
}

TEST(BandExecution, RingWithEllipticPaintIsSkippedAndTheStreamGoesOn) {
  TestTarget t(20, 20, 1, 0);
  t.canvas.list.RecordRing(10, 10, 5, 2);
  t.canvas.list.RecordEllipticGradient({10, 10, 5, 5, 0xFFFFFFFFu, 0xFFFFFFFFu});
  t.canvas.FillRect(0, 0, 2, 2, 0xFF0000FFu);
  t.canvas.list.Flush(1);
  EXPECT_EQ(t.At(10, 6), 0u);
  EXPECT_EQ(t.At(1, 1), 0xFF0000FFu);
}

TEST(BandExecution, BadNumbersDrawNothingAndNeverCrash) {
  const double nan = std::nan(""), inf = INFINITY;
  TestTarget t(30, 30, 3, 0x01020304u);
  t.canvas.FillCircle(nan, 10, 5, 0xFFFFFFFFu);
  t.canvas.FillCircle(10, 10, nan, 0xFFFFFFFFu);
  t.canvas.FillCircle(10, 10, -4, 0xFFFFFFFFu);
  t.canvas.FillRing(10, nan, 5, 1, 0xFFFFFFFFu);
  t.canvas.FillRect(nan, 0, 10, 10, 0xFFFFFFFFu);
  t.canvas.FillRect(0, 0, inf, 10, 0xFFFFFFFFu);
  t.canvas.FillRotatedRoundRect(0, 0, 10, 10, 2, nan, 0xFFFFFFFFu);
  t.canvas.FrameRoundRect(0, 0, 10, 10, 2, nan, 0xFFFFFFFFu);
  RecordSector(t.canvas.list, 10, 10, 5, 5, nan, 1, 0, 0xFFFFFFFFu);
  RecordSegment(t.canvas.list, 10, 10, 5, 5, 0, inf, 0, 0xFFFFFFFFu);
  RecordRotatedEllipse(t.canvas.list, 10, 10, 5, nan, 0, 0xFFFFFFFFu);
  t.canvas.list.Flush(3);
  for (u32 p : t.pixels) ASSERT_EQ(p, 0x01020304u);
  // Far-away and huge shapes: no crash, covered rows filled.
  TestTarget u(30, 30, 3, 0);
  u.canvas.FillCircle(1e300, 10, 5, 0xFFFFFFFFu);
  u.canvas.FillCircle(-1e7, 15, 1e7 + 10.5, 0xFF00FF00u);
  u.canvas.FillRect(-1e9, -1e9, 2e9, 2e9, 0x80000000u);
  u.canvas.list.Flush(3);
  EXPECT_EQ(u.At(0, 15) & 0x00FFFFFFu, 0x00007E00u);  // green under half black
  EXPECT_EQ(u.At(29, 15) & 0x0000FF00u, 0u);
}

TEST(BandExecution, ManyFramesOnSixteenBandsStayIdentical) {
  TestTarget t(64, 64, 16, 0);
  std::vector<u32> first;
  for (int frame = 0; frame < 60; ++frame) {
    t.Fill(0xFF000000u);
    t.canvas.Reset();
    for (int i = 0; i < 10; ++i) t.canvas.FillCircle(6.3 * i, 3 + 6.1 * i, 4.4, 0xC0FFA040u);
    t.canvas.FrameRotatedRoundRect(5, 5, 60, 40, 6, 0.3, 2.5, 0xFF4080FFu);
    t.canvas.list.Flush(16);
    if (frame == 0)
      first = t.pixels;
    else
      ASSERT_EQ(t.pixels, first) << frame;
  }
}

TEST(BandExecution, BitmapOfOpacityZeroDrawsNothing) {
  u32 src[4] = {0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u};
  BitmapView view = {2, 2, 2, src};
  TestTarget t(8, 8, 2, 0xFF000000u);
  t.canvas.DrawBitmap(1, 1, view, 0.0);
  t.canvas.DrawBitmap(4, 4, view, std::nan(""));
  t.canvas.list.Flush(2);
  for (u32 p : t.pixels) ASSERT_EQ(p, 0xFF000000u);
  t.canvas.Reset();
  t.canvas.DrawBitmap(1, 1, view, 1.0);
  t.canvas.list.Flush(2);
  EXPECT_EQ(t.At(1, 1), 0xFFFF0000u);  // the bitmap executor is reached
  EXPECT_EQ(t.At(3, 3), 0xFF000000u);
}

TEST(BandExecution, RowsAboveAndBelowTheTargetAreNotTouched) {
  // Guard rows around the target catch any write outside it.
  std::vector<u32> buffer(12 * 14, 0xDEADBEEFu);
  std::vector<double> scratch(12 * 4, 0.0);
  CCanvas canvas(4);
  canvas.Attach(buffer.data() + 12, scratch.data(), 12, 12);
  canvas.FillCircle(6, -0.5, 3, 0xFFFFFFFFu);
  canvas.FillCircle(6, 12.5, 3, 0xFFFFFFFFu);
  canvas.FillRing(-0.5, 6, 3, 1, 0xFFFFFFFFu);
  canvas.FillRotatedRoundRect(9, 3, 14, 9, 1, 0.4, 0xFFFFFFFFu);
  canvas.list.Flush(4);
  for (i32 x = 0; x < 12; ++x) {
    ASSERT_EQ(buffer[x], 0xDEADBEEFu);
    ASSERT_EQ(buffer[13 * 12 + x], 0xDEADBEEFu);
  }
  EXPECT_NE(buffer[12 + 6], 0xDEADBEEFu);
}

}  // namespace
