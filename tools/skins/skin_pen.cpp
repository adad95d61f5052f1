#include "skin_pen.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "render/display_records.h"

Paint Solid(u32 colour) {
  Paint p;
  p.colour0 = p.colour1 = colour;
  return p;
}

Paint Vertical(u32 top, u32 bottom, double yTop, double yBottom) {
  // The renderer's linear paints run from a lower to a higher coordinate.
  Paint p;
  p.kind = Paint::kAlongY;
  if (yTop >= yBottom) {
    p.colour0 = bottom, p.colour1 = top, p.from = yBottom, p.to = yTop;
  } else {
    p.colour0 = top, p.colour1 = bottom, p.from = yTop, p.to = yBottom;
  }
  return p;
}

Paint Horizontal(u32 left, u32 right, double xLeft, double xRight) {
  Paint p;
  p.kind = Paint::kAlongX;
  if (xLeft <= xRight) {
    p.colour0 = left, p.colour1 = right, p.from = xLeft, p.to = xRight;
  } else {
    p.colour0 = right, p.colour1 = left, p.from = xRight, p.to = xLeft;
  }
  return p;
}

Paint Radial(double cx, double cy, double r0, u32 inner, double r1, u32 outer) {
  Paint p;
  p.kind = Paint::kRadial;
  p.cx = cx, p.cy = cy, p.r0 = r0, p.r1 = r1;
  p.colour0 = inner, p.colour1 = outer;
  return p;
}

void CPen::Apply(const Paint& p) {
  CDisplayList& list = c_->list;
  const double ox = c_->originX, oy = c_->originY;
  switch (p.kind) {
    case Paint::kSolid:
      list.RecordSolidPaint(p.colour0);
      break;
    case Paint::kAlongY:
      list.RecordGradientY(LinearGradient{p.colour0, p.colour1, p.from + oy, p.to + oy});
      break;
    case Paint::kAlongX:
      list.RecordGradientX(LinearGradient{p.colour0, p.colour1, p.from + ox, p.to + ox});
      break;
    case Paint::kRadial:
      list.RecordRadialGradient(
          RadialGradientParams{p.cx + ox, p.cy + oy, p.r0, p.r1, p.colour0, p.colour1});
      break;
  }
}

void CPen::Circle(double cx, double cy, double r, const Paint& p) {
  c_->list.RecordCircle(cx + c_->originX, cy + c_->originY, TruncateRadius(r));
  Apply(p);
}

void CPen::Ring(double cx, double cy, double r, double width, const Paint& p) {
  c_->list.RecordRing(cx + c_->originX, cy + c_->originY, TruncateRadius(r), width);
  Apply(p);
}

void CPen::Ellipse(double cx, double cy, double rx, double ry, const Paint& p) {
  cx += c_->originX, cy += c_->originY;
  c_->list.Append(EllipseRecord{kOpEllipse, 0, cx, cy, ry, rx});
  c_->list.ExtendRows(cy + ry, cy - ry);
  Apply(p);
}

void CPen::TurnedEllipse(double cx, double cy, double a, double b, double angle,
                         const Paint& p) {
  cx += c_->originX, cy += c_->originY;
  const double s = std::sin(angle), k = std::cos(angle);
  const double half = std::sqrt(a * a * s * s + b * b * k * k);
  c_->list.Append(RotatedEllipseRecord{kOpRotatedEllipse, 0, cx, cy, b, a, angle, cy + half,
                                       cy - half});
  c_->list.ExtendRows(cy + half, cy - half);
  Apply(p);
}

void CPen::Rect(double x0, double y0, double x1, double y1, const Paint& p) {
  if (x1 < x0) std::swap(x0, x1);
  if (y1 < y0) std::swap(y0, y1);
  c_->list.RecordRect(x0 + c_->originX, y0 + c_->originY, x1 - x0, y1 - y0);
  Apply(p);
}

void CPen::RoundRect(double x0, double y0, double x1, double y1, double r, const Paint& p) {
  Bar((x0 + x1) / 2, (y0 + y1) / 2, std::fabs(x1 - x0), std::fabs(y1 - y0), r, 0.0, p);
}

void CPen::Bar(double cx, double cy, double length, double thickness, double r, double angle,
               const Paint& p) {
  NormalizeAngle(&angle);
  c_->list.RecordRoundRect(cx - length / 2 + c_->originX, cy - thickness / 2 + c_->originY,
                           length, thickness, TruncateRadius(r), angle);
  Apply(p);
}

