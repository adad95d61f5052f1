#include "ui/widgets/menu_block.h"

namespace {

// Writes entry *at (a submenu with everything below it) at `to`; returns the
// bytes written and moves *at past the entries it used.
u32 Write(u8* to, const MenuBlockEntry* entries, u32 count, u32* at) {
  const MenuBlockEntry& e = entries[(*at)++];
  MenuItem* item = reinterpret_cast<MenuItem*>(to);
  if (e.type == kMenuTypeSubmenu) {
    CMenuModel* sub = MenuItem::InitSubmenu(reinterpret_cast<CMenuModel*>(to));
    u32 offset = kMenuHeadSize;
    i32 children = 0;
    while (*at < count && entries[*at].depth == e.depth + 1) {
      offset += Write(to + offset, entries, count, at);
      ++children;
    }
    sub->count = children;
    sub->first = children ? reinterpret_cast<MenuItem*>(to + kMenuHeadSize) : nullptr;
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

u32 MenuBlockBytes(const MenuBlockEntry* entries, u32 count) {
  u32 bytes = kMenuHeadSize + kMenuTrailSize;
  for (u32 i = 0; i < count; ++i)
    bytes += entries[i].type == kMenuTypeSubmenu ? kMenuHeadSize + kMenuTrailSize : kMenuItemSize;
  return bytes;
}

CMenuModel* BuildMenuBlock(void* storage, const MenuBlockEntry* entries, u32 count, i32 rootId) {
  u8* bytes = static_cast<u8*>(storage);
  CMenuModel* root = MenuItem::InitSubmenu(reinterpret_cast<CMenuModel*>(bytes));
  u32 offset = kMenuHeadSize;
  u32 at = 0;
  i32 children = 0;
  while (at < count) {
    offset += Write(bytes + offset, entries, count, &at);
    ++children;
  }
  root->count = children;
  root->first = children ? reinterpret_cast<MenuItem*>(bytes + kMenuHeadSize) : nullptr;
  root->size = offset + kMenuTrailSize;
  root->id = rootId;
  root->flags = kMenuEnabled;
  root->hint = -1;
  return root;
}
