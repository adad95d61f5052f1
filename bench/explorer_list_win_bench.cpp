// Time to first paint of the explorer page opening an image whose root
// folder holds 100,000 files: reading the volume, building the tree, filling
// the file list and painting the window once; against the reader's own
// build of the same image's trees in the same run (the least the page could
// take). Argument: the image (made by scripts/bench with xorriso). Needs an
// X display under Wine.
#include <cstdio>
#include <cstring>

#include "app/commands/main_menu.h"
#include "app/pages/explorer_page.h"
#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "runtime/win.h"
#include "ui/windows/frame/frame_window.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

double Now() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

class CExplorerFrame : public CFrameWindow<CExplorerFrame> {
 public:
  static constexpr u32 kStyle = 0x6670;
  static constexpr i32 kMinTrackWidth = 259, kMinTrackHeight = 199;
  typedef CExplorerPage<CExplorerFrame> Page;
  CExplorerFrame() { menu = BuildMainMenu(&storage); }
  auto Children() { return std::tie(page); }
  void CreateControls() {
    const Rect all = {0, 0, 640, 420};
    page.Create(kFlagVisible | kFlagSeeThrough | 0x2, &all, this);
  }
  void ShowNotice(u32, NoticeText) {}
  template <class TPage>
  void PrepareExplorerPage(TPage&) {}
  bool ClosePage(CPageHolder*) { return true; }
  bool RemovePage(CPageHolder*) { return true; }
  MainMenuStorage storage;
  CMenuModel* menu = nullptr;
  Page page;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("explorer_list_win_bench: give the image of 100,000 files\n");
    return 1;
  }
  CWideString path;
  path.AssignUtf8(argv[1], static_cast<i32>(std::strlen(argv[1])));
  InitFontList();
  CreateUiFonts();
  InitTheme();
  InitWindowShadow();
  InitPopupShadow();
  SetThemePainter(BuiltInThemePainter());
  double reference = 1e9, page = 1e9;
  u32 rows = 0;
  for (int round = 0; round < 3; ++round) {
    {
      CIso9660Reader reader;
      u64 size = 0;
      const double t0 = Now();
      if (!reader.ReadVolume(&size, path.c_str())) {
        std::printf("explorer_list_win_bench: the image cannot be read\n");
        return 1;
      }
      const double t = Now() - t0;
      if (t < reference) reference = t;
    }
    CExplorerFrame frame;
    if (!frame.CreateAt(Rect{100, 100, 750, 550}, false)) {
      std::printf("explorer_list_win_bench: no window could be created (no display?)\n");
      return 0;
    }
    frame.flags |= kFlagMinimized;  // painted, not presented
    const double t0 = Now();
    if (!frame.page.OpenImage(path.c_str())) return 1;
    frame.Repaint();
    const double t = Now() - t0;
    if (t < page) page = t;
    rows = frame.page.list.GetItemCount();
    DestroyWindow(static_cast<HWND>(frame.Handle()));
  }
  std::printf("explorer_list_win_bench: a folder of %u entries, best of 3\n", rows);
  std::printf("  reader's tree build (reference): %8.1f ms\n", reference * 1e3);
  std::printf("  page open to first paint:        %8.1f ms (x%.2f of the reference)\n", page * 1e3, page / reference);
  return 0;
}
