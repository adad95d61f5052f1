// Shape rendering speed and accuracy: this renderer (one band, then every
// band) against cairo's image backend on the same shapes in the same run,
// with both renderers' error against an exact area measure, and a scripted
// window frame in frames per second. cairo is loaded at run time; without it
// only this renderer's figures are printed.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "render/canvas.h"
#include "render/raster/outline.h"
#include "render/raster/scan_converter.h"
#include "render/shadow_generator.h"
#include "runtime/threads.h"

#if !defined(_WIN32) && __has_include(<cairo/cairo.h>)
#include <dlfcn.h>

#include <cairo/cairo.h>
#define HAVE_CAIRO 1
#else
#define HAVE_CAIRO 0
#endif

namespace {

constexpr double kPi = 3.14159265358979323846;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// ---- shapes ----------------------------------------------------------------------

enum Family {
  kCircles, kRings, kRects, kRoundRects, kTurnedRoundRects, kFrames, kTurnedFrames, kEllipses,
  kTurnedEllipses, kGradients, kFamilyCount
};
const char* const kNames[kFamilyCount] = {"circles r1.5-200", "rings", "fractional rects",
                                          "round rects", "round rects turned", "frames",
                                          "frames turned", "ellipses", "ellipses turned",
                                          "gradient fills"};

struct Shape {
  Family family;
  double cx, cy, a, b, r, w, angle;
  u32 colour;
};

Shape MakeShape(Family f, std::mt19937& g, i32 width, i32 height, bool opaqueWhite) {
  auto U = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(g); };
  Shape s = {};
  s.family = f;
  s.cx = U(0, width), s.cy = U(0, height);
  double size = std::exp(U(std::log(1.5), std::log(200.0)));
  if (f != kCircles && f != kRings) size = std::exp(U(std::log(3.0), std::log(120.0)));
  s.a = size, s.b = size * U(0.3, 1.0);
  s.r = U(0.5, 0.45 * std::min(s.a, s.b) * 2);
  s.w = U(0.6, 0.4 * std::min(s.a, s.b));
  s.angle = U(0.1, 1.4);
  s.colour = opaqueWhite ? 0xFFFFFFFFu : (0xFF000000u | static_cast<u32>(g() & 0xFFFFFF));
  if (!opaqueWhite && (g() & 3) == 0) s.colour = (s.colour & 0x00FFFFFFu) | 0x90000000u;
  return s;
}

// This renderer: record one shape.
void RecordShape(CCanvas& c, const Shape& s) {
  switch (s.family) {
    case kCircles: c.FillCircle(s.cx, s.cy, s.a, s.colour); break;
    case kRings: c.FillRing(s.cx, s.cy, s.a, s.w, s.colour); break;
    case kRects: c.FillRect(s.cx - s.a, s.cy - s.b, s.cx + s.a, s.cy + s.b, s.colour); break;
    case kRoundRects: c.FillRoundRect(s.cx - s.a, s.cy - s.b, s.cx + s.a, s.cy + s.b, s.r, s.colour); break;
    case kTurnedRoundRects:
      c.FillRotatedRoundRect(s.cx - s.a, s.cy - s.b, s.cx + s.a, s.cy + s.b, s.r, s.angle, s.colour);
      break;
    case kFrames: c.FrameRoundRect(s.cx - s.a, s.cy - s.b, s.cx + s.a, s.cy + s.b, s.r, s.w, s.colour); break;
    case kTurnedFrames:
      c.FrameRotatedRoundRect(s.cx - s.a, s.cy - s.b, s.cx + s.a, s.cy + s.b, s.r, s.angle, s.w, s.colour);
      break;
    case kEllipses:
    case kTurnedEllipses: {
      RotatedEllipseRecord r = {kOpRotatedEllipse, 0, s.cx, s.cy, s.b, s.a,
                                s.family == kEllipses ? 0.0 : s.angle, 0, 0};
      double sn = std::sin(r.angle), cs = std::cos(r.angle);
      double h = std::sqrt(s.a * s.a * sn * sn + s.b * s.b * cs * cs);
      r.yMax = s.cy + h, r.yMin = s.cy - h;
      c.list.Append(r);
      c.list.ExtendRows(r.yMax, r.yMin);
      c.list.RecordSolidPaint(s.colour);
      break;
    }
    case kGradients: {
      LinearGradient g = {s.colour, 0xFF202020u, s.cy - s.b, s.cy + s.b};
      c.FillRoundRectGradientY(s.cx - s.a, s.cy - s.b, s.cx + s.a, s.cy + s.b, s.r, g);
      break;
    }
    default: break;
  }
}

