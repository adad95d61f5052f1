// Where the main window starts: the frame rectangle saved in "\Main" when
// it is usable, else 650 x 450 centred in the work area. Rectangles are the
// frame without its shadow margin, y-up desktop coordinates: {x, y, x2, y2}
// in Rect's {left, top, right, bottom} (y the lower edge, y2 the upper).
// Portable: the work areas are passed in.
#pragma once
#include "render/rect.h"

constexpr i32 kMainDefaultWidth = 650;
constexpr i32 kMainDefaultHeight = 450;
// Larger saved sizes are refused (a surface of that size is no window).
constexpr i32 kMainMaxSide = 16384;
// A saved window must keep at least this much of its top edge (its caption)
// inside one work area, or nobody could reach it to move it back.
constexpr i32 kMainMinVisibleWidth = 48;
constexpr i32 kMainMinVisibleHeight = 24;

// The centred default: x = (workRight - 650) / 2, y = (workBottom - 450) / 2
// (division toward zero; the work area's left and bottom edge are not used).
Rect DefaultMainRect(i32 workRight, i32 workBottom);

// A saved rectangle is usable when x2 > x and y2 > y, neither side exceeds
// kMainMaxSide, and the band of the caption's height along its top edge
// overlaps one of the work areas (y-up desktop rectangles) by at least
// kMainMinVisibleWidth x kMainMinVisibleHeight.
bool IsUsableMainRect(const Rect& saved, const Rect* workAreas, u32 areaCount);

// The saved rectangle when there is one (non-null) and it is usable, else
// the default.
Rect ChooseMainRect(const Rect* saved, const Rect* workAreas, u32 areaCount, i32 workRight,
                    i32 workBottom);
