// CMenuBar: the top-level children of a menu model as a row of items (the
// main menu, the pages' tool bars, the job windows' one-item "Eject disc"
// bars). A submenu item opens its popup menu below itself; while a popup is
// open the bar is its owner (IPopupMenuOwner), so the pointer or Left and
// Right move on to the neighbouring item, and the bar listens on its model
// (IMenuModelListener) to show changed items. The popup runs modally: the
// call that opened it returns when it has closed.
//
// States: rest -> hover (the pointer enters; the bar becomes the pressed
// widget) -> menu mode (a press, Enter, Down or Space) -> popup open while
// it runs -> back to rest, hover or a focused rest by the popup's result.
// The pointer leaving the bar ends hover and menu mode. Portable (popups
// open through the popup-menu runner).
//
// CMenuBarOf is the bar written once for every bar class: CMenuBar is the
// plain bar, and a class that derives from CMenuBarOf<itself, parent> may
// add children of its own (the main window's device bar holds the drive
// list); they are painted over the items and routed before them.
#pragma once
#include "render/text/font.h"
#include "ui/widgets/composite.h"
#include "ui/widgets/menu_bar_core.h"
#include "ui/widgets/pointer_system.h"
#include "ui/widgets/popup_menu_runner.h"
#include "ui/windows/theme/theme_metrics.h"

