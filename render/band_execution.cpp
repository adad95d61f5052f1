// Execution of the command stream in row bands: the worker pool, Flush and
// the walk of the stream for one band.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>
#include <thread>

#include "render/canvas.h"
#include "render/canvas_text.h"
#include "render/drawable.h"
#include "render/raster/rasterizer.h"
#include "runtime/clock.h"
#include "runtime/heap.h"

namespace {

// How long a side that finished its part keeps looking for the next hand-
// over before it sleeps on its event: a frame drawn in several flushes, or
// one recorded right after the last, then costs no wake-up.
constexpr double kSpinSeconds = 250e-6;

inline void CpuPause() {
#if defined(__i386__) || defined(__x86_64__)
  __builtin_ia32_pause();
#endif
}

// Spins until done() or the spin time is over; true when done() held.
// After a short busy spin it gives its processor away between looks, so a
// spinning thread never keeps a drawing one (of this or another process)
// waiting when there are more threads than processors.
template <class Done>
bool SpinFor(Done&& done) {
  auto t0 = std::chrono::steady_clock::now();
  for (u32 i = 1;; ++i) {
    if (done()) return true;
    if (i < 256)
      CpuPause();
    else
      std::this_thread::yield();
    if ((i & 15) == 0 &&
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() > kSpinSeconds)
      return done();
  }
}

// Worker side: waits for a ticket other than seen; false when the event
// wait failed.
bool AwaitTicket(BandSlot* slot, u32 seen, u32* ticket) {
  auto posted = [&] { return slot->ticket.load(std::memory_order_acquire) != seen; };
  // Woken without a ticket (a frame has begun: CDisplayList::WakeWorkers),
  // the worker spins again and so is awake when the frame is flushed.
  while (!SpinFor(posted)) {
    slot->workerAsleep.store(1, std::memory_order_seq_cst);
    if (slot->ticket.load(std::memory_order_seq_cst) != seen) {
      slot->workerAsleep.store(0, std::memory_order_seq_cst);
      break;
    }
    u32 woke = slot->start.Wait(kWaitForever);
    slot->workerAsleep.store(0, std::memory_order_seq_cst);
    if (woke != kWaitSignalled) return false;
  }
  *ticket = slot->ticket.load(std::memory_order_acquire);
  return true;
}

u32 BandWorkerThread(void* argument) {
  BandSlot* slot = static_cast<BandSlot*>(argument);
  u32 seen = 0;
  for (;;) {
    u32 ticket = 0;
    if (!AwaitTicket(slot, seen, &ticket)) {
      // Never draws again: the other threads take the bands it would have.
      slot->dead = 1;
      return 0;
    }
    seen = ticket;
    if (slot->quit) return 0;
    slot->list->DrawClaimedBands(ticket, slot->band);
  }
}

// A work block's state: the frame's ticket in the high 22 bits, the front
// and back of its slices not yet taken in the low 5 bits each.
constexpr u32 kFrameShift = 10;
constexpr u32 kFrameMask = 0x3FFFFF;
static_assert(kSlicesPerBand >= 1 && kSlicesPerBand <= 31, "slice indices are 5 bits");

i32 MinI(i32 a, i32 b) { return a < b ? a : b; }

// A column as an i32, kept within +-1e9 (NaN gives 0).
i32 ColumnOf(double v) {
  if (!(v == v)) return 0;
  if (v > 1e9) return 1000000000;
  if (v < -1e9) return -1000000000;
  return static_cast<i32>(v);
}
i32 MaxI(i32 a, i32 b) { return a > b ? a : b; }

// A row bound as an i32 within +-2^30 (comparisons with rows of the target
// stay as they were in doubles).
i32 RowBound(double v) {
  if (v > 1073741824.0) return 1073741824;
  if (v < -1073741824.0) return -1073741824;
  return static_cast<i32>(v);
}

// y extent [lo, hi] and x size of the record of kind op at `at` (its bytes
// known to be there); false for records without an extent.
struct Extent {
  double lo, hi, width;
};

bool ExtentOf(u32 op, const u8* at, double targetWidth, Extent* e) {
  switch (op) {
    case kOpCircle: {
      CircleRecord r = ReadRecord<CircleRecord>(at);
      *e = {r.cy - r.r, r.cy + r.r, 2.0 * r.r};
      return true;
    }
    case kOpRing: {
      RingRecord r = ReadRecord<RingRecord>(at);
      *e = {r.cy - r.r, r.cy + r.r, 2.0 * r.r};
      return true;
    }
    case kOpEllipse: {
      EllipseRecord r = ReadRecord<EllipseRecord>(at);
      *e = {r.cy - r.ry, r.cy + r.ry, 2.0 * r.rx};
      return true;
    }
    case kOpEllipseRing: {
      EllipseRingRecord r = ReadRecord<EllipseRingRecord>(at);
      *e = {r.cy - r.ry, r.cy + r.ry, 2.0 * r.rx};
      return true;
    }
    case kOpRotatedEllipse: {
      RotatedEllipseRecord r = ReadRecord<RotatedEllipseRecord>(at);
      *e = {r.yMin, r.yMax, 2.0 * (r.a > r.b ? r.a : r.b)};
      return true;
    }
    case kOpRotatedEllipseRing: {
      RotatedEllipseRingRecord r = ReadRecord<RotatedEllipseRingRecord>(at);
      *e = {r.yMin, r.yMax, 2.0 * (r.a > r.b ? r.a : r.b)};
      return true;
    }
    case kOpSector:
    case kOpSegment: {
      SectorRecord r = ReadRecord<SectorRecord>(at);
      *e = {r.yMin, r.yMax, 2.0 * (r.a > r.b ? r.a : r.b)};
      return true;
    }
    case kOpRect: {
      RectRecord r = ReadRecord<RectRecord>(at);
      *e = {r.y, r.y + r.h, r.w};
      return true;
    }
    case kOpRoundRect: {
      RoundRectRecord r = ReadRecord<RoundRectRecord>(at);
      *e = {r.yMin, r.yMax, r.w > r.h ? r.w : r.h};
      return true;
    }
    case kOpRoundRectFrame: {
      RoundRectFrameRecord r = ReadRecord<RoundRectFrameRecord>(at);
      *e = {r.yMin, r.yMax, r.w > r.h ? r.w : r.h};
      return true;
    }
    case kOpDrawable: {
      DrawableRecord r = ReadRecord<DrawableRecord>(at);
      *e = {r.top, r.bottom, targetWidth};
      return true;
    }
    case kOpTextRun: {
      TextRunRecord r = ReadRecord<TextRunRecord>(at);
      *e = {r.boxBottom, r.boxBottom + r.boxHeight, r.boxWidth};
      return true;
    }
    case kOpBitmap: {
      BitmapRecord r = ReadRecord<BitmapRecord>(at);
      double lo = r.y0 < r.y1 ? r.y0 : r.y1, hi = r.y0 < r.y1 ? r.y1 : r.y0;
      *e = {lo, hi, r.x1 > r.x0 ? r.x1 - r.x0 : r.x0 - r.x1};
      return true;
    }
    default:
      return false;
  }
}

// Bytes of the fixed part of a record of kind op (0 for kinds no recorder
// writes).
u32 RecordSize(u32 op) {
  switch (op) {
    case kOpCircle: return sizeof(CircleRecord);
    case kOpRing: return sizeof(RingRecord);
    case kOpEllipse: return sizeof(EllipseRecord);
    case kOpEllipseRing: return sizeof(EllipseRingRecord);
    case kOpRotatedEllipse: return sizeof(RotatedEllipseRecord);
    case kOpRotatedEllipseRing: return sizeof(RotatedEllipseRingRecord);
    case kOpSector: return sizeof(SectorRecord);
    case kOpSegment: return sizeof(SegmentRecord);
    case kOpRect: return sizeof(RectRecord);
    case kOpRoundRect: return sizeof(RoundRectRecord);
    case kOpRoundRectFrame: return sizeof(RoundRectFrameRecord);
    case kOpFill: return sizeof(FillRecord);
    case kOpClip: return sizeof(ClipRecord);
    case kOpDrawable: return sizeof(DrawableRecord);
    case kOpTextRun: return sizeof(TextRunRecord);
    case kOpBitmap: return sizeof(BitmapRecord);
    default: return 0;
  }
}

// Relative cost of a record per row it covers, from its width: a fixed
// part for walking the row's edges and a part per pixel written.
float RowCost(double width, double targetWidth) {
  if (!(width > 0.0)) width = 0.0;
  if (width > targetWidth) width = targetWidth;
  return static_cast<float>(8.0 + width / 8.0);
}

}  // namespace

