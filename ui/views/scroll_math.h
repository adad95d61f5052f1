// The arithmetic of a scroll view: positions as fractions of the scrollable
// range, line and page steps, where the thumb lies on its bar, which part of
// a bar a point hits, thumb drags and the autoscroll speed. Every division
// is guarded: a content not larger than its view, a thumb that fills its
// track or an empty content give no step instead of a non-number, and
// positions always stay within 0.0 to 1.0. Portable.
//
// Positions: horizontal 0.0 shows the left end, vertical 1.0 shows the top
// (y points up).
#pragma once
#include "runtime/types.h"
#include "ui/windows/theme/theme_painter.h"  // ScrollBarState: a bar as it was last painted

// Part bits of a bar (ScrollBarState::parts, and the results of the hit
// tests).
constexpr u32 kPartBackArrow = 1;     // up arrow, left arrow
constexpr u32 kPartForwardArrow = 2;  // down arrow, right arrow
constexpr u32 kPartThumb = 4;
constexpr u32 kPartHot = kScrollPartHot;  // the pointer is over this bar
constexpr u32 kPartTrackBefore = 16;  // above the thumb, or left of it
constexpr u32 kPartTrackAfter = 32;   // below the thumb, or right of it

// Within [0, 1]; a non-number becomes 0.
double ClampUnit(double value);
// The share of the content a view shows (the thumb's share of its track):
// view / content within [0, 1], 1 for an empty content.
double VisibleFraction(i32 view, i32 content);
// n lines of `line` pixels in position units: line x n / (content - view);
// 0 when the content is not larger than the view.
double LineStepOf(i32 line, i32 n, i32 content, i32 view);
// One page on a track of `track` pixels: thumb / (track - thumb) with the
// thumb = track x fraction; 0 when the thumb fills the track.
double PageStepOf(i32 track, double fraction);
// Pixel offset of the visible part on an axis: position x (content - view)
// truncated, 0 when the range is not positive.
i32 ScrollOffsetOf(double position, i32 content, i32 view);
// A pixel distance in position units (0 without a range).
double PixelsToPosition(i32 pixels, i32 content, i32 view);

// The thumb on a bar that runs from lo to hi along its axis, with an arrow
// of `arrow` pixels at each end.
struct ThumbSpan {
  i32 trackStart;      // lo + arrow
  i32 trackLength;     // (hi - arrow) - (lo + arrow)
  double thumbStart;   // trackStart + (trackLength - thumbLength) x position
  double thumbLength;  // trackLength x fraction
};
ThumbSpan ThumbAlong(i32 lo, i32 hi, i32 arrow, const ScrollBarState& bar);

// The part of a bar under the coordinate p along it (p inside the bar): an
// arrow within `arrow` of either end, the thumb from its start to its end
// (both truncated, both included), else the track before or after it. On
// the vertical bar the back arrow is at the upper end and the track before
// the thumb lies above it.
u32 BarPartAt(bool vertical, i32 lo, i32 hi, i32 arrow, const ScrollBarState& bar, i32 p);

// The position a thumb drag reaches: the position at the press less the
// pointer's travel back toward the anchor (anchor - pointer, in pixels)
// over the free track; unchanged when the thumb fills its track.
double ThumbDragPosition(double start, i32 travelBack, i32 trackLength, double fraction);

// Autoscroll: position units per tick and unit of speed on an axis,
// 10 x (1 - view / content) / (content - view); 0 without a range.
double AutoScrollFactor(i32 content, i32 view);
// One autoscroll tick on an axis: position + speed x factor, stopped at the
// end it moves toward.
double AutoScrollStep(double position, double speed, double factor);
