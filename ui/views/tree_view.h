// CTreeView: the folder tree of the toolkit, a scroll view that shows a
// hierarchy of items as indented rows, one per shown item, with expanders,
// one selected item, children filled by the owner when an item expands and
// an embedded label editor for renaming in place. Items live in a pool and
// are addressed by handles (item_pool.h); the shown items are a flat array
// of handles in display order, always the pre-order of the items whose
// ancestors are all expanded. Portable.
//
// The label editor is a child widget of class TEditor<CTreeView> (the
// program's text edit, CTreeLabelEdit by default); it offers
// Text() -> const CWideString& and its caret (edit.caret), calls
// PlaceLabelEdit when its text changes, and hands Enter and Escape to
// OnLabelEditKey and its loss of the focus to OnLabelEditFocusLost. A tree
// that is never renamed simply never shows it. An edit belongs to the item
// it was opened for (BeginLabelEdit): the editor stays over that item's
// label whatever scrolls or moves the rows, the rename is that item's, and
// the edit closes, its text dropped, when the item goes or its row is
// collapsed away.
//
// Notifications (optional, on the owner):
//   expand    (handle): insert the item's children now
//   press     (handle, 0, point): a left press on a row (null handle: on no item)
//   selected  (handle): the selection changed
//   key       (key, bool* proceed): before the tree acts on a key
//   rightButton (key flags, point)
//   rename    (text, length, bool* accept): an edit of EditedItem() ends
//             with Enter or a focus loss
#pragma once
#include "render/canvas.h"
#include "render/color.h"
#include "render/image_strip.h"
#include "render/text/font.h"
#include "ui/views/item_pool.h"
#include "ui/views/scroll_view.h"
#include "ui/views/tree_label_edit.h"
#include "ui/widgets/caret_blink.h"

constexpr u32 kTreeStyleExpanders = 0x02;

template <class TParent, template <class> class TEditor = CTreeLabelEdit>
class CTreeView : public CScrollViewOf<CTreeView<TParent, TEditor>, TParent, CCompositeOf> {
 public:
  using Self_ = CTreeView<TParent, TEditor>;
  static constexpr bool kFocusLook = true;

  TEditor<CTreeView> editor;
  i32 indent = 18;
  i32 rowHeight = 18;
  u32 style = kTreeStyleExpanders;
  u32 background = 0;  // filled under the rows when its alpha is not 0
  const CImageStrip* images = nullptr;
  TreeItemHandle selected = kNullItem;

  WidgetCallback<TreeItemHandle> expand;
  WidgetCallback<TreeItemHandle, i32, Point> press;
  WidgetCallback<TreeItemHandle> selectionChanged;
  WidgetCallback<u32, bool*> key;
  WidgetCallback<i32, Point> rightButton;
  WidgetCallback<const wchar16*, i32, bool*> rename;

  CTreeView() : rows_(32) { this->lineSize = rowHeight; }

  auto Children() { return std::tie(editor); }
  // The label editor, hidden, one row high (its change should call
  // PlaceLabelEdit).
  void CreateChildren() {
    const Rect r = {0, 0, 100, rowHeight};
    editor.Create(0x2000A, &r, this);
  }

  // ---- Items ----
  CItemPool& Pool() { return pool_; }
  TreeItem* Lookup(const TreeItemHandle& h) { return pool_.Lookup(h); }
  u32 VisibleRowCount() const { return rows_.GetCount(); }
  TreeItemHandle VisibleRow(u32 row) const { return row < rows_.GetCount() ? rows_[row] : kNullItem; }

