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
  ui.SetCaption(kBarMemoryCache, u" (64.00 MB)");
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

namespace {

// What a job page shows, widget by widget: visible bits and the close
// button's icon.
struct PageLook {
  bool memory, device, overall, second, close, log;
  i32 closeFrame;
  bool operator==(const PageLook& o) const {
    return memory == o.memory && device == o.device && overall == o.overall && second == o.second &&
           close == o.close && log == o.log && closeFrame == o.closeFrame;
  }
};
void PrintTo(const PageLook& l, std::ostream* os) {
  *os << "memory " << l.memory << " device " << l.device << " overall " << l.overall << " second " << l.second
      << " close " << l.close << " log " << l.log << " frame " << l.closeFrame;
}
template <class TPage>
PageLook LookOf(TPage& page, bool gauges) {
  return {gauges && page.memoryGauge.IsVisible(), gauges && page.deviceGauge.IsVisible(), page.overallBar.IsVisible(),
          page.secondButton.IsVisible(), page.closeButton.IsVisible(), page.logLink.IsVisible(),
          page.closeButton.imageFrame};
}

}  // namespace

// Each step of a burn page's life changes only what it should: the gauges
// one by one, a stop request only the close icon, the finished state hides
// the gauges, the bar and the second button and shows close, the end state
// adds the log link and the close icon. The saving page shows both
// buttons while it runs.
TEST(JobPageView, EveryWidgetAfterEachStepOfAJobsLife) {
  {
    BurnWindow w;
    w.Build();
    BurnPage& page = w.box.page;
    IJobUi& ui = page;
    const struct Step {
      const char* name;
      void (*run)(IJobUi&);
      PageLook look;
    } steps[] = {
        {"created", [](IJobUi&) {}, {false, false, true, false, false, false, kJobButtonStop}},
        {"memory gauge", [](IJobUi& u) { u.ShowBar(kBarMemoryCache, true); },
         {true, false, true, false, false, false, kJobButtonStop}},
        {"device gauge", [](IJobUi& u) { u.ShowBar(kBarDeviceCache, true); },
         {true, true, true, false, false, false, kJobButtonStop}},
        {"memory gauge off", [](IJobUi& u) { u.ShowBar(kBarMemoryCache, false); },
         {false, true, true, false, false, false, kJobButtonStop}},
        {"stop requested", [](IJobUi& u) { u.ShowStopRequested(); },
         {false, true, true, false, false, false, kJobButtonClose}},
        {"finished", [](IJobUi& u) { u.ShowFinishedState(); },
         {false, false, false, false, true, false, kJobButtonClose}},
        {"end", [](IJobUi& u) { u.ShowEndState(); }, {false, false, false, false, true, true, kJobButtonClose}},
    };
    for (const Step& s : steps) {
      SCOPED_TRACE(s.name);
      s.run(ui);
      EXPECT_EQ(s.look, LookOf(page, true));
    }
  }
  {
    SavingWindow w;
    w.Build();
    SavingPage& page = w.box.page;
    EXPECT_EQ((PageLook{false, false, true, true, true, false, kJobButtonStop}), LookOf(page, false));
    IJobUi& ui = page;
    ui.ShowBar(kBarMemoryCache, true);  // no gauges on this page: nothing changes
    ui.SetBarValue(kBarDeviceCache, 50.0);
    EXPECT_EQ(0.0, page.overallBar.value);
    ui.ShowFinishedState();
    EXPECT_EQ((PageLook{false, false, false, false, true, false, kJobButtonStop}), LookOf(page, false));
    ui.ShowEndState();
    EXPECT_EQ((PageLook{false, false, false, false, true, true, kJobButtonClose}), LookOf(page, false));
  }
}

// The figures a paint reads: each of the job's published values lands in
// its own field, the gauges' visibility and the memory gauge's own caption
// (not the device gauge's); a finished job's times run from its start to
// its end.
TEST(JobPageView, FiguresReadEachPublishedValueIntoItsOwnField) {
  BurnWindow w;
  w.Build();
  BurnPage& page = w.box.page;
  IJobUi& ui = page;
  page.titleId = 206;
  page.engine.status = kStatusBurning;
  page.engine.speedFactor = 16;
  page.engine.nominalKbs = 2400;
  page.engine.currentRateKbs = 2116;
  page.engine.speedUnitKbs = 150;
  page.engine.operationPercent = 42;
  page.engine.remainingMs = 7000;
  ui.ShowBar(kBarDeviceCache, true);
  ui.SetCaption(kBarDeviceCache, u"device");
  ui.SetCaption(kBarMemoryCache, u" (64.00 MB)");
  const double frequency = CounterFrequencyOrOne();
  page.engine.jobStart = 1000;
  page.engine.progressStart = 1000 + static_cast<i64>(5 * frequency);
  page.engine.jobEnd = 1000 + static_cast<i64>(65 * frequency);
  page.engine.SetFlags(kJobFinished);
  const JobPageFigures f = page.ReadFigures();
  EXPECT_EQ(kJobFinished, f.flags);
  EXPECT_EQ(206u, f.titleId);
  EXPECT_EQ(&page.engine.deviceName, f.deviceLine);
  EXPECT_EQ(7000u, f.remainingMs);
  EXPECT_EQ(60u, f.elapsedSeconds);
  EXPECT_EQ(65u, f.totalSeconds);
  const BurnPaintFigures b = page.ReadBurnFigures(f);
  EXPECT_EQ(kStatusBurning, b.line.status);
  EXPECT_EQ(16u, b.line.speedFactor);
  EXPECT_EQ(2400u, b.line.writeKbs);
  EXPECT_EQ(2116u, b.line.measuredKbs);
  EXPECT_EQ(150u, b.line.unitKbs);
  EXPECT_EQ(42, b.line.percent);
  EXPECT_EQ(60u, b.line.elapsedSeconds);
  EXPECT_FALSE(b.memoryGaugeShown);
  EXPECT_TRUE(b.deviceGaugeShown);
  ASSERT_NE(nullptr, b.memoryCaption);
  EXPECT_EQ(std::u16string(u" (64.00 MB)"), std::u16string(b.memoryCaption->c_str()));
}
