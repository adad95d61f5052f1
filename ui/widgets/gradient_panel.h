// CGradientPanel: a panel filled with a vertical gradient between its two
// colours, with an optional picture at a given opacity. Portable.
#pragma once
#include "render/bitmap.h"
#include "ui/views/control_painters.h"
#include "ui/widgets/widget.h"

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
