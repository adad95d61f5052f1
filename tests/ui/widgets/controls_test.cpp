// Check box, link label and button states through the routing, Tab order
// around a hidden composite, and controls whose handler deletes them.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "render/canvas.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fake_owner.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/support/fixed_font.h"
#include "ui/support/menu_blocks.h"
#include "ui/support/probe_widgets.h"
#include "ui/widgets/button.h"
#include "ui/widgets/check_box.h"
#include "ui/widgets/event_routing.h"
#include "ui/widgets/label.h"
#include "ui/widgets/menu_bar.h"
#include "ui/widgets/picture.h"
#include "ui/widgets/tab_order.h"
#include "ui/widgets/text_edit.h"

namespace {

struct COwner : CFakeOwnerOf<COwner> {
  CCheckBox<COwner> box;
  CLabel<COwner> link;
  CButton<COwner> button;
  auto Children() { return std::tie(box, link, button); }
  void OnChanged(bool checked) { changes.push_back(checked); }
  void OnLink() { ++links; }
  std::vector<bool> changes;
  int links = 0;
};

struct Controls : testing::Test {
  void SetUp() override {
    owner.box.text.Assign(u"Verify");
    owner.box.style = kCheckTextRight;
    owner.box.change = BindCallback<COwner, &COwner::OnChanged, bool>(&owner, &owner);
    const Rect b = {10, 10, 210, 30};
    owner.box.Create(kFlagVisible | kFlagTabStop, &b, &owner);
    owner.link.text.Assign(u"View Log");
    owner.link.font = fixed.font;  // 80 x 16 pixels of text
    owner.link.decoration = CLabel<COwner>::kLink;
    owner.link.link = BindCallback<COwner, &COwner::OnLink>(&owner, &owner);
    const Rect l = {10, 50, 210, 70};
    owner.link.Create(kFlagVisible, &l, &owner);
    const Rect r = {10, 100, 110, 124};
    owner.button.Create(kButtonFlags, &r, &owner);
  }
  void TearDown() override {
    CaptureTable::Uninstall(CaptureOwner());
    SetPressedWidget(nullptr);
    StoreFocusedWidget(nullptr);
  }
  // Delivers an event at a point in the owner's content coordinates as the
  // window does: to the capture table's owner when one is set, else
  // through the routing; after a move the pressed widget hears whether the
  // pointer left it.
  void Route(MouseKind kind, i32 x, i32 y) {
    const Point at = {owner.x + x, owner.y + y};
    Point p = at;
    if (!CaptureOwner()) {
      RouteMouseToChildren(owner, p, MouseEvent{kind, 0, 0, 0});
    } else if (kind == MouseKind::kMove) {
      CaptureTable::DispatchMouseMove(0, &p);
    } else if (kind == MouseKind::kLeftDown) {
      CaptureTable::DispatchLeftDown(0, &p);
    } else if (kind == MouseKind::kLeftDoubleClick) {
      CaptureTable::DispatchLeftDoubleClick(0, &p);
    } else if (kind == MouseKind::kLeftUp) {
      CaptureTable::DispatchLeftUp(0, &p);
    }
    if (kind == MouseKind::kMove && PressedWidget() && CheckPressLeaveIn(owner, at)) SetPressedWidget(nullptr);
  }
  CFixedFontScope fixed;
  COwner owner;
};

TEST_F(Controls, ACheckBoxTogglesOnAReleaseOverItsBoxOrText) {
  CCheckBox<COwner>& box = owner.box;
  EXPECT_EQ(16, box.boxRect.right) << "the box at the left, one check-box size wide";
  EXPECT_EQ(20, box.textRect.left);
  Route(MouseKind::kMove, 15, 20);
  EXPECT_EQ(&box, PressedWidget());
  Route(MouseKind::kLeftDown, 15, 20);
  Route(MouseKind::kLeftUp, 15, 20);
  Route(MouseKind::kLeftDoubleClick, 15, 20);
  EXPECT_EQ(2u, owner.changes.size()) << "the double click itself toggles, not the release after it";
  Route(MouseKind::kLeftUp, 15, 20);
  EXPECT_EQ((std::vector<bool>{true, false}), owner.changes) << "a double click toggles twice";
  // Pressed, moved off the control and back, released: nothing.
  Route(MouseKind::kLeftDown, 15, 20);
  Route(MouseKind::kMove, 15, 90);
  Route(MouseKind::kMove, 15, 20);
  Route(MouseKind::kLeftUp, 15, 20);
  EXPECT_EQ(2u, owner.changes.size());
  // The control's area beside the text takes the click without a change.
  Route(MouseKind::kLeftDown, 190, 20);
  Route(MouseKind::kLeftUp, 190, 20);
  EXPECT_EQ(2u, owner.changes.size());
  box.SetFocus();
  box.OnKeyUp(32, 1, 0);
  EXPECT_EQ(3u, owner.changes.size());
  box.SetChecked(box.IsChecked());  // no change, no callback
  EXPECT_EQ(3u, owner.changes.size());
}

// The link fires for a press and a release both on its text, as a push
// button: it holds the mouse from the press to the release wherever the
// pointer goes, and a release that had no press on its text (the press
// went beside it, to a window closed meanwhile, or off the link) does
// nothing, nor does one after the link or its owner was hidden. A double
// click is two presses: the link fires twice.
TEST_F(Controls, ALinkFiresForAPressAndAReleaseBothOnItsText) {
  CLabel<COwner>& link = owner.link;
  enum Step { kText, kBeside, kOff, kDown, kUp, kDouble, kLost, kHide, kShow, kHideOwner };
  const Point places[] = {{12, 60}, {95, 60}, {15, 90}};  // the text, beside it in the label, off the label
  Point at = places[kOff];
  const struct {
    const char* what;
    std::vector<Step> steps;
    int links;
  } cases[] = {
      {"pressed and released on the text", {kText, kDown, kUp}, 1},
      {"a release alone on the text", {kText, kUp}, 0},
      {"pressed beside the text, released on it", {kBeside, kDown, kText, kUp}, 0},
      {"pressed off the link, released on its text", {kOff, kDown, kText, kUp}, 0},
      {"a double click", {kText, kDown, kUp, kDouble, kUp}, 2},
      {"pressed, beside the text and back, released", {kText, kDown, kBeside, kText, kUp}, 1},
      {"pressed, off the link and back, released", {kText, kDown, kOff, kText, kUp}, 1},
      {"pressed on the text, released beside it", {kText, kDown, kBeside, kUp}, 0},
      {"pressed, released off the link, then a release alone", {kText, kDown, kOff, kUp, kText, kUp}, 0},
      {"pressed, another window took the mouse, released", {kText, kDown, kLost, kText, kUp}, 0},
      {"pressed, hidden and shown, released", {kText, kDown, kHide, kShow, kText, kUp}, 0},
      {"pressed, its owner hidden, released", {kText, kDown, kHideOwner, kUp}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    owner.links = 0;
    for (Step step : c.steps) {
      switch (step) {
        case kText:
        case kBeside:
        case kOff:
          at = places[step];
          Route(MouseKind::kMove, at.x, at.y);
          break;
        case kDown:
          Route(MouseKind::kMove, at.x, at.y);  // the window's move where a press comes
          Route(MouseKind::kLeftDown, at.x, at.y);
          break;
        case kUp: Route(MouseKind::kLeftUp, at.x, at.y); break;
        case kDouble: Route(MouseKind::kLeftDoubleClick, at.x, at.y); break;
        case kLost: owner.LoseCapture(); break;
        case kHide: link.ModifyFlags(kFlagVisible, 0); break;
        case kShow: link.ModifyFlags(0, kFlagVisible); break;
        case kHideOwner: owner.flags &= ~kFlagVisible; break;
      }
    }
    owner.flags |= kFlagVisible;
    EXPECT_EQ(c.links, owner.links);
    EXPECT_EQ(nullptr, CaptureOwner()) << "the press ended with the walk";
    at = places[kOff];
    Route(MouseKind::kMove, at.x, at.y);
    SetPressedWidget(nullptr);
  }
  Route(MouseKind::kMove, 12, 60);
  EXPECT_TRUE(link.state & CLabel<COwner>::kHot);
  Route(MouseKind::kMove, 95, 60);  // beside the text
  EXPECT_FALSE(link.state & CLabel<COwner>::kHot);
  link.decoration = 0;  // a plain label ignores the mouse
  Route(MouseKind::kMove, 12, 60);
  EXPECT_FALSE(link.state & CLabel<COwner>::kHot);
}

// A probe, then a hidden panel of two probes, in routing order.
struct CTabOwner : CFakeOwnerOf<CTabOwner> {
  CProbe<CTabOwner> first;
  CProbePanel<CTabOwner> panel;
  CProbe<CTabOwner> last;
  auto Children() { return std::tie(first, panel, last); }
};

TEST(TabOrder, BothDirectionsSkipTheChildrenOfAHiddenComposite) {
  CTabOwner owner;
  const Rect r = {0, 0, 50, 20};
  owner.first.Create(kFlagVisible | kFlagTabStop, &r, &owner);
  owner.panel.Create(0, &r, &owner);
  owner.panel.first.Create(kFlagVisible | kFlagTabStop, &r, &owner.panel);
  owner.panel.second.Create(kFlagVisible | kFlagTabStop, &r, &owner.panel);
  owner.last.Create(kFlagVisible | kFlagTabStop, &r, &owner);
  owner.last.SetFocus();
  bool passed = false;
  ForEachChildReverse(owner, [&](auto& child) { return TabWalkBackward(&passed, child); });
  EXPECT_EQ(&owner.first, FocusedWidget()) << "Shift+Tab";
  passed = false;
  ForEachChild(owner, [&](auto& child) { return TabWalkForward(&passed, child); });
  EXPECT_EQ(&owner.last, FocusedWidget()) << "Tab";
  StoreFocusedWidget(nullptr);
}

// An owner whose handlers delete the control that called them (a page
// closing itself from its own control).
struct CDeletingOwner : CFakeOwnerOf<CDeletingOwner> {
  std::unique_ptr<CCheckBox<CDeletingOwner>> box;
  std::unique_ptr<CMenuBar<CDeletingOwner>> bar;
  std::unique_ptr<CTextEdit<CDeletingOwner>> edit;
  std::tuple<> Children() { return {}; }
  void OnChanged(bool) { box.reset(); }
  void OnCommand(u32) { bar.reset(); }
  void OnEdited() { edit.reset(); }
};

i32 ChooseCommand21(CMenuModel*, i32, i32, const CImageStrip*, const CImageStrip*, IPopupMenuOwner*) { return 21; }

// A control calls its handler last and touches nothing of itself after
// it: one that deletes the control is no read of freed memory (the
// sanitizer build tells).
TEST(HandlerLast, AControlItsHandlerDeletedTouchesNothingOfItself) {
  enum Way { kBoxClicked, kBoxSpace, kBarSpace, kBarMenu, kEditLeft };
  CMenuBlock block{Submenu(128, {Submenu(19, {Command(21)}), Command(62)})};
  const PopupMenuRunner previous = SetPopupMenuRunner(&ChooseCommand21);
  const Rect place = {10, 10, 210, 30};
  for (Way way : {kBoxClicked, kBoxSpace, kBarSpace, kBarMenu, kEditLeft}) {
    SCOPED_TRACE(way);
    CDeletingOwner owner;
    if (way == kBoxClicked || way == kBoxSpace) {
      owner.box = std::make_unique<CCheckBox<CDeletingOwner>>();
      owner.box->change = BindCallback<CDeletingOwner, &CDeletingOwner::OnChanged, bool>(&owner, &owner);
      owner.box->Create(kCheckBoxFlags, &place, &owner);
      const Rect& b = owner.box->boxRect;
      Point on = {(b.left + b.right) / 2, (b.top + b.bottom) / 2};
      if (way == kBoxClicked) owner.box->OnLButtonDown(0, &on), owner.box->OnLButtonUp(0, &on);
      if (way == kBoxSpace) owner.box->OnKeyUp(32, 1, 0);
      EXPECT_EQ(nullptr, owner.box);
    } else if (way == kBarSpace || way == kBarMenu) {
      owner.bar = std::make_unique<CMenuBar<CDeletingOwner>>();
      owner.bar->command = BindCallback<CDeletingOwner, &CDeletingOwner::OnCommand, u32>(&owner, &owner);
      owner.bar->Create(kFlagVisible | kFlagTabStop, &place, &owner);
      owner.bar->SetModel(block.Root());
      owner.bar->SetFocus();
      owner.bar->hotItem = way == kBarSpace ? 1 : 0;
      owner.bar->OnKeyDown(way == kBarSpace ? 32 : 13, 1, 0);
      EXPECT_EQ(nullptr, owner.bar);
    } else {
      owner.edit = std::make_unique<CTextEdit<CDeletingOwner>>();
      owner.edit->Create(kFlagVisible | kFlagTabStop, &place, &owner);
      owner.edit->SetText(u"ab");
      owner.edit->change = BindCallback<CDeletingOwner, &CDeletingOwner::OnEdited>(&owner, &owner);
      owner.edit->SetFocus();
      owner.edit->OnKeyDown(37, 1, 0);  // Left: the owner hears the caret move
      EXPECT_EQ(nullptr, owner.edit);
    }
  }
  SetPopupMenuRunner(previous);
  StoreFocusedWidget(nullptr);
}

}  // namespace

namespace {

// The look word the theme is asked to draw the check box with.
u32 DrawnCheckLook(CCheckBox<COwner>& box) {
  CRecordingThemePainter theme;
  CCanvas canvas(1);
  box.PaintContent(canvas);
  const std::vector<ThemeCall> calls = theme.CallsOf('k');
  return calls.size() == 1 ? calls[0].style : 0xDEADu;
}

// The first and last pixel of the box and of the text are on it, the ones
// just past them are not; the gap between them is neither. Each step is
// checked through the drawn look and the state bits, and a release at the
// pixel toggles exactly when the pointer was on the box or the text.
TEST_F(Controls, ACheckBoxIsHighlightedExactlyOverItsBoxAndItsText) {
  CCheckBox<COwner>& box = owner.box;
  const Rect t = box.textRect;
  ASSERT_EQ(16 + 4, t.left);
  ASSERT_LT(t.left, t.right);
  ASSERT_TRUE(t.top > 0 || t.bottom < 20) << "the text is less high than the control";
  const i32 textLow = t.top < t.bottom ? t.top : t.bottom, textHigh = t.top < t.bottom ? t.bottom : t.top;
  const struct {
    i32 x, y;  // the control's own coordinates (200 x 20)
    bool on;
  } points[] = {
      {0, 0, true},          {15, 19, true},          {16, 10, false},  // the box
      {19, textLow, false},  {t.left, textLow, true}, {t.right - 1, textHigh - 1, true},
      {t.right, textLow, false}, {t.left, textLow - 1, false}, {t.left, textHigh, false},
  };
  // The pointer alone, from point to point: on and off in turn.
  const u32 style = kCheckTextRight;
  for (const auto& p : points) {
    const std::string where = std::to_string(p.x) + "," + std::to_string(p.y);
    Route(MouseKind::kMove, 10 + p.x, 10 + p.y);
    EXPECT_EQ(p.on, box.HitTestBoxOrText(Point{p.x, p.y})) << where;
    EXPECT_EQ(p.on, (box.state & CCheckBox<COwner>::kHighlighted) != 0) << where;
    EXPECT_EQ(style | (p.on ? kLookHot : 0), DrawnCheckLook(box)) << where;
    EXPECT_EQ(&box, CursorOwner()) << where;
  }
  // A click at each point toggles exactly on the box and the text.
  u32 ticked = 0;
  for (const auto& p : points) {
    const std::string where = std::to_string(p.x) + "," + std::to_string(p.y);
    Route(MouseKind::kMove, 10 + p.x, 10 + p.y);
    Route(MouseKind::kLeftDown, 10 + p.x, 10 + p.y);
    Route(MouseKind::kLeftUp, 10 + p.x, 10 + p.y);
    if (p.on) ticked ^= kCheckTicked;
    EXPECT_EQ(ticked, box.style & kCheckTicked) << where;
    EXPECT_EQ(0, box.state & CCheckBox<COwner>::kHeld) << where;
  }
  EXPECT_EQ(4u, owner.changes.size());
  // Leaving the control straight from the box clears every bit; focus
  // alone draws the hot look.
  Route(MouseKind::kMove, 15, 15);
  Route(MouseKind::kLeftDown, 15, 15);
  ASSERT_EQ(CCheckBox<COwner>::kHot | CCheckBox<COwner>::kHeld | CCheckBox<COwner>::kHighlighted, box.state);
  Route(MouseKind::kMove, 15, 90);
  EXPECT_EQ(0, box.state);
  EXPECT_EQ(nullptr, PressedWidget());
  EXPECT_EQ(style | ticked, DrawnCheckLook(box));
  box.SetFocus();
  EXPECT_EQ(style | ticked | kLookHot, DrawnCheckLook(box));
  StoreFocusedWidget(nullptr);
  box.Enable(false);
  EXPECT_EQ(style | ticked | kLookDisabled, DrawnCheckLook(box));
}

// With the box at the right, the text ends four pixels before it.
TEST_F(Controls, ACheckBoxWithItsBoxAtTheRightKeepsTheGapOnTheOtherSide) {
  CCheckBox<COwner>& box = owner.box;
  box.style = 0;
  box.LayoutText();
  EXPECT_TRUE(box.boxRect.left == 200 - 16 && box.boxRect.right == 200) << box.boxRect.left;
  EXPECT_EQ(200 - 16 - 4, box.textRect.right);
  EXPECT_EQ(owner.box.textRect.right - owner.box.textRect.left, box.textRect.right - box.textRect.left);
  EXPECT_FALSE(box.HitTestBoxOrText(Point{200 - 17, 10}));
  EXPECT_TRUE(box.HitTestBoxOrText(Point{200 - 16, 10}));
  EXPECT_TRUE(box.HitTestBoxOrText(Point{200 - 21, 10}));
}

// The link's text rectangle (80 x 16 from the corner) to the pixel: hot,
// drawn in the link colour and clicked there only; hot again after a
// move out and back.
TEST_F(Controls, ALinkIsHotAndDrawnInTheLinkColourExactlyOverItsText) {
  CLabel<COwner>& link = owner.link;
  link.textColour = 0xFF102030u;
  auto colour = [&] {
    CMemoryCanvas m(200, 20);
    link.PaintContent(m.canvas);
    const std::vector<DrawnRecord> runs = RecordsOf(ReadRecords(m.canvas), kOpTextRun);
    return runs.empty() ? 0u : runs[0].colour;
  };
  EXPECT_EQ(0xFF102030u, colour());
  const struct {
    i32 x, y;
    bool on;
  } points[] = {{0, 0, true}, {79, 15, true}, {80, 5, false}, {5, 16, false}, {79, 0, true}, {0, 15, true}};
  for (const auto& p : points) {
    const std::string where = std::to_string(p.x) + "," + std::to_string(p.y);
    Route(MouseKind::kMove, 10 + p.x, 50 + p.y);
    EXPECT_EQ(p.on, (link.state & CLabel<COwner>::kHot) != 0) << where;
    EXPECT_EQ(p.on ? kLabelLinkColour : 0xFF102030u, colour()) << where;
    EXPECT_EQ(&link, CursorOwner()) << where;
  }
  for (const auto& p : points) {
    const std::string where = std::to_string(p.x) + "," + std::to_string(p.y);
    const int before = owner.links;
    Route(MouseKind::kLeftDown, 10 + p.x, 50 + p.y);
    Route(MouseKind::kLeftUp, 10 + p.x, 50 + p.y);
    EXPECT_EQ(p.on ? before + 1 : before, owner.links) << where;
  }
  // The window lets the link go: back to its own colour.
  Route(MouseKind::kMove, 10, 50);
  ASSERT_TRUE(link.state & CLabel<COwner>::kHot);
  owner.ReleasePress();
  EXPECT_EQ(0, link.state);
  EXPECT_EQ(0xFF102030u, colour());
}

}  // namespace

namespace {

// The red or the blue channel of a pixel of the canvas (x, y from its
// lower left corner).
struct Channels {
  u32 red, blue;
};
Channels At(const CMemoryCanvas& m, i32 width, i32 x, i32 y) {
  const u32 px = m.pixels[static_cast<size_t>(y) * width + x];
  return {(px >> 16) & 0xFF, px & 0xFF};
}

// The picture shows the frame it is set to; at zoom 1 its own size from
// the corner, just below 1 nearly the whole control about its middle, at
// 0.5 the middle half only; nothing at zoom 0 or opacity 0.
TEST(Picture, ItDrawsItsOwnFrameAtEveryZoomAndNothingAtTheZeroEnds) {
  CFakeOwner owner;
  CPicture<CFakeOwner> p;
  std::vector<u32> red(16 * 16, 0xFFFF0000u), blue(16 * 16, 0xFF0000FFu);
  p.image.AppendFrame(BitmapView{16, 16, 16, red.data()});
  p.image.AppendFrame(BitmapView{16, 16, 16, blue.data()});
  const Rect r = {0, 0, 100, 60};
  p.Create(kFlagVisible, &r, &owner);
  const struct {
    i32 frame;
    double zoom, opacity;
    bool corner, middle, nearEdge;  // (5, 5), (50, 30), (3, 30) coloured
  } cases[] = {
      {0, 1.0, 1.0, true, false, false},  {1, 1.0, 1.0, true, false, false}, {1, 0.999, 1.0, true, true, true},
      {0, 0.5, 1.0, false, true, false},  {1, 0.5, 1.0, false, true, false}, {1, 0.0, 1.0, false, false, false},
      {1, 1.0, 0.0, false, false, false},
  };
  for (const auto& c : cases) {
    p.frame = c.frame, p.zoom = c.zoom, p.opacity = c.opacity;
    CMemoryCanvas m(100, 60);
    p.PaintContent(m.canvas);
    m.Flush();
    const std::string where = std::to_string(c.frame) + " at " + std::to_string(c.zoom);
    const Channels points[3] = {At(m, 100, 5, 5), At(m, 100, 50, 30), At(m, 100, 3, 30)};
    const bool expected[3] = {c.corner, c.middle, c.nearEdge};
    for (int i = 0; i < 3; ++i) {
      const u32 own = c.frame == 0 ? points[i].red : points[i].blue;
      const u32 other = c.frame == 0 ? points[i].blue : points[i].red;
      EXPECT_EQ(expected[i], own > 200) << where << " point " << i;
      EXPECT_EQ(0u, other) << where << " point " << i;
    }
  }
}

}  // namespace
