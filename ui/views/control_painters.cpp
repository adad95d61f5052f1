// The non-template parts of the control painters.
#include "ui/views/control_painters.h"

#include "render/text/font.h"
#include "render/text/text_layout.h"

CCanvasFontScope::CCanvasFontScope(CCanvas& canvas, CFont* font)
    : canvas_(canvas), saved_(canvas.font), swapped_(font != nullptr && font != canvas.font) {
  if (!swapped_) return;
  if (saved_) saved_->AddRef();  // SetFont releases the canvas's reference
  canvas.SetFont(font);
}

CCanvasFontScope::~CCanvasFontScope() {
  if (!swapped_) return;
  canvas_.SetFont(saved_);
  if (saved_) saved_->Release();
}

void PaintLabelLines(CCanvas& canvas, i32 w, i32 h, u32 decoration, u32 colour, i32 t) {
  i32 lower = 0, upper = h;
  if (decoration & 0x2) {
    canvas.FillRect(0, 0, w, t, colour);
    lower = t;
  }
  if (decoration & 0x8) {
    canvas.FillRect(0, h - t, w, h, colour);
    upper = h - t;
  }
  if (decoration & 0x1) canvas.FillRect(0, lower, t, upper, colour);
  if (decoration & 0x4) canvas.FillRect(w - t, lower, w, upper, colour);
}

void PaintPictureFrame(CCanvas& canvas, const CImageStrip& image, i32 frame, double zoom, double opacity, i32 w,
                       i32 h) {
  if (image.FrameCount() <= 0 || !(zoom > 0.0) || opacity == 0.0) return;
  if (zoom >= 1.0) {
    image.DrawFrame(&canvas, frame, 0, 0, opacity);
    return;
  }
  BitmapView view;
  image.GetFrame(frame, &view);
  if (!view.pixels) return;
  canvas.DrawBitmapInRect(view, w / 2.0 - w * zoom / 2, h / 2.0 - h * zoom / 2, w / 2.0 + w * zoom / 2,
                          h / 2.0 + h * zoom / 2, opacity);
}

double ProgressFraction(double minimum, double maximum, double value) {
  double f = maximum == minimum ? value - minimum : (value - minimum) / (maximum - minimum);
  if (!(f > 0.0)) return 0.0;  // NaN too
  return f < 1.0 ? f : 1.0;
}

void DistributeAutoSizes(const StatusBarItem* items, u32 count, i32 barWidth, bool maximized, i32* widths) {
  i32 available = maximized ? barWidth : barWidth - 18;
  u32 automatic = 0;
  for (u32 i = 0; i < count; ++i) {
    if (items[i].width == -1)
      ++automatic;
    else
      available -= items[i].width;
  }
  const i32 share = automatic ? available / static_cast<i32>(automatic) : 0;
  for (u32 i = 0; i < count; ++i) widths[i] = items[i].width == -1 ? share : items[i].width;
}

void PaintStatusBarItems(CCanvas& canvas, const StatusBarItem* items, u32 count, i32 barWidth, i32 barHeight,
                         bool maximized, const CImageStrip* strip) {
  CThemePainter* theme = ThemePainter();
  if (strip) theme->SetIcon(&canvas, strip, nullptr);
  theme->DrawBarBackground(&canvas, barWidth, barHeight, !maximized);
  i32 widths[8];
  if (count > 8) count = 8;
  DistributeAutoSizes(items, count, barWidth, maximized, widths);
  i32 x = 0;
  for (u32 i = 0; i < count; ++i) {
    const ControlText t = TextOf(items[i].textId, items[i].text);
    theme->DrawBarItem(&canvas, Rect{x, 0, x + widths[i] - 3, barHeight - 3}, t.text, t.length, items[i].imageFrame);
    x += widths[i];
  }
}

void PaintDropHint(CCanvas& canvas, const Rect& content, u32 rowCount, CFont* font) {
  if (rowCount != 0) return;
  CCanvasFontScope scope(canvas, font);
  const u32 saved = canvas.textColour;
  canvas.textColour = 0xE0C0C0C0u;
  const UiString* hint = GetUiString(204);
  canvas.DrawTextInRect(content.left, content.top, content.right, content.bottom, hint->text,
                        static_cast<i32>(hint->length), kTextCentre | kTextOneLineCentred);
  canvas.textColour = saved;
}
