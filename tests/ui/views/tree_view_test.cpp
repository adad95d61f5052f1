#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/canvas.h"
#include "ui/support/fake_owner.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/views/tree_view.h"
#include "ui/widgets/text_edit.h"

namespace {

class CTreeHost : public CFakeOwnerOf<CTreeHost> {
 public:
  CTreeView<CTreeHost> tree;
  std::vector<TreeItemHandle> pressed;
  std::mt19937* random = nullptr;  // set: expansions fill in children and sometimes delete
  auto Children() { return std::tie(tree); }
  void OnPress(TreeItemHandle h, i32, Point) { pressed.push_back(h); }
  TreeItemHandle Insert(const TreeItemHandle& parent, const TreeItemHandle& at, u8 flags = 0) {
    TreeItemInfo info;
    info.Init(u"item", -1, -1, 0);
    info.flags = flags;
    TreeItemHandle made;
    tree.InsertItem(&made, info, parent, at);
    return made;
  }
  // The owner fills an item's children when it expands: a lazy item once,
  // or (random) a few, or it removes the item instead.
  void OnExpand(TreeItemHandle h) {
    if (!random) {
      if (!tree.GetChildCount(h) && (tree.Lookup(h)->flags & kTreeExpander)) Insert(h, kInsertLast);
      return;
    }
    const u32 r = (*random)() % 8;
    if (r == 0) tree.DeleteItem(h);
    for (u32 i = 0; r && i < r % 3; ++i) Insert(h, kInsertFirst);
  }
};

// The shown items as they must be: the pre-order of the items whose
// ancestors are all expanded.
void ExpectedRows(CTreeView<CTreeHost>& tree, i32 slot, std::vector<i32>* out) {
  for (i32 c = tree.Pool().At(slot)->firstChild; c != kNoSlot; c = tree.Pool().At(c)->next) {
    out->push_back(c);
    if (tree.Pool().At(c)->flags & kTreeExpanded) ExpectedRows(tree, c, out);
  }
}

struct TreeView : testing::Test {
  void SetUp() override {
    const Rect r = {0, 0, 200, 180};
    tree().Create(kFlagVisible, &r, &host);
    tree().expand = BindCallback<CTreeHost, &CTreeHost::OnExpand, TreeItemHandle>(&host, &host);
    tree().press = BindCallback<CTreeHost, &CTreeHost::OnPress, TreeItemHandle, i32, Point>(&host, &host);
  }
  void TearDown() override { StoreFocusedWidget(nullptr); }
  TreeItemHandle Add(const TreeItemHandle& parent, u8 flags = 0, const TreeItemHandle& at = kInsertLast) {
    const TreeItemHandle made = host.Insert(parent, at, flags);
    EXPECT_FALSE(IsNullItem(made));
    return made;
  }
  void CheckRows(const char* after) {
    std::vector<i32> expected;
    ExpectedRows(tree(), 0, &expected);
    ASSERT_EQ(expected.size(), tree().VisibleRowCount()) << after;
    for (u32 i = 0; i < expected.size(); ++i) ASSERT_EQ(expected[i], tree().VisibleRow(i).index) << after << " row " << i;
    EXPECT_EQ(static_cast<i32>(expected.size()) * tree().rowHeight, tree().contentHeight) << after;
  }
  CTreeView<CTreeHost>& tree() { return host.tree; }
  CTreeHost host;
};

TEST_F(TreeView, ShownRowsStayThePreorderOfTheExpandedItemsWhateverHappens) {
  std::mt19937 random(11);
  host.random = &random;
  std::vector<TreeItemHandle> handles;  // live and stale, mixed
  auto pick = [&]() { return handles.empty() ? kNullItem : handles[random() % handles.size()]; };
  const char* names[] = {"insert", "delete", "clear", "move", "expand", "collapse", "refresh"};
  for (int step = 0; step < 3000; ++step) {
    const u32 op = step < 200 ? 0 : random() % 7;
    const TreeItemHandle h = pick();
    switch (op) {
      case 0: {
        const TreeItemHandle parent = random() % 4 ? h : kNullItem;
        const TreeItemHandle at = random() % 3 == 0 ? kInsertFirst : random() % 2 ? pick() : kInsertLast;
        TreeItemInfo info;
        info.Init(u"x", -1, -1, 0);
        info.flags = random() % 5 == 0 ? kTreeExpander : 0;
        TreeItemHandle made;
        const bool ok = tree().InsertItem(&made, info, parent, at);
        EXPECT_EQ(ok, tree().Lookup(made) != nullptr && !IsNullItem(made));
        EXPECT_EQ(ok, IsNullItem(parent) || tree().Lookup(parent) != nullptr) << "insert under a stale parent";
        if (ok) handles.push_back(made);
        break;
      }
      case 1: tree().DeleteItem(h); break;
      case 2: if (random() % 10 == 0) tree().DeleteChildren(h); break;
      case 3: tree().MoveItem(h, random() % 3 == 0 ? kInsertFirst : random() % 2 ? pick() : kInsertLast); break;
      case 4: tree().SetExpanded(h, true); break;
      case 5: tree().SetExpanded(h, false); break;
      case 6: tree().RefreshItem(h); break;
    }
    CheckRows(names[op]);
    if (HasFatalFailure()) return;
  }
  // Every item's counts and expanders agree with its children.
  for (u32 slot = 1; slot < tree().Pool().SlotCount(); ++slot) {
    const TreeItem* item = tree().Pool().At(static_cast<i32>(slot));
    if (IsNullItem(item->handle)) continue;
    u32 n = 0;
    for (i32 c = item->firstChild; c != kNoSlot; c = tree().Pool().At(c)->next) ++n;
    EXPECT_EQ(n, item->childCount);
    if (n) {
      EXPECT_TRUE(item->flags & kTreeExpander) << "an item with children shows an expander";
    }
  }
  EXPECT_GT(tree().Pool().Capacity(), 100u) << "the pool grew on the way";
}

TEST_F(TreeView, HandlesOfFreedSlotsNeverReachTheirNewOccupants) {
  const TreeItemHandle a = Add(kNullItem);
  ASSERT_TRUE(tree().DeleteItem(a));
  const TreeItemHandle b = Add(kNullItem);
  EXPECT_EQ(a.index, b.index) << "the slot is reused";
  EXPECT_EQ(nullptr, tree().Lookup(a));
  EXPECT_EQ(nullptr, tree().Lookup(TreeItemHandle{-7, b.serial})) << "indices compare unsigned";
  TreeItemHandle made;
  TreeItemInfo info;
  EXPECT_FALSE(tree().InsertItem(&made, info, a, kInsertLast));
  EXPECT_TRUE(IsNullItem(made));
  // A position under another parent appends at the end.
  const TreeItemHandle p = Add(kNullItem, 0);
  const TreeItemHandle first = Add(p);
  const TreeItemHandle foreign = Add(kNullItem);
  const TreeItemHandle late = Add(p, 0, foreign);
  EXPECT_TRUE(ItemHandlesEqual(late, tree().GetLastChild(p)));
  EXPECT_TRUE(ItemHandlesEqual(first, tree().GetFirstChild(p)));
  EXPECT_EQ(2u, tree().GetChildCount(p));
}

TEST_F(TreeView, TheExpanderShowsAndTogglesForGainedChildrenAndForLazyItems) {
  CRecordingThemePainter painter;
  const TreeItemHandle top = Add(kNullItem);
  ASSERT_TRUE(tree().SetExpanded(top, true));
  const TreeItemHandle grown = Add(top);  // gains a child below
  Add(grown);
  const TreeItemHandle lazy = Add(top, kTreeExpander);  // children come on expansion
  CheckRows("built");
  std::vector<u32> pixels(200 * 180);
  std::vector<double> scratch(200);
  CCanvas canvas(1);
  canvas.Attach(pixels.data(), scratch.data(), 200, 180);
  canvas.Reset();
  tree().PaintContent(canvas);
  const std::vector<ThemeCall> rows = painter.CallsOf('w');
  ASSERT_EQ(3u, rows.size());
  EXPECT_EQ(8, rows[1].state & 24) << "collapsed expander of the item that gained a child";
  EXPECT_EQ(8, rows[2].state & 24) << "collapsed expander of the lazy item";
  // Presses on the expanders (level 1: x 0..15), rows from the top 18 high.
  Point onGrown = {5, 180 - 18 - 9}, onLazy = {5, 180 - 36 - 9};
  tree().OnLButtonDown(kMouseLeftButton, &onGrown);
  EXPECT_TRUE(tree().Lookup(grown)->flags & kTreeExpanded);
  onLazy.y -= 18;  // the grown item's child now shows above it
  tree().OnLButtonDown(kMouseLeftButton, &onLazy);
  EXPECT_TRUE(tree().Lookup(lazy)->flags & kTreeExpanded);
  EXPECT_EQ(1u, tree().GetChildCount(lazy)) << "the owner filled it";
  CheckRows("expanded");
  EXPECT_TRUE(ItemHandlesEqual(top, tree().selected)) << "the focus took the top row; the expanders left it";
  // The same press beside the expander selects the row.
  Point onLabel = {40, onLazy.y};
  tree().OnLButtonDown(kMouseLeftButton, &onLabel);
  EXPECT_TRUE(ItemHandlesEqual(lazy, tree().selected));
  Point below = {40, 2};
  host.pressed.clear();
  tree().OnLButtonDown(kMouseLeftButton, &below);
  EXPECT_TRUE(host.pressed.empty() && ItemHandlesEqual(lazy, tree().selected)) << "below the last row";
}

TEST_F(TreeView, KeysWalkTheRowsAndOpenAndCloseItems) {
  const TreeItemHandle a = Add(kNullItem), b = Add(kNullItem);
  const TreeItemHandle a1 = Add(a);
  tree().OnKeyDown(40, 0, 0);
  EXPECT_TRUE(ItemHandlesEqual(a, tree().selected)) << "no selection: any key takes the top row";
  const struct {
    u32 key;
    TreeItemHandle selected;
    bool aOpen;
  } steps[] = {{39, a, true}, {39, a1, true}, {39, b, true}, {36, a, true},
               {37, a, false}, {40, b, false}, {37, b, false}, {38, a, false}};
  for (const auto& s : steps) {
    tree().OnKeyDown(s.key, 0, 0);
    EXPECT_TRUE(ItemHandlesEqual(s.selected, tree().selected)) << s.key;
    EXPECT_EQ(s.aOpen, (tree().Lookup(a)->flags & kTreeExpanded) != 0) << s.key;
  }
}

// Renaming through the program's text edit: the owner may refuse a text
// (the editor stays), Enter accepts it, Escape drops it.
class CRenameHost : public CFakeOwnerOf<CRenameHost> {
 public:
  CTreeView<CRenameHost, CTextEdit> tree;
  bool accept = false;
  auto Children() { return std::tie(tree); }
  void OnRename(const wchar16*, i32, bool* accepted) { *accepted = accept; }
};

TEST(TreeLabelEdit, EnterRenamesUnlessRefusedAndEscapeDrops) {
  CRenameHost host;
  const Rect r = {0, 0, 200, 100};
  host.tree.Create(kFlagVisible, &r, &host);
  host.tree.rename = BindCallback<CRenameHost, &CRenameHost::OnRename, const wchar16*, i32, bool*>(&host, &host);
  TreeItemHandle a;
  TreeItemInfo info;
  info.Init(u"old", -1, -1, 0);
  host.tree.InsertItem(&a, info, kNullItem, kInsertLast);
  host.tree.SelectItem(a);
  auto edit = [&](const wchar16* text, u32 key) {
    host.tree.editor.SetText(text);
    host.tree.Lookup(a)->flags |= kTreeEditing;
    host.tree.editor.ModifyFlags(0, kFlagVisible);
    host.tree.PlaceLabelEdit();
    EXPECT_TRUE(host.tree.OnLabelEditKey(key));
    return std::u16string(host.tree.Lookup(a)->text.c_str());
  };
  EXPECT_EQ(u"old", edit(u"refused", 13));
  EXPECT_TRUE(host.tree.editor.IsVisible()) << "a refused text keeps the editor open";
  host.accept = true;
  EXPECT_EQ(u"new", edit(u"new", 13));
  EXPECT_EQ(u"new", edit(u"dropped", 27));
  EXPECT_FALSE(host.tree.editor.IsVisible() || (host.tree.Lookup(a)->flags & kTreeEditing));
  StoreFocusedWidget(nullptr);
}

}  // namespace
