// Opening and closing a popup menu of 40 items (layout, surface, first
// paint with shadow, teardown) 1,000 times, on one band and on all, against
// references measured in the same run: repainting the open popup alone, and
// a window canvas made and dropped (its band workers started and stopped).
// The system window is not created (its creation and destruction cost the
// window system, not the toolkit). Windows.
#include <cstdio>
#include <vector>

#include "render/canvas.h"
#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "runtime/ui_strings.h"
#include "runtime/win.h"
#include "ui/windows/dialogs/popup_menu.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Microseconds per call of f over n rounds (after a few to warm up).
template <class F>
double MicrosecondsPer(int n, F f) {
  for (int i = 0; i < 10; ++i) f();
  LARGE_INTEGER frequency, t0, t1;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&t0);
  for (int i = 0; i < n; ++i) f();
  QueryPerformanceCounter(&t1);
  return Seconds(t0, t1, frequency) * 1e6 / n;
}

// A submenu record of 40 children (every eighth a separator, two
// submenus with one command each) in a block the caller keeps.
CMenuModel* BuildMenu(std::vector<u32>* storage) {
  storage->assign(1024, 0);
  u8* at = reinterpret_cast<u8*>(storage->data());
  CMenuModel* root = MenuItem::InitSubmenu(reinterpret_cast<CMenuModel*>(at));
  u32 offset = kMenuHeadSize;
  const i32 kCount = 40;
  for (i32 i = 0; i < kCount; ++i) {
    u8* record = at + offset;
    if (i == 10 || i == 30) {
      CMenuModel* sub = MenuItem::InitSubmenu(reinterpret_cast<CMenuModel*>(record));
      MenuItem* child = MenuItem::Init(reinterpret_cast<MenuItem*>(record + kMenuHeadSize));
      child->id = 21;
      child->flags = kMenuEnabled;
      sub->count = 1;
      sub->first = child;
      sub->size = kMenuHeadSize + kMenuItemSize + kMenuTrailSize;
      sub->id = 20;
      sub->flags = kMenuEnabled;
    } else {
      MenuItem* item = MenuItem::Init(reinterpret_cast<MenuItem*>(record));
      if (i % 8 == 7) {
        item->type = kMenuTypeSeparator;
      } else {
        item->id = 21 + (i * 7) % 42;
        item->flags = (i % 5) ? kMenuEnabled : 0;
        item->icon = i % 3 ? i % 20 : kMenuIconNone;
      }
      item->hint = -1;
    }
    offset += reinterpret_cast<MenuItem*>(record)->size;
  }
  root->count = kCount;
  root->first = reinterpret_cast<MenuItem*>(at + kMenuHeadSize);
  root->size = offset + kMenuTrailSize;
  return root;
}

}  // namespace

int main() {
  InitFontList();
  InitTheme();
  InitPopupShadow();
  InstallBuiltInLanguages();
  SetThemePainter(BuiltInThemePainter());
  std::vector<u32> storage;
  CMenuModel* menu = BuildMenu(&storage);
  const int kRounds = 1000;
  double open[2], repaint[2];
  i32 width = 0, height = 0, bands = 0;
  for (int all = 0; all < 2; ++all) {
    open[all] = MicrosecondsPer(kRounds, [&] {
      CPopupMenu popup(menu, nullptr);
      popup.bandCount = all ? 0 : 1;
      popup.PrepareAt(100, 700);
      popup.CloseWithResult(kPopupCancelled);
    });
    CPopupMenu popup(menu, nullptr);
    popup.bandCount = all ? 0 : 1;
    popup.PrepareAt(100, 700);
    width = popup.width;
    height = popup.height;
    bands = popup.Canvas().bandCount;
    repaint[all] = MicrosecondsPer(kRounds, [&] { popup.Repaint(); });
  }
  const double canvasAlone = MicrosecondsPer(kRounds, [] {
    CCanvas canvas;
    canvas.Reset();
  });
  std::printf("popup_menu_win_bench: 40 items, %d x %d content with shadow, %d bands available\n", width, height,
              bands);
  std::printf("  open + close (layout, surface, paint), 1 band:    %8.1f us\n", open[0]);
  std::printf("  open + close (layout, surface, paint), all bands: %8.1f us\n", open[1]);
  std::printf("  reference, repaint of the open popup, 1 band:     %8.1f us\n", repaint[0]);
  std::printf("  reference, repaint of the open popup, all bands:  %8.1f us\n", repaint[1]);
  std::printf("  reference, a window canvas made and dropped:      %8.1f us\n", canvasAlone);
  std::printf("  ratio open + close / repaint: %.2f (1 band), %.2f (all bands)\n", open[0] / repaint[0],
              open[1] / repaint[1]);
  return 0;
}
