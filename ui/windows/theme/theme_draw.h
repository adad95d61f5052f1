// Small helpers shared by the theme painter's drawing files: colours of the
// theme tables with another alpha, gradient records, text in a box with a
// colour of its own, and image-strip frames. Private to ui/windows.
// Portable.
#pragma once
#include "render/canvas.h"
#include "render/color.h"
#include "render/image_strip.h"
#include "render/text/text_layout.h"
#include "ui/windows/theme/theme_metrics.h"
#include "ui/windows/theme/theme_painter.h"

namespace theme_draw {

constexpr double kPi = 3.14159265358979323846;

inline u32 WithAlpha(u32 colour, u32 alpha) { return (colour & 0x00FFFFFFu) | (alpha << 24); }
inline u32 Opaque(u32 colour) { return colour | 0xFF000000u; }

inline LinearGradient Linear(u32 c0, u32 c1, double start, double end) { return {c0, c1, start, end}; }
inline RadialGradientParams Radial(double cx, double cy, u32 c0, double r0, u32 c1, double r1) {
  return {cx, cy, r0, r1, c0, c1};
}
inline EllipticGradientParams Elliptic(double cx, double cy, double rx, double ry, u32 c0, u32 c1) {
  return {cx, cy, rx, ry, c0, c1};
}

// A rounded rectangle turned about its centre, filled with a gradient along
// y (the canvas records turned shapes only with solid and radial paints).
void FillTurnedRoundRectGradientY(CCanvas* canvas, double x0, double y0, double x1, double y1,
                                  double radius, double angle, const LinearGradient& g);

// Text in {left, bottom, right, top} in a colour of its own; the canvas's
// colour is restored after. Nothing for a null text or a negative length
// other than -1.
void DrawTextInColour(CCanvas* canvas, double left, double bottom, double right, double top,
                      const wchar16* text, i32 length, u32 flags, u32 colour);

// The strip the canvas's state names for an item (the disabled strip for a
// disabled one: a disabled item without its own strip draws no image), when
// it holds the frame; else null.
const CImageStrip* StripFor(const CCanvas* canvas, bool disabled, i32 frame);

// Saves the canvas clip and narrows it to a rectangle (intersected with the
// current clip); restores the clip when it goes away. Empty() tells that
// nothing would show.
class CClipScope {
 public:
  CClipScope(CCanvas* canvas, i32 left, i32 bottom, i32 right, i32 top);
  ~CClipScope();
  bool Empty() const { return empty_; }

 private:
  CCanvas* canvas_;
  i32 saved_[4];
  bool empty_;
};

}  // namespace theme_draw
