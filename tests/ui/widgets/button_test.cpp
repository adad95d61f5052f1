#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/canvas.h"
#include "ui/support/fake_owner.h"
#include "ui/support/probe_widgets.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/widgets/button.h"
#include "ui/widgets/check_box.h"
#include "ui/widgets/event_routing.h"

namespace {

struct CClickOwner : CFakeOwnerOf<CClickOwner> {
  CButton<CClickOwner> button;
  auto Children() { return std::tie(button); }
  void OnClick() {
    ++clicks;
    ownerAtClick = CaptureOwner();
  }
  int clicks = 0;
  CWidget* ownerAtClick = reinterpret_cast<CWidget*>(1);
};

struct ButtonTest : testing::Test {
  void SetUp() override {
    const Rect r = {10, 10, 110, 34};
    owner.button.click = BindCallback<CClickOwner, &CClickOwner::OnClick>(&owner, &owner);
    owner.button.Create(kButtonFlags, &r, &owner);
  }
  void TearDown() override {
    CaptureTable::Uninstall(CaptureOwner());
    StoreFocusedWidget(nullptr);
  }
  void Route(MouseKind kind, i32 x, i32 y) {
    RouteMouseToChildren(owner, Point{owner.x + x, owner.y + y}, MouseEvent{kind, 0, 0, 0});
  }
  void Captured(void (*dispatch)(i32, Point*), i32 x, i32 y) {
    Point p = {owner.x + x, owner.y + y};
    dispatch(0, &p);
  }
  // As the window delivers a move, a press or a release: to the capture
  // table's owner when one is set, else through the routing.
  void Deliver(MouseKind kind, i32 x, i32 y) {
    if (!CaptureOwner()) return Route(kind, x, y);
    Captured(kind == MouseKind::kMove       ? CaptureTable::DispatchMouseMove
             : kind == MouseKind::kLeftDown ? CaptureTable::DispatchLeftDown
                                            : CaptureTable::DispatchLeftUp,
             x, y);
  }
  CClickOwner owner;
};

TEST_F(ButtonTest, APointerClickFiresOnceAfterTheButtonLetTheCaptureGo) {
  Route(MouseKind::kMove, 20, 20);  // enters: hot, owns the table
  EXPECT_EQ(&owner.button, CaptureOwner());
  EXPECT_EQ(&owner.button, CursorOwner());
  Captured(CaptureTable::DispatchLeftDown, 20, 20);
  EXPECT_EQ(&owner.button, FocusedWidget()) << "a press takes the focus";
  Captured(CaptureTable::DispatchLeftUp, 110, 34);  // the far edges still count
  EXPECT_EQ(1, owner.clicks);
  EXPECT_EQ(nullptr, owner.ownerAtClick) << "unbound before the callback runs";
  // Pressed, dragged off, released outside: no click; the next move unbinds.
  Route(MouseKind::kMove, 20, 20);
  Captured(CaptureTable::DispatchLeftDown, 20, 20);
  Captured(CaptureTable::DispatchMouseMove, 200, 200);
  EXPECT_EQ(&owner.button, CaptureOwner()) << "held: it keeps the table";
  Captured(CaptureTable::DispatchLeftUp, 200, 200);
  EXPECT_EQ(1, owner.clicks);
  Captured(CaptureTable::DispatchMouseMove, 200, 200);
  EXPECT_EQ(nullptr, CaptureOwner());
}

TEST_F(ButtonTest, SpacePressesTheFocusedButtonAndEscapeCancels) {
  CButton<CClickOwner>& b = owner.button;
  EXPECT_EQ(0u, b.OnKeyDown(32, 1, 0)) << "not focused";
  b.SetFocus();
  EXPECT_EQ(1u, b.OnKeyDown(32, 1, 0));
  b.OnKeyUp(27, 1, 0);
  EXPECT_EQ(0, owner.clicks);
  b.OnKeyDown(32, 1, 0);
  Route(MouseKind::kMove, 20, 20);
  EXPECT_EQ(nullptr, CaptureOwner()) << "the mouse is ignored while Space is down";
  b.OnKeyUp(32, 1, 0);
  EXPECT_EQ(1, owner.clicks);
  b.style |= kButtonDefault;
  EXPECT_TRUE(b.ActivateDefault());
  // Hidden, or on a page that went: Enter is left to the window.
  for (CWidget* hidden : {static_cast<CWidget*>(&b), static_cast<CWidget*>(&owner)}) {
    hidden->flags &= ~kFlagVisible;
    EXPECT_FALSE(b.ActivateDefault()) << (hidden == &b ? "hidden" : "its owner hidden");
    hidden->flags |= kFlagVisible;
  }
  b.Disable();
  EXPECT_FALSE(b.ActivateDefault());
  EXPECT_EQ(2, owner.clicks);
}

TEST_F(ButtonTest, HidingAHotButtonLetsTheTableGo) {
  Route(MouseKind::kMove, 20, 20);
  ASSERT_EQ(&owner.button, CaptureOwner());
  owner.button.ModifyFlags(kFlagVisible, 0);
  EXPECT_EQ(nullptr, CaptureOwner());
  EXPECT_EQ(0, owner.button.state & CButton<CClickOwner>::kHot);
}

}  // namespace

