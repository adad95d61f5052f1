// The item store of a tree view: every item is a record in one growable
// pool, addressed by a handle {slot index, serial}. The serial tells a
// reused slot from its earlier occupant, so a stale handle never reaches
// another item. Slot 0 is the invisible root, named by the null handle
// {-1, 0}. Links between records are slot indices, so growing the pool
// moves nothing that a link names. Portable.
#pragma once
#include <new>

#include "runtime/array.h"
#include "runtime/wide_string.h"

struct TreeItemHandle {
  i32 index;
  u32 serial;
};
constexpr TreeItemHandle kNullItem = {-1, 0};     // none; as a parent: the root
constexpr TreeItemHandle kInsertFirst = {-2, 0};  // insertion positions
constexpr TreeItemHandle kInsertLast = {-3, 0};

inline bool ItemHandlesEqual(const TreeItemHandle& a, const TreeItemHandle& b) {
  return a.index == b.index && a.serial == b.serial;
}
inline bool ItemHandlesDiffer(const TreeItemHandle& a, const TreeItemHandle& b) { return !ItemHandlesEqual(a, b); }
inline bool IsNullItem(const TreeItemHandle& h) { return ItemHandlesEqual(h, kNullItem); }

// Item flags.
constexpr u8 kTreeExpanded = 0x02;
constexpr u8 kTreeSelected = 0x04;
// Shows an expander: set by the tree when the item gains a child and
// cleared when its last child goes; an owner also sets it on an item whose
// children are filled in when it is expanded.
constexpr u8 kTreeExpander = 0x08;
constexpr u8 kTreeEditing = 0x10;  // its label is being edited in place

// What an insertion is given: the first fields of every item.
struct TreeItemInfo {
  CWideString text;
  i32 image = -1;         // frame of the tree's image strip
  i32 secondImage = -1;
  u32 userValue = 0;      // the owner's
  i32 textMargin = 20;
  i32 level = 0;          // depth; set by the insertion
  u8 flags = 0;

  void Init(const wchar16* label, i32 imageFrame, i32 secondFrame, u32 value) {
    text.Assign(label);
    image = imageFrame;
    secondImage = secondFrame;
    userValue = value;
    textMargin = 20;
    level = 0;
    flags = 0;
  }
};

constexpr i32 kNoSlot = -1;

struct TreeItem : TreeItemInfo {
  TreeItemHandle handle = kNullItem;
  i32 parent = kNoSlot;  // slot links; kNoSlot for none (the root's parent)
  i32 next = kNoSlot;
  i32 previous = kNoSlot;
  i32 firstChild = kNoSlot;
  i32 lastChild = kNoSlot;
  u32 childCount = 0;
  i32 rowWidth = -1;     // measured row width, -1 when not measured yet
  i32 rowHint = -1;      // where its row was last seen (checked before use)
};

template <>
struct ArrayTraits<TreeItem> {
  static void InitNew(TreeItem* slot) { new (slot) TreeItem(); }
  static void CopyInto(TreeItem* slot, const TreeItem& from) { new (slot) TreeItem(from); }
  static void Destroy(TreeItem* element) { element->~TreeItem(); }
};

class CItemPool {
 public:
  CItemPool() : items_(16), free_(16) {}

  // The record of a handle: the null handle gives the root, a live slot
  // with the same serial gives its record, anything else null. Indices are
  // compared unsigned. Valid until the next allocation.
  TreeItem* Lookup(const TreeItemHandle& h);
  const TreeItem* Lookup(const TreeItemHandle& h) const;
  TreeItem* At(i32 slot) { return &items_[static_cast<u32>(slot)]; }
  const TreeItem* At(i32 slot) const { return &items_[static_cast<u32>(slot)]; }
  TreeItemHandle GetParentHandle(const TreeItemHandle& h) const;

  // A fresh record linked nowhere, with a new serial; its slot, or kNoSlot
  // when the pool cannot grow.
  i32 Allocate();
  // Links slot under parent: first, last, or right after the sibling slot.
  void LinkFirst(i32 parent, i32 slot);
  void LinkLast(i32 parent, i32 slot);
  void LinkAfter(i32 sibling, i32 slot);
  // Takes slot out of its parent's child list (the parent's count drops).
  void Unlink(i32 slot);
  // Unlinks slot and frees it with all its descendants.
  void Free(i32 slot);

  u32 SlotCount() const { return items_.GetCount(); }  // slots handed out, the root included
  u32 LiveCount() const { return items_.GetCount() - free_.GetCount(); }
  u32 Capacity() const { return items_.GetCapacity(); }

 private:
  bool EnsureRoot();

  CArray<TreeItem> items_;
  CArray<i32> free_;  // freed slots, reused first
  u32 serial_ = 0;
};