void CDisplayList::IndexRows() {
  rowCount_ = 0;
  const u8* base = commands_.data;
  if (!base || !canvas_) return;
  const double targetWidth = canvas_->width;
  u32 at = 0;
  const u32 used = commands_.used;
  for (;;) {
    if (used - at < 4) return;
    const u32 op = ReadRecord<u32>(base + at);
    const u32 size = RecordSize(op);
    if (size == 0 || used - at < size) return;  // the end record or no record
    u32 next = at + size;
    if (op == kOpDrawable) {
      u32 data = ReadRecord<DrawableRecord>(base + at).dataSize;
      if (used - next < data) return;
      next += data;
    } else if ((op >= kOpCircle && op <= kOpRoundRectFrame) || op == kOpTextRun) {
      const u8* paint = base + next;
      if (!CRasterizer::SkipPaint(&paint, base + used)) return;
      next = static_cast<u32>(paint - base);
    }
    if (rowCount_ == rowCapacity_) {
      u32 fresh = rowCapacity_ ? 2 * rowCapacity_ : 256;
      void* block = rt::realloc(rows_, static_cast<u32>(sizeof(RecordRows)) * fresh);
      if (!block) {
        rowCount_ = 0;  // no index: every band reads every record
        return;
      }
      rows_ = static_cast<RecordRows*>(block);
      rowCapacity_ = fresh;
    }
    RecordRows& r = rows_[rowCount_++];
    r.offset = at;
    r.next = next;
    Extent e;
    if (ExtentOf(op, base + at, targetWidth, &e)) {
      double f = std::floor(e.lo), l = std::ceil(e.hi);
      if (f == f && l == l) {
        r.first = RowBound(f);
        r.last = RowBound(l);
      } else {
        r.first = 1, r.last = 0;  // draws nowhere
      }
      r.cost = RowCost(e.width, targetWidth);
    } else {
      r.first = -1073741824, r.last = 1073741824;
      r.cost = op == kOpFill ? RowCost(targetWidth, targetWidth) : 0.0f;
    }
    at = next;
  }
}

