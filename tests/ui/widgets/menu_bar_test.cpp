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
#if defined(_WIN32)
#include "runtime/platform.h"
#include "ui/support/scripted_window_system.h"
#endif

namespace {

// File, a separator, Edit, a disabled command, an enabled command, a
// disabled submenu, then the eject icon against the right edge.
MenuSpec BarSpec() {
  return Submenu(128, {Submenu(19, {Command(21), Command(22)}), Separator(), Submenu(28, {Command(31)}),
                       Command(27, 0), Command(62), Submenu(40, {Command(41)}, 0),
                       Command(48, kMenuEnabled | kMenuNoText | kMenuRightAligned, 14)});
}
constexpr i32 kFile = 0, kSeparator = 1, kEdit = 2, kDisabled = 3, kAbout = 4, kView = 5, kEject = 6;

struct CBarOwner : CFakeOwnerOf<CBarOwner> {
  CMenuBar<CBarOwner> bar;
  CProbe<CBarOwner> other;
  auto Children() { return std::tie(bar, other); }
  void OnCommand(u32 id) { events.push_back("command " + std::to_string(id)); }
  void OnHover(i32 id, i32 hint) { events.push_back("hover " + std::to_string(id) + "," + std::to_string(hint)); }
  void OnOpening() { events.push_back("opening"); }
  CWidget* SetFocusedWidget(CWidget* next) {
    events.push_back(next == &other ? "focus other" : "focus ?");
    return CFakeOwnerOf<CBarOwner>::SetFocusedWidget(next);
  }
  std::vector<std::string> events;
};

// What the scripted popup was opened with.
struct PopupCall {
  i32 menuId;
  Point at;
  i32 initialHot;
};
typedef std::function<i32(IPopupMenuOwner*)> PopupStep;

struct MenuBarTest : testing::Test {
  static MenuBarTest* current;
  static i32 Runner(CMenuModel* model, i32 x, i32 y, const CImageStrip*, const CImageStrip*,
                    IPopupMenuOwner* owner) {
    MenuBarTest* t = current;
    t->popups.push_back({model->id, {x, y}, owner->GetInitialHotItem()});
    // A real popup takes the pressed role over and gives it up as it closes.
    SetPressedWidget(nullptr);
    if (t->steps.empty()) return kPopupCancelled;
    PopupStep step = t->steps.front();
    t->steps.erase(t->steps.begin());
    return step(owner);
  }

