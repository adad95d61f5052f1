// The process-wide painter pointer, the per-canvas drawing state and the
// helpers the drawing files share.
#include <new>

#include "render/canvas.h"
#include "runtime/startup.h"
#include "ui/windows/theme/theme_draw.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

class CBuiltInThemePainter final : public CThemePainter {};

// The built-in painter lives in storage of its own, so that the exit list
// ends it and the C++ runtime never does.
alignas(CBuiltInThemePainter) unsigned char g_builtInStorage[sizeof(CBuiltInThemePainter)];
CBuiltInThemePainter* g_builtIn = nullptr;  // while it exists
CThemePainter* g_painter = nullptr;

}  // namespace

CThemePainter* ThemePainter() { return g_painter ? g_painter : g_builtIn; }
void SetThemePainter(CThemePainter* painter) { g_painter = painter; }
CThemePainter* BuiltInThemePainter() { return g_builtIn; }

void InitTheme() {
  InitThemeMetrics();
  InitThemeColors();
  if (!g_builtIn) g_builtIn = new (g_builtInStorage) CBuiltInThemePainter();
  rt::atexit(DestroyThemePainter);
}

void DestroyThemePainter() {
  if (!g_builtIn) return;
  if (g_painter == g_builtIn) g_painter = nullptr;
  g_builtIn->~CBuiltInThemePainter();
  g_builtIn = nullptr;
}

ThemePaintState* ThemeStateOf(const CCanvas* canvas) {
  return canvas ? static_cast<ThemePaintState*>(canvas->themeState) : nullptr;
}

void AttachThemeState(CCanvas* canvas, ThemePaintState* state) {
  if (canvas) canvas->themeState = state;
}

void CThemePainter::SetIcon(CCanvas* canvas, const CImageStrip* strip, const CImageStrip* disabledStrip) {
  ThemePaintState* state = ThemeStateOf(canvas);
  if (!state) return;
  state->iconStrip = strip;
  state->disabledIconStrip = disabledStrip;
}

void CThemePainter::SetScrollState(CCanvas* canvas, const ScrollBarState* scroll, i32 axis) {
  ThemePaintState* state = ThemeStateOf(canvas);
  if (!state || !scroll) return;
  (axis == 2 ? state->vScroll : state->hScroll) = *scroll;
}

void CThemePainter::SetAppIcon(const CBitmap* image) { appIcon_ = image; }

void CThemePainter::TintImage(const CImageStrip* source, CImageStrip* out) {
  const u32 base = ThemeTintColor();
  const double r = ColorRed(base) / 255.0, g = ColorGreen(base) / 255.0, b = ColorBlue(base) / 255.0;
  double m = r > g ? r : g;
  if (b > m) m = b;
  if (m <= 0.0) m = 1.0;  // a black base tints everything black
  MakeTintedBitmap(source, out, r / m, g / m, b / m);
}

namespace theme_draw {

void FillTurnedRoundRectGradientY(CCanvas* canvas, double x0, double y0, double x1, double y1,
                                  double radius, double angle, const LinearGradient& g) {
  if (x1 < x0) {
    const double t = x0;
    x0 = x1;
    x1 = t;
  }
  if (y1 < y0) {
    const double t = y0;
    y0 = y1;
    y1 = t;
  }
  NormalizeAngle(&angle);
  canvas->list.RecordRoundRect(x0 + canvas->originX, y0 + canvas->originY, x1 - x0, y1 - y0,
                               TruncateRadius(radius), angle);
  LinearGradient moved = g;
  moved.start += canvas->originY;
  moved.end += canvas->originY;
  canvas->list.RecordGradientY(moved);
}

void DrawTextInColour(CCanvas* canvas, double left, double bottom, double right, double top,
                      const wchar16* text, i32 length, u32 flags, u32 colour) {
  if (!text || length < -1) return;
  const u32 saved = canvas->textColour;
  canvas->textColour = colour;
  canvas->DrawTextInRect(left, bottom, right, top, text, length, flags);
  canvas->textColour = saved;
}

const CImageStrip* StripFor(const CCanvas* canvas, bool disabled, i32 frame) {
  const ThemePaintState* state = ThemeStateOf(canvas);
  if (!state || frame < 0) return nullptr;
  const CImageStrip* strip = disabled ? state->disabledIconStrip : state->iconStrip;
  return strip && frame < strip->FrameCount() ? strip : nullptr;
}

CClipScope::CClipScope(CCanvas* canvas, i32 left, i32 bottom, i32 right, i32 top) : canvas_(canvas) {
  canvas->GetClipRect(&saved_[0], &saved_[1], &saved_[2], &saved_[3]);
  if (left < saved_[0]) left = saved_[0];
  if (bottom < saved_[1]) bottom = saved_[1];
  if (right > saved_[2]) right = saved_[2];
  if (top > saved_[3]) top = saved_[3];
  empty_ = right <= left || top <= bottom || !canvas->SetClipRect(left, bottom, right, top);
}

CClipScope::~CClipScope() { canvas_->SetClipRect(saved_[0], saved_[1], saved_[2], saved_[3]); }

}  // namespace theme_draw
