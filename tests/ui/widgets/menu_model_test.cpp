#include <gtest/gtest.h>

#include <vector>

#include "ui/support/menu_blocks.h"
#include "ui/widgets/main_menu_state.h"

namespace {

struct CListenerLog : IMenuModelListener {
  void OnMenuItemChanged(MenuItem* item) override { changed.push_back(item); }
  std::vector<MenuItem*> changed;
};

TEST(MenuModelTest, BlockSizesAndLookupsAtTheBounds) {
  CMenuBlock one(Submenu(1, {Command(2)})), two(Submenu(1, {Command(2), Command(3)})), main(MainMenuSpec());
  CMenuModel* root = main.Root();
  const u32 kSizes[] = {72, 100, 1712, 340, 436, 268, 312, 128, 128};
  u32 sizes[9] = {one.Root()->size, two.Root()->size, root->size};
  for (i32 i = 0; i < 6; ++i) sizes[3 + i] = root->GetItem(i)->size;
  for (u32 i = 0; i < 9 && sizeof(void*) == 4; ++i) EXPECT_EQ(kSizes[i], sizes[i]) << i;  // 32-bit records
  EXPECT_TRUE(root->GetItemId(7) == 48 && !root->GetItemText(7)) << "icon only: no text";
  CMenuModel* file = root->FindSubmenu(19);
  EXPECT_TRUE(file->GetItem(0) == file->first && !file->GetItem(file->count) && !file->GetItem(-1));
  EXPECT_TRUE(file->GetItemId(2) == -2 && file->GetItemId(8) == -1 && !root->FindSubmenu(21));
  EXPECT_EQ(3, file->CountSelectableItems());
  file->GetItem(3)->type = kMenuTypeReserved;  // ends the walk
  EXPECT_EQ(nullptr, file->GetItem(4));
  EXPECT_TRUE(LanguageMenuIndex(8) == 0 && LanguageMenuIndex(1) == 1 && LanguageMenuIndex(9) == 0 &&
              LanguageMenuIndex(-1) == 0);
}

// The enabled bit is bit 0 under every name; only ShowItemById sets the
// hidden bit, without searching nested submenus. The submenu that holds a
// changed record tells its own listener.
TEST(MenuModelTest, ChangesByIdSetTheirBitAndTellTheHoldersListener) {
  struct Case {
    void (*apply)(CMenuModel*);
    i32 changed;  // {nested submenu, its first child, root child 1}, -1 none
    u8 flags;
  } cases[] = {
      {[](CMenuModel* m) { m->EnableItemById(21, false); }, 1, 0},
      {[](CMenuModel* m) { m->CheckItemById(21, false); }, 1, 0},
      {[](CMenuModel* m) { m->EnableItemById(23, false); }, 2, 0},
      {[](CMenuModel* m) { m->SetItemChecked(1, false); }, 2, 0},
      {[](CMenuModel* m) { m->EnableItemById(20, false); }, 0, 0},  // not the same id inside it
      {[](CMenuModel* m) { m->ShowItemById(23, false); }, 2, kMenuEnabled | kMenuHidden},
      {[](CMenuModel* m) { m->ShowItemById(21, false); }, -1, 0},  // not searched for below
      {[](CMenuModel* m) { m->SetItemIcon(true); }, -1, 0},        // the fourth child is a separator
  };
  for (const Case& c : cases) {
    CMenuBlock block(Submenu(1, {Submenu(20, {Command(21), Command(20)}), Command(23), Command(24), Separator()}));
    CMenuModel* root = block.Root();
    CMenuModel* nested = root->FindSubmenu(20);
    CListenerLog rootLog, nestedLog;
    root->listener = &rootLog;
    nested->listener = &nestedLog;
    c.apply(root);
    MenuItem* records[3] = {nested, nested->GetItem(0), root->GetItem(1)};
    std::vector<MenuItem*> expected;
    if (c.changed >= 0) expected.push_back(records[c.changed]);
    EXPECT_EQ(expected, c.changed == 1 ? nestedLog.changed : rootLog.changed) << &c - cases;
    EXPECT_TRUE((c.changed == 1 ? rootLog.changed : nestedLog.changed).empty()) << &c - cases;
    EXPECT_TRUE(c.changed < 0 || records[c.changed]->flags == c.flags) << &c - cases;
    EXPECT_EQ(kMenuEnabled, nested->GetItem(1)->flags) << &c - cases;
  }
}

// A restore gives the root, File (New Project included) and Edit their
// fresh state, keeps the other submenus' and the upper flag bits, skips a
// record whose type differs, and tells no listener.
TEST(MenuModelTest, MainMenuRestoreTouchesRootFileAndEditOnly) {
  CMenuBlock freshBlock(MainMenuSpec()), liveBlock(MainMenuSpec());
  CMenuModel* fresh = freshBlock.Root();
  CMenuModel* live = liveBlock.Root();
  CMenuModel* edit = live->FindSubmenu(28);
  CListenerLog log;
  live->flags = 0;
  live->EnableItemById(22, false);  // New Project > Audio CD
  live->EnableItemById(24, true);   // File > Save
  edit->ShowItemById(37, true);
  edit->GetItem(3)->icon = 99;
  edit->GetItem(4)->flags |= 0x40;
  edit->GetItem(2)->flags = kMenuHidden;
  fresh->FindSubmenu(28)->GetItem(2)->type = kMenuTypeCommand;
  live->EnableItemById(49, false);  // Burner > Copy disc
  live->GetItem(7)->flags = 0;      // the eject icon
  live->listener = &log;
  EXPECT_EQ(live, CopyMainMenuState(fresh, live));
  EXPECT_TRUE(log.changed.empty());
  EXPECT_EQ(fresh->flags, live->flags);
  for (i32 id : {19, 20, 28}) {
    for (i32 i = 0; i < fresh->FindSubmenu(id)->count; ++i) {
      const MenuItem* f = fresh->FindSubmenu(id)->GetItem(i);
      const MenuItem* l = live->FindSubmenu(id)->GetItem(i);
      if (f->type != l->type) continue;
      EXPECT_TRUE(f->icon == l->icon && f->flags == (l->flags & 0x0F)) << id << ":" << i;
    }
  }
  EXPECT_EQ(0x40, edit->GetItem(4)->flags & 0xF0) << "bits 4-7 stay";
  EXPECT_EQ(kMenuHidden, edit->GetItem(2)->flags) << "type differs: kept";
  EXPECT_FALSE(live->FindSubmenu(46)->IsItemEnabled(0)) << "Burner keeps its live state";
  EXPECT_EQ(0, live->GetItem(7)->flags) << "so do the bar's icons";
}

}  // namespace

