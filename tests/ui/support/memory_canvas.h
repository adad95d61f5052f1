// A canvas over pixels in memory with the theme's per-window state attached,
// for painter tests: record, read the records back, or flush and compare
// pixels.
#pragma once
#include <vector>

#include "render/canvas.h"
#include "ui/windows/theme/theme_painter.h"

struct CMemoryCanvas {
  std::vector<u32> pixels;
  std::vector<double> scratch;
  CCanvas canvas;
  ThemePaintState state;

  CMemoryCanvas(i32 width, i32 height, i32 bands = 1)
      : pixels(static_cast<size_t>(width) * height, 0),
        scratch(CCanvas::CoverageScratchCount(width, bands)),
        canvas(bands) {
    canvas.Attach(pixels.data(), scratch.data(), width, height);
    canvas.Reset();
    AttachThemeState(&canvas, &state);
  }
  // Rasterises what was recorded (all of the canvas's bands).
  void Flush() { canvas.list.Flush(canvas.bandCount); }
};
