// Drawing text runs: glyph placement and blending, tabs, justification, band
// splits, and several threads drawing runs with missing code points at once.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "support/font_fake_faces.h"
#include "render/canvas.h"
#include "render/canvas_text.h"
#include "render/display_records.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"
#include "runtime/threads.h"
#include "../render_test_support.h"

using namespace fonttest;

namespace {

constexpr u32 kBlack = 0xFF000000u;
constexpr u32 kWhite = 0xFFFFFFFFu;

// First column of row y (from x) that is not black, or -1.
i32 FirstInk(const TestTarget& t, i32 y, i32 from = 0) {
  for (i32 x = from; x < t.canvas.width; ++x)
    if (t.At(x, y) != kBlack) return x;
  return -1;
}

// An opaque colour over opaque black with the coverage of a fake glyph.
u32 Inked(u32 code, u32 colour) { return ExpectedPixel(kBlack, colour, FakeInk(code) / 256.0); }

class TextRunTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(font_, nullptr); }
  void TearDown() override { font_->Release(); }
  // A target with the font and white text set.
  TestTarget& Target(i32 w, i32 h, i32 bands) {
    target_.reset(new TestTarget(w, h, bands, kBlack));
    target_->canvas.SetFont(font_);
    target_->canvas.textColour = kWhite;
    return *target_;
  }
  CFakeFaces faces_;
  CFontListScope scope_{&faces_};
  CFont* font_ = AcquireFont(u"Tahoma", 10, false, false);
  std::unique_ptr<TestTarget> target_;
};

}  // namespace

TEST_F(TextRunTest, GlyphsAreBlendedAtTheirPlace) {
  TestTarget& s = Target(120, 40, 1);
  s.canvas.DrawText(10, 20, u"ab", 2);
  s.canvas.list.Flush(s.canvas.bandCount);
  // Each fake glyph inks columns 1..4 of its cell and rows 0..6 above the
  // baseline.
  for (i32 y = 15; y < 32; ++y)
    for (i32 x = 0; x < 40; ++x) {
      u32 expected = kBlack;
      bool rowInked = y >= 20 && y <= 26;
      if (rowInked && x >= 11 && x <= 14) expected = Inked('a', kWhite);
      if (rowInked && x >= 21 && x <= 24) expected = Inked('b', kWhite);
      EXPECT_EQ(s.At(x, y), expected) << x << "," << y;
    }
}

TEST_F(TextRunTest, TabsAdvanceEightSpacesAndMissingCodesNothing) {
  TestTarget& s = Target(120, 40, 1);
  s.canvas.DrawText(10, 20, u"a\tb\xE000" u"c", 5);
  s.canvas.list.Flush(s.canvas.bandCount);
  EXPECT_EQ(FirstInk(s, 22), 11);
  EXPECT_EQ(FirstInk(s, 22, 15), 10 + 10 + 32 + 1);
  EXPECT_EQ(FirstInk(s, 22, 10 + 10 + 32 + 6), 10 + 10 + 32 + 10 + 1);  // 'c' right after 'b'
}

TEST_F(TextRunTest, RunsAreClippedToTheirLineBox) {
  TestTarget& s = Target(120, 60, 1);
  // A rectangle 35 wide: "abc" fits, the record's box ends at 35.
  s.canvas.DrawTextInRect(0, 0, 35, 40, u"abc", 3, 0);
  s.canvas.SetClipRect(0, 0, 23, 60);  // later records are clipped at 23
  s.canvas.DrawText(40, 5, u"ab", 2);
  s.canvas.SetClipRect(0, 0, 60, 60);
  s.canvas.DrawText(40, 5 + 10, u"ab", 2);
  s.canvas.list.Flush(s.canvas.bandCount);
  const i32 row = 40 - 12 + 2;  // a row of the first line
  EXPECT_EQ(FirstInk(s, row), 1);
  EXPECT_EQ(FirstInk(s, row, 25), -1);
  EXPECT_EQ(FirstInk(s, 7), -1);
  EXPECT_EQ(FirstInk(s, 17), 41);
}

