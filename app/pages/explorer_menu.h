// The explorer page's menus: its own bar (New folder, Copy and Save image
// as pictures, then Export Files), the main menu's entries it shows while
// it is the page shown, and the Edit menu it opens as its context menu.
// Portable.
#pragma once
#include "ui/widgets/menu_model.h"

constexpr u32 kExplorerMenuItems = 4;
struct ExplorerMenuStorage {
  alignas(8) u8 bytes[kMenuHeadSize + kExplorerMenuItems * kMenuItemSize + kMenuTrailSize];
};
CMenuModel* BuildExplorerMenu(ExplorerMenuStorage* storage);

// Shows (or hides again) the page's entries of the main menu: New folder
// and Export Files with their separators in Edit; enables New folder, and
// Save image when the page can save.
void ShowPageEntries(CMenuModel* mainMenu, bool show, bool canSave);

// A fresh copy of the Edit menu as the page's context menu: every entry
// shown, the editing commands the page has no use for disabled.
void PrepareContextMenu(CMenuModel* edit);
