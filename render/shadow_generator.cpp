#include "render/shadow_generator.h"

#include <cmath>
#include <cstring>

#include "render/canvas.h"
#include "render/raster/paint.h"
#include "runtime/clock.h"
#include "runtime/heap.h"
#include "runtime/startup.h"

RoundRectShape SetupRoundRectShape(i32 left, i32 top, i32 right, i32 bottom, i32 radius) {
  RoundRectShape s;
  s.rect = {left, top, right, bottom};
  s.radius = radius;
  s.corners[0] = {left, top, left + radius, top + radius};
  s.corners[1] = {right - radius - 1, top, right, top + radius};
  s.corners[2] = {left, bottom - radius - 1, left + radius, bottom};
  s.corners[3] = {right - radius - 1, bottom - radius - 1, right, bottom};
  return s;
}

bool PointInCorner(i32 radius, i32 dx, i32 dy) { return dx * dx + dy * dy <= radius * radius; }

bool PointInRoundRect(const RoundRectShape& s, i32 x, i32 y) {
  if (!s.rect.Contains(x, y)) return false;
  const i32 r = s.radius;
  if (s.corners[0].Contains(x, y)) return PointInCorner(r, x - (s.rect.left + r), y - (s.rect.top + r));
  if (s.corners[1].Contains(x, y))
    return PointInCorner(r, x - (s.rect.right - r - 1), y - (s.rect.top + r));
  if (s.corners[2].Contains(x, y))
    return PointInCorner(r, x - (s.rect.left + r), y - (s.rect.bottom - r - 1));
  if (s.corners[3].Contains(x, y))
    return PointInCorner(r, x - (s.rect.right - r - 1), y - (s.rect.bottom - r - 1));
  return true;
}

CShadowGenerator::CShadowGenerator(i32 kind, i32 radius) : kind_(kind == 2 ? 2 : 1), radius_(radius) {
  if (radius_ < 0) radius_ = 0;
  const i32 inset = kind_ == 1 ? 3 : 5;
  margin_ = radius_ + inset;
  side_ = 2 * margin_ + (kind_ == 1 ? 12 : 20);
  rows_ = side_;
  pixelCount_ = side_ * side_;
  opacity_ = kind_ == 1 ? 0.25 : 0.55;
  image_ = static_cast<u32*>(rt::malloc(static_cast<u32>(pixelCount_) * 4));
  Render(SetupRoundRectShape(inset, inset, side_ - inset, side_ - inset, radius_));
}

CShadowGenerator::~CShadowGenerator() {
  rt::free(image_);
  image_ = nullptr;
}

void CShadowGenerator::SetOpacity(double opacity) {
  if (!(opacity > 0.0)) opacity = 0.0;
  if (opacity > 1.0) opacity = 1.0;
  for (;;) {
    lock_.Enter();
    if (readers_.load() == 0) break;
    lock_.Leave();
    SleepFor(1);  // a band is drawing this shadow; it ends shortly
  }
  opacity_ = opacity;
  const i32 inset = kind_ == 1 ? 3 : 5;
  Render(SetupRoundRectShape(inset, inset, side_ - inset, side_ - inset, margin_ - inset));
  lock_.Leave();
}

void CShadowGenerator::Render(const RoundRectShape& shape) {
  if (!image_) return;
  // The blur kernel: a radial fade of a circle, drawn by the renderer.
  const i32 k = kind_ == 1 ? 7 : 11;
  const i32 half = k / 2;  // kernel centre pixel
  u32 kernel[11 * 11];
  double scratch[11];
  {
    CCanvas canvas(1);
    canvas.Attach(kernel, scratch, k, k);
    canvas.Clear(0);
    RadialGradientParams g = {static_cast<double>(half), static_cast<double>(half), 0.0,
                            static_cast<double>(half), 0xFF000000u, 0x00000000u};
    canvas.FillCircleRadialGradient(0.5 * k, 0.5 * k, 0.5 * k, g);
    canvas.list.Flush(canvas.bandCount);
  }
  double total = 0.0;
  for (i32 i = 0; i < k * k; ++i) total += ColorAlpha(kernel[i]) / 255.0;
  const double weight = total > 0.0 ? 1.0 / total : 0.0;
  std::memset(image_, 0, static_cast<size_t>(pixelCount_) * 4);
  for (i32 y = 0; y < side_; ++y)
    for (i32 x = 0; x < side_; ++x) {
      double sum = 0.0;
      for (i32 dy = -half; dy < half; ++dy)
        for (i32 dx = -half; dx < half; ++dx)
          if (PointInRoundRect(shape, x + dx, y + dy))
            sum += ColorAlpha(kernel[(half + dy) * k + half + dx]) / 255.0;
      double a = opacity_ * sum * weight * 255.0;
      u32 alpha = a >= 255.0 ? 255u : a > 0.0 ? static_cast<u32>(a) : 0u;
      image_[y * side_ + x] = alpha << 24;
    }
}

u32 CShadowGenerator::ImagePixel(i32 x, i32 y) const {
  if (!image_ || x < 0 || y < 0 || x >= side_ || y >= side_) return 0;
  return image_[y * side_ + x];
}

