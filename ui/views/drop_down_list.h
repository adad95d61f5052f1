// CDropDownList: the toolkit's combo box. It shows the selectedIndex item with
// an arrow; a click (or F4) opens the popup list under it to choose
// another, and Up, Down and the wheel step through the items without
// opening it. Items come from the owner through the item callback with an
// explicit count, or are stored in the control (AddItem). One item count
// serves everything: the explicit count, else the stored items. Every
// change of the selection is reported once through `changed`. Portable
// (the popup itself runs on Windows only).
#pragma once
#include "ui/views/control_painters.h"
#include "ui/views/drop_down_popup.h"
#include "ui/views/list_row.h"
#include "ui/widgets/hover_cursor.h"
#include "ui/widgets/pointer_system.h"
#include "ui/widgets/widget.h"

struct DropDownItem {
  CWideString text;
  u32 value = 0;
  i32 icon = -1;
  u32 reserved = 0;
};

template <>
struct ArrayTraits<DropDownItem> {
  static void InitNew(DropDownItem* slot) { new (slot) DropDownItem(); }
  static void CopyInto(DropDownItem* slot, const DropDownItem& from) { new (slot) DropDownItem(from); }
  static void Destroy(DropDownItem* element) { element->~DropDownItem(); }
};

constexpr u32 kKeyF4 = 115;
// How windows create a drop-down list: shown, a Tab stop, and see-through,
// so that each repaint of its translucent box starts from what lies behind
// it instead of piling up on its last look.
constexpr u32 kDropDownFlags = kFlagVisible | kFlagSeeThrough | kFlagTabStop;

template <class TParent>
class CDropDownList : public CWidgetOf<CDropDownList<TParent>, TParent> {
 public:
  static constexpr u32 kCursor = kCursorHand;
  static constexpr u8 kHot = 0x1;
  static constexpr u8 kOpen = 0x2;
  static constexpr u8 kArrowOnly = 0x4;  // only the square at the right end opens it

  // (index, text, length, icon, value) of the owner's items.
  WidgetCallback<i32, const wchar16**, i32*, i32*, u32*> itemSource;
  WidgetCallback<i32> changed;
  i32 selectedIndex = -1;
  u32 itemCount = 0;       // explicit count of the owner's items
  i32 maxPopupHeight = -1;  // -1: the popup is as high as its items
  bool popupKeys = true;    // the popup's list takes the arrow, page, Home and End keys
  u8 state = 0;
  CArray<DropDownItem> items;

  i32 AddItem(const wchar16* text) {
    DropDownItem* item = items.AppendNew();
    if (!item) return -1;
    item->text.Assign(text);
    return static_cast<i32>(items.GetCount() - 1);
  }
  u32 ItemCount() const { return itemCount ? itemCount : items.GetCount(); }
  // Nothing is written for an index that has no item.
  void GetItem(i32 index, const wchar16** text, i32* length, i32* icon, u32* value) {
    u32 unused = 0;
    if (!value) value = &unused;
    if (itemSource.IsSet()) return itemSource.Call(this->parent, index, text, length, icon, value);
    if (index < 0 || static_cast<u32>(index) >= items.GetCount()) return;
    const DropDownItem& item = items[static_cast<u32>(index)];
    *text = item.text.c_str();
    *length = item.text.GetLength();
    *icon = item.icon;
    *value = item.value;
  }
  // Selects an item: the previous index, or -1 when the index has no item.
  i32 SetSelection(i32 index) {
    if (static_cast<u32>(index) >= ItemCount()) return -1;
    const i32 previous = selectedIndex;
    if (index == selectedIndex) return previous;
    Select(index);
    return previous;
  }

  // ---- Input ----
  u32 OnKeyDown(u32 key, u32, u32) {
    if (FocusedWidget() != this) return 0;
    if (key == 38) {
      if (selectedIndex > 0) SetSelection(selectedIndex - 1);
    } else if (key == 40) {
      if (selectedIndex >= 0 && static_cast<u32>(selectedIndex) + 1 < ItemCount()) SetSelection(selectedIndex + 1);
    } else if (key == kKeyF4) {
      OpenPopup(false);
    }
    return 1;
  }
  // Whole notches step through the items (away from the user: up the
  // list), stopping at its ends.
  void OnWheel(i32, i32 delta, Point*) {
    const i32 n = static_cast<i32>(ItemCount());
    const i32 steps = delta / 120;
    if (!steps || !n) return;
    i64 next = static_cast<i64>(selectedIndex) - steps;
    if (next < 0) next = 0;
    if (next > n - 1) next = n - 1;
    if (next != selectedIndex) Select(static_cast<i32>(next));
  }
  void OnLButtonDown(i32, Point* p) {
    this->SetFocus();
    Rect zone = this->GetContentRect();
    if (state & kArrowOnly) zone.left = zone.right - zone.bottom;
    if (zone.Contains(p->x, p->y)) OpenPopup(true);
  }
  void OnMouseMove(i32, Point*) {
    if (state & kHot) return;
    state |= kHot;
    this->Redraw();
    this->Window().CapturePress(this);
  }
  void OnPressLeave() { Cool(); }
  void OnReleasePress() { Cool(); }
  void OnFocusGain() {
    if (!(state & kHot)) this->Redraw();
  }
  void OnFocusLeave() {
    if (!(state & kHot)) this->Redraw();
  }

  // Opens the popup on the selectedIndex item; a choice other than the current
  // one and other than -1 becomes the selection.
  void OpenPopup(bool byMouse) {
    const u32 n = ItemCount();
    if (!n) return;
    const Rect at = this->ToWindowRect();
    state |= kOpen;
    if (byMouse && PressedWidget()) {
      this->Window().ReleasePress();
      SetPressedWidget(nullptr);
    }
    const DropDownItemSource source = {&ItemThunk, this};
    const i32 result =
        RunDropDownPopup(source, n, selectedIndex, at.left, at.top, this->width, maxPopupHeight, popupKeys);
    state &= ~kOpen;
    const bool chosen = result != selectedIndex && result >= 0 && static_cast<u32>(result) < ItemCount();
    bool repaint = chosen;
    if (chosen) selectedIndex = result;
    if (byMouse) {
      Point pointer;
      if (ReadPointerPoint(&pointer)) {
        this->WindowToLocal(&pointer);
        if (this->GetContentRect().Contains(pointer.x, pointer.y)) {
          this->Window().CapturePress(this);
        } else {
          state &= ~kHot;
          repaint = true;
        }
      }
    }
    if (repaint) this->Redraw();
    this->SetFocus();
    // The owner hears last: the list touches nothing of itself afterwards.
    if (chosen) changed.Call(this->parent, result);
  }

  void PaintContent(CCanvas& canvas) { PaintDropDownList(canvas, *this); }

 private:
  void Select(i32 index) {
    selectedIndex = index;
    this->Redraw();
    changed.Call(this->parent, index);
  }
  void Cool() {
    if (!(state & kHot) || (state & kOpen)) return;
    state &= ~kHot;
    this->Redraw();
  }
  static void ItemThunk(void* control, i32 index, const wchar16** text, i32* length, i32* icon) {
    static_cast<CDropDownList*>(control)->GetItem(index, text, length, icon, nullptr);
  }
};
