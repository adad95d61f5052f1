// Execution of the command stream in row bands: the worker pool, Flush and
// the walk of the stream for one band.
#include <cmath>
#include <cstring>
#include <new>

#include "render/canvas.h"
#include "render/canvas_text.h"
#include "render/drawable.h"
#include "render/rasterizer.h"
#include "runtime/clock.h"
#include "runtime/heap.h"

namespace {

u32 BandWorkerThread(void* argument) {
  BandSlot* slot = static_cast<BandSlot*>(argument);
  for (;;) {
    if (slot->start.Wait(kWaitForever) != kWaitSignalled) {
      slot->dead = 1;
      slot->done.Set();
      return 0;
    }
    if (slot->quit) {
      slot->done.Set();
      return 0;
    }
    slot->list->RenderBand(slot);
    slot->done.Set();
  }
}

i32 MinI(i32 a, i32 b) { return a < b ? a : b; }

// A column as an i32, kept within +-1e9 (NaN gives 0).
i32 ColumnOf(double v) {
  if (!(v == v)) return 0;
  if (v > 1e9) return 1000000000;
  if (v < -1e9) return -1000000000;
  return static_cast<i32>(v);
}
i32 MaxI(i32 a, i32 b) { return a > b ? a : b; }

}  // namespace

bool CDisplayList::CreateWorkers() {
  i32 n = bandCount_ < 1 ? 1 : bandCount_;
  slots_ = static_cast<BandSlot*>(rt::malloc(static_cast<u32>(sizeof(BandSlot)) * n));
  if (!slots_) return false;
  for (i32 i = 0; i < n; ++i) {
    BandSlot* s = new (&slots_[i]) BandSlot();
    s->list = this;
    s->canvas = canvas_;
    s->band = i;
    s->rowStart = s->rowEnd = s->bandStart = s->bandEnd = 0;
    s->quit = 0;
    s->dead = 0;
  }
  slotCount_ = n;
  if (n < 2) return true;
  for (i32 i = 0; i < n; ++i) {
    BandSlot& s = slots_[i];
    if (!s.done.Create(false, false) || !s.start.Create(false, false) ||
        !s.thread.Start(BandWorkerThread, &s, kBandWorkerStackBytes)) {
      // Without a full pool every frame is drawn on the calling thread.
      for (i32 k = 0; k <= i; ++k) {
        if (!slots_[k].thread.IsStarted()) continue;
        slots_[k].quit = 1;
        slots_[k].start.Set();
        slots_[k].thread.Join();
      }
      return false;
    }
  }
  return true;
}

void CDisplayList::StopWorkers() {
  ReleaseHeldFonts();
  if (slots_) {
    for (i32 i = 0; i < slotCount_; ++i) {
      BandSlot& s = slots_[i];
      if (s.thread.IsStarted()) {
        s.quit = 1;
        s.start.Set();
        s.thread.Join();
      }
      s.~BandSlot();
    }
    rt::free(slots_);
  }
  slots_ = nullptr;
  slotCount_ = 0;
  workersOk_ = false;
  poolTried_ = false;
  strings_.Release();
  commands_.Release();
}

void CDisplayList::RunBandsInline(i32 rowStart, i32 rowEnd) {
  BandSlot local;
  BandSlot* s = slots_ ? &slots_[0] : &local;
  s->list = this;
  s->canvas = canvas_;
  s->band = 0;
  s->bandStart = s->rowStart = rowStart;
  s->bandEnd = s->rowEnd = rowEnd;
  RenderBand(s);
}

