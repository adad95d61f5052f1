// What an open popup menu tells the menu bar or parent popup that opened it
// (its owner), and the results of a popup menu. Portable.
#pragma once
#include "ui/windows/frame/ui_types.h"

class CPopupMenu;

// ShowPopupMenu's results besides a chosen id (0 or more).
constexpr i32 kPopupDismissed = -1;  // a press where no item is hot, Left/Right handed on
constexpr i32 kPopupCancelled = -2;  // Esc, or the pointer went back to an ancestor
constexpr i32 kPopupSwitched = -3;   // the pointer moved onto another entry of the owner

class IPopupMenuOwner {
 public:
  // The pointer (y-up desktop point) moved in the popup. The owner sets
  // *switchMenus when it is over another of the owner's entries (the popup
  // then closes with -3), and may store into *ancestor the popup over whose
  // other item the pointer now is.
  virtual void OnPopupMouseMove(Point point, bool* switchMenus, CPopupMenu** ancestor) = 0;
  // A button went down where the popup has no hot item; *outside comes
  // preset to whether the point lies outside the popup's window.
  virtual void OnPopupMouseButton(Point point, bool* outside) = 0;
  // Esc (handled preset true), Left and Right (preset false); the popup
  // reads *handled afterwards.
  virtual void OnPopupKey(u32 key, bool* handled) = 0;
  // The id and hint of a new hot item that is enabled and not a
  // separator; (-1, -1) when none is hot or the popup closes.
  virtual void OnPopupHotItem(i32 id, i32 hint) = 0;
  // The child the popup opens with highlighted (0 the first, -1 none).
  virtual i32 GetInitialHotItem() = 0;

 protected:
  ~IPopupMenuOwner() = default;
};
