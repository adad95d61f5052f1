// What a page measured from its texts, measured again for a new language:
// every label and check box measures its text anew (a link is clicked
// where its text lies) and every menu bar lays its items out for their new
// widths, through the page's whole widget tree. Pages held inside a page
// (job entries, track rows) hear of the switch through their own holders.
// Portable.
#pragma once
#include "ui/widgets/indirect_children.h"
#include "ui/widgets/widget_traits.h"

KELVANE_WIDGET_TRAIT(HasMeasuredText, widget_traits::Fake<T>().LayoutText())
KELVANE_WIDGET_TRAIT(HasItemLayout, widget_traits::Fake<T>().Layout())

template <class W>
void MeasurePageTextsAgain(W& widget) {
  if constexpr (HasMeasuredText<W>::value) widget.LayoutText();
  if constexpr (HasItemLayout<W>::value) widget.Layout();
  if constexpr (HasChildren<W>::value && !IsIndirectChildren<W>::value)
    ForEachChild(widget, [](auto& child) {
      MeasurePageTextsAgain(child);
      return false;
    });
}
