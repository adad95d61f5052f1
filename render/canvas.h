// The drawing context over one 32-bit ARGB target and its recorded command
// stream. Drawing calls only append records; CDisplayList::Flush executes the
// stream once per row band, on worker threads when there is more than one
// band. Portable (threads and events through runtime/threads.h).
#pragma once
#include <atomic>

#include "render/bitmap.h"
#include "render/display_records.h"
#include "render/rect.h"
#include "runtime/array.h"
#include "runtime/threads.h"
#include "runtime/types.h"

class CCanvas;
class CDisplayList;
class CFont;
class IDrawable;

constexpr i32 kMaxBands = 16;
// Stack of a band worker: the text executor runs FreeType on it.
constexpr u32 kBandWorkerStackBytes = 256 * 1024;
// Row slices per band of a flush: a band that finishes early takes slices of
// the others.
constexpr i32 kSlicesPerBand = 4;

// Bytes holding records {data, used, capacity}; grows to about twice the
// need in steps of 2048 bytes; zeroed when emptied.
struct CArena {
  u8* data = nullptr;
  u32 used = 0;
  u32 capacity = 0;

  // Makes [offset, offset + size) available and returns data + offset;
  // null when the heap refuses the block (used then stays as it was).
  // A returned pointer is valid until the next Reserve on this arena.
  u8* Reserve(u32 offset, u32 size);
  u8* Append(u32 size) { return Reserve(used, size); }
  void Empty();
  void Release();
};

// (2n rounded down to a multiple of 2048), plus 2048 while below n.
u32 ArenaCapacityFor(u32 n);

// Gradient objects handed to the gradient recorders (target or local
// coordinates as each recorder says).
struct LinearGradient {
  u32 colour0;
  u32 colour1;
  double start;
  double end;
};
struct RadialGradientParams {
  double centreX, centreY;
  double r0, r1;
  u32 colour0, colour1;
};
struct EllipticGradientParams {
  double centreX, centreY;
  double rx, ry;
  u32 colour0, colour1;
};

// Own cache line each: a slot is written by the thread drawing with it and
// polled by its worker.
struct alignas(64) BandSlot {
  CDisplayList* list;
  CCanvas* canvas;
  i32 band;
  i32 rowStart, rowEnd;    // current rows (narrowed by clip records)
  i32 bandStart, bandEnd;  // as split by Flush
  CEvent start;
  CEvent done;
  CThread thread;
  std::atomic<u8> quit{0};
  std::atomic<u8> dead{0};  // the worker ended on a failed wait
  // Hand-over without a system call while the worker is awake: Flush posts
  // a new ticket, the worker spins a little before it sleeps on its start
  // event, which is set only when the worker says it sleeps (or is about
  // to).
  std::atomic<u32> ticket{0};
  std::atomic<i32> workerAsleep{0};
};

// The rows one record of the stream can touch and a rough cost of drawing
// it, taken once per flush so that a band passes records outside its rows
// without reading them. A record always run (clip, fill) has the widest
// rows; one that can never draw (a non-number extent) has first > last.
struct RecordRows {
  u32 offset;  // of the record in the stream
  u32 next;    // of the record after it (and its paint or data)
  i32 first;   // floor of its lowest y, kept within +-2^30
  i32 last;    // ceil of its highest y, kept within +-2^30
  float cost;  // per row it covers
};

class CDisplayList {
 public:
  CDisplayList() = default;
  ~CDisplayList() { StopWorkers(); }
  CDisplayList(const CDisplayList&) = delete;
  CDisplayList& operator=(const CDisplayList&) = delete;

  // Empties both arenas, makes the touched rows the whole target (through
  // the clip record {0, 0, width, height} it appends) and creates the band
  // workers on first use.
  void Reset(CCanvas* canvas);
  // Appends the end record and executes the stream into the target with
  // min(requested, band count) bands; returns when every band is done.
  void Flush(i32 requested);
  // Ends and joins the workers and frees all memory.
  void StopWorkers();
  // One walk of the stream over the slot's band rows [bandStart, bandEnd)
  // with the scratch of its band.
  void RenderBand(BandSlot* slot);
  // Draws the row slices of the frame of that ticket that no thread has
  // taken yet, until none is left: first those of its own band (home),
  // front to back, then the others' from their backs (a worker woken late
  // leaves its slices to the others). Each slice is drawn with the home
  // band's scratch.
  void DrawClaimedBands(u32 ticket, i32 home);

