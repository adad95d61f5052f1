// Placement arithmetic of top-level windows: where a window's content goes,
// the surface's margins around it for the drop shadow, the screen rectangle
// of the surface and what a present pushes where. The work area is passed
// in (screen pixels) so that this stays pure. Portable.
//
// Content rectangles are y-up: Rect{x, y, x + width, y + height} with the
// lower edge in `top` (see theme_painter.h). Screen rectangles are the
// window system's: top-down {left, top, right, bottom}.
#pragma once
#include "render/rect.h"
#include "ui/windows/frame/ui_types.h"

// Margins of the surface around the content: left and bottom in y-up terms
// (the content's offset inside the surface) and the sum per axis.
struct WindowMargins {
  i32 left;
  i32 bottom;
  i32 total;
  i32 Top() const { return total - bottom; }
};
constexpr WindowMargins kLargeMargins = {9, 10, 19};  // frame windows and dialogs
constexpr WindowMargins kSmallMargins = {4, 6, 10};   // drop-down popups, popup menus
constexpr WindowMargins kNoMargins = {0, 0, 0};       // any maximised window

// The margins of a window kind in its current state.
inline WindowMargins MarginsFor(bool smallKind, u32 flags) {
  if (flags & kFlagMaximized) return kNoMargins;
  return smallKind ? kSmallMargins : kLargeMargins;
}

// The content rectangle of a window opened with a size (its position is
// ignored; none: two thirds of the work area at one sixth of it), centred
// on a y-up point or, without one, on the work area.
Rect PlaceContent(const Rect* size, const Point* centre, i32 workRight, i32 workBottom);

// The surface's screen rectangle around content {x, y, width, height}.
Rect SurfaceScreenRect(i32 x, i32 y, i32 width, i32 height, const WindowMargins& margins,
                       i32 workBottom);

// The content's y-up bottom-left corner for a surface whose screen top-left
// is (left, top).
Point ContentOrigin(i32 left, i32 top, i32 height, const WindowMargins& margins, i32 workBottom);

// One present of a surface with `rows` allocated rows: the screen point of
// the surface's top-left, its size, and the source point in the bottom-up
// DIB (the content lies in its bottom rows).
struct PresentGeometry {
  i32 destX, destY;
  i32 width, height;
  i32 srcX, srcY;
};
PresentGeometry ComputePresent(i32 x, i32 y, i32 width, i32 height, const WindowMargins& margins,
                               i32 rows, i32 workBottom);

// Sizes of the job windows' modal runners, from the theme metrics: the
// insert-disc prompt's size rectangle (360 x 156 with the start-up metrics)
// and the burn-image window's (540 x 388; without the image row, as for an
// audio project, 342).
Rect InsertDiscPromptSize();
Rect BurnImageWindowSize(bool imageRow);
// Centre of a y-up rectangle, each division truncating toward zero: where
// a window asked for by that rectangle's owner is centred.
Point CentreOf(const Rect& rect);
