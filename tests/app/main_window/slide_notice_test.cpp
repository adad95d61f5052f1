#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <tuple>
#include <vector>

#include "app/main_window/slide_notice.h"
#include "support/virtual_clock.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fake_owner.h"
#include "ui/support/fixed_font.h"
#include "ui/support/memory_canvas.h"

namespace {

struct Frame {
  u64 timeMs;
  i32 y;
  double fraction;
  bool visible;
};

// The main window as the notice sees it: a lock and a whole-window repaint,
// which records where the panel stood and when.
class CNoticeOwner : public CFakeOwnerOf<CNoticeOwner> {
 public:
  explicit CNoticeOwner(CVirtualClock* clock) : clock_(clock) {}
  auto Children() { return std::tie(notice); }
  void Repaint() {
    CLockGuard hold(lock);
    frames.push_back({clock_->NowMs(), notice.y, notice.fraction, notice.IsVisible()});
  }
  CLock lock;
  CSlideNotice<CNoticeOwner> notice;
  std::vector<Frame> frames;

 private:
  CVirtualClock* clock_;
};

class SlideNoticeTest : public ::testing::Test {
 protected:
  SlideNoticeTest() : installed_(clock_), owner_(&clock_) {
    InstallBuiltInLanguages();
    SetCurrentLanguage(kLanguageEnglish);
    const Rect r = {0, 0, kNoticeWidth, kNoticeHeight};
    owner_.notice.Create(kFlagSeeThrough | 0x2, &r, &owner_);
  }
  bool WaitUntilIdle() {
    for (int i = 0; i < 2000 && owner_.notice.IsRunning(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return !owner_.notice.IsRunning();
  }
  CVirtualClock clock_;
  CInstalledClock installed_;
  CNoticeOwner owner_;
};

TEST_F(SlideNoticeTest, RisesHoldsEightSecondsAndLeaves) {
  EXPECT_FALSE(owner_.notice.IsVisible());
  const u64 start = clock_.NowMs();
  ASSERT_TRUE(owner_.notice.ShowNotice(kNoticeTitleWarning, kNoticePreviewArea));
  // A second request while it is on its way starts nothing new.
  EXPECT_FALSE(owner_.notice.ShowNotice(kNoticeTitleWarning, kNoticeJobRunning));
  ASSERT_TRUE(WaitUntilIdle());
  const std::vector<Frame>& f = owner_.frames;
  // Placed below the edge, 25 rising steps of 30 ms, the resting place,
  // the display time, 25 falling steps.
  ASSERT_EQ(1u + 25 + 1 + 25, f.size());
  for (int i = 0; i <= 25; ++i) {
    EXPECT_EQ(start + 30u * i, f[i].timeMs) << i;
    EXPECT_EQ(static_cast<i32>(-62 + 4.88 * i), f[i].y) << i;
    EXPECT_NEAR(0.04 * i, f[i].fraction, 1e-9);
  }
  EXPECT_EQ(60, f[26].y);
  EXPECT_EQ(start + 750u + 8000u + 30u, f[27].timeMs);
  for (int i = 27; i < 52; ++i) EXPECT_LT(f[i].y, f[i - 1].y) << i;
  EXPECT_NEAR(0.0, f.back().fraction, 1e-9);
  EXPECT_EQ(start + 9500u, clock_.NowMs());
  EXPECT_FALSE(owner_.notice.IsVisible());
  // Redrawn alone when it appears, then 80 times while it holds.
  EXPECT_EQ(81, std::count_if(owner_.repaints.begin(), owner_.repaints.end(), [&](const RepaintRequest& r) {
              return r.widget == &owner_.notice && r.whole;
            }));
  // Once it has left, the next request runs again.
  owner_.frames.clear();
  EXPECT_TRUE(owner_.notice.ShowNotice(kNoticeTitleWarning, kNoticeJobRunning));
  ASSERT_TRUE(WaitUntilIdle());
  EXPECT_EQ(52u, owner_.frames.size());
  // Its own text follows the language as the table's texts do.
  const UiString english = NoticeTextOf(kNoticeJobRunning);
  ASSERT_TRUE(SetCurrentLanguage(kLanguageSpanish));
  EXPECT_NE(english.text, NoticeTextOf(kNoticeJobRunning).text);
  EXPECT_EQ(GetUiString(159)->text, NoticeTextOf(kNoticePreviewArea).text);
  SetCurrentLanguage(kLanguageEnglish);
}

TEST_F(SlideNoticeTest, StopEndsTheAnimationAtOnceAndHidesThePanel) {
  clock_.SetRealPace(200);  // slow enough to stop it in the middle
  ASSERT_TRUE(owner_.notice.ShowNotice(kNoticeTitleWarning, kNoticePreviewArea));
  while (owner_.notice.IsRunning() && clock_.NowMs() < 100) std::this_thread::yield();
  owner_.notice.Stop();
  EXPECT_FALSE(owner_.notice.IsRunning());
  EXPECT_FALSE(owner_.notice.IsVisible());
  EXPECT_LT(clock_.NowMs(), 1000u);
}

// The panel's look at both ends of the slide and between: fill and
// outline at the slide's opacity; over them, whatever the slide, the
// picture centred on the left at full opacity and the texts beside it (at
// the left edge without a picture) in the canvas's colour, the title in
// the notice's own font above the text in the canvas's; the canvas handed
// back as it came.
TEST_F(SlideNoticeTest, OnlyThePanelFadesWithTheSlide) {
  CFixedFontScope fixed;
  ASSERT_TRUE(fixed.font && fixed.tall);
  CSlideNotice<CNoticeOwner>& n = owner_.notice;
  fixed.font->AddRef();
  n.font.Assign(fixed.font);  // the title's: line height 16
  std::vector<u32> px(20 * 20, 0xFF00FF00u);
  CBitmap* picture = CBitmap::CreateFromView(BitmapView{20, 20, 20, px.data()});
  ASSERT_NE(nullptr, picture);
  const std::u16string title = GetUiText(kNoticeTitleWarning);
  for (NoticeText text : {kNoticePreviewArea, kNoticeJobRunning}) {
    const UiString body = NoticeTextOf(text);
    for (bool withPicture : {false, true}) {
      for (double fraction : {0.0, 0.48, 1.0}) {
        SCOPED_TRACE(testing::Message() << "text " << text << " picture " << withPicture << " at " << fraction);
        n.image = withPicture ? picture : nullptr;
        n.fraction = fraction;
        n.titleId = kNoticeTitleWarning;
        n.textId = text;
        CMemoryCanvas m(kNoticeWidth, kNoticeHeight);
        m.canvas.SetFont(fixed.tall);  // the text's: line height 22
        m.canvas.textColour = 0xFF010203u;
        n.PaintContent(m.canvas);
        EXPECT_EQ(fixed.tall, m.canvas.font);
        EXPECT_EQ(0xFF010203u, m.canvas.textColour);
        const u32 alpha = static_cast<u32>(static_cast<i32>(fraction * 255.0)) << 24;
        const std::vector<DrawnRecord> all = ReadRecords(m.canvas);
        const std::vector<DrawnRecord> fills = RecordsOf(all, kOpRoundRect), frames = RecordsOf(all, kOpRoundRectFrame);
        ASSERT_EQ(1u, fills.size());
        ASSERT_EQ(1u, frames.size());
        EXPECT_TRUE(fills[0].x0 == 0 && fills[0].y0 == 0 && fills[0].x1 == kNoticeWidth && fills[0].y1 == kNoticeHeight);
        EXPECT_EQ((ThemeMenuHotColor() & 0xFFFFFFu) | alpha, fills[0].colour);
        EXPECT_EQ((ThemeAccentColor() & 0xFFFFFFu) | alpha, frames[0].colour);
        const std::vector<DrawnRecord> bitmaps = RecordsOf(all, kOpBitmap);
        double textX = 4;
        if (withPicture) {
          ASSERT_EQ(1u, bitmaps.size());
          EXPECT_TRUE(bitmaps[0].x0 == 21 && bitmaps[0].y0 == 21 && bitmaps[0].x1 == 41 && bitmaps[0].y1 == 41);
          EXPECT_DOUBLE_EQ(1.0, bitmaps[0].opacity);
          textX = 21 + 20 + 8;
        } else {
          EXPECT_TRUE(bitmaps.empty());
        }
        // The title's line lies in the top band (62 - 24 .. 62 - 8); the
        // text's first line hangs from 62 - 28.8 in the canvas's font.
        int titles = 0;
        double firstLine = -1e9;
        std::u16string words;
        for (const DrawnRecord& r : RecordsOf(all, kOpTextRun)) {
          EXPECT_EQ(textX, r.x0);
          EXPECT_EQ(0xFF010203u, r.colour);
          if (r.text == title) {
            ++titles;
            EXPECT_GE(r.y0, kNoticeHeight - 24.0);
            EXPECT_LE(r.y0, kNoticeHeight - 8.0);
          } else {
            EXPECT_LT(r.y0, kNoticeHeight - 28.8);
            if (r.y0 > firstLine) firstLine = r.y0;
            words += r.text;
          }
        }
        EXPECT_EQ(1, titles);
        EXPECT_DOUBLE_EQ(kNoticeHeight - 16 * 1.8 - fixed.tall->ascender, firstLine);
        ASSERT_FALSE(words.empty());
        EXPECT_EQ(0u, std::u16string(body.text, body.length).find(words.substr(0, 8)));
      }
    }
  }
  n.image = nullptr;
  n.font.Assign(nullptr);
  CBitmap::Destroy(picture);
}

}  // namespace
