// Routing cost: 100,000 mouse moves offered to a three-level widget tree
// (a root with four panels of four groups of four leaves, each level with a
// frame of its own), against a reference in the same run: a flat loop that
// finds the leaf under each point by testing the leaves' desktop rectangles
// directly. Prints nanoseconds per move and the ratio.
#include <chrono>
#include <cstdio>
#include <tuple>
#include <vector>

#include "ui/widgets/composite.h"
#include "ui/widgets/event_routing.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

u64 g_moves = 0;

template <class TParent>
class CLeaf : public CWidgetOf<CLeaf<TParent>, TParent> {
 public:
  void OnMouseMove(i32, Point*) { ++g_moves; }
};

template <class TParent, template <class> class TChild>
class CFour : public CCompositeOf<CFour<TParent, TChild>, TParent> {
 public:
  TChild<CFour> a, b, c, d;
  auto Children() { return std::tie(a, b, c, d); }
};

template <class TParent>
using CGroup = CFour<TParent, CLeaf>;
template <class TParent>
using CPanel = CFour<TParent, CGroup>;

class CRoot : public CWidget {
 public:
  CPanel<CRoot> a, b, c, d;
  auto Children() { return std::tie(a, b, c, d); }
  CRoot& Window() { return *this; }
  void* Handle() { return nullptr; }
  template <class C>
  void RepaintChild(C&, const Rect*) {}
  template <class C>
  void RedrawWidget(C&, const Rect*) {}
  void RepaintRegion(const Rect&) {}
  bool OnFocusLost(const CWidget*) { return false; }
  void LetGoOfPointer(bool) {}  // nothing in this tree ever holds the pointer
  CWidget* SetFocusedWidget(CWidget* next) {
    CWidget* old = FocusedWidget();
    StoreFocusedWidget(next);
    return old;
  }
};

// Lays four children out as quadrants of the parent's content.
template <class TComposite>
void Quarter(TComposite& parent, u32 childFlags) {
  const Rect content = parent.GetContentRect();
  const i32 w = content.right / 2, h = content.bottom / 2;
  i32 i = 0;
  ForEachChild(parent, [&](auto& child) {
    const Rect r = {(i % 2) * w, (i / 2) * h, (i % 2) * w + w, (i / 2) * h + h};
    child.Create(childFlags, &r, &parent);
    ++i;
    return false;
  });
}

}  // namespace

int main() {
  InitTheme();
  CRoot root;
  root.x = 0, root.y = 0, root.width = 800, root.height = 600, root.flags = kFlagVisible | 0x2000;
  Quarter(root, kFlagVisible | 0x4000);
  std::vector<Rect> leaves;
  ForEachChild(root, [&](auto& panel) {
    Quarter(panel, kFlagVisible | 0x8000);
    ForEachChild(panel, [&](auto& group) {
      Quarter(group, kFlagVisible);
      ForEachChild(group, [&](auto& leaf) {
        leaves.push_back(leaf.ToWindowRect());
        return false;
      });
      return false;
    });
    return false;
  });
  const int kMoves = 100000;
  std::vector<Point> points;
  // The pointer sweeps the tree row by row, as a hand would: consecutive
  // moves mostly stay on one leaf, so the cursor shape changes only at the
  // leaves' edges.
  for (u32 i = 0; i < static_cast<u32>(kMoves); ++i)
    points.push_back({static_cast<i32>(i * 2u % 800u), static_cast<i32>(i * 2u / 800u * 5u % 600u)});
  double best = 1e9, bestReference = 1e9;
  u64 found = 0;
  for (int rep = 0; rep < 5; ++rep) {
    double t0 = Now();
    for (const Point& p : points) RouteMouseToChildren(root, p, MouseEvent{MouseKind::kMove, 0, 0, 0});
    double t1 = Now();
    for (const Point& p : points)
      for (const Rect& r : leaves)
        if (r.Contains(p.x, p.y)) {
          ++found;
          break;
        }
    double t2 = Now();
    if (t1 - t0 < best) best = t1 - t0;
    if (t2 - t1 < bestReference) bestReference = t2 - t1;
  }
  std::printf("ui_route_bench: %d moves through a three-level tree of %zu leaves\n", kMoves, leaves.size());
  std::printf("  routing:   %.1f ns per move (%.2f ms for all)\n", best / kMoves * 1e9, best * 1e3);
  std::printf("  reference: %.1f ns per move (flat scan of the leaves' rectangles)\n",
              bestReference / kMoves * 1e9);
  std::printf("  ratio routing / reference: %.2f  (checks %llu %llu)\n", best / bestReference,
              static_cast<unsigned long long>(g_moves), static_cast<unsigned long long>(found));
  return 0;
}
