// Reads a canvas's recorded command stream back as plain records, so that
// painter tests compare what was recorded (shapes, boxes, colours, text)
// instead of pixels.
#pragma once
#include <string>
#include <vector>

#include "render/canvas.h"
#include "render/display_records.h"

struct DrawnRecord {
  u32 op;              // kOp* of render/display_records.h
  double x0, y0, x1, y1;  // box in target coordinates (circles and rings: the centre twice)
  double radius;       // rounded shapes, circles and rings
  double angle;        // turned shapes
  double width;        // outlines and rings
  u32 paint;           // kPaint* (shapes and text)
  u32 colour;          // solid paint, or a gradient's first colour
  std::u16string text; // text runs
  u32 colour1;         // a gradient's second colour
  double g0, g1;       // linear: start and end; radial and elliptic: the centre
  const CFont* font;   // text runs: the font they were shaped in
  const u32* pixels;   // bitmaps: the first pixel of the view drawn (tells a strip's frames apart)
  double opacity;      // bitmaps
};

std::vector<DrawnRecord> ReadRecords(const CCanvas& canvas);
// The records of one kind.
std::vector<DrawnRecord> RecordsOf(const std::vector<DrawnRecord>& all, u32 op);
