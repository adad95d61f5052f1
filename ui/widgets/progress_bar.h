// CProgressBar: a gauge that shows value between minimum and maximum in its
// bar colour. Its owner sets the fields and asks for a repaint (a job's
// refresh thread does so under the window lock). Portable.
#pragma once
#include "render/bitmap.h"
#include "ui/views/control_painters.h"
#include "ui/widgets/widget.h"

// The gauge's trough is translucent: created see-through, so that a redraw
// repaints what lies behind it (no caption buttons, visible).
constexpr u32 kProgressBarFlags = 0xE;

template <class TParent>
class CProgressBar : public CWidgetOf<CProgressBar<TParent>, TParent> {
 public:
  double minimum = 0.0;
  double maximum = 100.0;
  double value = 0.0;
  u32 style = 0;  // the bar's colour

  void PaintContent(CCanvas& canvas) { PaintProgressBar(canvas, *this); }
};
