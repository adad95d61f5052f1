// The state of a menu bar and what it computes without its window: the item
// rectangles, the item under a point, the neighbour for Left and Right and
// the painting of the items. The control itself, with its mouse, keys, menu
// mode and popups, is CMenuBar (menu_bar.h). Portable.
//
// Item rectangles are in the bar's content coordinates (y up), half-open,
// one per child of the model (a bar shows hidden children too).
#pragma once
#include "render/image_strip.h"
#include "runtime/array.h"
#include "ui/widgets/kept_widget.h"
#include "ui/widgets/menu_model.h"
#include "ui/widgets/widget_callback.h"
#include "ui/widgets/widget_record.h"

class CCanvas;
class CFont;

class CMenuBarCore {
 public:
  // State bits.
  static constexpr u8 kHover = 0x01;        // pointer over the bar, the bar pressed
  static constexpr u8 kMenuMode = 0x02;     // the hot item shows open or pressed
  static constexpr u8 kPopupOpen = 0x04;
  static constexpr u8 kMove = 0x08;         // the popup asked for the neighbouring item
  static constexpr u8 kCancelled = 0x10;    // Esc in the popup
  static constexpr u8 kFromKeyboard = 0x20; // menu mode entered from the keyboard
  static constexpr u8 kPressed = 0x40;      // a press on the bar awaits its release
  // Options: 0x1 and 0x2 are handed to the theme for the background (0x2
  // the fill, 0x1 the outline); 0x4 keeps the bar's height.
  static constexpr u32 kFixedHeight = 0x4;

  CArray<Rect> itemRects;
  WidgetCallback<u32> command;      // a command item fired (its id)
  WidgetCallback<i32, i32> hover;   // (id, hint), (-1, -1) popup closed, (-3, -1) menu mode over
  WidgetCallback<> opening;         // menu mode begins
  u8 state = 0;
  i32 hotItem = -1;
  u32 options = 3;
  CMenuModel* model = nullptr;  // not owned; null shows nothing
  CImageStrip icons;
  CImageStrip greyedIcons;
  // Had the focus when menu mode began (the bar itself too); null once
  // that widget has gone.
  CKeptWidget savedFocus;
  // Left margin (x of the first item), unused, right margin (gap kept at
  // the right edge for right-aligned items), unused.
  i32 margins[4] = {4, 0, 0, 0};

  // Lays the children out from the left margin in the font (null: no text
  // width and height) and answers the bar's height: the current one with
  // kFixedHeight, else font height + 6 (or icon height + 6 when an item
  // has an icon and that is more) + 8.
  i32 LayoutItems(CFont* font, i32 currentHeight);
  // Moves the right-aligned items, last first, against contentWidth less
  // the right margin, keeping their widths and order.
  void AlignRightItems(i32 contentWidth);
  // The first item whose rectangle holds the point, -1 when none.
  i32 HitTestItem(Point point) const;
  // The next (or previous) child from `from`, wrapping (from -1 forward to
  // the first, backward to the last) and passing over separators, at most
  // one full round; `from` when there is nothing else.
  i32 NeighbourItem(i32 from, bool forward) const;
  bool IsSubmenuItem(i32 n) const { return model && model->GetItemType(n) == kMenuTypeSubmenu; }
  // The theme's drawing of the background and of every item; focused: the
  // bar holds the keyboard focus.
  void PaintItems(CCanvas& canvas, bool focused, i32 width, i32 height);
};
