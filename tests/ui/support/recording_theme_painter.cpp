#include "ui/support/recording_theme_painter.h"

#include "render/canvas.h"

CRecordingThemePainter::CRecordingThemePainter() { SetThemePainter(this); }
CRecordingThemePainter::~CRecordingThemePainter() { SetThemePainter(nullptr); }

void CRecordingThemePainter::Note(char op, CCanvas* canvas, i32 width, i32 height, u32 style, i32 state) {
  Rect clip = {0, 0, 0, 0};
  canvas->GetClipRect(&clip.left, &clip.top, &clip.right, &clip.bottom);
  calls.push_back({op, width, height, style, state, canvas->originX, canvas->originY, clip});
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
  Note('b', canvas, width, height, state, static_cast<i32>(state));
  if (draw) CThemePainter::DrawButton(canvas, width, height, state, text, length, imageFrame, colour);
}
