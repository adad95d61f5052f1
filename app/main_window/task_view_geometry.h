// The task view's arithmetic: where the 424-pixel panel stands in the page
// host (its stored offset, -1 centred), how a drag and the centring double
// click move it, and where its job entries stand in the scrolled job pane
// (138 pixels high, one every 154 pixels from the top). Portable.
#pragma once
#include "runtime/types.h"

constexpr i32 kTaskViewWidth = 424;
constexpr i32 kTaskViewCentred = -1;
constexpr i32 kJobEntryHeight = 138;
constexpr i32 kJobEntryPitch = 154;

// The panel's x for the page's Place: the centred offset is half the host's
// widget width less 212 and is not clamped; a stored offset is kept inside
// the host's content width (0 when the host is narrower than the panel).
i32 TaskViewPlaceX(i32 offset, i32 hostWidth, i32 contentWidth);
// A drag step: the panel follows the cursor's x movement, clamped to
// 0 .. contentWidth - 424 (0 when that is negative).
i32 TaskViewDragX(i32 panelX, i32 anchorX, i32 cursorX, i32 contentWidth);
// The centring double click: (contentWidth - 424) / 2, 0 when negative.
i32 TaskViewCentreX(i32 contentWidth);

// The job pane's content height for a number of jobs.
i32 JobPaneContentHeight(u32 jobs);
// The y (lower edge, y up) of job entry `index` in the pane scrolled by
// scrollOffset (the scroll view's offset of its visible part).
i32 JobEntryY(u32 index, i32 contentHeight, i32 viewHeight, i32 scrollOffset);
