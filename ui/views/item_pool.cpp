#include "ui/views/item_pool.h"

TreeItem* CItemPool::Lookup(const TreeItemHandle& h) {
  return const_cast<TreeItem*>(static_cast<const CItemPool*>(this)->Lookup(h));
}

const TreeItem* CItemPool::Lookup(const TreeItemHandle& h) const {
  if (IsNullItem(h)) return items_.GetCount() ? &items_[0] : nullptr;
  const u32 slot = static_cast<u32>(h.index);
  if (h.serial == 0 || slot == 0 || slot >= items_.GetCount()) return nullptr;
  const TreeItem* item = &items_[slot];
  return ItemHandlesEqual(item->handle, h) ? item : nullptr;
}

TreeItemHandle CItemPool::GetParentHandle(const TreeItemHandle& h) const {
  const TreeItem* item = Lookup(h);
  if (!item || item->parent <= 0) return kNullItem;
  return items_[static_cast<u32>(item->parent)].handle;
}

bool CItemPool::EnsureRoot() {
  if (items_.GetCount()) return true;
  return items_.AppendNew() != nullptr;  // slot 0: the root, handle {-1, 0}
}

i32 CItemPool::Allocate() {
  if (!EnsureRoot()) return kNoSlot;
  i32 slot;
  if (free_.GetCount()) {
    slot = free_[free_.GetCount() - 1];
    free_.RemoveAt(free_.GetCount() - 1);
    items_[static_cast<u32>(slot)] = TreeItem();
  } else {
    if (!items_.AppendNew()) return kNoSlot;
    slot = static_cast<i32>(items_.GetCount() - 1);
  }
  if (++serial_ == 0) serial_ = 1;  // a serial is never 0
  items_[static_cast<u32>(slot)].handle = {slot, serial_};
  return slot;
}

void CItemPool::LinkFirst(i32 parent, i32 slot) {
  TreeItem& p = items_[static_cast<u32>(parent)];
  TreeItem& item = items_[static_cast<u32>(slot)];
  item.parent = parent;
  item.previous = kNoSlot;
  item.next = p.firstChild;
  if (p.firstChild != kNoSlot) items_[static_cast<u32>(p.firstChild)].previous = slot;
  p.firstChild = slot;
  if (p.lastChild == kNoSlot) p.lastChild = slot;
  ++p.childCount;
}

void CItemPool::LinkLast(i32 parent, i32 slot) {
  TreeItem& p = items_[static_cast<u32>(parent)];
  if (p.lastChild == kNoSlot) return LinkFirst(parent, slot);
  LinkAfter(p.lastChild, slot);
}

void CItemPool::LinkAfter(i32 sibling, i32 slot) {
  TreeItem& s = items_[static_cast<u32>(sibling)];
  TreeItem& item = items_[static_cast<u32>(slot)];
  TreeItem& p = items_[static_cast<u32>(s.parent)];
  item.parent = s.parent;
  item.previous = sibling;
  item.next = s.next;
  if (s.next != kNoSlot)
    items_[static_cast<u32>(s.next)].previous = slot;
  else
    p.lastChild = slot;
  s.next = slot;
  ++p.childCount;
}

void CItemPool::Unlink(i32 slot) {
  TreeItem& item = items_[static_cast<u32>(slot)];
  if (item.parent == kNoSlot) return;
  TreeItem& p = items_[static_cast<u32>(item.parent)];
  if (item.previous != kNoSlot)
    items_[static_cast<u32>(item.previous)].next = item.next;
  else
    p.firstChild = item.next;
  if (item.next != kNoSlot)
    items_[static_cast<u32>(item.next)].previous = item.previous;
  else
    p.lastChild = item.previous;
  if (p.childCount) --p.childCount;
  item.parent = item.next = item.previous = kNoSlot;
}

void CItemPool::Free(i32 slot) {
  if (slot <= 0 || static_cast<u32>(slot) >= items_.GetCount()) return;
  Unlink(slot);
  // Post-order without recursion (a deep chain must not use the stack):
  // descend to a leaf, free it, go on with its next sibling or its parent.
  i32 at = slot;
  for (;;) {
    while (items_[static_cast<u32>(at)].firstChild != kNoSlot) at = items_[static_cast<u32>(at)].firstChild;
    TreeItem& leaf = items_[static_cast<u32>(at)];
    const bool top = at == slot;
    const i32 parent = leaf.parent;
    if (!top) Unlink(at);
    leaf.text.Release();
    leaf.handle = kNullItem;
    leaf.firstChild = leaf.lastChild = kNoSlot;
    leaf.childCount = 0;
    free_.Add(at);
    if (top) return;
    at = parent;
  }
}
