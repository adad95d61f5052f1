#include <gtest/gtest.h>

#include "app/job_windows/browse_dialog.h"
#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "app/pages/audio_project_page.h"
#include "app/pages/explorer_page.h"
#include "app/startup/startup_table.h"
#include "render/canvas_text.h"
#include "render/text/font.h"
#include "render/shadow_generator.h"
#include "runtime/clock.h"
#include "runtime/platform.h"
#include "runtime/startup.h"
#include "runtime/ui_strings.h"
#include "ui/support/ui_test_platform.h"
#include "ui/widgets/caret_blink.h"
#include "ui/windows/dialogs/folder_browser.h"
#include "ui/windows/frame/window_registry.h"
#include "ui/windows/theme/theme_metrics.h"
#include "ui/windows/theme/theme_painter.h"

namespace {

// The real start-up table registers its exit callbacks in table order, so
// the program's globals are torn down font list first, then the window
// registry, the shadows, the folder browser's caret thread and event, the
// theme painter, then the four other edit classes' caret threads and
// events. The painter is built by its entry and ended by its callback.
TEST(StartupTable, BuildsTheGlobalsAndRegistersTheirExitCallbacksInOrder) {
  rt::RunExitCallbacks();  // an empty exit list to start from
  ASSERT_EQ(0u, rt::ExitListCount());
  ASSERT_EQ(nullptr, BuiltInThemePainter());
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
  EXPECT_NE(nullptr, BuiltInThemePainter()) << "the theme's entry builds the painter";
  EXPECT_EQ(BuiltInThemePainter(), ThemePainter());
  const rt::ExitRoutine expected[] = {DestroyFontList,
                                      FreeWindowRegistry,
                                      DestroyPopupShadow,
                                      DestroyPaneShadow,
                                      DestroyWindowShadow,
                                      CloseCaretThread<kCaretSlotFolderBrowser>,
                                      CloseCaretEvent<kCaretSlotFolderBrowser>,
                                      DestroyThemePainter,
                                      CloseCaretThread<kCaretSlotBrowseDialog>,
                                      CloseCaretEvent<kCaretSlotBrowseDialog>,
                                      CloseCaretThread<kCaretSlotBurnImage>,
                                      CloseCaretEvent<kCaretSlotBurnImage>,
                                      CloseCaretThread<kCaretSlotAudioTrack>,
                                      CloseCaretEvent<kCaretSlotAudioTrack>,
                                      CloseCaretThread<kCaretSlotExplorerTree>,
                                      CloseCaretEvent<kCaretSlotExplorerTree>};
  ASSERT_EQ(sizeof(expected) / sizeof(expected[0]), rt::ExitListCount());
  for (u32 i = 0; i < rt::ExitListCount(); ++i)
    EXPECT_EQ(expected[i], rt::ExitListEntry(i)) << "exit callback " << i;

  rt::RunExitCallbacks();
  EXPECT_EQ(nullptr, GetPopupShadow());
  EXPECT_EQ(nullptr, GetWindowShadow());
  EXPECT_EQ(0u, FontListCount());
  EXPECT_EQ(nullptr, BuiltInThemePainter()) << "ended by its exit callback";
  EXPECT_EQ(nullptr, ThemePainter());
  RestoreProgramResources();
}

TEST(StartupTable, SlotsKeepTheirPositions) {
  // Twenty slots: each initialiser's exit callback takes its slot's place.
  ASSERT_EQ(20u, GetStartupTableSize());
  const rt::InitRoutine table[] = {InitFontList,
                                   InitCounterFrequency,
                                   RegisterWindowRegistryFree,
                                   InitPopupShadow,
                                   InitPaneShadow,
                                   InitWindowShadow,
                                   LookupIsWow64Process,
                                   RegisterCaretThreadCloser<kCaretSlotFolderBrowser>,
                                   RegisterCaretEventCloser<kCaretSlotFolderBrowser>,
                                   InitEnglishStrings,
                                   InitSpanishStrings,
                                   InitTheme,
                                   RegisterCaretThreadCloser<kCaretSlotBrowseDialog>,
                                   RegisterCaretEventCloser<kCaretSlotBrowseDialog>,
                                   RegisterCaretThreadCloser<kCaretSlotBurnImage>,
                                   RegisterCaretEventCloser<kCaretSlotBurnImage>,
                                   RegisterCaretThreadCloser<kCaretSlotAudioTrack>,
                                   RegisterCaretEventCloser<kCaretSlotAudioTrack>,
                                   RegisterCaretThreadCloser<kCaretSlotExplorerTree>,
                                   RegisterCaretEventCloser<kCaretSlotExplorerTree>};
  for (u32 i = 0; i < 20; ++i) EXPECT_EQ(table[i], GetStartupTable()[i]) << "entry " << i + 1;
}

void Tick(void*) {}

// Each pair of caret callbacks ends the blink of the text-edit class the
// table binds it to, and no other, whichever class blinked first: the
// folder browser's edit by the callbacks of entries 8 and 9; the browse
// dialog's, the burn-image window's, the audio track rows' and the
// explorer tree's by those of entries 13 to 20. The callbacks of a class
// that never blinked have nothing to do. (In the exit list these are
// positions 5 and 6 and 8 to 15: entries 2, 7, 10 and 11 register nothing.)
TEST(StartupTable, EachCaretCallbackPairEndsTheBlinkOfTheEditClassItIsBoundTo) {
  using Host = CMainFrame::PageHost;
  using FolderTree = decltype(CFolderBrowser::tree);
  const struct {
    const char* name;
    CCaretBlink& blink;
    u32 thread;  // its exit-list position; the event's follows it
  } cases[] = {
      {"explorer tree's label editor", decltype(CExplorerPage<Host>::Tree::editor)::Blink(), 14},
      {"audio track row's pause field", decltype(CAudioProjectPage<Host>::Row::pauseField)::Blink(), 12},
      {"burn-image window's path", decltype(CBurnImageWindow::imagePath)::Blink(), 10},
      {"browse dialog's name field", decltype(CBrowseDialog::nameField)::Blink(), 8},
      {"folder browser tree's label editor", decltype(FolderTree::editor)::Blink(), 5},
  };
  const u32 caretCallbacks[] = {5, 6, 8, 9, 10, 11, 12, 13, 14, 15};
  rt::RunExitCallbacks();  // an empty exit list to start from
  rt::RunInitializers(GetStartupTable(), GetStartupTableSize());
  ASSERT_EQ(16u, rt::ExitListCount());
  int edit = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.blink.Start(nullptr, Tick, &edit);
    ASSERT_TRUE(c.blink.IsRunning());
    for (u32 at : caretCallbacks) {
      if (at == c.thread || at == c.thread + 1) continue;
      rt::ExitListEntry(at)();
      EXPECT_TRUE(c.blink.IsRunning()) << "exit callback " << at;
    }
    rt::ExitListEntry(c.thread)();
    EXPECT_FALSE(c.blink.IsRunning()) << "ended by exit callback " << c.thread;
    EXPECT_EQ(&edit, c.blink.Target());
    rt::ExitListEntry(c.thread + 1)();
    EXPECT_EQ(nullptr, c.blink.Target()) << "its event closed by exit callback " << c.thread + 1;
  }
  rt::RunExitCallbacks();
  RestoreProgramResources();
}

}  // namespace
