// Every painter that runs on a thread of its own, in its real window: the
// window's thread alone pushes what it painted to the screen. The scripted
// window system answers a present made on another thread as the system may
// (a message sent to the window's thread, answered once that thread holds
// the window's lock), so a present made under the lock from elsewhere waits
// in vain and is counted.
#include <gtest/gtest.h>

#include <functional>

#include "app/job_windows/burn_image_window.h"
#include "app/main_window/main_frame.h"
#include "runtime/ui_strings.h"
#include "runtime/win.h"
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

}  // namespace
