#include <gtest/gtest.h>

#include "app/commands/main_menu.h"
#include "ui/support/menu_blocks.h"

namespace {

// Both blocks record by record in block order: the program's builder
// against the shape the menu code is written for (the main menu of the
// menu tests, written from a nested description by another builder).
void ExpectSameRecords(CMenuModel* built, CMenuModel* shape, int* records) {
  ASSERT_EQ(shape->count, built->count) << "submenu " << shape->id;
  for (i32 i = 0; i < shape->count; ++i) {
    MenuItem* a = built->GetItem(i);
    MenuItem* b = shape->GetItem(i);
    ASSERT_NE(nullptr, a);
    ++*records;
    EXPECT_EQ(b->type, a->type) << "item " << i << " of " << shape->id;
    EXPECT_EQ(b->size, a->size) << "item " << i << " of " << shape->id;
    EXPECT_EQ(b->id, a->id) << "item " << i << " of " << shape->id;
    EXPECT_EQ(b->flags, a->flags) << "item " << a->id;
    if (b->type == kMenuTypeCommand) {
      EXPECT_EQ(b->icon, a->icon) << "item " << a->id;
    }
    CMenuModel* sa = CMenuModel::AsSubmenu(a);
    CMenuModel* sb = CMenuModel::AsSubmenu(b);
    if (sa && sb) ExpectSameRecords(sa, sb, records);
  }
}

TEST(MainMenu, BuiltAsTheMenuCodeExpectsIt) {
  MainMenuStorage storage;
  CMenuModel* root = BuildMainMenu(&storage);
  CMenuBlock shape(MainMenuSpec());
  EXPECT_EQ(shape.Root()->size, root->size);
  EXPECT_EQ(kMainMenuBytes, root->size);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(1712u, root->size);
  }
  int records = 0;
  ExpectSameRecords(root, shape.Root(), &records);
  EXPECT_EQ(9 - 1 + 47, records);
  // The ones the command states find by id are there once each.
  for (i32 id : {19, 28, 46, 40, 56, 60, 43}) EXPECT_NE(nullptr, root->FindSubmenu(id)) << id;
  EXPECT_EQ(16, root->FindSubmenu(20)->icon);  // New Project shows its icon
}

}  // namespace