  TreeItemHandle GetFirstChild(const TreeItemHandle& h) { return SlotHandle(Child(h, 0, true)); }
  TreeItemHandle GetLastChild(const TreeItemHandle& h) {
    const TreeItem* item = pool_.Lookup(h);
    return item ? SlotHandle(item->lastChild) : kNullItem;
  }
  TreeItemHandle GetNextSibling(const TreeItemHandle& h) {
    const TreeItem* item = IsNullItem(h) ? nullptr : pool_.Lookup(h);
    return item ? SlotHandle(item->next) : kNullItem;
  }
  TreeItemHandle GetChild(const TreeItemHandle& h, u32 n) { return SlotHandle(Child(h, n, false)); }
  u32 GetChildCount(const TreeItemHandle& h) {
    const TreeItem* item = pool_.Lookup(h);
    return item ? item->childCount : 0;
  }
  // The item's row, -1 when it is not shown.
  i32 FindVisibleRow(const TreeItemHandle& h) {
    TreeItem* item = IsNullItem(h) ? nullptr : pool_.Lookup(h);
    if (!item) return -1;
    const u32 hint = static_cast<u32>(item->rowHint);
    if (hint < rows_.GetCount() && ItemHandlesEqual(rows_[hint], h)) return item->rowHint;
    for (u32 i = 0; i < rows_.GetCount(); ++i) {
      if (ItemHandlesEqual(rows_[i], h)) {
        item->rowHint = static_cast<i32>(i);
        return item->rowHint;
      }
    }
    return -1;
  }

  // Inserts an item under parent (null: top level): first for kInsertFirst,
  // last for kInsertLast or the null handle, else after the sibling that
  // position names (a position that is no child of parent appends it last).
  // False, with the null handle, when the parent does not resolve or the
  // pool cannot grow.
  bool InsertItem(TreeItemHandle* out, const TreeItemInfo& info, const TreeItemHandle& parent,
                  const TreeItemHandle& position) {
    *out = kNullItem;
    TreeItem* p = pool_.Lookup(parent);
    if (!p && !IsNullItem(parent)) return false;
    const i32 parentSlot = IsNullItem(parent) ? 0 : parent.index;
    const i32 slot = pool_.Allocate();
    if (slot == kNoSlot) return false;
    p = pool_.At(parentSlot);  // the pool may have moved
    TreeItem* item = pool_.At(slot);
    static_cast<TreeItemInfo&>(*item) = info;
    item->level = parentSlot ? p->level + 1 : 0;
    item->flags &= kTreeExpanded | kTreeExpander | 0x1;
    if (parentSlot) p->flags |= kTreeExpander;
    const TreeItem* sibling = pool_.Lookup(position);
    if (ItemHandlesEqual(position, kInsertFirst))
      pool_.LinkFirst(parentSlot, slot);
    else if (sibling && !IsNullItem(position) && sibling->parent == parentSlot)
      pool_.LinkAfter(position.index, slot);
    else
      pool_.LinkLast(parentSlot, slot);
    *out = pool_.At(slot)->handle;
    if (IsShownParent(parentSlot)) InsertRowOf(slot);
    KeepLabelEditOnItem();
    return true;
  }

