#include "app/pages/audio_project_menus.h"

#include "app/commands/command_ids.h"

namespace {

MenuItem* Command(u8* at, u32 id, i32 icon, u8 flags) {
  MenuItem* item = MenuItem::Init(reinterpret_cast<MenuItem*>(at));
  item->id = static_cast<i32>(id);
  item->icon = icon;
  item->hint = -1;
  item->flags = flags;
  return item;
}

CMenuModel* Head(u8* at, u32 size, i32 count) {
  CMenuModel* root = MenuItem::InitSubmenu(reinterpret_cast<CMenuModel*>(at));
  root->size = size;
  root->flags = kMenuEnabled;
  root->count = count;
  root->first = reinterpret_cast<MenuItem*>(at + kMenuHeadSize);
  root->hint = -1;
  return root;
}

}  // namespace

CMenuModel* BuildAudioBarMenu(AudioBarMenu* menu) {
  CMenuModel* root = Head(menu->bytes, sizeof(menu->bytes), 1);
  Command(menu->bytes + kMenuHeadSize, kCmdBurnProject, kAudioBurnIcon,
          kMenuEnabled | kMenuNoText | kMenuRightAligned);
  return root;
}

CMenuModel* BuildAudioContextMenu(AudioContextMenu* menu, bool canPaste, bool canRemove) {
  CMenuModel* root = Head(menu->bytes, sizeof(menu->bytes), 2);
  Command(menu->bytes + kMenuHeadSize, kCmdPaste, kAudioPasteIcon, canPaste ? kMenuEnabled : 0);
  Command(menu->bytes + kMenuHeadSize + kMenuItemSize, kCmdRemoveAll, kAudioRemoveAllIcon,
          canRemove ? kMenuEnabled : 0);
  return root;
}
