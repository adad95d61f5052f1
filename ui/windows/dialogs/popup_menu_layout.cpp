#include "ui/windows/dialogs/popup_menu_layout.h"

#include <cmath>

#include "render/text/font.h"
#include "ui/widgets/menu_model.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

constexpr i32 kLeastRowHeight = 22;

}  // namespace

i32 PopupContentInset() { return ThemeMenuBorder() + ThemeMenuSpacing(); }

void MeasurePopupItemText(CFont* font, const wchar16* text, i32 length, double* left, double* right) {
  *left = 0;
  *right = 0;
  if (!font || !text || length <= 0) return;
  const wchar16* tabAt = FindCharN(text, u'\t', length);
  if (!tabAt) {
    *left = font->MeasureText(text, length);
    return;
  }
  const i32 tab = static_cast<i32>(tabAt - text);
  *left = font->MeasureText(text, tab);
  *right = font->MeasureText(text + tab + 1, length - tab - 1) + 2 * font->spaceAdvance;
}

PopupLayout LayoutPopupItems(CMenuModel* model, CFont* font, CArray<Rect>* rects) {
  PopupLayout layout = {kLeastRowHeight, 0, 0};
  const i32 measured = static_cast<i32>((font ? font->lineHeight : 0.0) + 10);
  if (measured > kLeastRowHeight) layout.rowHeight = measured;
  const i32 row = layout.rowHeight;
  const i32 count = model && model->count > 0 ? model->count : 0;
  rects->Clear();
  if (static_cast<u32>(count) > rects->GetCapacity()) rects->Grow(static_cast<u32>(count) - rects->GetCapacity());
  for (i32 i = 0; i < count; ++i)
    if (!rects->AppendNew()) break;

  // Widths and the total height. An icon-only child takes a full row like
  // any other, so it is counted here too.
  double widestLeft = 0, widestRight = 0, total = 0;
  MenuItem* item = count ? model->first : nullptr;
  for (i32 i = 0; item && i < count; ++i, item = MenuItem::Next(item)) {
    if (item->flags & kMenuHidden) continue;
    if (item->type == kMenuTypeSeparator) {
      total += ThemeMenuSeparatorHeight();
      continue;
    }
    double left = 0, right = 0;
    if (const UiString* text = model->GetItemText(i))
      MeasurePopupItemText(font, text->text, static_cast<i32>(text->length), &left, &right);
    if (item->type == kMenuTypeSubmenu) right += row;
    if (left > widestLeft) widestLeft = left;
    if (right > widestRight) widestRight = right;
    total += row;
  }
  layout.contentWidth = static_cast<i32>(std::ceil(widestLeft + widestRight)) + 2 * ThemeMenuSpacing() + row + row / 2;
  layout.contentHeight = static_cast<i32>(total);

  // Rows from the top down.
  i32 top = layout.contentHeight;
  item = count ? model->first : nullptr;
  for (i32 i = 0; item && i < count && static_cast<u32>(i) < rects->GetCount(); ++i, item = MenuItem::Next(item)) {
    if (item->flags & kMenuHidden) continue;
    Rect& r = (*rects)[static_cast<u32>(i)];
    if (item->type == kMenuTypeSeparator) {
      const i32 h = ThemeMenuSeparatorHeight();
      r = {row + ThemeMenuSpacing(), top - h, layout.contentWidth - 2, top};
      top -= h;
    } else {
      r = {0, top - row, layout.contentWidth, top};
      top -= row;
    }
  }
  return layout;
}