  // Deletes an item with its descendants. The selection is left as it is (a
  // deleted one no longer resolves).
  bool DeleteItem(const TreeItemHandle& h) {
    TreeItem* item = IsNullItem(h) ? nullptr : pool_.Lookup(h);
    if (!item) return false;
    const bool wasSuspended = this->SuspendRedraw(true);
    const i32 row = FindVisibleRow(h);
    if (row >= 0) RemoveRows(static_cast<u32>(row), 1 + DescendantRows(static_cast<u32>(row)));
    const i32 parentSlot = item->parent;
    pool_.Free(h.index);
    if (parentSlot > 0) {
      TreeItem* p = pool_.At(parentSlot);
      if (!p->childCount) p->flags &= ~(kTreeExpanded | kTreeExpander);
    }
    RecomputeContentSize();
    KeepLabelEditOnItem();
    this->SuspendRedraw(wasSuspended);
    return true;
  }
  // Deletes every child of an item (the null handle: the whole tree).
  bool DeleteChildren(const TreeItemHandle& h) {
    TreeItem* item = pool_.Lookup(h);
    if (!item) return false;
    const i32 slot = IsNullItem(h) ? 0 : h.index;
    if (slot == 0) {
      rows_.Clear();
    } else {
      const i32 row = FindVisibleRow(h);
      if (row >= 0) RemoveRows(static_cast<u32>(row) + 1, DescendantRows(static_cast<u32>(row)));
    }
    if (item->childCount) {
      while (pool_.At(slot)->firstChild != kNoSlot) pool_.Free(pool_.At(slot)->firstChild);
      if (slot) pool_.At(slot)->flags &= ~(kTreeExpanded | kTreeExpander);
      RecomputeContentSize();
    }
    KeepLabelEditOnItem();
    return true;
  }
  // Expands or collapses an item; false when it does not resolve or is in
  // that state already. Expanding asks the owner for the children first.
  bool SetExpanded(const TreeItemHandle& h, bool expanded) {
    TreeItem* item = IsNullItem(h) ? nullptr : pool_.Lookup(h);
    if (!item || ((item->flags & kTreeExpanded) != 0) == expanded) return false;
    if (!expanded) {
      const i32 row = FindVisibleRow(h);
      if (row >= 0) RemoveRows(static_cast<u32>(row) + 1, DescendantRows(static_cast<u32>(row)));
      item->flags &= ~kTreeExpanded;
    } else {
      expand.Call(this->parent, h);
      item = pool_.Lookup(h);  // the owner may have changed the tree, even removed the item
      if (!item) {
        RecomputeContentSize();
        KeepLabelEditOnItem();
        return false;
      }
      item->flags |= kTreeExpanded;
      const i32 row = FindVisibleRow(h);
      if (row >= 0) InsertChildRows(h.index, static_cast<u32>(row) + 1);
    }
    RecomputeContentSize();
    KeepLabelEditOnItem();
    return true;
  }
  // Collapses and expands an expanded item again, so its owner fills its
  // children afresh; the scroll offset is kept.
  void RefreshItem(const TreeItemHandle& h) {
    const bool wasSuspended = this->SuspendRedraw(true);
    const TreeItem* item = IsNullItem(h) ? nullptr : pool_.Lookup(h);
    if (item && (item->flags & kTreeExpanded)) {
      const Point offset = this->GetScrollOffset();
      SetExpanded(h, false);
      SetExpanded(h, true);
      this->SetScrollOffset(offset);
    }
    this->SuspendRedraw(wasSuspended);
  }

  // Selects an item and scrolls its row into view; the previous selection.
  // The null handle or a stale one changes nothing.
  TreeItemHandle SelectItem(const TreeItemHandle& h) {
    const TreeItemHandle previous = selected;
    TreeItem* item = IsNullItem(h) ? nullptr : pool_.Lookup(h);
    if (!item) return previous;
    if (TreeItem* old = IsNullItem(selected) ? nullptr : pool_.Lookup(selected)) old->flags &= ~kTreeSelected;
    pool_.Lookup(h)->flags |= kTreeSelected;
    selected = h;
    if (!EnsureVisible(h)) this->RedrawRect(nullptr);
    selectionChanged.Call(this->parent, h);
    return previous;
  }
  // Expands the item's ancestors and scrolls its label into view; true when
  // it scrolled.
  bool EnsureVisible(const TreeItemHandle& h) {
    if (FindVisibleRow(h) < 0) {
      const bool wasSuspended = this->SuspendRedraw(true);
      for (TreeItemHandle a = pool_.GetParentHandle(h); !IsNullItem(a); a = pool_.GetParentHandle(a))
        SetExpanded(a, true);
      this->SuspendRedraw(wasSuspended);
    }
    Rect r;
    if (!GetItemRect(&r, true, h)) return false;
    if (editor.IsVisible()) {
      const i32 w = TextWidth(editor.Text().c_str(), ClampedCaret());
      const i32 eh = editor.height;
      if (w > eh) {
        r.left += w - eh;
        if (r.right > r.left + 2 * eh) r.right = r.left + 2 * eh;
      }
      return this->ScrollToRect(r, false);
    }
    return this->ScrollToRect(r, true);
  }

