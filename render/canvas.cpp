// Canvas state and the public recorders (coordinates relative to the origin).
#include <cmath>

#include "render/canvas.h"
#include "render/canvas_text.h"
#include "render/raster/outline.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

// trunc(v) as an i32, saturating (NaN gives 0).
i32 TruncToInt(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483647.0) return -2147483647;
  return static_cast<i32>(v);
}

i32 SafeAdd(i32 a, i32 b) {
  i64 s = static_cast<i64>(a) + b;
  if (s > 2147483647) return 2147483647;
  if (s < -2147483647) return -2147483647;
  return static_cast<i32>(s);
}

void Order(double* a, double* b) {
  if (*b < *a) {
    double t = *a;
    *a = *b;
    *b = t;
  }
}

}  // namespace

double TruncateRadius(double r) { return std::trunc(r * 1000.0) / 1000.0; }

void NormalizeAngle(double* a) {
  if (!std::isfinite(*a)) return;
  if (*a > kTwoPi) *a = std::fmod(*a, kTwoPi);
  if (*a < -kTwoPi) *a = std::fmod(*a, kTwoPi);
}

void NormalizeRoundRect(double* x, double* y, double* w, double* h, double* angle) {
  double a = *angle;
  if (a < 0.0) a += kTwoPi;
  if (std::fabs(a - 0.5 * kPi) < 0.001 || std::fabs(a - 1.5 * kPi) < 0.001) {
    *x += *w / 2 - *h / 2;
    *y += *h / 2 - *w / 2;
    double t = *w;
    *w = *h;
    *h = t;
    a = 0.0;
  } else if (std::fabs(a) < 0.001 || std::fabs(a - kPi) < 0.001 || std::fabs(a - kTwoPi) < 0.001) {
    a = 0.0;
  }
  *angle = a;
}

CCanvas::CCanvas() : CCanvas(static_cast<i32>(GetProcessorCount())) {}

CCanvas::CCanvas(i32 bands) {
  if (bands < 1) bands = 1;
  if (bands > kMaxBands) bands = kMaxBands;
  bandCount = bands;
  font = GetDefaultFont();
}

CCanvas::~CCanvas() {
  ReleaseCanvasFont(font);
  font = nullptr;
  list.StopWorkers();
}

void CCanvas::SetFont(CFont* newFont) {
  if (newFont == font) return;
  AddCanvasFontReference(newFont);
  ReleaseCanvasFont(font);
  font = newFont;
}

void CCanvas::Attach(u32* targetPixels, double* scratch, i32 w, i32 h) {
  pixels = targetPixels;
  coverage = scratch;
  width = w > 0 && targetPixels ? w : 0;
  height = h > 0 && targetPixels ? h : 0;
  stride = width * 4;
  originX = originY = 0.0;
  list.Reset(this);
  SetViewport(0, 0, width, height);
  clip = baseClip;
}

void CCanvas::Reset() {
  list.Reset(this);
  originX = originY = 0.0;
  SetViewport(0, 0, width, height);
}

void CCanvas::SetViewport(double x, double y, double w, double h) {
  Rect r = {TruncToInt(originX + x), TruncToInt(originY + y), TruncToInt(originX + w),
            TruncToInt(originY + h)};
  // Never beyond the target: an empty result draws nothing.
  Rect target = {0, 0, width, height};
  if (!r.Intersect(target) || r.IsEmpty()) r = {0, 0, 0, 0};
  baseClip = r;
  clip = r;
  list.RecordClip(r);
}

bool CCanvas::SetClipRect(double left, double top, double right, double bottom) {
  i32 ox = TruncToInt(originX), oy = TruncToInt(originY);
  Rect r = {SafeAdd(TruncToInt(left), ox), SafeAdd(TruncToInt(top), oy),
            SafeAdd(TruncToInt(right), ox), SafeAdd(TruncToInt(bottom), oy)};
  if (!r.Intersect(baseClip) || r.IsEmpty()) return false;
  clip = r;
  list.RecordClip(r);
  return true;
}

