// Executors of the shape records (ops 5 to 15): each builds the record's
// outline and hands it with its paint to the scan converter.
#include <cmath>

#include "render/raster/rasterizer.h"
#include "render/raster/scan_converter.h"

namespace {

// Rows [floor(lo), ceil(hi)) cut to the band, computed in doubles so that
// no value outside the int range is ever converted. (Floor, not trunc: a
// shape ending at y = -0.5 reaches no row of the target.)
bool RowsBetween(double lo, double hi, i32 bandStart, i32 bandEnd, i32* first, i32* last) {
  if (!(lo == lo) || !(hi == hi)) return false;
  double f = std::floor(lo);
  double l = std::ceil(hi);
  if (f > bandEnd || l < bandStart) return false;
  *first = f > bandStart ? static_cast<i32>(f) : bandStart;
  *last = l < bandEnd ? static_cast<i32>(l) : bandEnd;
  return true;
}

// Draws an outline with the paint at *cursor (kinds up to maxKind).
void DrawOutline(CCanvas* canvas, const COutline& outline, const u8** cursor, const u8* end,
                 u32 maxKind, i32 first, i32 last, i32 band) {
  bool draw = first < last && outline.IsValid() && !outline.IsEmpty();
  WithPaint(cursor, end, maxKind, [&](const auto& paint) {
    if (draw) ScanOutline(canvas, outline, paint, first, last, band);
  });
}

constexpr u32 kAllKinds = kPaintElliptic;
// Rings and frames take kinds 0 to 3.
constexpr u32 kRingKinds = kPaintRadial;

}  // namespace

bool CRasterizer::RowsOfSpan(double yMin, double yMax, i32 bandStart, i32 bandEnd, i32* first,
                             i32* last) {
  return RowsBetween(yMin, yMax, bandStart, bandEnd, first, last);
}

bool CRasterizer::SkipPaint(const u8** cursor, const u8* end) {
  const u8* at = *cursor;
  if (end - at < 4) return false;
  u32 size = PaintRecordSize(ReadRecord<u32>(at));
  if (size == 0 || static_cast<size_t>(end - at) < size) return false;
  *cursor = at + size;
  return true;
}

void CRasterizer::FillCircle(CCanvas* canvas, const CircleRecord& r, const u8** cursor,
                             const u8* end, i32 first, i32 last, i32 band) {
  COutline o(RowCrossings::kSnapped);
  AddEllipseOutline(&o, r.cx, r.cy, r.r, r.r, 0.0, false);
  DrawOutline(canvas, o, cursor, end, kAllKinds, first, last, band);
}

void CRasterizer::FillRing(CCanvas* canvas, const RingRecord& r, const u8** cursor,
                           const u8* end, i32 first, i32 last, i32 band) {
  COutline o(RowCrossings::kSnapped);
  if (r.width >= r.r) {
    AddEllipseOutline(&o, r.cx, r.cy, r.r, r.r, 0.0, false);
  } else if (r.width > 0.0) {
    AddEllipseOutline(&o, r.cx, r.cy, r.r, r.r, 0.0, false);
    AddEllipseOutline(&o, r.cx, r.cy, r.r - r.width, r.r - r.width, 0.0, true);
  }
  DrawOutline(canvas, o, cursor, end, kRingKinds, first, last, band);
}

void CRasterizer::FillEllipse(CCanvas* canvas, const EllipseRecord& r, const u8** cursor,
                              const u8* end, i32 first, i32 last, i32 band) {
  COutline o(RowCrossings::kSnapped);
  AddEllipseOutline(&o, r.cx, r.cy, r.rx, r.ry, 0.0, false);
  DrawOutline(canvas, o, cursor, end, kAllKinds, first, last, band);
}

void CRasterizer::FillEllipseRing(CCanvas* canvas, const EllipseRingRecord& r,
                                  const u8** cursor, const u8* end, i32 first, i32 last,
                                  i32 band) {
  COutline o(RowCrossings::kSnapped);
  double m = r.rx < r.ry ? r.rx : r.ry;
  if (r.width >= m) {
    AddEllipseOutline(&o, r.cx, r.cy, r.rx, r.ry, 0.0, false);
  } else if (r.width > 0.0) {
    AddEllipseOutline(&o, r.cx, r.cy, r.rx, r.ry, 0.0, false);
    AddEllipseOutline(&o, r.cx, r.cy, r.rx - r.width, r.ry - r.width, 0.0, true);
  }
  DrawOutline(canvas, o, cursor, end, kRingKinds, first, last, band);
}

