// The information pages in a page host whose owner holds a drive manager
// over the simulated recorder (drive E:), and the page's drawing read back
// as rows of text.
#pragma once
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/main_window/page_host.h"
#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "runtime/ui_strings.h"
#include "support/recorder_fixture.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fake_owner.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/probe_widgets.h"

class CInfoPagesOwner : public CFakeOwnerOf<CInfoPagesOwner> {
 public:
  typedef CPageHost<CProbe, CInfoPagesOwner> Host;
  CInfoPagesOwner() {
    width = 1000;
    height = 560;
    const Rect r = {0, 0, 1000, 520};
    host.Create(kFlagVisible | 0x8002, &r, this);
  }
  auto Children() { return std::tie(host); }
  void OnPageActivated(CPageHolder*) {}
  void SetWindowCommands(bool, bool) {}
  void SaveTaskViewState(bool) {}
  void PostFreePages() { host.FreeClosedPages(); }
  CDriveManager drives;  // enumerates the drives attached before it
  Host host;
};

typedef CDiscInfoPage<CInfoPagesOwner::Host> DiscPage;
typedef CDeviceInfoPage<CInfoPagesOwner::Host> DevicePage;

// Fonts, the pane's shadow and the English texts, which a suite that ran
// the program's exit callbacks before may have taken away.
inline void PrepareInfoPages() {
  if (FontListCount() == 0) InitFontList();
  if (!GetPaneShadow()) InitPaneShadow();
  InstallBuiltInLanguages();
  SetCurrentLanguage(kLanguageEnglish);
}

class InfoPagesTest : public RecorderTest {
 protected:
  InfoPagesTest() { PrepareInfoPages(); }
  ~InfoPagesTest() override {
    owner_.reset();
    StoreFocusedWidget(nullptr);
  }
  // A new owner (and drive manager) over the drives attached so far.
  CInfoPagesOwner& Owner() {
    owner_.reset(new CInfoPagesOwner());
    return *owner_;
  }
  DiscPage& OpenDiscPage() {
    CInfoPagesOwner& o = owner_ ? *owner_ : Owner();
    o.host.OpenDiscInfoPage();
    return *static_cast<DiscPage*>(o.host.Current()->Widget());
  }
  DevicePage& OpenDevicePage() {
    CInfoPagesOwner& o = owner_ ? *owner_ : Owner();
    o.host.OpenDeviceInfoPage();
    return *static_cast<DevicePage*>(o.host.Current()->Widget());
  }

  std::unique_ptr<CInfoPagesOwner> owner_;
};

inline std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// Text runs as rows: a run in the value colour joins the run before it
// ("label value"), a white run (a badge) stands as "[text]".
inline std::vector<std::string> TextRows(const CCanvas& canvas, u32 valueColour, u32 badgeColour) {
  std::vector<std::string> rows;
  for (const DrawnRecord& r : RecordsOf(ReadRecords(canvas), kOpTextRun)) {
    if (r.colour == valueColour && !rows.empty())
      rows.back() += " " + Narrow(r.text);
    else if (r.colour == badgeColour)
      rows.push_back("[" + Narrow(r.text) + "]");
    else
      rows.push_back(Narrow(r.text));
  }
  return rows;
}