  // The row (labelOnly: the label) of a shown item in content coordinates;
  // false when it is not shown or no font can measure it.
  bool GetItemRect(Rect* out, bool labelOnly, const TreeItemHandle& h) {
    const i32 row = FindVisibleRow(h);
    if (row < 0) return false;
    return RowRect(out, labelOnly, static_cast<u32>(row));
  }
  // The shown item under a content point (y from the content's bottom), the
  // null handle when none.
  TreeItemHandle RowAtPoint(const Point& p) const {
    const i32 n = static_cast<i32>(rows_.GetCount());
    if (!n || rowHeight <= 0) return kNullItem;
    const i32 total = Total();
    if (p.y >= total || p.y < 0) return kNullItem;
    const i32 row = (total - 1 - p.y) / rowHeight;
    return row < n ? rows_[static_cast<u32>(row)] : kNullItem;
  }
  // The point lies on that item's expander (one row height wide, left of
  // the item's indent).
  bool HitExpander(const Point& p, const TreeItemHandle& h) {
    if (IsNullItem(h) || ItemHandlesDiffer(RowAtPoint(p), h)) return false;
    const TreeItem* item = pool_.Lookup(h);
    if (!item || !(item->flags & kTreeExpander)) return false;
    const i32 x0 = (item->level - 1) * rowHeight;
    return p.x >= x0 && p.x < x0 + 16;
  }

  // The view is the content rectangle; the bars follow. A shown label
  // editor stays over its label.
  void LayoutContent(i32 width, i32 height) {
    const bool editing = IsEditingLabel();
    const bool wasSuspended = editing ? this->SuspendRedraw(true) : false;
    this->viewWidth = width;
    this->viewHeight = height;
    this->SettleScrollBars();
    if (editing) {
      PlaceLabelEdit();
      this->SuspendRedraw(wasSuspended);
    }
  }

  // ---- Painting ----
  void PaintContent(CCanvas& canvas) {
    const Rect content = this->GetContentRect();
    if (background >> 24) canvas.FillRect(0, 0, content.right, content.bottom, background);
    if (rows_.GetCount()) {
      const Point o = this->GetScrollOffset();
      canvas.originX -= o.x;
      canvas.originY -= o.y;
      if (images) ThemePainter()->SetIcon(&canvas, images, nullptr);
      Rect clip;
      canvas.GetClipRect(&clip.left, &clip.top, &clip.right, &clip.bottom);
      const i32 top = Total();
      const i32 n = static_cast<i32>(rows_.GetCount());
      // Rows from the top: row i spans [top - (i + 1) h, top - i h).
      i32 first = (top - clip.bottom) / rowHeight;
      i32 last = (top - clip.top - 1) / rowHeight;
      if (first < 0) first = 0;
      if (last > n - 1) last = n - 1;
      const bool focused = FocusedWidget() == this;
      for (i32 i = first; i <= last; ++i) {
        const TreeItem* item = pool_.Lookup(rows_[static_cast<u32>(i)]);
        if (!item) continue;
        u32 state = 0;
        if ((style & kTreeStyleExpanders) && (item->flags & kTreeExpander))
          state |= (item->flags & kTreeExpanded) ? kRowExpanded : kRowCollapsed;
        if (item->flags & kTreeSelected) state |= focused ? kRowSelected | 0x20 : kRowSelected;
        const CWideString* text = &item->text;
        if (item->flags & kTreeEditing) {
          text = &editor.Text();
          state |= kRowNoText;
        }
        const i32 y = top - (i + 1) * rowHeight;
        const Rect row = {item->level * indent, y, content.right + o.x, y + rowHeight};
        ThemePainter()->DrawListRow(&canvas, row, state, text->c_str(), text->GetLength(), item->image);
      }
      canvas.originX += o.x;
      canvas.originY += o.y;
    }
    if (rows_.GetCount()) this->DrawIndicator(canvas);
  }

