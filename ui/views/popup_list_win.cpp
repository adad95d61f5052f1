#include "ui/views/popup_list.h"

#include "render/text/font.h"
#include "ui/windows/dialogs/modal_loop.h"

CPopupList::CPopupList(const DropDownItemSource& itemSource, u32 itemCount) : source(itemSource), count(itemCount) {
  smallMargins = true;
  CFont* font = GetDefaultFont();
  const double line = font ? font->lineHeight : 0.0;
  if (font) font->Release();
  rowHeight = PopupRowHeight(line);
  list.itemHeight = list.lineSize = rowHeight;
  naturalHeight = PopupNaturalHeight(line, count);
}

i32 CPopupList::Run(i32 index, i32 x, i32 y, i32 width, i32 maxHeight) {
  current = index;
  const i32 h = maxHeight == -1 || maxHeight > naturalHeight ? naturalHeight : maxHeight;
  if (!CreateAt(PopupListRect(x, y, width, h), true)) return current;
  RunModalLoop(Handle());
  return current;
}

void CPopupList::CreateControls() {
  list.itemPainter = BindCallback<CPopupList, &CPopupList::PaintItem, CCanvas*, const Rect*, i32>(this, this);
  list.hover = BindCallback<CPopupList, &CPopupList::OnItemHover, i32, i32, Point>(this, this);
  list.click = BindCallback<CPopupList, &CPopupList::CloseWithResult, i32, i32, Point>(this, this);
  list.selection = BindCallback<CPopupList, &CPopupList::OnItemSelected, i32, i32>(this, this);
  list.itemCount = count;
  const Rect r = {4, 4, width - 4, height - 4};
  list.Create(kFlagSeeThrough | kFlagNoCaptionButtons | kFlagVisible, &r, this);
  // The current item is selected and shown, wherever it lies.
  if (current >= 0 && static_cast<u32>(current) < count) {
    list.SelectItem(current, true);
    Rect r = list.GetItemRect(current);  // view coordinates: back to the content's
    const Point o = list.GetScrollOffset();
    list.ScrollToRect({r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y}, true);
  }
  SetFocus();
}

void CPopupList::PaintDecoration(CCanvas& canvas) {
  ThemePainter()->DrawDropDown(&canvas, width, height, kLookPressed | ((flags & kFlagDisabled) ? kLookHot : 0), nullptr, 0, -1);
}

void CPopupList::PaintItem(CCanvas* canvas, const Rect* rect, i32 index) {
  const wchar16* text = nullptr;
  i32 length = 0, icon = -1;
  if (source.get) source.get(source.control, index, &text, &length, &icon);
  ThemePainter()->DrawListItem(canvas, *rect, index == current ? kLookSelected : 0, text, length);
}

void CPopupList::OnItemHover(i32 index, i32, Point) { SetCurrent(index); }

void CPopupList::OnItemSelected(i32 index, i32 selected) {
  if (selected) SetCurrent(index);
}

void CPopupList::SetCurrent(i32 index) {
  if (index == -1 || index == current) return;
  const i32 old = current;
  current = index;
  const bool wasSuspended = list.SuspendRedraw(true);
  list.RedrawItem(index);
  if (old != -1) list.RedrawItem(old);
  list.SuspendRedraw(wasSuspended);
}

void CPopupList::CloseWithResult(i32 index, i32, Point) {
  current = index;
  Close();
}

bool CPopupList::OnDialogKey(u32 key) {
  if (key == VK_ESCAPE) {
    current = -1;
    Close();
  } else if (key == VK_RETURN) {
    Close();
  } else {
    list.OnKeyDown(key, 0, 0);
  }
  return true;
}

void CPopupList::OnActivate(u32 state) {
  if (state != WA_INACTIVE || closed) return;
  current = -1;
  Close();
}

void CPopupList::Close() {
  closed = true;
  PostMessageW(static_cast<HWND>(Handle()), WM_CLOSE, 0, 0);
}

i32 RunDropDownPopup(const DropDownItemSource& source, u32 count, i32 current, i32 x, i32 y, i32 width,
                     i32 maxHeight, bool listKeys) {
  CPopupList popup(source, count);
  popup.list.takesKeys = listKeys;
  return popup.Run(current, x, y, width, maxHeight);
}
