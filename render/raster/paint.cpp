#include "render/raster/paint.h"

#include <cmath>

#include "render/raster/rasterizer.h"

u32 MixColours(u32 c0, u32 c1, double t) {
  double a0 = ColorAlpha(c0) / 255.0, r0 = ColorRed(c0) / 255.0;
  double g0 = ColorGreen(c0) / 255.0, b0 = ColorBlue(c0) / 255.0;
  double a = a0 + (ColorAlpha(c1) / 255.0 - a0) * t;
  double r = r0 + (ColorRed(c1) / 255.0 - r0) * t;
  double g = g0 + (ColorGreen(c1) / 255.0 - g0) * t;
  double b = b0 + (ColorBlue(c1) / 255.0 - b0) * t;
  return PackArgbUnit(r, g, b, a);
}

namespace {

void ChannelDeltas(u32 c0, u32 c1, double* dA, double* dR, double* dG, double* dB) {
  *dA = (static_cast<double>(ColorAlpha(c1)) - ColorAlpha(c0)) / 255.0;
  *dR = (static_cast<double>(ColorRed(c1)) - ColorRed(c0)) / 255.0;
  *dG = (static_cast<double>(ColorGreen(c1)) - ColorGreen(c0)) / 255.0;
  *dB = (static_cast<double>(ColorBlue(c1)) - ColorBlue(c0)) / 255.0;
}

u32 MixDeltas(u32 c0, double dA, double dR, double dG, double dB, double t) {
  return PackArgbUnit(ColorRed(c0) / 255.0 + dR * t, ColorGreen(c0) / 255.0 + dG * t,
                      ColorBlue(c0) / 255.0 + dB * t, ColorAlpha(c0) / 255.0 + dA * t);
}

}  // namespace

RadialGradient::RadialGradient(double centreX, double centreY, double innerR, double outerR,
                               u32 c0, u32 c1)
    : colour0(c0), colour1(c1), cx(centreX), cy(centreY), r0(innerR), r1(outerR) {
  span = r1 - r0;
  ChannelDeltas(c0, c1, &dA, &dR, &dG, &dB);
}

u32 RadialGradient::ColorAt(i32 xi, i32 yi) const {
  double x = xi, y = yi;
  if (y > cy + r1 || y < cy - r1 || x > cx + r1 || x < cx - r1) return colour1;
  double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
  if (d > r1) return colour1;
  if (d < r0 || d == 0.0) return colour0;
  // Equal radii leave no ring to interpolate over (and d = r0 = r1 here).
  if (!(span > 0.0)) return colour0;
  return MixDeltas(colour0, dA, dR, dG, dB, (d - r0) / span);
}

EllipticGradient::EllipticGradient(double centreX, double centreY, double radiusX,
                                   double radiusY, u32 c0, u32 c1)
    : colour0(c0), colour1(c1), cx(centreX), cy(centreY), rx(radiusX), ry(radiusY) {
  wide = rx > ry;
  double small = wide ? ry : rx;
  double large = wide ? rx : ry;
  ratio = small > 0.0 ? large / small : 0.0;
  rmax = large;
  ChannelDeltas(c0, c1, &dA, &dR, &dG, &dB);
}

u32 EllipticGradient::ColorAt(i32 xi, i32 yi) const {
  double dx = xi - cx, dy = yi - cy;
  if (!(ratio > 0.0)) {
    // A radius of 0 (or NaN): the gradient lies on one axis segment only.
    if (wide ? dy != 0.0 : dx != 0.0) return colour1;
    double d = std::fabs(wide ? dx : dy);
    if (d == 0.0) return colour0;
    if (!(d <= rmax) || !(rmax > 0.0)) return colour1;
    return MixDeltas(colour0, dA, dR, dG, dB, d / rmax);
  }
  if (wide)
    dy *= ratio;
  else
    dx *= ratio;
  double d = std::sqrt(dx * dx + dy * dy);
  if (d == 0.0) return colour0;
  if (!(d <= rmax)) return colour1;
  return MixDeltas(colour0, dA, dR, dG, dB, d / rmax);
}

void CRasterizer::BlendRun(u32** dst, const double* coverage, u32 colour, i32 count) {
  u32* p = *dst;
  u32 alpha = ColorAlpha(colour);
  for (i32 i = 0; i < count; ++i) {
    u32 a = CoverageWeight(coverage[i], alpha);
    if (a != 0) p[i] = BlendPixel(p[i], colour, a);  // no weight leaves the pixel alone
  }
  *dst = p + (count > 0 ? count : 0);
}
