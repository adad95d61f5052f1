// The language switch and the pages that are open at the time: each kind
// of page is opened in English in one main window, the window switches to
// Spanish, and the page must then look exactly like the same page opened
// afresh in Spanish in a second window: the same drawing (texts, their
// places and the boxes measured for them) and the same measured text of
// every label.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"
#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "runtime/settings.h"
#include "runtime/win.h"
#include "support/simulated_device_io.h"
#include "support/simulated_recorder.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/ui_test_platform.h"

namespace {

typedef CMainFrame::PageHost Host;
typedef CJobPane<CTaskView<Host>> JobPane;
typedef CExplorerPage<Host> Explorer;

const wchar_t kRootKeyPath[] = L"SOFTWARE\\VANTO SOFTWARE\\Kelvane 0.6";

// Each window starts with its task view closed where the last one left it.
void ForgetTaskView() {
  HKEY root;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kRootKeyPath, 0, KEY_SET_VALUE, &root) == ERROR_SUCCESS) {
    RegDeleteValueW(root, L"TaskViewShow");
    RegDeleteValueW(root, L"TaskViewOffset");
    RegCloseKey(root);
  }
}

void ForgetSettings() {
  RegDeleteKeyW(HKEY_CURRENT_USER, (std::wstring(kRootKeyPath) + L"\\Main").c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, (std::wstring(kRootKeyPath) + L"\\Explorer").c_str());
  ForgetTaskView();
}

std::u16string FixturePath(const char* relative) {
  wchar_t full[MAX_PATH];
  std::string r(relative);
  std::wstring w(r.begin(), r.end());
  const DWORD n = GetFullPathNameW(w.c_str(), MAX_PATH, full, nullptr);
  return std::u16string(reinterpret_cast<const char16_t*>(full), n);
}

std::string Narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}

// One drawing command as a line; bitmaps by size only (each window loads
// its own copy of the pictures).
std::string Line(const DrawnRecord& r) {
  char box[256];
  std::snprintf(box, sizeof box, "op%u %.2f,%.2f,%.2f,%.2f r%.2f w%.2f a%.2f c%08x/%08x p%u g%.2f,%.2f o%.2f", r.op,
                r.x0, r.y0, r.x1, r.y1, r.radius, r.width, r.angle, r.colour, r.colour1, r.paint, r.g0, r.g1,
                r.opacity);
  return std::string(box) + (r.op == kOpTextRun ? " \"" + Narrow(r.text) + "\"" : "");
}

// What the page host shows with its current page, as lines.
std::vector<std::string> Drawn(CMainFrame& f) {
  CMemoryCanvas m(f.pageHost.width, f.pageHost.height);
  PaintWidget(f.pageHost, m.canvas);
  std::vector<std::string> lines;
  for (const DrawnRecord& r : ReadRecords(m.canvas)) lines.push_back(Line(r));
  return lines;
}

// The measured text of every label in a widget tree (a link is clicked
// there), in tree order.
KELVANE_WIDGET_TRAIT(HasTextRect, widget_traits::Fake<T>().textRect)
template <class W>
void MeasuredTexts(W& w, std::vector<std::string>* out) {
  if constexpr (HasTextRect<W>::value) {
    const Rect& r = w.textRect;
    out->push_back(std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
                   std::to_string(r.bottom));
  }
  if constexpr (HasChildren<W>::value && !IsIndirectChildren<W>::value)
    ForEachChild(w, [&](auto& child) {
      MeasuredTexts(child, out);
      return false;
    });
}

// A burn while it writes, its memory cache's size given as its job gives
// it.
template <class TPage>
void ShowBurning(TPage& page) {
  IJobUi& ui = page;
  page.engine.progressStart = ReadCounterNow() + (i64{1} << 50);  // no time has passed
  page.engine.status = kStatusBurning;
  ui.ShowBar(kBarMemoryCache, true);
  ui.ShowBar(kBarDeviceCache, true);
  CWideString caption(u" (");
  caption.AppendByteSize(64.0 * 1024 * 1024);
  caption.Append(u")");
  ui.SetCaption(kBarMemoryCache, caption.c_str());
}

struct PageKind {
  const char* name;
  // Opens the page in the window and makes it current; the other checks
  // (labels) are given the page's holder.
  std::function<CPageHolder*(CMainFrame&)> open;
  std::function<void(CPageHolder*, std::vector<std::string>*)> labels;
};

class LanguageSwitchTest : public ::testing::Test {
 protected:
  LanguageSwitchTest() : installed_(io_) {
    RestoreProgramResources();
    ForgetSettings();
    io_.AddOpticalDrive(u'E', &recorder_);
    MediumOptions cdrw;
    cdrw.preset = MediumPreset::kCdRw;
    cdrw.fill = DiscFill::kComplete;
    recorder_.InsertMedium(cdrw);
    recorder_.MakeReady();
  }
  ~LanguageSwitchTest() {
    SetCurrentLanguage(kLanguageEnglish);
    ForgetSettings();
  }

  CSimulatedRecorder recorder_;
  CSimulatedDeviceIo io_;
  CInstalledDeviceIo installed_;
};

}  // namespace

