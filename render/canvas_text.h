// What the canvas and the command stream need of the font and text code.
// Declared here so that the canvas core builds on its own; the font code
// defines these.
#pragma once
#include "runtime/types.h"

class CCanvas;
class CFont;
struct TextRunRecord;

// The default UI font with one more reference for the caller; may be null.
CFont* GetDefaultFont();
// Gives one reference back (CFont::Release); null is accepted.
void ReleaseCanvasFont(CFont* font);
// Adds one reference; null is accepted.
void AddCanvasFontReference(CFont* font);
// CFont::MeasureTextBox: the box of a run drawn with the pen at (*left,
// *bottom); fills all four values.
void MeasureTextRunBox(CFont* font, const wchar16* text, i32 length, double* left,
                       double* bottom, double* width, double* height);

namespace CRasterizer {
// Executor of a text record for one band. record.string points at the run
// (a private copy of the record: the stream is never written). The box is
// the record's box already clamped to the band's clip slot and current rows
// [boxLeft, boxRight) x [boxBottom, boxTop). colour is the run's paint.
void DrawTextRun(CCanvas* canvas, const TextRunRecord& record, u32 colour, i32 boxLeft,
                 i32 boxBottom, i32 boxRight, i32 boxTop, i32 band);
}  // namespace CRasterizer
