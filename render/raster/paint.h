// Paints (how covered pixels are coloured) and the straight-alpha blend.
// A paint record of the stream is expanded into one of the paint states
// below before a shape is drawn; ColorAt takes the integer column and row of
// the pixel in target coordinates. Portable.
#pragma once
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "render/color.h"
#include "render/display_records.h"
#include "runtime/types.h"

// Target pixel under colour c with blend weight a (0..255): a = 255 stores
// c with alpha 255; otherwise each channel (c x a + d x (255 - a)) >> 8 and
// the target alpha, when below 255, raised by ((255 - dA) x a) >> 8.
inline u32 BlendPixel(u32 d, u32 c, u32 a) {
  if (a >= 255) return c | 0xFF000000u;
  u32 na = 255 - a;
  u32 r = (ColorRed(c) * a + ColorRed(d) * na) >> 8;
  u32 g = (ColorGreen(c) * a + ColorGreen(d) * na) >> 8;
  u32 b = (ColorBlue(c) * a + ColorBlue(d) * na) >> 8;
  u32 da = ColorAlpha(d);
  da += ((255 - da) * a) >> 8;  // an opaque target stays opaque
  return (da << 24) | (r << 16) | (g << 8) | b;
}

// count pixels under one colour at one weight (the BlendPixel rule).
inline void BlendConstant(u32* p, i32 count, u32 c, u32 a) {
  if (a >= 255) {
    const u32 v = c | 0xFF000000u;
    for (i32 i = 0; i < count; ++i) p[i] = v;
    return;
  }
  const u32 na = 255 - a;
  const u32 r = ColorRed(c) * a, g = ColorGreen(c) * a, b = ColorBlue(c) * a;
  i32 i = 0;
#if defined(__SSE2__)
  // Four pixels at a time in 16-bit lanes: every product and sum of the
  // rule stays below 65536, so the lanes give exactly the scalar result.
  {
    const __m128i zero = _mm_setzero_si128();
    const __m128i vna = _mm_set1_epi16(static_cast<short>(na));
    const __m128i va = _mm_set1_epi16(static_cast<short>(a));
    const __m128i v255 = _mm_set1_epi16(255);
    const __m128i vc = _mm_set_epi16(0, static_cast<short>(r), static_cast<short>(g),
                                     static_cast<short>(b), 0, static_cast<short>(r),
                                     static_cast<short>(g), static_cast<short>(b));
    const __m128i alphaLanes = _mm_set_epi16(-1, 0, 0, 0, -1, 0, 0, 0);
    auto half = [&](__m128i d) {
      __m128i colour = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(d, vna), vc), 8);
      __m128i alpha = _mm_add_epi16(d, _mm_srli_epi16(_mm_mullo_epi16(_mm_sub_epi16(v255, d), va), 8));
      return _mm_or_si128(_mm_andnot_si128(alphaLanes, colour), _mm_and_si128(alphaLanes, alpha));
    };
    for (; i + 4 <= count; i += 4) {
      __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
      __m128i lo = half(_mm_unpacklo_epi8(d, zero)), hi = half(_mm_unpackhi_epi8(d, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i), _mm_packus_epi16(lo, hi));
    }
  }
#endif
  for (; i < count; ++i) {
    u32 d = p[i];
    u32 da = d >> 24;
    da += ((255 - da) * a) >> 8;
    p[i] = (da << 24) | (((r + ColorRed(d) * na) >> 8) << 16) | (((g + ColorGreen(d) * na) >> 8) << 8) |
           ((b + ColorBlue(d) * na) >> 8);
  }
}

// Coverage clamped to [0, 1] (NaN counts as 0).
inline double ClampCoverage(double c) {
  if (!(c > 0.0)) return 0.0;
  return c < 1.0 ? c : 1.0;
}

// Blend weight of a covered pixel under a colour of alpha A (0..255):
// trunc(coverage x 255) for an opaque colour, else trunc(coverage x A/255 x
// 255); the coverage is clamped first, so the weight is always 0..255.
inline u32 CoverageWeight(double coverage, u32 alpha) {
  double c = ClampCoverage(coverage);
  if (alpha == 255) return static_cast<u32>(c * 255.0);
  return static_cast<u32>(c * (alpha / 255.0) * 255.0);
}