void CDisplayList::Flush(i32 requested) {
  if (!canvas_) return;
  RecordEnd();
  i32 n = MinI(requested, bandCount_);
  i32 start = touchedStart_, end = touchedEnd_;
  i32 rows = end - start;
  bool pool = workersOk_ && slots_ && slotCount_ >= n;
  if (pool)
    for (i32 i = 0; i < n; ++i)
      if (slots_[i].dead) pool = false;
  if (n < 2 || !pool) {
    RunBandsInline(start, end);
    return;
  }
  if (rows < n) {
    n = 1;
    slots_[0].bandStart = slots_[0].rowStart = start;
    slots_[0].bandEnd = slots_[0].rowEnd = end;
  } else {
    i32 per = rows / n;
    for (i32 k = 0; k < n; ++k) {
      slots_[k].bandStart = slots_[k].rowStart = start + k * per;
      slots_[k].bandEnd = slots_[k].rowEnd = k == n - 1 ? end : start + (k + 1) * per;
    }
  }
  for (i32 k = 0; k < n; ++k) slots_[k].start.Set();
  for (i32 k = 0; k < n; ++k) {
    // The worker always answers (it only draws); a failing wait marks the
    // pool unusable so later frames draw inline.
    if (slots_[k].done.Wait(kWaitForever) != kWaitSignalled) workersOk_ = false;
  }
}

