// The audio project's two small menus, each one packed block in the menu
// model's format: the page's own bar (one command, "Burn project", shown as
// its icon at the bar's right end) and the context menu of the track list
// ("Paste", "Remove all"). Portable.
#pragma once
#include "ui/widgets/menu_model.h"

// "Remove all" of the context menu (the main menu has no such entry).
constexpr u32 kCmdRemoveAll = 35;

constexpr i32 kAudioBurnIcon = 15;
constexpr i32 kAudioPasteIcon = 7;
constexpr i32 kAudioRemoveAllIcon = 8;

// A submenu head with one command: 72 bytes.
struct AudioBarMenu {
  alignas(8) u8 bytes[kMenuHeadSize + kMenuItemSize + kMenuTrailSize];
  CMenuModel* Root() { return reinterpret_cast<CMenuModel*>(bytes); }
};
// A submenu head with two commands: 100 bytes.
struct AudioContextMenu {
  alignas(8) u8 bytes[kMenuHeadSize + 2 * kMenuItemSize + kMenuTrailSize];
  CMenuModel* Root() { return reinterpret_cast<CMenuModel*>(bytes); }
};

// "Burn project" (50, icon 15), enabled, icon only, right-aligned.
CMenuModel* BuildAudioBarMenu(AudioBarMenu* menu);
// "Paste" (33, icon 7) and "Remove all" (35, icon 8), each enabled as told.
CMenuModel* BuildAudioContextMenu(AudioContextMenu* menu, bool canPaste, bool canRemove);
