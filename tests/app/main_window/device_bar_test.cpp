// The device bar: the main menu bar with the drive selector as its child.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "app/main_window/device_bar.h"
#include "ui/support/fake_owner.h"
#include "ui/support/fixed_font.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/menu_blocks.h"
#include "ui/support/probe_widgets.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/views/widget_paint.h"
#include "ui/widgets/tab_order.h"

namespace {

struct CDeviceOwner : CFakeOwnerOf<CDeviceOwner> {
  CProbe<CDeviceOwner> before, after;  // Tab stops on either side of the bar
  CDeviceBar<CDeviceOwner> bar;
  auto Children() { return std::tie(before, bar, after); }
  void OnChosen(i32 index) { chosen.push_back(index); }
  void OnCommand(u32 id) { commands.push_back(id); }
  std::vector<i32> chosen;
  std::vector<u32> commands;
};

struct DeviceBarTest : testing::Test {
  void SetUp() override {
    owner.width = 700;
    const Rect beforePlace = {0, 0, 20, 20}, afterPlace = {30, 0, 50, 20}, barPlace = {0, 200, 500, 230};
    owner.before.Create(kFlagVisible | kFlagTabStop, &beforePlace, &owner);
    owner.after.Create(kFlagVisible | kFlagTabStop, &afterPlace, &owner);
    bar.margins[0] = 4;
    bar.icons.frameWidth = bar.icons.frameHeight = 16;
    bar.command = BindCallback<CDeviceOwner, &CDeviceOwner::OnCommand, u32>(&owner, &owner);
    bar.driveSelector.changed = BindCallback<CDeviceOwner, &CDeviceOwner::OnChosen, i32>(&bar, &owner);
    bar.driveSelector.AddItem(u"E: first");
    bar.driveSelector.AddItem(u"F: second");
    bar.driveSelector.selectedIndex = 0;
    bar.options |= CMenuBarCore::kFixedHeight;  // the heights of the table below
    bar.Create(0x2000A | kFlagVisible, &barPlace, &owner);
    bar.SetModel(block.Root());
  }
  void TearDown() override {
    SetPressedWidget(nullptr);
    StoreFocusedWidget(nullptr);
  }
  CFixedFontScope fixed;
  // File, Edit, and the erase and eject icons against the right end.
  CMenuBlock block{Submenu(128, {Submenu(19, {Command(21)}), Submenu(28, {Command(31)}),
                                 Command(63, kMenuEnabled | kMenuNoText | kMenuRightAligned, 24),
                                 Command(48, kMenuEnabled | kMenuNoText | kMenuRightAligned, 14)})};
  CDeviceOwner owner;
  CDeviceBar<CDeviceOwner>& bar = owner.bar;
};

// The selector stands one gap (3) in from the right end, 220 wide and 22
// high, centred in the bar's height with an odd pixel left above it; the
// icons end where the selector's room (220 + 2 gaps) begins, at every size.
TEST_F(DeviceBarTest, TheSelectorKeepsTheRightEndAndTheIconsEndBeforeIt) {
  const struct {
    i32 width, height, selectorX, selectorY;
  } rows[] = {{500, 30, 277, 4}, {500, 31, 277, 4}, {640, 22, 417, 0}, {641, 33, 418, 5}};
  for (const auto& r : rows) {
    bar.SetBounds(0, 200, r.width, r.height);
    SCOPED_TRACE(testing::Message() << r.width << " x " << r.height);
    const auto& s = bar.driveSelector;
    EXPECT_EQ(r.selectorX, s.x);
    EXPECT_EQ(r.selectorY, s.y);
    EXPECT_EQ(220, s.width);
    EXPECT_EQ(22, s.height);
    EXPECT_EQ(r.width - 226, bar.itemRects[3].right) << "the eject icon";
    EXPECT_EQ(bar.itemRects[3].left, bar.itemRects[2].right) << "the erase icon beside it";
    EXPECT_EQ(4, bar.itemRects[0].left) << "File stays at the left margin";
  }
}

// Tab goes from the widget before the bar to the bar, then to its
// selector, then on; Shift+Tab the exact way back.
TEST_F(DeviceBarTest, TabReachesTheBarBeforeItsSelector) {
  owner.before.SetFocus();
  std::vector<const CWidget*> forward, backward;
  for (int i = 0; i < 3; ++i) {
    bool passed = false;
    ForEachChild(owner, [&](auto& child) { return TabWalkForward(&passed, child); });
    forward.push_back(FocusedWidget());
  }
  for (int i = 0; i < 3; ++i) {
    bool passed = false;
    ForEachChildReverse(owner, [&](auto& child) { return TabWalkBackward(&passed, child); });
    backward.push_back(FocusedWidget());
  }
  EXPECT_EQ((std::vector<const CWidget*>{&bar, &bar.driveSelector, &owner.after}), forward);
  EXPECT_EQ((std::vector<const CWidget*>{&bar.driveSelector, &bar, &owner.before}), backward);
  EXPECT_EQ(0, bar.hotItem) << "the bar took the focus with its first item";
}

// The selector is painted over the bar after the items; the pointer over
// an item lights that item, over the selector it is the selector's; keys
// reach the focused selector through the bar.
TEST_F(DeviceBarTest, TheSelectorIsPaintedAfterTheItemsAndTakesItsOwnPointer) {
  CRecordingThemePainter theme;
  CMemoryCanvas target(bar.width, bar.height);
  PaintWidget(bar, target.canvas);
  std::string order;
  for (const ThemeCall& c : theme.calls)
    if (c.op == 'G' || c.op == 'r' || c.op == 'd') order += c.op;
  EXPECT_EQ("Grrrrd", order);

  Point onItem = {(bar.itemRects[1].left + bar.itemRects[1].right) / 2, bar.height / 2};
  bar.ToWindowPoint(&onItem);
  RouteMouseToChildren(owner, onItem, MouseEvent{MouseKind::kMove, 0, 0, 0});
  EXPECT_EQ(1, bar.hotItem);
  EXPECT_EQ(&bar, PressedWidget());
  Point onSelector = {bar.driveSelector.width / 2, bar.driveSelector.height / 2};
  bar.driveSelector.ToWindowPoint(&onSelector);
  RouteMouseToChildren(owner, onSelector, MouseEvent{MouseKind::kMove, 0, 0, 0});
  EXPECT_EQ(&bar.driveSelector, PressedWidget()) << "the selector took the press";
  // Keys reach the focused selector through the bar: Down, the next drive.
  bar.driveSelector.SetFocus();
  EXPECT_TRUE(RouteKeyToChildren(owner, KeyEvent{KeyKind::kDown, 40, 1, 0}));
  EXPECT_EQ(std::vector<i32>{1}, owner.chosen);
  EXPECT_TRUE(owner.commands.empty());
}

}  // namespace
