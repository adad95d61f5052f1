// CListView: the item list of the toolkit, a scroll view whose content is a
// grid of equal items: full-width rows, or square cells that wrap at the
// view width (list_layout.h). Items are stored in the list as ListRow
// records, or belong to the owner, who fills a record on request (owner
// data, with an explicit item count) or paints each item itself. The list
// adds item painting, hit testing, selection, its keys and its mouse
// entries to the scroll view. Portable.
//
// Notifications (all optional, called on the owner):
//   itemPainter (canvas, item rect, index)  paints an item instead of the default drawing
//   hover       (index or -1, key flags, point relative to the item)
//   click       (index, key flags, point relative to the item): press and release on one item
//   rightButton (key flags, point)
//   itemInfo    (index, 0, record to fill): owner data
//   selection   (index, selected), and a closing (-1, 0) after a change
//   selectAll   ()
//   activated   (index): double click
//   enter       (current item, also -1)
// After changing rows, the item count or the item size, the owner calls
// UpdateLayout (content size and bars) and the list repaints.
#pragma once
#include "render/canvas.h"
#include "render/color.h"
#include "render/image_strip.h"
#include "render/text/font.h"
#include "ui/views/list_layout.h"
#include "ui/views/list_row.h"
#include "ui/views/scroll_view.h"

constexpr i32 kKeyControl = 0x11;

template <class TParent>
class CListView : public CScrollViewOf<CListView<TParent>, TParent> {
 public:
  using Scroll = CScrollViewOf<CListView<TParent>, TParent>;
  static constexpr bool kFocusLook = true;

  u32 itemCount = 0;      // explicit count (owner data); 0: the stored rows count
  i32 itemWidth = 0;      // cell width in the icon grid; 0 in the row layouts
  i32 itemHeight = 0;
  i32 minItemHeight = 0;
  i32 onlyItem = -1;      // while set, painting draws only this item
  i32 currentItem = -1;   // where Up, Down and Enter start
  i32 pressedItem = -1;   // under the last left press
  u32 mode = kListRows;
  bool holdItemRepaints = false;
  bool takesKeys = true;  // false: no keys of its own (its owner may still take Enter and Escape)
  const CImageStrip* images = nullptr;
  CArray<ListRow> rows;

  WidgetCallback<CCanvas*, const Rect*, i32> itemPainter;
  WidgetCallback<i32, i32, Point> hover;
  WidgetCallback<i32, i32, Point> click;
  WidgetCallback<i32, Point> rightButton;
  WidgetCallback<i32, i32, ListRow*> itemInfo;
  WidgetCallback<i32, i32> selection;
  WidgetCallback<> selectAll;
  WidgetCallback<i32> activated;
  WidgetCallback<i32> enter;

  CListView() { UpdateItemSize(); }

  // ---- Items ----
  u32 GetItemCount() const {
    if (itemCount) return itemCount;
    return itemInfo.IsSet() ? 0 : rows.GetCount();
  }
  ListGrid Grid() const {
    return MakeListGrid(static_cast<i32>(GetItemCount()), mode, itemWidth, itemHeight, this->viewWidth,
                        this->viewHeight, this->GetScrollOffset());
  }
  i32 GetColumnCount() const { return ListColumns(mode, itemWidth, this->viewWidth); }
  i32 GetRowCount() const { return Grid().rows; }
  Rect GetItemRect(i32 index) const { return ListItemRect(Grid(), index); }
  i32 ItemAtPoint(i32 x, i32 y) const { return ListItemAt(Grid(), x, y); }
  // A point relative to an item's lower-left corner.
  Point PointToItem(const Point& p, i32 index) const {
    if (index < 0) return p;
    const Rect r = GetItemRect(index);
    return {p.x - r.left, p.y - r.top};
  }
  // The record of an item: the owner fills this list's own scratch record,
  // else the stored row; null past the rows.
  ListRow* GetItemInfo(i32 index) {
    if (itemInfo.IsSet()) {
      scratch_.Reset();
      itemInfo.Call(this->parent, index, 0, &scratch_);
      return &scratch_;
    }
    if (index < 0 || static_cast<u32>(index) >= rows.GetCount()) return nullptr;
    return &rows[static_cast<u32>(index)];
  }