  void SetUp() override {
    current = this;
    previousRunner = SetPopupMenuRunner(&Runner);
    owner.bar.command = BindCallback<CBarOwner, &CBarOwner::OnCommand, u32>(&owner, &owner);
    owner.bar.hover = BindCallback<CBarOwner, &CBarOwner::OnHover, i32, i32>(&owner, &owner);
    owner.bar.opening = BindCallback<CBarOwner, &CBarOwner::OnOpening>(&owner, &owner);
    owner.bar.icons.frameWidth = owner.bar.icons.frameHeight = 16;
    const Rect barPlace = {0, 250, 400, 272}, otherPlace = {0, 0, 50, 50};
    owner.bar.Create(kFlagVisible | kFlagTabStop, &barPlace, &owner);
    owner.other.Create(kFlagVisible | kFlagTabStop, &otherPlace, &owner);
    owner.bar.SetModel(block.Root());
    owner.other.SetFocus();
    PlaceCursor({-50, -50});
  }
  void TearDown() override {
    SetPopupMenuRunner(previousRunner);
    SetPressedWidget(nullptr);
    StoreFocusedWidget(nullptr);
    StorePendingFocus(nullptr);
  }
  // The centre of an item in desktop coordinates, and in the bar's own.
  Point Centre(i32 item) {
    const Rect& r = owner.bar.itemRects[static_cast<u32>(item)];
    Point p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    owner.bar.ToWindowPoint(&p);
    return p;
  }
  Point Local(i32 item) {
    Point p = Centre(item);
    owner.bar.WindowToLocal(&p);
    return p;
  }
  void PlaceCursor(Point desktop) {
#if defined(_WIN32)
    WorkAreaRect area;
    GetWorkArea(&area);
    system.SetCursor(desktop.x, area.bottom - desktop.y);
#else
    (void)desktop;
#endif
  }
  std::vector<i32> Opened() {
    std::vector<i32> ids;
    for (const PopupCall& c : popups) ids.push_back(c.menuId);
    return ids;
  }
  void Press(i32 item) {
    Point p = Local(item);
    owner.bar.OnLButtonDown(0, &p);
  }
  // The looks the bar paints its items with.
  std::vector<u32> Looks() {
    CRecordingThemePainter theme;
    CCanvas canvas(1);
    owner.bar.PaintContent(canvas);
    std::vector<u32> looks;
    for (const MenuThemeCall& c : theme.MenuCalls('r')) looks.push_back(c.state);
    return looks;
  }

#if defined(_WIN32)
  CScriptedWindowSystem system;
#endif
  CMenuBlock block{BarSpec()};
  CBarOwner owner;
  std::vector<PopupStep> steps;
  std::vector<PopupCall> popups;
  PopupMenuRunner previousRunner = nullptr;
};
MenuBarTest* MenuBarTest::current = nullptr;

TEST_F(MenuBarTest, LayoutIconItemsRightAlignmentAndFixedHeight) {
  CMenuBar<CBarOwner>& bar = owner.bar;
  const Rect eject = bar.itemRects[kEject];
  EXPECT_EQ(16 + 6, eject.right - eject.left) << "an icon-only item: frame + 6";
  EXPECT_EQ(bar.GetContentRect().right, eject.right);
  EXPECT_EQ(bar.margins[0], bar.itemRects[kFile].left);
  EXPECT_GE(bar.height, 16 + 6 + 8) << "an icon sets the least height";
  // After a resize, with a second right-aligned item and a right margin.
  block.Root()->GetItem(kAbout)->flags |= kMenuRightAligned;
  bar.margins[2] = 3;
  bar.Layout();
  bar.SetBounds(bar.x, bar.y, 500, bar.height);
  const Rect about = bar.itemRects[kAbout], moved = bar.itemRects[kEject];
  EXPECT_EQ(500 - 3, moved.right);
  EXPECT_EQ(moved.left, about.right) << "right-aligned items keep their order";
  // A fixed height is kept and every item fills it.
  bar.options |= CMenuBarCore::kFixedHeight;
  bar.SetBounds(bar.x, bar.y, 500, 40);
  bar.Layout();
  EXPECT_EQ(40, bar.height);
  for (u32 i = 0; i < 7; ++i) EXPECT_EQ(40, bar.itemRects[i].bottom - bar.itemRects[i].top) << i;
}

// Keys while the bar merely has the focus: Left and Right wrap without
// passing over separators; Space fires an enabled command and opens a
// submenu; Enter on a command only enters menu mode.
TEST_F(MenuBarTest, KeysWhileFocused) {
  CMenuBar<CBarOwner>& bar = owner.bar;
  bar.SetFocus();
  EXPECT_EQ(kFile, bar.hotItem) << "focus gives a bar without hot item its first";
  struct Step {
    u32 key;
    i32 hotBefore, hotAfter;
    const char* event;  // last event after the key, or ""
  };
  const Step table[] = {
      {37, kFile, kEject, ""},     {39, kEject, kFile, ""},      {37, -1, kEject, ""},
      {39, kFile, kSeparator, ""}, {32, kDisabled, kDisabled, ""}, {32, kAbout, kAbout, "command 62"},
  };
  for (const Step& s : table) {
    owner.events.clear();
    bar.hotItem = s.hotBefore;
    bar.OnKeyDown(s.key, 1, 0);
    EXPECT_EQ(s.hotAfter, bar.hotItem) << s.key << " from " << s.hotBefore;
    EXPECT_EQ(std::string(s.event), owner.events.empty() ? "" : owner.events.back()) << s.key;
  }
  EXPECT_TRUE(popups.empty());
  bar.hotItem = kAbout;
  bar.OnKeyDown(13, 1, 0);
  EXPECT_TRUE(popups.empty()) << "a command item opens nothing";
  EXPECT_EQ(0x4u | 0x8u, Looks()[kAbout]) << "drawn open";
  bar.OnKeyDown(32, 1, 0);
  EXPECT_EQ("command 62", owner.events.back());
  bar.hotItem = kEdit;
  bar.OnKeyDown(32, 1, 0);
  ASSERT_EQ(std::vector<i32>{28}, Opened());
  EXPECT_EQ(0, popups[0].initialHot) << "from the keyboard the first item is hot";
}

// The popup's result decides what the bar does next; each row scripts the
// popups of one menu-mode entry by a press on File.
TEST_F(MenuBarTest, PopupResultsDecideTheNextStep) {
  struct Case {
    const char* name;
    std::vector<PopupStep> script;
    std::vector<i32> opened;
    std::vector<std::string> events;  // after "opening"
    bool barFocused;
    i32 hotAfter;
  };
  auto key = [](u32 k, i32 result) {
    return [k, result](IPopupMenuOwner* o) {
      bool handled = k != 37 && k != 39;
      o->OnPopupKey(k, &handled);
      EXPECT_TRUE(handled);
      return result;
    };
  };
  MenuBarTest* t = this;
  const Case cases[] = {
      {"chosen",
       {[](IPopupMenuOwner*) { return 21; }},
       {19},
       {"hover -3,-1", "focus other", "command 21", "hover -3,-1"},
       false,
       -1},
      {"escape", {key(27, kPopupCancelled)}, {19}, {"hover -3,-1"}, true, kFile},
      {"right, then left past the separator",
       {key(39, kPopupDismissed), key(37, kPopupDismissed), [](IPopupMenuOwner*) { return 22; }},
       {19, 28, 19},
       {"hover -3,-1", "focus other", "command 22", "hover -3,-1"},
       false,
       -1},
      {"pointer onto Edit",
       {[t](IPopupMenuOwner* o) {
          bool switchMenus = false;
          o->OnPopupMouseMove(t->Centre(kFile), &switchMenus, nullptr);
          EXPECT_FALSE(switchMenus) << "the open item itself";
          o->OnPopupMouseMove(t->Centre(kEdit), &switchMenus, nullptr);
          EXPECT_TRUE(switchMenus);
          return kPopupSwitched;
        },
        [](IPopupMenuOwner*) { return kPopupCancelled; }},
       {19, 28},
       {"focus other", "hover -3,-1"},
       false,
       -1},
      {"press on the bar",
       {[t](IPopupMenuOwner* o) {
          bool onBar = false;
          o->OnPopupMouseButton(t->Centre(kEdit), &onBar);
          EXPECT_TRUE(onBar);
          t->PlaceCursor(t->Centre(kEdit));
          return kPopupDismissed;
        }},
       {19},
       {"focus other", "hover -3,-1"},
       false,
#if defined(_WIN32)
       kEdit},
#else
       -1},  // no pointer in the native build
#endif
  };
  for (const Case& c : cases) {
    owner.events.clear();
    popups.clear();
    owner.other.SetFocus();
    owner.bar.state = 0;
    owner.bar.hotItem = -1;
    PlaceCursor({-50, -50});
    steps = c.script;
    Press(kFile);
    EXPECT_EQ(c.opened, Opened()) << c.name;
    for (const PopupCall& p : popups) EXPECT_EQ(-1, p.initialHot) << c.name << ": entered with the mouse";
    std::vector<std::string> expected = {"opening"};
    expected.insert(expected.end(), c.events.begin(), c.events.end());
    EXPECT_EQ(expected, owner.events) << c.name;
    EXPECT_EQ(c.barFocused, FocusedWidget() == &owner.bar) << c.name;
    EXPECT_EQ(c.hotAfter, owner.bar.hotItem) << c.name;
    EXPECT_EQ(0, owner.bar.state & (CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen | CMenuBarCore::kMove |
                                    CMenuBarCore::kCancelled))
        << c.name;
    EXPECT_EQ(c.hotAfter >= 0 && !c.barFocused, PressedWidget() == &owner.bar) << c.name;
  }
  // The popup opens at the item's left edge less 4, on the bar's lower edge.
  Point corner = {owner.bar.itemRects[kFile].left - 4, 0};
  owner.bar.ToWindowPoint(&corner);
  EXPECT_TRUE(popups[0].at.x == corner.x && popups[0].at.y == corner.y);
}

