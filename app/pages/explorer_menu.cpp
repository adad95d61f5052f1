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

void ShowPageEntries(CMenuModel* mainMenu, bool show, bool canSave) {
  mainMenu->EnableItemById(static_cast<i32>(kCmdSaveImage), show && canSave);
  mainMenu->EnableItemById(static_cast<i32>(kCmdNewFolder), show);
  CMenuModel* edit = mainMenu->FindSubmenu(static_cast<i32>(kCmdEditMenu));
  if (!edit) return;
  for (i32 i = 0; i < edit->count; ++i) {
    MenuItem* item = edit->GetItem(i);
    if (!item) break;
    const i32 next = edit->GetItemId(i + 1);
    const bool separatorBefore = item->type == kMenuTypeSeparator &&
                                 (next == static_cast<i32>(kCmdAddFiles) || next == static_cast<i32>(kCmdExportFiles));
    if (separatorBefore) SetHidden(item, !show);
  }
  edit->ShowItemById(static_cast<i32>(kCmdNewFolder), show);
  edit->ShowItemById(static_cast<i32>(kCmdExportFiles), show);
}

void PrepareContextMenu(CMenuModel* edit) {
  for (i32 i = 0; i < edit->count; ++i)
    if (MenuItem* item = edit->GetItem(i)) SetHidden(item, false);
  const u32 unused[] = {kCmdUndo, kCmdRedo, kCmdCut, kCmdPaste, kCmdDelete, kCmdAddFiles, kCmdNewFolder};
  for (u32 id : unused) edit->EnableItemById(static_cast<i32>(id), false);
}