// The outline of a shape, for the exact area measure.
void ShapeOutline(COutline* o, const Shape& s) {
  double x = s.cx - s.a, y = s.cy - s.b, w = 2 * s.a, h = 2 * s.b;
  switch (s.family) {
    case kCircles: AddEllipseOutline(o, s.cx, s.cy, s.a, s.a, 0, false); break;
    case kRings:
      AddEllipseOutline(o, s.cx, s.cy, s.a, s.a, 0, false);
      AddEllipseOutline(o, s.cx, s.cy, s.a - s.w, s.a - s.w, 0, true);
      break;
    case kRects: AddRectOutline(o, x, y, w, h); break;
    case kRoundRects:
    case kGradients: AddRoundRectOutline(o, x, y, w, h, s.r, 0, false); break;
    case kTurnedRoundRects: AddRoundRectOutline(o, x, y, w, h, s.r, s.angle, false); break;
    case kFrames: AddRoundRectFrameOutline(o, x, y, w, h, s.r, 0, s.w); break;
    case kTurnedFrames: AddRoundRectFrameOutline(o, x, y, w, h, s.r, s.angle, s.w); break;
    case kEllipses: AddEllipseOutline(o, s.cx, s.cy, s.a, s.b, 0, false); break;
    case kTurnedEllipses: AddEllipseOutline(o, s.cx, s.cy, s.a, s.b, s.angle, false); break;
    default: break;
  }
}

// Exact area per pixel of the true shape: the outline sampled densely
// (32 points per pixel of length) and clipped to each pixel.
struct Pt {
  double x, y;
};

std::vector<std::vector<Pt>> DenseLoops(const Shape& s) {
  std::vector<std::vector<Pt>> loops;
  auto ellipse = [&](double cx, double cy, double a, double b, double th, bool rev) {
    std::vector<Pt> p;
    int n = std::max(256, static_cast<int>(2 * kPi * std::max(a, b) * 32));
    for (int i = 0; i < n; ++i) {
      double t = 2 * kPi * (rev ? n - i : i) / n;
      double u = a * std::cos(t), v = b * std::sin(t);
      p.push_back({cx + u * std::cos(th) - v * std::sin(th), cy + u * std::sin(th) + v * std::cos(th)});
    }
    loops.push_back(p);
  };
  auto roundRect = [&](double x, double y, double w, double h, double r, double th, bool rev) {
    r = std::min(std::max(r, 0.0), 0.5 * std::min(w, h));
    double cx = x + w / 2, cy = y + h / 2;
    double ccx[4] = {x + w - r, x + w - r, x + r, x + r}, ccy[4] = {y + r, y + h - r, y + h - r, y + r};
    std::vector<Pt> p;
    int n = std::max(16, static_cast<int>(r * 64));
    for (int k = 0; k < 4; ++k)
      for (int i = 0; i <= n; ++i) {
        double t = -kPi / 2 + k * kPi / 2 + (kPi / 2) * i / n;
        double px = ccx[k] + r * std::cos(t) - cx, py = ccy[k] + r * std::sin(t) - cy;
        p.push_back({cx + px * std::cos(th) - py * std::sin(th), cy + py * std::cos(th) + px * std::sin(th)});
      }
    if (rev) std::reverse(p.begin(), p.end());
    loops.push_back(p);
  };
  double x = s.cx - s.a, y = s.cy - s.b, w = 2 * s.a, h = 2 * s.b;
  switch (s.family) {
    case kCircles: ellipse(s.cx, s.cy, s.a, s.a, 0, false); break;
    case kRings:
      ellipse(s.cx, s.cy, s.a, s.a, 0, false);
      if (s.w < s.a) ellipse(s.cx, s.cy, s.a - s.w, s.a - s.w, 0, true);
      break;
    case kRects: roundRect(x, y, w, h, 0, 0, false); break;
    case kRoundRects:
    case kGradients: roundRect(x, y, w, h, s.r, 0, false); break;
    case kTurnedRoundRects: roundRect(x, y, w, h, s.r, s.angle, false); break;
    case kFrames:
    case kTurnedFrames: {
      double th = s.family == kFrames ? 0 : s.angle;
      roundRect(x, y, w, h, s.r, th, false);
      double m = 0.5 * std::min(w, h), rr = std::min(s.r, m);
      if (s.w < m) roundRect(x + s.w, y + s.w, w - 2 * s.w, h - 2 * s.w, std::max(rr - s.w, 0.0), th, true);
      break;
    }
    case kEllipses: ellipse(s.cx, s.cy, s.a, s.b, 0, false); break;
    case kTurnedEllipses: ellipse(s.cx, s.cy, s.a, s.b, s.angle, false); break;
    default: break;
  }
  return loops;
}

std::vector<Pt> Clip(const std::vector<Pt>& in, int axis, double v, bool above) {
  std::vector<Pt> out;
  for (size_t i = 0; i < in.size(); ++i) {
    Pt a = in[i], b = in[(i + 1) % in.size()];
    double ca = axis ? a.y : a.x, cb = axis ? b.y : b.x;
    bool ia = above ? ca >= v : ca <= v, ib = above ? cb >= v : cb <= v;
    if (ia) out.push_back(a);
    if (ia != ib) {
      double t = (v - ca) / (cb - ca);
      out.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
    }
  }
  return out;
}