TEST_F(MenuBarTest, PointerHoverPressAndRelease) {
  CMenuBar<CBarOwner>& bar = owner.bar;
  Point p = Local(kAbout);
  bar.OnMouseMove(0, &p);
  EXPECT_EQ(&bar, PressedWidget()) << "hover takes the press";
  EXPECT_EQ(kAbout, bar.hotItem);
  EXPECT_EQ(0x4u, Looks()[kAbout]) << "hovering shows the hot item";
  bar.OnPressLeave();
  EXPECT_EQ(-1, bar.hotItem);
  EXPECT_EQ(0, bar.state);
  // A click on a disabled command ends menu mode without firing; on an
  // enabled one it fires on the release.
  for (i32 item : {kDisabled, kAbout}) {
    owner.events.clear();
    Press(item);
    EXPECT_TRUE(bar.state & CMenuBarCore::kMenuMode);
    p = Local(item);
    bar.OnLButtonUp(0, &p);
    EXPECT_EQ(0, bar.state);
    EXPECT_EQ(item == kAbout ? "command 62" : "opening", owner.events.back());
  }
  // In menu mode, moving onto a submenu item opens its menu.
  Press(kDisabled);
  p = Local(kEdit);
  bar.OnMouseMove(0, &p);
  EXPECT_EQ(std::vector<i32>{28}, Opened());
}

