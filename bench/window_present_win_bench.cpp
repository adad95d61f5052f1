// Presentation speed of the main window (650 x 450 content, 669 x 469 with
// its shadow): frames per second of layout + paint + UpdateLayeredWindow, on
// one band and on all, against a reference in the same run: presenting the
// already painted surface alone. Layout + paint without the present (the
// surface painted, its presentation suppressed) shows the toolkit's own
// share. Needs an X display under Wine.
#include <cstdio>

#include "app/main_window/main_frame.h"
#include "app/startup/main_placement.h"
#include "runtime/ui_strings.h"
#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "runtime/win.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Frames per second of `frame` over n rounds (after a few to warm up).
template <class F>
double Rate(int n, F frame) {
  for (int i = 0; i < 10; ++i) frame();
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  for (int i = 0; i < n; ++i) frame();
  QueryPerformanceCounter(&t1);
  return n / Seconds(t0, t1, f);
}

}  // namespace

int main() {
  InitFontList();
  InitTheme();
  InitWindowShadow();
  SetThemePainter(BuiltInThemePainter());
  InstallBuiltInLanguages();
  CMainFrame frame;
  WorkAreaRect area;
  GetWorkArea(&area);
  if (!frame.Create(DefaultMainRect(area.right, area.bottom))) {
    std::printf("window_present_win_bench: no window could be created (no display?)\n");
    return 0;
  }
  const int kFrames = 400;
  frame.bandCount = 1;
  const double one = Rate(kFrames, [&] { frame.OnResize(); });
  frame.bandCount = 0;
  const double all = Rate(kFrames, [&] { frame.OnResize(); });
  const double present = Rate(kFrames, [&] { frame.Present(); });
  frame.flags |= kFlagMinimized;  // painted, not presented
  frame.bandCount = 1;
  const double paintOne = Rate(kFrames, [&] { frame.OnResize(); });
  frame.bandCount = 0;
  const double paintAll = Rate(kFrames, [&] { frame.OnResize(); });
  frame.flags &= ~kFlagMinimized;
  std::printf("window_present_win_bench: 669 x 469 surface with shadow, %d bands available\n",
              frame.Canvas().bandCount);
  std::printf("  layout + paint + present, 1 band:    %7.0f frames/s\n", one);
  std::printf("  layout + paint + present, all bands: %7.0f frames/s\n", all);
  std::printf("  reference, present alone:            %7.0f frames/s\n", present);
  std::printf("  layout + paint only, 1 band:         %7.0f frames/s\n", paintOne);
  std::printf("  layout + paint only, all bands:      %7.0f frames/s\n", paintAll);
  std::printf("  ratio all bands / present alone: %.2f; all bands / 1 band: %.2f\n", all / present, all / one);
  DestroyWindow(static_cast<HWND>(frame.Handle()));
  return 0;
}
