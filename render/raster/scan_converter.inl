// Template bodies of render/scan_converter.h.
#pragma once
#include <cmath>
#include <type_traits>

namespace scan_detail {

// Writes [from, to) at one coverage value (outside the outline's cells).
template <class Paint>
inline void WriteConstant(u32* row, i32 from, i32 to, double c, const Paint& paint, i32 y) {
  if (to <= from || c == 0.0) return;
  if (c == 1.0)
    FullSpan(row, from, to, paint, y);
  else
    CoverSpan(row, from, to, c, paint, y);
}

inline i32 MaxI(i32 a, i32 b) { return a > b ? a : b; }
inline i32 MinI(i32 a, i32 b) { return a < b ? a : b; }

}  // namespace scan_detail

template <class Visitor>
void ResolveRow(const COutline& outline, i32 j, double* cov, i32 width, i32 clipLeft,
                i32 clipRight, Visitor&& visit) {
  using namespace scan_detail;
  constexpr bool kRuns = std::remove_reference_t<Visitor>::kRuns;
  CRowAccumulator acc(cov, width);
  acc.AccumulateRow(outline, j, kRuns);
  double sum = acc.Carry();
  i32 x = 0;    // next column not yet resolved
  [[maybe_unused]] i32 run = 0;  // next run not yet visited
  for (i32 z = 0; z < acc.ZoneCount(); ++z) {
    const CellZone& zone = acc.Zone(z);
    i32 from = MaxI(x, clipLeft), to = MinI(zone.first, clipRight);
    if (from < to) visit.Constant(from, to, CoverageOfSum(sum));
    for (i32 c = zone.first; c <= zone.last; ++c) {
      sum += cov[c];
      cov[c] = CoverageOfSum(sum);
    }
    from = MaxI(zone.first, clipLeft), to = MinI(zone.last + 1, clipRight);
    if (from < to) {
      if constexpr (!kRuns) {
        visit.Cells(from, to, cov);
      } else {
        // The zone's runs (each inside one zone) and the cells between them.
        while (run < acc.RunCount() && acc.Run(run).last < from) ++run;
        i32 at = from;
        for (; run < acc.RunCount() && acc.Run(run).first < to; ++run) {
          const i32 first = MaxI(acc.Run(run).first, from), end = MinI(acc.Run(run).last + 1, to);
          if (at < first) visit.Cells(at, first, cov);
          if (first < end) visit.Run(first, end, cov);
          at = MaxI(at, end);
        }
        if (at < to) visit.Cells(at, to, cov);
      }
    }
    for (i32 c = zone.first; c <= zone.last; ++c) cov[c] = 0.0;
    x = zone.last + 1;
  }
  i32 from = MaxI(x, clipLeft);
  if (from < clipRight) visit.Constant(from, clipRight, CoverageOfSum(sum));
}

namespace scan_detail {

template <class Paint>
struct RowWriter {
  // A paint of one colour per row colours a run as it colours its cells.
  static constexpr bool kRuns = Paint::kPerPixel;
  u32* row;
  double* cov;
  const Paint& paint;
  i32 y;
  void Constant(i32 from, i32 to, double c) { WriteConstant(row, from, to, c, paint, y); }
  void Run(i32 from, i32 to, const double* cells) { CoverRun(row, from, to - from, cells, paint, y); }
  void Cells(i32 from, i32 to, const double* cells) { CoverPixels(row, from, to, cells, paint, y); }
};

}  // namespace scan_detail

