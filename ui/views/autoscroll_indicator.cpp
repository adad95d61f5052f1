#include "ui/views/autoscroll_indicator.h"

#include <cmath>

#include "render/canvas.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr u32 kDisc = 0xA0FFFFFFu;
constexpr u32 kOutline = 0xE0808080u;
constexpr u32 kCentre = 0xF8000000u;
constexpr u32 kChevron = 0xC0808080u;

// One chevron bar: 8 wide and 2.2 high before it is turned about its centre.
void Bar(CCanvas& c, double x0, double y0, double angle) {
  c.FillRotatedRoundRect(x0, y0, x0 + 8.0, y0 + 2.2, 1.0, angle, kChevron);
}

}  // namespace

void DrawAutoScrollIndicator(CCanvas& canvas, Point anchor, Point pointer, u32 axes, u32 dotColour) {
  const double ax = anchor.x, ay = anchor.y;
  canvas.FillCircle(ax, ay, 20.0, kDisc);
  canvas.FillRing(ax, ay, 20.0, 1.0, kOutline);
  canvas.FillCircle(ax, ay, 3.0, kCentre);
  const double s = 4.0 * std::sin(kPi / 4) - 0.55;
  if (axes & kFlagHScroll) {
    Bar(canvas, ax - 18, ay - 1.1 - s, -kPi / 4);  // left chevron, pointing left
    Bar(canvas, ax - 18, ay - 1.1 + s, kPi / 4);
    Bar(canvas, ax + 10, ay - 1.1 - s, kPi / 4);   // right chevron
    Bar(canvas, ax + 10, ay - 1.1 + s, -kPi / 4);
  }
  if (axes & kFlagVScroll) {
    Bar(canvas, ax - 4 - s, ay + 14 - 1.1, -3 * kPi / 4);  // upper chevron
    Bar(canvas, ax - 4 + s, ay + 14 - 1.1, 3 * kPi / 4);
    Bar(canvas, ax - 4 - s, ay - 14 - 1.1, 3 * kPi / 4);   // lower chevron
    Bar(canvas, ax - 4 + s, ay - 14 - 1.1, -3 * kPi / 4);
  }
  if (pointer.x == anchor.x && pointer.y == anchor.y) return;
  const double vx = (pointer.x - anchor.x) / 20.0, vy = (pointer.y - anchor.y) / 20.0;
  const double theta = std::atan2(vy, vx);
  canvas.FillCircle(ax + 15.0 * std::cos(theta), ay + 15.0 * std::sin(theta), 3.0, dotColour);
}
