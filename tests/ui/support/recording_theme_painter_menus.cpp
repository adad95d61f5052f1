// The recording theme painter's menu drawings.
#include "ui/support/recording_theme_painter.h"

std::vector<ThemeCall> CRecordingThemePainter::CallsOf(char op) const {
  std::vector<ThemeCall> out;
  for (const ThemeCall& call : calls)
    if (call.op == op) out.push_back(call);
  return out;
}

void CRecordingThemePainter::DrawMenuBackground(CCanvas* canvas, i32 width, i32 height, i32 band) {
  Note('B', canvas, width, height, 0, band);
  if (draw) CThemePainter::DrawMenuBackground(canvas, width, height, band);
}

void CRecordingThemePainter::DrawMenuItem(CCanvas* canvas, const Rect& item, u32 state, const wchar16* text,
                                          i32 length, i32 imageFrame) {
  ThemeCall& call = Note('m', canvas, 0, 0, state, static_cast<i32>(state), text, length);
  call.item = item;
  call.image = imageFrame;
  if (draw) CThemePainter::DrawMenuItem(canvas, item, state, text, length, imageFrame);
}

void CRecordingThemePainter::DrawMenuBarBackground(CCanvas* canvas, u32 state, i32 width, i32 height) {
  Note('G', canvas, width, height, state, static_cast<i32>(state));
  if (draw) CThemePainter::DrawMenuBarBackground(canvas, state, width, height);
}

void CRecordingThemePainter::DrawMenuBarItem(CCanvas* canvas, const Rect& item, u32 state, const wchar16* text,
                                             i32 length, i32 imageFrame) {
  ThemeCall& call = Note('r', canvas, 0, 0, state, static_cast<i32>(state), text, length);
  call.item = item;
  call.image = imageFrame;
  if (draw) CThemePainter::DrawMenuBarItem(canvas, item, state, text, length, imageFrame);
}
