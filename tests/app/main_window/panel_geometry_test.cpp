#include <gtest/gtest.h>

#include <climits>

#include "app/main_window/start_strip_paint.h"
#include "app/main_window/task_view_geometry.h"

namespace {

TEST(TaskViewGeometry, PlaceKeepsAStoredOffsetInsideTheHost) {
  struct Case {
    i32 offset, hostWidth, contentWidth, x;
  };
  const Case cases[] = {
      {-1, 650, 650, 113},   // centred: 650 / 2 - 212
      {-1, 300, 300, -62},   // centred is not clamped in a narrow host
      {100, 650, 650, 100},
      {400, 650, 650, 226},  // would reach past the right edge
      {400, 300, 300, 0},    // host narrower than the panel
      {-200, 650, 650, 0},   // a stored negative offset is no place
  };
  for (const Case& c : cases) EXPECT_EQ(c.x, TaskViewPlaceX(c.offset, c.hostWidth, c.contentWidth)) << c.offset;
}

TEST(TaskViewGeometry, DragClampsAndEntriesStackFromTheTop) {
  EXPECT_EQ(150, TaskViewDragX(100, 500, 550, 800));
  EXPECT_EQ(0, TaskViewDragX(100, 500, 300, 800));
  EXPECT_EQ(376, TaskViewDragX(100, 500, 900, 800));
  EXPECT_EQ(188, TaskViewCentreX(800));
  EXPECT_EQ(0, TaskViewCentreX(300));
  // One entry in a tall pane without a bar stands at its top.
  EXPECT_EQ(500 - 138, JobEntryY(0, 154, 500, 0));
}

// A drag step moves the panel by the cursor's movement in either
// direction and stops it at both edges of the host, on their last pixel:
// at 0 and at contentWidth - 424, not one further.
TEST(TaskViewGeometry, DragsBothWaysAndStopsAtBothEdgesExactly) {
  struct Case {
    i32 panelX, anchorX, cursorX, contentWidth, x;
  };
  const Case cases[] = {
      {100, 500, 501, 800, 101},  // right by one
      {100, 500, 499, 800, 99},   // left by one
      {100, 500, 400, 800, 0},    // exactly to the left edge
      {100, 500, 399, 800, 0},    // one past it
      {100, 500, 776, 800, 376},  // exactly to the right edge
      {100, 500, 777, 800, 376},  // one past it
      {376, 10, 9, 800, 375},     // back from the right edge
      {0, 10, 11, 800, 1},        // back from the left edge
      {0, 10, 50, 424, 0},        // a host just as wide: nowhere to go
      {0, 10, 50, 300, 0},        // a narrower one
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.x, TaskViewDragX(c.panelX, c.anchorX, c.cursorX, c.contentWidth))
        << c.panelX << " " << c.cursorX - c.anchorX << " in " << c.contentWidth;
  // A stored offset keeps its place up to the right edge's last pixel.
  EXPECT_EQ(376, TaskViewPlaceX(376, 800, 800));
  EXPECT_EQ(376, TaskViewPlaceX(377, 800, 800));
  EXPECT_EQ(375, TaskViewPlaceX(375, 800, 800));
  EXPECT_EQ(0, TaskViewPlaceX(0, 800, 800));
  // The stored offset is checked against the content, the centre taken
  // from the host's own width.
  EXPECT_EQ(300, TaskViewPlaceX(300, 900, 800));
  EXPECT_EQ(238, TaskViewPlaceX(-1, 900, 800));
  // Centring: odd widths round down, both sides within one pixel.
  EXPECT_EQ(188, TaskViewCentreX(801));
  EXPECT_EQ(0, TaskViewCentreX(424));
  EXPECT_EQ(0, TaskViewCentreX(425));
  EXPECT_EQ(1, TaskViewCentreX(426));
}

// The job pane: 154 pixels per entry; at the top the first entry touches
// the pane's top, each next one 154 lower; scrolled to the bottom the last
// one ends 16 above the pane's bottom (the pitch less an entry). The scroll
// offset runs from the part that does not fit (top) to 0 (bottom).
TEST(TaskViewGeometry, JobEntriesStackByThePitchAndScrollEndToEnd) {
  EXPECT_EQ(0, JobPaneContentHeight(0));
  EXPECT_EQ(154, JobPaneContentHeight(1));
  EXPECT_EQ(462, JobPaneContentHeight(3));
  const i32 view = 400, content = 462;
  // At the top (offset = the hidden part): entry i's lower edge, from the
  // pane's top down; at the bottom the last one ends 16 above the pane's
  // bottom.
  const i32 top = content - view;
  const i32 bottom = 0;
  for (u32 i = 0; i < 3; ++i) EXPECT_EQ(view - 138 - 154 * static_cast<i32>(i), JobEntryY(i, content, view, top)) << i;
  EXPECT_EQ(16, JobEntryY(2, content, view, bottom));
  EXPECT_EQ(16 + 154, JobEntryY(1, content, view, bottom));
  // Entries that fit stand from the pane's top whatever the offset says.
  EXPECT_EQ(view - 138 - 154, JobEntryY(1, 308, view, 0));
}

// The panel stands inside the host: from 0 to the host's right edge, or,
// in a host narrower than the panel, over the whole host.
::testing::AssertionResult InsideTheHost(i32 x, i32 width) {
  const i64 right = static_cast<i64>(x) + kTaskViewWidth;
  const bool inside = width >= kTaskViewWidth ? x >= 0 && right <= width : x <= 0 && right >= width;
  if (inside) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "x " << x << " in a host " << width << " wide";
}

// The stored offset is whatever the registry holds: every value, the
// centred marker among them, places the panel inside the host, whatever
// the host's width; the values near the top of the range must not wrap
// round when the panel's width is added.
TEST(TaskViewGeometry, EveryStoredOffsetPlacesThePanelInsideTheHost) {
  const i32 offsets[] = {0, 1, -1, -2, -424, INT_MIN, INT_MIN + 1, INT_MAX, INT_MAX - 423, INT_MAX - 424,
                         INT_MAX - 425, 1 << 30, 376, 377, 100000};
  const i32 widths[] = {0, 1, 300, 423, 424, 425, 650, 800, 1280, 4096};
  for (i32 width : widths)
    for (i32 offset : offsets) EXPECT_TRUE(InsideTheHost(TaskViewPlaceX(offset, width, width), width)) << offset;
  // At the right edge, however far past it the value lies.
  for (i32 offset : {INT_MAX, INT_MAX - 423, INT_MAX - 424}) EXPECT_EQ(800 - 424, TaskViewPlaceX(offset, 800, 800));
}

// A drag step adds the cursor's travel to the panel's x: a travel that
// would leave the i32 range still ends at an edge.
TEST(TaskViewGeometry, EveryDragStepKeepsThePanelInsideTheHost) {
  struct Case {
    i32 panelX, anchorX, cursorX, x;
  };
  const Case cases[] = {
      {376, INT_MIN, INT_MAX, 376},  // the furthest travel to the right
      {0, INT_MAX, INT_MIN, 0},      // and to the left
      {376, -1, INT_MAX, 376},
      {0, 1, INT_MIN, 0},
      {376, 0, INT_MAX, 376},
      {INT_MAX, 0, 1, 376},
      {INT_MIN, 0, -1, 0},
      {100, 500, 600, 200},
  };
  for (const Case& c : cases) {
    for (i32 width : {0, 300, 424, 800}) {
      const i32 x = TaskViewDragX(c.panelX, c.anchorX, c.cursorX, width);
      EXPECT_TRUE(InsideTheHost(x, width)) << c.panelX << " " << c.anchorX << " " << c.cursorX;
      if (width == 800) {
        EXPECT_EQ(c.x, x) << c.panelX << " " << c.anchorX << " " << c.cursorX;
      }
    }
  }
}

// Tiles keep string ids: their title and description are split from the
// current language's text at every paint, in either language.
TEST(StartStripTexts, TitleAndDescriptionComeFromTheCurrentText) {
  InstallBuiltInLanguages();
  const u32 before = GetCurrentLanguage();
  for (u32 language : {kLanguageEnglish, kLanguageSpanish}) {
    ASSERT_TRUE(SetCurrentLanguage(language));
    for (u32 id : {138u, 139u, 140u, 141u, 142u}) {
      const UiString* text = GetUiString(id);
      UiString title, description;
      TileTextParts(*text, &title, &description);
      EXPECT_EQ(text->text, title.text);
      ASSERT_LT(title.length, text->length) << id;
      EXPECT_EQ(u'\t', text->text[title.length]);
      EXPECT_EQ(text->text + title.length + 1, description.text);
      EXPECT_EQ(text->length, title.length + 1 + description.length);
    }
  }
  const wchar16 plain[] = u"Plain";
  UiString title, description;
  TileTextParts({plain, 5}, &title, &description);
  EXPECT_EQ(5u, title.length);
  EXPECT_EQ(0u, description.length);
  SetCurrentLanguage(before);
}

}  // namespace
