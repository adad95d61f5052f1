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
