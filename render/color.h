// Colour packing helpers and the rounding helpers of the renderer.
// Colours are 0xAARRGGBB with straight alpha. Portable.
#pragma once
#include "runtime/types.h"

inline u32 PackArgb(u32 a, u32 r, u32 g, u32 b) {
  return ((a & 0xFF) << 24) | ((r & 0xFF) << 16) | ((g & 0xFF) << 8) | (b & 0xFF);
}

// One channel given as a fraction: clamped to [0, 1] (NaN counts as 0),
// times 255, truncated.
u32 UnitToByte(double value);

// Four fractions (red, green, blue, alpha) packed as 0xAARRGGBB, each
// channel clamped to [0, 1] first.
u32 PackArgbUnit(double r, double g, double b, double a);

// Each of red, green and blue as a fraction c becomes c + (1 - c) x t (t
// below 0 darkens); alpha is kept. t is clamped to [-1, 1] and every result
// to [0, 1].
void LightenColor(u32* colour, double t);
u32 LightenedColor(u32 colour, double t);

double Floor(double v);
double Ceil(double v);

inline u32 ColorAlpha(u32 c) { return c >> 24; }
inline u32 ColorRed(u32 c) { return (c >> 16) & 0xFF; }
inline u32 ColorGreen(u32 c) { return (c >> 8) & 0xFF; }
inline u32 ColorBlue(u32 c) { return c & 0xFF; }
