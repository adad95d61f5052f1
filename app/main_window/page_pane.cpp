#include "app/main_window/page_pane.h"

#include "render/shadow_generator.h"
#include "ui/windows/theme/theme_metrics.h"

u32 PaneLightColour() { return ThemePanelColor(); }
u32 PaneOutlineColour() { return ThemeTintColor(); }

PanePlace BeginPagePane(CCanvas& canvas, i32 w, i32 h, u32 inner) {
  if (CShadowGenerator* shadow = GetPaneShadow()) shadow->DrawAt(&canvas, Rect{0, 0, w, h});
  canvas.originX += 4;
  canvas.originY += 6;
  const PanePlace p = {ThemeMenuSpacing(), w - 10, h - 10};
  const i32 b = p.border;
  const u32 light = PaneLightColour();
  canvas.FrameRoundRect(0, 0, p.width, p.height, 3, b + 1, light);
  canvas.FrameRoundRect(0, 0, p.width, p.height, 3, 1.0, light | 0xFF000000u);
  canvas.FillRoundRect(b, b, p.width - b, p.height - b, 3, inner);
  canvas.FrameRoundRect(b, b, p.width - b, p.height - b, 3, 1.0, PaneOutlineColour());
  return p;
}

void EndPagePane(CCanvas& canvas) {
  canvas.originX -= 4;
  canvas.originY -= 6;
}
