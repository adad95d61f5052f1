#include <gtest/gtest.h>

#include <cmath>

#include "render/text/font.h"
#include "ui/support/menu_blocks.h"
#include "ui/windows/popup_menu_layout.h"

namespace {

// Rows from the top down in the default font (none in the native build):
// a row per shown child, a thin row per separator, nothing for a hidden
// child, and a full row, counted in the height, for an icon-only child.
TEST(PopupMenuLayoutTest, RowsSeparatorsHiddenAndIconOnlyChildren) {
  CFontRef font(GetDefaultFont());
  const i32 row = font.Get() && font.Get()->lineHeight + 10 > 22 ? static_cast<i32>(font.Get()->lineHeight + 10) : 22;
  CMenuBlock three(Submenu(1, {Command(23), Command(24), Command(27)}));
  CArray<Rect> rects;
  PopupLayout layout = LayoutPopupItems(three.Root(), font.Get(), &rects);
  EXPECT_EQ(row, layout.rowHeight);
  EXPECT_EQ(3 * row, layout.contentHeight);
  for (u32 i = 0; i < 3; ++i) {
    const i32 top = 3 * row - static_cast<i32>(i) * row;
    EXPECT_TRUE(rects[i].left == 0 && rects[i].right == layout.contentWidth && rects[i].bottom == top &&
                rects[i].top == top - row)
        << i;
  }

  CMenuBlock mixed(Submenu(1, {Command(23), Separator(), Command(24, kMenuHidden),
                               Command(48, kMenuEnabled | kMenuNoText, 14), Command(27)}));
  layout = LayoutPopupItems(mixed.Root(), font.Get(), &rects);
  ASSERT_EQ(5u, rects.GetCount());
  EXPECT_EQ(3 * row + 5, layout.contentHeight) << "three rows and a separator; the icon-only row counts";
  const Rect sep = rects[1];
  EXPECT_TRUE(sep.left == row + 4 && sep.right == layout.contentWidth - 2 && sep.bottom - sep.top == 5);
  EXPECT_TRUE(rects[2].IsEmpty()) << "hidden";
  EXPECT_EQ(0, rects[4].top) << "the last row ends on the content's lower edge";
}

// The left column is as wide as the widest text before a tab, the right as
// the widest part after one (plus two spaces), and a submenu adds a row
// height for its marker; both may come from different children.
TEST(PopupMenuLayoutTest, ColumnsTakeTheWidestPartsOfDifferentChildren) {
  CFontRef font(GetDefaultFont());
  CFont* f = font.Get();
  CMenuBlock menu(Submenu(1, {Command(55), Command(32), Submenu(20, {Command(21)})}));
  CArray<Rect> rects;
  const PopupLayout layout = LayoutPopupItems(menu.Root(), f, &rects);
  double left = 0, right = 0;
  MeasurePopupItemText(f, u"Copy\tCtrl+C", 11, &left, &right);
  const double copyRight = f ? f->MeasureText(u"Ctrl+C", 6) + 2 * f->spaceAdvance : 0;
  EXPECT_DOUBLE_EQ(f ? f->MeasureText(u"Copy", 4) : 0, left);
  EXPECT_DOUBLE_EQ(copyRight, right);
  const double widestLeft = f ? f->MeasureText(u"Device information", 18) : 0;
  const double widestRight = copyRight > layout.rowHeight ? copyRight : layout.rowHeight;
  const i32 expected = static_cast<i32>(std::ceil(widestLeft + widestRight)) + 8 + layout.rowHeight +
                       layout.rowHeight / 2;
  EXPECT_EQ(expected, layout.contentWidth);
}

}  // namespace