TEST_F(LanguageSwitchTest, AnOpenPageShowsWhatTheSamePageOpenedInTheNewLanguageShows) {
  const auto explorerLabels = [](CPageHolder* h, std::vector<std::string>* out) {
    MeasuredTexts(*static_cast<Explorer*>(h->Widget()), out);
  };
  const PageKind kinds[] = {
      {"start strip",
       [](CMainFrame& f) {
         f.pageHost.list.Activate(f.pageHost.StartStripHolder());
         return f.pageHost.StartStripHolder();
       },
       nullptr},
      {"data project",
       [](CMainFrame& f) {
         // The project's name is the disc's label: the user's, not the
         // interface's, so a switch leaves it. Both projects get one.
         CSettingsKey().WriteString(u"\\Explorer", u"DiscLabel", u"Backup");
         f.OnCommand(kCmdNewData);
         return f.pageHost.Current();
       },
       explorerLabels},
      {"image browsed",
       [](CMainFrame& f) {
         f.pageHost.OpenImageFile(FixturePath("fixtures\\iso\\joliet.iso").c_str());
         return f.pageHost.Current();
       },
       explorerLabels},
      {"audio project",
       [](CMainFrame& f) {
         f.OnCommand(kCmdNewAudio);
         auto* page = static_cast<CAudioProjectPage<Host>*>(f.pageHost.Current()->Widget());
         page->AddTrack(FixturePath("fixtures\\audio\\t588000.wav").c_str());
         return f.pageHost.Current();
       },
       nullptr},
      {"disc information",
       [](CMainFrame& f) {
         f.OnCommand(kCmdDiscInfo);
         return f.pageHost.Current();
       },
       nullptr},
      {"device information",
       [](CMainFrame& f) {
         f.OnCommand(kCmdDeviceInfo);
         return f.pageHost.Current();
       },
       nullptr},
      {"job pages",
       [](CMainFrame& f) {
         JobPane& pane = f.pageHost.taskView.pane;
         auto* burning = task_view_jobs::AddJobPage<CBurnJobPage<JobPane>>(pane);
         auto* ended = task_view_jobs::AddJobPage<CFormatJobPage<JobPane>>(pane);
         auto* saving = task_view_jobs::AddJobPage<CSavingJobPage<JobPane>>(pane);
         if (!burning || !ended || !saving) return static_cast<CPageHolder*>(nullptr);
         ShowBurning(burning->page);
         burning->page.ModifyFlags(0, kFlagVisible);
         ended->page.engine.SetFlags(kJobFinished);
         IJobUi& ui = ended->page;
         ui.ShowFinishedState();
         ui.ShowEndState();
         ended->page.ModifyFlags(0, kFlagVisible);
         saving->page.engine.progressStart = ReadCounterNow() + (i64{1} << 50);
         saving->page.ModifyFlags(0, kFlagVisible);
         f.pageHost.ShowTaskView(true);
         return f.pageHost.Current();
       },
       [](CPageHolder* h, std::vector<std::string>* out) {
         CTaskView<Host>* view = static_cast<CTaskView<Host>*>(h->Widget());
         MeasuredTexts(*view, out);
         MeasuredTexts(static_cast<CBurnJobPage<JobPane>&>(*view->pane.jobs[0]->Widget()), out);
         MeasuredTexts(static_cast<CFormatJobPage<JobPane>&>(*view->pane.jobs[1]->Widget()), out);
         MeasuredTexts(static_cast<CSavingJobPage<JobPane>&>(*view->pane.jobs[2]->Widget()), out);
       }},
  };
  for (const PageKind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    SetCurrentLanguage(kLanguageEnglish);
    ForgetSettings();
    CMainFrame switched;
    ASSERT_TRUE(switched.Create(Rect{100, 100, 900, 700}));
    CPageHolder* old = kind.open(switched);
    ASSERT_NE(nullptr, old);
    switched.notice.Stop();
    switched.OnCommand(kCmdSpanish);
    ASSERT_EQ(kLanguageSpanish, GetCurrentLanguage());

    ForgetTaskView();
    CMainFrame fresh;
    ASSERT_TRUE(fresh.Create(Rect{100, 100, 900, 700}));
    CPageHolder* opened = kind.open(fresh);
    ASSERT_NE(nullptr, opened);
    fresh.notice.Stop();
    ASSERT_EQ(old, switched.pageHost.Current());

    const std::vector<std::string> was = Drawn(switched), is = Drawn(fresh);
    size_t first = 0;
    while (first < was.size() && first < is.size() && was[first] == is[first]) ++first;
    EXPECT_TRUE(was == is) << "first difference at " << first << " of " << was.size() << "/" << is.size() << ":\n  "
                           << (first < was.size() ? was[first] : "-") << "\n  "
                           << (first < is.size() ? is[first] : "-");
    if (kind.labels) {
      std::vector<std::string> wasLabels, isLabels;
      kind.labels(old, &wasLabels);
      kind.labels(opened, &isLabels);
      EXPECT_FALSE(isLabels.empty());
      EXPECT_EQ(isLabels, wasLabels);
    }
  }
}
