// An open rename in a data project's folder tree belongs to its folder:
// turned by the wheel, the tree's rows scroll and the name box goes with
// the folder's row, as a person sees it on the screen, and Enter names
// that folder.
#include <gtest/gtest.h>

#include <string>

#include "app/main_window/main_frame.h"
#include "app_session_win.h"
#include "open_page_win.h"
#include "person_win.h"
#include "runtime/win.h"
#include "ui/support/fresh_paint.h"
#include "widget_on_screen_win.h"

TEST(EndToEndRename, TheBoxMovesWithItsFolderWhenTheWheelScrollsTheTree) {
  CAppSession app;
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ASSERT_TRUE(NewProject(p));
    // Each Insert makes a folder inside the selected one and opens its
    // name; Enter keeps the name: a chain taller than the pane.
    for (int i = 0; i < 14; ++i) {
      ASSERT_TRUE(p.Press(VK_INSERT));
      ASSERT_TRUE(p.Press(VK_RETURN));
    }
    for (u32 key : {VK_HOME, VK_DOWN, VK_DOWN, VK_F2}) ASSERT_TRUE(p.Press(key));
    TreeItemHandle edited = kNullItem;
    i32 level = -1;
    ScreenPoint over = {0, 0};
    p.OnUi([&](CMainFrame& f) {
      auto& tree = OpenPageAs<ExplorerPage>(f)->tree;
      ASSERT_TRUE(tree.IsEditingLabel());
      ASSERT_TRUE(tree.flags & kFlagVScroll) << "the tree is taller than its pane";
      ASSERT_EQ(1.0, tree.positionY) << "its top rows shown";
      edited = tree.EditedItem();
      level = tree.Lookup(edited)->level;
      over = Middle(tree);
    });
    ASSERT_TRUE(p.TurnWheel(over, 1));
    p.OnUi([&](CMainFrame& f) {
      auto& tree = OpenPageAs<ExplorerPage>(f)->tree;
      EXPECT_LT(tree.positionY, 1.0) << "the rows scrolled";
      ASSERT_TRUE(tree.IsEditingLabel() && ItemHandlesEqual(edited, tree.EditedItem()));
      Rect label;
      ASSERT_TRUE(tree.GetItemRect(&label, true, edited));
      const Point o = tree.GetScrollOffset();
      EXPECT_EQ(label.left - o.x, tree.editor.x);
      EXPECT_EQ(label.top - o.y, tree.editor.y) << "the box over its folder's label";
      EXPECT_TRUE(LooksAsPaintedFresh(f, tree)) << "the tree on the screen";
    });
    for (u32 key : {u32('M'), u32('O'), u32('V'), u32('E'), u32('D'), u32(VK_RETURN)}) ASSERT_TRUE(p.Press(key));
    p.OnUi([&](CMainFrame& f) {
      auto& tree = OpenPageAs<ExplorerPage>(f)->tree;
      EXPECT_FALSE(tree.IsEditingLabel());
      i32 named = 0;
      for (u32 row = 0; row < tree.VisibleRowCount(); ++row) {
        const TreeItem* item = tree.Lookup(tree.VisibleRow(row));
        if (!item || std::u16string(item->text.c_str()) != u"moved") continue;
        ++named;
        EXPECT_EQ(level, item->level) << "the folder the box was opened for";
      }
      EXPECT_EQ(1, named);
    });
  }));
}
