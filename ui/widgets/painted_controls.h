// Controls that only show a value: the progress gauge, the gradient panel
// and the status bar. Their owners set the fields and ask for a repaint
// (a job's refresh thread does so under the window lock). Portable.
#pragma once
#include "render/bitmap.h"
#include "ui/views/control_painters.h"
#include "ui/widgets/gradient_panel.h"
#include "ui/widgets/progress_bar.h"
#include "ui/widgets/widget.h"

template <class TParent>
class CStatusBar : public CWidgetOf<CStatusBar<TParent>, TParent> {
 public:
  StatusBarItem items[2] = {{-1, -1, -1, CWideString()}, {-1, -1, -1, CWideString()}};
  i32 barHeight = 24;
  const CImageStrip* imageStrip = nullptr;

  void PaintContent(CCanvas& canvas) { PaintStatusBar(canvas, *this); }
};