void CRasterizer::FillRotatedEllipse(CCanvas* canvas, const RotatedEllipseRecord& r,
                                     const u8** cursor, const u8* end, i32 first, i32 last,
                                     i32 band) {
  COutline o(RowCrossings::kSnapped);
  AddEllipseOutline(&o, r.cx, r.cy, r.a, r.b, r.angle, false);
  DrawOutline(canvas, o, cursor, end, kAllKinds, first, last, band);
}

void CRasterizer::FillRotatedEllipseRing(CCanvas* canvas, const RotatedEllipseRingRecord& r,
                                         const u8** cursor, const u8* end, i32 first, i32 last,
                                         i32 band) {
  COutline o(RowCrossings::kSnapped);
  double m = r.a < r.b ? r.a : r.b;
  if (r.width >= m) {
    AddEllipseOutline(&o, r.cx, r.cy, r.a, r.b, r.angle, false);
  } else if (r.width > 0.0) {
    AddEllipseOutline(&o, r.cx, r.cy, r.a, r.b, r.angle, false);
    AddEllipseOutline(&o, r.cx, r.cy, r.a - r.width, r.b - r.width, r.angle, true);
  }
  DrawOutline(canvas, o, cursor, end, kRingKinds, first, last, band);
}

void CRasterizer::FillSector(CCanvas* canvas, const SectorRecord& r, const u8** cursor,
                             const u8* end, i32 first, i32 last, i32 band) {
  COutline o(RowCrossings::kSnapped);
  AddSectorOutline(&o, r.cx, r.cy, r.a, r.b, r.startAngle, r.endAngle, r.rotation);
  DrawOutline(canvas, o, cursor, end, kAllKinds, first, last, band);
}

void CRasterizer::FillSegment(CCanvas* canvas, const SegmentRecord& r, const u8** cursor,
                              const u8* end, i32 first, i32 last, i32 band) {
  COutline o(RowCrossings::kSnapped);
  AddSegmentOutline(&o, r.cx, r.cy, r.a, r.b, r.startAngle, r.endAngle, r.rotation);
  DrawOutline(canvas, o, cursor, end, kAllKinds, first, last, band);
}

void CRasterizer::FillRect(CCanvas* canvas, const RectRecord& r, const u8** cursor,
                           const u8* end, i32 first, i32 last, i32 band) {
  COutline o;  // its columns are cut exactly where the edges are
  AddRectOutline(&o, r.x, r.y, r.w, r.h);
  DrawOutline(canvas, o, cursor, end, kAllKinds, first, last, band);
}

void CRasterizer::FillRoundRect(CCanvas* canvas, const RoundRectRecord& r, const u8** cursor,
                                const u8* end, i32 first, i32 last, i32 band) {
  COutline o(RowCrossings::kSnapped);
  AddRoundRectOutline(&o, r.x, r.y, r.w, r.h, r.radius, r.angle, false);
  DrawOutline(canvas, o, cursor, end, kAllKinds, first, last, band);
}

void CRasterizer::FrameRoundRect(CCanvas* canvas, const RoundRectFrameRecord& r,
                                 const u8** cursor, const u8* end, i32 first, i32 last,
                                 i32 band) {
  COutline o(RowCrossings::kSnapped);
  AddRoundRectFrameOutline(&o, r.x, r.y, r.w, r.h, r.radius, r.angle, r.frameWidth);
  DrawOutline(canvas, o, cursor, end, kRingKinds, first, last, band);
}

void CRasterizer::FillRows(CCanvas* canvas, u32 colour, i32 rowStart, i32 rowEnd, i32 band) {
  const Rect& c = canvas->bandClips[band];
  i32 left = c.left > 0 ? c.left : 0;
  i32 right = c.right < canvas->width ? c.right : canvas->width;
  if (rowStart < 0) rowStart = 0;
  if (rowEnd > canvas->height) rowEnd = canvas->height;
  if (right <= left) return;
  for (i32 y = rowStart; y < rowEnd; ++y) {
    u32* row = reinterpret_cast<u32*>(reinterpret_cast<u8*>(canvas->pixels) +
                                      static_cast<size_t>(y) * static_cast<size_t>(canvas->stride));
    for (i32 x = left; x < right; ++x) row[x] = colour;
  }
}
