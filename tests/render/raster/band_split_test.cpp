// How a flush shares a frame among its bands: rows cut by drawing cost, each
// row handed out exactly once, records and clips outside a slice passed
// over, and frames of any band count after any pause drawn as one band.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "render/canvas.h"
#include "render/drawable.h"
#include "../render_test_support.h"

namespace {

// Notes the rows and columns every slice hands it.
class CBandProbe final : public IDrawable {
 public:
  struct Call {
    i32 rowStart, rowEnd, left, right;
  };
  CBandProbe(i32 t, i32 b) : top(t), bottom(b) {}
  void Draw(CCanvas*, const void*, i32 rowStart, i32 rowEnd, i32 left, i32 right) override {
    std::lock_guard<std::mutex> g(lock_);
    calls_.push_back({rowStart, rowEnd, left, right});
  }
  // Records the probe over its rows.
  void Record(CCanvas& canvas) { canvas.list.RecordDrawableData(this, nullptr, 0, top, bottom); }
  // The calls by their rows, checked to cover [from, to) once, no slice empty.
  std::vector<Call> Covering(i32 from, i32 to) {
    std::vector<Call> c = calls_;
    std::sort(c.begin(), c.end(), [](const Call& a, const Call& b) { return a.rowStart < b.rowStart; });
    EXPECT_FALSE(c.empty());
    for (size_t k = 0; k < c.size(); ++k) {
      EXPECT_EQ(c[k].rowStart, k ? c[k - 1].rowEnd : from) << "slice " << k;
      EXPECT_GT(c[k].rowEnd, c[k].rowStart) << "slice " << k;
    }
    EXPECT_EQ(c.empty() ? to : c.back().rowEnd, to);
    return c;
  }
  i32 top, bottom;

 private:
  std::mutex lock_;
  std::vector<Call> calls_;
};

TEST(BandSplit, EvenWorkGivesTheEvenSplitAndBusyRowsShorterSlices) {
  const i32 slices = 3 * kSlicesPerBand, rows = 100;
  TestTarget even(50, rows, 3, 0);
  CBandProbe all(0, rows);
  all.Record(even.canvas);
  even.canvas.list.Flush(3);
  std::vector<CBandProbe::Call> c = all.Covering(0, rows);
  ASSERT_EQ(c.size(), static_cast<size_t>(slices));
  for (i32 k = 0; k < slices; ++k) EXPECT_EQ(c[k].rowStart, rows * k / slices) << "slice " << k;
  // Many wide shapes in the top quarter, one small one below: the first half
  // of the slices holds busy rows only, the last more quiet rows than an
  // even cut gives.
  TestTarget busy(300, 400, 4, 0);
  CBandProbe probe(0, 400);
  probe.Record(busy.canvas);
  for (int i = 0; i < 60; ++i) busy.canvas.FillRect(0.5, i, 299.5, i + 40.25, 0x80FF0000u);
  busy.canvas.FillCircle(150, 300, 3, 0xFF00FF00u);
  busy.canvas.list.Flush(4);
  c = probe.Covering(0, 400);
  ASSERT_EQ(c.size(), static_cast<size_t>(4 * kSlicesPerBand));
  EXPECT_LT(c[c.size() / 2 - 1].rowEnd, 100);
  EXPECT_GT(c.back().rowEnd - c.back().rowStart, 400 / static_cast<i32>(c.size()));
}

// Any band count and any touched rows, short frames included: every row is
// handed out exactly once; a frame of fewer rows than bands is one slice,
// otherwise every band takes as many slices.
TEST(BandSplit, EverySliceCutCoversEveryRowOnce) {
  std::mt19937 g(31);
  TestTarget t(40, 500, 16, 0);
  for (int f = 0; f < 100; ++f) {
    const i32 bands = f < 40 ? 8 : 1 + static_cast<i32>(g() % 16);
    const i32 top = f < 40 ? 0 : static_cast<i32>(g() % 300);
    const i32 bottom = f < 40 ? 1 + f : top + 1 + static_cast<i32>(g() % 200);
    const bool whole = f < 40;  // the probe's rows are the whole target
    t.canvas.Attach(t.pixels.data(), t.scratch.data(), 40, whole ? bottom : 500);
    for (int i = 0; i < 10; ++i) {  // shapes of uneven cost inside the probe's rows
      const double y = top + (g() % 1000) / 1000.0 * (bottom - top);
      t.canvas.FillRect(0, y, 40, y + (g() % 50), 0x80FF0000u);
    }
    CBandProbe probe(top, bottom);
    probe.Record(t.canvas);
    t.canvas.list.Flush(bands);
    const size_t n = probe.Covering(top, bottom).size();
    EXPECT_LE(n, static_cast<size_t>(bands * kSlicesPerBand)) << "frame " << f;
    EXPECT_TRUE(!whole || (bottom < bands ? n == 1 : n % bands == 0)) << "frame " << f << ": " << n << " slices";
  }
}

// A drawable reaches only the slices whose rows it touches, and a clip
// narrows both the rows and the columns each slice is given.
TEST(BandSplit, RecordsAndClipsOutsideASliceArePassedOver) {
  TestTarget t(20, 90, 3, 0);
  CBandProbe low(2, 10), high(70, 88), clipped(0, 90);
  low.Record(t.canvas);
  high.Record(t.canvas);
  ASSERT_TRUE(t.canvas.SetClipRect(2, 0, 8, 20));
  clipped.Record(t.canvas);
  t.canvas.FillRect(0, 0, 20, 90, 0xFFFFFFFFu);
  t.canvas.list.Flush(3);
  const size_t reached = low.Covering(2, 10).size() + high.Covering(70, 88).size();
  EXPECT_LT(reached, 3u * kSlicesPerBand) << "some slice drew a drawable it does not reach";
  for (const auto& c : clipped.Covering(0, 20)) EXPECT_TRUE(c.left == 2 && c.right == 8);
  for (i32 y = 0; y < 90; ++y)
    for (i32 x = 0; x < 20; ++x) ASSERT_EQ(t.At(x, y), (y < 20 && x >= 2 && x < 8) ? 0xFFFFFFFFu : 0u) << x << ", " << y;
}

// Frames of changing band counts, some right after the other and some after
// a pause in which the workers go to sleep: each gives the pixels of the
// same frame drawn on one band, and no flush waits for ever.
TEST(BandSplit, FramesOfAnyBandCountAfterAnyPauseMatchOneBand) {
  TestTarget ref(160, 120, 1, 0), t(160, 120, 16, 0);
  const i32 counts[] = {8, 8, 1, 3, 16, 2, 7, 8, 5, 1, 16, 4};
  for (int f = 0; f < 60; ++f) {
    for (TestTarget* target : {&ref, &t}) {
      target->canvas.Reset();
      target->canvas.Clear(0xFF203040u);
      RecordScene(target->canvas, 900 + f, 80);
    }
    ref.canvas.list.Flush(1);
    t.canvas.list.Flush(counts[f % 12]);
    ASSERT_EQ(t.pixels, ref.pixels) << "frame " << f << " on " << counts[f % 12] << " bands";
    if (f % 5 == 4) std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
}

}  // namespace
