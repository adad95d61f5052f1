// CPopupMenu: the children of one submenu record shown as a vertical list in
// a layered window of their own, run in a nested modal loop until an item is
// chosen or the menu is dismissed. A submenu item opens a further popup
// beside it in a modal loop of its own, so an open cascade is a stack of
// nested calls, each popup the owner (IPopupMenuOwner) of the one it opened;
// a menu bar owns the first popup of its menus, a context menu has no owner.
//
// While open, the popup holds the mouse capture and the capture table, so a
// press anywhere outside its items reaches it (and closes it with -1). Two
// timers run on worker threads that only post ticks to the window: the open
// timer opens a submenu item's popup after the pointer rested on it for
// 600 ms, the track timer closes this popup with -2 once the pointer rests
// over another item of its parent. A tick still queued when its timer was
// stopped or restarted does nothing. Windows only.
#pragma once
#include <tuple>

#include "ui/widgets/menu_model.h"
#include "ui/widgets/popup_menu_owner.h"
#include "ui/windows/frame/frame_window.h"
#include "ui/windows/dialogs/popup_menu_layout.h"
#include "ui/windows/frame/ticker_thread.h"

class CImageStrip;

// WM_USER (lParam the popup): wParam 1 opens the hot item's submenu, any
// other value closes with -2.
constexpr u32 kMessagePopupCommand = 0x400;
// The pointer rests this long before a submenu opens or a cascade folds.
constexpr u32 kPopupHoverDelayMs = 600;

class CPopupMenu : public IPopupMenuOwner, public IMenuModelListener, public CFrameWindow<CPopupMenu> {
 public:
  static constexpr u32 kStyle = 0x4005;  // visible, no caption keys, one-pixel frame inset
  static constexpr i32 kMinTrackWidth = 250;
  static constexpr i32 kMinTrackHeight = 190;

  // State bits.
  static constexpr u8 kHoverBegun = 0x01;        // the popup has made itself the pressed widget
  static constexpr u8 kButtonOnItem = 0x02;      // a left button went down on an item
  static constexpr u8 kSubmenuOpen = 0x04;
  static constexpr u8 kCloseAfterSubmenu = 0x08; // a button went down outside this popup

  // Takes the model's listener field (the listener it replaces is given
  // back when the popup closes) and, with an owner, the first hot item.
  CPopupMenu(CMenuModel* model, IPopupMenuOwner* owner);
  ~CPopupMenu();

  // Lays out, creates the window with its top-left corner at (x, y) (y-up
  // desktop), takes capture and focus and runs the modal loop; the result.
  i32 RunAt(i32 x, i32 y);
  // The first half of RunAt without a system window: layout, surface and
  // first paint (benchmarks and paint tests).
  void PrepareAt(i32 x, i32 y);
  void CloseWithResult(i32 value);

  // ---- The frame window's hooks ----
  std::tuple<> Children() { return {}; }
  void PaintWhole(CCanvas& canvas);
  bool OnDialogKey(u32 key);
  bool OnCloseQuery();
  void OnDestroy();
  void OnUserMessage(u32 offset, uintptr_t wParam, intptr_t lParam);

  // ---- What its child popup tells it ----
  void OnPopupMouseMove(Point point, bool* switchMenus, CPopupMenu** ancestor) override;
  void OnPopupMouseButton(Point point, bool* outside) override;
  void OnPopupKey(u32 key, bool* handled) override;
  void OnPopupHotItem(i32 id, i32 hint) override;
  i32 GetInitialHotItem() override;
  // The model changed: shown again, not laid out again.
  void OnMenuItemChanged(MenuItem* item) override;

  // ---- Input (capture-table slots; points in content coordinates) ----
  void OnMouseMoveAt(i32 keyFlags, Point* point);
  void OnLeftButtonDown(i32 keyFlags, Point* point);
  void OnLeftButtonUp(i32 keyFlags, Point* point);
  void OnRightButtonDown(i32 keyFlags, Point* point);
  void OnKey(u32 key);
  // Desktop point -> content coordinates (the capture table's slot 9).
  void DesktopToContent(Point* point) const;
  Point ContentToDesktop(Point point) const;

  // The first child that is not hidden whose row holds the point; -1.
  i32 HitTestItem(Point content) const;
  void UpdateHotItem(Point content);
  void OpenSubmenu();

  i32 result = kPopupDismissed;
  i32 rowHeight = 0;
  u8 state = 0;
  i32 hotItem = -1;
  i32 openTimerItem = -1;
  CMenuModel* model;
  CMenuModel* openSubmenu = nullptr;
  CArray<Rect> itemRects;
  IPopupMenuOwner* owner;
  const CImageStrip* icons = nullptr;
  const CImageStrip* greyedIcons = nullptr;
  Point lastMouse = {0, 0};
  CPopupMenu* ancestorMark = nullptr;

 private:
  void Layout();
  void TakeMouse();
  void NotifyHotItem();
  void StepHotItem(bool down);
  bool IsSelectable(i32 n);
  void LoseHover();
  Point CursorInContent() const;
  void StartOpenTimer();
  void StartTrackTimer();
  void StopTimers();
  void OnOpenTick();
  void OnTrackTick();
  static void OpenTick(void* popup) { static_cast<CPopupMenu*>(popup)->OnOpenTick(); }
  static void TrackTick(void* popup) { static_cast<CPopupMenu*>(popup)->OnTrackTick(); }
  void PaintItems(CCanvas& canvas);

  IMenuModelListener* replacedListener_ = nullptr;
  bool closing_ = false;
  CTickerThread openTimer_;
  CTickerThread trackTimer_;
};

// Builds a popup for the model on the stack, runs it at (x, y) (its top-left
// corner, y-up desktop coordinates) and returns its result: the chosen id,
// or kPopupDismissed, kPopupCancelled, kPopupSwitched. The strips are taken
// only when the first one is given.
i32 ShowPopupMenu(CMenuModel* model, i32 x, i32 y, const CImageStrip* icons, const CImageStrip* greyedIcons,
                  IPopupMenuOwner* owner);