double Area(const std::vector<Pt>& p) {
  double s = 0;
  for (size_t i = 0; i < p.size(); ++i) s += p[i].x * p[(i + 1) % p.size()].y - p[(i + 1) % p.size()].x * p[i].y;
  return 0.5 * s;
}

std::vector<double> ExactAreas(const Shape& s, i32 w, i32 h) {
  std::vector<double> g(static_cast<size_t>(w) * h, 0.0);
  for (const auto& loop : DenseLoops(s)) {
    double y0 = 1e300, y1 = -1e300, x0 = 1e300, x1 = -1e300;
    for (Pt q : loop) y0 = std::min(y0, q.y), y1 = std::max(y1, q.y), x0 = std::min(x0, q.x), x1 = std::max(x1, q.x);
    for (int j = std::max(0, (int)std::floor(y0)); j <= std::min(h - 1, (int)std::floor(y1)); ++j) {
      auto strip = Clip(Clip(loop, 1, j, true), 1, j + 1, false);
      if (strip.size() < 3) continue;
      for (int k = std::max(0, (int)std::floor(x0)); k <= std::min(w - 1, (int)std::floor(x1)); ++k) {
        auto cell = Clip(Clip(strip, 0, k, true), 0, k + 1, false);
        if (cell.size() >= 3) g[static_cast<size_t>(j) * w + k] += Area(cell);
      }
    }
  }
  for (double& v : g) v = std::fabs(v);
  return g;
}

// ---- cairo -------------------------------------------------------------------------

