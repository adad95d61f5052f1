#include "render/color.h"

#include <cmath>

u32 UnitToByte(double value) {
  if (!(value > 0.0)) return 0;  // also NaN
  if (value >= 1.0) return 255;
  return static_cast<u32>(value * 255.0);
}

u32 PackArgbUnit(double r, double g, double b, double a) {
  return PackArgb(UnitToByte(a), UnitToByte(r), UnitToByte(g), UnitToByte(b));
}

u32 LightenedColor(u32 colour, double t) {
  if (!(t == t)) t = 0.0;
  if (t > 1.0) t = 1.0;
  if (t < -1.0) t = -1.0;
  double ch[3] = {ColorRed(colour) / 255.0, ColorGreen(colour) / 255.0, ColorBlue(colour) / 255.0};
  for (double& c : ch) c = c + (1.0 - c) * t;  // results outside [0, 1] are clamped
  return PackArgbUnit(ch[0], ch[1], ch[2], ColorAlpha(colour) / 255.0);
}

void LightenColor(u32* colour, double t) {
  if (colour) *colour = LightenedColor(*colour, t);
}

double Floor(double v) { return std::floor(v); }
double Ceil(double v) { return std::ceil(v); }
