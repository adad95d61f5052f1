// Builds a packed menu block (menu_model.h) in place from a flat table of
// entries in block order, each with its depth below the root: a submenu
// entry opens a level that the following deeper entries fill. The main
// menu and the tool bars of dialogs are built this way. Portable.
#pragma once
#include "ui/widgets/menu_model.h"

struct MenuBlockEntry {
  u8 depth;  // 1 for a child of the root
  u8 type;   // kMenuType*
  u32 id;
  u8 flags;
  i32 icon;
};

// The bytes a table needs: a head and a trail per submenu (the root
// included), a record per other entry.
u32 MenuBlockBytes(const MenuBlockEntry* entries, u32 count);
// Writes the root (id rootId, enabled) and the entries into storage, which
// must hold MenuBlockBytes and be 4-byte aligned; returns the root.
CMenuModel* BuildMenuBlock(void* storage, const MenuBlockEntry* entries, u32 count, i32 rootId);