// Looks: hot shows only with focus, hover or an open popup; open with menu
// mode; disabled for commands only; the eject icon without text.
TEST_F(MenuBarTest, PaintLooks) {
  CMenuBar<CBarOwner>& bar = owner.bar;
  bar.hotItem = kFile;
  std::vector<u32> looks = Looks();
  ASSERT_EQ(7u, looks.size());
  EXPECT_EQ(0u, looks[kFile]) << "not focused, nobody hovers";
  EXPECT_EQ(0x2u, looks[kDisabled]);
  EXPECT_EQ(0u, looks[kView]) << "a disabled submenu is not greyed";
  EXPECT_EQ(0u, looks[kEject]);
  bar.state = CMenuBarCore::kMenuMode;
  EXPECT_EQ(0x8u, Looks()[kFile]);
  bar.state = CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen;
  EXPECT_EQ(0xCu, Looks()[kFile]);
  CRecordingThemePainter theme;
  CCanvas canvas(1);
  bar.PaintContent(canvas);
  const std::vector<MenuThemeCall> items = theme.MenuCalls('r');
  EXPECT_TRUE(items[kEject].text.empty());
  EXPECT_EQ(14, items[kEject].image);
  EXPECT_EQ(std::u16string(u"File"), items[kFile].text);
  ASSERT_EQ(1u, theme.MenuCalls('g').size());
  EXPECT_EQ(3u, theme.MenuCalls('g')[0].state) << "the bar's options word";
  bar.SetModel(nullptr);
  CRecordingThemePainter bare;
  bar.PaintContent(canvas);
  EXPECT_EQ(1u, bare.menuCalls.size()) << "no model: the background only";
}

TEST_F(MenuBarTest, TheModelsListenerFollowsTheBar) {
  EXPECT_EQ(static_cast<IMenuModelListener*>(&owner.bar), block.Root()->listener);
  owner.repaints.clear();
  block.Root()->EnableItemById(27, true);
  EXPECT_EQ(1u, owner.repaints.size()) << "a change shows at once";
  CMenuBlock other(Submenu(1, {Command(2)}));
  owner.bar.SetModel(other.Root());
  EXPECT_EQ(nullptr, block.Root()->listener);
  owner.bar.SetModel(nullptr);
  EXPECT_EQ(nullptr, other.Root()->listener);
}

}  // namespace
