// Painting the pages of a list as the program paints its page host, task
// view and track list: each page through its holder, its own painter first
// and then its controls from the last declared to the first (the first lies
// on top, as it is the first to take a click); the pages from the last to
// the first. A hidden page is visited and paints nothing; a page outside
// the area being painted is not painted.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/main_window/page_holder_list.h"
#include "ui/widgets/composite.h"
#include "ui/support/fake_owner.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/support/memory_canvas.h"

namespace {

typedef std::vector<int> PaintLog;

template <class TParent>
class CNoting : public CWidgetOf<CNoting<TParent>, TParent> {
 public:
  PaintLog* log = nullptr;
  int id = 0;
  void PaintContent(CCanvas&) { log->push_back(id); }
};

// A page with two controls over each other; it notes its own painter as
// its id and each control as id + 1 and id + 2.
template <class TParent>
class CNotingPage : public CCompositeOf<CNotingPage<TParent>, TParent> {
 public:
  CNoting<CNotingPage> first, second;
  PaintLog* log = nullptr;
  int id = 0;
  auto Children() { return std::tie(first, second); }
  void CreateChildren() {
    const Rect r = {0, 0, 50, 50};
    for (CNoting<CNotingPage>* c : {&first, &second}) {
      c->log = log;
      c->Create(kFlagVisible, &r, this);
    }
    first.id = id + 1;
    second.id = id + 2;
  }
  void PaintContent(CCanvas&) { log->push_back(id); }
};
typedef CPageBox<CNotingPage<CFakeOwner>> NotingBox;

TEST(PageHolderListPaint, PagesPaintThemselvesThenTheirControlsLastFirstAndTheListLastFirst) {
  CRecordingThemePainter painter;
  CMemoryCanvas memory(200, 200);
  CCanvas& canvas = memory.canvas;
  CFakeOwner owner;
  PaintLog log;
  NotingBox top, under, hidden, away;
  const struct {
    NotingBox* box;
    int id;
    u32 flags;
    Rect r;
  } pages[] = {{&hidden, 10, 0, {0, 0, 100, 100}},
               {&top, 20, kFlagVisible, {0, 0, 100, 100}},
               {&under, 30, kFlagVisible, {20, 20, 120, 120}},
               {&away, 40, kFlagVisible, {300, 300, 350, 350}}};  // outside the canvas
  CArray<CPageHolder*> holders(16);
  for (const auto& p : pages) {
    p.box->page.log = &log;
    p.box->page.id = p.id;
    p.box->page.Create(p.flags, &p.r, &owner);
    ASSERT_TRUE(holders.Add(p.box));
  }
  CPageHolderList list(&holders);
  list.PaintClipped(canvas);
  EXPECT_EQ((PaintLog{30, 32, 31, 20, 22, 21}), log)
      << "the later page under the first, each page's own painter under its controls, the second control under "
         "the first";
  Rect clip;
  canvas.GetClipRect(&clip.left, &clip.top, &clip.right, &clip.bottom);
  EXPECT_TRUE(canvas.originX == 0 && canvas.originY == 0 && clip.right == 200 && clip.bottom == 200);
  // Only the part being painted: the page that lies outside it is left out.
  log.clear();
  canvas.SetClipRect(0, 0, 15, 15);
  list.PaintClipped(canvas);
  EXPECT_EQ((PaintLog{20, 22, 21}), log);
}

}  // namespace
