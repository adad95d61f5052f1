// Drawing cost of the controls: every control kind in every state drawn
// through the theme into a 669 x 469 surface (record + rasterise), 1,000
// times, on one band and on all bands. Prints microseconds per control and
// the ratio to a reference measured in the same run: one plain filled
// rectangle of the control's size per control.
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "render/canvas.h"
#include "render/image_strip.h"
#include "render/text/font.h"
#include "ui/views/text_edit_painter.h"
#include "ui/widgets/edit_text.h"
#include "ui/windows/theme/theme_metrics.h"
#include "ui/windows/theme/theme_painter.h"

namespace {

constexpr i32 kWidth = 669, kHeight = 469;
constexpr int kRounds = 1000;

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Kind {
  const char* name;
  int states;
  i32 w, h;  // each state's box
  std::function<void(CCanvas*, int state)> draw;
};

// Seconds for kRounds frames, each drawing every state of the kind at its
// own place, then rasterising with `bands`.
double Time(CCanvas& canvas, const Kind& k, i32 bands, bool reference) {
  const double t0 = Now();
  for (int round = 0; round < kRounds; ++round) {
    canvas.Reset();
    for (int s = 0; s < k.states; ++s) {
      const double x = 10 + (s % 3) * 210, y = 10 + (s / 3) * 90;
      canvas.originX = x, canvas.originY = y;
      if (reference)
        canvas.FillRect(0, 0, k.w, k.h, 0xFF808080u);
      else
        k.draw(&canvas, s);
    }
    canvas.list.Flush(bands);
  }
  return Now() - t0;
}

}  // namespace

int main() {
  InitFontList();
  InitTheme();
  CThemePainter& t = *BuiltInThemePainter();
  std::vector<u32> pixels(static_cast<size_t>(kWidth) * kHeight);
  CCanvas canvas;
  std::vector<double> scratch(CCanvas::CoverageScratchCount(kWidth, canvas.bandCount));
  canvas.Attach(pixels.data(), scratch.data(), kWidth, kHeight);
  ThemePaintState state;
  AttachThemeState(&canvas, &state);
  canvas.SetFont(UiFontNormal());
  std::vector<u32> iconPixels(16 * 16, 0xFF3366CCu);
  CImageStrip icons;
  icons.AppendFrame(BitmapView{16, 16, 16, iconPixels.data()});
  const ScrollBarState v = {0.4, 0.3, kScrollPartHot}, h = {0.7, 0.5, 0};
  CEditText edit;
  edit.font = UiFontNormal();

  const std::vector<Kind> kinds = {
      {"frame and caption", 2, 200, 80, [&](CCanvas* c, int s) {
         t.DrawFrame(c, 200, 80, 0x6670, true, s ? kCaptionClose : 0, nullptr, u"Kelvane");
       }},
      {"scroll bars", 2, 200, 80, [&](CCanvas* c, int s) {
         t.SetScrollState(c, &v, 2);
         t.SetScrollState(c, &h, 1);
         t.DrawFrame(c, 200, 80, kFlagHScroll | kFlagVScroll | (s ? kFlagBorderInset : 0), false, 0, nullptr, nullptr);
       }},
      {"push button", 7, 100, 25, [&](CCanvas* c, int s) {
         static const u32 looks[7] = {0x10, 0x12, 0x16, 0x1010, 0x2010, 0x11, 0x10};
         t.SetIcon(c, &icons, nullptr);
         t.DrawButton(c, 100, 25, looks[s], u"Burn", 4, s == 6 ? 0 : -1, 0);
       }},
      {"check box", 4, 150, 20, [&](CCanvas* c, int s) {
         static const u32 looks[4] = {0x200, 0xA00, 0xA02, 0xA01};
         t.DrawCheckBox(c, 150, 20, looks[s], u"Verify", 6);
       }},
      {"drop-down", 3, 150, 22, [&](CCanvas* c, int s) {
         t.DrawDropDown(c, 150, 22, s == 0 ? 0 : s == 1 ? kLookOpen : kLookPressed, u"Quick erase", 11);
       }},
      {"progress bar", 3, 190, 16, [&](CCanvas* c, int s) { t.DrawProgressBar(c, 190, 16, s * 0.5, 0xFF20C040u); }},
      {"text edit", 3, 190, 22, [&](CCanvas* c, int s) {
         edit.SetText(s == 2 ? u"" : u"C:\\Images\\backup.iso");
         edit.selectionStart = s == 1 ? 3 : edit.caret;
         edit.state = kEditCaretShown;
         PaintTextEdit(*c, edit, 190, 22, s != 0);
       }},
      {"menu item", 5, 180, 22, [&](CCanvas* c, int s) {
         static const u32 states[5] = {0, kLookHot, kLookDisabled, kMenuSeparator, kMenuSubmenu};
         t.SetIcon(c, &icons, nullptr);
         t.DrawMenuItem(c, Rect{0, 0, 180, 22}, states[s], u"Open image...\tCtrl+O", -1, s == 4 ? -2 : 0);
       }},
      {"menu background", 1, 190, 80, [&](CCanvas* c, int) { t.DrawMenuBackground(c, 190, 80, 26); }},
      {"menu bar item", 4, 60, 20, [&](CCanvas* c, int s) {
         static const u32 states[4] = {0, kBarItemHot, kBarItemHot | kBarItemOpen, kBarItemDisabled};
         t.DrawMenuBarItem(c, Rect{0, 0, 60, 20}, states[s], u"File", 4, -1);
       }},
      {"list item", 2, 180, 21, [&](CCanvas* c, int s) {
         t.DrawListItem(c, Rect{0, 0, 180, 21}, s ? kLookSelected : 0, u"Full format", 11);
       }},
      {"list row", 3, 180, 20, [&](CCanvas* c, int s) {
         static const u32 states[3] = {0, kRowSelected | kRowExpanded, kRowHot | kRowCollapsed};
         t.SetIcon(c, &icons, nullptr);
         t.DrawListRow(c, Rect{20, 0, 180, 20}, states[s], u"Pictures", 8, 0);
       }},
      {"status bar", 1, 200, 24, [&](CCanvas* c, int) {
         t.DrawBarBackground(c, 200, 24, true);
         t.DrawBarItem(c, Rect{0, 0, 120, 21}, u"Ready", 5, -1);
       }},
  };

  std::printf("ui_controls_win_bench: every control kind in every state, %d frames into a %d x %d surface\n",
              kRounds, kWidth, kHeight);
  std::printf("  %-18s %6s %12s %12s %12s %8s\n", "kind", "states", "us/1 band", "us/all bands", "us/reference",
              "ratio");
  int controls = 0;
  double sumOne = 0, sumAll = 0;
  for (const Kind& k : kinds) {
    const double n = static_cast<double>(kRounds) * k.states;
    const double one = Time(canvas, k, 1, false) / n * 1e6;
    const double all = Time(canvas, k, canvas.bandCount, false) / n * 1e6;
    const double ref = Time(canvas, k, canvas.bandCount, true) / n * 1e6;
    std::printf("  %-18s %6d %12.2f %12.2f %12.2f %8.1f\n", k.name, k.states, one, all, ref, all / ref);
    controls += k.states;
    sumOne += one * k.states;
    sumAll += all * k.states;
  }
  std::printf("  mean over %d controls: %.2f us on 1 band, %.2f us on %d bands\n", controls, sumOne / controls,
              sumAll / controls, canvas.bandCount);
  return 0;
}
