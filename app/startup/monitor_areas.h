// The work areas of all monitors, as y-up desktop rectangles (measured from
// the bottom of the primary work area, like every toolkit coordinate).
// Windows only.
#pragma once
#include "render/rect.h"

constexpr u32 kMaxMonitors = 16;

// Fills at most `capacity` areas and returns their count (at least the
// primary work area when monitors cannot be listed).
u32 GetMonitorWorkAreas(Rect* out, u32 capacity);