  // Record operations, in target coordinates.
  void RecordCircle(double cx, double cy, double r);
  void RecordRing(double cx, double cy, double r, double width);
  void RecordRect(double x, double y, double w, double h);
  void RecordRoundRect(double x, double y, double w, double h, double radius, double angle);
  void RecordRoundRectFrame(double x, double y, double w, double h, double radius, double angle,
                            double frameWidth);
  void RecordFill(u32 colour);
  void RecordClip(const Rect& clip);
  // A drawable record with its own copy of the data the drawable draws
  // from (so a shared drawable is never changed to place it); rows [top,
  // bottom).
  void RecordDrawableData(IDrawable* drawable, const void* data, u32 size, double top,
                          double bottom);
  void RecordText(double x, double y, const wchar16* text, i32 length, CFont* font, u32 colour);
  // Defined by the text code (uses the font's metrics).
  void RecordTextLine(double x, double baseline, double width, double extra, i32 blanks,
                      const wchar16* text, i32 length, CFont* font, u32 colour);
  void RecordBitmap(double x0, double y0, double x1, double y1, const BitmapView& view,
                    double opacity);
  void RecordEnd();
  // Paints (follow every shape record).
  void RecordSolidPaint(u32 colour);
  void RecordGradientY(const LinearGradient& g);
  void RecordGradientX(const LinearGradient& g);
  void RecordRadialGradient(const RadialGradientParams& g);
  void RecordEllipticGradient(const EllipticGradientParams& g);
  // Appends any record as it is (shape records without a canvas operation
  // are written this way); the caller appends the paint after it.
  template <class T>
  void Append(const T& record) {
    u8* at = commands_.Append(sizeof(T));
    if (at) WriteRecord(at, record);
  }

  // Widens the touched rows by a shape's y extent.
  void ExtendRows(double yMax, double yMin);

  i32 TouchedStart() const { return touchedStart_; }
  i32 TouchedEnd() const { return touchedEnd_; }
  i32 BandCount() const { return bandCount_; }
  // False when the worker pool could not be made: frames then render on the
  // calling thread in one band.
  bool WorkersUsable() const { return workersOk_; }
  const CArena& Commands() const { return commands_; }
  const CArena& Strings() const { return strings_; }

 private:
  bool CreateWorkers();
  void RunBandsInline(i32 rowStart, i32 rowEnd);
  // Fills rows_ from the stream (stops where the stream is not well formed:
  // the walk then reads the rest record by record).
  void IndexRows();
  // Cuts rows [start, end) into n slices of about equal drawing cost:
  // slice k is [sliceStart_[k], sliceStart_[k + 1]).
  void SplitRows(i32 start, i32 end, i32 n);
  void NextTicket();
  // Sets the sleeping band workers spinning again at the start of a frame,
  // so that its flush finds them awake (a wake-up costs more than many a
  // frame's drawing).
  void WakeWorkers();
  // Hands a slot's worker the current ticket.
  void PostBand(BandSlot& slot);
  // Waits until every band of the frame is drawn.
  void AwaitFrame(i32 bands);
  // Gives back the font references the text records hold.
  void ReleaseHeldFonts();

  BandSlot* slots_ = nullptr;  // line-aligned within slotBlock_
  void* slotBlock_ = nullptr;
  i32 bandCount_ = 0;
  i32 slotCount_ = 0;
  i32 touchedEnd_ = 0;
  i32 touchedStart_ = 0;
  i32 rowLimit_ = 0;
  bool workersOk_ = false;
  bool poolTried_ = false;
  CCanvas* canvas_ = nullptr;
  CArena commands_;
  CArena strings_;
  RecordRows* rows_ = nullptr;
  u32 rowCount_ = 0, rowCapacity_ = 0;
  double* rowCost_ = nullptr;  // per row, for SplitRows
  i32 rowCostCapacity_ = 0;
  u32 ticket_ = 0;
  // The frame being flushed: band k owns slices [k x per band, (k + 1) x
  // per band); its block holds the frame's ticket (high bits) and the front
  // and back (low 5 bits each) of the slices not yet taken.
  struct WorkBlock {
    std::atomic<u32> state{0};
    u8 pad[60];  // a line's worth each: blocks seldom share a line
  };
  WorkBlock blocks_[kMaxBands];
  i32 sliceStart_[kMaxBands * kSlicesPerBand + 1] = {};
  std::atomic<i32> slicesPerBand_{1};
  std::atomic<i32> workBands_{0};
  // Slices drawn; on a line of its own, away from the fields read while
  // drawing.
  u8 padDone_[64] = {};
  std::atomic<i32> bandsDone_{0};
  std::atomic<i32> callerAsleep_{0};
  CEvent frameDone_;
  i32 lastBands_ = 0;  // bands the last flush used
  // One reference per text record, held until the next reset, so a font
  // released by its owner meanwhile stays valid for the bands.
  CArray<CFont*> heldFonts_;
};

