#include "render/canvas.h"
#include "ui/support/recording_theme_painter.h"

namespace {

std::u16string TextOf(const wchar16* text, i32 length) {
  return text && length > 0 ? std::u16string(text, static_cast<size_t>(length)) : std::u16string();
}

}  // namespace

std::vector<ThemeCall> CRecordingThemePainter::Calls(char op) const {
  std::vector<ThemeCall> out;
  for (const ThemeCall& c : calls)
    if (c.op == op) out.push_back(c);
  return out;
}

void CRecordingThemePainter::DrawDropDown(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text,
                                          i32 length) {
  Note('d', canvas, width, height, state, static_cast<i32>(state));
  calls.back().text = TextOf(text, length);
  if (draw) CThemePainter::DrawDropDown(canvas, width, height, state, text, length);
}

void CRecordingThemePainter::DrawListRow(CCanvas* canvas, const Rect& rect, u32 state, const wchar16* text,
                                         i32 length, i32 imageFrame) {
  Note('r', canvas, rect.right - rect.left, rect.bottom - rect.top, static_cast<u32>(imageFrame), static_cast<i32>(state));
  calls.back().rect = rect;
  calls.back().text = TextOf(text, length);
  if (draw) CThemePainter::DrawListRow(canvas, rect, state, text, length, imageFrame);
}

