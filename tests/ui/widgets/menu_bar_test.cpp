#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "render/canvas.h"
#include "ui/support/fake_owner.h"
#include "ui/support/fixed_font.h"
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
  CProbePanel<CBarOwner> panel;  // its first probe stands for a box shown inside a view
  auto Children() { return std::tie(bar, other, panel); }
  void OnCommand(u32 id) { events.push_back("command " + std::to_string(id)); }
  void OnHover(i32 id, i32) { events.push_back("hover " + std::to_string(id)); }
  CWidget* SetFocusedWidget(CWidget* next) {
    events.push_back(next == &other ? "focus other" : next == &panel ? "focus panel" : "focus ?");
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
    const Rect panelPlace = {100, 0, 150, 50}, boxPlace = {0, 0, 50, 20};
    owner.panel.Create(kFlagVisible | kFlagTabStop, &panelPlace, &owner);
    owner.panel.first.Create(kFlagVisible | kFlagTabStop, &boxPlace, &owner.panel);
    const Rect secondPlace = {0, 25, 50, 45};
    owner.panel.second.Create(kFlagVisible | kFlagTabStop, &secondPlace, &owner.panel);
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
  CFixedFontScope fixed;  // a default font with text widths, natively too
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
  const std::vector<std::string> chosen = {"hover -3", "focus other", "hover -3", "command 2"};
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

// A popup that opened took the focus and went with it. When its menu ends
// the focus goes back where menu mode found it: to the widget that had it
// before a press on the bar, or to the bar itself when it had it, entered
// by a press or by Enter. After a command the bar keeps the entry whose
// menu ran lit, so the next key goes on from there. A command item
// clicked, or a press that ends as the pointer leaves, gives it back too.
// A widget hidden meanwhile (a box that closed as the bar took the focus)
// never gets it back: its nearest shown owner does. A release runs a
// command only after a press on the bar that is still held: menu mode that
// Enter began has none, the popup a press opened took it over, and Escape
// or the pointer leaving ended it. Left in File's menu leaves menu mode on
// the eject icon with the keys on the bar, so Space runs it; the focus
// menu mode found comes back when it ends, unless its widget has gone
// meanwhile, or the keys went to another widget of the window, or a press
// landed elsewhere in the window (that ends menu mode, and the keys stay
// where they are). The move the window sends where the pointer rests once
// a popup closed is no movement: it lights and opens nothing.
TEST_F(MenuBarTest, TheFocusGoesBackWhereMenuModeFoundIt) {
  constexpr i32 kLeftInThePopup = -100;  // the popup's answer to Left
  enum Step {
    kPress, kRelease, kEnter, kSpace, kEscape, kLeft, kRight, kLeave, kHideBox,
    kOntoFile, kOntoEject, kOntoEdit, kRestingMove, kClickPage, kClickIcon, kDeleteHeld, kFocusSecond, kFocusBar
  };
  CWidget* const onHeap = nullptr;  // a widget made for the row, deleted by kDeleteHeld
  CWidget* const second = &owner.panel.second;
  CWidget* const other = &owner.other;
  CWidget* const onBar = &bar;
  CWidget* const box = &owner.panel.first;
  CWidget* const panel = &owner.panel;
  const std::vector<std::string> chosen = {"hover -3", "focus other", "hover -3", "command 2"};
  const std::vector<std::string> chosenOnBar = {"hover -3", "focus ?", "hover -3", "command 2"};
  const std::vector<std::string> clicked = {"focus other", "hover -3", "command 62"};
  const struct {
    const char* what;
    CWidget* focused;  // before the walk
    std::vector<Step> steps;
    i32 item;
    i32 result;
    std::vector<std::string> events;
    i32 hot;  // -2: any
    CWidget* after;
    bool menuMode;  // menu mode goes on after the walk
    i32 later = -1;  // the command chosen in a second popup
  } cases[] = {
      {"a press, another widget focused, a command", other, {kPress}, kEdit, 2, chosen, -1, other, false},
      {"a press, another widget focused, dismissed", other, {kPress}, kEdit, kPopupDismissed,
       {"focus other", "hover -3"}, -2, other, false},
      {"a press on the focused bar, a command", onBar, {kPress}, kEdit, 2, chosenOnBar, kEdit, onBar, false},
      {"Enter on the focused bar, a command", onBar, {kEnter}, kEdit, 2, chosenOnBar, kEdit, onBar, false},
      {"Enter on the focused bar, dismissed", onBar, {kEnter}, kEdit, kPopupDismissed, {"focus ?", "hover -3"}, -2,
       onBar, false},
      {"a command item clicked, another widget focused", other, {kPress, kRelease}, kAbout, 0, clicked, -1, other,
       false},
      {"a command item of the focused bar clicked", onBar, {kPress, kRelease}, kAbout, 0, {"hover -3", "command 62"},
       kAbout, onBar, false},
      {"a disabled command item clicked, another widget focused", other, {kPress, kRelease}, kDisabled, 0,
       {"focus other"}, -1, other, false},
      {"a press on a command item, the pointer leaves", other, {kPress, kLeave}, kAbout, 0, {"focus other"}, -1,
       other, false},
      {"a press, the focused box hidden by the popup, a command", box, {kPress}, kEdit, 2,
       {"hover -3", "focus panel", "hover -3", "command 2"}, -1, panel, false},
      {"a command item clicked, the focused box hidden meanwhile", box, {kPress, kHideBox, kRelease}, kAbout, 0,
       {"focus panel", "hover -3", "command 62"}, -1, panel, false},
      {"Enter on a command item, then a release alone", onBar, {kEnter, kRelease}, kAbout, 0, {}, kAbout, onBar,
       true},
      {"Enter and Space on a command item, then a release alone", onBar, {kEnter, kSpace, kRelease}, kAbout, 0,
       {"command 62"}, kAbout, onBar, true},
      {"Enter on a command item, then a click on it", onBar, {kEnter, kPress, kRelease}, kAbout, 0,
       {"hover -3", "command 62"}, kAbout, onBar, false},
      {"a press on File, Left in its menu onto the eject icon, then a release alone", other, {kPress, kRelease},
       kFile, kLeftInThePopup, {"hover -3"}, kEject, onBar, true},
      {"a press on File, Left onto the eject icon, a release, then Space", other, {kPress, kRelease, kSpace}, kFile,
       kLeftInThePopup, {"hover -3", "command 48"}, kEject, onBar, true},
      {"a press on File, Left onto the eject icon, Enter, then the pointer leaves", other, {kPress, kEnter, kLeave},
       kFile, kLeftInThePopup, {"hover -3", "focus other"}, -1, other, false},
      {"a press on a command item, Escape, then its release", other, {kPress, kEscape, kRelease}, kAbout, 0, {},
       kAbout, onBar, true},
      {"a press on the focused bar's command item, the pointer leaves, Enter, Left, then a release", onBar,
       {kPress, kLeave, kEnter, kLeft, kRelease}, kAbout, 0, {}, kEject, onBar, true},
      {"a press on File, Left onto the eject icon, the widget that had the keys deleted, the pointer onto the bar "
       "and off", onHeap, {kPress, kDeleteHeld, kOntoEject, kLeave}, kFile, kLeftInThePopup, {"hover -3"}, -1, onBar,
       false},
      {"a press on File, Left onto the eject icon, a control takes the keys, the pointer over File", other,
       {kPress, kFocusSecond, kOntoFile}, kFile, kLeftInThePopup, {"hover -3"}, kFile, second, false},
      {"a press on File, Left onto the eject icon, a control takes the keys, Tab back, Right to Edit, Enter, a command",
       other, {kPress, kFocusSecond, kFocusBar, kRight, kRight, kEnter}, kFile, kLeftInThePopup,
       {"hover -3", "hover -3", "focus ?", "hover -3", "command 31"}, kEdit, onBar, false, 31},
      {"a press on File, Left onto the eject icon, a click where no widget takes the keys, the pointer onto Edit",
       other, {kPress, kClickPage, kOntoEdit}, kFile, kLeftInThePopup, {"hover -3"}, kEdit, onBar, false},
      {"a press on File, Left onto the eject icon, then a click on it", other, {kPress, kClickIcon}, kFile,
       kLeftInThePopup, {"hover -3", "focus other", "hover -3", "command 48"}, -1, other, false},
      {"a press on File, Left in its menu, the move sent where the pointer rests on File", other,
       {kPress, kRestingMove}, kFile, kLeftInThePopup, {"hover -3"}, kEject, onBar, true},
      {"a press on File, Left onto the eject icon, the pointer onto Edit, a command", other, {kPress, kOntoEdit},
       kFile, kLeftInThePopup, {"hover -3", "hover -3", "focus other", "hover -3", "command 31"}, -1, other, false,
       31},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    owner.panel.first.ModifyFlags(0, kFlagVisible);
    owner.other.SetFocus();
    if (c.focused == onBar) bar.SetFocus();
    if (c.focused == box) owner.panel.first.SetFocus();
    std::unique_ptr<CProbe<CBarOwner>> held;
    if (c.focused == onHeap) {
      held = std::make_unique<CProbe<CBarOwner>>();
      const Rect place = {200, 0, 250, 50};
      held->Create(kFlagVisible | kFlagTabStop, &place, &owner);
      held->SetFocus();
    }
    bar.state = 0;
    bar.hotItem = c.item;
    // The popup takes the focus; a box that had it closes.
    const i32 result = c.result;
    steps = {[this, result](IPopupMenuOwner* popupOwner) {
      StoreFocusedWidget(nullptr);
      owner.panel.first.ModifyFlags(kFlagVisible, 0);
      if (result != kLeftInThePopup) return result;
      bool handled = false;
      popupOwner->OnPopupKey(37, &handled);
      return -1;
    }};
    if (c.later >= 0) {
      steps.push_back([later = c.later](IPopupMenuOwner*) {
        StoreFocusedWidget(nullptr);
        return later;
      });
    }
    owner.events.clear();
    // The icon's right end: a bar this narrow lays it over the item before.
    Point p = At(c.item), file = {At(kFile).x + 1, At(kFile).y}, edit = At(kEdit),
          eject = {bar.itemRects[kEject].right - 1, At(kEject).y};
    Point ejectOnScreen = eject, page = {25, 25};
    bar.ToWindowPoint(&ejectOnScreen);
    owner.other.ToWindowPoint(&page);
    for (Step step : c.steps) {
      switch (step) {
        case kPress: bar.OnLButtonDown(0, &p); break;
        case kRelease: bar.OnLButtonUp(0, &p); break;
        case kEnter: bar.OnKeyDown(13, 1, 0); break;
        case kSpace: bar.OnKeyDown(32, 1, 0); break;
        case kEscape: bar.OnKeyDown(27, 1, 0); break;
        case kLeft: bar.OnKeyDown(37, 1, 0); break;
        case kRight: bar.OnKeyDown(39, 1, 0); break;
        case kLeave: bar.OnPressLeave(); break;
        case kHideBox: owner.panel.first.ModifyFlags(kFlagVisible, 0); break;
        case kOntoFile: bar.OnMouseMove(0, &file); break;
        case kOntoEject: bar.OnMouseMove(0, &eject); break;
        case kOntoEdit: bar.OnMouseMove(0, &edit); break;
        case kRestingMove: bar.OnMouseMove(0, &p); break;
        case kClickPage:
        case kClickIcon:
          for (MouseKind kind : {MouseKind::kLeftDown, MouseKind::kLeftUp})
            owner.Deliver(kind, step == kClickPage ? page : ejectOnScreen);
          break;
        case kDeleteHeld: held.reset(); break;
        case kFocusSecond: owner.panel.second.SetFocus(); break;
        case kFocusBar: bar.SetFocus(); break;
      }
    }
    EXPECT_EQ(c.events, owner.events);
    EXPECT_EQ(c.after, FocusedWidget());
    if (c.hot != -2) {
      EXPECT_EQ(c.hot, bar.hotItem);
    }
    const u8 mode = bar.state & (CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen);
    EXPECT_EQ(c.menuMode ? CMenuBarCore::kMenuMode : 0, mode);
  }
}

// A popup that could not open answers -1 at once, having heard nothing:
// the bar tries it once and menu mode ends, entered with the mouse (the
// focus goes back) or from the keyboard (the bar keeps it). Only a
// pointer that moved onto another item, or Left and Right, open the next
// menu.
TEST_F(MenuBarTest, APopupThatCouldNotOpenIsTriedOnceAndEndsMenuMode) {
  const PopupStep failed = [](IPopupMenuOwner*) { return kPopupDismissed; };
  for (const bool keyboard : {false, true}) {
    SCOPED_TRACE(keyboard ? "Enter" : "a press");
    owner.other.SetFocus();
    steps = std::vector<PopupStep>(5, failed);  // then the runner cancels
    opened.clear();
    if (keyboard) {
      bar.SetFocus();
      bar.hotItem = kFile;
      owner.events.clear();
      bar.OnKeyDown(13, 1, 0);
    } else {
      owner.events.clear();
      Point p = At(kFile);
      bar.OnLButtonDown(0, &p);
    }
    EXPECT_EQ(std::vector<i32>{keyboard ? 190 : 191}, opened);
    EXPECT_EQ(0, bar.state & (CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen));
    EXPECT_EQ(keyboard ? static_cast<CWidget*>(&bar) : &owner.other, FocusedWidget());
    const std::vector<std::string> told =
        keyboard ? std::vector<std::string>{"hover -3"} : std::vector<std::string>{"focus other", "hover -3"};
    EXPECT_EQ(told, owner.events);
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
  // Each click gives the focus back to the widget that had it.
  EXPECT_EQ((std::vector<std::string>{"focus other", "focus other", "hover -3", "command 62"}), owner.events);
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

namespace {

// Items follow each other from the left margin without gaps: a text item
// is its text + 12 wide, a separator nothing, the icon-only eject its
// frame + 6; every item is centred in the bar, whose height comes from the
// tallest (the icon's 16 + 6 against the font's height + 6) + 8; the last
// item ends at the right edge less the right margin.
TEST_F(MenuBarTest, ItemWidthsAddUpFromTheMarginAndHeightsCentreInTheBar) {
  CFontRef font(GetDefaultFont());
  ASSERT_TRUE(font.Get());
  const i32 textHeight = static_cast<i32>(font.Get()->lineHeight) + 6;
  const i32 tallest = textHeight > 22 ? textHeight : 22;
  EXPECT_EQ(tallest + 8, bar.height);
  i32 x = 4;
  for (i32 i = 0; i < kEject; ++i) {
    const Rect& r = bar.itemRects[static_cast<u32>(i)];
    const UiString* text = block.Root()->GetItemText(i);
    const i32 w = text ? static_cast<i32>(font.Get()->MeasureText(text->text, static_cast<i32>(text->length)) + 12) : 0;
    EXPECT_EQ(x, r.left) << i;
    EXPECT_EQ(x + w, r.right) << i;
    EXPECT_EQ(textHeight, r.bottom - r.top) << i;
    EXPECT_EQ((bar.height - textHeight) / 2, r.top) << i;
    x += w;
  }
  EXPECT_EQ(bar.itemRects[kSeparator].left, bar.itemRects[kSeparator].right) << "a separator takes no room";
  // An icon beside a text adds its frame + 6, and the items after it move.
  const i32 aboutWidth = bar.itemRects[kAbout].right - bar.itemRects[kAbout].left;
  const i32 nextLeft = bar.itemRects[kAbout + 1].left;
  block.Root()->GetItem(kAbout)->icon = 3;
  bar.Layout();
  EXPECT_EQ(aboutWidth + 22, bar.itemRects[kAbout].right - bar.itemRects[kAbout].left);
  EXPECT_EQ(nextLeft + 22, bar.itemRects[kAbout + 1].left);
  EXPECT_EQ(tallest, bar.itemRects[kAbout].bottom - bar.itemRects[kAbout].top);
  bar.margins[2] = 10;
  bar.SetBounds(bar.x, bar.y, 500, bar.height);
  const Rect eject = bar.itemRects[kEject];
  EXPECT_TRUE(eject.left == 500 - 10 - 22 && eject.right == 500 - 10) << eject.left << " " << eject.right;
  EXPECT_TRUE(eject.top == (bar.height - tallest) / 2 && eject.bottom == eject.top + tallest);
  // A fixed-height bar keeps its height and its items fill all of it.
  bar.options |= CMenuBarCore::kFixedHeight;
  bar.SetBounds(bar.x, bar.y, 500, 40);
  bar.Layout();
  EXPECT_EQ(40, bar.height);
  for (i32 i = 0; i <= kEject; ++i) {
    EXPECT_EQ(0, bar.itemRects[static_cast<u32>(i)].top) << i;
    EXPECT_EQ(40, bar.itemRects[static_cast<u32>(i)].bottom) << i;
  }
}

// The first and last pixel row and column of every item hit that item;
// the pixels just past them hit the neighbour or nothing.
TEST_F(MenuBarTest, EachItemIsHitFromItsFirstToItsLastPixel) {
  bar.SetBounds(bar.x, bar.y, 500, bar.height);
  EXPECT_EQ(-1, bar.HitTestItem(Point{3, bar.height / 2})) << "the left margin";
  for (i32 i = 0; i <= kEject; ++i) {
    const Rect r = bar.itemRects[static_cast<u32>(i)];
    if (r.left == r.right) {
      EXPECT_EQ(i, kSeparator);
      continue;
    }
    const i32 midY = (r.top + r.bottom) / 2, midX = (r.left + r.right) / 2;
    EXPECT_EQ(i, bar.HitTestItem(Point{r.left, midY})) << i;
    EXPECT_EQ(i, bar.HitTestItem(Point{r.right - 1, midY})) << i;
    EXPECT_EQ(i, bar.HitTestItem(Point{midX, r.top})) << i;
    EXPECT_EQ(i, bar.HitTestItem(Point{midX, r.bottom - 1})) << i;
    EXPECT_EQ(-1, bar.HitTestItem(Point{midX, r.top - 1})) << i;
    EXPECT_EQ(-1, bar.HitTestItem(Point{midX, r.bottom})) << i;
    const i32 after = i == kEject - 1 ? -1 : (i == kFile ? kEdit : i + 1);  // the eject sits at the far right
    if (i != kEject) {
      EXPECT_EQ(after, bar.HitTestItem(Point{r.right, midY})) << i;
    }
  }
  EXPECT_EQ(-1, bar.HitTestItem(Point{500, bar.height / 2}));
  // The pointer over the bar follows the same pixels.
  const Rect edit = bar.itemRects[kEdit];
  for (const auto& step : {std::make_pair(edit.left - 1, kFile), std::make_pair(edit.left, kEdit),
                           std::make_pair(edit.right - 1, kEdit), std::make_pair(edit.right, kDisabled)}) {
    Point p = {step.first, (edit.top + edit.bottom) / 2};
    bar.OnMouseMove(0, &p);
    EXPECT_EQ(step.second, bar.hotItem) << step.first;
  }
}

// Left and Right in an open popup: each way, wrapping at both ends and
// from no hot item, passing over the separator; the move bit and the
// handled flag are set, other keys are left alone.
TEST_F(MenuBarTest, PopupLeftAndRightPassOverSeparatorsBothWays) {
  const struct {
    u32 key;
    i32 from, to;
  } rows[] = {{37, kEdit, kFile},  {39, kFile, kEdit},  {37, kFile, kEject}, {39, kEject, kFile},
              {37, -1, kEject},    {39, -1, kFile},     {37, kEject, 5},     {39, kAbout, 5}};
  for (const auto& row : rows) {
    bar.state = CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen;
    bar.hotItem = row.from;
    bool handled = false;
    bar.OnPopupKey(row.key, &handled);
    EXPECT_EQ(row.to, bar.hotItem) << row.key << " from " << row.from;
    EXPECT_TRUE(handled);
    EXPECT_EQ(CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen | CMenuBarCore::kMove, bar.state);
  }
  bar.state = CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen;
  bar.hotItem = kEdit;
  bool handled = false;
  bar.OnPopupKey(40, &handled);
  EXPECT_TRUE(!handled && bar.hotItem == kEdit && bar.state == (CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen));
  bar.OnPopupKey(27, &handled);
  EXPECT_TRUE(handled && bar.hotItem == kEdit);
  EXPECT_EQ(CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen | CMenuBarCore::kCancelled, bar.state);
}

// While its popup runs, the bar follows the pointer onto other items only,
// tells its owner what the popup's hot item is, and keeps its entry hot
// and open when the popup takes the press from it.
TEST_F(MenuBarTest, WhileThePopupRunsTheEntryStaysOpenAndTheOwnerHearsTheHotItem) {
  std::vector<std::string> seen;
  std::vector<u32> looks;
  i32 hotDuring = -2;
  u8 stateDuring = 0;
  steps = {[&](IPopupMenuOwner* o) {
    SetPressedWidget(&bar);
    owner.ReleasePress();  // the popup takes the mouse
    SetPressedWidget(nullptr);
    hotDuring = bar.hotItem;
    stateDuring = bar.state;
    looks = Looks();
    bool switchMenus = false;
    o->OnPopupMouseMove(At(kFile, true), &switchMenus, nullptr);  // its own item: nothing
    seen.push_back(switchMenus ? "switch" : "stay");
    Point off = At(kEdit, true);
    off.y += 100;  // below the bar
    o->OnPopupMouseMove(off, &switchMenus, nullptr);
    seen.push_back(switchMenus ? "switch" : "stay");
    o->OnPopupHotItem(21, 7);
    o->OnPopupHotItem(-1, -1);
    bool handled = false;
    o->OnPopupKey(27, &handled);
    return kPopupCancelled;
  }};
  Point p = At(kFile);
  bar.OnMouseMove(0, &p);
  bar.OnLButtonDown(0, &p);
  EXPECT_EQ(kFile, hotDuring);
  EXPECT_EQ(CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen, stateDuring) << "hover ends, the entry stays";
  ASSERT_EQ(7u, looks.size());
  EXPECT_EQ(kBarItemHot | kBarItemOpen, looks[kFile]);
  EXPECT_EQ((std::vector<std::string>{"stay", "stay"}), seen);
  EXPECT_EQ((std::vector<std::string>{"hover 21", "hover -1", "hover -3"}), owner.events);
  EXPECT_EQ(kFile, bar.hotItem) << "Escape: the bar keeps its entry";
  EXPECT_EQ(&bar, FocusedWidget());
  EXPECT_EQ(0, bar.state);
  // Any other release ends the hover and the hot item.
  bar.OnMouseMove(0, &p);
  ASSERT_EQ(&bar, PressedWidget());
  owner.ReleasePress();
  EXPECT_EQ(-1, bar.hotItem);
  EXPECT_EQ(0, bar.state);
}

}  // namespace

namespace {

// From the keyboard: Enter opens File with its first item hot; Right and
// Left in the popup open the neighbours (over the separator), each with
// its first item hot again, the entry drawn hot and open and the bar in
// menu mode with the popup open; Escape leaves the focused bar on File.
TEST_F(MenuBarTest, AKeyboardWalkThroughThePopupsKeepsMenuModeAtEveryStep) {
  struct Seen {
    u8 state;
    i32 hot;
    std::vector<u32> looks;
  };
  std::vector<Seen> seen;
  auto key = [&](u32 k) {
    return [&, k](IPopupMenuOwner* o) {
      seen.push_back({bar.state, bar.hotItem, Looks()});
      bool handled = false;
      o->OnPopupKey(k, &handled);
      return k == 27 ? kPopupCancelled : -1;
    };
  };
  steps = {key(39), key(37), key(27)};
  bar.SetFocus();
  owner.events.clear();
  bar.OnKeyDown(13, 1, 0);
  EXPECT_EQ((std::vector<i32>{190, 280, 190}), opened) << "each popup opens with its first item hot";
  const u8 open = CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen | CMenuBarCore::kFromKeyboard;
  const i32 hots[] = {kFile, kEdit, kFile};
  ASSERT_EQ(3u, seen.size());
  for (u32 i = 0; i < 3; ++i) {
    EXPECT_EQ(open, seen[i].state) << i;
    EXPECT_EQ(hots[i], seen[i].hot) << i;
    std::vector<u32> looks = {0, 0, 0, kBarItemDisabled, 0, 0, 0};
    looks[static_cast<u32>(hots[i])] = kBarItemHot | kBarItemOpen;
    EXPECT_EQ(looks, seen[i].looks) << i;
  }
  EXPECT_EQ(std::vector<std::string>{"hover -3"}, owner.events) << "told once, when menu mode ends";
  EXPECT_EQ(kFile, bar.hotItem);
  EXPECT_EQ(&bar, FocusedWidget());
  EXPECT_EQ(0, bar.state & ~CMenuBarCore::kFromKeyboard);
  std::vector<u32> rest = {kBarItemHot, 0, 0, kBarItemDisabled, 0, 0, 0};
  EXPECT_EQ(rest, Looks()) << "focused rest: hot, not open";
  // Started with the mouse: after a move the next popup opens with nothing
  // hot, in menu mode but no longer in hover.
  seen.clear();
  opened.clear();
  steps = {key(39), key(27)};
  Point p = At(kFile);
  bar.OnMouseMove(0, &p);
  bar.OnLButtonDown(0, &p);
  EXPECT_EQ((std::vector<i32>{191, 281}), opened);
  ASSERT_EQ(2u, seen.size());
  EXPECT_EQ(CMenuBarCore::kMenuMode | CMenuBarCore::kPopupOpen, seen[1].state);
}

}  // namespace
