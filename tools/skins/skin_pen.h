// The drawing vocabulary of the skin pictures: every shape the renderer
// records, each with any paint (solid, linear along x or y, radial), in the
// canvas's local coordinates (y up). Triangles are sectors cut by a clip box,
// which keeps their edges exact. Used by the skin generator.
#pragma once
#include "render/canvas.h"
#include "runtime/types.h"

struct Paint {
  enum Kind { kSolid, kAlongY, kAlongX, kRadial } kind = kSolid;
  u32 colour0 = 0, colour1 = 0;
  double from = 0, to = 0;                  // along x or y: colour0 at from, colour1 at to
  double cx = 0, cy = 0, r0 = 0, r1 = 0;    // radial
};

Paint Solid(u32 colour);
// top colour at y = top, bottom colour at y = bottom (any order of the two y).
Paint Vertical(u32 top, u32 bottom, double yTop, double yBottom);
Paint Horizontal(u32 left, u32 right, double xLeft, double xRight);
Paint Radial(double cx, double cy, double r0, u32 inner, double r1, u32 outer);

class CPen {
 public:
  explicit CPen(CCanvas* canvas) : c_(canvas) {}
  CCanvas* Canvas() const { return c_; }

  void Circle(double cx, double cy, double r, const Paint& p);
  // The band between radius r and r - width.
  void Ring(double cx, double cy, double r, double width, const Paint& p);
  void Ellipse(double cx, double cy, double rx, double ry, const Paint& p);
  // Ellipse with semi-axis a along the direction angle, b across it.
  void TurnedEllipse(double cx, double cy, double a, double b, double angle, const Paint& p);
  void Rect(double x0, double y0, double x1, double y1, const Paint& p);
  void RoundRect(double x0, double y0, double x1, double y1, double r, const Paint& p);
  // A rounded rectangle of length x thickness centred on (cx, cy), turned.
  void Bar(double cx, double cy, double length, double thickness, double r, double angle,
           const Paint& p);
  // A pill from (x0, y0) to (x1, y1): round caps of radius thickness / 2.
  void Stroke(double x0, double y0, double x1, double y1, double thickness, const Paint& p);
  // Pie slice of a circle from angle a0 counter-clockwise to a1 (radians).
  void Sector(double cx, double cy, double r, double a0, double a1, const Paint& p);

  // Everything drawn until Unclip stays inside the box (whole pixels,
  // local coordinates); boxes nest by intersection with the frame.
  void ClipTo(i32 x0, i32 y0, i32 x1, i32 y1);
  void Unclip();
  // The frame the pen draws in: the origin moves to (x, y) and drawing is
  // kept inside w x h.
  void BeginFrame(i32 x, i32 y, i32 w, i32 h);

  // Triangle with its base on the whole-pixel line y = baseY from x = cx -
  // half to cx + half and its apex at (cx, apexY), above or below the base.
  void TriangleV(double cx, double apexY, i32 baseY, double half, const Paint& p);
  // The same turned: base on x = baseX, apex at (apexX, cy).
  void TriangleH(double cy, double apexX, i32 baseX, double half, const Paint& p);
  // The triangle of TriangleV (apex above the base, base anywhere) grown
  // by round in every direction: the corners given are the centres of the
  // rounding.
  void RoundTriangle(double cx, double apexY, double baseY, double half, double round,
                     const Paint& p);

 private:
  void Apply(const Paint& p);

  // Sets the canvas clip to the box cut by the current clip.
  void SetClip(i32 x0, i32 y0, i32 x1, i32 y1);

  CCanvas* c_;
  i32 frameW_ = 0, frameH_ = 0;
  i32 clipX0_ = 0, clipY0_ = 0, clipX1_ = 0, clipY1_ = 0;  // current clip, local
};