void CShadowGenerator::Draw(CCanvas* canvas, const void* data, i32 rowStart, i32 rowEnd,
                            i32 clipLeft, i32 clipRight) {
  // The record's own copy of the rectangle.
  Rect p;
  std::memcpy(&p, data, sizeof(Rect));
  if (clipLeft > p.right || clipRight < p.left || rowStart > p.bottom || rowEnd < p.top) return;
  {
    CLockGuard guard(lock_);  // waits while SetOpacity re-renders the image
    readers_.fetch_add(1);
  }
  DrawParts(canvas, p, rowStart, rowEnd, clipLeft, clipRight);
  readers_.fetch_sub(1);
}

void CShadowGenerator::DrawParts(CCanvas* canvas, const Rect& p, i32 rowStart, i32 rowEnd,
                                 i32 clipLeft, i32 clipRight) {
  if (!image_ || !(opacity_ > 0.0)) return;
  const i32 c = CornerSize(), S = side_, mid = side_ / 2;
  i32 x0 = clipLeft > p.left ? clipLeft : p.left;
  i32 x1 = clipRight < p.right ? clipRight : p.right;
  i32 y0 = rowStart > p.top ? rowStart : p.top;
  i32 y1 = rowEnd < p.bottom ? rowEnd : p.bottom;
  if (x0 < 0) x0 = 0;
  if (x1 > canvas->width) x1 = canvas->width;
  if (y0 < 0) y0 = 0;
  if (y1 > canvas->height) y1 = canvas->height;
  // Columns of the left part, the stretched middle and the right part.
  const i32 leftEnd = p.left + c < x1 ? p.left + c : x1;
  const i32 rightStart = p.right - c > leftEnd ? p.right - c : leftEnd;
  for (i32 y = y0; y < y1; ++y) {
    // Source row: the near corner rows as they are, the far corner rows
    // counted back from the far edge (its last row takes image row 1), or
    // the middle.
    i32 sr = y < p.top + c ? y - p.top : y >= p.bottom - c ? p.bottom - y : mid;
    if (sr < 0 || sr >= S) continue;
    const u32* src = image_ + sr * S;
    u32* row = reinterpret_cast<u32*>(reinterpret_cast<u8*>(canvas->pixels) +
                                      static_cast<size_t>(y) * canvas->stride);
    for (i32 x = x0; x < leftEnd; ++x) {
      u32 s = src[x - p.left];
      if (s >> 24) row[x] = BlendPixel(row[x], s, s >> 24);
    }
    i32 m0 = x0 > leftEnd ? x0 : leftEnd, m1 = x1 < rightStart ? x1 : rightStart;
    if (m1 > m0 && (src[mid] >> 24)) BlendConstant(row + m0, m1 - m0, src[mid], src[mid] >> 24);
    for (i32 x = rightStart > x0 ? rightStart : x0; x < x1; ++x) {
      i32 sc = S - (p.right - x);
      if (sc < 0 || sc >= S) continue;
      u32 s = src[sc];
      if (s >> 24) row[x] = BlendPixel(row[x], s, s >> 24);
    }
  }
}

void CShadowGenerator::DrawAt(CCanvas* canvas, const Rect& rect) {
  if (!canvas) return;
  Rect r = rect;
  i32 ox = std::isfinite(canvas->originX) && std::fabs(canvas->originX) < 1e9 ? static_cast<i32>(canvas->originX) : 0;
  i32 oy = std::isfinite(canvas->originY) && std::fabs(canvas->originY) < 1e9 ? static_cast<i32>(canvas->originY) : 0;
  r.left += ox, r.right += ox, r.top += oy, r.bottom += oy;
  canvas->list.RecordDrawableData(&drawable_, &r, sizeof r, r.top, r.bottom);
}

void CShadowDrawable::Draw(CCanvas* canvas, const void* data, i32 rowStart, i32 rowEnd,
                           i32 clipLeft, i32 clipRight) {
  owner_->Draw(canvas, data, rowStart, rowEnd, clipLeft, clipRight);
}

// ---- the three process-wide generators ---------------------------------------

namespace {

CShadowGenerator* g_popupShadow = nullptr;
CShadowGenerator* g_paneShadow = nullptr;
CShadowGenerator* g_windowShadow = nullptr;

void Release(CShadowGenerator** slot) {
  rt::Delete(*slot);
  *slot = nullptr;
}

}  // namespace

void InitPopupShadow() {
  if (!g_popupShadow) g_popupShadow = rt::New<CShadowGenerator>(1, 5);
  rt::atexit(DestroyPopupShadow);
}

void InitPaneShadow() {
  if (!g_paneShadow) g_paneShadow = rt::New<CShadowGenerator>(1, 5);
  rt::atexit(DestroyPaneShadow);
}

void InitWindowShadow() {
  if (!g_windowShadow) g_windowShadow = rt::New<CShadowGenerator>(2, 7);
  rt::atexit(DestroyWindowShadow);
}

CShadowGenerator* GetPopupShadow() { return g_popupShadow; }
CShadowGenerator* GetPaneShadow() { return g_paneShadow; }
CShadowGenerator* GetWindowShadow() { return g_windowShadow; }
void DestroyPopupShadow() { Release(&g_popupShadow); }
void DestroyPaneShadow() { Release(&g_paneShadow); }
void DestroyWindowShadow() { Release(&g_windowShadow); }
