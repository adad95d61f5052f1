// Controls that only show a value: the progress gauge and the gradient
// panel (the main window's status bar is app/main_window/status_bar.h).
// Their owners set the fields and ask for a repaint (a job's refresh
// thread does so under the window lock). Portable.
#pragma once
#include "render/bitmap.h"
#include "ui/views/control_painters.h"
#include "ui/widgets/widget.h"

template <class TParent>
class CProgressBar : public CWidgetOf<CProgressBar<TParent>, TParent> {
 public:
  double minimum = 0.0;
  double maximum = 100.0;
  double value = 0.0;
  u32 style = 0;  // the bar's colour

  void PaintContent(CCanvas& canvas) { PaintProgressBar(canvas, *this); }
};

template <class TParent>
class CGradientPanel : public CWidgetOf<CGradientPanel<TParent>, TParent> {
 public:
  u32 bottomColour = 0;
  u32 topColour = 0;
  const CBitmap* bitmap = nullptr;
  i32 bitmapX = 0, bitmapY = 0;  // content coordinates
  double bitmapOpacity = 1.0;

  void PaintContent(CCanvas& canvas) { PaintGradientPanel(canvas, *this); }
};
