#include "app/commands/main_menu.h"

#include "app/commands/command_ids.h"

namespace {

constexpr u8 kOn = kMenuEnabled;
constexpr u8 kOff = 0;
constexpr u8 kIcon = kMenuEnabled | kMenuNoText | kMenuRightAligned;

// One record in block order: its depth below the root (submenus open a
// level that their next records at a greater depth fill).
struct MenuEntry {
  u8 depth;
  u8 type;
  u32 id;
  u8 flags;
  i32 icon;
};

constexpr i32 kNone = kMenuIconNone;

const MenuEntry kEntries[] = {
    {1, kMenuTypeSubmenu, kCmdFileMenu, kOn, kNone},
    {2, kMenuTypeSubmenu, kCmdNewProjectMenu, kOn, 16},
    {3, kMenuTypeCommand, kCmdNewData, kOn, 19},
    {3, kMenuTypeCommand, kCmdNewAudio, kOn, 20},
    {2, kMenuTypeCommand, kCmdOpen, kOn, 1},
    {2, kMenuTypeSeparator, 0, 0, kNone},
    {2, kMenuTypeCommand, kCmdSave, kOff, 2},
    {2, kMenuTypeCommand, kCmdSaveAs, kOff, kNone},
    {2, kMenuTypeCommand, kCmdSaveImage, kOff, kNone},
    {2, kMenuTypeSeparator, 0, 0, kNone},
    {2, kMenuTypeCommand, kCmdExit, kOn, 0},
    {1, kMenuTypeSubmenu, kCmdEditMenu, kOn, kNone},
    {2, kMenuTypeCommand, kCmdUndo, kOff, 3},
    {2, kMenuTypeCommand, kCmdRedo, kOff, 4},
    {2, kMenuTypeSeparator, 0, 0, kNone},
    {2, kMenuTypeCommand, kCmdCut, kOff, 5},
    {2, kMenuTypeCommand, kCmdCopy, kOff, 6},
    {2, kMenuTypeCommand, kCmdPaste, kOff, 7},
    {2, kMenuTypeCommand, kCmdDelete, kOff, 8},
    {2, kMenuTypeSeparator, 0, 0, kNone},
    {2, kMenuTypeCommand, kCmdSelectAll, kOff, kNone},
    {2, kMenuTypeSeparator, 0, kMenuHidden, kNone},
    {2, kMenuTypeCommand, kCmdAddFiles, kMenuHidden, 22},
    {2, kMenuTypeCommand, kCmdNewFolder, kMenuHidden, 21},
    {2, kMenuTypeSeparator, 0, kMenuHidden, kNone},
    {2, kMenuTypeCommand, kCmdExportFiles, kMenuHidden, kNone},
    {1, kMenuTypeSubmenu, kCmdBurnerMenu, kOn, kNone},
    {2, kMenuTypeCommand, kCmdCopyDisc, kOn, 13},
    {2, kMenuTypeCommand, kCmdBurnProject, kOff, 15},
    {2, kMenuTypeCommand, kCmdBurnImage, kOn, 15},
    {2, kMenuTypeCommand, kCmdEraseDisc, kOn, 24},
    {2, kMenuTypeCommand, kCmdContinueMultiSession, kOff, kNone},
    {2, kMenuTypeSeparator, 0, 0, kNone},
    {2, kMenuTypeCommand, kCmdDiscInfo, kOff, 23},
    {2, kMenuTypeCommand, kCmdDeviceInfo, kOn, kNone},
    {1, kMenuTypeSubmenu, kCmdViewMenu, kOn, kNone},
    {2, kMenuTypeCommand, kCmdToolbar, kOn, kNone},
    {2, kMenuTypeCommand, kCmdStatusBar, kOn, kNone},
    {2, kMenuTypeSeparator, 0, 0, kNone},
    {2, kMenuTypeCommand, kCmdTaskManager, kOn, kMenuIconUnticked},
    {2, kMenuTypeCommand, kCmdOptions, kOn, kMenuIconUnticked},
    {2, kMenuTypeSeparator, 0, 0, kNone},
    {2, kMenuTypeSubmenu, kCmdLanguageMenu, kOn, kNone},
    {3, kMenuTypeCommand, kCmdSpanish, kOn, 11},
    {3, kMenuTypeCommand, kCmdEnglish, kOn, 12},
    {1, kMenuTypeSubmenu, kCmdWindowMenu, kOn, kNone},
    {2, kMenuTypeCommand, kCmdNextWindow, kOff, kNone},
    {2, kMenuTypeCommand, kCmdPreviousWindow, kOff, kNone},
    {2, kMenuTypeCommand, kCmdCloseWindow, kOff, kNone},
    {1, kMenuTypeSubmenu, kCmdHelpMenu, kOn, kNone},
    {2, kMenuTypeCommand, kCmdHelp, kOn, 18},
    {2, kMenuTypeSeparator, 0, 0, kNone},
    {2, kMenuTypeCommand, kCmdAbout, kOn, kNone},
    {1, kMenuTypeCommand, kCmdEraseIcon, kIcon, 24},
    {1, kMenuTypeCommand, kCmdEject, kIcon, 14},
};
constexpr u32 kEntryCount = sizeof(kEntries) / sizeof(kEntries[0]);

// Writes entry *at (a submenu with everything below it) at `to`; returns the
// bytes written and moves *at past the entries it used.
u32 Write(u8* to, u32* at) {
  const MenuEntry& e = kEntries[(*at)++];
  MenuItem* item = reinterpret_cast<MenuItem*>(to);
  if (e.type == kMenuTypeSubmenu) {
    CMenuModel* sub = MenuItem::InitSubmenu(reinterpret_cast<CMenuModel*>(to));
    u32 offset = kMenuHeadSize;
    i32 count = 0;
    while (*at < kEntryCount && kEntries[*at].depth == e.depth + 1) {
      offset += Write(to + offset, at);
      ++count;
    }
    sub->count = count;
    sub->first = count ? reinterpret_cast<MenuItem*>(to + kMenuHeadSize) : nullptr;
    sub->size = offset + kMenuTrailSize;
  } else {
    MenuItem::Init(item);
    item->type = e.type;
  }
  item->id = static_cast<i32>(e.id);
  item->flags = e.flags;
  item->icon = e.icon;
  item->hint = -1;
  return item->size;
}

}  // namespace

CMenuModel* BuildMainMenu(MainMenuStorage* storage) {
  CMenuModel* root = MenuItem::InitSubmenu(storage->Root());
  u32 offset = kMenuHeadSize;
  u32 at = 0;
  i32 count = 0;
  while (at < kEntryCount) {
    offset += Write(storage->bytes + offset, &at);
    ++count;
  }
  root->count = count;
  root->first = reinterpret_cast<MenuItem*>(storage->bytes + kMenuHeadSize);
  root->size = offset + kMenuTrailSize;
  root->id = static_cast<i32>(kMainMenuRootId);
  root->flags = kMenuEnabled;
  root->hint = -1;
  return root;
}
