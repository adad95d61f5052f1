#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "render/canvas.h"
#include "support/virtual_clock.h"
#include "ui/support/fake_owner.h"
#include "ui/support/fixed_font.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/views/tree_view.h"
#include "ui/widgets/text_edit.h"
#ifdef _WIN32
#include "ui/support/scripted_window_system.h"
#endif

namespace {

class CTreeHost : public CFakeOwnerOf<CTreeHost> {
 public:
  CTreeView<CTreeHost> tree;
  std::vector<TreeItemHandle> pressed, selections;
  bool refuseKeys = false;
  std::mt19937* random = nullptr;  // set: expansions fill in children and sometimes delete
  auto Children() { return std::tie(tree); }
  void OnPress(TreeItemHandle h, i32, Point) { pressed.push_back(h); }
  void OnSelected(TreeItemHandle h) { selections.push_back(h); }
  void OnKey(u32, bool* proceed) { *proceed = !refuseKeys; }
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
  const char* names[] = {"insert", "delete", "clear", "expand", "collapse", "refresh"};
  for (int step = 0; step < 3000; ++step) {
    const u32 op = step < 200 ? 0 : random() % 6;
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
      case 3: tree().SetExpanded(h, true); break;
      case 4: tree().SetExpanded(h, false); break;
      case 5: tree().RefreshItem(h); break;
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
               {37, a, false}, {40, b, false},
               {37, kNullItem, false},  // a top-level item's parent: nothing selected
               {38, a, false}};         // then any key takes the top row
  for (const auto& s : steps) {
    tree().OnKeyDown(s.key, 0, 0);
    EXPECT_TRUE(ItemHandlesEqual(s.selected, tree().selected)) << s.key;
    EXPECT_EQ(s.aOpen, (tree().Lookup(a)->flags & kTreeExpanded) != 0) << s.key;
  }
}

// Four shown rows from the top in a 200 x 180 tree: a, its child a1, a1's
// child x (level 2) and b; rows are 18 high from the top edge, so row i
// spans y [162 - 18 i, 180 - 18 i).
struct TreeRows : TreeView {
  void SetUp() override {
    TreeView::SetUp();
    tree().selectionChanged = BindCallback<CTreeHost, &CTreeHost::OnSelected, TreeItemHandle>(&host, &host);
    a = Add(kNullItem);
    b = Add(kNullItem);
    a1 = Add(a);
    x = Add(a1, kTreeExpander);  // children come on expansion
    tree().SetExpanded(a, true);
    tree().SetExpanded(a1, true);
    host.selections.clear();
  }
  bool Open(const TreeItemHandle& h) { return (tree().Lookup(h)->flags & kTreeExpanded) != 0; }
  TreeItemHandle a, b, a1, x;
};

TEST_F(TreeRows, EachRowsFirstAndLastPixelRowHitItAndTheExpanderColumnsEndAt16) {
  ASSERT_EQ(4u, tree().VisibleRowCount());
  const struct {
    i32 y;
    int row;  // -1 none
  } ys[] = {{180, -1}, {179, 0}, {162, 0}, {161, 1}, {144, 1}, {143, 2}, {126, 2}, {125, 3}, {108, 3}, {107, -1}, {-1, -1}};
  const TreeItemHandle rows[] = {a, a1, x, b};
  for (const auto& c : ys) {
    const TreeItemHandle h = tree().RowAtPoint({50, c.y});
    EXPECT_TRUE(c.row < 0 ? IsNullItem(h) : ItemHandlesEqual(rows[c.row], h)) << c.y;
  }
  // The expander column of a level-1 item is x 0..15, of a level-2 one 18..33
  // (the row height, not the indent, sets the columns).
  tree().indent = 25;
  const struct {
    i32 x, y;
    TreeItemHandle h;
    bool hit;
  } xs[] = {{-1, 170, a1, false}, {0, 161, a1, true},  {15, 144, a1, true}, {16, 150, a1, false},
            {17, 130, x, false},  {18, 143, x, true},  {33, 126, x, true},  {34, 130, x, false},
            {5, 170, a1, false},  {20, 150, x, false}};  // the other row
  for (const auto& c : xs) EXPECT_EQ(c.hit, tree().HitExpander({c.x, c.y}, c.h)) << c.x << "," << c.y;
  tree().indent = 18;
  // Presses: on x's expander it opens without selecting; just right of it it selects.
  tree().SelectItem(b);
  host.selections.clear();
  Point on = {33, 130}, beside = {34, 130};
  tree().OnLButtonDown(kMouseLeftButton, &on);
  EXPECT_TRUE(Open(x) && ItemHandlesEqual(b, tree().selected));
  EXPECT_EQ(0u, host.selections.size());
  CheckRows("x opened");
  tree().OnLButtonDown(kMouseLeftButton, &beside);
  EXPECT_TRUE(Open(x) && ItemHandlesEqual(x, tree().selected));
  EXPECT_EQ(1u, host.selections.size());
  EXPECT_TRUE(tree().Lookup(x)->flags & kTreeSelected);
  EXPECT_FALSE(tree().Lookup(b)->flags & kTreeSelected);
  host.pressed.clear();
  tree().OnLButtonDown(kMouseLeftButton, &beside);
  EXPECT_EQ(1u, host.selections.size()) << "the same row again: no selection notice";
  EXPECT_EQ(1u, host.pressed.size()) << "but a press notice";
  // Collapsing a1 above the selection hides it: the pressed row is selected.
  Point a1Expander = {3, 155};
  tree().SelectItem(x);
  tree().OnLButtonDown(kMouseLeftButton, &a1Expander);
  EXPECT_TRUE(!Open(a1) && ItemHandlesEqual(a1, tree().selected));
  EXPECT_FALSE(tree().Lookup(x)->flags & kTreeSelected) << "the old selection's bit is cleared";
  CheckRows("a1 closed");
}

// Every key, every way, from every kind of row; after each key the
// selection, the expanded items, the shown rows and the notices.
TEST_F(TreeRows, KeysWalkBothWaysAndOpenAndCloseWithLeftAndRight) {
  const struct {
    u32 key;
    TreeItemHandle selected;
    bool aOpen, a1Open;
    size_t notices;  // selection notices so far
  } walk[] = {{45, a, true, true, 1},   // no selection: any key takes the top row
              {38, a, true, true, 1},   // Up at the top
              {35, b, true, true, 2},   // End
              {35, b, true, true, 2},   {40, b, true, true, 2},  // Down at the bottom
              {39, b, true, true, 2},   // Right on the last row without children
              {36, a, true, true, 3},   // Home
              {36, a, true, true, 3},   {40, a1, true, true, 4}, {40, x, true, true, 5},
              {37, a1, true, true, 6},  // Left on a closed item: its parent
              {37, a1, true, false, 6}, // Left on an open one closes it
              {40, b, true, false, 7},  {38, a1, true, false, 8},
              {39, a1, true, true, 8},  // Right on a closed one with children opens it
              {39, x, true, true, 9},   // Right on an open one: down
              {37, a1, true, true, 10}, {37, a1, true, false, 10}, {37, a, true, false, 11},
              {37, a, false, false, 11},
              // Left on a closed top-level item: its parent, the null
              // handle; nothing is selected, and the next key takes the
              // top row again without acting on it.
              {37, kNullItem, false, false, 12}, {37, a, false, false, 13},
              {37, kNullItem, false, false, 14}, {39, a, false, false, 15},
              {39, a, true, false, 15}, {45, a, true, false, 15}};
  for (const auto& w : walk) {
    tree().OnKeyDown(w.key, 0, 0);
    EXPECT_TRUE(ItemHandlesEqual(w.selected, tree().selected)) << w.key << " notice " << w.notices;
    EXPECT_EQ(w.aOpen, Open(a)) << w.key << " notice " << w.notices;
    EXPECT_EQ(w.a1Open, Open(a1)) << w.key << " notice " << w.notices;
    ASSERT_EQ(w.notices, host.selections.size()) << w.key;
    EXPECT_TRUE(ItemHandlesEqual(w.selected, host.selections.back())) << "the notice names the new selection";
    CheckRows("key");
    u32 selectedBits = 0;
    for (const TreeItemHandle& h : {a, b, a1, x}) selectedBits += (tree().Lookup(h)->flags & kTreeSelected) != 0;
    EXPECT_EQ(IsNullItem(w.selected) ? 0u : 1u, selectedBits) << "one selected item, or none";
  }
  // The owner's key hook can refuse a key.
  tree().key = BindCallback<CTreeHost, &CTreeHost::OnKey, u32, bool*>(&host, &host);
  host.refuseKeys = true;
  tree().OnKeyDown(40, 0, 0);
  EXPECT_TRUE(ItemHandlesEqual(a, tree().selected));
  host.refuseKeys = false;
  tree().OnKeyDown(40, 0, 0);
  EXPECT_TRUE(ItemHandlesEqual(a1, tree().selected));
}

#ifdef _WIN32
TEST_F(TreeRows, WithControlTheKeysOnlyScrollBothWays) {
  for (int i = 0; i < 12; ++i) Add(kNullItem);  // 16 rows of 18 in 180: a bar
  ASSERT_TRUE(tree().flags & kFlagVScroll);
  tree().SelectItem(a1);
  host.selections.clear();
  CScriptedWindowSystem keys;
  keys.SetKeyDown(0x11, true);
  const double line = 18.0 / (16 * 18 - 180);
  const struct {
    u32 key;
    double y;
  } walk[] = {{40, 1 - line}, {40, 1 - 2 * line}, {38, 1 - line}, {35, 0.0}, {36, 1.0}};
  for (const auto& w : walk) {
    tree().OnKeyDown(w.key, 0, 0);
    EXPECT_NEAR(w.y, tree().positionY, 1e-12) << w.key;
  }
  EXPECT_TRUE(ItemHandlesEqual(a1, tree().selected) && host.selections.empty()) << "nothing selected";
}
#endif

TEST_F(TreeRows, TheFocusTakesTheTopRowOnlyWhenNothingIsSelected) {
  tree().OnFocusGain();
  EXPECT_TRUE(ItemHandlesEqual(a, tree().selected));
  tree().SelectItem(x);
  host.selections.clear();
  tree().OnFocusGain();
  EXPECT_TRUE(ItemHandlesEqual(x, tree().selected) && host.selections.empty());
}

// The rows the theme is handed: left at level x indent (20 here, so the
// indent and the row height differ), from the top down, with the expander
// looks (open 16, closed 8, none), the selection with and without the
// focus, and the edited look with the editor's text; no expanders
// without the style.
TEST_F(TreeRows, EachRowIsPaintedInItsLookAtItsIndentFromTheTop) {
  CRecordingThemePainter painter;
  tree().indent = 20;
  tree().SetExpanded(x, true);  // the owner gives x a child: five rows
  tree().SetExpanded(x, false);
  tree().SelectItem(a1);
  const struct {
    bool focused, expanders, editing;
    i32 states[4];
  } cases[] = {{false, true, false, {16, 16 | 1, 8, 0}},
               {true, true, false, {16, 16 | 1 | 0x20, 8, 0}},
               {false, false, false, {0, 1, 0, 0}},
               {false, true, true, {16, 16 | 1 | 0x40, 8, 0}}};
  for (const auto& c : cases) {
    StoreFocusedWidget(c.focused ? static_cast<CWidget*>(&tree()) : nullptr);
    tree().style = c.expanders ? kTreeStyleExpanders : 0;
    if (c.editing) tree().Lookup(a1)->flags |= kTreeEditing;
    painter.calls.clear();
    CMemoryCanvas m(200, 180);
    tree().PaintContent(m.canvas);
    const std::vector<ThemeCall> rows = painter.CallsOf('w');
    ASSERT_EQ(4u, rows.size());
    const i32 levels[] = {0, 1, 2, 0};
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(c.states[i], rows[static_cast<size_t>(i)].state) << "row " << i << " focused " << c.focused;
      const Rect r = rows[static_cast<size_t>(i)].item;
      EXPECT_TRUE(r.left == 20 * levels[i] && r.right == 200 && r.top == 162 - 18 * i && r.bottom == 180 - 18 * i)
          << "row " << i << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
    EXPECT_EQ(c.editing ? u"" : u"item", rows[1].text) << "the edited row shows the editor's (empty) text";
    if (c.editing) tree().Lookup(a1)->flags &= ~kTreeEditing;
  }
  tree().style = kTreeStyleExpanders;
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
  CFixedFontScope fixed;  // a UI font to measure the labels with
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
    host.tree.BeginLabelEdit(a);
    host.tree.editor.SetText(text);
    EXPECT_TRUE(host.tree.OnLabelEditKey(key));
    return std::u16string(host.tree.Lookup(a)->text.c_str());
  };
  EXPECT_EQ(u"old", edit(u"refused", 13));
  EXPECT_TRUE(host.tree.editor.IsVisible()) << "a refused text keeps the editor open";
  host.accept = true;
  EXPECT_EQ(u"new", edit(u"new", 13));
  EXPECT_EQ(u"new", edit(u"dropped", 27));
  EXPECT_FALSE(host.tree.editor.IsVisible() || (host.tree.Lookup(a)->flags & kTreeEditing));
  EXPECT_EQ(&host.tree, FocusedWidget()) << "Enter and Escape give the tree the focus";
  // The editor loses the focus: a refused text keeps it open and editing,
  // with the focus back in it; an accepted one is taken, the editor hidden
  // and the focus left where it went. The content widens to the new label.
  auto loseFocus = [&](const wchar16* text) {
    host.tree.BeginLabelEdit(a);
    host.tree.editor.SetText(text);
    StoreFocusedWidget(nullptr);
    host.tree.OnLabelEditFocusLost();
    return std::u16string(host.tree.Lookup(a)->text.c_str());
  };
  host.accept = false;
  EXPECT_EQ(u"new", loseFocus(u"kept open"));
  EXPECT_TRUE(host.tree.editor.IsVisible() && (host.tree.Lookup(a)->flags & kTreeEditing));
  EXPECT_EQ(&host.tree.editor, FocusedWidget());
  host.accept = true;
  const std::u16string longer = u"a much longer name than before";
  EXPECT_EQ(longer, loseFocus(longer.c_str()));
  EXPECT_FALSE(host.tree.editor.IsVisible() || (host.tree.Lookup(a)->flags & kTreeEditing));
  EXPECT_EQ(nullptr, FocusedWidget()) << "the tree does not take the focus back";
  CFont* font = UiFontNormal();
  ASSERT_TRUE(font);
  const i32 label = static_cast<i32>(Ceil(font->MeasureText(longer.c_str(), static_cast<i32>(longer.size())))) +
                    2 * ThemeTextPadding();
  EXPECT_EQ(label, host.tree.contentWidth) << "the widest row: the new label from the left edge";
  StoreFocusedWidget(nullptr);
}

