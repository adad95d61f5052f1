// The job pages over their widgets: what a job publishes lands on the right
// gauge, the finished and end states, the stop/close path down to the
// window's close message, and the burn painter showing the drive's progress
// that a job thread published without sending a command itself.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/pages/burn_page.h"
#include "app/pages/format_page.h"
#include "app/pages/saving_page.h"
#include "support/recorder_fixture.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fake_owner.h"
#include "ui/support/fixed_font.h"
#include "ui/support/memory_canvas.h"

namespace {

// The window side the pages ask of the program, recorded.
template <class TSelf, class TPage>
class CJobWindow : public CFakeOwnerOf<TSelf> {
 public:
  auto Children() { return std::tie(box.page); }

  CLock lock;
  bool CallOnUiThread(UiCall call, void* context) {
    call(context);
    return true;
  }
  void PostJobClose(CPageHolder* h) { closed.push_back(h); }
  void PostDeviceCommandsUpdate() { ++deviceUpdates; }
  void ParkPage(CPageHolder* p) { parked = p; }
  void PostShowPage(CPageHolder* p) { shown = p; }
  u32 ShowJobMessage(u32 text, u32, u32) {
    questions.push_back(text);
    return answer;
  }
  u32 RunInsertDiscPrompt(i32, void*) { return 1; }
  void OpenJobLog() { ++logOpens; }

  void Build() {
    const Rect r = {0, 0, kJobPageWidth, kJobPageHeight};
    box.page.holder = &box;
    box.page.Layout(&r, static_cast<TSelf*>(this));
    box.page.ModifyFlags(0, kFlagVisible);
  }

  CPageBox<TPage> box;
  std::vector<CPageHolder*> closed;
  std::vector<u32> questions;
  u32 answer = kAnswerNo;
  u32 deviceUpdates = 0, logOpens = 0;
  CPageHolder* parked = nullptr;
  CPageHolder* shown = nullptr;
};

struct BurnWindow;
struct SavingWindow;
using BurnPage = CBurnJobPage<BurnWindow>;
using SavingPage = CSavingJobPage<SavingWindow>;
struct BurnWindow : CJobWindow<BurnWindow, BurnPage> {};
struct SavingWindow : CJobWindow<SavingWindow, SavingPage> {};

}  // namespace

// A burn page: the gauges start hidden, values go to the gauge named, the
// finished and end states, and a finished page's close asks the window to
// close its own holder.
TEST(JobPageView, BurnPagePublishesOnItsWidgetsAndClosesThroughItsHolder) {
  using Page = BurnPage;
  BurnWindow w;
  w.Build();
  Page& page = w.box.page;
  EXPECT_FALSE(page.memoryGauge.IsVisible());
  EXPECT_FALSE(page.deviceGauge.IsVisible());
  EXPECT_FALSE(page.closeButton.IsVisible());
  EXPECT_FALSE(page.secondButton.IsVisible());
  EXPECT_FALSE(page.logLink.IsVisible());
  EXPECT_TRUE(page.overallBar.IsVisible());
  EXPECT_EQ(page.overallBar.value, 0.0);

  IJobUi& ui = page;
  ui.ShowBar(kBarMemoryCache, true);
  ui.SetBarValue(kBarMemoryCache, 40.0);
  ui.SetBarColour(kBarMemoryCache, 0xFFE02020u);
  ui.SetBarValue(kBarDeviceCache, 75.0);
  ui.SetBarValue(kBarOverall, 12.5);
  ui.SetCaption(kBarMemoryCache, u"Memory cache: (64.00 MB)");
  EXPECT_TRUE(page.memoryGauge.IsVisible());
  EXPECT_EQ(page.memoryGauge.value, 40.0);
  EXPECT_EQ(page.memoryGauge.style, 0xFFE02020u);
  EXPECT_EQ(page.deviceGauge.value, 75.0);
  EXPECT_EQ(page.overallBar.value, 12.5);
  EXPECT_TRUE(page.RefusesClose());

  ui.ShowFinishedState();
  EXPECT_FALSE(page.memoryGauge.IsVisible());
  EXPECT_FALSE(page.overallBar.IsVisible());
  EXPECT_TRUE(page.closeButton.IsVisible());
  ui.ShowEndState();
  EXPECT_EQ(page.closeButton.imageFrame, kJobButtonClose);
  EXPECT_TRUE(page.logLink.IsVisible());

  page.engine.SetFlags(kJobFinished);
  EXPECT_FALSE(page.RefusesClose());
  page.OnCloseClicked();
  EXPECT_TRUE(w.questions.empty());
  ASSERT_EQ(w.closed.size(), 1u);
  EXPECT_EQ(w.closed[0], &w.box);
}

// A running job's stop asks first; No changes nothing, Yes stops the job
// and (no thread running) has the page closed.
TEST(JobPageView, StoppingARunningJobAsksAndOnlyYesStops) {
  using Page = SavingPage;
  SavingWindow w;
  w.Build();
  Page& page = w.box.page;
  EXPECT_TRUE(page.closeButton.IsVisible());  // the saving page can be stopped
  w.answer = kAnswerNo;
  page.OnCloseClicked();
  EXPECT_EQ(w.questions, std::vector<u32>{kTextStopQuestion});
  EXPECT_FALSE(page.engine.IsStopped());
  EXPECT_TRUE(w.closed.empty());
  w.answer = kAnswerYes;
  page.OnCloseClicked();
  EXPECT_TRUE(page.engine.IsStopped());
  EXPECT_EQ(page.closeButton.imageFrame, kJobButtonClose);
  EXPECT_EQ(w.closed.size(), 1u);
}

// The format page's heading is the method's text; a method outside 1..5
// keeps the heading it had.
TEST(JobPageView, FormatPageHeadingFollowsTheMethod) {
  EXPECT_EQ(EraseMethodTextId(kMethodQuickErase), 66u);
  EXPECT_EQ(EraseMethodTextId(kMethodContinueFormat), 70u);
  EXPECT_EQ(EraseMethodTextId(0), 0u);
  EXPECT_EQ(EraseMethodTextId(7), 0u);
}

class BurnPagePaint : public RecorderTest {};

// The status line shows the percentage a job thread published while the
// drive closes the session; painting sends no command to the drive.
TEST_F(BurnPagePaint, ShowsPublishedProgressWithoutSendingACommand) {
  Attach();
  Insert(MediumPreset::kCdR);
  CDrive drive;
  ASSERT_TRUE(OpenDrive(&drive));
  using Page = BurnPage;
  BurnWindow w;
  w.Build();
  Page& page = w.box.page;
  page.engine.destination = &drive;
  page.engine.status = kStatusClosingSession;
  page.engine.operationPercent = 42;
  const size_t before = recorder_.Trace().size();
  CFixedFontScope font;
  CMemoryCanvas target(400, 200);
  target.canvas.SetFont(font.font);
  page.PaintContent(target.canvas);
  EXPECT_EQ(recorder_.Trace().size(), before);
  bool found = false;
  for (const DrawnRecord& r : RecordsOf(ReadRecords(target.canvas), kOpTextRun))
    if (r.text.find(u"(42%)") != std::u16string::npos) found = true;
  EXPECT_TRUE(found);
  drive.Close();
}
