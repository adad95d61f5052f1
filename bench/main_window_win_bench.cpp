// The real main window (menu bar, start strip, page host, status bar):
// full-window repaints per second on one band and on all, against a
// reference in the same run (presenting the painted surface alone), the
// repaint alone without the present, and
// the time of a language switch there and back (menu bar layout, every
// page told, the panes laid out, the window repainted). Needs an X display
// under Wine.
#include <cstdio>

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"
#include "app/startup/main_placement.h"
#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "runtime/ui_strings.h"
#include "runtime/win.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

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
  InitPaneShadow();
  InitPopupShadow();
  InstallBuiltInLanguages();
  SetCurrentLanguage(kLanguageEnglish);
  SetThemePainter(BuiltInThemePainter());
  CMainFrame frame;
  WorkAreaRect area;
  GetWorkArea(&area);
  if (!frame.Create(DefaultMainRect(area.right, area.bottom))) {
    std::printf("main_window_win_bench: no window could be created (no display?)\n");
    return 0;
  }
  const int kFrames = 400;
  frame.bandCount = 1;
  const double one = Rate(kFrames, [&] { frame.Repaint(); });
  frame.bandCount = 0;
  const double all = Rate(kFrames, [&] { frame.Repaint(); });
  const double present = Rate(kFrames, [&] { frame.Present(); });
  frame.flags |= kFlagMinimized;  // painted, not presented
  frame.bandCount = 1;
  const double paintOne = Rate(kFrames, [&] { frame.Repaint(); });
  frame.bandCount = 0;
  const double paintAll = Rate(kFrames, [&] { frame.Repaint(); });
  frame.flags &= ~kFlagMinimized;
  // A switch to Spanish and back is two switches.
  const int kSwitches = 50;
  const double switches =
      Rate(kSwitches, [&] {
        frame.OnCommand(kCmdSpanish);
        frame.OnCommand(kCmdEnglish);
      }) * 2;
  std::printf("main_window_win_bench: main window 669 x 469 with its shadow, %d bands available\n",
              frame.Canvas().bandCount);
  std::printf("  full repaint + present, 1 band:    %7.0f frames/s\n", one);
  std::printf("  full repaint + present, all bands: %7.0f frames/s\n", all);
  std::printf("  reference, present alone:          %7.0f frames/s\n", present);
  std::printf("  full repaint only, 1 band:         %7.0f frames/s\n", paintOne);
  std::printf("  full repaint only, all bands:      %7.0f frames/s\n", paintAll);
  std::printf("  language switch:                   %7.2f ms\n", 1000.0 / switches);
  std::printf("  ratio all bands / present alone: %.2f; all bands / 1 band: %.2f\n", all / present, all / one);
  DestroyWindow(static_cast<HWND>(frame.Handle()));
  return 0;
}