// Colour from two colours at parameter t: per channel c0/255 + (c1/255 -
// c0/255) x t, packed with PackArgbUnit.
u32 MixColours(u32 c0, u32 c1, double t);

struct SolidPaintState {
  static constexpr bool kPerPixel = false;
  u32 colour;
  u32 RowColor(i32) const { return colour; }
  u32 ColorAt(i32, i32) const { return colour; }
};

// Kind 1 (v = row) and kind 2 (v = column).
struct LinearGradientState {
  u32 colour0, colour1;
  double start, end, span;
  void Set(const LinearGradientPaint& p) {
    colour0 = p.colour0;
    colour1 = p.colour1;
    start = p.start;
    end = p.end;
    span = end - start;
  }
  // start > v: colour0; v > end: colour1; start = end: colour0 at v = start.
  u32 At(double v) const {
    if (start > v) return colour0;
    if (v > end) return colour1;
    if (!(span > 0.0)) return colour0;
    return MixColours(colour0, colour1, (v - start) / span);
  }
};

struct GradientYState : LinearGradientState {
  static constexpr bool kPerPixel = false;
  u32 RowColor(i32 y) const { return At(y); }
  u32 ColorAt(i32, i32 y) const { return At(y); }
};

struct GradientXState : LinearGradientState {
  static constexpr bool kPerPixel = true;
  u32 RowColor(i32) const { return colour0; }
  u32 ColorAt(i32 x, i32) const { return At(x); }
};

struct RadialGradient {
  static constexpr bool kPerPixel = true;
  u32 colour0, colour1;
  double cx, cy, r0, r1, span;
  double dA, dR, dG, dB;
  RadialGradient() = default;
  RadialGradient(double centreX, double centreY, double innerR, double outerR, u32 c0, u32 c1);
  explicit RadialGradient(const RadialGradientPaint& p)
      : RadialGradient(p.centreX, p.centreY, p.r0, p.r1, p.colour0, p.colour1) {}
  u32 ColorAt(i32 x, i32 y) const;
  u32 RowColor(i32 y) const { return ColorAt(0, y); }
};

struct EllipticGradient {
  static constexpr bool kPerPixel = true;
  u32 colour0, colour1;
  double cx, cy, rx, ry, ratio, rmax;
  double dA, dR, dG, dB;
  bool wide;
  EllipticGradient() = default;
  EllipticGradient(double centreX, double centreY, double radiusX, double radiusY, u32 c0, u32 c1);
  explicit EllipticGradient(const EllipticGradientPaint& p)
      : EllipticGradient(p.centreX, p.centreY, p.rx, p.ry, p.colour0, p.colour1) {}
  u32 ColorAt(i32 x, i32 y) const;
  u32 RowColor(i32 y) const { return ColorAt(0, y); }
};

// ---- span writers -----------------------------------------------------------
// row points at the first pixel of the target row y; coverage is indexed by
// column.

// A partly covered run: cells [x, x + count) with their own coverage, all in
// one colour, the paint's colour at the run's first pixel (x, y).
template <class Paint>
inline void CoverRun(u32* row, i32 x, i32 count, const double* coverage, const Paint& paint,
                     i32 y);

// Cells [x0, x1) inside a shape with their own coverage, each in the paint's
// colour at its own pixel.
template <class Paint>
inline void CoverPixels(u32* row, i32 x0, i32 x1, const double* coverage, const Paint& paint,
                        i32 y);

// Pixels [x0, x1) inside a shape at one coverage c, each in the paint's
// colour at its own pixel.
template <class Paint>
inline void CoverSpan(u32* row, i32 x0, i32 x1, double c, const Paint& paint, i32 y);

// Pixels [x0, x1) at full coverage: an opaque colour is stored, any other
// blended with its own alpha.
template <class Paint>
inline void FullSpan(u32* row, i32 x0, i32 x1, const Paint& paint, i32 y);

#include "render/raster/span_writers.inl"
