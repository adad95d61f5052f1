// The pages' own bars in the real window: every item's label, measured in
// the font the bar paints it with, fits whole in its item, and the item
// lies inside the bar and the bar inside its page, in English and Spanish,
// at the window's first size and at its smallest (640 x 480). Each page
// after a language switch is saved as a screenshot in the build folder.
#include <gtest/gtest.h>

#include <string>

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"
#include "app/pages/audio_project_page.h"
#include "app/pages/explorer_page.h"
#include "app_session_win.h"
#include "open_page_win.h"
#include "person_win.h"
#include "system_workers_win.h"

namespace {

using AudioPage = CAudioProjectPage<CMainFrame::PageHost>;

// Every item of the bar with a label: the label's width in the bar's font
// within the room the theme centres it in (the item less its picture), the
// item inside the bar's content, the bar inside the page's content.
template <class TBar>
void ExpectLabelsWhole(TBar& bar, const CWidget& page, u32 expectedLabels, const std::string& where) {
  ASSERT_NE(nullptr, bar.model) << where;
  CFontRef font(GetDefaultFont());
  ASSERT_NE(nullptr, font.Get());
  const Rect barContent = bar.GetContentRect();
  const Rect pageContent = page.GetContentRect();
  EXPECT_GE(bar.x, 0) << where;
  EXPECT_LE(bar.x + bar.width, pageContent.right) << where;
  u32 labels = 0;
  for (i32 i = 0; i < bar.model->count; ++i) {
    const UiString* text = bar.model->GetItemText(i);
    const MenuItem* item = bar.model->GetItem(i);
    ASSERT_NE(nullptr, item);
    const Rect& r = bar.itemRects[static_cast<u32>(i)];
    const std::string what = where + ", item " + std::to_string(bar.model->GetItemId(i));
    EXPECT_GE(r.left, 0) << what;
    EXPECT_LE(r.right, barContent.right) << what;
    if (!text || !text->length) continue;
    ++labels;
    const i32 picture = item->icon != kMenuIconNone ? static_cast<i32>(bar.icons.frameWidth) : 0;
    const double width = font.Get()->MeasureText(text->text, static_cast<i32>(text->length));
    EXPECT_LE(width, r.right - r.left - picture) << what << " in an item " << r.right - r.left << " wide";
  }
  EXPECT_EQ(expectedLabels, labels) << where;
}

// The pages with a bar of their own, how each is opened and its bar found,
// and how many of the bar's items carry a label.
struct PageBar {
  const char* name;
  const wchar_t* shot;  // screenshot name
  u32 command;
  u32 labels;
  void (*check)(CWidget* page, u32 labels, const std::string& where);
};

template <class TPage>
void CheckBarOf(CWidget* page, u32 labels, const std::string& where) {
  ASSERT_NE(nullptr, page) << where;
  TPage* shown = static_cast<TPage*>(page);
  ExpectLabelsWhole(shown->menuBar, *shown, labels, where);
}

const PageBar kPageBars[] = {
    {"data project", L"e2e-bar-data-project", kCmdNewData, 1, &CheckBarOf<ExplorerPage>},
    {"audio project", L"e2e-bar-audio-project", kCmdNewAudio, 0, &CheckBarOf<AudioPage>},
};

// Each page opened in either language and the language then switched from
// the menu while it shows, at the first size and at 640 x 480.
TEST(EndToEndPageBars, EveryLabelShowsWholeInBothLanguagesAndSizes) {
  WarmUpDropWorkers();  // the audio project's track list takes drops
  CAppSession app;
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    // The Language menu offers only the language not in use.
    bool inSpanish = false;
    auto speak = [&](bool spanish) {
      if (spanish == inSpanish) return true;
      inSpanish = spanish;
      return p.ChooseMenuItem(spanish ? kCmdSpanish : kCmdEnglish);
    };
    for (bool smallest : {false, true}) {
      if (smallest) p.OnUi([](CMainFrame& f) { f.ResizeCentered(640, 480); });
      for (const PageBar& bar : kPageBars) {
        for (bool openedInSpanish : {false, true}) {
          ASSERT_TRUE(speak(openedInSpanish));
          ASSERT_TRUE(p.ChooseMenuItem(bar.command));
          ASSERT_TRUE(p.WaitUntil(bar.name, [](CMainFrame& f) { return OpenPage(f) != nullptr; }));
          for (bool spanish : {openedInSpanish, !openedInSpanish}) {
            ASSERT_TRUE(speak(spanish));
            ASSERT_TRUE(p.Settle());
            const std::string where = std::string(bar.name) + (spanish ? ", Spanish" : ", English") +
                                      (spanish != openedInSpanish ? " after the switch" : "") +
                                      (smallest ? ", 640 x 480" : ", first size");
            p.OnUi([&](CMainFrame& f) { bar.check(OpenPage(f), bar.labels, where); });
            if (spanish != openedInSpanish)
              p.Screenshot((std::wstring(bar.shot) + (smallest ? L"-640" : L"") + (spanish ? L"-es.png" : L".png")).c_str());
          }
          ASSERT_TRUE(p.ChooseMenuItem(kCmdCloseWindow));
          ASSERT_TRUE(p.WaitUntil("the page to close", [](CMainFrame& f) { return OpenPage(f) == nullptr; }));
        }
      }
    }
    ASSERT_TRUE(speak(false));
  }));
}

}  // namespace