namespace scan_detail {

// The resolved spans of a row whose outline pieces are all vertical lines
// crossing the whole row: every such row with the same pieces resolves the
// same, so the later ones replay it instead of accumulating again.
struct RowPlan {
  static constexpr i32 kMaxSteps = 96;
  struct Step {
    i32 from, to;
    double c;    // constant coverage, or
    i32 values;  // first of to - from cell values (-1 for a constant)
  };
  u64 pieces = 0;
  bool valid = false;
  bool overflow = false;
  i32 count = 0, valueCount = 0;
  Step steps[kMaxSteps];
  double values[kMaxSteps];
  // Blend weights of the values under a colour of alpha weightAlpha (one
  // colour per row paints), made on the first replay that needs them.
  i32 weightAlpha = -1;
  u8 weights[kMaxSteps];
};

// The pieces crossing row j as a bit set, or 0 when one of them is not a
// vertical line through the whole row.
inline u64 VerticalRowPieces(const COutline& outline, i32 j) {
  u64 set = 0;
  const double bottom = j, top = j + 1.0;
  for (i32 i = 0; i < outline.Count(); ++i) {
    const OutlinePiece& p = outline.Piece(i);
    if (p.yHi <= bottom || p.yLo >= top) continue;
    if (p.curved || p.x0 != p.x1 || p.yLo > bottom || p.yHi < top || i >= 64) return 0;
    set |= u64{1} << i;
  }
  return set;
}

// The end of the run of rows from j on whose vertical pieces are the set
// found at row j: rows before it have the same set (each of its pieces still
// crosses the whole row, no other piece has begun), so they need no test.
inline i32 VerticalRunEnd(const COutline& outline, u64 set, i32 j, i32 last) {
  double end = last;
  for (i32 i = 0; i < outline.Count(); ++i) {
    const OutlinePiece& p = outline.Piece(i);
    if (i < 64 && (set >> i) & 1) {
      if (p.yHi < end) end = std::floor(p.yHi);
    } else if (p.yLo >= j + 1.0 && p.yLo < end) {
      end = std::floor(p.yLo);
    }
  }
  return end > j + 1 ? static_cast<i32>(end) : j + 1;
}

template <class Paint>
struct PlanRecorder {
  static constexpr bool kRuns = RowWriter<Paint>::kRuns;
  RowWriter<Paint>& writer;
  RowPlan& plan;
  void Constant(i32 from, i32 to, double c) {
    writer.Constant(from, to, c);
    if (c == 0.0 || to <= from) return;  // writes nothing: not worth a step
    if (plan.count >= RowPlan::kMaxSteps) {
      plan.overflow = true;
      return;
    }
    plan.steps[plan.count++] = {from, to, c, -1};
  }
  // A vertical piece passes through one cell, so the runs of these rows
  // are single cells and replay as cells with their own colours.
  void Run(i32 from, i32 to, const double* cells) {
    writer.Run(from, to, cells);
    Record(from, to, cells);
  }
  void Cells(i32 from, i32 to, const double* cells) {
    writer.Cells(from, to, cells);
    Record(from, to, cells);
  }
  void Record(i32 from, i32 to, const double* cells) {
    RowPlan::Step* last = plan.count > 0 ? &plan.steps[plan.count - 1] : nullptr;
    const bool extends = last && last->values >= 0 && last->to == from;  // one step for a zone
    if ((!extends && plan.count >= RowPlan::kMaxSteps) || plan.valueCount + (to - from) > RowPlan::kMaxSteps) {
      plan.overflow = true;
      return;
    }
    if (extends)
      last->to = to;
    else
      plan.steps[plan.count++] = {from, to, 0.0, plan.valueCount};
    for (i32 x = from; x < to; ++x) plan.values[plan.valueCount++] = cells[x];
  }
};

template <class Paint>
inline void ReplayPlan(RowPlan& plan, RowWriter<Paint>& writer) {
  if (!Paint::kPerPixel) {
    // One colour for the row: the cells' weights depend only on its alpha,
    // so rows of the same alpha blend straight from the stored weights (the
    // CoverRun rule without its per-cell conversions).
    const u32 colour = writer.paint.RowColor(writer.y), alpha = ColorAlpha(colour);
    if (plan.weightAlpha != static_cast<i32>(alpha)) {
      for (i32 v = 0; v < plan.valueCount; ++v)
        plan.weights[v] = static_cast<u8>(CoverageWeight(plan.values[v], alpha));
      plan.weightAlpha = static_cast<i32>(alpha);
    }
    u32* row = writer.row;
    for (i32 k = 0; k < plan.count; ++k) {
      const RowPlan::Step& st = plan.steps[k];
      if (st.values < 0) {
        writer.Constant(st.from, st.to, st.c);
        continue;
      }
      const u8* w = plan.weights + st.values - st.from;
      for (i32 x = st.from; x < st.to; ++x)
        if (w[x] != 0) row[x] = BlendPixel(row[x], colour, w[x]);
    }
    return;
  }
  for (i32 k = 0; k < plan.count; ++k) {
    const RowPlan::Step& st = plan.steps[k];
    if (st.values < 0) {
      writer.Constant(st.from, st.to, st.c);
      continue;
    }
    for (i32 x = st.from; x < st.to; ++x) writer.cov[x] = plan.values[st.values + x - st.from];
    writer.Cells(st.from, st.to, writer.cov);
    for (i32 x = st.from; x < st.to; ++x) writer.cov[x] = 0.0;
  }
}

}  // namespace scan_detail

