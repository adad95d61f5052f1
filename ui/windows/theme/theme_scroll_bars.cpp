// The scroll bars a frame's style shows, drawn from the scroll states kept
// on the canvas: the track, two arrow buttons and the thumb with its grip
// rings.
#include <cmath>

#include "ui/windows/theme/theme_draw.h"

using namespace theme_draw;

namespace {

// A bar along one axis in that axis's terms: `a` runs along the bar, `b`
// across it; Place() turns such a rectangle into canvas coordinates.
struct Bar {
  bool vertical;
  double a0, a1, b0, b1;  // the bar's extent
  double t;               // thickness and arrow length
  u32 outline, arrow, grip;
  bool hot;
};

struct Box {
  double x0, y0, x1, y1;
};

Box Place(const Bar& bar, double a0, double a1) {
  return bar.vertical ? Box{bar.b0, a0, bar.b1, a1} : Box{a0, bar.b0, a1, bar.b1};
}

// Fill, gloss, hot glow and outline of one piece (button or thumb).
void Piece(CCanvas* canvas, const Bar& bar, const Box& p) {
  canvas->FillRotatedRoundRect(p.x0, p.y0, p.x1, p.y1, 2, 0, ThemeItemHotColor());
  if (bar.vertical)
    canvas->FillRoundRectGradientX(p.x0, p.y0, p.x1, p.y1, 2, Linear(0xC0FFFFFFu, 0x40FFFFFFu, p.x0, p.x1));
  else
    canvas->FillRoundRectGradientY(p.x0, p.y0, p.x1, p.y1, 2, Linear(0x40FFFFFFu, 0xC0FFFFFFu, p.y0, p.y1));
  if (bar.hot) {
    if (bar.vertical) {
      const double cy = (p.y0 + p.y1) / 2;
      canvas->FillRoundRectEllipticGradient((p.x0 + p.x1) / 2, p.y0, p.x1, p.y1, 2,
                                            Elliptic(p.x1, cy, (p.x1 - p.x0) / 2, (p.y1 - p.y0) / 2,
                                                     0xFFFFFFFFu, 0x00FFFFFFu));
    } else {
      const double cx = (p.x0 + p.x1) / 2;
      canvas->FillRoundRectEllipticGradient(p.x0, p.y0, p.x1, p.y1 - (p.y1 - p.y0) / 2, 2,
                                            Elliptic(cx, p.y0, (p.x1 - p.x0) / 2, (p.y1 - p.y0) / 2,
                                                     0xFFFFFFFFu, 0x00FFFFFFu));
    }
  }
  canvas->FrameRoundRect(p.x0, p.y0, p.x1, p.y1, 2, 1, bar.outline);
}

// The arrow of a button: two short bars meeting at the point. `towardsEnd`
// points right (horizontal) or up (vertical).
void Arrow(CCanvas* canvas, const Bar& bar, const Box& p, bool towardsEnd) {
  const double cx = (p.x0 + p.x1) / 2, cy = (p.y0 + p.y1) / 2;
  const double l = static_cast<i32>(bar.t) / 4;
  const double e = l * std::sin(kPi / 4) - 0.55;
  const double first = towardsEnd ? kPi / 4 : -kPi / 4;
  if (bar.vertical) {
    // top button: +pi/4 then -pi/4; bottom button the other way round
    const double turn = towardsEnd ? kPi / 4 : -kPi / 4;
    canvas->FillRotatedRoundRect(cx - l - e, cy - 1.1, cx + l - e, cy + 1.1, 1, turn, bar.arrow);
    canvas->FillRotatedRoundRect(cx - l + e, cy - 1.1, cx + l + e, cy + 1.1, 1, -turn, bar.arrow);
  } else {
    canvas->FillRotatedRoundRect(cx - l, cy - e - 1.1, cx + l, cy - e + 1.1, 1, first, bar.arrow);
    canvas->FillRotatedRoundRect(cx - l, cy + e - 1.1, cx + l, cy + e + 1.1, 1, -first, bar.arrow);
  }
}

double Unit(double v) { return v >= 0.0 ? (v <= 1.0 ? v : 1.0) : 0.0; }  // NaN gives 0

void DrawBar(CCanvas* canvas, const Bar& bar, const ScrollBarState& state) {
  const Box whole = Place(bar, bar.a0, bar.a1);
  const Box first = Place(bar, bar.a0, bar.a0 + bar.t);  // left or bottom button
  const Box second = Place(bar, bar.a1 - bar.t, bar.a1);  // right or top button
  if (!bar.vertical) {
    canvas->FrameRoundRect(first.x0, first.y0, first.x1, first.y1, 2, 1, 0xFFFF8080u);
    canvas->FrameRoundRect(second.x0, second.y0, second.x1, second.y1, 2, 1, 0xFFFF8080u);
    canvas->FillRoundRectGradientY(whole.x0, whole.y0, whole.x1, whole.y1, 2,
                                   Linear(0x80FFFFFFu, 0x80C0C0C0u, whole.y0, whole.y1));
    Piece(canvas, bar, first);
    Arrow(canvas, bar, first, false);
    Piece(canvas, bar, second);
    Arrow(canvas, bar, second, true);
  } else {
    canvas->FillRoundRectGradientX(whole.x0, whole.y0, whole.x1, whole.y1, 2,
                                   Linear(0x80C0C0C0u, 0x80FFFFFFu, whole.x0, whole.x1));
    Piece(canvas, bar, second);
    Arrow(canvas, bar, second, true);
    Piece(canvas, bar, first);
    Arrow(canvas, bar, first, false);
  }
  canvas->FrameRoundRect(whole.x0, whole.y0, whole.x1, whole.y1, 2, 1, bar.outline);
  const double track = (bar.a1 - bar.t) - (bar.a0 + bar.t);
  if (!(track > 0.0)) return;  // no room for a thumb
  const double length = Unit(state.fraction) * track;
  const double start = bar.a0 + bar.t + Unit(state.position) * (track - length);
  const Box thumb = Place(bar, start, start + length);
  Piece(canvas, bar, thumb);
  CClipScope clip(canvas, static_cast<i32>(thumb.x0 + 2), static_cast<i32>(thumb.y0 + 2),
                  static_cast<i32>(thumb.x1 - 2), static_cast<i32>(thumb.y1 - 2));
  if (clip.Empty()) return;
  const double limit = std::fmin(std::trunc(length / 2), 18.0);
  const double cx = (thumb.x0 + thumb.x1) / 2, cy = (thumb.y0 + thumb.y1) / 2;
  for (i32 r = 4; r < limit; r += 4) canvas->FillRing(cx, cy, r, 1, bar.grip);
}

}  // namespace

