// The explorer page's menus: its own bar (New folder, Copy and Save image
// as pictures, then Export Files), the main menu's entries it enables while
// it is the page shown, and the Edit menu it opens as its context menu.
// Portable.
#pragma once
#include "ui/widgets/menu_model.h"

constexpr u32 kExplorerMenuItems = 4;
struct ExplorerMenuStorage {
  alignas(8) u8 bytes[kMenuHeadSize + kExplorerMenuItems * kMenuItemSize + kMenuTrailSize];
};
CMenuModel* BuildExplorerMenu(ExplorerMenuStorage* storage);

// The page shown (or hidden again): the main menu's Add files... and New
// folder (under Edit), Burn project and Save image enabled (or disabled);
// nothing else of the menu changes, so the Edit entries the built menu
// hides stay hidden.
void ShowPageEntries(CMenuModel* mainMenu, bool show);

// A fresh copy of the Edit menu as the page's context menu: every entry
// shown, the editing commands the page has no use for disabled.
void PrepareContextMenu(CMenuModel* edit);