  // ---- Input ----
  void OnFocusGain() {
    if (pool_.Lookup(selected) && !IsNullItem(selected))
      this->Redraw();
    else if (rows_.GetCount())
      SelectItem(rows_[0]);
    else
      this->Redraw();
  }
  void OnKeyDown(u32 k, u32, u32) {
    bool proceed = true;
    key.Call(this->parent, k, &proceed);
    if (!proceed) return;
    if (IsKeyDown(kKeyCtrl) && k >= 33 && k <= 40) return this->ScrollKey(k);
    const u32 n = rows_.GetCount();
    if (!n) return;
    const TreeItem* item = IsNullItem(selected) ? nullptr : pool_.Lookup(selected);
    if (!item) {
      SelectItem(rows_[0]);
      return;
    }
    const i32 row = FindVisibleRow(selected);
    switch (k) {
      case 35:
        if (row != static_cast<i32>(n) - 1) SelectItem(rows_[n - 1]);
        return;
      case 36:
        if (row != 0) SelectItem(rows_[0]);
        return;
      case 38:
        if (row > 0) SelectItem(rows_[static_cast<u32>(row) - 1]);
        return;
      case 40:
        if (row >= 0 && static_cast<u32>(row) + 1 < n) SelectItem(rows_[static_cast<u32>(row) + 1]);
        return;
      case 37:
        if (item->flags & kTreeExpanded)
          SetExpanded(selected, false);
        else
          SelectParent();
        return;
      case 39:
        if (!(item->flags & kTreeExpanded) && (item->childCount || (item->flags & kTreeExpander)))
          SetExpanded(selected, true);
        else if (row >= 0 && static_cast<u32>(row) + 1 < n)
          SelectItem(rows_[static_cast<u32>(row) + 1]);
        return;
      default:
        return;
    }
  }
  void OnLButtonDown(i32 keyFlags, Point* p) {
    if (this->scrollState & kScrollAuto) return;
    this->SetFocus();
    if (!this->GetContentRect().Contains(p->x, p->y)) return this->PressBar(keyFlags, p);
    // An edit the focus loss did not end (its name refused) keeps the
    // keys and its item: the press selects nothing.
    if (IsEditingLabel()) return;
    const Point o = this->GetScrollOffset();
    const Point at = {p->x + o.x, p->y + o.y};
    const TreeItemHandle h = RowAtPoint(at);
    if (IsNullItem(h)) return;
    if (!pool_.Lookup(h)) {
      press.Call(this->parent, kNullItem, 0, *p);
      return;
    }
    if (HitExpander(at, h)) {
      SetExpanded(h, !(pool_.Lookup(h)->flags & kTreeExpanded));
      if (FindVisibleRow(selected) >= 0) return;
      if (!pool_.Lookup(h)) return;  // the owner's expansion removed it
    }
    if (TreeItem* old = IsNullItem(selected) ? nullptr : pool_.Lookup(selected)) old->flags &= ~kTreeSelected;
    pool_.Lookup(h)->flags |= kTreeSelected;
    const bool changed = ItemHandlesDiffer(selected, h);
    selected = h;
    this->RedrawRect(nullptr);
    press.Call(this->parent, h, 0, *p);
    if (changed) selectionChanged.Call(this->parent, h);
  }
  void OnLButtonDblClk(i32 keyFlags, Point* p) { OnLButtonDown(keyFlags, p); }
  void OnRButtonDown(i32 keyFlags, Point* p) { rightButton.Call(this->parent, keyFlags, *p); }

  // ---- Label editing ----
  // Opens the editor over an item's label with its text, scrolled into
  // view, and gives it the keys; an edit open on another item is dropped
  // first (its label stays). False when the item does not resolve.
  bool BeginLabelEdit(const TreeItemHandle& h) {
    if (IsNullItem(h) || !pool_.Lookup(h)) return false;
    CloseLabelEdit();
    EnsureVisible(h);
    TreeItem* item = pool_.Lookup(h);  // an expansion may have changed the tree
    if (!item) return false;
    editing_ = h;
    item->flags |= kTreeEditing;
    editor.SetText(item->text.c_str());
    editor.ModifyFlags(0, kFlagVisible);
    PlaceLabelEdit();
    if (IsEditingLabel()) editor.SetFocus();
    return IsEditingLabel();
  }
  bool IsEditingLabel() const { return !IsNullItem(editing_); }
  // The item whose label is edited (the null handle when none): the one a
  // rename notification names.
  TreeItemHandle EditedItem() const { return editing_; }

