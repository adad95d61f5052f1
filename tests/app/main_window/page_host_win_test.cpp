#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "app/main_window/page_host.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fake_owner.h"
#include "ui/support/fixed_font.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/probe_widgets.h"

namespace {

int g_pagesDestroyed = 0;

// A page opened on demand: one probe button inside a composite.
template <class P>
class CTestPage : public CCompositeOf<CTestPage<P>, P> {
 public:
  ~CTestPage() { ++g_pagesDestroyed; }
  auto Children() { return std::tie(button); }
  void CreateChildren() {
    const Rect r = {10, 10, 60, 40};
    button.Create(kFlagVisible | kFlagTabStop, &r, this);
  }
  bool RefusesClose() { return refuse; }
  bool OnClipboardChanged() {
    ++clipboardNotices;
    return takes;
  }
  bool OnUserMessage(u32 offset, uintptr_t, intptr_t) {
    messages.push_back(offset);
    return takes;
  }
  CProbe<CTestPage> button;
  bool refuse = false;
  bool takes = false;
  int clipboardNotices = 0;
  std::vector<u32> messages;
};

class CHostOwner : public CFakeOwnerOf<CHostOwner> {
 public:
  typedef CPageHost<CProbe, CHostOwner> Host;
  auto Children() { return std::tie(host); }
  void OnPageActivated(CPageHolder*) {}
  void SetWindowCommands(bool, bool) {}
  void SaveTaskViewState(bool shown) { taskViewStates.push_back(shown); }
  void PostFreePages() { ++freeRequests; }
  Host host;
  std::vector<bool> taskViewStates;
  int freeRequests = 0;
};

class PageHostTest : public ::testing::Test {
 protected:
  typedef CTestPage<CHostOwner::Host> Page;
  PageHostTest() {
    g_pagesDestroyed = 0;
    StoreFocusedWidget(nullptr);
    const Rect r = {0, 0, 600, 520};
    owner.host.Create(kFlagVisible | 0x8002, &r, &owner);
    owner.host.startStrip.log = &log;
  }
  ~PageHostTest() { StoreFocusedWidget(nullptr); }
  bool Press(const CWidget& w) {
    const Rect r = w.ToWindowRect();
    const Point p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return RouteMouseToChildren(owner, p, MouseEvent{MouseKind::kLeftDown, 1, 0, 0});
  }
  ProbeLog log;
  CHostOwner owner;
  CHostOwner::Host& host = owner.host;
};

// The toolkit's walks reach the current page through its holder; a closed
// page is freed only once the event that closed it is over.
TEST_F(PageHostTest, PagesTakeEventsThroughTheirHoldersAndAreFreedAfterClosing) {
  EXPECT_EQ(host.StartStripHolder(), host.Current());
  EXPECT_FALSE(host.ClosePage(nullptr));  // the start strip stays
  ASSERT_TRUE(Press(host.startStrip));
  ASSERT_EQ(&host.startStrip, log.back().widget);
  CPageBox<Page>* first = host.OpenPage<Page>();
  ASSERT_NE(nullptr, first);
  first->page.button.log = &log;
  EXPECT_FALSE(host.startStrip.IsVisible());
  ASSERT_TRUE(Press(first->page.button));
  EXPECT_EQ(&first->page.button, log.back().widget);
  first->page.button.SetFocus();
  EXPECT_TRUE(RouteKeyToChildren(owner, KeyEvent{KeyKind::kDown, 'X', 1, 0}));
  EXPECT_EQ('k', log.back().kind);
  CPageBox<Page>* second = host.OpenPage<Page>();
  ASSERT_NE(nullptr, second);
  ASSERT_TRUE(host.ClosePage(nullptr));
  EXPECT_EQ(first, host.Current());
  ASSERT_NE(nullptr, FocusedWidget());
  EXPECT_TRUE(FocusedWidget()->IsWithin(&first->page));
  EXPECT_EQ(1, owner.freeRequests);
  EXPECT_EQ(0, g_pagesDestroyed);
  host.FreeClosedPages();
  EXPECT_EQ(1, g_pagesDestroyed);
}

// The main window's notices go to the open pages in turn until one takes
// them; a page without a handler takes nothing.
TEST_F(PageHostTest, NoticesGoToThePagesInTurnUntilOneTakesThem) {
  CPageBox<Page>* first = host.OpenPage<Page>();
  CPageBox<Page>* second = host.OpenPage<Page>();
  ASSERT_TRUE(first && second);
  EXPECT_FALSE(host.OfferUserMessage(0x40, 1, 2));
  EXPECT_FALSE(host.OfferClipboardChange());
  EXPECT_EQ((std::vector<u32>{0x40}), second->page.messages) << "nobody took it: every page was asked";
  first->page.takes = true;
  EXPECT_TRUE(host.OfferUserMessage(0x41, 0, 0));
  EXPECT_TRUE(host.OfferClipboardChange());
  EXPECT_EQ((std::vector<u32>{0x40, 0x41}), first->page.messages);
  EXPECT_EQ((std::vector<u32>{0x40}), second->page.messages) << "the first page took it";
  EXPECT_EQ(2, first->page.clipboardNotices);
  EXPECT_EQ(1, second->page.clipboardNotices);
}

// A job entry as the task view lists it: 360 x 138.
template <class P>
class CJobEntry : public CWidgetOf<CJobEntry<P>, P> {
 public:
  bool RefusesClose() { return running; }
  bool running = false;
};

TEST_F(PageHostTest, TheTaskViewStacksItsJobsAndAnyPageCanKeepTheWindowOpen) {
  typedef CJobPane<CTaskView<CHostOwner::Host>> Pane;
  typedef CJobEntry<Pane> Entry;
  Pane& pane = host.taskView.pane;
  host.ShowTaskView(true);
  EXPECT_EQ(host.TaskViewHolder(), host.Current());
  EXPECT_EQ(kTaskViewWidth, host.taskView.width);
  std::vector<CPageBox<Entry>*> entries;
  for (int i = 0; i < 3; ++i) {
    entries.push_back(NewPageBox<Entry>());
    const Rect r = {0, 0, 360, 138};
    entries.back()->page.Create(kFlagVisible | kFlagSeeThrough, &r, &pane);
    ASSERT_TRUE(pane.AddJob(entries.back()));
  }
  // 3 x 154: the pane (520 - 96 high) needs its bar; at the top the first
  // entry touches the pane's top and the third one's lower edge lies 446
  // px below it; at the bottom the last one is 16 px above the pane's.
  EXPECT_EQ(462, pane.contentHeight);
  ASSERT_TRUE(pane.flags & kFlagVScroll);
  EXPECT_EQ(pane.viewHeight - 138, entries[0]->page.y);
  EXPECT_EQ(pane.viewHeight - 446, entries[2]->page.y);
  pane.positionY = 0.0;
  pane.NotifyScrolled();
  EXPECT_EQ(16, entries[2]->page.y);
  // Half way the pane's own offset (half the hidden part, cut to a pixel)
  // puts every entry that far under its top place.
  const i32 hidden = 462 - pane.viewHeight;
  pane.positionY = 0.5;
  pane.NotifyScrolled();
  for (i32 i = 0; i < 3; ++i)
    EXPECT_EQ(pane.viewHeight - 138 - 154 * i + (hidden - hidden / 2), entries[static_cast<u32>(i)]->page.y) << i;
  pane.positionY = 0.0;
  pane.NotifyScrolled();
  // While the panel is held for a drag, the wheel still scrolls its jobs.
  Point nowhere = {0, 0};
  host.taskView.OnLButtonDown(1, &nowhere);
  ASSERT_EQ(&host.taskView, CaptureOwner());
  CaptureTable::DispatchWheel(0, 120, &nowhere);
  EXPECT_GT(pane.positionY, 0.0) << "the wheel reached the job pane";
  CaptureTable::DispatchLeftUp(0, &nowhere);
  EXPECT_EQ(nullptr, CaptureOwner());
  pane.positionY = 0.0;
  pane.NotifyScrolled();
  // Closed with Close Window: out of the list, stored, not freed.
  ASSERT_TRUE(host.ClosePage(nullptr));
  EXPECT_FALSE(host.IsTaskViewShown());
  EXPECT_EQ((std::vector<bool>{true, false}), owner.taskViewStates);
  EXPECT_EQ(0, owner.freeRequests);
  // A running job (the task view hidden), a listed or a parked page keeps
  // the main window open.
  entries[1]->page.running = true;
  EXPECT_TRUE(host.RefusesClose());
  entries[1]->page.running = false;
  CPageBox<Page>* page = host.OpenPage<Page>();
  page->page.refuse = true;
  EXPECT_TRUE(host.RefusesClose());
  ASSERT_TRUE(host.list.Park(page));
  EXPECT_TRUE(host.RefusesClose());
  page->page.refuse = false;
  EXPECT_FALSE(host.RefusesClose());
  // A job taken out: the others close up and the bar goes.
  ASSERT_TRUE(pane.RemoveJob(entries[1]));
  rt::Delete<CPageHolder>(entries[1]);
  EXPECT_EQ(308, pane.contentHeight);
  EXPECT_FALSE(pane.flags & kFlagVScroll);
  EXPECT_EQ(pane.viewHeight - 138 - 154, entries[2]->page.y);
}

// Five jobs in a pane about 424 high: the wheel moves them by whole entries both
// ways; after every notch they stand 154 apart, and the ends are exact:
// the first entry at the pane's top, the last 16 above its bottom.
// The autoscroll indicator is drawn only while an autoscroll runs.
TEST_F(PageHostTest, TheWheelMovesTheJobsByWholeEntriesBothWays) {
  typedef CJobPane<CTaskView<CHostOwner::Host>> Pane;
  typedef CJobEntry<Pane> Entry;
  Pane& pane = host.taskView.pane;
  host.ShowTaskView(true);
  std::vector<CPageBox<Entry>*> entries;
  for (int i = 0; i < 5; ++i) {
    entries.push_back(NewPageBox<Entry>());
    const Rect r = {0, 0, 360, 138};
    entries.back()->page.Create(kFlagVisible | kFlagSeeThrough, &r, &pane);
    ASSERT_TRUE(pane.AddJob(entries.back()));
  }
  ASSERT_GT(770, pane.viewHeight);
  ASSERT_EQ(770, pane.contentHeight);
  const i32 top = pane.viewHeight - 138;
  const auto stacked = [&] {
    for (u32 i = 1; i < entries.size(); ++i)
      if (entries[i]->page.y != entries[0]->page.y - 154 * static_cast<i32>(i)) return false;
    return true;
  };
  ASSERT_EQ(top, entries[0]->page.y) << "a new job scrolls the list to its top";
  Point nowhere = {0, 0};
  std::vector<i32> down = {entries[0]->page.y};
  for (int notch = 0; notch < 10; ++notch) {
    pane.OnWheel(0, -120, &nowhere);
    EXPECT_TRUE(stacked()) << notch;
    if (entries[0]->page.y == down.back()) break;
    down.push_back(entries[0]->page.y);
    if (entries[4]->page.y != 16) {
      EXPECT_EQ(0, (entries[0]->page.y - top) % 154) << "whole entries: " << notch;
    }
  }
  ASSERT_GT(down.size(), 1u) << "the wheel moved the list down";
  EXPECT_EQ(16, entries[4]->page.y) << "the last entry at the bottom";
  EXPECT_EQ(0.0, pane.positionY);
  // And back: the same places in the other order, up to the top.
  std::vector<i32> up = {entries[0]->page.y};
  for (int notch = 0; notch < 10; ++notch) {
    pane.OnWheel(0, 120, &nowhere);
    EXPECT_TRUE(stacked()) << notch;
    if (entries[0]->page.y == up.back()) break;
    up.push_back(entries[0]->page.y);
  }
  EXPECT_EQ(top, entries[0]->page.y);
  EXPECT_EQ(1.0, pane.positionY);
  EXPECT_EQ(down.size(), up.size());
  // The indicator lies under the entries only during an autoscroll.
  const auto drawn = [&] {
    CMemoryCanvas m(pane.width, pane.height);
    pane.PaintContent(m.canvas);
    size_t n = 0;
    for (const DrawnRecord& r : ReadRecords(m.canvas)) n += r.op != kOpClip;
    return n;
  };
  EXPECT_EQ(0u, drawn());
  pane.scrollState |= kScrollTracking | kScrollAuto;
  EXPECT_NE(0u, drawn());
  pane.scrollState &= ~(kScrollTracking | kScrollAuto);
}

// The task view's pane: its inner area filled opaque in the pane's light
// colour, the heading "Task manager" in the heading font centred across
// the inner area, its line 16 pixels below the area's top, in the current
// language; the canvas's font given back.
TEST_F(PageHostTest, TheTaskViewsHeadingIsDrawnInItsFontInEitherLanguage) {
  CFixedFontScope fixed;
  ASSERT_TRUE(fixed.font && fixed.tall);
  InstallBuiltInLanguages();
  const u32 before = GetCurrentLanguage();
  host.ShowTaskView(true);
  CTaskView<CHostOwner::Host>& view = host.taskView;
  CFontRef saved(view.headingFont.Get());
  saved.AddRef();
  fixed.tall->AddRef();
  view.headingFont.Assign(fixed.tall);
  for (u32 language : {kLanguageEnglish, kLanguageSpanish}) {
    ASSERT_TRUE(SetCurrentLanguage(language));
    CMemoryCanvas m(view.width, view.height);
    m.canvas.SetFont(fixed.font);
    view.PaintContent(m.canvas);
    EXPECT_EQ(fixed.font, m.canvas.font);
    EXPECT_EQ(0.0, m.canvas.originX);
    const std::vector<DrawnRecord> all = ReadRecords(m.canvas);
    bool filled = false;
    for (const DrawnRecord& r : RecordsOf(all, kOpRoundRect))
      filled = filled || (r.colour == (PaneLightColour() | 0xFF000000u) && r.x0 == 4 + 4 && r.x1 == view.width - 10);
    EXPECT_TRUE(filled) << "the inner area, opaque";
    const std::vector<DrawnRecord> runs = RecordsOf(all, kOpTextRun);
    ASSERT_EQ(1u, runs.size()) << language;
    EXPECT_EQ(std::u16string(GetUiText(kTextTaskManager)), runs[0].text);
    // Centred: as far from the inner area's left edge as from its right.
    const std::u16string heading = GetUiText(kTextTaskManager);
    const double textWidth = fixed.tall->MeasureText(heading.c_str(), static_cast<i32>(heading.size()));
    const double inner = view.width - 10 - 2 * 4;
    EXPECT_DOUBLE_EQ(4 + 4 + (inner - textWidth) / 2, runs[0].x0);
    // The heading font's line at the top: its ascender below the box's top.
    EXPECT_DOUBLE_EQ(6.0 + view.height - 10 - 4 - 16 - fixed.tall->ascender, runs[0].y0);
  }
  view.headingFont.Assign(saved.Get());
  saved.AddRef();
  SetCurrentLanguage(before);
}

// A middle press on the task view's job pane starts autoscroll there, and
// the pane then draws the indicator under its entries; without autoscroll
// it draws nothing of its own.
TEST_F(PageHostTest, AMiddlePressOnTheJobPaneAutoscrollsItAndShowsTheIndicator) {
  typedef CJobPane<CTaskView<CHostOwner::Host>> Pane;
  typedef CJobEntry<Pane> Entry;
  Pane& pane = host.taskView.pane;
  host.ShowTaskView(true);
  for (int i = 0; i < 3; ++i) {
    CPageBox<Entry>* entry = NewPageBox<Entry>();
    const Rect r = {0, 0, 360, 138};
    entry->page.Create(kFlagVisible | kFlagSeeThrough, &r, &pane);
    ASSERT_TRUE(pane.AddJob(entry));
  }
  ASSERT_TRUE(pane.flags & kFlagVScroll);
  auto drawn = [&] {
    CMemoryCanvas memory(pane.width, pane.height);
    pane.PaintContent(memory.canvas);
    memory.Flush();
    return std::count_if(memory.pixels.begin(), memory.pixels.end(), [](u32 p) { return p != 0; });
  };
  EXPECT_EQ(0, drawn());
  // In the 16 px gap between the first two entries.
  const Rect first = pane.jobs[0]->Widget()->ToWindowRect();
  const Point gap = {(first.left + first.right) / 2, first.top - 8};
  ASSERT_TRUE(RouteMouseToChildren(owner, gap, MouseEvent{MouseKind::kMiddleDown, 0, 0, 0}));
  EXPECT_TRUE(pane.scrollState & kScrollAuto) << "the press started autoscroll in the pane";
  EXPECT_GT(drawn(), 0) << "the indicator is drawn";
  Point at = pane.anchorPoint;
  pane.EndAutoScroll(0, &at);
  EXPECT_EQ(0, drawn());
  while (pane.jobs.GetCount()) {
    CPageHolder* job = pane.jobs[0];
    pane.RemoveJob(job);
    rt::Delete<CPageHolder>(job);
  }
}

}  // namespace