void CCanvas::GetClipRect(i32* left, i32* top, i32* right, i32* bottom) const {
  i32 ox = TruncToInt(originX), oy = TruncToInt(originY);
  if (left) *left = SafeAdd(clip.left, -ox);
  if (top) *top = SafeAdd(clip.top, -oy);
  if (right) *right = SafeAdd(clip.right, -ox);
  if (bottom) *bottom = SafeAdd(clip.bottom, -oy);
}

namespace {

// Every gradient recorder adds the origin: callers give gradients in the
// same local coordinates as the shapes.
LinearGradient MovedGradient(const LinearGradient& g, double offset) {
  LinearGradient m = g;
  m.start += offset;
  m.end += offset;
  return m;
}
RadialGradientParams MovedGradient(const RadialGradientParams& g, double ox, double oy) {
  RadialGradientParams m = g;
  m.centreX += ox;
  m.centreY += oy;
  return m;
}
EllipticGradientParams MovedGradient(const EllipticGradientParams& g, double ox, double oy) {
  EllipticGradientParams m = g;
  m.centreX += ox;
  m.centreY += oy;
  return m;
}

struct Box {
  double x, y, w, h;
};

Box Normalized(double x0, double y0, double x1, double y1, double ox, double oy) {
  Order(&x0, &x1);
  Order(&y0, &y1);
  return {x0 + ox, y0 + oy, x1 - x0, y1 - y0};
}

}  // namespace

void CCanvas::FillCircle(double cx, double cy, double r, u32 colour) {
  list.RecordCircle(cx + originX, cy + originY, TruncateRadius(r));
  list.RecordSolidPaint(colour);
}

void CCanvas::FillCircleRadialGradient(double cx, double cy, double r,
                                       const RadialGradientParams& g) {
  list.RecordCircle(cx + originX, cy + originY, TruncateRadius(r));
  list.RecordRadialGradient(MovedGradient(g, originX, originY));
}

void CCanvas::FillRing(double cx, double cy, double r, double width, u32 colour) {
  list.RecordRing(cx + originX, cy + originY, TruncateRadius(r), width);
  list.RecordSolidPaint(colour);
}

void CCanvas::FillRect(double x0, double y0, double x1, double y1, u32 colour) {
  Box b = Normalized(x0, y0, x1, y1, originX, originY);
  list.RecordRect(b.x, b.y, b.w, b.h);
  list.RecordSolidPaint(colour);
}

void CCanvas::FillRectGradientY(double x0, double y0, double x1, double y1,
                                const LinearGradient& g) {
  Box b = Normalized(x0, y0, x1, y1, originX, originY);
  list.RecordRect(b.x, b.y, b.w, b.h);
  list.RecordGradientY(MovedGradient(g, originY));
}

void CCanvas::FillRectGradientX(double x0, double y0, double x1, double y1,
                                const LinearGradient& g) {
  Box b = Normalized(x0, y0, x1, y1, originX, originY);
  list.RecordRect(b.x, b.y, b.w, b.h);
  list.RecordGradientX(MovedGradient(g, originX));
}

void CCanvas::FillRectRadialGradient(double x0, double y0, double x1, double y1,
                                     const RadialGradientParams& g) {
  Box b = Normalized(x0, y0, x1, y1, originX, originY);
  list.RecordRect(b.x, b.y, b.w, b.h);
  list.RecordRadialGradient(MovedGradient(g, originX, originY));
}

void CCanvas::RecordRoundRectShape(double x0, double y0, double x1, double y1, double radius,
                                   double angle) {
  Box b = Normalized(x0, y0, x1, y1, originX, originY);
  list.RecordRoundRect(b.x, b.y, b.w, b.h, TruncateRadius(radius), angle);
}