#if HAVE_CAIRO
struct Cairo {
#define F(name) decltype(&::name) name = nullptr
  F(cairo_image_surface_create_for_data);
  F(cairo_create);
  F(cairo_destroy);
  F(cairo_surface_destroy);
  F(cairo_set_source_rgba);
  F(cairo_arc);
  F(cairo_arc_negative);
  F(cairo_new_path);
  F(cairo_new_sub_path);
  F(cairo_close_path);
  F(cairo_fill);
  F(cairo_rectangle);
  F(cairo_set_fill_rule);
  F(cairo_save);
  F(cairo_restore);
  F(cairo_translate);
  F(cairo_rotate);
  F(cairo_scale);
  F(cairo_pattern_create_linear);
  F(cairo_pattern_add_color_stop_rgba);
  F(cairo_set_source);
  F(cairo_pattern_destroy);
  F(cairo_surface_flush);
  F(cairo_format_stride_for_width);
  F(cairo_set_source_surface);
  F(cairo_pattern_set_filter);
  F(cairo_get_source);
#undef F
  bool ok = false;
  Cairo() {
    void* lib = dlopen("libcairo.so.2", RTLD_NOW);
    if (!lib) return;
    ok = true;
#define L(name)                                                  \
  name = reinterpret_cast<decltype(name)>(dlsym(lib, #name));    \
  ok = ok && name != nullptr
    L(cairo_image_surface_create_for_data);
    L(cairo_create);
    L(cairo_destroy);
    L(cairo_surface_destroy);
    L(cairo_set_source_rgba);
    L(cairo_arc);
    L(cairo_arc_negative);
    L(cairo_new_path);
    L(cairo_new_sub_path);
    L(cairo_close_path);
    L(cairo_fill);
    L(cairo_rectangle);
    L(cairo_set_fill_rule);
    L(cairo_save);
    L(cairo_restore);
    L(cairo_translate);
    L(cairo_rotate);
    L(cairo_scale);
    L(cairo_pattern_create_linear);
    L(cairo_pattern_add_color_stop_rgba);
    L(cairo_set_source);
    L(cairo_pattern_destroy);
    L(cairo_surface_flush);
    L(cairo_format_stride_for_width);
    L(cairo_set_source_surface);
    L(cairo_pattern_set_filter);
    L(cairo_get_source);
#undef L
  }
};

Cairo& C() {
  static Cairo c;
  return c;
}

void CairoRoundRectPath(cairo_t* cr, double x, double y, double w, double h, double r) {
  Cairo& c = C();
  r = std::min(std::max(r, 0.0), 0.5 * std::min(w, h));
  c.cairo_new_sub_path(cr);
  c.cairo_arc(cr, x + w - r, y + r, r, -kPi / 2, 0);
  c.cairo_arc(cr, x + w - r, y + h - r, r, 0, kPi / 2);
  c.cairo_arc(cr, x + r, y + h - r, r, kPi / 2, kPi);
  c.cairo_arc(cr, x + r, y + r, r, kPi, 1.5 * kPi);
  c.cairo_close_path(cr);
}

void CairoColour(cairo_t* cr, u32 colour) {
  C().cairo_set_source_rgba(cr, ((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                            (colour & 0xFF) / 255.0, (colour >> 24) / 255.0);
}

void CairoShape(cairo_t* cr, const Shape& s) {
  Cairo& c = C();
  double x = s.cx - s.a, y = s.cy - s.b, w = 2 * s.a, h = 2 * s.b;
  c.cairo_new_path(cr);
  c.cairo_save(cr);
  CairoColour(cr, s.colour);
  bool turned = s.family == kTurnedRoundRects || s.family == kTurnedFrames || s.family == kTurnedEllipses;
  if (turned) {
    c.cairo_translate(cr, s.cx, s.cy);
    c.cairo_rotate(cr, s.angle);
    c.cairo_translate(cr, -s.cx, -s.cy);
  }
  switch (s.family) {
    case kCircles: c.cairo_arc(cr, s.cx, s.cy, s.a, 0, 2 * kPi); break;
    case kRings:
      c.cairo_arc(cr, s.cx, s.cy, s.a, 0, 2 * kPi);
      c.cairo_new_sub_path(cr);
      if (s.w < s.a) c.cairo_arc_negative(cr, s.cx, s.cy, s.a - s.w, 2 * kPi, 0);
      break;
    case kRects: c.cairo_rectangle(cr, x, y, w, h); break;
    case kRoundRects:
    case kTurnedRoundRects: CairoRoundRectPath(cr, x, y, w, h, s.r); break;
    case kGradients: {
      CairoRoundRectPath(cr, x, y, w, h, s.r);
      cairo_pattern_t* p = c.cairo_pattern_create_linear(0, y, 0, y + h);
      c.cairo_pattern_add_color_stop_rgba(p, 0, ((s.colour >> 16) & 0xFF) / 255.0,
                                          ((s.colour >> 8) & 0xFF) / 255.0, (s.colour & 0xFF) / 255.0, 1);
      c.cairo_pattern_add_color_stop_rgba(p, 1, 0x20 / 255.0, 0x20 / 255.0, 0x20 / 255.0, 1);
      c.cairo_set_source(cr, p);
      c.cairo_pattern_destroy(p);
      break;
    }
    case kFrames:
    case kTurnedFrames: {
      CairoRoundRectPath(cr, x, y, w, h, s.r);
      double m = 0.5 * std::min(w, h), rr = std::min(s.r, m);
      if (s.w < m) CairoRoundRectPath(cr, x + s.w, y + s.w, w - 2 * s.w, h - 2 * s.w, std::max(rr - s.w, 0.0));
      c.cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
      break;
    }
    case kEllipses:
    case kTurnedEllipses:
      c.cairo_translate(cr, s.cx, s.cy);
      c.cairo_scale(cr, s.a, s.b);
      c.cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
      break;
    default: break;
  }
  c.cairo_fill(cr);
  c.cairo_restore(cr);
}
#endif

// ---- measurements ------------------------------------------------------------------

struct Target {
  i32 w, h;
  std::vector<u32> pixels;
  std::vector<double> scratch;
  Target(i32 width, i32 height, i32 bands) : w(width), h(height), pixels(static_cast<size_t>(width) * height), scratch(static_cast<size_t>(width) * bands) {}
};

// Median and best of a set of timings.
struct Stats {
  double median = 0, best = 0;
};

Stats StatsOf(std::vector<double> v) {
  Stats s;
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  s.best = v.front();
  s.median = v.size() % 2 ? v[v.size() / 2] : 0.5 * (v[v.size() / 2 - 1] + v[v.size() / 2]);
  return s;
}

// Seconds per shape of two frames recorded and flushed back to back with
// the given band count: the first finds the band workers asleep (cold), the
// second awake as in an animation (hot).
void TimeOursPair(CCanvas& canvas, Target& t, const std::vector<Shape>& shapes, i32 bands, double* cold,
                  double* hot) {
  std::fill(t.pixels.begin(), t.pixels.end(), 0xFF000000u);
  for (int k = 0; k < 2; ++k) {
    double t0 = Now();
    canvas.Reset();
    for (const Shape& s : shapes) RecordShape(canvas, s);
    canvas.list.Flush(bands);
    *(k == 0 ? cold : hot) = (Now() - t0) / shapes.size();
  }
}

#if HAVE_CAIRO
double TimeCairoOnce(Target& t, const std::vector<Shape>& shapes) {
  Cairo& c = C();
  cairo_surface_t* surf = c.cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(t.pixels.data()), CAIRO_FORMAT_ARGB32, t.w, t.h, t.w * 4);
  cairo_t* cr = c.cairo_create(surf);
  std::fill(t.pixels.begin(), t.pixels.end(), 0xFF000000u);
  double t0 = Now();
  for (const Shape& s : shapes) CairoShape(cr, s);
  c.cairo_surface_flush(surf);
  double d = (Now() - t0) / shapes.size();
  c.cairo_destroy(cr);
  c.cairo_surface_destroy(surf);
  return d;
}
#endif

// Mean and largest |8-bit weight / 255 - exact area| over the pixels the
// shape touches, for a sample of shapes drawn alone in white on black.
struct Error {
  double mean = 0, max = 0;
};

// One row's coverage as the scan converter resolves it.
struct CoverageRow {
  static constexpr bool kRuns = false;
  double* row;
  void Constant(i32 a, i32 b, double c) { for (i32 x = a; x < b; ++x) row[x] = c; }
  void Cells(i32 a, i32 b, const double* c) { for (i32 x = a; x < b; ++x) row[x] = c[x]; }
};

Error OurError(Family f, u32 seed) {
  std::mt19937 g(seed);
  double sum = 0, mx = 0;
  long n = 0;
  for (int i = 0; i < 12; ++i) {
    const i32 W = 220, H = 220;
    Shape s = MakeShape(f, g, W, H, true);
    s.cx = W / 2.0 + (g() % 100) / 100.0, s.cy = H / 2.0 + (g() % 100) / 100.0;
    s.a = std::min(s.a, 100.0), s.b = std::min(s.b, 100.0), s.w = std::min(s.w, 0.4 * std::min(s.a, s.b));
    s.r = std::min(s.r, std::min(s.a, s.b));
    COutline o;
    ShapeOutline(&o, s);
    std::vector<double> exact = ExactAreas(s, W, H);
    std::vector<double> scratch(W, 0.0);
    for (i32 j = 0; j < H; ++j) {
      std::vector<double> row(W, 0.0);
      CoverageRow v{row.data()};
      ResolveRow(o, j, scratch.data(), W, 0, W, v);
      for (i32 x = 0; x < W; ++x) {
        double e = exact[static_cast<size_t>(j) * W + x];
        double a = std::floor(row[x] * 255.0) / 255.0;  // the blend weight
        if (e == 0 && a == 0) continue;
        double d = std::fabs(a - e);
        sum += d, mx = std::max(mx, d), ++n;
      }
    }
  }
  return {n ? sum / n : 0, mx};
}

#if HAVE_CAIRO
Error CairoError(Family f, u32 seed) {
  std::mt19937 g(seed);
  double sum = 0, mx = 0;
  long n = 0;
  for (int i = 0; i < 12; ++i) {
    const i32 W = 220, H = 220;
    Shape s = MakeShape(f, g, W, H, true);
    s.cx = W / 2.0 + (g() % 100) / 100.0, s.cy = H / 2.0 + (g() % 100) / 100.0;
    s.a = std::min(s.a, 100.0), s.b = std::min(s.b, 100.0), s.w = std::min(s.w, 0.4 * std::min(s.a, s.b));
    s.r = std::min(s.r, std::min(s.a, s.b));
    if (f == kGradients) s.family = kRoundRects;  // coverage only
    Target t(W, H, 1);
    std::fill(t.pixels.begin(), t.pixels.end(), 0u);
    cairo_surface_t* surf = C().cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(t.pixels.data()), CAIRO_FORMAT_ARGB32, W, H, W * 4);
    cairo_t* cr = C().cairo_create(surf);
    CairoShape(cr, s);
    C().cairo_surface_flush(surf);
    C().cairo_destroy(cr);
    C().cairo_surface_destroy(surf);
    std::vector<double> exact = ExactAreas(s, W, H);
    for (size_t k = 0; k < exact.size(); ++k) {
      double a = (t.pixels[k] >> 24) / 255.0;
      if (exact[k] == 0 && a == 0) continue;
      double d = std::fabs(a - exact[k]);
      sum += d, mx = std::max(mx, d), ++n;
    }
  }
  return {n ? sum / n : 0, mx};
}
#endif

// ---- the scripted window frame ------------------------------------------------------

void RecordWindow(CCanvas& c, CShadowGenerator& shadow, i32 w, i32 h, int frame) {
  c.Reset();
  c.Clear(0);
  shadow.DrawAt(&c, {0, 0, w, h});
  const double l = 9, t = 9, r = w - 10, b = h - 10;
  c.FillRoundRect(l, t, r, b, 6, 0xFFF4F6FAu);
  c.FrameRoundRect(l, t, r, b, 6, 1.0, 0xFF8090A0u);
  LinearGradient cap = {0xFF3060A0u, 0xFF5080C0u, b - 28, b};
  c.FillRoundRectGradientY(l + 1, b - 28, r - 1, b - 1, 5, cap);
  for (int i = 0; i < 30; ++i) {
    double bx = l + 12 + (i % 6) * ((r - l - 24) / 6), by = t + 60 + (i / 6) * 34;
    u32 fill = i == frame % 30 ? 0xFFD0E0F8u : 0xFFE8ECF2u;
    c.FillRoundRect(bx, by, bx + (r - l - 24) / 6 - 8, by + 26, 4, fill);
    c.FrameRoundRect(bx, by, bx + (r - l - 24) / 6 - 8, by + 26, 4, 1.0, 0xFF98A8B8u);
  }
  for (int i = 0; i < 3; ++i) {
    double py = t + 14 + i * 14, pw = (r - l - 40) * (((frame + i * 7) % 100) / 100.0);
    c.FillRoundRect(l + 20, py, r - 20, py + 10, 5, 0xFFDDE2E8u);
    LinearGradient bar = {0xFF60B060u, 0xFF309030u, py, py + 10};
    c.FillRoundRectGradientY(l + 20, py, l + 20 + pw + 10, py + 10, 5, bar);
    c.FrameRoundRect(l + 20, py, r - 20, py + 10, 5, 1.0, 0xFF90A090u);
  }
}

// Seconds per frame, one band and all bands frame after frame.
void WindowFrameTimes(i32 w, i32 h, i32 bands, Stats* one, Stats* all) {
  Target t(w, h, kMaxBands);
  CCanvas canvas(kMaxBands);
  canvas.Attach(t.pixels.data(), t.scratch.data(), w, h);
  CShadowGenerator shadow(2, 7);
  std::vector<double> times[2];
  double start = Now();
  for (int frame = 0; Now() - start < 1.2; ++frame) {
    for (int k = 0; k < 2; ++k) {
      double t0 = Now();
      RecordWindow(canvas, shadow, w, h, frame);
      canvas.list.Flush(k == 0 ? 1 : bands);
      times[k].push_back(Now() - t0);
    }
  }
  *one = StatsOf(times[0]);
  *all = StatsOf(times[1]);
}

#if HAVE_CAIRO
Stats CairoWindowFrameTimes(i32 w, i32 h) {
  Cairo& c = C();
  Target t(w, h, 1);
  CShadowGenerator shadow(2, 7);
  // The same nine-part shadow, from the same image, as cairo image draws.
  std::vector<u32> img(static_cast<size_t>(shadow.Side()) * shadow.Side());
  for (i32 y = 0; y < shadow.Side(); ++y)
    for (i32 x = 0; x < shadow.Side(); ++x) img[y * shadow.Side() + x] = shadow.ImagePixel(x, y);
  cairo_surface_t* shadowSurf = c.cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(img.data()), CAIRO_FORMAT_ARGB32, shadow.Side(), shadow.Side(), shadow.Side() * 4);
  cairo_surface_t* surf = c.cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(t.pixels.data()), CAIRO_FORMAT_ARGB32, w, h, w * 4);
  cairo_t* cr = c.cairo_create(surf);
  int frames = 0;
  std::vector<double> times;
  double start = Now();
  const i32 S = shadow.Side(), k = shadow.CornerSize();
  while (Now() - start < 0.6) {
    std::fill(t.pixels.begin(), t.pixels.end(), 0u);
    double f0 = Now();
    // Corners as they are, edges and inside stretched from the middle.
    auto part = [&](double dx, double dy, double dw, double dh, double sx, double sy, double sw, double sh) {
      c.cairo_save(cr);
      c.cairo_rectangle(cr, dx, dy, dw, dh);
      c.cairo_translate(cr, dx, dy);
      c.cairo_scale(cr, dw / sw, dh / sh);
      c.cairo_set_source_surface(cr, shadowSurf, -sx, -sy);
      c.cairo_fill(cr);
      c.cairo_restore(cr);
    };
    part(0, 0, k, k, 0, 0, k, k);
    part(w - k, 0, k, k, S - k, 0, k, k);
    part(0, h - k, k, k, 0, S - k, k, k);
    part(w - k, h - k, k, k, S - k, S - k, k, k);
    part(k, 0, w - 2 * k, k, S / 2, 0, 1, k);
    part(k, h - k, w - 2 * k, k, S / 2, S - k, 1, k);
    part(0, k, k, h - 2 * k, 0, S / 2, k, 1);
    part(w - k, k, k, h - 2 * k, S - k, S / 2, k, 1);
    part(k, k, w - 2 * k, h - 2 * k, S / 2, S / 2, 1, 1);
    const double l = 9, tp = 9, r = w - 10, b = h - 10;
    auto rr = [&](double x0, double y0, double x1, double y1, double rad, u32 col) {
      c.cairo_new_path(cr);
      CairoRoundRectPath(cr, x0, y0, x1 - x0, y1 - y0, rad);
      CairoColour(cr, col);
      c.cairo_fill(cr);
    };
    auto frameRR = [&](double x0, double y0, double x1, double y1, double rad, double d, u32 col) {
      c.cairo_new_path(cr);
      CairoRoundRectPath(cr, x0, y0, x1 - x0, y1 - y0, rad);
      CairoRoundRectPath(cr, x0 + d, y0 + d, x1 - x0 - 2 * d, y1 - y0 - 2 * d, std::max(rad - d, 0.0));
      c.cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
      CairoColour(cr, col);
      c.cairo_fill(cr);
      c.cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    };
    auto gradRR = [&](double x0, double y0, double x1, double y1, double rad, u32 c0, u32 c1) {
      c.cairo_new_path(cr);
      CairoRoundRectPath(cr, x0, y0, x1 - x0, y1 - y0, rad);
      cairo_pattern_t* p = c.cairo_pattern_create_linear(0, y0, 0, y1);
      c.cairo_pattern_add_color_stop_rgba(p, 0, ((c0 >> 16) & 255) / 255.0, ((c0 >> 8) & 255) / 255.0, (c0 & 255) / 255.0, 1);
      c.cairo_pattern_add_color_stop_rgba(p, 1, ((c1 >> 16) & 255) / 255.0, ((c1 >> 8) & 255) / 255.0, (c1 & 255) / 255.0, 1);
      c.cairo_set_source(cr, p);
      c.cairo_pattern_destroy(p);
      c.cairo_fill(cr);
    };
    rr(l, tp, r, b, 6, 0xFFF4F6FAu);
    frameRR(l, tp, r, b, 6, 1.0, 0xFF8090A0u);
    gradRR(l + 1, b - 28, r - 1, b - 1, 5, 0xFF3060A0u, 0xFF5080C0u);
    for (int i = 0; i < 30; ++i) {
      double bx = l + 12 + (i % 6) * ((r - l - 24) / 6), by = tp + 60 + (i / 6) * 34;
      rr(bx, by, bx + (r - l - 24) / 6 - 8, by + 26, 4, i == frames % 30 ? 0xFFD0E0F8u : 0xFFE8ECF2u);
      frameRR(bx, by, bx + (r - l - 24) / 6 - 8, by + 26, 4, 1.0, 0xFF98A8B8u);
    }
    for (int i = 0; i < 3; ++i) {
      double py = tp + 14 + i * 14, pw = (r - l - 40) * (((frames + i * 7) % 100) / 100.0);
      rr(l + 20, py, r - 20, py + 10, 5, 0xFFDDE2E8u);
      gradRR(l + 20, py, l + 20 + pw + 10, py + 10, 5, 0xFF60B060u, 0xFF309030u);
      frameRR(l + 20, py, r - 20, py + 10, 5, 1.0, 0xFF90A090u);
    }
    c.cairo_surface_flush(surf);
    times.push_back(Now() - f0);
    ++frames;
  }
  c.cairo_destroy(cr);
  c.cairo_surface_destroy(surf);
  c.cairo_surface_destroy(shadowSurf);
  return StatsOf(times);
}
#endif

}  // namespace

