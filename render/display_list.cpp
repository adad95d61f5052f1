// The record operations of the display list (target coordinates).
#include <cmath>
#include <cstring>

#include "render/canvas.h"
#include "render/canvas_text.h"

void CDisplayList::ReleaseHeldFonts() {
  for (CFont* font : heldFonts_) ReleaseCanvasFont(font);
  heldFonts_.Clear();
}

void CDisplayList::Reset(CCanvas* canvas) {
  ReleaseHeldFonts();
  canvas_ = canvas;
  bandCount_ = canvas->bandCount;
  commands_.Empty();
  strings_.Empty();
  rowCount_ = 0;  // the row index belongs to the stream just emptied
  rowLimit_ = canvas->height;
  touchedEnd_ = 0;
  touchedStart_ = canvas->height;
  RecordClip({0, 0, canvas->width, canvas->height});
  ExtendRows(canvas->height, 0);
  if (!poolTried_) {
    poolTried_ = true;
    workersOk_ = CreateWorkers();
  }
  for (i32 i = 0; i < slotCount_; ++i) slots_[i].canvas = canvas;
  WakeWorkers();
}

void CDisplayList::ExtendRows(double yMax, double yMin) {
  // Rows [floor(yMin), ceil(yMax)), in doubles until cut to the target.
  double e = std::ceil(yMax);
  if (e > touchedEnd_) touchedEnd_ = e >= rowLimit_ ? rowLimit_ : static_cast<i32>(e);
  double s = std::floor(yMin);
  if (s < touchedStart_) touchedStart_ = s <= 0.0 ? 0 : static_cast<i32>(s);
  if (touchedEnd_ > rowLimit_) touchedEnd_ = rowLimit_;
}

void CDisplayList::RecordCircle(double cx, double cy, double r) {
  Append(CircleRecord{kOpCircle, 0, cx, cy, r});
  ExtendRows(cy + r, cy - r);
}

void CDisplayList::RecordRing(double cx, double cy, double r, double width) {
  Append(RingRecord{kOpRing, 0, cx, cy, r, width});
  ExtendRows(cy + r, cy - r);
}

void CDisplayList::RecordRect(double x, double y, double w, double h) {
  Append(RectRecord{kOpRect, 0, x, y, w, h});
  ExtendRows(y + h, y);
}

namespace {

bool IsFinite(double v) { return v == v && v - v == 0.0; }

// y extent of a (turned) rounded rectangle: the highest corner-circle centre
// plus the radius and the lowest minus it, the radius cut to half the
// smaller side and the corners turned about the centre as the outline does
// (so the outline never reaches beyond it). Not a number for a rectangle
// that has no outline.
void RoundRectExtent(double x, double y, double w, double h, double r, double angle,
                     double* yMax, double* yMin) {
  if (angle == 0.0) {
    *yMax = y + h;
    *yMin = y;
    return;
  }
  if (!IsFinite(x) || !IsFinite(y) || !IsFinite(w) || !IsFinite(h) || !IsFinite(angle) ||
      !(r == r) || !(w > 0.0) || !(h > 0.0)) {
    *yMax = *yMin = std::nan("");
    return;
  }
  double m = 0.5 * (w < h ? w : h);
  if (!(r > 0.0)) r = 0.0;
  if (r > m) r = m;
  const double c = std::cos(angle), s = std::sin(angle);
  const double cx = x + 0.5 * w, cy = y + 0.5 * h;
  const double l = x - cx, rr = x + w - cx, b = y - cy, t = y + h - cy;
  const double px[4] = {rr - r, l + r, l + r, rr - r}, py[4] = {t - r, t - r, b + r, b + r};
  double hi = -HUGE_VAL, lo = HUGE_VAL;
  for (int i = 0; i < 4; ++i) {
    double cornerY = cy + py[i] * c + px[i] * s;
    if (cornerY > hi) hi = cornerY;
    if (cornerY < lo) lo = cornerY;
  }
  *yMax = hi + r;
  *yMin = lo - r;
}

}  // namespace

void CDisplayList::RecordRoundRect(double x, double y, double w, double h, double radius,
                                   double angle) {
  NormalizeRoundRect(&x, &y, &w, &h, &angle);
  RoundRectRecord r = {kOpRoundRect, 0, x, y, w, h, radius, angle, 0.0, 0.0};
  RoundRectExtent(x, y, w, h, radius, angle, &r.yMax, &r.yMin);
  Append(r);
  ExtendRows(r.yMax, r.yMin);
}