// The program's label editor, through which a focus loss ends an edit.
class CLabelHost : public CFakeOwnerOf<CLabelHost> {
 public:
  CTreeView<CLabelHost> tree;
  bool accept = false;
  auto Children() { return std::tie(tree); }
  void OnRename(const wchar16*, i32, bool* accepted) { *accepted = accept; }
};

// An edit belongs to the item it was opened for: whatever scrolls or moves
// the rows (the wheel, a thumb drag, the autoscroll, an item inserted
// above), the editor stays over that item's label; after a refused name a
// press on another row selects nothing, and the name goes to the edited
// item; the item removed closes the editor and the tree takes the keys.
TEST(TreeLabelEdit, TheEditorStaysWithTheItemItWasOpenedFor) {
  enum Step { kWheel, kThumbDrag, kAutoscroll, kInsertAbove, kEnter, kPressOtherRow, kAccept, kRemoveItem };
  const struct {
    const char* what;
    std::vector<Step> steps;
    bool scrolls, open;
  } cases[] = {
      {"the wheel", {kWheel}, true, true},
      {"a thumb drag, the name refused as the press takes the keys", {kThumbDrag}, true, true},
      {"the autoscroll", {kAutoscroll}, true, true},
      {"an item inserted above", {kInsertAbove}, false, true},
      {"a refused name, a press on another row, then Enter accepted", {kEnter, kPressOtherRow, kAccept, kEnter},
       false, false},
      {"the item removed", {kRemoveItem}, false, false},
  };
  CFixedFontScope fixed;
  CVirtualClock clock;
  CInstalledClock installed{clock};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CLabelHost host;
    CTreeView<CLabelHost>& tree = host.tree;
    const Rect r = {0, 0, 200, 100};
    tree.Create(kFlagVisible, &r, &host);
    tree.editor.FollowLabel();
    tree.rename = BindCallback<CLabelHost, &CLabelHost::OnRename, const wchar16*, i32, bool*>(&host, &host);
    std::vector<TreeItemHandle> items(20);
    TreeItemInfo info;
    info.Init(u"old", -1, -1, 0);
    for (TreeItemHandle& h : items) tree.InsertItem(&h, info, kNullItem, kInsertLast);
    const TreeItemHandle edited = items[2];
    tree.SelectItem(edited);
    ASSERT_TRUE(tree.BeginLabelEdit(edited));
    tree.editor.SetText(u"typed");
    const double startY = tree.positionY;
    // The bars as a paint hands them to the theme.
    tree.verticalBar.position = tree.positionY;
    tree.verticalBar.fraction = VisibleFraction(tree.viewHeight, tree.contentHeight);
    for (Step step : c.steps) {
      switch (step) {
        case kWheel: {
          Point p = {50, 50};
          tree.OnWheel(0, -120, &p);
          break;
        }
        case kThumbDrag: {
          const Rect bar = tree.BarRectInContent(2);
          Point p = {(bar.left + bar.right) / 2, bar.bottom - 1};
          for (tree.pointerPoint = p; tree.HitTestBar() != kPartThumb && p.y > bar.top; tree.pointerPoint = p) {
            --p.y;
            tree.TrackBarHover(kHitVScroll);
          }
          tree.OnLButtonDown(kMouseLeftButton, &p);
          ASSERT_EQ(2, tree.dragAxis);
          p.y -= 30;
          tree.OnMouseMove(kMouseLeftButton, &p);
          tree.OnLButtonUp(0, &p);
          break;
        }
        case kAutoscroll: {
          Point anchor = {90, 50}, below = {90, 10};
          tree.OnMButtonDown(kMouseMiddleButton, &anchor);
          tree.OnMouseMove(kMouseMiddleButton, &below);
          clock.Advance(50);
          tree.OnTick();
          tree.OnMButtonUp(0, &below);
          break;
        }
        case kInsertAbove: {
          TreeItemHandle made;
          tree.InsertItem(&made, info, kNullItem, kInsertFirst);
          break;
        }
        case kEnter: tree.OnLabelEditKey(13); break;
        case kPressOtherRow: {
          Rect row;
          ASSERT_TRUE(tree.GetItemRect(&row, true, items[4]));
          const Point o = tree.GetScrollOffset();
          Point p = {row.left + 2 - o.x, row.top + 2 - o.y};
          tree.OnLButtonDown(0, &p);
          break;
        }
        case kAccept: host.accept = true; break;
        case kRemoveItem: tree.DeleteItem(edited); break;
      }
    }
    const Point now = tree.GetScrollOffset();
    EXPECT_EQ(c.scrolls, tree.positionY != startY) << "the rows scrolled";
    EXPECT_EQ(c.open, tree.IsEditingLabel());
    EXPECT_EQ(c.open, tree.editor.IsVisible());
    if (c.open) {
      Rect label;
      ASSERT_TRUE(tree.GetItemRect(&label, true, edited));
      EXPECT_EQ(label.left - now.x, tree.editor.x);
      EXPECT_EQ(label.top - now.y, tree.editor.y) << "the editor over its item's label";
      EXPECT_EQ(&tree.editor, FocusedWidget());
    } else {
      EXPECT_EQ(&tree, FocusedWidget());
      for (const TreeItemHandle& h : items) {
        const TreeItem* item = tree.Lookup(h);
        if (!item) continue;
        EXPECT_FALSE(item->flags & kTreeEditing);
        EXPECT_EQ(ItemHandlesEqual(h, edited) && c.steps.back() == kEnter ? u"typed" : u"old",
                  std::u16string(item->text.c_str()));
      }
      if (c.steps.back() == kEnter) {
        EXPECT_TRUE(ItemHandlesEqual(edited, tree.selected)) << "the press selected nothing";
      }
    }
    StoreFocusedWidget(nullptr);
  }
}

}  // namespace