template <class TSelf, class TParent>
class CMenuBarOf : public IPopupMenuOwner,
                   public IMenuModelListener,
                   public CCompositeOf<TSelf, TParent>,
                   public CMenuBarCore {
 public:
  using Base = CWidgetOf<TSelf, TParent>;
  static constexpr bool kFocusLook = true;

  CMenuBarOf() {
    CFontRef font(GetDefaultFont());
    this->height = (font.Get() ? static_cast<i32>(font.Get()->lineHeight) : 0) + 8;
  }
  ~CMenuBarOf() { DetachModel(); }

  // Shows another model: the old one loses its listener, the new one gets
  // the bar; laid out and shown again.
  void SetModel(CMenuModel* shown) {
    DetachModel();
    model = shown;
    if (model) model->listener = this;
    Layout();
    this->Redraw();
  }

  // Places the items; a bar whose height does not match them takes their
  // height (unless kFixedHeight) and is laid out for it.
  void Layout() {
    CFontRef font(GetDefaultFont());
    const i32 barHeight = LayoutItems(font.Get(), this->height);
    if (!(options & kFixedHeight) && barHeight != this->height) {
      this->SetBounds(this->x, this->y, this->width, barHeight);
      return;
    }
    AlignRightItems(this->GetContentRect().right);
  }
  // A bar class with children of its own places them in its own
  // LayoutContent and aligns its items there too.
  void LayoutContent(i32 contentWidth, i32) { AlignRightItems(contentWidth); }

  // The keyboard focus; a bar without a hot item gets the first one.
  CWidget* SetFocus() { return Base::SetFocus(); }
  void OnFocusGain() {
    if (hotItem < 0) hotItem = 0;
    this->Redraw();
  }
  // The keys went to another widget of the bar's window (a click, Tab, a
  // page taking them): menu mode that went on with the bar holding them (a
  // command item lit from a popup, or Enter on one) ends unlit, and the
  // keys stay where the person sent them. The bar's own popup takes them
  // into a window of its own, and a press held on the bar ends with its
  // release: both leave menu mode alone.
  void OnFocusLeave() {
    CWidget* now = FocusedWidget();
    if (now && now != this && now->IsWithin(&this->Window())) EndMenuModeUnlit();
    this->Redraw();
  }
  // A press in the bar's window outside the bar while it holds the keys
  // (on a part of a page that takes no keys, too) ends such menu mode the
  // same way; the keys stay on the bar.
  void OnPressElsewhere() { EndMenuModeUnlit(); }

  // ---- Mouse (the routing's handlers; points in content coordinates) ----
  // The bar follows the pointer moving, not a move message: the one the
  // system sends where the pointer rests (after a popup closed over it)
  // lights nothing and opens nothing.
  void OnMouseMove(i32, Point* p) {
    TakeHover();
    if (NotePointer(*p)) TrackItem(*p, true);
  }
  void OnLButtonDown(i32, Point* p) {
    TakeHover();
    NotePointer(*p);
    TrackItem(*p, false);
    state |= kPressed;
    EnterMenuMode(false);
  }
  void OnLButtonDblClk(i32 keys, Point* p) { OnLButtonDown(keys, p); }
  void OnLButtonUp(i32, Point*) { OnLeftUp(); }
  // Fires a command item clicked with the mouse (a submenu's popup has run
  // inside the press already); the release is not tested against the item.
  // Only the release of a press on the bar runs anything: a popup that took
  // the mouse, a lost capture or Escape ended that press, and a release
  // with none (its press went to a window closed meanwhile, or menu mode
  // came from the keys or from Left and Right in a popup) runs nothing, and
  // menu mode goes on. The focus goes back where menu mode found it; a bar
  // that had it keeps the clicked item lit.
  void OnLeftUp() {
    const bool pressed = (state & kPressed) != 0;
    state &= ~kPressed;
    if (!pressed || !(state & kMenuMode)) return;
    const i32 item = hotItem;
    hotItem = -1;
    state &= ~(kHover | kMenuMode);
    this->Redraw();
    ReleasePress();
    if (savedFocus.Get() == this) hotItem = item;
    RestoreFocus();
    this->Redraw();
    if (!command.IsSet() || !this->parent || !model) return;
    if (model->GetItemType(item) != kMenuTypeCommand || !model->IsItemEnabled(item)) return;
    OnMenuNotice(-3, -1);
    command.Call(this->parent, static_cast<u32>(model->GetItemId(item)));
  }
  // The pointer left the bar, or another widget took the press.
  void OnPressLeave() { EndHover(); }
  // Released because the bar's own popup took the mouse (the press ended
  // as the popup opened): the entry stays hot and open; any other release
  // ends the hover.
  void OnReleasePress() {
    if (state & kPopupOpen)
      state &= ~kHover;
    else
      EndHover();
  }

  // ---- Keys while focused ----
  // The bar is shown afresh before a key runs anything: it touches nothing
  // of itself after a command's handler or the menus that ran one.
  u32 OnKeyDown(u32 key, u32, u32) {
    if (!model) return 0;
    switch (key) {
      case 13:
      case 40:
        EnterMenuMode(true);  // redraws first
        return 1;
      case 32:
        if (hotItem < 0) return 1;
        this->Redraw();
        if (IsSubmenuItem(hotItem)) {
          EnterMenuMode(true);
        } else if (model->GetItemType(hotItem) == kMenuTypeCommand && model->IsItemEnabled(hotItem)) {
          command.Call(this->parent, static_cast<u32>(model->GetItemId(hotItem)));
        }
        return 1;
      case 37:
        hotItem = hotItem - 1 < 0 ? model->count - 1 : hotItem - 1;
        break;
      case 39:
        hotItem = hotItem + 1 >= model->count ? 0 : hotItem + 1;
        break;
      case 27:
        state &= ~kPressed;  // the held press runs nothing on its release
        return 0;
      default:
        return 0;
    }
    this->Redraw();
    return 1;
  }

  // ---- Menu mode ----
  void EnterMenuMode(bool fromKeyboard) {
    // Menu mode that goes on with the bar holding the keys (a command item
    // lit from a popup, then Enter or a press) keeps the focus it found.
    const bool goesOn = (state & kMenuMode) && FocusedWidget() == this;
    state = static_cast<u8>((state & ~kFromKeyboard) | kMenuMode | (fromKeyboard ? kFromKeyboard : 0));
    this->Redraw();
    // The focus is given back where menu mode found it when the menus
    // close, also to the bar itself: its popups take the focus while open.
    CWidget* found = FocusedWidget() == this ? this : SetFocus();
    if (!goesOn) savedFocus.Set(found);
    opening.Call(this->parent);
    RunMenus();
  }

  // Runs the hot item's popup; true when the (new) hot item's popup is to
  // open next. A command chosen in it is left in `chosen` for RunMenus to
  // deliver last.
  bool OpenItemMenu(i32* chosen) {
    CMenuModel* sub = CMenuModel::AsSubmenu(model ? model->GetItem(hotItem) : nullptr);
    if (!sub || static_cast<u32>(hotItem) >= itemRects.GetCount()) {
      // Left or Right in the last popup, or the pointer, moved to a command
      // item: menu mode goes on there with the keys on the bar (the popup
      // took them and went), so Space runs the lit item. They go back
      // where menu mode found them when it ends.
      if (FocusedWidget() != this) SetFocus();
      return false;
    }
    Point anchor = {itemRects[static_cast<u32>(hotItem)].left - ThemeMenuSpacing(), 0};
    this->ToWindowPoint(&anchor);
    // The popup takes the mouse: the press that opened it is over.
    state = static_cast<u8>((state & ~(kCancelled | kPressed)) | kPopupOpen);
    const i32 result = RunPopupMenu(sub, anchor.x, anchor.y, icons.bitmap ? &icons : nullptr,
                                    greyedIcons.bitmap ? &greyedIcons : nullptr, this);
    state &= ~kPopupOpen;
    if (result >= 0) {
      // A bar that gets the keyboard back shows the entry whose menu ran,
      // so the next key goes on from there.
      const i32 entry = hotItem;
      hotItem = -1;
      state &= ~(kHover | kMenuMode);
      this->Redraw();
      ReleasePress();
      if (savedFocus.Get() == this) hotItem = entry;
      this->Redraw();
      if (command.IsSet() && this->parent && model) {
        OnMenuNotice(-3, -1);
        RestoreFocus();
        *chosen = result;
      }
      return false;
    }
    if (state & kCancelled) {
      state &= ~(kHover | kMenuMode | kMove | kCancelled);
      SetFocus();
      return false;
    }
    if (state & kMove) {
      state = static_cast<u8>((state & ~(kMove | kHover)) | kMenuMode);
      return true;
    }
    // Only a pointer that moved onto another item opens that item's menu:
    // a popup that could not open answers -1 at once, and opening it again
    // would never end.
    if (hotItem >= 0 && result == kPopupSwitched) return true;
    if (state & kMenuMode) {
      state &= ~kMenuMode;
      Point cursor = {0, 0};
      hotItem = -1;
      if (ReadPointerPoint(&cursor)) {
        this->WindowToLocal(&cursor);
        hotItem = HitTestItem(cursor);
      }
      // Back in hover over the item under the pointer: the bar is the
      // pressed widget again, so it hears the pointer leave.
      if (hotItem >= 0) {
        this->Window().CapturePress(this);
        state |= kHover;
      }
      this->Redraw();
    }
    RestoreFocus();
    return false;
  }

  // Gives the focus to the widget kept when menu mode began, or to its
  // nearest owner still shown when it was hidden meanwhile (a rename box
  // that closed as the bar took the focus gives way to its tree). A kept
  // widget that was destroyed meanwhile (its page closed) is no longer
  // known: the focus stays where the window put it.
  void RestoreFocus() {
    CWidget* shown = NearestKeyTaker(savedFocus.Get());
    if (shown && FocusedWidget() != shown) this->Window().SetFocusedWidget(shown);
  }

  // Lets go of the press: the window's release step runs.
  void ReleasePress() {
    if (!PressedWidget()) return;
    this->Window().ReleasePress();
    SetPressedWidget(nullptr);
  }

  // ---- The open popup's owner ----
  void OnPopupMouseMove(Point point, bool* switchMenus, CPopupMenu**) override {
    pointerSeen_ = point;
    Point local = point;
    this->WindowToLocal(&local);
    const i32 item = HitTestItem(local);
    if (item < 0 || item == hotItem) return;
    hotItem = item;
    this->Redraw();
    if (switchMenus) *switchMenus = true;
  }
  void OnPopupMouseButton(Point point, bool* onBar) override {
    pointerSeen_ = point;
    hotItem = -1;
    Point local = point;
    this->WindowToLocal(&local);
    if (HitTestItem(local) >= 0 && onBar) *onBar = true;
  }
  void OnPopupKey(u32 key, bool* handled) override {
    if (key == 27) {
      state |= kCancelled;
    } else if (key == 37 || key == 39) {
      state |= kMove;
      hotItem = NeighbourItem(hotItem, key == 39);
      this->Redraw();
    } else {
      return;
    }
    if (handled) *handled = true;
  }
  // The popup's hot item, and the bar's own notices: (-3, -1) before it
  // delivers a chosen command and after the last popup of a menu mode.
  void OnPopupHotItem(i32 id, i32 hint) override { OnMenuNotice(id, hint); }
  void OnMenuNotice(i32 id, i32 hint) { hover.Call(this->parent, id, hint); }
  i32 GetInitialHotItem() override { return (state & kFromKeyboard) ? 0 : -1; }
  void OnMenuItemChanged(MenuItem*) override { this->Redraw(); }

  void PaintContent(CCanvas& canvas) {
    const Rect content = this->GetContentRect();
    PaintItems(canvas, FocusedWidget() == this, content.right, content.bottom);
  }

 private:
  static constexpr i32 kPointerUnseen = static_cast<i32>(0x80000000u);

  void DetachModel() {
    if (model && model->listener == static_cast<IMenuModelListener*>(this)) model->listener = nullptr;
  }
  // The pointer is over the bar: the bar takes the press (to hear it leave).
  void TakeHover() {
    if (state & kHover) return;
    this->Window().CapturePress(this);
    state |= kHover;
  }
  void TrackItem(Point p, bool openInMenuMode) {
    const i32 item = HitTestItem(p);
    if (item == hotItem) return;
    hotItem = item;
    this->Redraw();
    if (openInMenuMode && (state & kMenuMode)) RunMenus();
  }
  // The hot item's popup, and the neighbours' as long as the user moves
  // on; then the end of menu mode is announced, and a chosen command runs
  // last: its handler may do anything, the bar's own too.
  void RunMenus() {
    if (!model || !IsSubmenuItem(hotItem)) return;
    i32 chosen = -1;
    while (OpenItemMenu(&chosen)) {
    }
    OnMenuNotice(-3, -1);
    if (chosen >= 0) command.Call(this->parent, static_cast<u32>(chosen));
  }
  // A desktop point the pointer is at (a point of the bar's content);
  // false when the pointer was seen there last: it has not moved.
  bool NotePointer(Point local) {
    this->ToWindowPoint(&local);
    const bool moved = local.x != pointerSeen_.x || local.y != pointerSeen_.y;
    pointerSeen_ = local;
    return moved;
  }
  // Menu mode that went on with the bar holding the keys and no popup open
  // nor press held ends unlit, giving no focus back.
  void EndMenuModeUnlit() {
    if ((state & (kMenuMode | kPopupOpen | kPressed)) != kMenuMode) return;
    state &= ~(kMenuMode | kFromKeyboard);
    hotItem = -1;
    this->Redraw();
  }
  // Menu mode that ends here (no popup open: the pointer left the bar or
  // another widget took the press) gives the focus back as well. The
  // pointer is no longer followed: its next move onto the bar counts, even
  // at the point where it left.
  void EndHover() {
    pointerSeen_ = {kPointerUnseen, kPointerUnseen};
    const bool menuMode = (state & (kMenuMode | kPopupOpen)) == kMenuMode;
    state &= ~(kHover | kMenuMode | kPressed);
    hotItem = -1;
    this->Redraw();
    if (menuMode) RestoreFocus();
  }

  Point pointerSeen_ = {kPointerUnseen, kPointerUnseen};  // desktop; where the bar last saw the pointer
};

// The plain bar: the main menu's items, a page's tool bar, the job windows'
// eject control.
template <class TParent>
class CMenuBar final : public CMenuBarOf<CMenuBar<TParent>, TParent> {};
