// Every painter that runs on a thread of its own, in its real window: the
// window's thread alone pushes what it painted to the screen. The scripted
// window system answers a present made on another thread as the system may
// (a message sent to the window's thread, answered once that thread holds
// the window's lock), so a present made under the lock from elsewhere waits
// in vain and is counted. A job's thread that hides a widget under a held
// press leaves the pointer's capture to the window's thread too.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/job_windows/burn_image_window.h"
#include "app/job_windows/extract_window.h"
#include "app/main_window/main_frame.h"
#include "jobs/image/iso9660_reader.h"
#include "runtime/ui_strings.h"
#include "runtime/win.h"
#include "support/held_sleeps_win.h"
#include "support/recorder_fixture.h"
#include "tests/app/job_windows/burn_image_window_steps_win.h"
#include "tests/app/main_window/first_start_settings_win.h"
#include "ui/support/real_window.h"
#include "ui/support/ui_test_platform.h"
#include "ui/support/scripted_window_system.h"

namespace {

class PainterThreads : public RecorderTest {
 public:
  void SetUp() override {
    RestoreProgramResources();
    ForgetMainSettings();
  }
  void TearDown() override { ForgetMainSettings(); }
  CScratchSettingsRoot root_{L"painters"};
  CScriptedWindowSystem system_;
};

// Opens a main window, hands it to `act`, then closes it.
void InMainWindow(const std::function<void(CMainFrame&)>& act, void** handle) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  *handle = f.Handle();
  act(f);
  DestroyWindow(static_cast<HWND>(f.Handle()));
  PumpPending();
}

// The extraction window's handle while it runs (it is made and gone inside
// Run), read by a thread timer.
CExtractWindow* g_extract = nullptr;
void* g_extractHandle = nullptr;
void CALLBACK NoteExtractHandle(HWND, UINT, UINT_PTR, DWORD) {
  if (g_extract && g_extract->Handle()) g_extractHandle = g_extract->Handle();
}

