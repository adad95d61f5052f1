// The widths of the status bar's parts: fixed parts keep their width, the
// automatic ones (-1) share what is left of the bar (less the 18-pixel
// sizing corner unless the window is maximised), the remainder dropped; a
// share is never negative. Portable.
#pragma once
#include "runtime/types.h"

constexpr i32 kStatusPartAuto = -1;
constexpr i32 kStatusGripWidth = 18;

void DistributeAutoSizes(const i32* widths, u32 count, i32 barWidth, bool maximised, i32* out);
