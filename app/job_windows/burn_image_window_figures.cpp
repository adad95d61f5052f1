#include "app/job_windows/burn_image_window_figures.h"

#include "render/canvas.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"
#include "runtime/ui_strings.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

constexpr u32 kTextSize = 91, kTextSectors = 92, kTextLabel = 93, kTextFileSystem = 94;
constexpr double kLeft = 30, kLineStep = 20;
constexpr u32 kTextColour = 0xFF000000u;

// A heading and its value, with the fonts they are measured and drawn in.
struct Pair {
  CFont* headingFont;
  CFont* valueFont;
  u32 headingId;
  const CWideString* value;

  double Width() const {
    const UiString* heading = GetUiString(headingId);
    return headingFont->MeasureText(heading->text, static_cast<i32>(heading->length)) + valueFont->spaceAdvance +
           valueFont->MeasureText(value->c_str(), value->GetLength());
  }

  // Drawn from x within `room` pixels: the heading, then the value in what
  // the heading and a blank leave; each shortened with "..." when it is
  // wider than what it has.
  void Draw(CCanvas& canvas, double x, double baseline, double room) const {
    const UiString* heading = GetUiString(headingId);
    CWideString shown;
    ShortenToWidth(headingFont, room, heading->text, static_cast<i32>(heading->length), &shown);
    canvas.SetFont(headingFont);
    canvas.textColour = kTextColour;
    canvas.DrawText(x, baseline, shown.c_str(), shown.GetLength());
    const double after = headingFont->MeasureText(shown.c_str(), shown.GetLength()) + valueFont->spaceAdvance;
    ShortenToWidth(valueFont, room - after, value->c_str(), value->GetLength(), &shown);
    canvas.SetFont(valueFont);
    canvas.DrawText(x + after, baseline, shown.c_str(), shown.GetLength());
  }
};

}  // namespace

void PaintBurnImageFigures(CCanvas& canvas, CFont* headingFont, CFont* valueFont, i32 width, double baseline,
                           const BurnImageFigures& figures) {
  if (!headingFont || !valueFont) return;
  // The right column, the edge no text passes (that of the heading and the
  // options above), and the least room between two pairs of a line.
  const double column = width / 2 + 10, right = width - 8, gap = ThemeControlSpacing();
  const Pair size = {headingFont, valueFont, kTextSize, figures.size};
  const Pair sectors = {headingFont, valueFont, kTextSectors, figures.sectors};
  // The sectors give way to the whole size, as far as they still fit whole.
  double second = kLeft + size.Width() + gap;
  if (second > right - sectors.Width()) second = right - sectors.Width();
  if (second < column) second = column;
  size.Draw(canvas, kLeft, baseline, second - gap - kLeft);
  sectors.Draw(canvas, second, baseline, right - second);
  if (figures.label->GetLength() > 0) {
    const Pair label = {headingFont, valueFont, kTextLabel, figures.label};
    const Pair fileSystems = {headingFont, valueFont, kTextFileSystem, figures.fileSystems};
    label.Draw(canvas, kLeft, baseline - kLineStep, column - gap - kLeft);
    fileSystems.Draw(canvas, column, baseline - kLineStep, right - column);
  }
  canvas.SetFont(valueFont);
}
