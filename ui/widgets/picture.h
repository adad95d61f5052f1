// CPicture: one frame of an image strip, drawn scaled about its middle and
// faded as its window animates zoom and opacity. No behaviour of its own.
// Portable.
#pragma once
#include "render/image_strip.h"
#include "ui/views/control_painters.h"
#include "ui/widgets/widget.h"

template <class TParent>
class CPicture : public CWidgetOf<CPicture<TParent>, TParent> {
 public:
  i32 frame = 0;
  double zoom = 1.0;     // 1: its own size; below: scaled; 0: nothing
  double opacity = 1.0;  // 0: nothing
  CImageStrip image;

  void PaintContent(CCanvas& canvas) { PaintPicture(canvas, *this); }
};