void CCanvas::FillRoundRect(double x0, double y0, double x1, double y1, double radius,
                            u32 colour) {
  RecordRoundRectShape(x0, y0, x1, y1, radius, 0.0);
  list.RecordSolidPaint(colour);
}

void CCanvas::FillRotatedRoundRect(double x0, double y0, double x1, double y1, double radius,
                                   double angle, u32 colour) {
  NormalizeAngle(&angle);
  RecordRoundRectShape(x0, y0, x1, y1, radius, angle);
  list.RecordSolidPaint(colour);
}

void CCanvas::FillRoundRectGradientY(double x0, double y0, double x1, double y1, double radius,
                                     const LinearGradient& g) {
  RecordRoundRectShape(x0, y0, x1, y1, radius, 0.0);
  list.RecordGradientY(MovedGradient(g, originY));
}

void CCanvas::FillRoundRectGradientX(double x0, double y0, double x1, double y1, double radius,
                                     const LinearGradient& g) {
  RecordRoundRectShape(x0, y0, x1, y1, radius, 0.0);
  list.RecordGradientX(MovedGradient(g, originX));
}

void CCanvas::FillRoundRectRadialGradient(double x0, double y0, double x1, double y1,
                                          double radius, const RadialGradientParams& g) {
  RecordRoundRectShape(x0, y0, x1, y1, radius, 0.0);
  list.RecordRadialGradient(MovedGradient(g, originX, originY));
}

void CCanvas::FillRoundRectEllipticGradient(double x0, double y0, double x1, double y1,
                                            double radius, const EllipticGradientParams& g) {
  RecordRoundRectShape(x0, y0, x1, y1, radius, 0.0);
  list.RecordEllipticGradient(MovedGradient(g, originX, originY));
}

void CCanvas::FillRotatedRoundRectRadialGradient(double x0, double y0, double x1, double y1,
                                                 double radius, double angle,
                                                 const RadialGradientParams& g) {
  NormalizeAngle(&angle);
  RecordRoundRectShape(x0, y0, x1, y1, radius, angle);
  list.RecordRadialGradient(MovedGradient(g, originX, originY));
}

void CCanvas::FrameRoundRect(double x0, double y0, double x1, double y1, double radius,
                             double width, u32 colour) {
  Box b = Normalized(x0, y0, x1, y1, originX, originY);
  list.RecordRoundRectFrame(b.x, b.y, b.w, b.h, TruncateRadius(radius), 0.0, width);
  list.RecordSolidPaint(colour);
}

void CCanvas::FrameRotatedRoundRect(double x0, double y0, double x1, double y1, double radius,
                                    double angle, double width, u32 colour) {
  NormalizeAngle(&angle);
  Box b = Normalized(x0, y0, x1, y1, originX, originY);
  list.RecordRoundRectFrame(b.x, b.y, b.w, b.h, TruncateRadius(radius), angle, width);
  list.RecordSolidPaint(colour);
}

void CCanvas::Clear(u32 colour) { list.RecordFill(colour); }

void CCanvas::DrawText(double x, double y, const wchar16* text, i32 length) {
  if (!text) return;
  if (length == -1) {
    i32 n = 0;
    while (n <= 4096 && text[n] != 0) ++n;
    length = n > 4096 ? -1 : n;  // longer than 4096 units: nothing
  }
  if (length <= 0) return;
  list.RecordText(x + originX, y + originY, text, length, font, textColour);
}

void CCanvas::DrawBitmap(double x, double y, const BitmapView& view, double opacity) {
  if (!view.pixels) return;
  double x0 = x + originX, y0 = y + originY;
  list.RecordBitmap(x0, y0, x0 + view.width, y0 + view.height, view, opacity);
}

void CCanvas::DrawBitmapInRect(const BitmapView& view, double x0, double y0, double x1,
                               double y1, double opacity) {
  if (!view.pixels) return;
  list.RecordBitmap(x0 + originX, y0 + originY, x1 + originX, y1 + originY, view, opacity);
}
