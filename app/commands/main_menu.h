// The main window's menu as one packed block, built in place: File (with
// New Project), Edit, Burner, View (with Language), Window, "?", then the
// erase and eject icons at the bar's right end. Every id is the UI string
// id of the entry's text and the command it sends. Portable.
#pragma once
#include "ui/widgets/menu_model.h"

constexpr u32 kMainMenuRootId = 128;
// Nine submenu heads (the root among them) with their trailing bytes and
// 47 other records: 1712 bytes on the 32-bit target.
constexpr u32 kMainMenuBytes = 9 * (kMenuHeadSize + kMenuTrailSize) + 47 * kMenuItemSize;

// Room for one main menu block.
struct MainMenuStorage {
  alignas(8) u8 bytes[kMainMenuBytes];
  CMenuModel* Root() { return reinterpret_cast<CMenuModel*>(bytes); }
};

// Writes the menu as built at start (the entries' first states) into the
// storage and returns its root.
CMenuModel* BuildMainMenu(MainMenuStorage* storage);