void CThemePainter::DrawFrameBorder(CCanvas* canvas, i32 w, i32 h, u32 style) {
  const bool horizontal = (style & kFlagHScroll) != 0, vertical = (style & kFlagVScroll) != 0;
  if (!horizontal && !vertical) return;
  const ThemePaintState* state = ThemeStateOf(canvas);
  const ScrollBarState none = {0.0, 0.0, 0};
  const double t = ThemeScrollBarSize();
  const bool framed = (style & (kFlagSizable | kFlagPanelFrame)) != 0;
  const double inset = framed ? 5 : 0;
  const u32 outline = WithAlpha(ThemeAccentColor(), 0x7F);
  if (horizontal) {
    const ScrollBarState& s = state ? state->hScroll : none;
    const bool hot = (s.parts & kScrollPartHot) != 0;
    Bar bar = {false, inset, w - inset - (vertical ? t : 0), inset, t + inset, t, outline,
               hot ? ThemeTextColor() : ThemeBorderColor(), hot ? ThemeAccentColor() : ThemeBorderColor(), hot};
    DrawBar(canvas, bar, s);
  }
  if (vertical) {
    const ScrollBarState& s = state ? state->vScroll : none;
    const bool hot = (s.parts & kScrollPartHot) != 0;
    Bar bar = {true, inset + (horizontal ? t : 0), h - inset, w - t - inset, w - inset, t, outline,
               hot ? ThemeTextColor() : ThemeBorderColor(), hot ? ThemeAccentColor() : ThemeBorderColor(), hot};
    DrawBar(canvas, bar, s);
  }
}