void CPen::Stroke(double x0, double y0, double x1, double y1, double thickness,
                  const Paint& p) {
  const double dx = x1 - x0, dy = y1 - y0;
  Bar((x0 + x1) / 2, (y0 + y1) / 2, std::sqrt(dx * dx + dy * dy) + thickness, thickness,
      thickness / 2, std::atan2(dy, dx), p);
}

void CPen::Sector(double cx, double cy, double r, double a0, double a1, const Paint& p) {
  cx += c_->originX, cy += c_->originY;
  c_->list.Append(SectorRecord{kOpSector, 0, cx, cy, r, r, a0, a1, 0.0, cy + r, cy - r});
  c_->list.ExtendRows(cy + r, cy - r);
  Apply(p);
}

void CPen::BeginFrame(i32 x, i32 y, i32 w, i32 h) {
  c_->originX = x;
  c_->originY = y;
  c_->SetViewport(0, 0, w, h);
  frameW_ = w, frameH_ = h;
  clipX0_ = 0, clipY0_ = 0, clipX1_ = w, clipY1_ = h;
}

void CPen::SetClip(i32 x0, i32 y0, i32 x1, i32 y1) {
  x0 = std::max(x0, clipX0_), y0 = std::max(y0, clipY0_);
  x1 = std::min(x1, clipX1_), y1 = std::min(y1, clipY1_);
  // The frame's viewport first (it also undoes an empty one), then the box;
  // an empty box empties the viewport, so that nothing is drawn.
  c_->SetViewport(0, 0, frameW_, frameH_);
  if (x1 <= x0 || y1 <= y0 || !c_->SetClipRect(x0, y0, x1, y1)) c_->SetViewport(0, 0, 0, 0);
}

void CPen::ClipTo(i32 x0, i32 y0, i32 x1, i32 y1) {
  Unclip();
  SetClip(x0, y0, x1, y1);
  clipX0_ = std::max(x0, 0), clipY0_ = std::max(y0, 0);
  clipX1_ = std::min(x1, frameW_), clipY1_ = std::min(y1, frameH_);
}

void CPen::Unclip() {
  clipX0_ = 0, clipY0_ = 0, clipX1_ = frameW_, clipY1_ = frameH_;
  SetClip(0, 0, frameW_, frameH_);
}

void CPen::TriangleV(double cx, double apexY, i32 baseY, double half, const Paint& p) {
  const double height = std::fabs(apexY - baseY);
  if (height <= 0 || half <= 0) return;
  const double spread = std::atan2(half, height);
  const double down = apexY > baseY ? -M_PI / 2 : M_PI / 2;
  const i32 left = static_cast<i32>(std::floor(cx - half)) - 1;
  const i32 right = static_cast<i32>(std::ceil(cx + half)) + 1;
  if (apexY > baseY)
    SetClip(left, baseY, right, static_cast<i32>(std::ceil(apexY)) + 1);
  else
    SetClip(left, static_cast<i32>(std::floor(apexY)) - 1, right, baseY);
  Sector(cx, apexY, std::hypot(half, height) + 2, down - spread, down + spread, p);
  SetClip(clipX0_, clipY0_, clipX1_, clipY1_);
}

void CPen::TriangleH(double cy, double apexX, i32 baseX, double half, const Paint& p) {
  const double width = std::fabs(apexX - baseX);
  if (width <= 0 || half <= 0) return;
  const double spread = std::atan2(half, width);
  const double back = apexX > baseX ? M_PI : 0.0;
  const i32 bottom = static_cast<i32>(std::floor(cy - half)) - 1;
  const i32 top = static_cast<i32>(std::ceil(cy + half)) + 1;
  if (apexX > baseX)
    SetClip(baseX, bottom, static_cast<i32>(std::ceil(apexX)) + 1, top);
  else
    SetClip(static_cast<i32>(std::floor(apexX)) - 1, bottom, baseX, top);
  Sector(apexX, cy, std::hypot(half, width) + 2, back - spread, back + spread, p);
  SetClip(clipX0_, clipY0_, clipX1_, clipY1_);
}

void CPen::RoundTriangle(double cx, double apexY, double baseY, double half, double round,
                         const Paint& p) {
  const double w = 2 * round;
  Stroke(cx, apexY, cx - half, baseY, w, p);
  Stroke(cx, apexY, cx + half, baseY, w, p);
  Stroke(cx - half, baseY, cx + half, baseY, w, p);
  // The core, its base moved to the next whole line toward the apex; the
  // strokes cover the sliver between.
  const i32 line = static_cast<i32>(std::ceil(baseY));
  const double height = apexY - baseY;
  if (apexY - line <= 0) return;
  TriangleV(cx, apexY, line, half * (apexY - line) / height, p);
}
