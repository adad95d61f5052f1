// The one scan converter of the renderer: any closed outline (render/
// outline.h) in any paint, one pixel row at a time, into one row band.
//
// Per row the outline's pieces inside the row's strip [j, j + 1] are cut
// at every column line they cross (the exact crossing of the outline) and
// each cut becomes a straight segment: inside a cell the outline is replaced
// by straight segments between its crossings with the cell's sides and its
// extreme points. The area of every cell on the inner side of those segments
// is accumulated exactly (signed area, summed along the row), so coverage is
// the chord-rule area of the cell. Cells between the outline's crossings are
// written as full spans without per-cell work.
//
// The cells a piece passes through in a row are a partly covered run, drawn
// in one colour (the paint's colour at the run's first pixel); runs of
// pieces that share a cell are one run. The other cells of the row take the
// paint's colour at their own pixel.
//
// The accumulation covers the whole target row [0, width) whatever the clip
// (columns left of 0 fold into one carry), so a pixel's coverage does not
// depend on the clip or on how the rows are cut into bands (a run that the
// clip cuts starts at the clip, and so takes its colour there). Portable.
#pragma once
#include "render/canvas.h"
#include "render/raster/outline.h"
#include "render/raster/paint.h"
#include "runtime/types.h"

// Per-call scratch of one band: its coverage row (all zero between rows)
// and clip columns.
struct BandScratch {
  double* coverage;
  i32 clipLeft;   // max(band clip left, 0)
  i32 clipRight;  // min(band clip right, width), exclusive
  i32 width;
  void Init(CCanvas* canvas, i32 band);
};

// A column range [first, last] of a row.
struct CellZone {
  i32 first, last;
};

// Accumulates the pieces of one row.
class CRowAccumulator {
 public:
  static constexpr i32 kMaxZones = 2 * COutline::kMaxPieces;
  CRowAccumulator(double* coverage, i32 width) : acc_(coverage), width_(width) {}
  // Adds every piece of the outline crossing row j; afterwards the zones
  // and, when asked for, the runs are sorted and merged.
  void AccumulateRow(const COutline& outline, i32 j, bool runs);
  // The columns whose coverage changed: each piece's cells and the cell
  // after them (merged where they overlap or touch).
  i32 ZoneCount() const { return zoneCount_; }
  const CellZone& Zone(i32 i) const { return zones_[i]; }
  // The partly covered runs: each piece's cells and the cells of a flat
  // inside the row, merged where they share a cell; every run lies inside
  // one zone.
  i32 RunCount() const { return runCount_; }
  const CellZone& Run(i32 i) const { return runs_[i]; }
  double Carry() const { return carry_; }
  double* Cells() const { return acc_; }

 private:
  void AddSubPiece(const OutlinePiece& p, double xs, double ys, double xe, double ye, i32 j);
  void AddSegment(double xa, double ya, double xb, double yb);
  // Adds [first, last] (cut to the row) to a list of at most kMaxZones.
  void AddRange(CellZone* list, i32* count, i32 first, i32 last) const;

  double* acc_;
  i32 width_;
  double carry_ = 0.0;
  CellZone zones_[kMaxZones];
  i32 zoneCount_ = 0;
  CellZone runs_[kMaxZones];
  i32 runCount_ = 0;
  bool withRuns_ = false;
};

// Coverage of a summed winding value: |v| clamped to [0, 1], values within
// 1e-9 of 0 or 1 taken as exactly that (rounding of the summed areas).
inline double CoverageOfSum(double v) {
  double c = v < 0.0 ? -v : v;
  if (!(c > 1e-9)) return 0.0;
  if (c > 1.0 - 1e-9) return 1.0;
  return c;
}

// Coverage of row j of the outline within [clipLeft, clipRight): calls
// visit.Constant(from, to, c) for columns at one coverage c (0 outside, 1
// inside the outline) and visit.Cells(from, to, cells) for columns with
// their own coverage cells[x]; a visitor whose kRuns is true gets the partly
// covered runs (cut to the clip) through visit.Run(from, to, cells) instead.
// cov is the zeroed coverage row of width values; it is zero again
// afterwards.
template <class Visitor>
void ResolveRow(const COutline& outline, i32 j, double* cov, i32 width, i32 clipLeft,
                i32 clipRight, Visitor&& visit);

// Draws the outline's rows [first, last) (already cut to the band) with the
// paint. The coverage row must be all zero and is left all zero.
template <class Paint>
void ScanOutline(CCanvas* canvas, const COutline& outline, const Paint& paint, i32 first,
                 i32 last, i32 band);

// Hands the paint record at *cursor to fn as its expanded paint state and
// steps the cursor over it. Kinds above maxKind are stepped over without
// drawing. False when no valid paint record lies before end.
template <class Fn>
bool WithPaint(const u8** cursor, const u8* end, u32 maxKind, Fn&& fn);

#include "render/raster/scan_converter.inl"
