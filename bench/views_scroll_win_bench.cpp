// Scrolling cost of the list and tree views in a 650 x 450 window (669 x
// 469 with its shadow): microseconds per frame of one line step (the move,
// the repaint of the view and the band flush; the present left out) for
// 1,000, 10,000 and 100,000 items, where only the rows in view should be
// painted, so the 1,000-item figure is the reference the others are put
// against. Then the full-window repaint of a page of 30 controls, in frames
// per second on one band and on all, against an empty window's repaint.
// Needs an X display under Wine.
#include <cstdio>

#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "runtime/win.h"
#include "ui/views/drop_down_list.h"
#include "ui/views/list_view.h"
#include "ui/views/tree_view.h"
#include "ui/widgets/button.h"
#include "ui/windows/frame/frame_window.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class F>
double SecondsPerRound(int n, F round) {
  for (int i = 0; i < 10; ++i) round();
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  for (int i = 0; i < n; ++i) round();
  QueryPerformanceCounter(&t1);
  return Seconds(t0, t1, f) / n;
}

class CScrollFrame : public CFrameWindow<CScrollFrame> {
 public:
  static constexpr u32 kStyle = 0x6670;
  static constexpr u32 kCaretSlot = kCaretSlotExplorerTree;
  static constexpr i32 kMinTrackWidth = 259, kMinTrackHeight = 199;
  auto Children() { return std::tie(list, tree); }
  void CreateControls() {
    const Rect all = {0, 0, 640, 420};
    list.Create(kFlagVisible | kFlagSeeThrough | kFlagInset, &all, this);
    tree.Create(kFlagSeeThrough | kFlagInset, &all, this);
  }
  CListView<CScrollFrame> list;
  CTreeView<CScrollFrame> tree;
};

// 30 controls of four kinds over one window.
class CPageFrame : public CFrameWindow<CPageFrame> {
 public:
  static constexpr u32 kStyle = 0x6670;
  static constexpr u32 kCaretSlot = kCaretSlotExplorerTree;
  static constexpr i32 kMinTrackWidth = 259, kMinTrackHeight = 199;
  auto Children() {
    return std::tie(b[0], b[1], b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], d[0], d[1], d[2], d[3], d[4], d[5],
                    d[6], d[7], d[8], d[9], l[0], l[1], l[2], l[3], l[4], t[0], t[1], t[2], t[3], t[4]);
  }
  void CreateControls() {
    for (int i = 0; i < 10; ++i) {
      const Rect rb = {10 + 62 * i, 390, 70 + 62 * i, 414}, rd = {10 + 62 * i, 360, 70 + 62 * i, 382};
      b[i].textId = 0;
      b[i].Create(kButtonFlags, &rb, this);
      d[i].Create(kDropDownFlags, &rd, this);
      d[i].AddItem(u"Choice");
      d[i].SetSelection(0);
    }
    for (int i = 0; i < 5; ++i) {
      const Rect rl = {10 + 126 * i, 190, 130 + 126 * i, 350}, rt = {10 + 126 * i, 10, 130 + 126 * i, 180};
      l[i].Create(kFlagVisible | kFlagSeeThrough | kFlagInset, &rl, this);
      for (int r = 0; r < 20; ++r) l[i].rows.AppendNew()->text.Assign(u"A list row");
      l[i].UpdateItemSize();
      l[i].UpdateLayout();
      t[i].Create(kFlagVisible | kFlagSeeThrough | kFlagInset, &rt, this);
      TreeItemInfo info;
      info.Init(u"Folder", -1, -1, 0);
      for (int r = 0; r < 20; ++r) {
        TreeItemHandle made;
        t[i].InsertItem(&made, info, kNullItem, kInsertLast);
      }
    }
  }
  CButton<CPageFrame> b[10];
  CDropDownList<CPageFrame> d[10];
  CListView<CPageFrame> l[5];
  CTreeView<CPageFrame> t[5];
};

class CEmptyFrame : public CFrameWindow<CEmptyFrame> {
 public:
  static constexpr u32 kStyle = 0x6670;
  static constexpr i32 kMinTrackWidth = 259, kMinTrackHeight = 199;
  std::tuple<> Children() { return {}; }
};

// One line down per frame, back to the top at the bottom.
template <class V>
void StepDown(V& view) {
  if (view.positionY <= 0.0)
    view.ScrollKey(36);
  else
    view.LineDown(1);
}