TEST_F(TextRunTest, JustificationHandsOutTheWholeExtraWidth) {
  // "aa bb cc" is 68 wide (72 with the blank after it, 82 with "d"); in a
  // line of width w from 72 to below 82 the two blanks share
  // floor(w - 68): the first trunc(e / 2), the last the rest.
  for (double w : {72.0, 75.0, 75.6, 80.2, 81.9}) {
    SCOPED_TRACE(w);
    TestTarget& s = Target(200, 40, 1);
    s.canvas.DrawTextInRect(0, 0, w, 30, u"aa bb cc dd ee ff gg hh", -1, kTextJustify);
    s.canvas.list.Flush(s.canvas.bandCount);
    const double e = w - 68;
    const i32 first = static_cast<i32>(std::trunc(e * 1 / 2));
    const i32 total = static_cast<i32>(std::floor(e));
    const i32 row = 30 - 12 + 3;
    // Word starts: "aa" at 0, "bb" after 20 + space 4 + first share, "cc"
    // after that, 20 + 4 + the rest.
    EXPECT_EQ(FirstInk(s, row), 1);
    const i32 bb = 20 + 4 + first;
    EXPECT_EQ(FirstInk(s, row, 2 + 20 - 1), bb + 1);
    const i32 cc = bb + 20 + 4 + (total - first);
    EXPECT_EQ(FirstInk(s, row, bb + 20), cc + 1);
    EXPECT_EQ(cc + 20, 68 + total);  // the shares sum to floor(e)
  }
}

// Lines cut inside a word carry -1 blanks; justified, they draw exactly
// as unjustified lines do, in one band or four.
TEST_F(TextRunTest, JustifiedLinesCutWithoutABlankDrawUnjustified) {
  for (i32 bands : {1, 4}) {
    SCOPED_TRACE(bands);
    std::vector<u32> drawn[2];
    for (u32 flags : {0u, static_cast<u32>(kTextJustify)}) {
      TestTarget& s = Target(120, 90, bands);
      s.canvas.DrawTextInRect(0, 0, 35, 80, u"abcdefghab", -1, flags);
      s.canvas.list.Flush(s.canvas.bandCount);
      drawn[flags ? 1 : 0] = s.pixels;
    }
    EXPECT_TRUE(drawn[0] == drawn[1]);
    // Four lines, each inked from its first column.
    for (i32 line = 0; line < 4; ++line) EXPECT_EQ(FirstInk(*target_, 80 - 12 + 3 - 16 * line), 1) << line;
  }
}

TEST_F(TextRunTest, BandsDrawTheSameAsOneBand) {
  const std::u16string text = u"The quick brown fox jumps over the lazy dog. \xE9t\xE9 jj";
  std::vector<u32> reference;
  for (i32 bands : {1, 3, 4, 7}) {
    SCOPED_TRACE(bands);
    TestTarget s(160, 120, bands, kBlack);
    s.canvas.SetFont(font_);
    s.canvas.textColour = 0xC080FF40u;
    s.canvas.DrawTextInRect(3.5, 2, 150, 117, text.c_str(), -1, kTextJustify);
    s.canvas.list.Flush(s.canvas.bandCount);
    if (reference.empty())
      reference = s.pixels;
    else
      EXPECT_TRUE(s.pixels == reference);
  }
}