TEST_F(PainterThreads, OnlyTheWindowsOwnThreadPresentsWhatTheyPaint) {
  Attach();
  CScriptedWindowSystem& system = system_;
  struct Row {
    const char* painter;
    MediumPreset disc;
    DiscFill fill;
    // Opens the window (its handle into the second argument), pumps until
    // the painter has painted on its thread, and closes the window.
    std::function<void(PainterThreads&, void**)> run;
  };
  const Row rows[] = {
      {"the audio burn window's status pulse, running from its creation", MediumPreset::kCdRom,
       DiscFill::kComplete,
       [](PainterThreads&, void** handle) {
         CDriveManager manager;
         BurnRequest request;
         CBurnImageWindow w(manager, &request, false);
         const Rect size = BurnImageWindowSize(false);
         ASSERT_TRUE(w.PlaceAndCreate(&size, nullptr));
         *handle = w.Handle();
         EXPECT_TRUE(PumpUntil([&] { return w.statusLabel.IsVisible() && w.pulsePicture.opacity > 0.5; }));
         w.CancelAndClose();
         EXPECT_TRUE(PumpUntil([&] { return !IsWindow(static_cast<HWND>(*handle)); }));
       }},
      {"the image burn window's intro panel", MediumPreset::kCdR, DiscFill::kBlank,
       [](PainterThreads& t, void** handle) {
         CDriveManager manager;
         BurnRequest request;
         CBurnImageWindow w(manager, &request, true);
         EXPECT_TRUE(OpenOverImage(w, t.root_)) << "the panel faded out";
         *handle = w.Handle();
         w.CancelAndClose();
         EXPECT_TRUE(PumpUntil([&] { return !IsWindow(static_cast<HWND>(*handle)); }));
       }},
      {"the start strip's fade", MediumPreset::kCdR, DiscFill::kBlank,
       [](PainterThreads& t, void** handle) {
         InMainWindow(
             [&t](CMainFrame& f) {
               // Down on the focused strip lights its first tile.
               auto& strip = f.pageHost.startStrip;
               strip.SetFocus();
               const HWND window = static_cast<HWND>(f.Handle());
               t.system_.SetKeyDown(VK_DOWN, true);
               SendMessageW(window, WM_KEYDOWN, VK_DOWN, 1);
               t.system_.SetKeyDown(VK_DOWN, false);
               SendMessageW(window, WM_KEYUP, VK_DOWN, 0xC0000001);
               ASSERT_EQ(0, strip.hot);
               EXPECT_TRUE(PumpUntil([&] { return strip.tiles[0].Level() == kTileHotLevel; }));
             },
             handle);
       }},
      {"the slide notice", MediumPreset::kCdR, DiscFill::kBlank,
       [](PainterThreads&, void** handle) {
         InMainWindow(
             [](CMainFrame& f) {
               f.notice.Stop();
               f.ShowNotice(kNoticeTitleWarning, kNoticePreviewArea);
               ASSERT_TRUE(f.notice.IsRunning());
               EXPECT_TRUE(PumpUntil([&] { return !f.notice.IsRunning(); }, 20000)) << "it rose and went";
             },
             handle);
       }},
      {"a job page's refresh during a burn", MediumPreset::kCdR, DiscFill::kBlank,
       [](PainterThreads&, void** handle) {
         InMainWindow(
             [](CMainFrame& f) {
               BurnRequest request;
               request.destination = 0;
               request.source = kNoDrive;
               request.method = kMethodTrackAtOnce;
               request.imagePath.Assign(u"fixtures/iso/joliet.iso");
               WIN32_FILE_ATTRIBUTE_DATA file;
               ASSERT_TRUE(GetFileAttributesExW(L"fixtures/iso/joliet.iso", GetFileExInfoStandard, &file));
               const u32 sectors = (file.nFileSizeLow + 2047) / 2048;
               *request.sessions.AppendNew()->AppendNew() = TrackExtent{0, 2048, sectors, 1, 0, 0, 0};
               ASSERT_TRUE(f.pageHost.taskView.StartBurnJob(request));
               ASSERT_EQ(1u, f.pageHost.taskView.pane.jobs.GetCount());
               CPageHolder* job = f.pageHost.taskView.pane.jobs[0];
               EXPECT_TRUE(PumpUntil([&] { return !job->RefusesClose(); }, 60000)) << "the burn ended";
             },
             handle);
       }},
      {"the image extraction's worker", MediumPreset::kCdR, DiscFill::kBlank,
       [](PainterThreads&, void** handle) {
         CIso9660Reader reader;
         u64 size = 0;
         ASSERT_TRUE(reader.ReadVolume(&size, u"fixtures/extract/extract.iso"));
         CExtractWindow w;
         w.AddEntry(reader.GetJolietRoot().FindChild(u"big_sparse.bin"));
         g_extract = &w;
         g_extractHandle = nullptr;
         const UINT_PTR timer = SetTimer(nullptr, 0, 1, NoteExtractHandle);
         std::filesystem::remove_all("painters_extract");  // no file of an earlier run to ask about
         std::filesystem::create_directories("painters_extract");
         EXPECT_EQ(0u, w.Run(u"fixtures/extract/extract.iso", u"painters_extract")) << "it ran to its end";
         KillTimer(nullptr, timer);
         g_extract = nullptr;
         *handle = g_extractHandle;
         std::filesystem::remove_all("painters_extract");
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.painter);
    if (recorder_.HasMedium()) recorder_.RemoveMedium();
    Insert(row.disc, row.fill);
    system.ClearPresents();
    const u32 unansweredBefore = system.UnansweredPresents();
    void* handle = nullptr;
    row.run(*this, &handle);
    EXPECT_EQ(unansweredBefore, system.UnansweredPresents()) << "a present waited for the window's thread in vain";
    u32 presents = 0, elsewhere = 0;
    for (const PresentRecord& r : system.Presents()) {
      if (r.present.window != handle) continue;
      ++presents;
      if (r.thread != GetCurrentThreadId()) ++elsewhere;
    }
    EXPECT_GT(presents, 0u);
    EXPECT_EQ(0u, elsewhere) << "pushed to the screen by another thread";
  }
}

// The saving job's worker hides the page's second button as the job ends,
// while the window's thread holds a press on it and pumps nothing: the
// worker changes neither the capture table nor the system's capture. Once
// the window's thread pumps, the press has ended there, and the release
// over the place runs nothing: the held button is given the close button's
// handler, which would close the finished job's page. (The burn and format pages keep both
// buttons hidden while their jobs run: their ends hide nothing a press can
// hold.)
TEST_F(PainterThreads, AJobEndingUnderAHeldPressLeavesThePointerToTheWindowsThread) {
  using Page = CSavingJobPage<CJobPane<CTaskView<CMainFrame::PageHost>>>;
  CHeldSleeps held(clock_);  // the job waits at its first sleep until the press is in place
  SetClock(&held);
  {
    CMainFrame f;
    // Whatever happens, the job goes on and the case's clock comes back
    // before the window goes.
    struct Restore {
      CHeldSleeps& held;
      IClock& clock;
      ~Restore() {
        held.gate.Open();
        SetClock(&clock);
      }
    } restore{held, clock_};
    ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
    ASSERT_TRUE(f.pageHost.taskView.AddSavingJob(u"painters.iso", nullptr));
    CPageHolder* job = f.pageHost.taskView.pane.jobs[0];
    Page& page = static_cast<CPageHolderOf<Page>*>(job)->Page();
    page.secondButton.click = page.closeButton.click;  // same owner: a run would show
    const Point at = WidgetCentre(page.secondButton);
    PostMouseAsTheSystemWould(WM_MOUSEMOVE, 0, at);
    PumpPending();
    PostMouseAsTheSystemWould(WM_LBUTTONDOWN, MK_LBUTTON, at);
    PumpPending();
    ASSERT_EQ(&page.secondButton, CaptureOwner());
    ASSERT_EQ(static_cast<HWND>(f.Handle()), GetCapture());
    system_.ClearCaptures();
    held.gate.Open();
    ASSERT_TRUE(page.engine.workerThread.Join(60000)) << "the job ended";
    EXPECT_FALSE(page.secondButton.IsVisible());
    EXPECT_EQ(&page.secondButton, CaptureOwner()) << "the capture table is the window's thread's";
    EXPECT_TRUE(system_.Captures().empty()) << "the job's thread took or let go of the mouse";
    PumpPending();
    EXPECT_EQ(nullptr, CaptureOwner());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, page.secondButton.state & (CButton<Page>::kHeld | CButton<Page>::kHot));
    for (const CaptureCall& c : system_.Captures()) EXPECT_EQ(GetCurrentThreadId(), c.thread);
    PostMouseAsTheSystemWould(WM_LBUTTONUP, 0, at);
    PumpPending();
    EXPECT_EQ(1u, f.pageHost.taskView.pane.jobs.GetCount()) << "nothing ran";
    DestroyWindow(static_cast<HWND>(f.Handle()));
    PumpPending();
  }
}

}  // namespace