namespace {

// What the theme is asked to draw for the button now: its look word.
u32 DrawnLook(CButton<CClickOwner>& b) {
  CRecordingThemePainter theme;
  CCanvas canvas(1);
  b.PaintContent(canvas);
  const std::vector<ThemeCall> calls = theme.CallsOf('b');
  return calls.size() == 1 ? calls[0].style : 0xDEADu;
}

// A pointer walk, each step checked as a person sees it (the drawn look),
// with the table owner, the focus and the clicks the owner heard.
TEST_F(ButtonTest, EveryStepOfAPointerWalkDrawsItsOwnLook) {
  CButton<CClickOwner>& b = owner.button;
  const u32 kHotLook = 0x10 | kLookHot, kPressedLook = kHotLook | kLookPressed | kLookFocused;
  const struct {
    void (*dispatch)(i32, Point*);  // null: a routed move
    i32 x, y;                       // the button's own coordinates (100 x 24)
    u32 look;
    bool owns;
    int clicks;
  } walk[] = {
      {nullptr, 0, 0, kHotLook, true, 0},  // the first pixel enters
      {CaptureTable::DispatchLeftDown, 0, 0, kPressedLook, true, 0},
      {CaptureTable::DispatchMouseMove, 100, 5, 0x10 | kLookFocused, true, 0},  // the hover test is half-open
      {CaptureTable::DispatchMouseMove, 99, 23, kPressedLook, true, 0},          // its last pixel is in
      {CaptureTable::DispatchMouseMove, 5, 24, 0x10 | kLookFocused, true, 0},
      {CaptureTable::DispatchMouseMove, -1, 5, 0x10 | kLookFocused, true, 0},
      {CaptureTable::DispatchMouseMove, 5, -1, 0x10 | kLookFocused, true, 0},
      {CaptureTable::DispatchMouseMove, 50, 12, kPressedLook, true, 0},
      {CaptureTable::DispatchLeftUp, 50, 12, 0x10 | kLookFocused, false, 1},
      {nullptr, 99, 23, kHotLook | kLookFocused, true, 1},
      {CaptureTable::DispatchMouseMove, 99, 24, 0x10 | kLookFocused, false, 1},  // not held: lets go at once
  };
  for (const auto& s : walk) {
    const i32 x = 10 + s.x, y = 10 + s.y;
    if (s.dispatch)
      Captured(s.dispatch, x, y);
    else
      Route(MouseKind::kMove, x, y);
    const std::string where = std::to_string(&s - walk);
    EXPECT_EQ(s.look, DrawnLook(b)) << where;
    EXPECT_EQ(s.owns, CaptureOwner() == &b) << where;
    EXPECT_EQ(s.clicks, owner.clicks) << where;
  }
  EXPECT_EQ(&b, FocusedWidget());
}

// A release ends the press wherever it is; it clicks only on the button,
// both far edges included, on either axis.
TEST_F(ButtonTest, AReleaseClicksOnlyWithinTheButtonItsFarEdgesIncluded) {
  const struct {
    i32 x, y;
    bool clicks;
  } releases[] = {{100, 24, true}, {0, 0, true}, {101, 12, false}, {50, 25, false}, {-1, 12, false}, {50, -1, false}};
  for (const auto& r : releases) {
    const int before = owner.clicks;
    Route(MouseKind::kMove, 20, 20);
    Captured(CaptureTable::DispatchLeftDown, 20, 20);
    Captured(CaptureTable::DispatchLeftUp, 10 + r.x, 10 + r.y);
    EXPECT_EQ(r.clicks ? before + 1 : before, owner.clicks) << r.x << "," << r.y;
    EXPECT_EQ(0, owner.button.state & CButton<CClickOwner>::kHeld) << "the press is over either way";
    Captured(CaptureTable::DispatchMouseMove, 300, 300);
    EXPECT_EQ(nullptr, CaptureOwner());
  }
}

// Space and Escape through the looks; a disabled button drops the default
// look and the hover it had, and answers its previous state.
TEST_F(ButtonTest, KeysAndDisablingDrawTheirLooks) {
  CButton<CClickOwner>& b = owner.button;
  b.style = 0x10 | kButtonDefault;
  EXPECT_EQ(0x10 | kButtonDefault, DrawnLook(b));
  b.SetFocus();
  EXPECT_EQ(1u, b.OnKeyDown(13, 1, 0)) << "taken";
  EXPECT_EQ(0x10 | kButtonDefault | kLookFocused, DrawnLook(b)) << "only Space presses";
  b.OnKeyUp(32, 1, 0);
  EXPECT_EQ(0, owner.clicks);
  b.OnKeyDown(32, 1, 0);
  EXPECT_EQ(0x10 | kButtonDefault | kLookPressed | kLookFocused, DrawnLook(b));
  b.OnKeyDown(32, 1, 0);  // the key repeats: still one press
  b.OnKeyUp(27, 1, 0);
  EXPECT_EQ(0x10 | kButtonDefault | kLookFocused, DrawnLook(b)) << "Escape lets it up";
  EXPECT_EQ(0, owner.clicks);
  b.OnKeyUp(32, 1, 0);
  EXPECT_EQ(0, owner.clicks) << "Space up after Escape: nothing was pressed";
  StoreFocusedWidget(nullptr);
  Route(MouseKind::kMove, 20, 20);
  EXPECT_EQ(0x10 | kButtonDefault | kLookHot, DrawnLook(b));
  EXPECT_TRUE(b.Enable(false));
  EXPECT_EQ(nullptr, CaptureOwner());
  EXPECT_EQ(0x10 | kLookDisabled, DrawnLook(b)) << "disabled: neither hot nor the default look";
  EXPECT_FALSE(b.Enable(true)) << "it was disabled";
  EXPECT_EQ(0x10 | kButtonDefault, DrawnLook(b));
}

// The button's window lost the mouse to another one (a dialog opened over
// it): a hot and held button ends its hover and its press, lets the table
// go, and a later release over it fires nothing.
TEST_F(ButtonTest, ALostCaptureEndsTheHoverAndThePress) {
  Route(MouseKind::kMove, 20, 20);
  Captured(CaptureTable::DispatchLeftDown, 20, 20);
  ASSERT_EQ(&owner.button, CaptureOwner());
  CaptureTable::DispatchCaptureLost();
  EXPECT_EQ(nullptr, CaptureOwner());
  EXPECT_EQ(0, owner.button.state & (CButton<CClickOwner>::kHot | CButton<CClickOwner>::kHeld));
  Route(MouseKind::kLeftUp, 20, 20);
  EXPECT_EQ(0, owner.clicks) << "the press ended with the capture";
}

// A press ends when the button can no longer take it: disabled or hidden
// while pressed, by the mouse (with the pointer on it or off it) or by
// Space, it fires nothing when the press would have ended, even once it
// can be clicked again. A press whose owner (its page) went under it ends
// without a click too. Each case is a walk of what a person and the
// program do, delivered as the window delivers it (the mouse to the
// capture table's owner when one is set, else through the routing; the
// keys to the focused widget); after it the button must have fired the
// given number of times, and hold neither the table nor a press.
TEST_F(ButtonTest, APressEndsWhenTheButtonCanNoLongerTakeIt) {
  enum Step { kIn, kOut, kDown, kUp, kDisable, kEnable, kHide, kShow, kHideOwner, kSpaceDown, kSpaceUp, kEnter };
  const struct {
    const char* what;
    std::vector<Step> steps;
    int clicks;
  } cases[] = {
      {"pressed, left, back, released", {kIn, kDown, kOut, kIn, kUp}, 1},
      {"pressed, left, disabled, back, released", {kIn, kDown, kOut, kDisable, kIn, kUp}, 0},
      {"pressed, left, disabled and enabled, back, released", {kIn, kDown, kOut, kDisable, kEnable, kIn, kUp}, 0},
      {"pressed, disabled on it, released", {kIn, kDown, kDisable, kUp}, 0},
      {"pressed, disabled and enabled on it, released", {kIn, kDown, kDisable, kEnable, kUp}, 0},
      {"pressed, left, hidden and shown, back, released", {kIn, kDown, kOut, kHide, kShow, kIn, kUp}, 0},
      {"pressed, hidden and shown on it, released", {kIn, kDown, kHide, kShow, kUp}, 0},
      {"Space down and up", {kSpaceDown, kSpaceUp}, 1},
      {"Space down, disabled, Space up", {kSpaceDown, kDisable, kSpaceUp}, 0},
      {"Space down, disabled and enabled, Space up", {kSpaceDown, kDisable, kEnable, kSpaceUp}, 0},
      {"Space down, hidden and shown, Space up", {kSpaceDown, kHide, kShow, kSpaceUp}, 0},
      {"pressed, its owner hidden, released", {kIn, kDown, kHideOwner, kUp}, 0},
      {"Space down, its owner hidden, Space up", {kSpaceDown, kHideOwner, kSpaceUp}, 0},
      // Enter fires the button and ends the press it found: one click.
      {"pressed, Enter, released", {kIn, kDown, kEnter, kUp}, 1},
      {"Space down, Enter, Space up", {kSpaceDown, kEnter, kSpaceUp}, 1},
  };
  CButton<CClickOwner>& b = owner.button;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    owner.clicks = 0;
    b.SetFocus();
    for (Step step : c.steps) {
      switch (step) {
        case kIn: Deliver(MouseKind::kMove, 20, 20); break;
        case kOut: Deliver(MouseKind::kMove, 200, 200); break;
        case kDown: Deliver(MouseKind::kLeftDown, 20, 20); break;
        case kUp: Deliver(MouseKind::kLeftUp, 20, 20); break;
        case kDisable: b.Enable(false); break;
        case kEnable: b.Enable(true); break;
        case kHide: b.ModifyFlags(kFlagVisible, 0); break;
        case kShow: b.ModifyFlags(0, kFlagVisible); break;
        case kHideOwner: owner.flags &= ~kFlagVisible; break;
        case kSpaceDown: RouteKeyToChildren(owner, KeyEvent{KeyKind::kDown, 32, 1, 0}); break;
        case kSpaceUp: RouteKeyToChildren(owner, KeyEvent{KeyKind::kUp, 32, 1, 0}); break;
        case kEnter: RouteKeyToChildren(owner, KeyEvent{KeyKind::kPress, 13, 1, 0}); break;
      }
    }
    EXPECT_EQ(c.clicks, owner.clicks);
    EXPECT_EQ(0, b.state & (CButton<CClickOwner>::kHeld | CButton<CClickOwner>::kKeyPressed));
    Deliver(MouseKind::kMove, 200, 200);  // the pointer leaves: a hover ends too
    EXPECT_EQ(nullptr, CaptureOwner());
    b.Enable(true);
    b.ModifyFlags(0, kFlagVisible);
    owner.flags |= kFlagVisible;
  }
}

