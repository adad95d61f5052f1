#include "ui/views/scroll_math.h"

double ClampUnit(double value) {
  if (!(value > 0.0)) return 0.0;  // also a non-number
  return value < 1.0 ? value : 1.0;
}

double VisibleFraction(i32 view, i32 content) {
  if (content <= 0) return 1.0;
  return ClampUnit(static_cast<double>(view) / static_cast<double>(content));
}

double LineStepOf(i32 line, i32 n, i32 content, i32 view) {
  const i64 range = static_cast<i64>(content) - view;
  if (range <= 0 || n <= 0 || line <= 0) return 0.0;
  return static_cast<double>(line) / static_cast<double>(range) * n;
}

double PageStepOf(i32 track, double fraction) {
  const double thumb = track * ClampUnit(fraction);
  const double free = track - thumb;
  if (!(free > 0.0)) return 0.0;
  return thumb / free;
}

i32 ScrollOffsetOf(double position, i32 content, i32 view) {
  const i64 range = static_cast<i64>(content) - view;
  if (range <= 0) return 0;
  return static_cast<i32>(ClampUnit(position) * static_cast<double>(range));
}

double PixelsToPosition(i32 pixels, i32 content, i32 view) {
  const i64 range = static_cast<i64>(content) - view;
  if (range <= 0) return 0.0;
  return static_cast<double>(pixels) / static_cast<double>(range);
}

ThumbSpan ThumbAlong(i32 lo, i32 hi, i32 arrow, const ScrollBarState& bar) {
  ThumbSpan s;
  s.trackStart = lo + arrow;
  s.trackLength = (hi - arrow) - (lo + arrow);
  if (s.trackLength < 0) s.trackLength = 0;
  s.thumbLength = s.trackLength * ClampUnit(bar.fraction);
  s.thumbStart = s.trackStart + (s.trackLength - s.thumbLength) * ClampUnit(bar.position);
  return s;
}

u32 BarPartAt(bool vertical, i32 lo, i32 hi, i32 arrow, const ScrollBarState& bar, i32 p) {
  if (vertical) {
    if (p > hi - arrow) return kPartBackArrow;
    if (p < lo + arrow) return kPartForwardArrow;
  } else {
    if (p < lo + arrow) return kPartBackArrow;
    if (p > hi - arrow) return kPartForwardArrow;
  }
  const ThumbSpan s = ThumbAlong(lo, hi, arrow, bar);
  const i32 first = static_cast<i32>(s.thumbStart);
  const i32 last = static_cast<i32>(s.thumbStart + s.thumbLength);
  if (p >= first && p <= last) return kPartThumb;
  // Below the thumb's start: left of it, or (y up) under it.
  if (p < first) return vertical ? kPartTrackAfter : kPartTrackBefore;
  return vertical ? kPartTrackBefore : kPartTrackAfter;
}

double ThumbDragPosition(double start, i32 travelBack, i32 trackLength, double fraction) {
  const double free = trackLength - trackLength * ClampUnit(fraction);
  if (!(free > 0.0)) return start;
  return ClampUnit(start - travelBack / free);
}

double AutoScrollFactor(i32 content, i32 view) {
  const i64 range = static_cast<i64>(content) - view;
  if (range <= 0 || content <= 0) return 0.0;
  return 10.0 * (1.0 - static_cast<double>(view) / content) / static_cast<double>(range);
}

double AutoScrollStep(double position, double speed, double factor) {
  const double next = position + speed * factor;
  if (next != next) return ClampUnit(position);
  return ClampUnit(next);
}
