#include "app/pages/info_rows.h"

#include <cmath>

double RowStep(double size, double k) { return std::floor(k * size); }

double TextWidth(const InfoRowPen& pen, const wchar16* text, i32 length) {
  return pen.font && text && length > 0 ? pen.font->MeasureText(text, length) : 0.0;
}

void DrawInfoRow(InfoRowPen& pen, const wchar16* label, i32 labelLength, const wchar16* value, i32 valueLength) {
  if (!value || valueLength <= 0) return;
  if (CCanvas* c = pen.canvas) {
    c->DrawText(pen.x, pen.y, label, labelLength);
    const u32 colour = c->textColour;
    c->textColour = kInfoValueColour;
    c->DrawText(pen.x + TextWidth(pen, label, labelLength) + pen.size / 2, pen.y, value, valueLength);
    c->textColour = colour;
  }
  pen.y -= RowStep(pen.size, 2.0);
}

double DrawBadge(InfoRowPen& pen, double x, double y, const wchar16* text, i32 length, u32 colour) {
  const double width = TextWidth(pen, text, length);
  if (CCanvas* c = pen.canvas) {
    c->FillRoundRect(x - 2, y - 2, x + width + 2, y + pen.size + 2, 2, colour);
    const u32 before = c->textColour;
    c->textColour = kInfoBadgeTextColour;
    c->DrawText(x, y, text, length);
    c->textColour = before;
  }
  return width;
}

void DrawHeadingRule(CCanvas* canvas, double left, double right, double y) {
  if (canvas) canvas->FillRect(left, y - 3, right, y - 2, 0xFF000000u);
}