  // Item height (and width in the icon grid) from the UI font and icons.
  void UpdateItemSize() {
    CFont* font = UiFontNormal();
    const i32 h = font ? static_cast<i32>(font->lineHeight) : 0;
    const i32 iconHeight = images ? static_cast<i32>(images->frameHeight) : 0;
    if (mode & (kListRows | kListDetails)) {
      i32 height = h + 4;
      if (images && iconHeight + 4 > height) height = iconHeight + 4;
      itemHeight = height > minItemHeight ? height : minItemHeight;
      itemWidth = 0;
    } else if (mode & kListIcons) {
      i32 height = 3 * h + 4 + iconHeight;
      if (height < minItemHeight) height = minItemHeight;
      itemHeight = itemWidth = height;
    }
    this->lineSize = itemHeight;
  }

  // The content size and bars for the current items and view; notifies when
  // a bar changed.
  void UpdateLayout() {
    const Rect c = this->GetContentRect();
    LayoutContent(c.right, c.bottom);
  }
  void LayoutContent(i32 width, i32 height) {
    const bool wasSuspended = this->SuspendRedraw(true);
    this->viewWidth = width;
    this->viewHeight = height;
    this->SettleScrollBars();
    bool changed = false;
    for (int pass = 0; pass < 2; ++pass) {  // the icon grid's rows follow the width
      this->contentWidth = GetItemCount() ? itemWidth : 0;
      this->contentHeight = GetItemCount() ? GetRowCount() * itemHeight : 0;
      if (!this->SettleScrollBars()) break;
      changed = true;
    }
    if (changed) this->NotifyScrolled();
    this->SuspendRedraw(wasSuspended);
  }

  // Repaints one item (nothing while item repaints are held back).
  void RedrawItem(i32 index) {
    if (holdItemRepaints || index < 0) return;
    onlyItem = index;
    Rect r = GetItemRect(index);
    this->ContentToLocalRect(&r);
    this->RedrawRect(&r);
    onlyItem = -1;
  }

  // ---- Selection ----
  u32 CountSelected() {
    if (!itemInfo.IsSet()) {
      u32 n = 0;
      for (const ListRow& row : rows) n += row.state & kListRowSelected;
      return n;
    }
    u32 n = 0;
    for (u32 i = 0; i < itemCount; ++i) {
      const ListRow* row = GetItemInfo(static_cast<i32>(i));
      if (row && (row->state & kListRowSelected)) ++n;
    }
    return n;
  }
  // Selects an item (-1: none); Ctrl toggles it unless the list allows one
  // selection only. With setCurrent the item becomes the current one
  // either way (the keys go on from it). True when the list acted.
  bool SelectItem(i32 index, bool setCurrent) {
    if (index == -1) return ClearSelection();
    if (static_cast<u32>(index) >= GetItemCount()) return false;
    const bool stored = !itemInfo.IsSet() && static_cast<u32>(index) < rows.GetCount();
    if (IsKeyDown(kKeyControl) && !(mode & kListSingleSelect)) {
      // Owner data is toggled through the owner: its record says the state.
      bool now;
      if (stored) {
        rows[static_cast<u32>(index)].state ^= kListRowSelected;
        now = (rows[static_cast<u32>(index)].state & kListRowSelected) != 0;
      } else {
        const ListRow* row = GetItemInfo(index);
        now = !(row && (row->state & kListRowSelected));
      }
      if (setCurrent) currentItem = index;
      RedrawItem(index);
      selection.Call(this->parent, index, now ? 1 : 0);
      selection.Call(this->parent, -1, 0);
      return true;
    }
    const bool wasSuspended = this->SuspendRedraw(true);
    if (!itemInfo.IsSet()) {
      for (u32 i = 0; i < rows.GetCount(); ++i) {
        ListRow& row = rows[i];
        if (static_cast<i32>(i) == index) {
          row.state |= kListRowSelected;
          selection.Call(this->parent, index, 1);
        } else if (row.state & kListRowSelected) {
          row.state &= ~kListRowSelected;
          selection.Call(this->parent, static_cast<i32>(i), 0);
        }
      }
    }
    if (!stored) selection.Call(this->parent, index, 1);  // the owner keeps the state
    if (setCurrent) currentItem = index;
    this->SuspendRedraw(wasSuspended);
    selection.Call(this->parent, -1, 0);
    return true;
  }
  bool SelectAll() {
    if (mode & kListSingleSelect) return false;
    selectAll.Call(this->parent);
    if (itemInfo.IsSet()) return false;
    const bool wasSuspended = this->SuspendRedraw(true);
    for (ListRow& row : rows) row.state |= kListRowSelected;
    this->SuspendRedraw(wasSuspended);
    return true;
  }
  // Empties the stored rows; no item is current or pressed any more.
  void Clear() {
    const bool wasSuspended = this->SuspendRedraw(true);
    rows.Clear();
    currentItem = pressedItem = -1;
    this->contentWidth = this->contentHeight = 0;
    if (this->SettleScrollBars()) this->NotifyScrolled();
    this->SuspendRedraw(wasSuspended);
  }