void CDisplayList::SplitRows(i32 start, i32 end, i32 n) {
  const i32 rows = end - start;
  bool weighted = rowCount_ > 0;
  if (weighted && rowCostCapacity_ < rows + 1) {
    void* block = rt::realloc(rowCost_, static_cast<u32>(sizeof(double)) * static_cast<u32>(rows + 1));
    if (block) {
      rowCost_ = static_cast<double*>(block);
      rowCostCapacity_ = rows + 1;
    } else {
      weighted = false;
    }
  }
  double total = 0.0;
  if (weighted) {
    // Cost per row as a difference array over the records' rows, then
    // summed; every row costs a little of its own.
    for (i32 y = 0; y <= rows; ++y) rowCost_[y] = 0.0;
    for (u32 i = 0; i < rowCount_; ++i) {
      const RecordRows& r = rows_[i];
      i32 f = MaxI(r.first, start), l = MinI(r.last, end);
      if (f >= l || r.cost <= 0.0f) continue;
      rowCost_[f - start] += r.cost;
      rowCost_[l - start] -= r.cost;
    }
    double run = 0.0;
    for (i32 y = 0; y < rows; ++y) {
      run += rowCost_[y];
      rowCost_[y] = run + 1.0;
      total += rowCost_[y];
    }
  }
  i32 y = start;
  double sum = 0.0;
  for (i32 k = 0; k < n; ++k) {
    sliceStart_[k] = y;
    i32 stop;
    if (k == n - 1) {
      stop = end;
    } else if (!weighted) {
      stop = start + static_cast<i32>(static_cast<i64>(rows) * (k + 1) / n);
    } else {
      // As many rows as keep the cost so far within the slices' share (even
      // costs give the even split), at least one row for this slice and for
      // each after it.
      double goal = total * (k + 1) / n;
      stop = y + 1;
      sum += rowCost_[y - start];
      while (stop < end - (n - 1 - k) && sum + rowCost_[stop - start] <= goal) sum += rowCost_[stop++ - start];
    }
    if (stop < y + 1) stop = y + 1;
    if (stop > end - (n - 1 - k)) stop = end - (n - 1 - k);
    y = stop;
  }
  sliceStart_[n] = end;
}