namespace {

struct DrawJob {
  CFont* font;
  int rounds;
  std::vector<u32> last;
};

std::u16string JobText(int round) {
  // Latin, Latin-1, kana from the fallback face, and private-use code
  // points that no face has (a new block every round).
  std::u16string text = u"ab\xE9 \x3042\x3044 ";
  for (int i = 0; i < 6; ++i) text.push_back(static_cast<char16_t>(0xE000 + round * 256 + i * 37));
  text += u" end\tj";
  return text;
}

u32 DrawRuns(void* argument) {
  DrawJob* job = static_cast<DrawJob*>(argument);
  for (int round = 0; round < job->rounds; ++round) {
    TestTarget s(200, 64, 4, kBlack);
    s.canvas.SetFont(job->font);
    s.canvas.textColour = kWhite;
    const std::u16string text = JobText(round);
    for (int line = 0; line < 4; ++line) s.canvas.DrawText(2, 4 + 15 * line, text.c_str(), static_cast<i32>(text.size()));
    s.canvas.list.Flush(s.canvas.bandCount);
    job->last = s.pixels;
  }
  return 0;
}

}  // namespace

TEST_F(TextRunTest, SeveralThreadsDrawRunsWithMissingCodePoints) {
  faces_.SetFace(u"MS PGothic", FakeFaceCovering(0x3041, 0x3096));
  // A fresh font, so that its ranges are loaded while the threads draw.
  CFont* font = AcquireFont(u"Tahoma", 7, false, false);
  ASSERT_NE(font, nullptr);
  const int kThreads = 6, kRounds = 8;
  std::vector<DrawJob> jobs(kThreads);
  std::vector<CThread> threads(kThreads);
  for (int i = 0; i < kThreads; ++i) {
    jobs[i] = DrawJob{font, kRounds, {}};
    ASSERT_TRUE(threads[i].Start(&DrawRuns, &jobs[i], 256 * 1024));
  }
  for (auto& t : threads) EXPECT_TRUE(t.Join(60000));
  // Every thread drew the same last frame, and the same as a single thread
  // drawing it now.
  DrawJob alone{font, kRounds, {}};
  DrawRuns(&alone);
  for (const DrawJob& job : jobs) EXPECT_TRUE(job.last == alone.last);
  EXPECT_TRUE(font->IsKnownMissing(0xE000 + 3 * 256));
  EXPECT_NE(font->FindGlyph(0x3042), nullptr);
  // Each kana block and each missing block was looked up in the faces once.
  EXPECT_EQ(faces_.Renders(0x3042), 1);
  font->Release();
}

TEST_F(TextRunTest, PensFarOffTheTargetDrawNothing) {
  TestTarget s(64, 32, 1, kBlack);
  const std::u16string text = u"abj";
  for (double x : {-1e30, -3e9, 1e30, -1e300}) {
    SCOPED_TRACE(x);
    TextRunRecord run = {};
    run.op = kOpTextRun;
    run.x = x;
    run.y = 10;
    run.string = text.c_str();
    run.font = font_;
    run.length = static_cast<i32>(text.size());
    CRasterizer::DrawTextRun(&s.canvas, run, kWhite, 0, 0, 64, 32, 0);
    run.blankCount = 1;  // justified runs take the other path
    run.justifyExtra = 5;
    CRasterizer::DrawTextRun(&s.canvas, run, kWhite, 0, 0, 64, 32, 0);
  }
  for (u32 p : s.pixels) ASSERT_EQ(p, kBlack);
}

TEST_F(TextRunTest, ARecordedRunKeepsItsFontUntilTheNextReset) {
  TestTarget s(120, 40, 3, kBlack);
  const u32 listed = FontListCount();
  CFont* font = AcquireFont(u"Tahoma", 9, false, false);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(FontListCount(), listed + 1);
  s.canvas.SetFont(font);
  s.canvas.textColour = kWhite;
  s.canvas.DrawText(10, 20, u"ab", 2);
  // The caller and the canvas let go before the frame is drawn.
  font->Release();
  s.canvas.SetFont(font_);
  EXPECT_EQ(FontListCount(), listed + 1);
  s.canvas.list.Flush(s.canvas.bandCount);
  EXPECT_EQ(FirstInk(s, 22), 11);
  s.canvas.Reset();
  EXPECT_EQ(FontListCount(), listed);
}
