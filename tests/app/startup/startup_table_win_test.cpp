#include <gtest/gtest.h>

#include "app/startup/startup_table.h"
#include "render/canvas_text.h"
#include "render/text/font.h"
#include "render/shadow_generator.h"
#include "runtime/clock.h"
#include "runtime/platform.h"
#include "runtime/startup.h"
#include "runtime/ui_strings.h"
#include "ui/widgets/caret_blink.h"
#include "ui/windows/frame/window_registry.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

// The real start-up table registers its exit callbacks in table order, so
// the program's globals are torn down font list first, then the window
// registry, the shadows and the first caret slot's thread and event, then
// the four other caret slots'.
TEST(StartupTable, BuildsTheGlobalsAndRegistersTheirExitCallbacksInOrder) {
  rt::RunExitCallbacks();  // an empty exit list to start from
  ASSERT_EQ(0u, rt::ExitListCount());
  g_counterFrequency = 0.0;

  rt::RunInitializers(GetStartupTable(), GetStartupTableSize());

  EXPECT_GT(g_counterFrequency, 0.0);
  EXPECT_NE(nullptr, GetPopupShadow());
  EXPECT_NE(nullptr, GetPaneShadow());
  EXPECT_NE(nullptr, GetWindowShadow());
  CFont* font = GetDefaultFont();
  EXPECT_NE(nullptr, font) << "the default UI font must open from the system faces";
  ReleaseCanvasFont(font);
  EXPECT_EQ(10u, GetUiString(kUiStringCount)->length) << "bounded lookup falls back";
  EXPECT_EQ(2u, GetUiString(0)->length);

  EXPECT_EQ(16, ThemeScrollBarSize()) << "theme metrics set";
  EXPECT_EQ(0xFF81A1C1u, ThemeAccentColor()) << "theme colours set";
  const rt::ExitRoutine expected[] = {DestroyFontList,     FreeWindowRegistry,  DestroyPopupShadow,
                                      DestroyPaneShadow,   DestroyWindowShadow, CloseCaretThread<0>,
                                      CloseCaretEvent<0>,  CloseCaretThread<1>, CloseCaretEvent<1>,
                                      CloseCaretThread<2>, CloseCaretEvent<2>,  CloseCaretThread<3>,
                                      CloseCaretEvent<3>,  CloseCaretThread<4>, CloseCaretEvent<4>};
  ASSERT_EQ(sizeof(expected) / sizeof(expected[0]), rt::ExitListCount());
  for (u32 i = 0; i < rt::ExitListCount(); ++i)
    EXPECT_EQ(expected[i], rt::ExitListEntry(i)) << "exit callback " << i;

  rt::RunExitCallbacks();
  EXPECT_EQ(nullptr, GetPopupShadow());
  EXPECT_EQ(nullptr, GetWindowShadow());
  EXPECT_EQ(0u, FontListCount());
}

TEST(StartupTable, SlotsKeepTheirPositions) {
  // Twenty slots: each initialiser's exit callback takes its slot's place.
  ASSERT_EQ(20u, GetStartupTableSize());
  const rt::InitRoutine* table = GetStartupTable();
  EXPECT_EQ(&InitFontList, table[0]);
  EXPECT_EQ(&InitCounterFrequency, table[1]);
  EXPECT_EQ(&RegisterWindowRegistryFree, table[2]);
  EXPECT_EQ(&InitPopupShadow, table[3]);
  EXPECT_EQ(&InitPaneShadow, table[4]);
  EXPECT_EQ(&InitWindowShadow, table[5]);
  EXPECT_EQ(&LookupIsWow64Process, table[6]);
  EXPECT_EQ(&RegisterCaretThreadCloser<0>, table[7]);
  EXPECT_EQ(&RegisterCaretEventCloser<0>, table[8]);
  EXPECT_EQ(&InitEnglishStrings, table[9]);
  EXPECT_EQ(&InitSpanishStrings, table[10]);
  EXPECT_EQ(&InitTheme, table[11]);
  const rt::InitRoutine carets[] = {RegisterCaretThreadCloser<1>, RegisterCaretEventCloser<1>,
                                    RegisterCaretThreadCloser<2>, RegisterCaretEventCloser<2>,
                                    RegisterCaretThreadCloser<3>, RegisterCaretEventCloser<3>,
                                    RegisterCaretThreadCloser<4>, RegisterCaretEventCloser<4>};
  for (u32 i = 0; i < 8; ++i) EXPECT_EQ(carets[i], table[12 + i]) << "entry " << 13 + i;
}

}  // namespace
