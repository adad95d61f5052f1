// The packed menu model. A menu is one contiguous block of records laid back
// to back: a submenu record (CMenuModel), directly followed by its children,
// each child possibly a submenu with its own children, then 4 trailing bytes
// nothing reads. The next sibling is found by adding a record's size to its
// address, so there are no per-item allocations and no sibling pointers. The
// block is built once by its owner (in an object or on the stack); only
// flags, icons and the listener change afterwards. An item's id is both its
// command id and the UI string id of its text. Portable.
//
// The record head is 28 bytes and a submenu head 40 on the 32-bit target;
// the builders rely on these sizes (a submenu holding one command is 72
// bytes: 40 + 28 + 4).
#pragma once
#include "runtime/types.h"
#include "runtime/ui_strings.h"

struct MenuItem;
struct CMenuModel;

// Told after a flag or icon of a record was changed through a CMenuModel
// operation of the submenu record it listens on.
class IMenuModelListener {
 public:
  virtual void OnMenuItemChanged(MenuItem* item) = 0;

 protected:
  ~IMenuModelListener() = default;
};

constexpr u8 kMenuTypeSubmenu = 1;
constexpr u8 kMenuTypeCommand = 2;
constexpr u8 kMenuTypeSeparator = 3;
constexpr u8 kMenuTypeReserved = 4;  // recognised, never built; ends a walk

constexpr u8 kMenuEnabled = 0x01;
constexpr u8 kMenuHidden = 0x02;        // not laid out, counted or hit in popups
constexpr u8 kMenuNoText = 0x04;        // icon only
constexpr u8 kMenuRightAligned = 0x08;  // against a menu bar's right edge

constexpr i32 kMenuIconNone = -1;
constexpr i32 kMenuIconTicked = -2;
constexpr i32 kMenuIconUnticked = -3;

// Records are 4-byte aligned inside their block (also where pointers are
// 8 bytes wide, in the native build).
#pragma pack(push, 4)

struct MenuItem {
  u8 type;
  u8 reserved0[3];
  u32 size;  // bytes from this record to its next sibling
  u8 flags;
  u8 reserved1[3];
  i32 id;
  i32 icon;  // frame of the menu image strip, or kMenuIcon*
  i32 hint;  // handed with the id to a popup's owner
  u32 reserved2;

  // A command record: zeroed, type 2, size 28, icon -1, no flags (so not
  // enabled), id 0, hint 0. Returns the item.
  static MenuItem* Init(MenuItem* item);
  // A submenu record: as Init, then type 1, count 0, first and listener
  // null; the size stays 28 until the builder places the children.
  static CMenuModel* InitSubmenu(CMenuModel* item);
  // The next sibling, or null for null and for records of any type but 1,
  // 2 and 3 (and for a size that cannot hold a record).
  static MenuItem* Next(MenuItem* item);

  bool CanBeEnabled() const { return type == kMenuTypeSubmenu || type == kMenuTypeCommand; }
  // When type and size agree, takes the source's id, icon, hint, the word
  // after it and flag bits 0-3 (bits 4-7 stay); otherwise nothing.
  void CopyState(const MenuItem& source);
};

// A submenu record: the operations of a menu on its direct children.
struct CMenuModel : MenuItem {
  i32 count;                     // direct children
  MenuItem* first;               // the byte after this head
  IMenuModelListener* listener;  // null: nobody listens

  // Child n, or null outside 0..count-1 or past the end of the walk.
  MenuItem* GetItem(i32 n);
  // Child n's type byte, -1 when there is none.
  i32 GetItemType(i32 n);
  // Child n's id for types 1 and 2, -2 for a separator, -1 otherwise.
  i32 GetItemId(i32 n);
  // The current language's text of child n's id; null for an icon-only
  // item and for an item without id.
  const UiString* GetItemText(i32 n);
  i32 CountVisibleItems();
  // Children that are not hidden, are enabled and are commands or submenus.
  i32 CountSelectableItems();
  // The first submenu record below this one with the id, depth first.
  CMenuModel* FindSubmenu(i32 id);

  // Sets the enabled bit of the first command or submenu with the id,
  // searching nested submenus (a submenu that is not the one searched for
  // is searched before its next sibling); the submenu that holds it tells
  // its listener. False when none matched.
  bool EnableItemById(i32 id, bool enable);
  // Sets the enabled bit of child n (a command or submenu).
  void EnableItem(i32 n, bool enable);
  bool IsItemEnabled(i32 n);
  // Sets the hidden bit (= !show) of the first direct child with the id
  // (no nested search; reserved records are passed over). False when none.
  bool ShowItemById(i32 id, bool show);
  // The fourth child, when it is a command: icon ticked or unticked.
  void SetItemIcon(bool ticked);

  // Other names the pages' code uses for the enabled bit.
  bool CheckItemById(i32 id, bool value) { return EnableItemById(id, value); }
  void SetItemChecked(i32 n, bool value) { EnableItem(n, value); }

  // The record as a submenu, or null when it is not one.
  static CMenuModel* AsSubmenu(MenuItem* item) {
    return item && item->type == kMenuTypeSubmenu ? static_cast<CMenuModel*>(item) : nullptr;
  }

 private:
  void Notify(MenuItem* item);
};

#pragma pack(pop)

static_assert(sizeof(MenuItem) == 28, "a menu record head is 28 bytes");
static_assert(sizeof(void*) != 4 || sizeof(CMenuModel) == 40, "a submenu head is 40 bytes");

constexpr u32 kMenuItemSize = sizeof(MenuItem);
constexpr u32 kMenuHeadSize = sizeof(CMenuModel);
constexpr u32 kMenuTrailSize = 4;  // after a submenu's last child