class CCanvas {
 public:
  u32* pixels = nullptr;
  // bandCount x width doubles supplied with the pixels; band k uses the
  // k-th run of width values as its coverage row.
  double* coverage = nullptr;
  i32 width = 0;
  i32 height = 0;
  i32 stride = 0;  // bytes, width x 4
  i32 bandCount = 1;
  Rect bandClips[kMaxBands] = {};
  Rect clip = {};
  Rect baseClip = {};
  double originX = 0.0;
  double originY = 0.0;
  CFont* font = nullptr;  // holds one reference
  u32 textColour = 0xFF000000u;
  // Drawing state that the layer above keeps per target (the UI theme's);
  // owned by the target's owner, never touched by the renderer.
  void* themeState = nullptr;
  CDisplayList list;

  // Band count = min(processor count, 16).
  CCanvas();
  // A canvas with the given number of bands (1 to 16), for private targets
  // that should not start workers.
  explicit CCanvas(i32 bands);
  ~CCanvas();
  CCanvas(const CCanvas&) = delete;
  CCanvas& operator=(const CCanvas&) = delete;

  // Doubles the owner supplies as coverage scratch for a target width.
  static u32 CoverageScratchCount(i32 width, i32 bands) {
    return static_cast<u32>(width > 0 ? width : 0) * static_cast<u32>(bands);
  }

  void Attach(u32* pixels, double* coverage, i32 width, i32 height);
  void Reset();
  // Viewport given by its far edges (w and h are right and bottom), moved
  // by the origin and cut to the target.
  void SetViewport(double x, double y, double w, double h);
  bool SetClipRect(double left, double top, double right, double bottom);
  void GetClipRect(i32* left, i32* top, i32* right, i32* bottom) const;
  // Replaces the current font (the old one is released, the new one gains
  // a reference held by the canvas).
  void SetFont(CFont* newFont);

  // Recorders; coordinates are relative to the origin.
  void FillCircle(double cx, double cy, double r, u32 colour);
  void FillCircleRadialGradient(double cx, double cy, double r, const RadialGradientParams& g);
  void FillRing(double cx, double cy, double r, double width, u32 colour);
  void FillRect(double x0, double y0, double x1, double y1, u32 colour);
  void FillRectGradientY(double x0, double y0, double x1, double y1, const LinearGradient& g);
  void FillRectGradientX(double x0, double y0, double x1, double y1, const LinearGradient& g);
  void FillRectRadialGradient(double x0, double y0, double x1, double y1,
                              const RadialGradientParams& g);
  void FillRoundRect(double x0, double y0, double x1, double y1, double radius, u32 colour);
  void FillRotatedRoundRect(double x0, double y0, double x1, double y1, double radius,
                            double angle, u32 colour);
  void FillRoundRectGradientY(double x0, double y0, double x1, double y1, double radius,
                              const LinearGradient& g);
  void FillRoundRectGradientX(double x0, double y0, double x1, double y1, double radius,
                              const LinearGradient& g);
  void FillRoundRectRadialGradient(double x0, double y0, double x1, double y1, double radius,
                                   const RadialGradientParams& g);
  void FillRoundRectEllipticGradient(double x0, double y0, double x1, double y1, double radius,
                                     const EllipticGradientParams& g);
  void FillRotatedRoundRectRadialGradient(double x0, double y0, double x1, double y1,
                                          double radius, double angle,
                                          const RadialGradientParams& g);
  void FrameRoundRect(double x0, double y0, double x1, double y1, double radius, double width,
                      u32 colour);
  void FrameRotatedRoundRect(double x0, double y0, double x1, double y1, double radius,
                             double angle, double width, u32 colour);
  void Clear(u32 colour);
  void DrawText(double x, double y, const wchar16* text, i32 length);
  void DrawBitmap(double x, double y, const BitmapView& view, double opacity);
  void DrawBitmapInRect(const BitmapView& view, double x0, double y0, double x1, double y1,
                        double opacity);
  // Defined by the text code: word-wrapped text in a rectangle.
  void DrawTextInRect(double left, double bottom, double right, double top, const wchar16* text,
                      i32 length, u32 flags);
  void LayoutText(double left, double bottom, double right, double top, const wchar16* text,
                  i32 length, u32 flags);

 private:
  void RecordRoundRectShape(double x0, double y0, double x1, double y1, double radius,
                            double angle);
};

// Radius rule of the recorders: trunc(r x 1000) / 1000.
double TruncateRadius(double r);
// Folds an angle into [-2 pi, 2 pi].
void NormalizeAngle(double* a);
// A negative angle gets 2 pi added; within 0.001 of pi/2 or 3 pi/2 the
// rectangle is turned about its centre and the angle becomes 0; within 0.001
// of 0, pi or 2 pi the angle becomes 0.
void NormalizeRoundRect(double* x, double* y, double* w, double* h, double* angle);