// Enter is offered to the focused widget before any default button: a
// focused push button fires (even when it is not the default one), a
// disabled one takes the key and does nothing, a hidden one (or one whose
// owner is hidden) and any other widget leave it to the window.
struct CEnterOwner : CFakeOwnerOf<CEnterOwner> {
  CButton<CEnterOwner> ok, cancel;
  CProbe<CEnterOwner> probe;
  auto Children() { return std::tie(ok, cancel, probe); }
  void OnOk() { fired += "ok "; }
  void OnCancel() { fired += "cancel "; }
  std::string fired;
};

TEST(EnterPress, AFocusedPushButtonTakesEnterAndFires) {
  const struct {
    int focus;  // 0 none, 1 OK, 2 Cancel, 3 the probe
    u32 cancelFlags;
    bool ownerShown;
    bool taken;
    const char* fired;
  } cases[] = {
      {0, kButtonFlags, true, false, ""},
      {1, kButtonFlags, true, true, "ok "},
      {2, kButtonFlags, true, true, "cancel "},
      {2, kButtonFlags | kFlagDisabled, true, true, ""},
      {2, kButtonFlags & ~kFlagVisible, true, false, ""},
      {2, kButtonFlags, false, false, ""},
      {3, kButtonFlags, true, false, ""},
  };
  for (const auto& c : cases) {
    CEnterOwner owner;
    ProbeLog log;
    const Rect a = {10, 10, 110, 34}, b = {120, 10, 220, 34}, p = {230, 10, 260, 34};
    owner.ok.style |= kButtonDefault;
    owner.ok.click = BindCallback<CEnterOwner, &CEnterOwner::OnOk>(&owner, &owner);
    owner.cancel.click = BindCallback<CEnterOwner, &CEnterOwner::OnCancel>(&owner, &owner);
    owner.ok.Create(kButtonFlags, &a, &owner);
    owner.cancel.Create(c.cancelFlags, &b, &owner);
    owner.probe.log = &log;
    owner.probe.Create(kFlagVisible | kFlagTabStop, &p, &owner);
    CWidget* focus[] = {nullptr, &owner.ok, &owner.cancel, &owner.probe};
    StoreFocusedWidget(focus[c.focus]);
    if (!c.ownerShown) owner.flags &= ~kFlagVisible;
    const bool taken = RouteKeyToChildren(owner, KeyEvent{KeyKind::kPress, 13, 1, 0});
    EXPECT_EQ(c.taken, taken) << &c - cases;
    EXPECT_EQ(std::string(c.fired), owner.fired) << &c - cases;
    EXPECT_TRUE(log.empty()) << "the probe was given no key";
    StoreFocusedWidget(nullptr);
  }
}