  // ---- Painting ----
  void PaintContent(CCanvas& canvas) {
    const ListGrid g = Grid();
    if (g.count == 0) return;
    ListRow record;  // the owner's items are filled into a record of this paint
    const ListSpan s = ListVisibleSpan(g);
    for (i32 row = s.firstRow; row <= s.lastRow; ++row) {
      for (i32 column = s.firstColumn; column <= s.lastColumn; ++column) {
        const i64 index = static_cast<i64>(row) * g.columns + column;
        if (index >= g.count) break;
        const i32 n = static_cast<i32>(index);
        if (onlyItem != -1 && n != onlyItem) continue;
        const ListRow* item = &record;
        if (itemPainter.IsSet()) {
          item = nullptr;
        } else if (itemInfo.IsSet()) {
          record.Reset();
          itemInfo.Call(this->parent, n, 0, &record);
        } else if (static_cast<u32>(n) < rows.GetCount()) {
          item = &rows[static_cast<u32>(n)];
        } else {
          continue;
        }
        DrawItem(canvas, ListItemRect(g, n), n, item);
      }
    }
    this->DrawIndicator(canvas);
  }

  // ---- Keys and pointer ----
  void OnKeyDown(u32 key, u32, u32) {
    if (!takesKeys) return;
    if (key == 13) return enter.Call(this->parent, currentItem);
    if (!(mode & kListIcons)) {
      const i32 last = static_cast<i32>(GetItemCount()) - 1;
      if (key == 38) {
        if (currentItem == -1)
          SelectItem(0, true);
        else if (currentItem > 0)
          SelectItem(currentItem - 1, true);
      } else if (key == 40) {
        if (currentItem == -1)
          SelectItem(0, true);
        else if (currentItem < last)
          SelectItem(currentItem + 1, true);
      }
    }
    this->ScrollKey(key);
  }
  void OnMouseMove(i32 keyFlags, Point* p) {
    if (hover.IsSet() && !(keyFlags & kMouseMiddleButton) && InContent(*p)) {
      const i32 index = ItemAtPoint(p->x, p->y);
      hover.Call(this->parent, index, keyFlags, PointToItem(*p, index));
    }
    this->TrackMouse(keyFlags, p);
  }
  void OnLButtonDown(i32 keyFlags, Point* p) {
    if (this->scrollState & kScrollAuto) return;
    this->SetFocus();
    if (InContent(*p)) {
      const i32 index = ItemAtPoint(p->x, p->y);
      // The item clicked is the one the keys go on from.
      if (index >= 0) {
        SelectItem(index, true);
        pressedItem = index;
      }
    }
    this->PressBar(keyFlags, p);
  }
  void OnLButtonDblClk(i32 keyFlags, Point* p) {
    if (this->scrollState & kScrollAuto) return;
    OnLButtonDown(keyFlags, p);
    if (!InContent(*p)) return;
    const i32 index = ItemAtPoint(p->x, p->y);
    if (index >= 0) activated.Call(this->parent, index);
  }
  // A click on an item is told last: the list touches nothing of itself
  // after the owner's handler.
  void OnLButtonUp(i32 keyFlags, Point* p) {
    i32 clicked = -1;
    Point onItem = {0, 0};
    if (InContent(*p)) {
      const i32 index = ItemAtPoint(p->x, p->y);
      if (index >= 0 && index == pressedItem) {
        clicked = index;
        onItem = PointToItem(*p, index);
      }
      pressedItem = -1;
    }
    this->ReleaseBar(keyFlags, p);
    if (clicked >= 0) click.Call(this->parent, clicked, keyFlags, onItem);
  }
  void OnRButtonDown(i32 keyFlags, Point* p) { rightButton.Call(this->parent, keyFlags, *p); }