// Arguments: [reps] [first family] [last family] [sizes: 1 small, 2 large, 3 both] [window 0/1]
// [bands for "all", default one per processor]
int main(int argc, char** argv) {
  const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
  const int famFirst = argc > 2 ? std::atoi(argv[2]) : 0;
  const int famLast = argc > 3 ? std::atoi(argv[3]) : kFamilyCount - 1;
  const int sizeMask = argc > 4 ? std::atoi(argv[4]) : 3;
  const bool window = argc > 5 ? std::atoi(argv[5]) != 0 : true;
  const i32 cores = static_cast<i32>(GetProcessorCount());
  i32 bands = cores < 1 ? 1 : cores > kMaxBands ? kMaxBands : cores;
  if (argc > 6) bands = std::max(1, std::min(kMaxBands, std::atoi(argv[6])));
  bool cairo = false;
#if HAVE_CAIRO
  cairo = C().ok;
#endif
  std::printf("render_shapes_bench: %d processors, %d bands; reference: %s\n", cores, bands,
              cairo ? "cairo image backend (libcairo.so.2)" : "none (cairo not available)");
  const i32 sizes[2][2] = {{669, 469}, {1920, 1080}};
  if (std::getenv("RENDER_BENCH_HASH")) {
    // Checksums of the drawn targets instead of timings (to compare builds).
    for (int si = 0; si < 2; ++si) {
      const i32 W = sizes[si][0], H = sizes[si][1];
      Target t(W, H, kMaxBands);
      CCanvas canvas(kMaxBands);
      canvas.Attach(t.pixels.data(), t.scratch.data(), W, H);
      auto hash = [&] {
        u64 h = 1469598103934665603ull;
        for (u32 p : t.pixels) h = (h ^ p) * 1099511628211ull;
        return static_cast<unsigned long long>(h);
      };
      for (int f = 0; f < kFamilyCount; ++f)
        for (i32 b : {1, 2, 3, bands, 16}) {
          std::mt19937 g(1000 + f);
          std::vector<Shape> shapes;
          for (int i = 0; i < 300; ++i) shapes.push_back(MakeShape(static_cast<Family>(f), g, W, H, false));
          std::fill(t.pixels.begin(), t.pixels.end(), 0x40302010u);
          canvas.Reset();
          for (const Shape& s : shapes) RecordShape(canvas, s);
          canvas.list.Flush(b);
          std::printf("%dx%d %s bands %d: %016llx\n", W, H, kNames[f], b, hash());
        }
      CShadowGenerator shadow(2, 7);
      for (int frame = 0; frame < 3; ++frame) {
        RecordWindow(canvas, shadow, W, H, frame * 37);
        canvas.list.Flush(frame == 1 ? 1 : bands);
        std::printf("%dx%d window frame %d: %016llx\n", W, H, frame, hash());
      }
    }
    return 0;
  }
  for (int si = 0; si < 2; ++si) {
    if (!(sizeMask & (1 << si))) continue;
    const i32 W = sizes[si][0], H = sizes[si][1];
    std::printf("\nTarget %dx%d: microseconds per shape (record and flush), median / best of %d rounds (one\n"
                "band, all bands and cairo back to back in every round; ours: the second of two frames drawn\n"
                "back to back); ratios of medians (best in brackets); cold scal.: scaling of the first frame,\n"
                "whose workers were asleep\n", W, H, reps);
    std::printf("%-20s %15s %15s %15s %13s %13s %10s\n", "family", "ours 1", "ours all", "cairo", "cairo/1",
                "scaling", "cold scal.");
    Target t(W, H, kMaxBands);
    CCanvas canvas(kMaxBands);
    canvas.Attach(t.pixels.data(), t.scratch.data(), W, H);
    for (int f = famFirst; f <= famLast && f < kFamilyCount; ++f) {
      std::mt19937 g(1000 + f);
      std::vector<Shape> shapes;
      for (int i = 0; i < 300; ++i) shapes.push_back(MakeShape(static_cast<Family>(f), g, W, H, false));
      std::vector<double> oneT, allT, coldT, refT;
      for (int r = 0; r < reps; ++r) {
        double cold, hot;
        TimeOursPair(canvas, t, shapes, 1, &cold, &hot);
        oneT.push_back(hot);
        TimeOursPair(canvas, t, shapes, bands, &cold, &hot);
        allT.push_back(hot);
        coldT.push_back(cold);
#if HAVE_CAIRO
        if (cairo) refT.push_back(TimeCairoOnce(t, shapes));
#endif
      }
      Stats one = StatsOf(oneT), all = StatsOf(allT), ref = StatsOf(refT), cold = StatsOf(coldT);
      // Without cairo its columns say so instead of showing figures never measured.
      char a[3][32] = {"", "", "-"};
      std::snprintf(a[0], 32, "%.2f/%.2f", one.median * 1e6, one.best * 1e6);
      std::snprintf(a[1], 32, "%.2f/%.2f", all.median * 1e6, all.best * 1e6);
      char q[2][32] = {"-", ""};
      if (cairo) {
        std::snprintf(a[2], 32, "%.2f/%.2f", ref.median * 1e6, ref.best * 1e6);
        std::snprintf(q[0], 32, "%.2f (%.2f)", ref.median / one.median, ref.best / one.best);
      }
      std::snprintf(q[1], 32, "%.2f (%.2f)", one.median / all.median, one.best / all.best);
      std::printf("%-20s %15s %15s %15s %13s %13s %10.2f\n", kNames[f], a[0], a[1], a[2], q[0], q[1],
                  one.median / cold.median);
    }
  }
  if (!window) return 0;
  std::printf("\nCoverage error against the exact area (8-bit weight / 255 vs area), touched pixels\n");
  std::printf("%-20s %12s %12s %12s %12s\n", "family", "ours mean", "ours max", "cairo mean", "cairo max");
  for (int f = famFirst; f <= famLast && f < kFamilyCount; ++f) {
    Error ours = OurError(static_cast<Family>(f), 77 + f);
    Error ref;
#if HAVE_CAIRO
    if (cairo) ref = CairoError(static_cast<Family>(f), 77 + f);
#endif
    if (cairo)
      std::printf("%-20s %12.5f %12.5f %12.5f %12.5f\n", kNames[f], ours.mean, ours.max, ref.mean, ref.max);
    else
      std::printf("%-20s %12.5f %12.5f %12s %12s\n", kNames[f], ours.mean, ours.max, "-", "-");
  }
  std::printf("\nScripted window frame (shadow, frame, caption, 30 buttons, 3 progress bars): frames per\n"
              "second from the median frame time (best frame in brackets)\n");
  for (int si = 0; si < 2; ++si) {
    if (!(sizeMask & (1 << si))) continue;
    Stats one, all, ref;
    WindowFrameTimes(sizes[si][0], sizes[si][1], bands, &one, &all);
#if HAVE_CAIRO
    if (cairo) ref = CairoWindowFrameTimes(sizes[si][0], sizes[si][1]);
#endif
    auto fps = [](double s) { return s > 0 ? 1.0 / s : 0.0; };
    std::printf("%dx%d: ours 1 band %.0f (%.0f) fps, ours %d bands %.0f (%.0f) fps, ", sizes[si][0], sizes[si][1],
                fps(one.median), fps(one.best), bands, fps(all.median), fps(all.best));
    if (cairo)
      std::printf("cairo %.0f (%.0f) fps; ours 1 / cairo %.2f, ", fps(ref.median), fps(ref.best),
                  ref.median / one.median);
    std::printf("scaling %.2f\n", one.median / all.median);
  }
  return 0;
}