void CDisplayList::RecordRoundRectFrame(double x, double y, double w, double h, double radius,
                                        double angle, double frameWidth) {
  NormalizeRoundRect(&x, &y, &w, &h, &angle);
  RoundRectFrameRecord r = {kOpRoundRectFrame, 0, x, y, w, h, radius, angle, 0.0, 0.0, frameWidth};
  RoundRectExtent(x, y, w, h, radius, angle, &r.yMax, &r.yMin);
  Append(r);
  ExtendRows(r.yMax, r.yMin);
}

void CDisplayList::RecordFill(u32 colour) { Append(FillRecord{kOpFill, colour}); }

void CDisplayList::RecordClip(const Rect& clip) {
  Append(ClipRecord{kOpClip, clip.left, clip.top, clip.right, clip.bottom});
}

void CDisplayList::RecordDrawableData(IDrawable* drawable, const void* data, u32 size,
                                      double top, double bottom) {
  if (!drawable || size > 65536 || (size && !data)) return;  // a drawable's state is a few bytes
  u8* p = commands_.Append(static_cast<u32>(sizeof(DrawableRecord)) + size);
  if (!p) return;
  DrawableRecord r = {kOpDrawable, 0, drawable, size, bottom, top};
  WriteRecord(p, r);
  if (size) std::memcpy(p + sizeof(DrawableRecord), data, size);
  ExtendRows(bottom, top);
}

void CDisplayList::RecordText(double x, double y, const wchar16* text, i32 length, CFont* font,
                              u32 colour) {
  // Without a font nothing can be measured or drawn.
  if (!text || length <= 0 || !font) return;
  if (!heldFonts_.Add(font)) return;
  AddCanvasFontReference(font);
  u32 offset = strings_.used / 2;
  u8* s = strings_.Append(static_cast<u32>(length) * 2);
  if (!s) return;
  std::memcpy(s, text, static_cast<size_t>(length) * 2);
  TextRunRecord r = {};
  r.op = kOpTextRun;
  r.x = x, r.y = y;
  r.boxLeft = x, r.boxBottom = y;
  MeasureTextRunBox(font, text, length, &r.boxLeft, &r.boxBottom, &r.boxWidth, &r.boxHeight);
  r.stringOffset = offset;
  r.font = font;
  r.length = length;
  Append(r);
  ExtendRows(r.boxBottom + r.boxHeight, r.boxBottom);
  RecordSolidPaint(colour);
}

void CDisplayList::RecordBitmap(double x0, double y0, double x1, double y1,
                                const BitmapView& view, double opacity) {
  if (!view.pixels) return;
  BitmapRecord r = {kOpBitmap, 0, x0, y0, x1, y1, view, opacity};
  Append(r);
  ExtendRows(y1 > y0 ? y1 : y0, y1 > y0 ? y0 : y1);
}

void CDisplayList::RecordEnd() { Append(EndRecord{kOpEnd, 0}); }

void CDisplayList::RecordSolidPaint(u32 colour) { Append(SolidPaint{kPaintSolid, colour}); }

void CDisplayList::RecordGradientY(const LinearGradient& g) {
  Append(LinearGradientPaint{kPaintGradientY, 0, g.colour0, g.colour1, g.start, g.end});
}

void CDisplayList::RecordGradientX(const LinearGradient& g) {
  Append(LinearGradientPaint{kPaintGradientX, 0, g.colour0, g.colour1, g.start, g.end});
}

void CDisplayList::RecordRadialGradient(const RadialGradientParams& g) {
  Append(RadialGradientPaint{kPaintRadial, 0, g.centreX, g.centreY, g.colour0, g.colour1, g.r0,
                             g.r1});
}

void CDisplayList::RecordEllipticGradient(const EllipticGradientParams& g) {
  EllipticGradientPaint p = {};
  p.kind = kPaintElliptic;
  p.centreX = g.centreX, p.centreY = g.centreY;
  p.rx = g.rx, p.ry = g.ry;
  p.colour0 = g.colour0, p.colour1 = g.colour1;
  Append(p);
}
