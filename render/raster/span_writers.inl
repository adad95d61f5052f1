// Span writer bodies (included by render/paint.h).
#pragma once

// Cells [x, x + count) in colour c, each at its own coverage (the
// CRasterizer::BlendRun rule, inline).
inline void BlendCells(u32* row, i32 x, i32 count, const double* coverage, u32 c) {
  const u32 alpha = ColorAlpha(c);
  for (i32 i = x; i < x + count; ++i) {
    u32 a = CoverageWeight(coverage[i], alpha);
    if (a != 0) row[i] = BlendPixel(row[i], c, a);
  }
}

template <class Paint>
inline void CoverRun(u32* row, i32 x, i32 count, const double* coverage, const Paint& paint,
                     i32 y) {
  if (count <= 0) return;
  BlendCells(row, x, count, coverage, Paint::kPerPixel ? paint.ColorAt(x, y) : paint.RowColor(y));
}

template <class Paint>
inline void CoverPixels(u32* row, i32 x0, i32 x1, const double* coverage, const Paint& paint,
                        i32 y) {
  if (x1 <= x0) return;
  if (!Paint::kPerPixel) {
    BlendCells(row, x0, x1 - x0, coverage, paint.RowColor(y));
    return;
  }
  for (i32 x = x0; x < x1; ++x) {
    if (coverage[x] == 0.0) continue;
    u32 c = paint.ColorAt(x, y);
    u32 a = CoverageWeight(coverage[x], ColorAlpha(c));
    if (a != 0) row[x] = BlendPixel(row[x], c, a);
  }
}

template <class Paint>
inline void CoverSpan(u32* row, i32 x0, i32 x1, double c, const Paint& paint, i32 y) {
  if (x1 <= x0) return;
  if (!Paint::kPerPixel) {  // one colour at one weight: no per-pixel work
    u32 colour = paint.RowColor(y);
    u32 a = CoverageWeight(c, ColorAlpha(colour));
    if (a != 0) BlendConstant(row + x0, x1 - x0, colour, a);
    return;
  }
  for (i32 x = x0; x < x1; ++x) {
    u32 colour = paint.ColorAt(x, y);
    u32 a = CoverageWeight(c, ColorAlpha(colour));
    if (a != 0) row[x] = BlendPixel(row[x], colour, a);
  }
}

template <class Paint>
inline void FullSpan(u32* row, i32 x0, i32 x1, const Paint& paint, i32 y) {
  if (x1 <= x0) return;
  if (!Paint::kPerPixel) {
    u32 c = paint.RowColor(y);
    BlendConstant(row + x0, x1 - x0, c, ColorAlpha(c));
    return;
  }
  for (i32 x = x0; x < x1; ++x) {
    u32 c = paint.ColorAt(x, y);
    row[x] = BlendPixel(row[x], c, ColorAlpha(c));
  }
}
