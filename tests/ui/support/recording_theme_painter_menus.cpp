// The recording theme painter's menu drawings.
#include "render/canvas.h"
#include "ui/support/recording_theme_painter.h"

namespace {

MenuThemeCall MakeCall(char op, CCanvas* canvas, u32 state, Rect item, const wchar16* text, i32 length,
                       i32 image) {
  MenuThemeCall call = {op, state, item, std::u16string(), image, nullptr, 0, 0};
  if (text && length > 0) call.text.assign(text, static_cast<size_t>(length));
  if (canvas) {
    call.originX = canvas->originX;
    call.originY = canvas->originY;
  }
  return call;
}

}  // namespace

std::vector<MenuThemeCall> CRecordingThemePainter::MenuCalls(char op) const {
  std::vector<MenuThemeCall> out;
  for (const MenuThemeCall& call : menuCalls)
    if (call.op == op) out.push_back(call);
  return out;
}

void CRecordingThemePainter::SetIcon(const CImageStrip* strip, const CImageStrip* disabledStrip) {
  menuCalls.push_back(MakeCall('i', nullptr, 0, Rect{0, 0, 0, 0}, nullptr, 0, 0));
  menuCalls.back().strip = strip;
  if (draw) CThemePainter::SetIcon(strip, disabledStrip);
}

void CRecordingThemePainter::DrawMenuBackground(CCanvas* canvas, i32 width, i32 height, i32 band) {
  menuCalls.push_back(MakeCall('B', canvas, static_cast<u32>(band), Rect{0, 0, width, height}, nullptr, 0, 0));
  if (draw) CThemePainter::DrawMenuBackground(canvas, width, height, band);
}

void CRecordingThemePainter::DrawMenuItem(CCanvas* canvas, const Rect* item, u32 state, const wchar16* text,
                                          i32 length, i32 imageFrame) {
  menuCalls.push_back(MakeCall('m', canvas, state, item ? *item : Rect{0, 0, 0, 0}, text, length, imageFrame));
  if (draw) CThemePainter::DrawMenuItem(canvas, item, state, text, length, imageFrame);
}

void CRecordingThemePainter::DrawMenuBarBackground(CCanvas* canvas, u32 state, i32 width, i32 height) {
  menuCalls.push_back(MakeCall('g', canvas, state, Rect{0, 0, width, height}, nullptr, 0, 0));
  if (draw) CThemePainter::DrawMenuBarBackground(canvas, state, width, height);
}

void CRecordingThemePainter::DrawMenuBarItem(CCanvas* canvas, const Rect* item, u32 state, const wchar16* text,
                                             i32 length, i32 imageFrame) {
  menuCalls.push_back(MakeCall('r', canvas, state, item ? *item : Rect{0, 0, 0, 0}, text, length, imageFrame));
  if (draw) CThemePainter::DrawMenuBarItem(canvas, item, state, text, length, imageFrame);
}