bool CDisplayList::CreateWorkers() {
  i32 n = bandCount_ < 1 ? 1 : bandCount_;
  slotBlock_ = rt::malloc(static_cast<u32>(sizeof(BandSlot)) * n + alignof(BandSlot));
  if (!slotBlock_) return false;
  uintptr_t at = reinterpret_cast<uintptr_t>(slotBlock_);
  at = (at + alignof(BandSlot) - 1) & ~static_cast<uintptr_t>(alignof(BandSlot) - 1);
  slots_ = reinterpret_cast<BandSlot*>(at);
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
  if (!frameDone_.Create(false, false)) return false;
  for (i32 i = 0; i < n; ++i) {
    BandSlot& s = slots_[i];
    if (!s.done.Create(false, false) || !s.start.Create(false, false) ||
        !s.thread.Start(BandWorkerThread, &s, kBandWorkerStackBytes)) {
      // Without a full pool every frame is drawn on the calling thread.
      NextTicket();
      for (i32 k = 0; k <= i; ++k) {
        if (!slots_[k].thread.IsStarted()) continue;
        slots_[k].quit = 1;
        PostBand(slots_[k]);
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
    NextTicket();  // one every worker answers by quitting
    for (i32 i = 0; i < slotCount_; ++i) {
      BandSlot& s = slots_[i];
      if (s.thread.IsStarted()) {
        s.quit = 1;
        PostBand(s);
        s.start.Set();
        s.thread.Join();
      }
      s.~BandSlot();
    }
    rt::free(slotBlock_);
  }
  slots_ = nullptr;
  slotBlock_ = nullptr;
  slotCount_ = 0;
  frameDone_.Close();
  workersOk_ = false;
  poolTried_ = false;
  strings_.Release();
  commands_.Release();
  rt::free(rows_);
  rows_ = nullptr;
  rowCount_ = rowCapacity_ = 0;
  rt::free(rowCost_);
  rowCost_ = nullptr;
  rowCostCapacity_ = 0;
}

void CDisplayList::WakeWorkers() {
  if (!workersOk_ || !slots_) return;
  // As many as the last flush used: a frame is mostly flushed like the one
  // before it.
  for (i32 k = 1; k < slotCount_ && k < lastBands_; ++k)
    if (slots_[k].workerAsleep.load(std::memory_order_seq_cst)) slots_[k].start.Set();
}

void CDisplayList::NextTicket() {
  if (++ticket_ == 0) ticket_ = 1;  // 0 is the value no hand-over has
}

void CDisplayList::PostBand(BandSlot& slot) {
  slot.ticket.store(ticket_, std::memory_order_seq_cst);
  if (slot.workerAsleep.load(std::memory_order_seq_cst)) slot.start.Set();
}

void CDisplayList::DrawClaimedBands(u32 ticket, i32 home) {
  const u32 frame = ticket & kFrameMask;
  // Read before the frame is checked, so possibly another frame's values:
  // only a block of this ticket's frame is ever taken.
  const i32 bands = workBands_.load(std::memory_order_relaxed);
  const i32 per = slicesPerBand_.load(std::memory_order_relaxed);
  if (home < 0 || home >= bands || per < 1 || per > kSlicesPerBand) return;
  BandSlot* slot = &slots_[home];
  // Its own slices from the front (the rows it drew last frame, still in its
  // cache), then the others' from the back, nearest band first.
  for (i32 i = 0; i < bands; ++i) {
    const i32 b = (home + i) % bands;
    std::atomic<u32>& state = blocks_[b].state;
    u32 w = state.load(std::memory_order_acquire);
    for (;;) {
      if ((w >> kFrameShift) != frame) return;  // another frame's work
      const u32 front = (w >> 5) & 31, back = w & 31;
      if (front >= back) break;
      const u32 taken = i == 0 ? w + 32 : w - 1;
      if (!state.compare_exchange_weak(w, taken, std::memory_order_acq_rel, std::memory_order_acquire))
        continue;
      const i32 k = b * per + static_cast<i32>(i == 0 ? front : back - 1);
      slot->bandStart = sliceStart_[k];
      slot->bandEnd = sliceStart_[k + 1];
      RenderBand(slot);
      if (bandsDone_.fetch_add(1, std::memory_order_seq_cst) + 1 == bands * per &&
          callerAsleep_.load(std::memory_order_seq_cst))
        frameDone_.Set();
      w = state.load(std::memory_order_acquire);
    }
  }
}

void CDisplayList::AwaitFrame(i32 bands) {
  auto drawn = [&] { return bandsDone_.load(std::memory_order_acquire) == bands; };
  if (SpinFor(drawn)) return;
  callerAsleep_.store(1, std::memory_order_seq_cst);
  while (bandsDone_.load(std::memory_order_seq_cst) != bands) {
    // A drawing worker always finishes its band. When the wait itself fails
    // the bands still being drawn are waited for by polling (the stream and
    // the target must not change under them), and later frames draw inline.
    if (frameDone_.Wait(kWaitForever) != kWaitSignalled) {
      workersOk_ = false;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      while (bandsDone_.load(std::memory_order_acquire) != bands && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      break;
    }
  }
  callerAsleep_.store(0, std::memory_order_seq_cst);
}

void CDisplayList::RunBandsInline(i32 rowStart, i32 rowEnd) {
  BandSlot local;
  BandSlot* s = slots_ ? &slots_[0] : &local;
  s->list = this;
  s->canvas = canvas_;
  s->band = 0;
  s->bandStart = rowStart;
  s->bandEnd = rowEnd;
  RenderBand(s);
}

void CDisplayList::Flush(i32 requested) {
  if (!canvas_) return;
  RecordEnd();
  IndexRows();
  i32 n = MinI(requested, bandCount_);
  i32 start = touchedStart_, end = touchedEnd_;
  i32 rows = end - start;
  bool pool = workersOk_ && slots_ && slotCount_ >= n;
  if (pool)
    for (i32 i = 0; i < n; ++i)
      if (slots_[i].dead) pool = false;
  if (n < 2 || !pool || rows < n) {
    lastBands_ = 1;
    RunBandsInline(start, end);
    return;
  }
  lastBands_ = n;
  // Slices per band: as many as the rows allow, each at least one row.
  i32 per = MinI(kSlicesPerBand, rows / n);
  if (per < 1) per = 1;
  SplitRows(start, end, n * per);
  // The workers of bands 1 to n - 1 and the calling thread (band 0) take
  // the slices.
  NextTicket();
  workBands_.store(n, std::memory_order_relaxed);
  slicesPerBand_.store(per, std::memory_order_relaxed);
  bandsDone_.store(0, std::memory_order_seq_cst);
  const u32 frame = (ticket_ & kFrameMask) << kFrameShift;
  for (i32 k = 0; k < n; ++k) blocks_[k].state.store(frame | static_cast<u32>(per), std::memory_order_seq_cst);
  for (i32 k = 1; k < n; ++k) PostBand(slots_[k]);
  DrawClaimedBands(ticket_, 0);
  AwaitFrame(n * per);
}

void CDisplayList::RenderBand(BandSlot* slot) {
  slot->rowStart = slot->bandStart;
  slot->rowEnd = slot->bandEnd;
  CCanvas* canvas = slot->canvas;
  const i32 band = slot->band;
  if (canvas->coverage && canvas->width > 0)
    std::memset(canvas->coverage + static_cast<size_t>(band) * canvas->width, 0,
                sizeof(double) * static_cast<size_t>(canvas->width));
  canvas->bandClips[band] = {0, 0, 0, 0};
  const u8* cursor = commands_.data;
  const u8* end = cursor + commands_.used;
  if (!cursor) return;
  const u8* const base = cursor;
  const double targetWidth = canvas->width;
  i32 first = 0, last = 0;
  u32 entry = 0;  // next entry of the row index
  for (;;) {
    if (end - cursor < 4) return;
    const i32 rs = slot->rowStart, re = slot->rowEnd;
    if (entry < rowCount_ && cursor == base + rows_[entry].offset) {
      // Indexed record: passed over without reading it when it misses the
      // band's rows (the row tests below would find the same).
      const RecordRows& r = rows_[entry++];
      if (r.first > re || r.last < rs || r.first > r.last) {
        cursor = base + r.next;
        continue;
      }
    }
    const u32 op = ReadRecord<u32>(cursor);
    Extent ext = {0.0, 0.0, 0.0};
    {
      const u32 size = RecordSize(op);
      if (size != 0 && static_cast<size_t>(end - cursor) >= size) ExtentOf(op, cursor, targetWidth, &ext);
    }
    const bool rowsHit = CRasterizer::RowsOfSpan(ext.lo, ext.hi, rs, re, &first, &last);
    // Reads the record of type T at the cursor and steps over it; false
    // when the stream ends inside it.
#define TAKE(T, name)                                               \
  if (static_cast<size_t>(end - cursor) < sizeof(T)) return;        \
  const T name = ReadRecord<T>(cursor);                             \
  cursor += sizeof(T)
#define SHAPE(T, exec)                                             \
  {                                                                \
    TAKE(T, rec);                                                  \
    if (rowsHit)                                                   \
      CRasterizer::exec(canvas, rec, &cursor, end, first, last, band); \
    else if (!CRasterizer::SkipPaint(&cursor, end))                \
      return;                                                      \
    break;                                                         \
  }
    switch (op) {
      case kOpCircle: SHAPE(CircleRecord, FillCircle)
      case kOpRing: SHAPE(RingRecord, FillRing)
      case kOpEllipse: SHAPE(EllipseRecord, FillEllipse)
      case kOpEllipseRing: SHAPE(EllipseRingRecord, FillEllipseRing)
      case kOpRotatedEllipse: SHAPE(RotatedEllipseRecord, FillRotatedEllipse)
      case kOpRotatedEllipseRing: SHAPE(RotatedEllipseRingRecord, FillRotatedEllipseRing)
      case kOpSector: SHAPE(SectorRecord, FillSector)
      case kOpSegment: SHAPE(SegmentRecord, FillSegment)
      case kOpRect: SHAPE(RectRecord, FillRect)
      case kOpRoundRect: SHAPE(RoundRectRecord, FillRoundRect)
      case kOpRoundRectFrame: SHAPE(RoundRectFrameRecord, FrameRoundRect)
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
        if (rec.drawable && rowsHit && first < last) {
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
        if (!rowsHit || first >= last) break;
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
        // Opacity 0 (or not a number) draws nothing.
        if (!(rec.opacity > 0.0) || !rec.view.pixels) break;
        if (rowsHit && first < last)
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
