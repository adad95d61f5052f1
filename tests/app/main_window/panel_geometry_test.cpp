#include <gtest/gtest.h>

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
  EXPECT_EQ(0, JobPaneScrollOffset(0.5, false, 0, 154, 500));
  EXPECT_EQ(500 - 138, JobEntryY(0, 154, 500, 0));
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
