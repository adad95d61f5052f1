#include "app/pages/explorer_menu.h"

#include "app/commands/command_ids.h"

namespace {

struct BarEntry {
  u32 id;
  u8 flags;
  i32 icon;
};
constexpr u8 kPicture = kMenuEnabled | kMenuNoText;
const BarEntry kBar[kExplorerMenuItems] = {
    {kCmdNewFolder, kPicture, 21},
    {kCmdCopy, kPicture, 6},
    {kCmdSaveImage, kPicture, 2},
    {kCmdExportFiles, kMenuEnabled, kMenuIconNone},
};

void SetHidden(MenuItem* item, bool hidden) {
  item->flags = static_cast<u8>(hidden ? (item->flags | kMenuHidden) : (item->flags & ~kMenuHidden));
}

}  // namespace

CMenuModel* BuildExplorerMenu(ExplorerMenuStorage* storage) {
  CMenuModel* root = MenuItem::InitSubmenu(reinterpret_cast<CMenuModel*>(storage->bytes));
  u8* at = storage->bytes + kMenuHeadSize;
  for (const BarEntry& e : kBar) {
    MenuItem* item = MenuItem::Init(reinterpret_cast<MenuItem*>(at));
    item->id = static_cast<i32>(e.id);
    item->flags = e.flags;
    item->icon = e.icon;
    item->hint = -1;
    at += kMenuItemSize;
  }
  root->count = static_cast<i32>(kExplorerMenuItems);
  root->first = reinterpret_cast<MenuItem*>(storage->bytes + kMenuHeadSize);
  root->size = static_cast<u32>(sizeof(storage->bytes));
  root->flags = kMenuEnabled;
  root->hint = -1;
  return root;
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
