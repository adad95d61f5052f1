#include "app/pages/job_page_paint.h"

#include "jobs/job_page.h"
#include "runtime/clock.h"
#include "runtime/date_time.h"
#include "runtime/ui_strings.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

constexpr u32 kTextBackAlpha = 0x33000000u;

// The canvas's font and colour as they were, given back at the end.
class CCanvasTextState {
 public:
  explicit CCanvasTextState(CCanvas& canvas) : canvas_(canvas), font_(canvas.font), colour_(canvas.textColour) {
    if (font_) font_->AddRef();
  }
  ~CCanvasTextState() {
    canvas_.SetFont(font_);
    if (font_) font_->Release();
    canvas_.textColour = colour_;
  }
  CFont* Font() const { return font_; }

 private:
  CCanvas& canvas_;
  CFont* font_;
  u32 colour_;
};

double TextWidth(CFont* font, const wchar16* text) {
  if (!font || !text) return 0;
  i32 n = 0;
  while (text[n] && n < 4096) ++n;
  return font->MeasureText(text, n);
}

void DrawAt(CCanvas& canvas, double x, double y, const wchar16* text, u32 colour) {
  i32 n = 0;
  while (text[n] && n < 4096) ++n;
  canvas.textColour = colour;
  canvas.DrawText(x, y, text, n);
}

void DrawTimeAfter(CCanvas& canvas, double labelX, double y, u32 labelId, u64 seconds, u32 labelColour) {
  const wchar16* label = GetUiText(labelId);
  DrawAt(canvas, labelX, y, label, labelColour);
  CWideString value;
  AppendMinutesSeconds(&value, seconds);
  DrawAt(canvas, labelX + TextWidth(canvas.font, label), y, value.c_str(), kJobValueColour);
}

}  // namespace

double CounterFrequencyOrOne() {
  u64 frequency = 0;
  if (!Clock().ReadFrequency(&frequency) || frequency == 0) return 1.0;
  return static_cast<double>(frequency);
}

void PaintJobTimes(CCanvas& canvas, const JobPageFigures& f, CFont* pageFont, const CImageStrip& statusIcons) {
  CCanvasTextState restore(canvas);
  const u32 panel = ThemeTintColor();
  canvas.FillRoundRect(0, 0, 360, 138, 5.0, (panel & 0x00FFFFFFu) | kTextBackAlpha);
  canvas.FrameRoundRect(0, 0, 360, 138, 5.0, 1.0, panel);
  const bool finished = (f.flags & kJobFinished) != 0, stopped = (f.flags & kJobStopped) != 0;
  if (!finished && !stopped) {
    if (f.elapsedSeconds != 0) {
      DrawTimeAfter(canvas, 8, 32, kTextElapsedTime, f.elapsedSeconds, kJobTextColour);
    } else {
      DrawAt(canvas, 8, 32, GetUiText(kTextElapsedTime), kJobTextColour);
    }
    if (f.remainingMs != 0)
      DrawTimeAfter(canvas, 188, 32, kTextRemainingTime, (static_cast<u64>(f.remainingMs) + 999) / 1000,
                    kJobTextColour);
  }
  double y = 134;
  const double pageHeight = pageFont ? pageFont->lineHeight : 16;
  if (f.titleId != 0) {
    y -= pageHeight;
    CFont* normal = canvas.font;
    if (normal) normal->AddRef();
    if (pageFont) canvas.SetFont(pageFont);
    DrawAt(canvas, 8, y, GetUiText(f.titleId), kJobValueColour);
    canvas.SetFont(normal);
    if (normal) normal->Release();
  }
  if (f.deviceLine && f.deviceLine->GetLength() > 0) {
    y -= 1.25 * (canvas.font ? canvas.font->lineHeight : 13);
    DrawAt(canvas, 8, y, f.deviceLine->c_str(), kJobValueColour);
  }
  if (finished) {
    y = static_cast<double>(static_cast<i64>(y - 2 * pageHeight));
    const i32 frame = stopped ? 1 : (f.flags & kJobVerifyWarnings) ? 2 : 0;
    statusIcons.DrawFrame(&canvas, frame, 8, y, 1.0);
    CFont* normal = canvas.font;
    if (normal) normal->AddRef();
    if (pageFont) canvas.SetFont(pageFont);
    const double textY = y + static_cast<double>(static_cast<i64>((24 - pageHeight) * 0.5));
    DrawAt(canvas, 26, textY, GetUiText(stopped ? kTextProcessFailed : kTextProcessCompleted), kJobValueColour);
    canvas.SetFont(normal);
    if (normal) normal->Release();
    DrawTimeAfter(canvas, 8, y - pageHeight, kTextElapsedTime, f.totalSeconds, kJobTextColour);
  }
}

void PaintBurnProgress(CCanvas& canvas, const JobPageFigures& f, const BurnPaintFigures& b, CFont* statusFont) {
  if (f.flags & (kJobFinished | kJobStopped)) return;
  CCanvasTextState restore(canvas);
  const u32 status = b.line.status;
  const bool leadInOut = status == kStatusLeadIn || status == kStatusLeadOut;
  if ((status == kStatusLoadingCache || status == kStatusBurning || status == kStatusVerifying ||
       status == kStatusClosingSession || leadInOut) &&
      b.memoryGaugeShown) {
    // The gauge's name in the language shown now, then what the job added.
    CWideString caption(GetUiText(kTextMemoryCacheLabel));
    if (b.memoryCaption) caption.Append(*b.memoryCaption);
    DrawAt(canvas, 8, 66, caption.c_str(), kJobTextColour);
  }
  if ((status == kStatusBurning || status == kStatusClosingSession || leadInOut) && b.deviceGaugeShown)
    DrawAt(canvas, 188, 66, GetUiText(kTextDeviceCacheLabel), kJobTextColour);
  if (status == kStatusNone) return;
  CWideString line;
  BuildBurnStatusLine(&line, b.line);
  if (statusFont) canvas.SetFont(statusFont);
  DrawAt(canvas, 8, 84, line.c_str(), kJobValueColour);
}
