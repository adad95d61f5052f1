// Span writer bodies (included by render/paint.h).
#pragma once

template <class Paint>
inline void CoverRun(u32* row, i32 x, i32 count, const double* coverage, const Paint& paint,
                     i32 y) {
  if (count <= 0) return;
  if (!Paint::kPerPixel) {  // the CRasterizer::BlendRun rule, inline
    const u32 c = paint.RowColor(y), alpha = ColorAlpha(c);
    for (i32 i = x; i < x + count; ++i) {
      u32 a = CoverageWeight(coverage[i], alpha);
      if (a != 0) row[i] = BlendPixel(row[i], c, a);
    }
    return;
  }
  for (i32 i = 0; i < count; ++i) {
    u32 c = paint.ColorAt(x + i, y);
    u32 a = CoverageWeight(coverage[x + i], ColorAlpha(c));
    if (a != 0) row[x + i] = BlendPixel(row[x + i], c, a);
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
