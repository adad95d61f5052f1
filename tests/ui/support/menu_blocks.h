// Menu blocks for tests, written from a nested description the way the
// program's builders lay them out, and the main menu's shape.
#pragma once
#include <vector>

#include "ui/widgets/menu_model.h"

struct MenuSpec {
  u8 type;
  i32 id;
  u8 flags;
  i32 icon;
  std::vector<MenuSpec> children;
};

inline MenuSpec Command(i32 id, u8 flags = kMenuEnabled, i32 icon = kMenuIconNone) {
  return {kMenuTypeCommand, id, flags, icon, {}};
}
inline MenuSpec Separator(u8 flags = 0) { return {kMenuTypeSeparator, 0, flags, kMenuIconNone, {}}; }
inline MenuSpec Submenu(i32 id, std::vector<MenuSpec> children, u8 flags = kMenuEnabled) {
  return {kMenuTypeSubmenu, id, flags, kMenuIconNone, std::move(children)};
}

class CMenuBlock {
 public:
  explicit CMenuBlock(const MenuSpec& root);
  CMenuModel* Root() { return reinterpret_cast<CMenuModel*>(storage_.data()); }

 private:
  std::vector<u64> storage_;
};

// File (with New Project), Edit, Burner, View (with Language), Window, "?",
// then the erase and eject icons at the right.
MenuSpec MainMenuSpec();
