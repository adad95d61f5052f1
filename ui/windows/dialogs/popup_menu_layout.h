// The rows of a popup menu: one row per child that is not hidden, from the
// top down. The row height (the font's line height + 10, at least 22) is
// also the width of the icon column at every row's left; half a row stays
// free at the right, and a submenu row reserves one more row height at its
// right for its marker. A separator is a thin row drawn from the icon
// column's edge. Rectangles are in the popup's content coordinates (y up,
// the content inset taken off). Portable.
#pragma once
#include "render/rect.h"
#include "runtime/array.h"

class CFont;
struct CMenuModel;

struct PopupLayout {
  i32 rowHeight;
  i32 contentWidth;
  i32 contentHeight;
};

// The content inset of a popup menu's window: frame border + inner spacing.
i32 PopupContentInset();

// Widths of a menu text in the font: the part before the first tab, and
// the part after it plus two space advances (0 without a tab). Without a
// font both are 0.
void MeasurePopupItemText(CFont* font, const wchar16* text, i32 length, double* left, double* right);

// Lays the model's children out with the font (null: no text widths, the
// least row height). rects gets one entry per child (hidden children and
// children past the end of the walk keep an empty rectangle); when it
// cannot grow, the rows it lacks are not placed.
PopupLayout LayoutPopupItems(CMenuModel* model, CFont* font, CArray<Rect>* rects);
