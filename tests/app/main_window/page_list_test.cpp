#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/main_window/page_list.h"
#include "ui/support/fake_owner.h"
#include "ui/widgets/widget.h"

namespace {

// A page that writes what it is asked into a shared log, held by the
// program's own holder.
template <class P>
class CLogPage : public CWidgetOf<CLogPage<P>, P> {
 public:
  bool OnActivate(bool active) { return Note(active ? 'A' : 'a'); }
  bool OnShow(bool show) { return Note((shown = show) ? 'S' : 's'); }
  void Place(i32, i32, i32, i32) { Note('P'); }
  bool CanClose() { return closable; }
  bool OnClose() { return Note('C'); }
  bool Note(char what) {
    *log += std::string(1, name) + what + ' ';
    return true;
  }
  char name = '?';
  std::string* log = nullptr;
  bool shown = false, closable = true;
};
typedef CPageBox<CLogPage<CFakeOwner>> CMockPage;
CMockPage* NewMock(char name, std::string* log, std::vector<CMockPage*>* pool) {
  pool->push_back(new CMockPage);
  pool->back()->page.name = name;
  pool->back()->page.log = log;
  return pool->back();
}

class CListOwner final : public IPageListOwner {
 public:
  bool SuspendPageRedraw(bool suspend) override {
    const bool was = suspended;
    repaints += !suspend && was;
    suspended = suspend;
    return was;
  }
  void GetPageArea(i32* w, i32* h) override { *w = 600, *h = 380; }
  void OnCurrentPageChanged(CPageHolder* page) override {
    current = page;
    ++changes;
  }
  void SetWindowCommands(bool c, bool k) override { cycle = c, close = k; }
  void OnPageClosed(CPageHolder* page) override { closed.push_back(page); }
  bool suspended = false, cycle = false, close = false;
  int repaints = 0, changes = 0;
  CPageHolder* current = nullptr;
  std::vector<CPageHolder*> closed;
};

// The page list against a plain model under random operations: listed and
// parked pages, the current one, who is shown, the window commands, which
// pages were closed for good; the start page (0) never closes.
TEST(PageList, FollowsItsModelUnderRandomOperations) {
  std::string log;
  CListOwner owner;
  CPageList list(&owner);
  std::vector<CMockPage*> pool;
  for (char c : std::string("0abcde")) NewMock(c, &log, &pool);
  list.SetFixedPage(pool[0]);
  list.Add(pool[0], true);
  std::vector<CPageHolder*> pages = {pool[0]}, parked;
  i32 current = 0;
  std::mt19937 random(7);
  for (int step = 0; step < 3000; ++step) {
    CMockPage* p = pool[random() % pool.size()];
    const auto at = std::find(pages.begin(), pages.end(), p);
    const bool listed = at != pages.end();
    const bool isParked = std::find(parked.begin(), parked.end(), p) != parked.end();
    const i32 n = static_cast<i32>(pages.size());
    p->page.closable = random() % 4 != 0;
    switch (random() % 6) {
      case 0:  // add (a parked page comes back as well)
        list.Add(p, true);
        if (isParked) parked.erase(std::find(parked.begin(), parked.end(), p));
        if (!listed) pages.push_back(p);
        current = static_cast<i32>(std::find(pages.begin(), pages.end(), p) - pages.begin());
        break;
      case 1:
        EXPECT_EQ(n >= 2, list.ActivateNext());
        if (n >= 2) current = (current + 1) % n;
        break;
      case 2:
        EXPECT_EQ(n >= 2, list.ActivatePrevious());
        if (n >= 2) current = current <= 0 ? n - 1 : current - 1;
        break;
      case 3: {  // close (the neighbour at the same index, or the last)
        const bool ok = listed && p != pool[0] && p->page.closable;
        EXPECT_EQ(ok, list.ClosePage(p));
        if (!ok) break;
        const i32 i = static_cast<i32>(at - pages.begin());
        pages.erase(at);
        if (i < current) --current;
        else if (i == current && current >= static_cast<i32>(pages.size())) current = static_cast<i32>(pages.size()) - 1;
        break;
      }
      case 4: {  // park
        EXPECT_EQ(listed && p != pool[0], list.Park(p));
        if (!listed || p == pool[0]) break;
        const i32 i = static_cast<i32>(at - pages.begin());
        pages.erase(at);
        parked.push_back(p);
        if (i < current) --current;
        else if (i == current && current >= static_cast<i32>(pages.size())) current = static_cast<i32>(pages.size()) - 1;
        break;
      }
      default:  // activate: listed or parked pages only
        EXPECT_EQ(listed || isParked, list.Activate(p));
        if (isParked) {
          parked.erase(std::find(parked.begin(), parked.end(), p));
          pages.push_back(p);
        }
        if (listed || isParked) current = static_cast<i32>(std::find(pages.begin(), pages.end(), p) - pages.begin());
        break;
    }
    ASSERT_EQ(pages.size(), list.Count()) << step;
    for (u32 i = 0; i < pages.size(); ++i) ASSERT_EQ(pages[i], list.At(i)) << step;
    for (CPageHolder* q : parked) ASSERT_TRUE(list.IsParked(q));
    ASSERT_EQ(current, list.CurrentIndex()) << step;
    for (CMockPage* q : pool) ASSERT_EQ(q == list.Current(), q->page.shown) << step;
    ASSERT_EQ(pages.size() >= 2, owner.cycle);
    ASSERT_EQ(list.Current() != pool[0], owner.close);
    ASSERT_FALSE(owner.suspended);
    // The owner heard of every new current page (its menu follows it), and
    // of no other.
    ASSERT_EQ(list.Current(), owner.current) << step;
    ASSERT_LE(owner.changes, 1) << step;
    owner.changes = 0;
    // Closed pages are reported once each, and nothing still listed.
    for (CPageHolder* q : owner.closed) ASSERT_TRUE(std::find(pages.begin(), pages.end(), q) == pages.end());
    owner.closed.clear();
  }
  for (CMockPage* p : pool) delete p;
}

// One change of the current page: the old page leaves, the new one is
// placed, shown and activated, all under one held repaint; a closed current
// page hands over to its neighbour the same way.
TEST(PageList, ActivationOrderAndOneRepaint) {
  std::string log;
  CListOwner owner;
  CPageList list(&owner);
  std::vector<CMockPage*> pool;
  CMockPage& strip = *NewMock('0', &log, &pool);
  CMockPage& a = *NewMock('a', &log, &pool);
  CMockPage& b = *NewMock('b', &log, &pool);
  list.Add(&strip, true);
  list.Add(&a, true);
  list.Add(&b, false);
  log.clear();
  const int repaints = owner.repaints;
  ASSERT_TRUE(list.Activate(&b));
  EXPECT_EQ("aa as bP bS bA ", log);
  EXPECT_EQ(repaints + 1, owner.repaints);
  log.clear();
  ASSERT_TRUE(list.ClosePage(nullptr));
  EXPECT_EQ("bs bC aP aS aA ", log);
  ASSERT_TRUE(list.RemovePage(&a));
  ASSERT_TRUE(list.RemovePage(&strip));
  EXPECT_EQ(-1, list.CurrentIndex());
  EXPECT_EQ(nullptr, list.Current());
  for (CMockPage* p : pool) delete p;
}

// Next and Previous with three pages each go their own way round: from
// the middle page one step each way, wrapping at both ends; the owner's
// window commands follow every step.
TEST(PageList, NextAndPreviousGoEachTheirWayAndWrapAtBothEnds) {
  std::string log;
  CListOwner owner;
  CPageList list(&owner);
  std::vector<CMockPage*> pool;
  CMockPage& strip = *NewMock('0', &log, &pool);
  CMockPage& a = *NewMock('a', &log, &pool);
  CMockPage& b = *NewMock('b', &log, &pool);
  list.SetFixedPage(&strip);
  list.Add(&strip, true);
  EXPECT_FALSE(owner.cycle);
  EXPECT_FALSE(owner.close) << "the start page cannot close";
  EXPECT_FALSE(list.ActivateNext());
  EXPECT_FALSE(list.ActivatePrevious());
  list.Add(&a, true);
  list.Add(&b, false);
  EXPECT_EQ(&a, list.Current());
  EXPECT_TRUE(owner.cycle && owner.close);
  const struct {
    bool next;
    CMockPage* current;
    bool close;
  } walk[] = {
      {true, &b, true},  {true, &strip, false}, {true, &a, true},   {false, &strip, false},
      {false, &b, true}, {false, &a, true},     {false, &strip, false},
  };
  for (const auto& w : walk) {
    log.clear();
    EXPECT_TRUE(w.next ? list.ActivateNext() : list.ActivatePrevious());
    EXPECT_EQ(w.current, list.Current()) << log;
    EXPECT_EQ(w.current, owner.current);
    EXPECT_EQ(w.close, owner.close) << log;
    EXPECT_TRUE(owner.cycle);
    EXPECT_EQ(std::string(1, w.current->page.name) + "P " + w.current->page.name + "S " + w.current->page.name + "A ",
              log.substr(6));
  }
  // Parked, a page leaves the cycle; with one page left there is none.
  ASSERT_TRUE(list.Park(&a));
  ASSERT_TRUE(list.Park(&b));
  EXPECT_FALSE(owner.cycle);
  EXPECT_FALSE(list.ActivateNext());
  EXPECT_EQ(&strip, list.Current());
  for (CMockPage* p : pool) delete p;
}

}  // namespace
