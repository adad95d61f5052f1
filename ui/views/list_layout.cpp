#include "ui/views/list_layout.h"

namespace {

// Floor division for a positive divisor.
i32 FloorDiv(i32 a, i32 b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

i32 ListColumns(u32 mode, i32 itemWidth, i32 viewWidth) {
  if (!(mode & kListIcons) || itemWidth < 1) return 1;
  const i32 n = viewWidth / itemWidth;
  return n < 1 ? 1 : n;
}

ListGrid MakeListGrid(i32 count, u32 mode, i32 itemWidth, i32 itemHeight, i32 viewWidth, i32 viewHeight,
                      Point offset) {
  ListGrid g;
  g.count = count > 0 ? count : 0;
  g.columns = ListColumns(mode, itemWidth, viewWidth);
  g.rows = (g.count + g.columns - 1) / g.columns;
  g.cellWidth = g.columns > 1 ? itemWidth : viewWidth;
  g.itemHeight = itemHeight;
  g.viewWidth = viewWidth;
  g.viewHeight = viewHeight;
  g.offset = offset;
  const i64 all = static_cast<i64>(g.rows) * itemHeight;
  g.lift = viewHeight > all ? static_cast<i32>(viewHeight - all) : 0;
  return g;
}

Rect ListItemRect(const ListGrid& g, i32 index) {
  const i32 row = index / g.columns, column = index % g.columns;
  const i32 x = g.cellWidth * column - g.offset.x;
  const i32 y = g.itemHeight * (g.rows - 1 - row) - g.offset.y + g.lift;
  return {x, y, x + g.cellWidth, y + g.itemHeight};
}

i32 ListItemAt(const ListGrid& g, i32 x, i32 y) {
  if (g.itemHeight <= 0 || g.count <= 0) return -1;
  x += g.offset.x;
  y += g.offset.y - g.lift;
  if (x < 0 || y < 0) return -1;  // left of the cells, or the empty band below the rows
  const i32 row = g.rows - y / g.itemHeight - 1;
  if (row < 0) return -1;
  const i32 column = g.columns > 1 ? (g.cellWidth > 0 ? x / g.cellWidth : 0) : 0;
  if (column >= g.columns) return -1;
  const i64 index = static_cast<i64>(row) * g.columns + column;
  return index < g.count ? static_cast<i32>(index) : -1;
}

ListSpan ListVisibleSpan(const ListGrid& g) {
  ListSpan s = {0, -1, 0, -1};
  if (g.itemHeight <= 0 || g.rows <= 0) return s;
  // Rows counted from the bottom whose band meets [0, viewHeight).
  const i32 base = g.offset.y - g.lift;
  i32 low = FloorDiv(base, g.itemHeight);
  i32 high = FloorDiv(base + g.viewHeight - 1, g.itemHeight);
  if (low < 0) low = 0;
  if (high > g.rows - 1) high = g.rows - 1;
  if (low > high) return s;
  s.firstRow = g.rows - 1 - high;
  s.lastRow = g.rows - 1 - low;
  if (g.columns > 1 && g.cellWidth > 0) {
    s.firstColumn = g.offset.x / g.cellWidth;
    s.lastColumn = (g.offset.x + g.viewWidth - 1) / g.cellWidth;
    if (s.lastColumn > g.columns - 1) s.lastColumn = g.columns - 1;
  } else {
    s.lastColumn = 0;
  }
  return s;
}
