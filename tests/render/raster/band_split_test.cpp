// How a flush shares a frame among its bands: rows cut by drawing cost,
// records outside a band passed over, and the hand-over to the band workers
// across frames of any band count, with pauses long enough for the workers
// to fall asleep.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "render/canvas.h"
#include "render/drawable.h"
#include "../render_test_support.h"

namespace {

// Notes the rows every band hands it, and on which thread.
class CBandProbe final : public IDrawable {
 public:
  struct Call {
    i32 rowStart, rowEnd;
  };
  std::mutex lock;
  std::vector<Call> calls;
  i32 top = 0, bottom = 0;
  void Draw(CCanvas*, const void*, i32 rowStart, i32 rowEnd, i32, i32) override {
    std::lock_guard<std::mutex> g(lock);
    calls.push_back({rowStart, rowEnd});
  }
  double Top() override { return top; }
  double Bottom() override { return bottom; }
  void Offset(double, double) override {}
  u32 DataSize() override { return 0; }
  void SaveData(void*) override {}
  void LoadData(const void*) override {}
  std::vector<Call> Sorted() {
    std::vector<Call> c = calls;
    std::sort(c.begin(), c.end(), [](const Call& a, const Call& b) { return a.rowStart < b.rowStart; });
    return c;
  }
};

// The rows of the calls, sorted, are [start, end) exactly once: each call
// has rows of its own and they follow each other without a gap.
void ExpectEveryRowOnce(const std::vector<CBandProbe::Call>& c, i32 start, i32 end) {
  ASSERT_FALSE(c.empty());
  EXPECT_EQ(c.front().rowStart, start);
  for (size_t k = 1; k < c.size(); ++k) EXPECT_EQ(c[k].rowStart, c[k - 1].rowEnd) << "slice " << k;
  EXPECT_EQ(c.back().rowEnd, end);
  for (const auto& b : c) EXPECT_GT(b.rowEnd, b.rowStart);
}

TEST(BandSplit, SlicesOverBusyRowsAreShorterAndTogetherCoverEveryRow) {
  TestTarget t(300, 400, 4, 0);
  CBandProbe probe;
  probe.top = 0, probe.bottom = 400;
  t.canvas.DrawDrawable(&probe);
  // Many wide shapes in the top quarter, one small one below.
  for (int i = 0; i < 60; ++i) t.canvas.FillRect(0.5, i, 299.5, i + 40.25, 0x80FF0000u);
  t.canvas.FillCircle(150, 300, 3, 0xFF00FF00u);
  t.canvas.list.Flush(4);
  std::vector<CBandProbe::Call> c = probe.Sorted();
  ASSERT_EQ(c.size(), static_cast<size_t>(4 * kSlicesPerBand));
  ExpectEveryRowOnce(c, 0, 400);
  // The first half of the slices holds busy rows only; the last slice
  // quiet ones only, and more of them than an even cut gives.
  EXPECT_LT(c[c.size() / 2 - 1].rowEnd, 100);
  EXPECT_GT(c.back().rowEnd - c.back().rowStart, 400 / static_cast<i32>(c.size()));
}

TEST(BandSplit, EvenWorkGivesTheEvenSplit) {
  const i32 slices = 3 * kSlicesPerBand, rows = 10 * slices;
  TestTarget t(50, rows, 3, 0);
  CBandProbe probe;
  probe.top = 0, probe.bottom = rows;
  t.canvas.DrawDrawable(&probe);
  t.canvas.list.Flush(3);
  std::vector<CBandProbe::Call> c = probe.Sorted();
  ASSERT_EQ(c.size(), static_cast<size_t>(slices));
  for (i32 k = 0; k < slices; ++k) {
    EXPECT_EQ(c[k].rowStart, 10 * k);
    EXPECT_EQ(c[k].rowEnd, 10 * (k + 1));
  }
}

// Fewer rows than slices: as many slices per band as the rows allow, and
// with fewer rows than bands one band draws them all.
TEST(BandSplit, ShortFramesTakeFewerSlices) {
  for (i32 rows : {1, 2, 3, 5, 7, 8, 9, 15, 16, 17, 23, 24, 25, 40}) {
    TestTarget t(30, rows, 8, 0);
    CBandProbe probe;
    probe.top = 0, probe.bottom = rows;
    t.canvas.DrawDrawable(&probe);
    t.canvas.list.Flush(8);
    std::vector<CBandProbe::Call> c = probe.Sorted();
    ExpectEveryRowOnce(c, 0, rows);
    EXPECT_LE(c.size(), static_cast<size_t>(8 * kSlicesPerBand)) << rows << " rows";
    if (rows < 8) {
      EXPECT_EQ(c.size(), 1u) << rows << " rows";
    } else {
      EXPECT_EQ(c.size() % 8, 0u) << rows << " rows";
    }
  }
}

// Any band count and any touched rows: every row of the touched range is
// handed out exactly once, frame after frame.
TEST(BandSplit, EverySliceCutCoversEveryRowOnce) {
  TestTarget t(40, 500, 16, 0);
  std::mt19937 g(31);
  for (int f = 0; f < 60; ++f) {
    i32 top = static_cast<i32>(g() % 300), bottom = top + 1 + static_cast<i32>(g() % 200);
    i32 bands = 1 + static_cast<i32>(g() % 16);
    t.canvas.Reset();
    // Shapes of uneven cost inside the probe's rows.
    for (int i = 0; i < 10; ++i) {
      double y = top + (g() % 1000) / 1000.0 * (bottom - top);
      t.canvas.FillRect(0, y, 40, y + (g() % 50), 0x80FF0000u);
    }
    CBandProbe probe;
    probe.top = top, probe.bottom = bottom;
    t.canvas.DrawDrawable(&probe);
    t.canvas.list.Flush(bands);
    std::vector<CBandProbe::Call> c = probe.Sorted();
    ExpectEveryRowOnce(c, top, bottom);
    EXPECT_LE(c.size(), static_cast<size_t>(bands * kSlicesPerBand)) << "frame " << f;
  }
}

// A drawable is handed only to the bands whose rows it reaches, each time
// with rows of its own, which together are its rows exactly once.
TEST(BandSplit, RecordsOutsideABandAreNotDrawnThere) {
  TestTarget t(20, 90, 3, 0);
  CBandProbe low, high;
  low.top = 2, low.bottom = 10;
  high.top = 70, high.bottom = 88;
  t.canvas.DrawDrawable(&low);
  t.canvas.DrawDrawable(&high);
  t.canvas.list.Flush(3);
  for (CBandProbe* p : {&low, &high}) {
    i32 rows = 0;
    ASSERT_FALSE(p->calls.empty());
    for (const auto& c : p->Sorted()) {
      EXPECT_LT(c.rowStart, c.rowEnd);
      EXPECT_GE(c.rowStart, p->top);
      EXPECT_LE(c.rowEnd, p->bottom);
      rows += c.rowEnd - c.rowStart;
    }
    EXPECT_EQ(rows, p->bottom - p->top);
  }
  // Each reaches a few slices of the nine (3 bands of 3): rows 2 to 10
  // and 70 to 88 of 90.
  EXPECT_LT(low.calls.size() + high.calls.size(), 3u * kSlicesPerBand)
      << "some slice drew a drawable it does not reach";
}

void RecordFrame(CCanvas& c, u32 seed) {
  std::mt19937 g(seed);
  auto U = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(g); };
  c.Reset();
  c.Clear(0xFF203040u);
  for (int i = 0; i < 40; ++i) {
    u32 colour = 0x80000000u | (static_cast<u32>(g()) & 0x7FFFFFFFu);
    switch (g() % 4) {
      case 0: c.FillCircle(U(0, 120), U(0, 90), U(0.5, 30), colour); break;
      case 1: c.FillRect(U(-5, 120), U(-5, 90), U(0, 125), U(0, 95), colour); break;
      case 2: c.FillRoundRect(U(0, 100), U(0, 80), U(20, 120), U(10, 90), U(0, 9), colour); break;
      default: c.FrameRotatedRoundRect(U(0, 60), U(0, 40), U(60, 120), U(40, 90), U(0, 9), U(0, 3), U(0.5, 4), colour);
    }
  }
}

// Frames of changing band counts, some right after the other and some after
// a pause in which the workers go to sleep: every frame gives the pixels of
// the same frame drawn on one band, and no flush waits for ever.
TEST(BandSplit, FramesOfAnyBandCountAfterAnyPauseMatchOneBand) {
  TestTarget ref(120, 90, 1, 0);
  TestTarget t(120, 90, 8, 0);
  const i32 counts[] = {8, 8, 1, 3, 8, 2, 7, 8, 5, 1, 8, 4};
  for (int f = 0; f < 36; ++f) {
    u32 seed = 900 + static_cast<u32>(f);
    RecordFrame(ref.canvas, seed);
    ref.canvas.list.Flush(1);
    RecordFrame(t.canvas, seed);
    t.canvas.list.Flush(counts[f % 12]);
    ASSERT_EQ(t.pixels, ref.pixels) << "frame " << f << " on " << counts[f % 12] << " bands";
    if (f % 5 == 4) std::this_thread::sleep_for(std::chrono::milliseconds(3));
  }
}

}  // namespace
