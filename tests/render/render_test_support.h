// Helpers of the renderer tests: a memory target with its canvas, the
// recorders of the shapes that no canvas operation records (ops 7 to 12),
// and a coverage probe that runs the scan converter's row resolution.
#pragma once
#include <random>
#include <vector>

#include "render/canvas.h"
#include "render/raster/outline.h"
#include "runtime/types.h"

// Pixels and coverage scratch for a canvas of the given band count.
struct TestTarget {
  std::vector<u32> pixels;
  std::vector<double> scratch;
  CCanvas canvas;
  TestTarget(i32 w, i32 h, i32 bands, u32 fill);
  u32 At(i32 x, i32 y) const { return pixels[static_cast<size_t>(y) * canvas.width + x]; }
  void Fill(u32 value);
};

// Test-only recorders, target coordinates; each appends its solid paint.
void RecordEllipse(CDisplayList& list, double cx, double cy, double rx, double ry, u32 colour);
void RecordEllipseRing(CDisplayList& list, double cx, double cy, double rx, double ry,
                       double width, u32 colour);
void RecordRotatedEllipse(CDisplayList& list, double cx, double cy, double a, double b,
                          double angle, u32 colour);
void RecordRotatedEllipseRing(CDisplayList& list, double cx, double cy, double a, double b,
                              double width, double angle, u32 colour);
void RecordSector(CDisplayList& list, double cx, double cy, double a, double b, double start,
                  double end, double rotation, u32 colour);
void RecordSegment(CDisplayList& list, double cx, double cy, double a, double b, double t0,
                   double t1, double rotation, u32 colour);

// Seeded shape values that favour the adversarial spots: centres on whole
// and half pixels and next to pixel lines, radii around one pixel, angles
// at and next to quarter turns.
class ShapeRng {
 public:
  explicit ShapeRng(u32 seed) : g_(seed) {}
  double U(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(g_); }
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(g_); }
  double Centre(double lo, double hi);
  double Radius(double max);
  double Angle();
  u32 Colour();  // random channels, alpha often 255 and at times 0, 1 or 254

 private:
  std::mt19937 g_;
};

// Records count random shapes of every family (from the canvas recorders
// and the ones above) with random solid and gradient paints over about
// 160 x 120 pixels. Without curved gradients the rounded rectangles that
// would take a radial gradient take one along y instead (the same shapes),
// so no partly covered run has a colour that depends on where it starts.
void RecordScene(CCanvas& canvas, u32 seed, int count, bool curvedGradients = true);

// Coverage of every cell of a w x h grid (row-major) as the scan converter
// resolves it; clip columns [clipLeft, clipRight) (cells outside stay -1).
std::vector<double> ProbeCoverage(const COutline& outline, i32 w, i32 h, i32 clipLeft = 0,
                                  i32 clipRight = -1);

// The blend rule written out: weight 255 stores the colour opaque; otherwise
// each channel (c a + t (255 - a)) >> 8 and the target alpha, below 255,
// raised by ((255 - tA) a) >> 8.
u32 RuleBlend(u32 target, u32 colour, u32 weight);

// The pixel an opaque colour gives at a coverage over an opaque background:
// weight trunc(coverage x 255), none leaving the pixel.
u32 ExpectedPixel(u32 background, u32 colour, double coverage);
