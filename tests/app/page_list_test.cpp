#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/page_list.h"

namespace {

// A page that writes what it is asked into a shared log; its widget walks
// take nothing.
class CMockPage final : public CPageHolder {
 public:
  CMockPage(char name, std::string* log) : name_(name), log_(log) {}
  bool Activate(bool active) override { return Note(active ? 'A' : 'a'); }
  bool Show(bool show) override {
    shown = show;
    return Note(show ? 'S' : 's');
  }
  void Place(i32, i32, i32 width, i32 height) override {
    placed = width * 10000 + height;
    Note('P');
  }
  bool CanClose() override { return closable; }
  bool Close() override { return Note('C'); }
  u32 GetFlags() override { return 0; }
  void OnCommand(u32) override {}
  void UpdateMenu() override {}
  bool RefusesClose() override { return false; }
  void ClipboardChanged() override {}
  void LanguageChanged() override {}
  CWidget* Widget() override { return &widget_; }
  bool RouteMouse(const Point&, const MouseEvent&) override { return false; }
  i32 RouteNcHitTest(const Point&) override { return 0; }
  bool RouteKey(const KeyEvent&) override { return false; }
  bool NotifyFocusLost(const CWidget*) override { return false; }
  bool NotifyFocusGained(const CWidget*) override { return false; }
  bool TabWalkForward(bool*) override { return false; }
  bool TabWalkBackward(bool*) override { return false; }
  bool ReleasePress() override { return false; }
  bool CheckPressLeave(const Point&) override { return false; }
  void PaintClipped(CCanvas&) override {}

  bool shown = false;
  bool closable = true;
  i32 placed = 0;

 private:
  bool Note(char what) {
    *log_ += name_;
    *log_ += what;
    *log_ += ' ';
    return true;
  }
  char name_;
  std::string* log_;
  CWidget widget_;
};

class CListOwner final : public IPageListOwner {
 public:
  bool SuspendPageRedraw(bool suspend) override {
    const bool was = suspended;
    if (!suspend && was) ++repaints;
    suspended = suspend;
    return was;
  }
  void GetPageArea(i32* width, i32* height) override {
    *width = 600;
    *height = 380;
  }
  void OnCurrentPageChanged(CPageHolder* page) override { menuResets.push_back(page); }
  void SetWindowCommands(bool cycle, bool close) override {
    cycleEnabled = cycle;
    closeEnabled = close;
  }
  void OnPageClosed(CPageHolder* page) override { closed.push_back(page); }

  bool suspended = false;
  int repaints = 0;
  bool cycleEnabled = false;
  bool closeEnabled = false;
  std::vector<CPageHolder*> menuResets;
  std::vector<CPageHolder*> closed;
};

class PageListTest : public ::testing::Test {
 protected:
  PageListTest() : list(&owner), strip('0', &log), a('a', &log), b('b', &log), c('c', &log) {
    list.SetFixedPage(&strip);
    list.Add(&strip, true);
    log.clear();
  }
  CPageHolder* Current() { return list.Current(); }

