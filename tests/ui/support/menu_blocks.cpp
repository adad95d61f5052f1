#include "ui/support/menu_blocks.h"

#include <cstring>

namespace {

u32 SizeOf(const MenuSpec& spec) {
  if (spec.type != kMenuTypeSubmenu) return kMenuItemSize;
  u32 size = kMenuHeadSize + kMenuTrailSize;
  for (const MenuSpec& child : spec.children) size += SizeOf(child);
  return size;
}

u32 Write(const MenuSpec& spec, u8* at) {
  MenuItem* item = reinterpret_cast<MenuItem*>(at);
  if (spec.type == kMenuTypeSubmenu) {
    CMenuModel* sub = MenuItem::InitSubmenu(reinterpret_cast<CMenuModel*>(at));
    u32 offset = kMenuHeadSize;
    for (const MenuSpec& child : spec.children) offset += Write(child, at + offset);
    sub->count = static_cast<i32>(spec.children.size());
    sub->first = reinterpret_cast<MenuItem*>(at + kMenuHeadSize);
    sub->size = offset + kMenuTrailSize;
  } else {
    MenuItem::Init(item);
    item->type = spec.type;
  }
  item->id = spec.id;
  item->flags = spec.flags;
  item->icon = spec.icon;
  item->hint = -1;
  return item->size;
}

}  // namespace

CMenuBlock::CMenuBlock(const MenuSpec& root) {
  storage_.assign((SizeOf(root) + 7) / 8, 0x5A5A5A5A5A5A5A5Aull);  // trailing bytes stay unwritten
  Write(root, reinterpret_cast<u8*>(storage_.data()));
}

MenuSpec MainMenuSpec() {
  const u8 on = kMenuEnabled, off = 0;
  return Submenu(128, {
      Submenu(19, {Submenu(20, {Command(21, on, 19), Command(22, on, 20)}), Command(23, on, 1), Separator(),
                   Command(24, off, 2), Command(25, off), Command(26, off), Separator(), Command(27, on, 0)}),
      Submenu(28, {Command(29, off, 3), Command(30, off, 4), Separator(), Command(31, off, 5), Command(32, off, 6),
                   Command(33, off, 7), Command(34, off, 8), Separator(), Command(36, off), Separator(kMenuHidden),
                   Command(37, kMenuHidden, 22), Command(38, kMenuHidden, 21), Separator(kMenuHidden),
                   Command(39, kMenuHidden)}),
      Submenu(46, {Command(49, on, 13), Command(50, off, 15), Command(51, on, 15), Command(52, on, 24),
                   Command(53, off), Separator(), Command(54, off, 23), Command(55, on)}),
      Submenu(40, {Command(41), Command(42), Separator(), Command(73, on, kMenuIconUnticked),
                   Command(74, on, kMenuIconUnticked), Separator(),
                   Submenu(43, {Command(44, on, 11), Command(45, on, 12)})}),
      Submenu(56, {Command(57, off), Command(58, off), Command(59, off)}),
      Submenu(60, {Command(61, on, 18), Separator(), Command(62)}),
      Command(63, on | kMenuNoText | kMenuRightAligned, 24),
      Command(48, on | kMenuNoText | kMenuRightAligned, 14),
  });
}
