// The executors of the command stream, one per record kind, called by the
// band walk (CDisplayList::RenderBand) for one band and a row range already
// narrowed to that band. Shape executors read the paint record that follows
// the shape at *cursor and advance the cursor past it. Portable.
#pragma once
#include "render/display_records.h"
#include "runtime/types.h"

class CCanvas;

namespace CRasterizer {

// Row test: rows [first, last) of a record whose y extent is [yMin, yMax],
// cut to the band rows [bandStart, bandEnd); false when the record misses
// the band (or has a NaN extent).
bool RowsOfSpan(double yMin, double yMax, i32 bandStart, i32 bandEnd, i32* first, i32* last);

// Shape executors (ops 5 to 15).
void FillCircle(CCanvas* canvas, const CircleRecord& r, const u8** cursor, const u8* end,
                i32 first, i32 last, i32 band);
void FillRing(CCanvas* canvas, const RingRecord& r, const u8** cursor, const u8* end, i32 first,
              i32 last, i32 band);
void FillEllipse(CCanvas* canvas, const EllipseRecord& r, const u8** cursor, const u8* end,
                 i32 first, i32 last, i32 band);
void FillEllipseRing(CCanvas* canvas, const EllipseRingRecord& r, const u8** cursor,
                     const u8* end, i32 first, i32 last, i32 band);
void FillRotatedEllipse(CCanvas* canvas, const RotatedEllipseRecord& r, const u8** cursor,
                        const u8* end, i32 first, i32 last, i32 band);
void FillRotatedEllipseRing(CCanvas* canvas, const RotatedEllipseRingRecord& r,
                            const u8** cursor, const u8* end, i32 first, i32 last, i32 band);
void FillSector(CCanvas* canvas, const SectorRecord& r, const u8** cursor, const u8* end,
                i32 first, i32 last, i32 band);
void FillSegment(CCanvas* canvas, const SegmentRecord& r, const u8** cursor, const u8* end,
                 i32 first, i32 last, i32 band);
void FillRect(CCanvas* canvas, const RectRecord& r, const u8** cursor, const u8* end, i32 first,
              i32 last, i32 band);
void FillRoundRect(CCanvas* canvas, const RoundRectRecord& r, const u8** cursor, const u8* end,
                   i32 first, i32 last, i32 band);
void FrameRoundRect(CCanvas* canvas, const RoundRectFrameRecord& r, const u8** cursor,
                    const u8* end, i32 first, i32 last, i32 band);

// Steps the cursor over the paint record at it; false when no valid paint
// record fits before end (the walk then stops).
bool SkipPaint(const u8** cursor, const u8* end);

// Op 16: plain store of the colour into rows [rowStart, rowEnd) of the
// band's clip columns.
void FillRows(CCanvas* canvas, u32 colour, i32 rowStart, i32 rowEnd, i32 band);

// Op 20, defined by the bitmap code: rows already narrowed to the band.
void DrawBitmap(CCanvas* canvas, const BitmapRecord& record, i32 rowStart, i32 rowEnd, i32 band);

// Blends one colour into count pixels at *dst with one coverage value each
// (clamped to [0, 1]) and advances *dst past them. A pixel whose weight
// comes out 0 is left as it is.
void BlendRun(u32** dst, const double* coverage, u32 colour, i32 count);

}  // namespace CRasterizer
