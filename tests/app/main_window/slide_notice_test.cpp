#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <tuple>
#include <vector>

#include "app/main_window/slide_notice.h"
#include "support/virtual_clock.h"
#include "ui/support/fake_owner.h"

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

}  // namespace
