#include "render/canvas.h"
#include "ui/support/recording_theme_painter.h"

void CRecordingThemePainter::DrawListRow(CCanvas* canvas, const Rect& row, u32 state, const wchar16* text,
                                         i32 length, i32 imageFrame) {
  ThemeCall& c = Note('w', canvas, row.right - row.left, row.bottom - row.top, state, static_cast<i32>(state), text,
                      length);
  c.item = row;
  c.image = imageFrame;
  if (draw) CThemePainter::DrawListRow(canvas, row, state, text, length, imageFrame);
}

void CRecordingThemePainter::DrawListItem(CCanvas* canvas, const Rect& item, u32 state, const wchar16* text,
                                          i32 length) {
  ThemeCall& c = Note('l', canvas, item.right - item.left, item.bottom - item.top, state, static_cast<i32>(state),
                      text, length);
  c.item = item;
  if (draw) CThemePainter::DrawListItem(canvas, item, state, text, length);
}

void CRecordingThemePainter::DrawItemHighlight(CCanvas* canvas, const Rect& rect, double radius, u32 colour,
                                               bool selected, double inset) {
  ThemeCall& c = Note('h', canvas, rect.right - rect.left, rect.bottom - rect.top, 0, selected ? 1 : 0);
  c.item = rect;
  c.colour = colour;
  c.value = radius;
  if (draw) CThemePainter::DrawItemHighlight(canvas, rect, radius, colour, selected, inset);
}