template <class Paint>
void ScanOutline(CCanvas* canvas, const COutline& outline, const Paint& paint, i32 first,
                 i32 last, i32 band) {
  if (!outline.IsValid() || outline.IsEmpty()) return;
  BandScratch s;
  s.Init(canvas, band);
  if (s.clipRight <= s.clipLeft || !s.coverage) return;
  // Rows the outline reaches.
  double top = std::ceil(outline.YMax()), bottom = std::floor(outline.YMin());
  if (bottom > first) first = bottom >= last ? last : static_cast<i32>(bottom);
  if (top < last) last = top <= first ? first : static_cast<i32>(top);
  scan_detail::RowPlan plan;
  i32 runEnd = first;  // rows before it replay the plan without a test
  for (i32 j = first; j < last; ++j) {
    u32* row = reinterpret_cast<u32*>(reinterpret_cast<u8*>(canvas->pixels) +
                                      static_cast<size_t>(j) * static_cast<size_t>(canvas->stride));
    scan_detail::RowWriter<Paint> writer{row, s.coverage, paint, j};
    if (plan.valid && j < runEnd) {
      scan_detail::ReplayPlan(plan, writer);
      continue;
    }
    u64 vertical = scan_detail::VerticalRowPieces(outline, j);
    if (vertical != 0 && plan.valid && plan.pieces == vertical) {
      runEnd = scan_detail::VerticalRunEnd(outline, vertical, j, last);
      scan_detail::ReplayPlan(plan, writer);
      continue;
    }
    if (vertical == 0) {
      plan.valid = false;
      ResolveRow(outline, j, s.coverage, s.width, s.clipLeft, s.clipRight, writer);
      continue;
    }
    plan.pieces = vertical;
    plan.count = plan.valueCount = 0;
    plan.overflow = false;
    plan.weightAlpha = -1;
    scan_detail::PlanRecorder<Paint> recorder{writer, plan};
    ResolveRow(outline, j, s.coverage, s.width, s.clipLeft, s.clipRight, recorder);
    plan.valid = !plan.overflow;
    runEnd = scan_detail::VerticalRunEnd(outline, vertical, j, last);
  }
}

template <class Fn>
bool WithPaint(const u8** cursor, const u8* end, u32 maxKind, Fn&& fn) {
  const u8* at = *cursor;
  if (end - at < 4) return false;
  u32 kind = ReadRecord<u32>(at);
  u32 size = PaintRecordSize(kind);
  if (size == 0 || static_cast<size_t>(end - at) < size) return false;
  *cursor = at + size;
  if (kind > maxKind) return true;
  switch (kind) {
    case kPaintSolid: {
      SolidPaintState p;
      p.colour = ReadRecord<SolidPaint>(at).colour;
      fn(p);
      break;
    }
    case kPaintGradientY: {
      GradientYState p;
      p.Set(ReadRecord<LinearGradientPaint>(at));
      fn(p);
      break;
    }
    case kPaintGradientX: {
      GradientXState p;
      p.Set(ReadRecord<LinearGradientPaint>(at));
      fn(p);
      break;
    }
    case kPaintRadial: {
      RadialGradient p(ReadRecord<RadialGradientPaint>(at));
      fn(p);
      break;
    }
    case kPaintElliptic: {
      EllipticGradient p(ReadRecord<EllipticGradientPaint>(at));
      fn(p);
      break;
    }
  }
  return true;
}
