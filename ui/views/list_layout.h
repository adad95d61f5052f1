// Where the items of a list view lie: a single column of full-width rows,
// or square cells that wrap at the view width. Item 0 is at the top left;
// in y-up view coordinates row 0 is the highest, and a list shorter than
// its view hangs from the view's top edge with the empty band below it.
// Portable.
#pragma once
#include "render/rect.h"
#include "ui/windows/frame/ui_types.h"

// List modes (CListView::mode).
constexpr u32 kListRows = 0x1;
constexpr u32 kListIcons = 0x2;
constexpr u32 kListDetails = 0x4;
constexpr u32 kListSingleSelect = 0x20;  // Ctrl does not toggle
constexpr u32 kListWholeCell = 0x40;     // the highlight covers the whole cell

struct ListGrid {
  i32 count;       // items
  i32 columns;     // at least 1
  i32 rows;        // ceil(count / columns)
  i32 cellWidth;   // the item width with several columns, else the view width
  i32 itemHeight;
  i32 viewWidth, viewHeight;
  Point offset;    // scroll offset of the visible part
  i32 lift;        // how far the rows are raised to hang from the top
};

// Columns: view width / item width in the icon grid (at least 1), else 1.
i32 ListColumns(u32 mode, i32 itemWidth, i32 viewWidth);
ListGrid MakeListGrid(i32 count, u32 mode, i32 itemWidth, i32 itemHeight, i32 viewWidth, i32 viewHeight,
                      Point offset);
// The item's cell in view coordinates.
Rect ListItemRect(const ListGrid& g, i32 index);
// The item under a point in view coordinates, -1 for none (the empty band,
// right of the last column, past the last item).
i32 ListItemAt(const ListGrid& g, i32 x, i32 y);
// The rows (from the top) and columns that meet the view: [first, last].
struct ListSpan {
  i32 firstRow, lastRow, firstColumn, lastColumn;
};
ListSpan ListVisibleSpan(const ListGrid& g);