 private:
  bool InContent(const Point& p) const { return this->GetContentRect().Contains(p.x, p.y); }

  bool ClearSelection() {
    if (itemInfo.IsSet() || !CountSelected()) return false;
    for (u32 i = 0; i < rows.GetCount(); ++i) {
      if (!(rows[i].state & kListRowSelected)) continue;
      rows[i].state &= ~kListRowSelected;
      selection.Call(this->parent, static_cast<i32>(i), 0);
    }
    this->RedrawRect(nullptr);
    return true;
  }

  // One item: the owner's painter, else highlight, icon and text.
  void DrawItem(CCanvas& canvas, const Rect& rect, i32 index, const ListRow* row) {
    if (itemPainter.IsSet()) {
      itemPainter.Call(this->parent, &canvas, &rect, index);
      return;
    }
    const bool icon = row->image != -1 && images && images->FrameCount() > row->image;
    const double iconW = icon ? images->frameWidth : 0, iconH = icon ? images->frameHeight : 0;
    double x0 = rect.left + 2, y0 = rect.top + 2, x1 = rect.right - 2, y1 = rect.bottom - 2;
    if (row->state & kListRowSelected) {
      u32 colour = ThemeItemFrameColor();
      if (FocusedWidget() != this) colour = (LightenedColor(colour, 0.25) & 0x00FFFFFFu) | 0xCC000000u;
      Rect high = rect;
      if (!(mode & kListWholeCell)) {
        const double text = canvas.font ? canvas.font->MeasureText(row->text.c_str(), row->text.GetLength()) : 0;
        high.right = rect.left + static_cast<i32>(text) + 4 + (icon ? static_cast<i32>(iconW) + 2 : 0);
      }
      ThemePainter()->DrawItemHighlight(&canvas, high, 3.0, colour, false, 0.0);
      canvas.FrameRoundRect(high.left, high.top, high.right, high.bottom, 3.0, 1.0, ThemeAccentColor());
    }
    if (icon) {
      double ix = x0, iy = y0;
      if (row->iconLayout & kIconTextRight) x0 = ix + iconW + 2;
      if (row->iconLayout & kIconAtRight) {
        ix = x1 - iconW;
        x1 = ix - 2;
      }
      if (row->iconLayout & kIconAtTop) {
        iy = y1 - iconH;
        y1 = iy - 2;
      }
      if (row->iconLayout & kIconCentreH) ix += static_cast<i32>((x1 - x0 - iconW) / 2);
      if (row->iconLayout & kIconCentreV) iy += static_cast<i32>((y1 - y0 - iconH) / 2);
      images->DrawFrame(&canvas, row->image, ix, iy, 1.0);
    }
    if (row->text.GetLength() > 0)
      canvas.DrawTextInRect(x0, y0, x1, y1, row->text.c_str(), row->text.GetLength(), row->textFlags);
  }

  ListRow scratch_;
};
