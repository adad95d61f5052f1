#include "app/pages/explorer_menu.h"

#include "app/commands/command_ids.h"
#include "ui/widgets/menu_block.h"

namespace {

constexpr u8 kPicture = kMenuEnabled | kMenuNoText;
const MenuBlockEntry kBar[kExplorerMenuItems] = {
    {1, kMenuTypeCommand, kCmdNewFolder, kPicture, 21},
    {1, kMenuTypeCommand, kCmdCopy, kPicture, 6},
    {1, kMenuTypeCommand, kCmdSaveImage, kPicture, 2},
    {1, kMenuTypeCommand, kCmdExportFiles, kMenuEnabled, kMenuIconNone},
};

void SetHidden(MenuItem* item, bool hidden) {
  item->flags = static_cast<u8>(hidden ? (item->flags | kMenuHidden) : (item->flags & ~kMenuHidden));
}

}  // namespace

CMenuModel* BuildExplorerMenu(ExplorerMenuStorage* storage) {
  return BuildMenuBlock(storage->bytes, kBar, kExplorerMenuItems, 0);
}

void ShowPageEntries(CMenuModel* mainMenu, bool show) {
  const u32 entries[] = {kCmdAddFiles, kCmdNewFolder, kCmdBurnProject, kCmdSaveImage};
  for (u32 id : entries) mainMenu->EnableItemById(static_cast<i32>(id), show);
}

void PrepareContextMenu(CMenuModel* edit) {
  for (i32 i = 0; i < edit->count; ++i)
    if (MenuItem* item = edit->GetItem(i)) SetHidden(item, false);
  const u32 unused[] = {kCmdUndo, kCmdRedo, kCmdCut, kCmdPaste, kCmdDelete, kCmdAddFiles, kCmdNewFolder};
  for (u32 id : unused) edit->EnableItemById(static_cast<i32>(id), false);
}
