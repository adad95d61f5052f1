// The popup menu's rows on a font whose every character is 10 pixels wide:
// the widths that add up to the content width, the heights that add up to
// the content height, and the rows that fill it from the top down with no
// gap. Portable.
#include <gtest/gtest.h>

#include <string>

#include "ui/support/fixed_font.h"
#include "ui/support/menu_blocks.h"
#include "ui/windows/dialogs/popup_menu_layout.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

struct PopupMenuLayout : testing::Test {
  void SetUp() override {
    ASSERT_TRUE(fixed.font);
    row = static_cast<i32>(fixed.font->lineHeight + 10);
    if (row < 22) row = 22;
  }
  CFixedFontScope fixed;
  i32 row = 0;
};

TEST_F(PopupMenuLayout, TheTextIsCutAtItsFirstTabAndTheShortcutGainsTwoSpaces) {
  const struct {
    std::u16string text;
    double left, right;
  } cases[] = {
      {u"Open\tCtrl+O", 40, 60 + 20},
      {u"Erase rewritable disc...", 240, 0},  // no tab: no shortcut, no spaces
      {u"\tDel", 0, 30 + 20},
      {u"Cut\t", 30, 0 + 20},
      {u"", 0, 0},
  };
  for (const auto& c : cases) {
    double left = -1, right = -1;
    MeasurePopupItemText(fixed.font, c.text.c_str(), static_cast<i32>(c.text.size()), &left, &right);
    EXPECT_EQ(c.left, left) << std::string(c.text.begin(), c.text.end());
    EXPECT_EQ(c.right, right) << std::string(c.text.begin(), c.text.end());
  }
  // Only the length given counts: a tab beyond it is not seen.
  double left = -1, right = -1;
  MeasurePopupItemText(fixed.font, u"Open\tCtrl+O", 3, &left, &right);
  EXPECT_TRUE(left == 30 && right == 0);
  MeasurePopupItemText(nullptr, u"Open\tCtrl+O", 11, &left, &right);
  EXPECT_TRUE(left == 0 && right == 0) << "no font, no widths";
}

// The widest text part and the widest shortcut part come from different
// rows, so the width is their sum and not the widest row; a hidden row's
// longer text counts for nothing.
TEST_F(PopupMenuLayout, WidthsAndHeightsAddUpAndTheRowsFillTheContentFromTheTop) {
  CMenuBlock block(Submenu(1, {Command(23),                                    // "Open", "Ctrl+O": 40 | 80
                               Separator(),                                    // 5 high
                               Submenu(20, {Command(21)}),                     // "New Project": 110 | row
                               Command(53, kMenuEnabled | kMenuHidden),        // 300, hidden
                               Command(52, 0),                                 // 240, disabled
                               Command(48, kMenuEnabled | kMenuNoText, 14),    // icon only
                               Separator(kMenuHidden),
                               Command(24)}));                                 // "Save", "Ctrl+S": 40 | 80
  CArray<Rect> rects;
  const PopupLayout layout = LayoutPopupItems(block.Root(), fixed.font, &rects);
  const i32 spacing = ThemeMenuSpacing(), separator = ThemeMenuSeparatorHeight();
  EXPECT_EQ(row, layout.rowHeight);
  EXPECT_EQ(240 + 80 + 2 * spacing + row + row / 2, layout.contentWidth);
  EXPECT_EQ(5 * row + separator, layout.contentHeight) << "five rows and one separator";
  ASSERT_EQ(8u, rects.GetCount()) << "one rectangle per child, hidden ones too";

  const struct {
    bool shown, separator;
  } rows[] = {{true, false}, {true, true}, {true, false}, {false, false},
              {true, false}, {true, false}, {false, true}, {true, false}};
  i32 top = layout.contentHeight;
  for (u32 i = 0; i < 8; ++i) {
    const Rect& r = rects[i];
    if (!rows[i].shown) {
      EXPECT_TRUE(r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0) << i;
      continue;
    }
    EXPECT_EQ(top, r.bottom) << i << ": starts where the row above ended";
    if (rows[i].separator) {
      EXPECT_EQ(separator, r.bottom - r.top) << i;
      EXPECT_EQ(row + spacing, r.left) << i << ": from the icon column's edge";
      EXPECT_EQ(layout.contentWidth - 2, r.right) << i;
    } else {
      EXPECT_EQ(row, r.bottom - r.top) << i;
      EXPECT_TRUE(r.left == 0 && r.right == layout.contentWidth) << i << ": the whole width";
    }
    top = r.top;
  }
  EXPECT_EQ(0, top) << "the last row ends where the content ends";
}

// A submenu's marker takes one more row height at the right, also when it
// has no shortcut; without a font the rows keep the least height.
TEST_F(PopupMenuLayout, ASubmenuMarkerWidensTheShortcutColumnByOneRow) {
  CMenuBlock block(Submenu(1, {Command(52), Submenu(20, {Command(21)})}));
  CArray<Rect> rects;
  const PopupLayout withMarker = LayoutPopupItems(block.Root(), fixed.font, &rects);
  EXPECT_EQ(240 + row + 2 * ThemeMenuSpacing() + row + row / 2, withMarker.contentWidth);
  EXPECT_EQ(2 * row, withMarker.contentHeight);
  EXPECT_EQ(withMarker.contentWidth, rects[1].right);

  const PopupLayout bare = LayoutPopupItems(block.Root(), nullptr, &rects);
  EXPECT_EQ(22, bare.rowHeight);
  EXPECT_EQ(22 + 2 * ThemeMenuSpacing() + 22 + 11, bare.contentWidth) << "the marker, the icon column, half a row";
  EXPECT_EQ(44, bare.contentHeight);
  EXPECT_TRUE(rects[0].top == 22 && rects[0].bottom == 44 && rects[1].top == 0 && rects[1].bottom == 22);

  CMenuBlock empty(Submenu(1, {}));
  const PopupLayout none = LayoutPopupItems(empty.Root(), fixed.font, &rects);
  EXPECT_EQ(0u, rects.GetCount());
  EXPECT_EQ(0, none.contentHeight);
}

}  // namespace