namespace {

// Visible items are the ones without the hidden bit, whatever their type;
// selectable ones are also enabled and are commands or submenus. Each
// child below differs from the next in one bit, so that a count taking
// the wrong bit or type is off.
TEST(MenuModelTest, VisibleAndSelectableCountsTellEveryBitApart) {
  CMenuBlock block(Submenu(1, {Command(2), Command(3, 0), Command(4, kMenuEnabled | kMenuHidden),
                               Command(5, kMenuHidden), Separator(), Separator(kMenuEnabled),
                               Submenu(6, {Command(7)}), Submenu(8, {Command(9)}, kMenuEnabled | kMenuHidden),
                               Submenu(10, {Command(11), Command(12)}, 0)}));
  CMenuModel* root = block.Root();
  ASSERT_EQ(9, root->count);
  EXPECT_EQ(6, root->CountVisibleItems()) << "three children are hidden";
  EXPECT_EQ(2, root->CountSelectableItems()) << "command 2 and submenu 6";
  root->ShowItemById(4, true);
  EXPECT_EQ(7, root->CountVisibleItems());
  EXPECT_EQ(3, root->CountSelectableItems());
  root->EnableItemById(10, true);
  EXPECT_EQ(4, root->CountSelectableItems());
  root->EnableItemById(2, false);
  EXPECT_EQ(3, root->CountSelectableItems());
  EXPECT_EQ(7, root->CountVisibleItems()) << "enabling never shows";
  root->ShowItemById(6, false);
  EXPECT_EQ(6, root->CountVisibleItems());
  EXPECT_EQ(2, root->CountSelectableItems());
  // The last child counts: a block whose only visible child is its last.
  CMenuBlock tail(Submenu(1, {Command(2, kMenuHidden), Command(3)}));
  EXPECT_EQ(1, tail.Root()->CountVisibleItems());
  EXPECT_EQ(1, tail.Root()->CountSelectableItems());
  CMenuBlock empty(Submenu(1, {}));
  EXPECT_EQ(0, empty.Root()->CountVisibleItems());
  EXPECT_EQ(0, empty.Root()->CountSelectableItems());
}

// By id: the enabled bit of the first match at any depth, the hidden bit of
// a direct child only, each only on the record named, and false for none.
TEST(MenuModelTest, ByIdOperationsAnswerWhetherTheyFoundTheItem) {
  CMenuBlock block(Submenu(1, {Command(2), Submenu(3, {Command(4), Command(2)}), Command(5, 0)}));
  CMenuModel* root = block.Root();
  CMenuModel* nested = root->FindSubmenu(3);
  EXPECT_TRUE(root->EnableItemById(5, true));
  EXPECT_TRUE(root->IsItemEnabled(2));
  EXPECT_TRUE(root->EnableItemById(4, false));
  EXPECT_FALSE(nested->IsItemEnabled(0));
  EXPECT_TRUE(nested->IsItemEnabled(1));
  EXPECT_TRUE(root->EnableItemById(2, false));
  EXPECT_FALSE(root->IsItemEnabled(0));
  EXPECT_TRUE(nested->IsItemEnabled(1)) << "the first match only";
  EXPECT_FALSE(root->EnableItemById(99, true));
  EXPECT_FALSE(root->ShowItemById(4, false)) << "nested: not searched";
  EXPECT_TRUE(root->ShowItemById(3, false));
  EXPECT_EQ(kMenuEnabled | kMenuHidden, root->GetItem(1)->flags);
  EXPECT_TRUE(root->ShowItemById(3, true));
  EXPECT_EQ(kMenuEnabled, root->GetItem(1)->flags);
  EXPECT_FALSE(root->IsItemEnabled(-1));
  EXPECT_FALSE(root->IsItemEnabled(3));
  EXPECT_EQ(-1, root->GetItemType(3));
  EXPECT_EQ(kMenuTypeSubmenu, root->GetItemType(1));
}

}  // namespace
