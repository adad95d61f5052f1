#include "ui/widgets/menu_bar_core.h"

#include "render/text/font.h"
#include "ui/windows/theme/theme_painter.h"

i32 CMenuBarCore::LayoutItems(CFont* font, i32 currentHeight) {
  const i32 count = model && model->count > 0 ? model->count : 0;
  itemRects.Clear();
  if (static_cast<u32>(count) > itemRects.GetCapacity())
    itemRects.Grow(static_cast<u32>(count) - itemRects.GetCapacity());
  for (i32 i = 0; i < count; ++i)
    if (!itemRects.AppendNew()) break;

  const bool fixed = (options & kFixedHeight) != 0;
  const double fontHeight = font ? font->lineHeight : 0.0;
  const double iconWidth = icons.frameWidth, iconHeight = icons.frameHeight;
  double barHeight = currentHeight;
  if (!fixed) {
    barHeight = fontHeight + 6;
    bool anyIcon = false;
    MenuItem* item = count ? model->first : nullptr;
    for (i32 i = 0; item && i < count; ++i, item = MenuItem::Next(item))
      if (item->icon != kMenuIconNone) anyIcon = true;
    if (anyIcon && iconHeight + 6 > barHeight) barHeight = iconHeight + 6;
    barHeight += 8;
  }

  double x = margins[0];
  MenuItem* item = count ? model->first : nullptr;
  for (i32 i = 0; item && i < count && static_cast<u32>(i) < itemRects.GetCount();
       ++i, item = MenuItem::Next(item)) {
    double h = fixed ? barHeight : fontHeight + 6;
    double iconSpace = 0;
    if (item->icon != kMenuIconNone) {
      iconSpace = iconWidth + 6;
      if (!fixed && iconHeight + 6 > h) h = iconHeight + 6;
    }
    double w = iconSpace;
    if (const UiString* text = model->GetItemText(i))
      w = (font ? font->MeasureText(text->text, static_cast<i32>(text->length)) : 0.0) + 12 + iconSpace;
    const double bottom = (barHeight - h) / 2;
    itemRects[static_cast<u32>(i)] = {static_cast<i32>(x), static_cast<i32>(bottom), static_cast<i32>(x + w),
                                      static_cast<i32>(bottom + h)};
    x += w;
  }
  return static_cast<i32>(barHeight);
}

void CMenuBarCore::AlignRightItems(i32 contentWidth) {
  if (!model) return;
  i32 edge = contentWidth - margins[2];
  const i32 n = model->count < static_cast<i32>(itemRects.GetCount()) ? model->count
                                                                     : static_cast<i32>(itemRects.GetCount());
  for (i32 i = n - 1; i >= 0; --i) {
    const MenuItem* item = model->GetItem(i);
    if (!item || !(item->flags & kMenuRightAligned)) continue;
    Rect& r = itemRects[static_cast<u32>(i)];
    const i32 w = r.right - r.left;
    r.left = edge - w;
    r.right = edge;
    edge -= w;
  }
}

i32 CMenuBarCore::HitTestItem(Point p) const {
  if (!model) return -1;
  const i32 n = model->count < static_cast<i32>(itemRects.GetCount()) ? model->count
                                                                     : static_cast<i32>(itemRects.GetCount());
  for (i32 i = 0; i < n; ++i)
    if (itemRects[static_cast<u32>(i)].Contains(p.x, p.y)) return i;
  return -1;
}

i32 CMenuBarCore::NeighbourItem(i32 from, bool forward) const {
  const i32 n = model ? model->count : 0;
  i32 at = from;
  for (i32 step = 0; step < n; ++step) {
    if (forward)
      at = (at < 0 || at >= n - 1) ? 0 : at + 1;
    else
      at = (at <= 0 || at > n - 1) ? n - 1 : at - 1;
    if (model->GetItemType(at) != kMenuTypeSeparator) return at;
  }
  return from;
}

void CMenuBarCore::PaintItems(CCanvas& canvas, bool focused, i32 width, i32 height) {
  CThemePainter* theme = ThemePainter();
  theme->DrawMenuBarBackground(&canvas, options, width, height);
  if (!model) return;
  const i32 n = model->count < static_cast<i32>(itemRects.GetCount()) ? model->count
                                                                     : static_cast<i32>(itemRects.GetCount());
  MenuItem* item = model->first;
  for (i32 i = 0; item && i < n; ++i, item = MenuItem::Next(item)) {
    u32 look = 0;
    if (i == hotItem && (focused || (state & (kHover | kPopupOpen)))) look |= kBarItemHot;
    if (i == hotItem && (state & kMenuMode)) look |= kBarItemOpen;
    theme->SetIcon(&canvas, &icons, &greyedIcons);
    if (item->type == kMenuTypeCommand && !(item->flags & kMenuEnabled)) look |= kBarItemDisabled;
    const UiString* text = model->GetItemText(i);
    theme->DrawMenuBarItem(&canvas, itemRects[static_cast<u32>(i)], look, text ? text->text : nullptr,
                           text ? static_cast<i32>(text->length) : 0, item->icon);
  }
}
