#include "render/raster/scan_converter.h"

#include <cmath>

void BandScratch::Init(CCanvas* canvas, i32 band) {
  width = canvas->width;
  coverage = canvas->coverage ? canvas->coverage + static_cast<size_t>(band) * static_cast<size_t>(width) : nullptr;
  const Rect& c = canvas->bandClips[band];
  clipLeft = c.left > 0 ? c.left : 0;
  clipRight = c.right < width ? c.right : width;
}

void CRowAccumulator::AddRange(CellZone* list, i32* count, i32 first, i32 last) const {
  if (first < 0) first = 0;
  if (last > width_ - 1) last = width_ - 1;
  if (last < first) return;
  if (*count < kMaxZones) {
    list[(*count)++] = {first, last};
    return;
  }
  // Cannot happen with kMaxPieces pieces; widen the last range to stay right.
  CellZone& z = list[*count - 1];
  if (first < z.first) z.first = first;
  if (last > z.last) z.last = last;
}

namespace {

// Sorts the ranges by first column and merges those that overlap, and with
// `touching` also those that only touch.
i32 SortAndMerge(CellZone* list, i32 count, bool touching) {
  for (i32 i = 1; i < count; ++i)
    for (i32 k = i; k > 0 && list[k].first < list[k - 1].first; --k) {
      CellZone t = list[k];
      list[k] = list[k - 1];
      list[k - 1] = t;
    }
  const i32 gap = touching ? 1 : 0;
  i32 n = 0;
  for (i32 i = 0; i < count; ++i) {
    if (n > 0 && list[i].first <= list[n - 1].last + gap) {
      if (list[i].last > list[n - 1].last) list[n - 1].last = list[i].last;
    } else {
      list[n++] = list[i];
    }
  }
  return n;
}

}  // namespace

// One straight segment inside one cell column: the cell gets the area right
// of the segment, every cell to its right the full height (through the
// running sum).
void CRowAccumulator::AddSegment(double xa, double ya, double xb, double yb) {
  double dy = yb - ya;
  if (dy == 0.0) return;
  double xm = 0.5 * (xa + xb);
  double fk = std::floor(xm);
  if (fk < 0.0) {
    carry_ += dy;
    return;
  }
  if (fk >= width_) return;
  i32 k = static_cast<i32>(fk);
  double f = xm - fk;
  acc_[k] += dy * (1.0 - f);
  if (k + 1 < width_) acc_[k + 1] += dy * f;
}

// The part of piece p inside row j, from (xs, ys) to (xe, ye) in travel
// order (y relative to the row's bottom line).
void CRowAccumulator::AddSubPiece(const OutlinePiece& p, double xs, double ys, double xe,
                                  double ye, i32 j) {
  const double w = width_;
  double lo = xs < xe ? xs : xe, hi = xs < xe ? xe : xs;
  if (hi <= 0.0) {
    carry_ += ye - ys;
    return;
  }
  if (lo >= w) return;
  double yLo = ys < ye ? ys : ye, yHi = ys < ye ? ye : ys;
  auto yAt = [&](double x) {
    double y = p.YAtX(x) - j;
    if (!(y >= yLo)) return yLo;
    return y > yHi ? yHi : y;
  };
  if (lo < 0.0) {  // the part left of column 0 only adds its height
    double y0 = yAt(0.0);
    if (xs < 0.0) {
      carry_ += y0 - ys;
      xs = 0.0, ys = y0;
    } else {
      carry_ += ye - y0;
      xe = 0.0, ye = y0;
    }
  }
  if (hi > w) {  // the part right of the target changes no cell
    double yw = yAt(w);
    if (xs > w)
      xs = w, ys = yw;
    else
      xe = w, ye = yw;
  }
  lo = xs < xe ? xs : xe, hi = xs < xe ? xe : xs;
  const i32 firstCell = static_cast<i32>(std::floor(lo)), lastCell = static_cast<i32>(std::floor(hi));
  AddRange(zones_, &zoneCount_, firstCell, lastCell + 1);
  if (withRuns_) AddRange(runs_, &runCount_, firstCell, lastCell);
  double px = xs, py = ys;
  if (xs <= xe) {
    for (double k = std::floor(xs) + 1.0; k < xe; k += 1.0) {
      double y = yAt(k);
      AddSegment(px, py, k, y);
      px = k, py = y;
    }
  } else {
    for (double k = std::ceil(xs) - 1.0; k > xe; k -= 1.0) {
      double y = yAt(k);
      AddSegment(px, py, k, y);
      px = k, py = y;
    }
  }
  AddSegment(px, py, xe, ye);
}

void CRowAccumulator::AccumulateRow(const COutline& outline, i32 j, bool runs) {
  carry_ = 0.0;
  zoneCount_ = 0;
  runCount_ = 0;
  withRuns_ = runs;
  const double bottom = j, top = j + 1.0;
  const bool snap = outline.Crossings() == RowCrossings::kSnapped;
  for (i32 i = 0; i < outline.Count(); ++i) {
    const OutlinePiece& p = outline.Piece(i);
    if (p.yHi <= bottom || p.yLo >= top) continue;
    double ya = p.yLo > bottom ? p.yLo : bottom;
    double yb = p.yHi < top ? p.yHi : top;
    // Exact end points where the piece ends inside the row.
    double xa = ya == p.yLo ? (p.y0 == p.yLo ? p.x0 : p.x1) : p.XAtY(ya);
    double xb = yb == p.yHi ? (p.y0 == p.yHi ? p.x0 : p.x1) : p.XAtY(yb);
    if (snap) {  // where the piece meets the row's lines
      if (ya == bottom) SnapToInteger(&xa);
      if (yb == top) SnapToInteger(&xb);
    }
    if (p.y1 > p.y0)
      AddSubPiece(p, xa, ya - bottom, xb, yb - bottom, j);
    else
      AddSubPiece(p, xb, yb - bottom, xa, ya - bottom, j);
  }
  // A flat inside the row runs through partly covered cells: they join the
  // runs of the pieces it connects (on a row line it covers no cell).
  for (i32 i = 0; withRuns_ && i < outline.FlatCount(); ++i) {
    const OutlineFlat& f = outline.Flat(i);
    if (!(f.y > bottom && f.y < top) || f.xHi < 0.0 || f.xLo >= width_) continue;
    const i32 first = static_cast<i32>(std::floor(f.xLo > 0.0 ? f.xLo : 0.0));
    const i32 last = static_cast<i32>(std::floor(f.xHi < width_ ? f.xHi : width_));
    AddRange(zones_, &zoneCount_, first, last);
    AddRange(runs_, &runCount_, first, last);
  }
  zoneCount_ = SortAndMerge(zones_, zoneCount_, true);
  if (withRuns_) runCount_ = SortAndMerge(runs_, runCount_, false);
}