// A panel holding a button and a check box, and a probe beneath it that
// shows where the panel was once the panel is hidden (another page taking
// its place under the resting pointer).
template <class TParent>
struct CButtonPanel : CCompositeOf<CButtonPanel<TParent>, TParent> {
  CButton<CButtonPanel> button;
  CCheckBox<CButtonPanel> box;
  auto Children() { return std::tie(button, box); }
};
struct CPanelOwner : CFakeOwnerOf<CPanelOwner> {
  CButtonPanel<CPanelOwner> panel;
  CProbe<CPanelOwner> beneath;
  auto Children() { return std::tie(panel, beneath); }
};

// A widget that leaves the screen with its owner, or is disabled with it,
// lets go of the pointer as when it is hidden itself (the button the
// capture table, the check box its press) and takes no focus: a press
// where it was reaches what lies beneath, the keys stay with the widget
// that had them and work, and a focus request stays pending.
TEST(HiddenOwner, ItsWidgetsLetGoOfThePointerAndTakeNoFocus) {
  enum Step { kOnButton, kOnBox, kHidePanel, kDisablePanel, kPress, kFocusButton };
  const struct {
    const char* what;
    std::vector<Step> steps;
    bool pressedBeneath;
  } cases[] = {
      {"resting on the button, its panel hidden, a press there", {kOnButton, kHidePanel, kPress}, true},
      {"resting on the check box, its panel hidden, a press there", {kOnBox, kHidePanel, kPress}, true},
      {"the panel hidden, then a focus request to its button", {kHidePanel, kFocusButton}, false},
      {"resting on the button, its panel disabled, a press there", {kOnButton, kDisablePanel, kPress}, true},
      {"resting on the check box, its panel disabled, a press there", {kOnBox, kDisablePanel, kPress}, true},
  };
  CPanelOwner owner;
  ProbeLog log;
  const Rect panelPlace = {10, 10, 210, 110}, buttonPlace = {10, 10, 110, 34}, boxPlace = {10, 50, 110, 70};
  owner.panel.Create(kFlagVisible, &panelPlace, &owner);
  owner.panel.button.Create(kButtonFlags, &buttonPlace, &owner.panel);
  owner.panel.box.Create(kCheckBoxFlags, &boxPlace, &owner.panel);
  owner.beneath.log = &log;
  owner.beneath.Create(kFlagVisible | kFlagTabStop, &panelPlace, &owner);
  const Rect& b = owner.panel.box.boxRect;
  const Point onButton = {owner.x + 40, owner.y + 32};
  const Point onBox = {owner.x + 20 + (b.left + b.right) / 2, owner.y + 60 + (b.top + b.bottom) / 2};
  Point at = onButton;
  auto deliver = [&](MouseKind kind) { owner.Deliver(kind, at); };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    owner.beneath.SetFocus();
    log.clear();
    for (Step step : c.steps) {
      switch (step) {
        case kOnButton: at = onButton, deliver(MouseKind::kMove); break;
        case kOnBox: at = onBox, deliver(MouseKind::kMove); break;
        case kHidePanel: owner.panel.ModifyFlags(kFlagVisible, 0); break;
        case kDisablePanel: owner.panel.Disable(); break;
        case kPress: deliver(MouseKind::kMove), deliver(MouseKind::kLeftDown); break;
        case kFocusButton: owner.panel.button.SetFocus(); break;
      }
    }
    EXPECT_EQ(nullptr, CaptureOwner());
    EXPECT_EQ(nullptr, PressedWidget());
    EXPECT_EQ(0, owner.panel.button.state);
    EXPECT_EQ(0, owner.panel.box.state);
    EXPECT_EQ(c.pressedBeneath, !log.empty() && log.back().widget == &owner.beneath && log.back().kind == 'd');
    EXPECT_EQ(&owner.beneath, FocusedWidget());
    if (!c.pressedBeneath) {
      EXPECT_EQ(&owner.panel.button, PendingFocus());
    }
    EXPECT_TRUE(RouteKeyToChildren(owner, KeyEvent{KeyKind::kDown, 65, 1, 0})) << "the keys work";
    EXPECT_EQ('k', log.back().kind);
    StorePendingFocus(nullptr, nullptr);
    owner.panel.ModifyFlags(kFlagDisabled, kFlagVisible);
  }
  StoreFocusedWidget(nullptr);
}

}  // namespace