void CDisplayList::RenderBand(BandSlot* slot) {
  CCanvas* canvas = slot->canvas;
  const i32 band = slot->band;
  if (canvas->coverage && canvas->width > 0)
    std::memset(canvas->coverage + static_cast<size_t>(band) * canvas->width, 0,
                sizeof(double) * static_cast<size_t>(canvas->width));
  canvas->bandClips[band] = {0, 0, 0, 0};
  const u8* cursor = commands_.data;
  const u8* end = cursor + commands_.used;
  if (!cursor) return;
  i32 first = 0, last = 0;
  for (;;) {
    if (end - cursor < 4) return;
    const u32 op = ReadRecord<u32>(cursor);
    const i32 rs = slot->rowStart, re = slot->rowEnd;
    // Reads the record of type T at the cursor and steps over it; false
    // when the stream ends inside it.
#define TAKE(T, name)                                               \
  if (static_cast<size_t>(end - cursor) < sizeof(T)) return;        \
  const T name = ReadRecord<T>(cursor);                             \
  cursor += sizeof(T)
#define SHAPE(T, rowTest, exec)                                    \
  {                                                                \
    TAKE(T, rec);                                                  \
    if (rowTest)                                                   \
      CRasterizer::exec(canvas, rec, &cursor, end, first, last, band); \
    else if (!CRasterizer::SkipPaint(&cursor, end))                \
      return;                                                      \
    break;                                                         \
  }
    switch (op) {
      case kOpCircle:
        SHAPE(CircleRecord, CRasterizer::RowsOfCircle(rec.cy, rec.r, rs, re, &first, &last),
              FillCircle)
      case kOpRing:
        SHAPE(RingRecord, CRasterizer::RowsOfCircle(rec.cy, rec.r, rs, re, &first, &last), FillRing)
      case kOpEllipse:
        SHAPE(EllipseRecord, CRasterizer::RowsOfCircle(rec.cy, rec.ry, rs, re, &first, &last),
              FillEllipse)
      case kOpEllipseRing:
        SHAPE(EllipseRingRecord,
              CRasterizer::RowsOfCircle(rec.cy, rec.ry, rs, re, &first, &last), FillEllipseRing)
      case kOpRotatedEllipse:
        SHAPE(RotatedEllipseRecord,
              CRasterizer::RowsOfBox(rec.yMin, rec.yMax, rs, re, &first, &last), FillRotatedEllipse)
      case kOpRotatedEllipseRing:
        SHAPE(RotatedEllipseRingRecord,
              CRasterizer::RowsOfBox(rec.yMin, rec.yMax, rs, re, &first, &last),
              FillRotatedEllipseRing)
      case kOpSector:
        SHAPE(SectorRecord, CRasterizer::RowsOfBox(rec.yMin, rec.yMax, rs, re, &first, &last),
              FillSector)
      case kOpSegment:
        SHAPE(SegmentRecord, CRasterizer::RowsOfBox(rec.yMin, rec.yMax, rs, re, &first, &last),
              FillSegment)
      case kOpRect:
        SHAPE(RectRecord, CRasterizer::RowsOfRect(rec, rs, re, &first, &last), FillRect)
      case kOpRoundRect:
        SHAPE(RoundRectRecord, CRasterizer::RowsOfBox(rec.yMin, rec.yMax, rs, re, &first, &last),
              FillRoundRect)
      case kOpRoundRectFrame:
        SHAPE(RoundRectFrameRecord,
              CRasterizer::RowsOfBox(rec.yMin, rec.yMax, rs, re, &first, &last), FrameRoundRect)
      case kOpFill: {
        TAKE(FillRecord, rec);
        CRasterizer::FillRows(canvas, rec.colour, rs, re, band);
        break;
      }
      case kOpClip: {
        TAKE(ClipRecord, rec);
        canvas->bandClips[band] = {rec.left, rec.top, rec.right, rec.bottom};
        slot->rowStart = MaxI(MaxI(slot->bandStart, rec.top), 0);
        slot->rowEnd = MinI(slot->bandEnd, rec.bottom);
        break;
      }
      case kOpDrawable: {
        TAKE(DrawableRecord, rec);
        if (static_cast<size_t>(end - cursor) < rec.dataSize) return;
        const u8* data = cursor;
        cursor += rec.dataSize;
        if (rec.drawable && CRasterizer::RowsOfBox(rec.top, rec.bottom, rs, re, &first, &last) &&
            first < last) {
          const Rect& c = canvas->bandClips[band];
          rec.drawable->Draw(canvas, data, first, last, MaxI(c.left, 0),
                             MinI(c.right, canvas->width));
        }
        break;
      }
      case kOpTextRun: {
        TAKE(TextRunRecord, rec);
        const u8* paint = cursor;
        if (!CRasterizer::SkipPaint(&cursor, end)) return;
        const Rect& c = canvas->bandClips[band];
        double boxRight = rec.boxLeft + rec.boxWidth, boxTop = rec.boxBottom + rec.boxHeight;
        if (!CRasterizer::RowsOfBox(rec.boxBottom, boxTop, rs, re, &first, &last) || first >= last)
          break;
        if (c.left > boxRight || rec.boxLeft > c.right || rec.boxBottom > c.bottom || c.top > boxTop)
          break;
        if (ReadRecord<u32>(paint) != kPaintSolid) break;  // text is always solid
        u64 units = static_cast<u64>(rec.stringOffset) + static_cast<u64>(rec.length > 0 ? rec.length : 0);
        if (rec.length <= 0 || units * 2 > strings_.used) break;
        TextRunRecord run = rec;  // the stream itself is never written
        run.string = reinterpret_cast<const wchar16*>(strings_.data + 2 * static_cast<size_t>(rec.stringOffset));
        i32 left = MaxI(MaxI(c.left, 0), ColumnOf(std::floor(rec.boxLeft)));
        i32 right = MinI(MinI(c.right, canvas->width), ColumnOf(std::ceil(boxRight)));
        if (right <= left) break;
        CRasterizer::DrawTextRun(canvas, run, ReadRecord<SolidPaint>(paint).colour, left, first,
                                 right, last, band);
        break;
      }
      case kOpBitmap: {
        TAKE(BitmapRecord, rec);
        double lo = rec.y0 < rec.y1 ? rec.y0 : rec.y1, hi = rec.y0 < rec.y1 ? rec.y1 : rec.y0;
        // Opacity 0 (or not a number) draws nothing.
        if (!(rec.opacity > 0.0) || !rec.view.pixels) break;
        if (CRasterizer::RowsOfBox(lo, hi, rs, re, &first, &last) && first < last)
          CRasterizer::DrawBitmap(canvas, rec, first, last, band);
        break;
      }
      case kOpEnd:
      default:
        // The end record, or a value no recorder writes: the walk ends.
        return;
    }
#undef SHAPE
#undef TAKE
  }
}
