// The recording theme painter's menu drawings.
#include "render/canvas.h"
#include "ui/support/recording_theme_painter.h"

namespace {

MenuThemeCall MakeCall(char op, CCanvas* canvas, u32 state, Rect item, const wchar16* text = nullptr,
                       i32 length = 0, i32 image = 0) {
  MenuThemeCall call = {op, state, item, std::u16string(), image, canvas->originX};
  if (text && length > 0) call.text.assign(text, static_cast<size_t>(length));
  return call;
}

}  // namespace

std::vector<MenuThemeCall> CRecordingThemePainter::MenuCalls(char op) const {
  std::vector<MenuThemeCall> out;
  for (const MenuThemeCall& call : menuCalls)
    if (call.op == op) out.push_back(call);
  return out;
}

void CRecordingThemePainter::DrawMenuBackground(CCanvas* canvas, i32 width, i32 height, i32 band) {
  menuCalls.push_back(MakeCall('B', canvas, static_cast<u32>(band), {0, 0, width, height}));
}

void CRecordingThemePainter::DrawMenuItem(CCanvas* canvas, const Rect* item, u32 state, const wchar16* text,
                                          i32 length, i32 imageFrame) {
  menuCalls.push_back(MakeCall('m', canvas, state, *item, text, length, imageFrame));
}

void CRecordingThemePainter::DrawMenuBarBackground(CCanvas* canvas, u32 state, i32 width, i32 height) {
  menuCalls.push_back(MakeCall('g', canvas, state, {0, 0, width, height}));
}

void CRecordingThemePainter::DrawMenuBarItem(CCanvas* canvas, const Rect* item, u32 state, const wchar16* text,
                                             i32 length, i32 imageFrame) {
  menuCalls.push_back(MakeCall('r', canvas, state, *item, text, length, imageFrame));
}
