#include "ui/support/recording_theme_painter.h"

#include "render/canvas.h"

CRecordingThemePainter::CRecordingThemePainter() { SetThemePainter(this); }
CRecordingThemePainter::~CRecordingThemePainter() { SetThemePainter(nullptr); }

ThemeCall& CRecordingThemePainter::Note(char op, CCanvas* canvas, i32 width, i32 height, u32 style, i32 state,
                                        const wchar16* text, i32 length) {
  Rect clip = {0, 0, 0, 0};
  canvas->GetClipRect(&clip.left, &clip.top, &clip.right, &clip.bottom);
  ThemeCall call = {op, width, height, style, state, canvas->originX, canvas->originY, clip, {}, 0.0, {0, 0, 0, 0}, -1, 0};
  if (text) {
    if (length < 0)
      for (length = 0; text[length]; ++length) {
      }
    call.text.assign(text, text + length);
  }
  calls.push_back(call);
  return calls.back();
}

void CRecordingThemePainter::DrawFrame(CCanvas* canvas, i32 width, i32 height, u32 style, bool fill,
                                       i32 captionState, const CBitmap* image, const wchar16* title) {
  Note('f', canvas, width, height, style, captionState);
  if (draw) CThemePainter::DrawFrame(canvas, width, height, style, fill, captionState, image, title);
}

void CRecordingThemePainter::DrawCaption(CCanvas* canvas, i32 width, i32 height, u32 style, i32 captionState) {
  Note('c', canvas, width, height, style, captionState);
  if (draw) CThemePainter::DrawCaption(canvas, width, height, style, captionState);
}

void CRecordingThemePainter::DrawButton(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text,
                                        i32 length, i32 imageFrame, u32 colour) {
  ThemeCall& c = Note('b', canvas, width, height, state, static_cast<i32>(state), text, length);
  c.image = imageFrame;
  c.colour = colour;
  if (draw) CThemePainter::DrawButton(canvas, width, height, state, text, length, imageFrame, colour);
}

void CRecordingThemePainter::DrawCheckBox(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text,
                                          i32 length) {
  Note('k', canvas, width, height, state, static_cast<i32>(state), text, length);
  if (draw) CThemePainter::DrawCheckBox(canvas, width, height, state, text, length);
}

void CRecordingThemePainter::DrawDropDown(CCanvas* canvas, i32 width, i32 height, u32 state, const wchar16* text,
                                          i32 length, i32 iconFrame) {
  Note('d', canvas, width, height, state, static_cast<i32>(state), text, length).image = iconFrame;
  if (draw) CThemePainter::DrawDropDown(canvas, width, height, state, text, length, iconFrame);
}

void CRecordingThemePainter::DrawProgressBar(CCanvas* canvas, i32 width, i32 height, double fraction, u32 colour) {
  Note('p', canvas, width, height, colour, 0).value = fraction;
  if (draw) CThemePainter::DrawProgressBar(canvas, width, height, fraction, colour);
}

void CRecordingThemePainter::DrawBarBackground(CCanvas* canvas, i32 width, i32 height, bool grip) {
  Note('g', canvas, width, height, 0, 0).value = grip ? 1.0 : 0.0;
  if (draw) CThemePainter::DrawBarBackground(canvas, width, height, grip);
}

void CRecordingThemePainter::DrawBarItem(CCanvas* canvas, const Rect& item, const wchar16* text, i32 length,
                                         i32 imageFrame) {
  ThemeCall& c = Note('i', canvas, item.right - item.left, item.bottom - item.top, 0, 0, text, length);
  c.item = item;
  c.image = imageFrame;
  if (draw) CThemePainter::DrawBarItem(canvas, item, text, length, imageFrame);
}
