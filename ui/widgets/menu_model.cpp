#include "ui/widgets/menu_model.h"

#include <cstring>

namespace {

// Nesting deeper than this is taken for a damaged block: the searches stop.
constexpr i32 kMaxMenuDepth = 32;

CMenuModel* FindSubmenuIn(CMenuModel* menu, i32 id, i32 depth) {
  if (depth > kMaxMenuDepth) return nullptr;
  MenuItem* item = menu->first;
  for (i32 i = 0; item && i < menu->count; ++i, item = MenuItem::Next(item)) {
    CMenuModel* sub = CMenuModel::AsSubmenu(item);
    if (!sub) continue;
    if (sub->id == id) return sub;
    if (CMenuModel* found = FindSubmenuIn(sub, id, depth + 1)) return found;
  }
  return nullptr;
}

}  // namespace

MenuItem* MenuItem::Init(MenuItem* item) {
  std::memset(static_cast<void*>(item), 0, sizeof(MenuItem));
  item->type = kMenuTypeCommand;
  item->size = sizeof(MenuItem);
  item->icon = kMenuIconNone;
  return item;
}

CMenuModel* MenuItem::InitSubmenu(CMenuModel* item) {
  Init(item);
  item->count = 0;
  item->first = nullptr;
  item->listener = nullptr;
  item->type = kMenuTypeSubmenu;
  return item;
}

MenuItem* MenuItem::Next(MenuItem* item) {
  if (!item || item->type < kMenuTypeSubmenu || item->type > kMenuTypeSeparator) return nullptr;
  if (item->size < sizeof(MenuItem)) return nullptr;
  return reinterpret_cast<MenuItem*>(reinterpret_cast<u8*>(item) + item->size);
}

void MenuItem::CopyState(const MenuItem& source) {
  if (type != source.type || size != source.size) return;
  id = source.id;
  icon = source.icon;
  hint = source.hint;
  reserved2 = source.reserved2;
  flags = static_cast<u8>((flags & 0xF0) | (source.flags & 0x0F));
}

MenuItem* CMenuModel::GetItem(i32 n) {
  if (n < 0 || n >= count) return nullptr;
  MenuItem* item = first;
  for (i32 i = 0; item && i < n; ++i) item = MenuItem::Next(item);
  return item;
}

i32 CMenuModel::GetItemType(i32 n) {
  const MenuItem* item = GetItem(n);
  return item ? item->type : -1;
}

i32 CMenuModel::GetItemId(i32 n) {
  const MenuItem* item = GetItem(n);
  if (!item) return -1;
  if (item->CanBeEnabled()) return item->id;
  return item->type == kMenuTypeSeparator ? -2 : -1;
}

const UiString* CMenuModel::GetItemText(i32 n) {
  const MenuItem* item = GetItem(n);
  if (item && item->CanBeEnabled() && (item->flags & kMenuNoText)) return nullptr;
  const i32 itemId = GetItemId(n);
  return itemId >= 0 ? GetUiString(static_cast<u32>(itemId)) : nullptr;
}

i32 CMenuModel::CountVisibleItems() {
  i32 visible = 0;
  MenuItem* item = first;
  for (i32 i = 0; item && i < count; ++i, item = MenuItem::Next(item))
    if (!(item->flags & kMenuHidden)) ++visible;
  return visible;
}

i32 CMenuModel::CountSelectableItems() {
  i32 selectable = 0;
  MenuItem* item = first;
  for (i32 i = 0; item && i < count; ++i, item = MenuItem::Next(item)) {
    if (item->flags & kMenuHidden) continue;
    if (!(item->flags & kMenuEnabled)) continue;
    if (item->type == kMenuTypeSeparator || item->type == kMenuTypeReserved) continue;
    ++selectable;
  }
  return selectable;
}

CMenuModel* CMenuModel::FindSubmenu(i32 searched) { return FindSubmenuIn(this, searched, 0); }

namespace {

bool EnableByIdIn(CMenuModel* menu, i32 id, bool enable, i32 depth) {
  if (depth > kMaxMenuDepth) return false;
  MenuItem* item = menu->first;
  for (i32 i = 0; item && i < menu->count; ++i, item = MenuItem::Next(item)) {
    if (!item->CanBeEnabled()) continue;
    if (item->id == id) {
      // The listener is told through the record that holds the item.
      menu->EnableItem(i, enable);
      return true;
    }
    CMenuModel* sub = CMenuModel::AsSubmenu(item);
    if (sub && EnableByIdIn(sub, id, enable, depth + 1)) return true;
  }
  return false;
}

}  // namespace

bool CMenuModel::EnableItemById(i32 searched, bool enable) { return EnableByIdIn(this, searched, enable, 0); }

void CMenuModel::EnableItem(i32 n, bool enable) {
  MenuItem* item = GetItem(n);
  if (!item || !item->CanBeEnabled()) return;
  item->flags = static_cast<u8>(enable ? (item->flags | kMenuEnabled) : (item->flags & ~kMenuEnabled));
  Notify(item);
}

bool CMenuModel::IsItemEnabled(i32 n) {
  const MenuItem* item = GetItem(n);
  return item && item->CanBeEnabled() && (item->flags & kMenuEnabled);
}

bool CMenuModel::ShowItemById(i32 searched, bool show) {
  MenuItem* item = first;
  for (i32 i = 0; item && i < count; ++i, item = MenuItem::Next(item)) {
    if (item->type == kMenuTypeReserved || item->id != searched) continue;
    item->flags = static_cast<u8>(show ? (item->flags & ~kMenuHidden) : (item->flags | kMenuHidden));
    if (item->CanBeEnabled()) Notify(item);
    return true;
  }
  return false;
}

void CMenuModel::SetItemIcon(bool ticked) {
  MenuItem* item = GetItem(3);
  if (!item || item->type != kMenuTypeCommand) return;
  item->icon = ticked ? kMenuIconTicked : kMenuIconUnticked;
  Notify(item);
}

void CMenuModel::Notify(MenuItem* item) {
  if (listener) listener->OnMenuItemChanged(item);
}
