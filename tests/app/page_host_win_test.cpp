#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/page_host.h"
#include "ui/support/fake_owner.h"
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
  CProbe<CTestPage> button;
  bool refuse = false;
};

class CHostOwner : public CFakeOwnerOf<CHostOwner> {
 public:
  typedef CPageHost<CProbe, CHostOwner> Host;
  auto Children() { return std::tie(host); }
  void OnPageActivated(CPageHolder* page) { activated.push_back(page); }
  void SetWindowCommands(bool c, bool k) {
    cycle = c;
    close = k;
  }
  void SaveTaskViewState(bool shown) { taskViewStates.push_back(shown); }
  void PostFreePages() { ++freeRequests; }

  Host host;
  std::vector<CPageHolder*> activated;
  std::vector<bool> taskViewStates;
  bool cycle = false, close = false;
  int freeRequests = 0;
};

class PageHostTest : public ::testing::Test {
 protected:
  PageHostTest() {
    g_pagesDestroyed = 0;
    StoreFocusedWidget(nullptr);
    const Rect r = {0, 0, 400, 300};
    owner.host.Create(kFlagVisible | 0x8002, &r, &owner);
    owner.host.startStrip.log = &log;
  }
  ~PageHostTest() { StoreFocusedWidget(nullptr); }
  // A desktop point in the middle of a widget.
  static Point Middle(const CWidget& w) {
    const Rect r = w.ToWindowRect();
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  bool Press(const Point& p) {
    return RouteMouseToChildren(owner, p, MouseEvent{MouseKind::kLeftDown, 1, 0, 0});
  }
  typedef CTestPage<CHostOwner::Host> Page;

  ProbeLog log;
  CHostOwner owner;
};

TEST_F(PageHostTest, TheStartStripIsTheFirstPageAndCannotClose) {
  CHostOwner::Host& host = owner.host;
  EXPECT_EQ(host.StartStripHolder(), host.Current());
  EXPECT_TRUE(host.startStrip.IsVisible());
  EXPECT_FALSE(owner.cycle);
  EXPECT_FALSE(owner.close);
  EXPECT_FALSE(host.ClosePage(nullptr));
  // The strip fills the host's content and takes a press on it.
  const Rect content = host.GetContentRect();
  EXPECT_EQ(content.right, host.startStrip.width);
  ASSERT_TRUE(Press(Middle(host.startStrip)));
  ASSERT_EQ(1u, log.size());
  EXPECT_EQ(&host.startStrip, log[0].widget);
}

TEST_F(PageHostTest, OpenedPagesTakeEventsAndAreFreedAfterClosing) {
  CHostOwner::Host& host = owner.host;
  CPageBox<Page>* first = host.OpenPage<Page>();
  ASSERT_NE(nullptr, first);
  first->page.button.log = &log;
  EXPECT_EQ(first, host.Current());
  EXPECT_EQ(first, owner.activated.back());
  EXPECT_FALSE(host.startStrip.IsVisible());
  EXPECT_TRUE(owner.cycle);
  EXPECT_TRUE(owner.close);
  // Mouse and keys reach the page's children through its holder.
  ASSERT_TRUE(Press(Middle(first->page.button)));
  ASSERT_EQ(1u, log.size());
  EXPECT_EQ(&first->page.button, log[0].widget);
  first->page.button.SetFocus();
  EXPECT_TRUE(RouteKeyToChildren(owner, KeyEvent{KeyKind::kDown, 'X', 1, 0}));
  EXPECT_EQ('k', log.back().kind);
  // Tab walks into the page: from the focused button it wraps nowhere else.
  bool passed = false;
  EXPECT_FALSE(TabWalkForward(&passed, owner.host));
  EXPECT_TRUE(passed);
  // A second page of the same kind is a new page.
  CPageBox<Page>* second = host.OpenPage<Page>();
  ASSERT_NE(nullptr, second);
  EXPECT_NE(first, second);
  EXPECT_EQ(3u, host.list.Count());
  // Closed: hidden and out of the list at once, freed only when asked.
  ASSERT_TRUE(host.ClosePage(nullptr));
  EXPECT_EQ(first, host.Current());
  EXPECT_EQ(1, owner.freeRequests);
  EXPECT_EQ(0, g_pagesDestroyed);
  host.FreeClosedPages();
  EXPECT_EQ(1, g_pagesDestroyed);
  // The neighbour shown again is activated: the focus is on it.
  ASSERT_NE(nullptr, FocusedWidget());
  EXPECT_TRUE(FocusedWidget()->IsWithin(&first->page));
}

TEST_F(PageHostTest, TheTaskViewIsShownAndHiddenButNeverFreed) {
  CHostOwner::Host& host = owner.host;
  host.ShowTaskView(true);
  EXPECT_EQ(host.TaskViewHolder(), host.Current());
  EXPECT_TRUE(host.taskView.IsVisible());
  EXPECT_EQ(kTaskViewWidth, host.taskView.width);
  ASSERT_EQ(1u, owner.taskViewStates.size());
  EXPECT_TRUE(owner.taskViewStates.back());
  // Close Window on it: out of the list, state stored, not freed.
  ASSERT_TRUE(host.ClosePage(nullptr));
  EXPECT_FALSE(host.IsTaskViewShown());
  EXPECT_FALSE(owner.taskViewStates.back());
  EXPECT_EQ(0, owner.freeRequests);
  EXPECT_EQ(host.StartStripHolder(), host.Current());
  host.ShowTaskView(true);
  host.ShowTaskView(false);
  EXPECT_FALSE(owner.taskViewStates.back());
  EXPECT_EQ(host.StartStripHolder(), host.Current());
}

TEST_F(PageHostTest, AnyPageListedOrParkedCanRefuseTheWindowClose) {
  CHostOwner::Host& host = owner.host;
  CPageBox<Page>* page = host.OpenPage<Page>();
  ASSERT_NE(nullptr, page);
  EXPECT_FALSE(host.RefusesClose());
  page->page.refuse = true;
  EXPECT_TRUE(host.RefusesClose());
  ASSERT_TRUE(host.list.Park(page));
  EXPECT_TRUE(host.RefusesClose());
  page->page.refuse = false;
  EXPECT_FALSE(host.RefusesClose());
}

// A job entry as the task view lists it: 360 x 138.
template <class P>
class CJobEntry : public CWidgetOf<CJobEntry<P>, P> {
 public:
  bool RefusesClose() { return running; }
  bool running = false;
};

TEST_F(PageHostTest, TheTaskViewStacksItsJobsFromTheTop) {
  typedef CJobPane<CTaskView<CHostOwner::Host>> Pane;
  typedef CJobEntry<Pane> Entry;
  CHostOwner::Host& host = owner.host;
  Pane& pane = host.taskView.pane;
  // A host 520 px high: the pane shows 520 - 96 = 424 px.
  host.SetBounds(0, 0, 600, 520);
  host.ShowTaskView(true);
  std::vector<CPageBox<Entry>*> entries;
  for (int i = 0; i < 3; ++i) {
    entries.push_back(NewPageBox<Entry>());
    const Rect r = {0, 0, 360, 138};
    entries.back()->page.Create(kFlagVisible | kFlagSeeThrough, &r, &pane);
    ASSERT_TRUE(pane.AddJob(entries.back()));
  }
  EXPECT_EQ(462, pane.contentHeight);
  ASSERT_TRUE(pane.flags & kFlagVScroll);
  // Scrolled to the top: the first entry touches the pane's top, the third
  // one's lower edge lies 446 px below it.
  const i32 top = pane.viewHeight;
  EXPECT_EQ(top - 138, entries[0]->page.y);
  EXPECT_EQ(top - 446, entries[2]->page.y);
  // To the bottom: the last entry 16 px above the pane's bottom.
  pane.positionY = 0.0;
  pane.NotifyScrolled();
  EXPECT_EQ(16, entries[2]->page.y);
  // A running job keeps the window open, even with the task view hidden.
  entries[1]->page.running = true;
  host.ShowTaskView(false);
  EXPECT_TRUE(host.RefusesClose());
  entries[1]->page.running = false;
  EXPECT_FALSE(host.RefusesClose());
  // A job taken out: the others close up and the bar goes.
  ASSERT_TRUE(pane.RemoveJob(entries[1]));
  rt::Delete<CPageHolder>(entries[1]);
  EXPECT_EQ(308, pane.contentHeight);
  EXPECT_FALSE(pane.flags & kFlagVScroll);
  EXPECT_EQ(pane.viewHeight - 138 - 154, entries[2]->page.y);
}

}  // namespace
