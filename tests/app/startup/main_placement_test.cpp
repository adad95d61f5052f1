#include <gtest/gtest.h>

#include "app/startup/main_placement.h"

namespace {

// One 1280 x 1024 monitor (work area up to y 994 above its taskbar) and a
// second one to its right, 1024 x 768, lower edge level with the first.
const Rect kAreas[] = {{0, 0, 1280, 994}, {1280, 0, 2304, 768}};

bool SameRect(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(MainPlacement, DefaultIsCentredAndTruncatesTowardZero) {
  EXPECT_TRUE(SameRect({315, 272, 965, 722}, DefaultMainRect(1280, 994)));
  // A work area narrower than the window: x is negative, (600 - 650) / 2.
  EXPECT_TRUE(SameRect({-25, -1, 625, 449}, DefaultMainRect(600, 447)));
}

struct SavedCase {
  Rect saved;
  bool usable;
  const char* why;
};

TEST(MainPlacement, SavedRectanglesAreTakenOnlyWhenUsable) {
  const SavedCase cases[] = {
      {{100, 100, 750, 550}, true, "inside the first monitor"},
      {{1500, 100, 2100, 500}, true, "inside the second monitor"},
      {{1200, 300, 1850, 750}, true, "across both monitors"},
      {{100, 100, 100, 550}, false, "x2 == x"},
      {{100, 550, 750, 100}, false, "y2 < y"},
      {{750, 100, 100, 550}, false, "x2 < x"},
      {{3000, 100, 3650, 550}, false, "right of every monitor"},
      {{100, -900, 750, -450}, false, "below every work area"},
      {{1240, 100, 1890, 1100}, false, "caption above the second monitor, body beside"},
      {{-640, 100, 10, 550}, false, "only 10 px on screen"},
      {{-600, 100, 50, 550}, true, "50 px of the caption on screen"},
      {{2300, 700, 2950, 1150}, false, "a corner of 4 x 68 px on the second monitor"},
      {{0, 0, 20000, 450}, false, "wider than any surface"},
      {{static_cast<i32>(0x80000000u), 0, 0x7FFFFFFF, 450}, false, "width overflows 32 bits"},
      {{100, 970, 750, 1420}, false, "caption above the work area"},
      {{100, 530, 750, 980}, true, "caption just inside the work area's top"},
      // The last pixel either way: 48 x 24 of the caption band is enough,
      // one column or row less is not.
      {{-602, 100, 48, 550}, true, "48 px of the caption on the left edge"},
      {{-603, 100, 47, 550}, false, "47 px of the caption on the left edge"},
      {{1232, 100, 1882, 550}, true, "48 px on the first monitor, the rest on the second"},
      {{2256, 100, 2906, 550}, true, "48 px on the second monitor's right edge"},
      {{2257, 100, 2907, 550}, false, "47 px on the second monitor's right edge"},
      {{100, 544, 750, 994}, true, "the caption's top row on the work area's top row"},
      {{100, 545, 750, 995}, false, "the caption one row above it"},
      {{100, -426, 750, 24}, true, "the caption's 24 rows just above the work area's bottom"},
      {{100, -427, 750, 23}, false, "23 rows of it"},
      // A window lower than the caption band needs only its own height.
      {{100, 100, 750, 110}, true, "10 px high, all of it inside"},
      {{100, -5, 750, 5}, false, "10 px high, half of it below the work area"},
  };
  for (const SavedCase& c : cases) {
    EXPECT_EQ(c.usable, IsUsableMainRect(c.saved, kAreas, 2)) << c.why;
    const Rect chosen = ChooseMainRect(&c.saved, kAreas, 2, 1280, 994);
    EXPECT_TRUE(SameRect(c.usable ? c.saved : DefaultMainRect(1280, 994), chosen)) << c.why;
  }
  EXPECT_TRUE(SameRect(DefaultMainRect(1280, 994), ChooseMainRect(nullptr, kAreas, 2, 1280, 994)));
}

}  // namespace