  // The editor follows its text: the edited label, widened to the text,
  // scrolled into view.
  void PlaceLabelEdit() {
    if (!IsEditingLabel()) return;
    const bool wasSuspended = this->SuspendRedraw(true);
    InvalidateWidth(editing_);
    RecomputeContentSize();
    EnsureVisible(editing_);
    PlaceEditorOverItem();
    this->SuspendRedraw(wasSuspended);
  }
  // The scroll view's step after every move of the rows: the editor moves
  // with its label.
  void OnScrolled() { KeepLabelEditOnItem(); }
  // Enter accepts the text (unless the owner refuses it) and Escape drops
  // it; both close the editor and give the tree the focus. True when the
  // key was one of them.
  bool OnLabelEditKey(u32 k) {
    if (k != 13 && k != 27) return false;
    EndLabelEdit(k == 13, true);
    return true;
  }
  // The editor lost the focus while open: the edit ends as with Enter, but
  // the tree does not take the focus; a refused text keeps the editor open.
  void OnLabelEditFocusLost() {
    if (IsEditingLabel()) EndLabelEdit(true, false);
  }

 private:
  static constexpr i32 kKeyCtrl = 0x11;

  i32 Total() const {
    const i32 all = static_cast<i32>(rows_.GetCount()) * rowHeight;
    const i32 view = this->GetContentRect().bottom;
    return all > view ? all : view;
  }
  TreeItemHandle SlotHandle(i32 slot) const { return slot > 0 ? pool_.At(slot)->handle : kNullItem; }
  // Left on a collapsed item: its parent is selected. A top-level item's
  // parent is the null handle: nothing is selected then, and the next key
  // selects the top row again.
  void SelectParent() {
    const TreeItemHandle parent = pool_.GetParentHandle(selected);
    if (!IsNullItem(parent)) {
      SelectItem(parent);
      return;
    }
    if (TreeItem* old = pool_.Lookup(selected)) old->flags &= ~kTreeSelected;
    selected = kNullItem;
    this->RedrawRect(nullptr);
    selectionChanged.Call(this->parent, kNullItem);
  }
  i32 Child(const TreeItemHandle& h, u32 n, bool firstOnly) const {
    const TreeItem* item = pool_.Lookup(h);
    if (!item) return kNoSlot;
    i32 at = item->firstChild;
    for (u32 i = 0; at != kNoSlot && i < n && !firstOnly; ++i) at = pool_.At(at)->next;
    return at;
  }
  // The root, or an expanded item with a row: its children show.
  bool IsShownParent(i32 slot) {
    if (slot == 0) return true;
    const TreeItem* p = pool_.At(slot);
    return (p->flags & kTreeExpanded) && FindVisibleRow(p->handle) >= 0;
  }
  i32 ClampedCaret() const {
    const i32 caret = editor.edit.caret, length = editor.Text().GetLength();
    return caret < 0 ? 0 : caret > length ? length : caret;
  }
  i32 TextWidth(const wchar16* text, i32 n) const {
    CFont* font = UiFontNormal();
    if (!font || n <= 0) return 0;
    return static_cast<i32>(Ceil(font->MeasureText(text, n)));
  }
  // The row of a shown item: its label (widened to the editor's text while
  // it is edited) or the row from the left edge.
  bool RowRect(Rect* out, bool labelOnly, u32 row) {
    const TreeItem* item = pool_.Lookup(rows_[row]);
    if (!item || !UiFontNormal()) return false;
    const CWideString& text = (item->flags & kTreeEditing) ? editor.Text() : item->text;
    const i32 label = TextWidth(text.c_str(), text.GetLength()) + 2 * ThemeTextPadding();
    i32 x = item->level * indent;
    if (item->image != -1 && images) x += static_cast<i32>(images->frameWidth) + 4;
    const i32 n = static_cast<i32>(rows_.GetCount());
    const i32 lower = rowHeight * (n - static_cast<i32>(row) - 1) + Lift();
    *out = {labelOnly ? x : 0, lower, x + label, lower + rowHeight};
    return true;
  }
  i32 Lift() const {
    const i32 all = static_cast<i32>(rows_.GetCount()) * rowHeight;
    return this->viewHeight > all ? this->viewHeight - all : 0;
  }
  // The whole row's width, measured once per item and text.
  i32 RowWidth(u32 row) {
    TreeItem* item = pool_.Lookup(rows_[row]);
    if (!item) return 0;
    if (item->rowWidth >= 0 && !(item->flags & kTreeEditing)) return item->rowWidth;
    Rect r;
    const i32 w = RowRect(&r, false, row) ? r.right : 0;
    item = pool_.Lookup(rows_[row]);
    if (!(item->flags & kTreeEditing)) item->rowWidth = w;
    return w;
  }
  void InvalidateWidth(const TreeItemHandle& h) {
    if (TreeItem* item = IsNullItem(h) ? nullptr : pool_.Lookup(h)) item->rowWidth = -1;
  }

