#include <gtest/gtest.h>

#include <vector>

#include "ui/support/menu_blocks.h"
#include "ui/widgets/main_menu_state.h"

namespace {

struct CListenerLog : IMenuModelListener {
  void OnMenuItemChanged(MenuItem* item) override { changed.push_back(item); }
  std::vector<MenuItem*> changed;
};

constexpr bool kTarget = sizeof(void*) == 4;  // the 32-bit program's record sizes

TEST(MenuModelTest, BlockSizesOfTheBuildersLayout) {
  CMenuBlock one(Submenu(1, {Command(2)}));
  CMenuBlock two(Submenu(1, {Command(2), Command(3)}));
  CMenuBlock main(MainMenuSpec());
  CMenuModel* root = main.Root();
  if (kTarget) {
    EXPECT_EQ(72u, one.Root()->size);
    EXPECT_EQ(100u, two.Root()->size);
    EXPECT_EQ(1712u, root->size);
    const u32 kSubmenuSizes[6] = {340, 436, 268, 312, 128, 128};
    for (i32 i = 0; i < 6; ++i) EXPECT_EQ(kSubmenuSizes[i], root->GetItem(i)->size) << i;
  }
  // Next lands past the 4 trailing bytes, on the record the builder wrote.
  EXPECT_EQ(reinterpret_cast<u8*>(one.Root()) + one.Bytes(), reinterpret_cast<u8*>(MenuItem::Next(one.Root())));
  EXPECT_EQ(8, root->count);
  EXPECT_EQ(48, root->GetItemId(7));
}

TEST(MenuModelTest, LookupsAtTheBoundsAndByType) {
  CMenuBlock block(Submenu(1, {Separator(), Command(32, kMenuEnabled | kMenuNoText, 6), Command(33, 0),
                               Submenu(20, {Command(21)})}));
  CMenuModel* menu = block.Root();
  EXPECT_EQ(menu->first, menu->GetItem(0));
  EXPECT_EQ(nullptr, menu->GetItem(menu->count));
  EXPECT_EQ(nullptr, menu->GetItem(-1));
  EXPECT_EQ(-2, menu->GetItemId(0));
  EXPECT_EQ(-1, menu->GetItemId(4));
  EXPECT_EQ(-1, menu->GetItemType(-1));
  EXPECT_EQ(nullptr, menu->GetItemText(0)) << "a separator has no text";
  EXPECT_EQ(nullptr, menu->GetItemText(1)) << "icon only, although its id is valid";
  ASSERT_NE(nullptr, menu->GetItemText(2));
  EXPECT_EQ(std::u16string(u"Paste\tCtrl+V"), std::u16string(menu->GetItemText(2)->text));
  EXPECT_EQ(2, menu->CountSelectableItems()) << "neither the separator nor the disabled command";
  EXPECT_EQ(menu->GetItem(3), menu->FindSubmenu(20));
  EXPECT_EQ(nullptr, menu->FindSubmenu(21)) << "only submenu records are found";
  // A reserved record ends the walk.
  menu->GetItem(2)->type = kMenuReserved;
  EXPECT_EQ(nullptr, menu->GetItem(3));
  EXPECT_EQ(-1, menu->GetItemId(2));
  MenuItem fresh;
  MenuItem::Init(&fresh);
  EXPECT_EQ(0, fresh.flags & kMenuEnabled) << "a freshly initialised command is greyed";
}

// The enabled bit is bit 0 under every name; the hidden bit is bit 1 and
// only ShowItemById sets it, without searching nested submenus. Each row
// starts from the same block and applies one call.
TEST(MenuModelTest, ChangesByIdSetTheirBitAndTellTheHoldersListener) {
  struct Case {
    const char* name;
    void (*apply)(CMenuModel*);
    i32 changedId;    // the record expected to change (0: none)
    u8 flagsAfter;
    bool rootTold;    // else the nested submenu's listener
  };
  const Case cases[] = {
      {"enable off, nested", [](CMenuModel* m) { m->EnableItemById(21, false); }, 21, 0, false},
      {"check off, nested", [](CMenuModel* m) { m->CheckItemById(21, false); }, 21, 0, false},
      {"enable off, top", [](CMenuModel* m) { m->EnableItemById(23, false); }, 23, 0, true},
      {"set checked off", [](CMenuModel* m) { m->SetItemChecked(1, false); }, 23, 0, true},
      {"enable the submenu itself", [](CMenuModel* m) { m->EnableItemById(20, false); }, 20, 0, true},
      {"hide, top", [](CMenuModel* m) { m->ShowItemById(23, false); }, 23, kMenuEnabled | kMenuHidden, true},
      {"hide, nested: not found", [](CMenuModel* m) { EXPECT_FALSE(m->ShowItemById(21, false)); }, 0, 0, true},
      {"icon on a separator", [](CMenuModel* m) { m->SetItemIcon(true); }, 0, 0, true},
  };
  for (const Case& c : cases) {
    CMenuBlock block(Submenu(1, {Submenu(20, {Command(21), Command(20)}), Command(23), Command(24), Separator()}));
    CMenuModel* root = block.Root();
    CMenuModel* nested = root->FindSubmenu(20);
    CListenerLog rootLog, nestedLog;
    root->listener = &rootLog;
    nested->listener = &nestedLog;
    c.apply(root);
    MenuItem* expected = nullptr;
    if (c.changedId == 20) expected = nested;
    if (c.changedId == 21) expected = nested->GetItem(0);
    if (c.changedId == 23) expected = root->GetItem(1);
    std::vector<MenuItem*> told = c.rootTold ? rootLog.changed : nestedLog.changed;
    std::vector<MenuItem*> silent = c.rootTold ? nestedLog.changed : rootLog.changed;
    EXPECT_EQ(expected ? 1u : 0u, told.size()) << c.name;
    EXPECT_TRUE(silent.empty()) << c.name;
    if (expected) {
      EXPECT_EQ(expected, told[0]) << c.name;
      EXPECT_EQ(c.flagsAfter, expected->flags) << c.name;
    }
    EXPECT_EQ(kMenuEnabled, nested->GetItem(1)->flags) << c.name << ": the same id inside the submenu";
    EXPECT_EQ(kMenuIconNone, root->GetItem(3)->icon) << c.name;
  }
}

TEST(MenuModelTest, TheFourthCommandTicks) {
  CMenuBlock block(Submenu(40, {Command(41), Command(42), Separator(), Command(73, kMenuEnabled, -3)}));
  CListenerLog log;
  block.Root()->listener = &log;
  block.Root()->SetItemIcon(true);
  EXPECT_EQ(kMenuIconTicked, block.Root()->GetItem(3)->icon);
  block.Root()->SetItemIcon(false);
  EXPECT_EQ(kMenuIconUnticked, block.Root()->GetItem(3)->icon);
  EXPECT_EQ(2u, log.changed.size());
}

// After the pages changed the live menu, a restore brings back the root,
// File (New Project included) and Edit exactly, keeps the other submenus'
// live state and the upper flag bits, and skips records whose type differs.
TEST(MenuModelTest, MainMenuRestoreTouchesRootFileAndEditOnly) {
  CMenuBlock freshBlock(MainMenuSpec()), liveBlock(MainMenuSpec());
  CMenuModel* fresh = freshBlock.Root();
  CMenuModel* live = liveBlock.Root();
  CListenerLog log;
  live->listener = &log;
  live->EnableItemById(22, false);  // New Project > Audio CD
  live->EnableItemById(24, true);   // File > Save
  live->FindSubmenu(28)->ShowItemById(37, true);
  live->FindSubmenu(28)->GetItem(3)->icon = 99;
  live->FindSubmenu(28)->GetItem(4)->flags |= 0x40;
  live->EnableItemById(49, false);  // Burner: follows the drive
  live->FindSubmenu(40)->SetItemIcon(true);
  live->GetItem(7)->flags = 0;      // eject icon
  live->flags = 0;                  // the root record itself
  fresh->FindSubmenu(28)->GetItem(2)->type = kMenuCommand;   // Edit's first separator differs
  live->FindSubmenu(28)->GetItem(2)->flags = kMenuHidden;
  log.changed.clear();

  EXPECT_EQ(live, CopyMainMenuState(fresh, live));
  EXPECT_TRUE(log.changed.empty()) << "no listener is told";
  for (i32 id : {19, 28}) {
    CMenuModel* f = fresh->FindSubmenu(id);
    CMenuModel* l = live->FindSubmenu(id);
    MenuItem* fi = f->first;
    MenuItem* li = l->first;
    for (i32 i = 0; i < f->count; ++i, fi = MenuItem::Next(fi), li = MenuItem::Next(li)) {
      if (fi->type != li->type) continue;
      EXPECT_EQ(fi->flags & 0x0F, li->flags & 0x0F) << id << ":" << i;
      EXPECT_EQ(fi->icon, li->icon) << id << ":" << i;
    }
  }
  EXPECT_EQ(fresh->flags, live->flags);
  EXPECT_EQ(kMenuEnabled, live->FindSubmenu(20)->GetItem(1)->flags);
  EXPECT_EQ(0x40, live->FindSubmenu(28)->GetItem(4)->flags & 0xF0) << "bits 4-7 stay";
  EXPECT_EQ(kMenuHidden, live->FindSubmenu(28)->GetItem(2)->flags) << "type differs: kept";
  EXPECT_FALSE(live->FindSubmenu(46)->IsItemEnabled(0)) << "Burner keeps its live state";
  EXPECT_EQ(kMenuIconTicked, live->FindSubmenu(40)->GetItem(3)->icon) << "View keeps its tick";
  EXPECT_EQ(0, live->GetItem(7)->flags) << "the bar's icons keep theirs";
}

TEST(MenuModelTest, LanguageItemIndex) {
  const i32 kTable[][2] = {{8, 0}, {1, 1}, {9, 0}, {-1, 0}, {0, 0}};
  for (const auto& row : kTable) EXPECT_EQ(row[1], LanguageMenuIndex(row[0])) << row[0];
}

}  // namespace