void FillList(CListView<CScrollFrame>& list, u32 n) {
  const bool was = list.SuspendRedraw(true);
  list.rows.Clear();
  for (u32 i = 0; i < n; ++i) {
    ListRow* row = list.rows.AppendNew();
    row->text.Assign(u"Track ");
    row->text.AppendUInt(i);
  }
  list.UpdateItemSize();
  list.UpdateLayout();
  list.SuspendRedraw(was);
}

void FillTree(CTreeView<CScrollFrame>& tree, u32 n) {
  const bool was = tree.SuspendRedraw(true);
  tree.DeleteChildren(kNullItem);
  TreeItemInfo info;
  const u32 folders = n / 100;
  for (u32 f = 0; f < folders; ++f) {
    info.Init(u"Folder", -1, -1, 0);
    TreeItemHandle folder, made;
    tree.InsertItem(&folder, info, kNullItem, kInsertLast);
    for (u32 i = 0; i < 99; ++i) {
      info.Init(u"File in a folder", -1, -1, 0);
      tree.InsertItem(&made, info, folder, kInsertLast);
    }
    tree.SetExpanded(folder, true);
  }
  tree.SuspendRedraw(was);
}

}  // namespace

int main() {
  InitFontList();
  CreateUiFonts();
  InitTheme();
  InitWindowShadow();
  InitPopupShadow();
  SetThemePainter(BuiltInThemePainter());
  CScrollFrame frame;
  if (!frame.CreateAt(Rect{100, 100, 750, 550}, false)) {
    std::printf("views_scroll_win_bench: no window could be created (no display?)\n");
    return 0;
  }
  frame.flags |= kFlagMinimized;  // painted, not presented
  const u32 sizes[] = {1000, 10000, 100000};
  double list[3], tree[3];
  for (int i = 0; i < 3; ++i) {
    FillList(frame.list, sizes[i]);
    list[i] = SecondsPerRound(300, [&] { StepDown(frame.list); }) * 1e6;
  }
  frame.list.ModifyFlags(kFlagVisible, 0);
  frame.tree.ModifyFlags(0, kFlagVisible);
  for (int i = 0; i < 3; ++i) {
    FillTree(frame.tree, sizes[i]);
    tree[i] = SecondsPerRound(300, [&] { StepDown(frame.tree); }) * 1e6;
  }
  std::printf("views_scroll_win_bench: 669 x 469 window, %d bands; one line step per frame, present left out\n",
              frame.Canvas().bandCount);
  for (int i = 0; i < 3; ++i)
    std::printf("  %6u items: list %7.1f us/frame (x%.2f of 1k), tree %7.1f us/frame (x%.2f of 1k)\n", sizes[i],
                list[i], list[i] / list[0], tree[i], tree[i] / tree[0]);
  DestroyWindow(static_cast<HWND>(frame.Handle()));

  CPageFrame page;
  CEmptyFrame empty;
  if (!page.CreateAt(Rect{100, 100, 750, 550}, false) || !empty.CreateAt(Rect{100, 100, 750, 550}, false)) return 0;
  page.flags |= kFlagMinimized;
  empty.flags |= kFlagMinimized;
  page.bandCount = 1;
  const double pageOne = 1.0 / SecondsPerRound(400, [&] { page.Repaint(); });
  page.bandCount = 0;
  const double pageAll = 1.0 / SecondsPerRound(400, [&] { page.Repaint(); });
  const double emptyAll = 1.0 / SecondsPerRound(400, [&] { empty.Repaint(); });
  page.flags &= ~kFlagMinimized;
  const double pageShown = 1.0 / SecondsPerRound(200, [&] { page.Repaint(); });
  std::printf("  page of 30 controls, whole repaint: %6.0f frames/s on 1 band, %6.0f on all bands\n", pageOne, pageAll);
  std::printf("  reference, empty window repaint:    %6.0f frames/s on all bands (page / empty: %.2f)\n", emptyAll,
              pageAll / emptyAll);
  std::printf("  page repainted and presented:       %6.0f frames/s on all bands\n", pageShown);
  DestroyWindow(static_cast<HWND>(page.Handle()));
  DestroyWindow(static_cast<HWND>(empty.Handle()));
  return 0;
}
