#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "render/canvas.h"
#include "ui/support/fake_owner.h"
#include "ui/support/menu_blocks.h"
#include "ui/support/probe_widgets.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/widgets/menu_bar.h"

namespace {

// File, a separator, Edit, a disabled and an enabled command, a disabled
// submenu, and the eject icon against the right edge.
constexpr i32 kFile = 0, kSeparator = 1, kEdit = 2, kDisabled = 3, kAbout = 4, kEject = 6;

struct CBarOwner : CFakeOwnerOf<CBarOwner> {
  CMenuBar<CBarOwner> bar;
  CProbe<CBarOwner> other;
  auto Children() { return std::tie(bar, other); }
  void OnCommand(u32 id) { events.push_back("command " + std::to_string(id)); }
  void OnHover(i32 id, i32) { events.push_back("hover " + std::to_string(id)); }
  CWidget* SetFocusedWidget(CWidget* next) {
    events.push_back(next == &other ? "focus other" : "focus ?");
    return CFakeOwnerOf<CBarOwner>::SetFocusedWidget(next);
  }
  std::vector<std::string> events;
};

typedef std::function<i32(IPopupMenuOwner*)> PopupStep;

struct MenuBarTest : testing::Test {
  static MenuBarTest* current;
  // Plays the popups: notes each as menu id x 10 - its first hot item
  // (191: File, nothing hot), then runs the next scripted step.
  static i32 Runner(CMenuModel* model, i32, i32, const CImageStrip*, const CImageStrip*, IPopupMenuOwner* owner) {
    current->opened.push_back(model->id * 10 - owner->GetInitialHotItem());
    SetPressedWidget(nullptr);  // a real popup takes the press over
    if (current->steps.empty()) return kPopupCancelled;
    PopupStep step = current->steps.front();
    current->steps.erase(current->steps.begin());
    return step(owner);
  }
  void SetUp() override {
    current = this;
    previous = SetPopupMenuRunner(&Runner);
    bar.command = BindCallback<CBarOwner, &CBarOwner::OnCommand, u32>(&owner, &owner);
    bar.hover = BindCallback<CBarOwner, &CBarOwner::OnHover, i32, i32>(&owner, &owner);
    bar.icons.frameWidth = bar.icons.frameHeight = 16;
    const Rect barPlace = {0, 250, 400, 272}, otherPlace = {0, 0, 50, 50};
    bar.Create(kFlagVisible | kFlagTabStop, &barPlace, &owner);
    owner.other.Create(kFlagVisible | kFlagTabStop, &otherPlace, &owner);
    bar.SetModel(block.Root());
    owner.other.SetFocus();
  }
  void TearDown() override {
    SetPopupMenuRunner(previous);
    SetPressedWidget(nullptr);
    StoreFocusedWidget(nullptr);
  }
  Point At(i32 item, bool desktop = false) {
    const Rect& r = bar.itemRects[static_cast<u32>(item)];
    Point p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    if (desktop) bar.ToWindowPoint(&p);
    return p;
  }
  std::vector<u32> Looks() {
    CRecordingThemePainter theme;
    CCanvas canvas(1);
    bar.PaintContent(canvas);
    std::vector<u32> looks;
    for (const ThemeCall& c : theme.CallsOf('r')) looks.push_back(c.style);
    return looks;
  }
  CMenuBlock block{Submenu(128, {Submenu(19, {Command(21), Command(22)}), Separator(), Submenu(28, {Command(31)}),
                                 Command(27, 0), Command(62), Submenu(40, {Command(41)}, 0),
                                 Command(48, kMenuEnabled | kMenuNoText | kMenuRightAligned, 14)})};
  CBarOwner owner;
  CMenuBar<CBarOwner>& bar = owner.bar;
  std::vector<PopupStep> steps;
  std::vector<i32> opened;
  PopupMenuRunner previous = nullptr;
};
MenuBarTest* MenuBarTest::current = nullptr;

// Keys of the focused bar: Left and Right wrap without passing over
// separators, Space fires an enabled command, Enter on a command only
// enters menu mode, Space on a submenu opens it with its first item hot.
TEST_F(MenuBarTest, KeysWhileFocused) {
  bar.SetFocus();
  EXPECT_EQ(kFile, bar.hotItem) << "focus gives the first item";
  const i32 table[][4] = {{37, kFile, kEject, 0},     {39, kEject, kFile, 0},        {37, -1, kEject, 0},
                          {39, kFile, kSeparator, 0}, {32, kDisabled, kDisabled, 0}, {32, kAbout, kAbout, 1},
                          {13, kAbout, kAbout, 0}};
  for (const auto& row : table) {
    owner.events.clear();
    bar.hotItem = row[1];
    bar.OnKeyDown(static_cast<u32>(row[0]), 1, 0);
    EXPECT_EQ(row[2], bar.hotItem) << row[0] << " from " << row[1];
    EXPECT_EQ(row[3] ? std::vector<std::string>{"command 62"} : std::vector<std::string>{}, owner.events) << row[0];
  }
  EXPECT_TRUE(opened.empty());
  EXPECT_EQ(0xCu, Looks()[kAbout]) << "Enter on a command: drawn open";
  bar.hotItem = kEdit;
  bar.OnKeyDown(32, 1, 0);
  EXPECT_EQ(std::vector<i32>{280}, opened);
}

// The popup's result decides the next step; each row starts with a press
// on File while another widget has the focus.
TEST_F(MenuBarTest, PopupResultsDecideTheNextStep) {
  auto key = [](u32 k) {
    return [k](IPopupMenuOwner* o) {
      bool handled = k == 27;
      o->OnPopupKey(k, &handled);
      return handled ? (k == 27 ? -2 : -1) : 99;
    };
  };
  auto pointer = [this](bool button) {
    return [this, button](IPopupMenuOwner* o) {
      bool flag = false;
      if (button) o->OnPopupMouseButton(At(kEdit, true), &flag);
      if (!button) o->OnPopupMouseMove(At(kEdit, true), &flag, nullptr);
      return flag ? (button ? -1 : -3) : 99;
    };
  };
  auto choose = [](i32 id) { return [id](IPopupMenuOwner*) { return id; }; };
  const std::vector<std::string> chosen = {"hover -3", "focus other", "command 2", "hover -3"};
  const std::vector<std::string> dismissed = {"focus other", "hover -3"};
  struct Case {
    std::vector<PopupStep> script;
    std::vector<i32> opened;
    std::vector<std::string> events;
    i32 hot;  // the bar keeps the focus only with a hot item
  } cases[] = {
      {{choose(2)}, {191}, chosen, -1},
      {{key(27)}, {191}, {"hover -3"}, kFile},
      {{key(39), key(37), choose(2)}, {191, 281, 191}, chosen, -1},
      {{pointer(false), choose(-2)}, {191, 281}, dismissed, -1},
      {{pointer(true)}, {191}, dismissed, -1},
  };
  for (const Case& c : cases) {
    owner.events.clear();
    opened.clear();
    owner.other.SetFocus();
    steps = c.script;
    Point p = At(kFile);
    bar.OnLButtonDown(0, &p);
    EXPECT_EQ(c.opened, opened) << &c - cases;
    EXPECT_EQ(c.events, owner.events) << &c - cases;
    EXPECT_EQ(c.hot >= 0, FocusedWidget() == &bar) << &c - cases;
    EXPECT_EQ(c.hot, bar.hotItem) << &c - cases;
    EXPECT_EQ(0, bar.state & ~CMenuBarCore::kHover) << &c - cases;
  }
}

// An icon-only item is its frame + 6 wide, right-aligned items keep their
// order at the right edge; hover takes the press and shows the hot item, a
// release fires only an enabled command; a hot item shows only with focus,
// hover or an open popup, open in menu mode; disabled commands are greyed.
TEST_F(MenuBarTest, LayoutPointerAndLooks) {
  block.Root()->GetItem(kAbout)->flags |= kMenuRightAligned;
  bar.Layout();
  bar.SetBounds(bar.x, bar.y, 500, bar.height);
  const Rect eject = bar.itemRects[kEject];
  EXPECT_TRUE(eject.right - eject.left == 22 && eject.right == 500 && eject.left == bar.itemRects[kAbout].right);
  Point p = At(kAbout);
  bar.OnMouseMove(0, &p);
  EXPECT_TRUE(PressedWidget() == &bar && Looks()[kAbout] == 0x4);
  for (i32 item : {kDisabled, kAbout}) {
    p = At(item);
    bar.OnLButtonDown(0, &p);
    bar.OnLButtonUp(0, &p);
  }
  EXPECT_EQ((std::vector<std::string>{"hover -3", "command 62"}), owner.events);
  owner.other.SetFocus();
  bar.hotItem = kFile;
  const u32 states[] = {0, CMenuBarCore::kMenuMode, CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen};
  const std::vector<u32> looks[] = {{0, 0, 0, 0x2, 0, 0, 0}, {0x8, 0, 0, 0x2, 0, 0, 0}, {0xC, 0, 0, 0x2, 0, 0, 0}};
  for (u32 i = 0; i < 3; ++i) {
    bar.state = static_cast<u8>(states[i]);
    EXPECT_EQ(looks[i], Looks()) << i;
  }
  bar.SetModel(nullptr);
  EXPECT_EQ(nullptr, block.Root()->listener);
}

}  // namespace
