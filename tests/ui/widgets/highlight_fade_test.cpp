#include <gtest/gtest.h>

#include "ui/support/fake_owner.h"
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

struct CStripOwner : CFakeOwnerOf<CStripOwner> {
  CHighlightStrip<CStripOwner> strip;
  auto Children() { return std::tie(strip); }
  void OnCommand(u32 id) { commands.push_back(id); }
  std::vector<u32> commands;
};

TEST(HighlightFade, KeysAndTheTileGeometryChooseTheHotTile) {
  CStripOwner owner;
  owner.strip.command = BindCallback<CStripOwner, &CStripOwner::OnCommand, u32>(&owner, &owner);
  const Rect r = {0, 0, 300, 320};
  owner.strip.Create(kFlagVisible, &r, &owner);
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

}  // namespace
