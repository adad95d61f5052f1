// The burn page's refresh tick: what the job's 500 ms refresh thread costs
// each time it runs (gauge values and colour, remaining time, the page
// repainted with its times block and status line, under the window lock,
// and presented), in microseconds per tick, against references in the same
// run: repainting the same window with the page hidden (a bare window
// repaint of the same surface), and the page's own repaint without the
// job's figures. Needs an X display under Wine.
#include <cstdio>
#include <tuple>

#include "app/pages/burn_page.h"
#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "runtime/ui_strings.h"
#include "runtime/win.h"
#include "ui/windows/frame/frame_window.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

// A window holding one burn page the way the task view does.
class CPageFrame : public CFrameWindow<CPageFrame> {
 public:
  static constexpr u32 kStyle = 0x6414;
  static constexpr i32 kMinTrackWidth = 100, kMinTrackHeight = 100;
  using Page = CBurnJobPage<CPageFrame>;

  auto Children() { return std::tie(box.page); }
  void CreateControls() {
    const Rect r = {20, 20, 20 + kJobPageWidth, 20 + kJobPageHeight};
    box.page.holder = &box;
    box.page.Layout(&r, this);
    box.page.ModifyFlags(0, kFlagVisible);
  }
  void PaintDecoration(CCanvas& canvas) {
    const Rect c = GetContentRect();
    canvas.FillRect(0, 0, c.right, c.bottom, 0xFFFFFFFFu);
  }
  bool CallOnUiThread(UiCall call, void* context) { return SendUiCall(handle, call, context); }
  void PostJobClose(CPageHolder*) {}
  void PostDeviceCommandsUpdate() {}
  void ParkPage(CPageHolder*) {}
  void PostShowPage(CPageHolder*) {}
  u32 ShowJobMessage(u32, u32, u32) { return kAnswerNo; }
  u32 RunInsertDiscPrompt(i32, void*) { return 1; }
  void OpenJobLog() {}

  CPageBox<Page> box;
};

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Microseconds per call of `tick` over n rounds (after a few to warm up).
template <class F>
double Micros(int n, F tick) {
  for (int i = 0; i < 10; ++i) tick(i);
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  for (int i = 0; i < n; ++i) tick(i);
  QueryPerformanceCounter(&t1);
  return Seconds(t0, t1, f) * 1e6 / n;
}

}  // namespace

int main() {
  InitFontList();
  InitTheme();
  InitWindowShadow();
  SetThemePainter(BuiltInThemePainter());
  InstallBuiltInLanguages();
  CPageFrame frame;
  const Rect size = {0, 0, 420, 220};
  if (!frame.PlaceAndCreate(&size, nullptr)) {
    std::printf("burn_page_refresh_win_bench: no window could be created (no display?)\n");
    return 0;
  }
  CPageFrame::Page& page = frame.box.page;
  CBurnPage& job = page.engine;
  IJobUi& ui = page;
  page.titleId = 90;
  job.deviceName.Assign(u"E: KVSIM MULTI RECORDER");
  job.status = kStatusBurning;
  job.speedFactor = 16;
  job.nominalKbs = 2400;
  job.currentRateKbs = 2200;
  job.speedUnitKbs = 176;
  job.progressStart = ReadCounterNow();
  job.totalSectors = 360000;
  job.cache.Allocate(16u << 20, false);
  ui.SetCaption(kBarMemoryCache, u"Memory cache: (16.00 MB)");
  ui.ShowBar(kBarMemoryCache, true);
  ui.ShowBar(kBarDeviceCache, true);

  const int kTicks = 400;
  // The refresh thread's tick as the job runs: new figures every time.
  const double tick = Micros(kTicks, [&](int i) {
    job.sectorsDone = static_cast<u32>(i * 900 % 360000);
    job.driveBufferPercent = static_cast<u32>(60 + i % 40);
    job.RefreshProgress();
  });
  // The page's repaint alone (no new figures).
  const double repaint = Micros(kTicks, [&](int) { ui.Redraw(); });
  // Reference: the same window repainted whole with the page hidden.
  page.ModifyFlags(kFlagVisible, 0);
  const double bare = Micros(kTicks, [&](int) { frame.Repaint(); });
  job.cache.Free();
  std::printf("burn_page_refresh_win_bench: a 360 x 138 burn page in a 420 x 220 window\n");
  std::printf("  refresh tick (figures, gauges, repaint, present): %8.1f us\n", tick);
  std::printf("  page repaint alone:                                %8.1f us\n", repaint);
  std::printf("  reference, bare window repaint:                    %8.1f us\n", bare);
  std::printf("  ratio tick / bare window repaint: %.2f; share of a 500 ms period: %.4f %%\n", tick / bare,
              tick / 5000.0);
  DestroyWindow(static_cast<HWND>(frame.Handle()));
  return 0;
}