  std::string log;
  CListOwner owner;
  CPageList list;
  CMockPage strip, a, b, c;
};

TEST_F(PageListTest, AddingActivatesWithOneRepaintAndFollowsTheWindowCommands) {
  EXPECT_FALSE(owner.cycleEnabled);
  EXPECT_FALSE(owner.closeEnabled);
  const int repaints = owner.repaints;
  ASSERT_TRUE(list.Add(&a, true));
  // The old page leaves, then the new one is placed, the menu reset for
  // it, shown and activated: all under one held repaint.
  EXPECT_EQ("0a 0s aP aS aA ", log);
  EXPECT_EQ(6000380, a.placed);
  EXPECT_EQ(repaints + 1, owner.repaints);
  EXPECT_EQ(&a, owner.menuResets.back());
  EXPECT_TRUE(owner.cycleEnabled);
  EXPECT_TRUE(owner.closeEnabled);
  // Adding a listed page again only makes it current.
  list.Add(&b, false);
  EXPECT_FALSE(list.Add(&b, true));
  EXPECT_EQ(&b, Current());
  EXPECT_EQ(3u, list.Count());
}

TEST_F(PageListTest, NextAndPreviousWrapAround) {
  EXPECT_FALSE(list.ActivateNext());
  EXPECT_FALSE(list.ActivatePrevious());
  list.Add(&a, true);
  list.Add(&b, true);
  const CPageHolder* forward[] = {&strip, &a, &b, &strip};
  for (const CPageHolder* expected : forward) {
    EXPECT_TRUE(list.ActivateNext());
    EXPECT_EQ(expected, Current());
  }
  const CPageHolder* backward[] = {&b, &a, &strip, &b};
  for (const CPageHolder* expected : backward) {
    EXPECT_TRUE(list.ActivatePrevious());
    EXPECT_EQ(expected, Current());
  }
  // On the start page Close Window is off although pages can be cycled.
  list.Activate(&strip);
  EXPECT_TRUE(owner.cycleEnabled);
  EXPECT_FALSE(owner.closeEnabled);
}

TEST_F(PageListTest, ClosingTheCurrentPageActivatesItsNeighbour) {
  list.Add(&a, true);
  list.Add(&b, true);
  list.Add(&c, true);
  list.Activate(&b);
  log.clear();
  ASSERT_TRUE(list.ClosePage(nullptr));
  // b goes; c takes its index and becomes current (activated, menu reset).
  EXPECT_EQ("bs bC cP cS cA ", log);
  EXPECT_EQ(&c, Current());
  EXPECT_EQ(&c, owner.menuResets.back());
  EXPECT_EQ(std::vector<CPageHolder*>{&b}, owner.closed);
  // The last page closed: the one before it.
  ASSERT_TRUE(list.ClosePage(nullptr));
  EXPECT_EQ(&a, Current());
  EXPECT_TRUE(owner.cycleEnabled);
  ASSERT_TRUE(list.ClosePage(&a));
  EXPECT_EQ(&strip, Current());
  EXPECT_FALSE(owner.cycleEnabled);
  EXPECT_FALSE(owner.closeEnabled);
  // The start page never closes, nor does a page that says no.
  EXPECT_FALSE(list.ClosePage(nullptr));
  list.Add(&a, true);
  a.closable = false;
  EXPECT_FALSE(list.ClosePage(nullptr));
  EXPECT_EQ(&a, Current());
  EXPECT_TRUE(a.shown);
}

TEST_F(PageListTest, ClosingAnotherPageKeepsTheCurrentOne) {
  list.Add(&a, true);
  list.Add(&b, true);
  list.Add(&c, true);
  ASSERT_TRUE(list.ClosePage(&a));
  EXPECT_EQ(&c, Current());
  EXPECT_EQ(2, list.CurrentIndex());
  EXPECT_TRUE(list.ActivateNext());
  EXPECT_EQ(&strip, Current());
}

TEST_F(PageListTest, ParkedPagesLeaveTheListAndComeBackOnActivation) {
  list.Add(&a, true);
  list.Add(&b, true);
  ASSERT_TRUE(list.Park(&b));
  EXPECT_FALSE(b.shown);
  EXPECT_TRUE(list.IsParked(&b));
  EXPECT_EQ(&a, Current());
  EXPECT_EQ(2u, list.Count());
  // Parking is not closing: the page is neither closed nor freed.
  EXPECT_TRUE(owner.closed.empty());
  EXPECT_EQ(std::string::npos, log.find("bC"));
  // A parked page cannot be closed or cycled to.
  EXPECT_FALSE(list.ClosePage(&b));
  EXPECT_TRUE(list.ActivateNext());
  EXPECT_EQ(&strip, Current());
  // Activation brings it back at the end of the list, current.
  ASSERT_TRUE(list.Activate(&b));
  EXPECT_FALSE(list.IsParked(&b));
  EXPECT_EQ(&b, list.At(2));
  EXPECT_EQ(&b, Current());
  EXPECT_TRUE(b.shown);
  // Neither listed nor parked: nothing happens.
  EXPECT_FALSE(list.Activate(&c));
  EXPECT_FALSE(list.Park(&c));
  EXPECT_EQ(&b, Current());
}

TEST_F(PageListTest, RemovingEveryPageLeavesNoCurrentPage) {
  ASSERT_TRUE(list.RemovePage(&strip));
  EXPECT_EQ(nullptr, Current());
  EXPECT_EQ(-1, list.CurrentIndex());
  EXPECT_EQ(nullptr, owner.menuResets.back());
  EXPECT_FALSE(list.ActivateNext());
  EXPECT_FALSE(list.RemovePage(&strip));
}

}  // namespace
