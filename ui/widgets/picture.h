// CPicture: one frame of an image strip, drawn scaled about its middle and
// faded as its window animates zoom and opacity. No behaviour of its own.
// Portable.
#pragma once
#include "render/image_strip.h"
#include "ui/views/control_painters.h"
#include "ui/widgets/widget.h"

// A picture paints no background of its own: created see-through, so that a
// redraw repaints what lies behind it (no caption buttons, visible).
constexpr u32 kPictureFlags = 0xE;

template <class TParent>
class CPicture : public CWidgetOf<CPicture<TParent>, TParent> {
 public:
  i32 frame = 0;
  double zoom = 1.0;     // 1: its own size; below: scaled; 0: nothing
  double opacity = 1.0;  // 0: nothing
  CImageStrip image;

  void PaintContent(CCanvas& canvas) { PaintPicture(canvas, *this); }
};