  // Content size from the shown rows; the bars follow (repainting when they
  // changed), else the whole view repaints.
  void RecomputeContentSize() {
    i32 width = 0;
    for (u32 i = 0; i < rows_.GetCount(); ++i) {
      const i32 w = RowWidth(i);
      if (w > width) width = w;
    }
    this->contentWidth = width;
    this->contentHeight = static_cast<i32>(rows_.GetCount()) * rowHeight;
    if (this->SettleScrollBars())
      this->NotifyScrolled();
    else
      this->RedrawRect(nullptr);
  }

  // Rows of the item's shown descendants right below its row.
  u32 DescendantRows(u32 row) const {
    const TreeItem* item = pool_.Lookup(rows_[row]);
    if (!item) return 0;
    u32 end = row + 1;
    while (end < rows_.GetCount()) {
      const TreeItem* below = pool_.Lookup(rows_[end]);
      if (!below || below->level <= item->level) break;
      ++end;
    }
    return end - row - 1;
  }
  void RemoveRows(u32 at, u32 count) {
    if (!count) return;
    TreeItemHandle* data = rows_.GetData();
    const u32 n = rows_.GetCount();
    for (u32 i = at; i + count < n; ++i) data[i] = data[i + count];
    for (u32 i = 0; i < count; ++i) rows_.RemoveAt(n - 1 - i);
  }
  // The pre-order of the shown descendants of a slot, inserted at row.
  void InsertChildRows(i32 slot, u32 at) {
    CArray<TreeItemHandle> block(64);
    i32 child = pool_.At(slot)->firstChild;
    while (child != kNoSlot) {
      const TreeItem* c = pool_.At(child);
      block.Add(c->handle);
      if ((c->flags & kTreeExpanded) && c->firstChild != kNoSlot) {
        child = c->firstChild;
        continue;
      }
      // Next in pre-order within the slot's subtree.
      i32 up = child;
      while (up != slot && pool_.At(up)->next == kNoSlot) up = pool_.At(up)->parent;
      child = up == slot ? kNoSlot : pool_.At(up)->next;
    }
    InsertRows(at, block);
  }
  void InsertRows(u32 at, const CArray<TreeItemHandle>& block) {
    const u32 count = block.GetCount();
    if (!count) return;
    for (u32 i = 0; i < count; ++i)
      if (!rows_.AppendNew()) return;
    TreeItemHandle* data = rows_.GetData();
    const u32 n = rows_.GetCount();
    for (u32 i = n - 1; i >= at + count; --i) data[i] = data[i - count];
    for (u32 i = 0; i < count; ++i) data[at + i] = block[i];
  }
  // The row of a new item whose parent shows its children.
  void InsertRowOf(i32 slot) {
    const TreeItem* item = pool_.At(slot);
    u32 at = 0;
    if (item->previous != kNoSlot) {
      const i32 row = FindVisibleRow(pool_.At(item->previous)->handle);
      at = row < 0 ? rows_.GetCount() : static_cast<u32>(row) + 1 + DescendantRows(static_cast<u32>(row));
    } else if (item->parent > 0) {
      at = static_cast<u32>(FindVisibleRow(pool_.At(item->parent)->handle) + 1);
    }
    CArray<TreeItemHandle> one(1);
    one.Add(item->handle);
    InsertRows(at, one);
    pool_.At(slot)->rowHint = static_cast<i32>(at);
    const u32 row = at;
    const i32 w = RowWidth(row);
    if (w > this->contentWidth) this->contentWidth = w;
    this->contentHeight = static_cast<i32>(rows_.GetCount()) * rowHeight;
    if (this->SettleScrollBars())
      this->NotifyScrolled();
    else
      this->RedrawRect(nullptr);
  }
  // The edit ends on its own item: renamed (accept, unless the owner
  // refuses: the editor stays open) or dropped. An item that went away
  // meanwhile takes nothing; the editor closes all the same.
  void EndLabelEdit(bool accept, bool takeFocus) {
    const bool wasSuspended = this->SuspendRedraw(true);
    TreeItem* item = EditedRecord();
    if (item && accept) {
      item->flags &= ~kTreeEditing;
      bool accepted = true;
      const CWideString& text = editor.Text();
      renaming_ = true;
      rename.Call(this->parent, text.c_str(), text.GetLength(), &accepted);
      renaming_ = false;
      item = EditedRecord();  // the owner may have changed the tree
      if (!accepted && item && FindVisibleRow(editing_) >= 0) {
        item->flags |= kTreeEditing;
        PlaceEditorOverItem();
        if (!takeFocus) editor.SetFocus();
        this->SuspendRedraw(wasSuspended);
        return;
      }
      if (item && accepted) {
        item->text.Assign(editor.Text());
        item->rowWidth = -1;
      }
    }
    CloseLabelEdit();  // the tree takes the keys the editor had
    if (takeFocus && FocusedWidget() != this) this->SetFocus();
    RecomputeContentSize();
    this->SuspendRedraw(wasSuspended);
  }
  // The editor closes: its item (if any) shows its own label again.
  void CloseLabelEdit() {
    if (TreeItem* item = EditedRecord()) {
      item->flags &= ~kTreeEditing;
      item->rowWidth = -1;
    }
    editing_ = kNullItem;
    const bool hadKeys = FocusedWidget() == &editor;
    if (editor.IsVisible()) editor.ModifyFlags(kFlagVisible, 0);
    if (hadKeys) this->SetFocus();
  }
  // After the rows changed or scrolled: the editor over its item's label,
  // or closed when the item went or its row was collapsed away (not while
  // the owner renames it: the end of the edit sees to that).
  void KeepLabelEditOnItem() {
    if (!IsEditingLabel() || renaming_) return;
    if (FindVisibleRow(editing_) < 0) {
      CloseLabelEdit();
      this->RedrawRect(nullptr);
      return;
    }
    PlaceEditorOverItem();
  }
  TreeItem* EditedRecord() { return IsNullItem(editing_) ? nullptr : pool_.Lookup(editing_); }
  void PlaceEditorOverItem() {
    Rect r;
    if (!GetItemRect(&r, true, editing_)) return;
    const Point o = this->GetScrollOffset();
    editor.SetBounds(r.left - o.x, r.top - o.y, r.right - r.left, r.bottom - r.top);
  }

  CItemPool pool_;
  CArray<TreeItemHandle> rows_;
  TreeItemHandle editing_ = kNullItem;  // the item whose label the editor edits
  bool renaming_ = false;               // the owner's rename notice runs
};

// A tree's label editor blinks in the caret slot of the window that holds
// the tree.
template <class TParent, template <class> class TEditor>
struct CaretSlotOf<CTreeView<TParent, TEditor>> : CaretSlotOf<TParent> {};
