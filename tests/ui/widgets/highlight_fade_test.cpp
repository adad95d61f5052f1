#include <gtest/gtest.h>

#include "ui/support/fake_owner.h"
#include "ui/widgets/event_routing.h"
#include "ui/widgets/highlight_strip.h"

namespace {

TEST(HighlightFade, ATileRisesAndFallsInExactlySevenSteps) {
  HighlightItem tiles[5] = {};
  InitHighlightItems(tiles);  // stepped: the first two
  int rise = 0;
  while (StepHighlightLevels(tiles, 2, 0)) {
    ++rise;
    ASSERT_LE(tiles[0].Level(), 1.0);
    ASSERT_LT(rise, 20);
  }
  EXPECT_EQ(7, rise);
  EXPECT_EQ(1.0, tiles[0].Level()) << "exactly, not just below";
  EXPECT_EQ(0xFFu, tiles[0].lightColour >> 24);
  // The hot tile moves on mid-fall: both move in the same steps.
  StepHighlightLevels(tiles, 2, -1);
  StepHighlightLevels(tiles, 2, -1);
  int steps = 0;
  while (StepHighlightLevels(tiles, 2, 1)) ++steps;
  EXPECT_EQ(7, steps);
  EXPECT_EQ(0.4, tiles[0].Level());
  EXPECT_EQ(0x66u, tiles[0].lightColour >> 24);
}

// A strip 300 x 320 that notes the commands its tiles run.
struct CStripOwner : CFakeOwnerOf<CStripOwner> {
  CStripOwner() {
    strip.command = BindCallback<CStripOwner, &CStripOwner::OnCommand, u32>(this, this);
    const Rect r = {0, 0, 300, 320};
    strip.Create(kFlagVisible, &r, this);
  }
  CHighlightStrip<CStripOwner> strip;
  auto Children() { return std::tie(strip); }
  void OnCommand(u32 id) { commands.push_back(id); }
  std::vector<u32> commands;
};

TEST(HighlightFade, KeysAndTheTileGeometryChooseTheHotTile) {
  CStripOwner owner;
  CHighlightStrip<CStripOwner>& s = owner.strip;
  const i32 m = 4;  // the menu spacing
  EXPECT_EQ(0, s.TileAt(Point{m + 12, 320 - m - 60}));
  EXPECT_EQ(-1, s.TileAt(Point{m + 12, 320 - m - 12})) << "upper edge excluded";
  EXPECT_EQ(4, s.TileAt(Point{300 - m - 15, 320 - m - 60 - 56 * 4}));
  EXPECT_EQ(-1, s.TileAt(Point{300 - m - 14, 300}));
  s.OnKeyDown(38, 1, 0);
  EXPECT_EQ(4, s.hot) << "Up from none: the last";
  s.OnKeyDown(40, 1, 0);
  EXPECT_EQ(0, s.hot) << "Down from the last: the first";
  s.OnKeyDown(13, 1, 0);
  EXPECT_EQ(std::vector<u32>{21}, owner.commands);
  s.Stop();
}

// Up and Down both ways from every tile, wrapping at both ends; a release
// runs only the hot tile's command; losing the focus cools the hot tile
// and gaining it back brings the same tile back.
TEST(HighlightFade, KeysWalkBothWaysAndTheFocusKeepsTheHotTile) {
  CStripOwner owner;
  CHighlightStrip<CStripOwner>& s = owner.strip;
  std::vector<i32> down, up;
  for (int i = 0; i < 6; ++i) {
    s.OnKeyDown(40, 1, 0);
    down.push_back(static_cast<i32>(s.hot));
  }
  for (int i = 0; i < 6; ++i) {
    s.OnKeyDown(38, 1, 0);
    up.push_back(static_cast<i32>(s.hot));
  }
  EXPECT_EQ((std::vector<i32>{0, 1, 2, 3, 4, 0}), down);
  EXPECT_EQ((std::vector<i32>{4, 3, 2, 1, 0, 4}), up);
  const i32 m = 4;
  const Point tile0 = {m + 12, 320 - m - 60}, tile1 = {m + 12, 320 - m - 60 - 56};
  s.OnKeyDown(38, 1, 0);  // tile 3 is hot
  Point p = tile0;
  s.OnLButtonDown(0, &p);
  s.OnLButtonUp(0, &p);
  EXPECT_TRUE(owner.commands.empty()) << "a click on a tile that is not hot";
  s.OnMouseMove(0, &p);
  EXPECT_EQ(0, s.hot);
  s.OnLButtonUp(0, &p);
  EXPECT_TRUE(owner.commands.empty()) << "a release with no press";
  p = tile1;
  s.OnLButtonDown(0, &p);
  s.OnLButtonUp(0, &p);
  EXPECT_TRUE(owner.commands.empty()) << "moved in a press: not hot yet";
  p = tile0;
  s.OnLButtonDown(0, &p);
  s.OnLButtonUp(0, &p);
  s.OnKeyDown(32, 1, 0);
  EXPECT_EQ((std::vector<u32>{21, 21}), owner.commands);
  s.OnKeyDown(40, 1, 0);
  s.OnKeyDown(40, 1, 0);
  s.OnFocusLeave();
  EXPECT_EQ(-1, s.hot);
  EXPECT_EQ(2, s.previousHot);
  s.OnKeyDown(13, 1, 0);
  EXPECT_EQ(2u, owner.commands.size()) << "Enter without a hot tile";
  s.OnFocusGain();
  EXPECT_EQ(2, s.hot);
  s.OnKeyDown(13, 1, 0);
  EXPECT_EQ((std::vector<u32>{21, 21, 49}), owner.commands);
  s.Stop();
}

// A tile runs for a press and a release both on it, as a push button: the
// strip holds the mouse from the press to the release wherever the pointer
// goes, and a release that had no press on the tile (the press went to the
// page's background, to a dialog closed meanwhile, or closed a menu) runs
// nothing. Each walk is delivered as the window delivers it: a move or a
// button to the capture table's owner when one is set, else through the
// routing, and after a move the pressed widget hears whether it was left.
TEST(HighlightFade, ATileRunsForAPressAndAReleaseBothOnIt) {
  CStripOwner owner;
  CHighlightStrip<CStripOwner>& s = owner.strip;
  enum Step { kTile0, kTile1, kBackground, kDown, kUp, kLost, kHide, kShow };
  const i32 m = 4;
  const Point places[] = {{m + 22, 320 - m - 36}, {m + 22, 320 - m - 36 - 56}, {350, 100}};
  Point at = places[kBackground];
  auto deliver = [&](MouseKind kind) {
    Point p = {owner.x + at.x, owner.y + at.y};
    if (!CaptureOwner()) {
      RouteMouseToChildren(owner, p, MouseEvent{kind, 0, 0, 0});
    } else if (kind == MouseKind::kMove) {
      CaptureTable::DispatchMouseMove(0, &p);
      p = {owner.x + at.x, owner.y + at.y};
    } else {
      (kind == MouseKind::kLeftDown ? CaptureTable::DispatchLeftDown : CaptureTable::DispatchLeftUp)(0, &p);
    }
    if (kind == MouseKind::kMove && PressedWidget() && CheckPressLeaveIn(owner, p)) SetPressedWidget(nullptr);
  };
  const struct {
    const char* what;
    std::vector<Step> steps;
    std::vector<u32> commands;
  } cases[] = {
      {"pressed and released on a tile", {kTile0, kDown, kUp}, {21}},
      {"pressed on the background, released on a tile", {kBackground, kDown, kTile0, kUp}, {}},
      {"a release alone on a tile", {kTile0, kUp}, {}},
      {"pressed on one tile, released on another", {kTile0, kDown, kTile1, kUp}, {}},
      {"pressed, moved to another tile and back, released", {kTile0, kDown, kTile1, kTile0, kUp}, {21}},
      {"pressed, off the strip and back, released", {kTile0, kDown, kBackground, kTile0, kUp}, {21}},
      {"pressed, released off the strip, then a release alone", {kTile0, kDown, kBackground, kUp, kTile0, kUp}, {}},
      {"pressed, another window took the mouse, released", {kTile0, kDown, kLost, kTile0, kUp}, {}},
      {"pressed, hidden and shown, released", {kTile0, kDown, kHide, kShow, kTile0, kUp}, {}},
      {"a click, then a release alone", {kTile0, kDown, kUp, kUp}, {21}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    owner.commands.clear();
    for (Step step : c.steps) {
      switch (step) {
        case kTile0:
        case kTile1:
        case kBackground:
          at = places[step];
          deliver(MouseKind::kMove);
          break;
        case kDown:
          deliver(MouseKind::kMove);  // the window's move where a press comes
          deliver(MouseKind::kLeftDown);
          break;
        case kUp: deliver(MouseKind::kLeftUp); break;
        case kLost: owner.LoseCapture(); break;
        case kHide: s.ModifyFlags(kFlagVisible, 0); break;
        case kShow: s.ModifyFlags(0, kFlagVisible); break;
      }
    }
    EXPECT_EQ(c.commands, owner.commands);
    EXPECT_EQ(nullptr, CaptureOwner()) << "the press ended with the walk";
    at = places[kBackground];
    deliver(MouseKind::kMove);
    SetPressedWidget(nullptr);
  }
  s.Stop();
}

// A hidden strip lets go of the pointer and its tile cools, but it keeps
// that tile as the previous one whether it was lit when hidden or had
// cooled before (the pointer or the focus had left): the focus coming back
// lights it again, and Enter runs its command. Without any tile lit
// before, the focus lights none.
TEST(HighlightFade, AHiddenStripKeepsItsPreviousTile) {
  CStripOwner owner;
  CHighlightStrip<CStripOwner>& s = owner.strip;
  s.ModifyFlags(kFlagVisible, 0);
  s.ModifyFlags(0, kFlagVisible);
  s.OnFocusGain();
  EXPECT_EQ(-1, s.hot) << "never lit: nothing to light again";
  const Point tile2 = {4 + 12, 320 - 4 - 60 - 56 * 2};
  for (int before = 0; before < 3; ++before) {
    SCOPED_TRACE(before == 0 ? "hot" : before == 1 ? "the pointer had left" : "the focus had left");
    Point p = tile2;
    s.OnMouseMove(0, &p);
    ASSERT_EQ(2, s.hot);
    ASSERT_EQ(static_cast<CWidget*>(&s), PressedWidget());
    if (before == 1) {
      s.OnPressLeave();
      SetPressedWidget(nullptr);
    }
    if (before == 2) s.OnFocusLeave();
    s.ModifyFlags(kFlagVisible, 0);
    EXPECT_EQ(-1, s.hot);
    EXPECT_EQ(2, s.previousHot);
    EXPECT_EQ(nullptr, PressedWidget());
    s.ModifyFlags(0, kFlagVisible);
    s.OnFocusGain();
    EXPECT_EQ(2, s.hot) << "the focus lights the previous tile again";
    owner.commands.clear();
    s.OnKeyDown(13, 1, 0);
    EXPECT_EQ(std::vector<u32>{49}, owner.commands) << "Enter runs it";
    s.OnKeyDown(40, 1, 0);
    EXPECT_EQ(3, s.hot) << "the keys go on from it";
    s.OnFocusLeave();
  }
  SetPressedWidget(nullptr);
  s.Stop();
}

}  // namespace
