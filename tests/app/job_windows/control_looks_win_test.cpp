// Every control of the modal job windows whose look changes shows exactly
// its new look: after ticks, hover, focus, new texts, fade steps and
// progress, driven as a person and the system drive them, the control's
// pixels in the window's surface equal a fresh paint of the window.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/job_windows/browse_dialog.h"
#include "app/job_windows/burn_image_window.h"
#include "app/job_windows/copy_disc_window.h"
#include "app/job_windows/erase_window.h"
#include "app/job_windows/extract_window.h"
#include "app/job_windows/insert_disc_prompt.h"
#include "jobs/image/image_file.h"
#include "jobs/image/iso9660_reader.h"
#include "runtime/file.h"
#include "runtime/win.h"
#include "support/disc_options.h"
#include "support/recorder_fixture.h"
#include "tests/app/job_windows/burn_image_window_steps_win.h"
#include "tests/app/job_windows/file_image_source_win.h"
#include "tests/app/job_windows/scratch_current_user_win.h"
#include "ui/support/look_steps.h"

namespace {

// The recorder fixture with HKEY_CURRENT_USER on a scratch key, so that the
// windows' stored choices go nowhere else.
class ControlLooks : public RecorderTest {
 protected:
  CScratchCurrentUser user_{L"Software\\Kelvane control looks scratch"};  // made before the body runs
  ControlLooks() {
    clock_.SetRealPace(1);
    Attach();
    PumpPending();
  }
  ~ControlLooks() override {
    PumpPending();
  }
  void Put(CSimulatedRecorder* r, const MediumOptions& disc) {
    if (r->HasMedium()) r->RemoveMedium();
    r->InsertMedium(disc);
    r->MakeReady();
  }
  // The pulse line's fade taken `changes` levels on: its ticker's posted
  // ticks dispatched one at a time, as they come (the ticker posts the
  // next as soon as one is taken, on the virtual clock).
  template <class TPulse>
  static void PulseSteps(TPulse& pulse, void* window, int changes) {
    for (int i = 0; i < changes; ++i) {
      const u32 before = pulse.Level();
      for (int t = 0; t < 40 && pulse.Level() == before; ++t) {
        MSG m;
        const DWORD end = GetTickCount() + 5000;
        while (!PeekMessageW(&m, static_cast<HWND>(window), kMessagePostedTick, kMessagePostedTick, PM_REMOVE)) {
          ASSERT_LT(static_cast<i32>(GetTickCount() - end), 0) << "no tick came";
          Sleep(1);
        }
        DispatchMessageW(&m);
      }
      ASSERT_NE(before, pulse.Level());
    }
  }
  template <class TWindow>
  static void Close(TWindow& w) {
    w.CancelAndClose();
    PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); });
  }

  CScriptedWindowSystem seam_;
};

TEST_F(ControlLooks, BurnImageWindow) {
  Put(&recorder_, Disc(MediumPreset::kCdR, DiscFill::kBlank));
  CScratchSettingsRoot root(L"looks");
  CDriveManager manager;
  BurnRequest request;
  CBurnImageWindow w(manager, &request, true);
  ASSERT_TRUE(OpenOverImage(w, root));
  const CWidget *path = &w.imagePath, *verify = &w.verifyBox;
  ExpectLooksAsPaintedFresh(w, seam_, ContentPoint(w, 4, 4),
                            {{"the image path focused", Act::kTabTo, path},
                             {"the image path left", Act::kTab, path},
                             {"the image path clicked", Act::kMoveOnto, path},
                             {"the image path focused by the click", Act::kClick, path},
                             {"the pointer gone", Act::kMoveAway, path},
                             {"the path left by Tab", Act::kTab, path},
                             {"Verify lit", Act::kMoveOnto, verify},
                             {"Verify ticked", Act::kClick, verify},
                             {"Verify unticked", Act::kClick, verify},
                             {"Verify let go", Act::kMoveAway, verify},
                             {"Verify focused", Act::kTabTo, verify},
                             {"Verify ticked by Space", Act::kSpace, verify},
                             {"Verify unticked by Space", Act::kSpace, verify},
                             {"Verify left", Act::kTab, verify}});
  Close(w);
}

TEST_F(ControlLooks, CopyDiscWindow) {
  Put(&recorder_, Disc(MediumPreset::kCdRom, DiscFill::kComplete, 5000));
  CSimulatedRecorder* f = AddRecorder(u'F');
  CDriveManager manager;
  BurnRequest request;
  CCopyDiscWindow w;
  ASSERT_TRUE(w.Open(manager, &request, nullptr));
  manager.RemoveListener(&w.poster);  // the test tells the window of media changes
  ASSERT_TRUE(PumpUntil([&] { return !manager.IsPolling(); }));
  w.destinationList.SetSelection(1);  // an empty recorder: the line pulses
  ASSERT_TRUE(w.pulse.IsPulsing());
  const CWidget *verify = &w.verify, *direct = &w.directCopy, *picture = &w.pulse.picture,
                *status = &w.pulse.label;
  auto fade = [&] { PulseSteps(w.pulse, w.Handle(), 3); };
  auto closedDisc = [&] {
    Put(f, Disc(MediumPreset::kCdR, DiscFill::kComplete));
    w.OnMediaChanged(1);
  };
  ExpectLooksAsPaintedFresh(w, seam_, ContentPoint(w, 4, 4),
                            {{"Verify lit", Act::kMoveOnto, verify},
                             {"Verify ticked", Act::kClick, verify},
                             {"the box is ticked", Act::kRun, verify, [&] { EXPECT_TRUE(w.verify.IsChecked()); }},
                             {"Verify unticked", Act::kClick, verify},
                             {"Verify let go", Act::kMoveAway, verify},
                             {"Verify focused", Act::kTabTo, verify},
                             {"Verify ticked by Space", Act::kSpace, verify},
                             {"the box is ticked again", Act::kRun, verify, [&] { EXPECT_TRUE(w.verify.IsChecked()); }},
                             {"Verify unticked by Space", Act::kSpace, verify},
                             {"Verify left", Act::kTab, verify},
                             {"Direct copy lit", Act::kMoveOnto, direct},
                             {"Direct copy ticked", Act::kClick, direct},
                             {"Direct copy unticked", Act::kClick, direct},
                             {"Direct copy let go", Act::kMoveAway, direct},
                             {"the picture fades", Act::kRun, picture, fade},
                             {"the status fades", Act::kRun, status, fade},
                             {"a new status", Act::kRun, status, closedDisc},
                             {"the new status fades", Act::kRun, status, fade}});
  EXPECT_FALSE(w.verify.IsChecked());
  Close(w);
}

TEST_F(ControlLooks, EraseWindow) {
  Put(&recorder_, Disc(MediumPreset::kCdRw, DiscFill::kComplete));
  CDriveManager manager;
  CEraseWindow w;
  ASSERT_TRUE(w.Open(manager, nullptr));
  ASSERT_TRUE(w.CanAccept());
  const CWidget *devices = &w.deviceList, *methods = &w.methodList, *cancel = &w.cancel;
  auto noRewritable = [&] {
    Put(&recorder_, Disc(MediumPreset::kCdR, DiscFill::kComplete));
    w.FillDeviceList();
  };
  ExpectLooksAsPaintedFresh(w, seam_, ContentPoint(w, 4, 4),
                            {{"the device list lit", Act::kMoveOnto, devices},
                             {"the device list let go", Act::kMoveAway, devices},
                             {"the device list focused", Act::kTabTo, devices},
                             {"the device list left", Act::kTab, methods},
                             {"the method list left", Act::kTab, methods},
                             {"Cancel lit", Act::kMoveOnto, cancel},
                             {"Cancel let go", Act::kMoveAway, cancel},
                             {"no rewritable disc: the lists go off", Act::kRun, devices, noRewritable},
                             {"the method list off", Act::kRun, methods, [] {}}});
  Close(w);
}

TEST_F(ControlLooks, InsertDiscPrompt) {
  CDriveManager manager;
  CDrive* job = manager.OpenDrive(0);  // the burn holds the drive
  ASSERT_NE(nullptr, job);
  BurnRequest request;
  request.copiedProfile = 0x08;
  *request.sessions.AppendNew()->AppendNew() = TrackExtent{0, 2048, 1000, 1, 0, 0, 0};
  {
    CInsertDiscPrompt w;
    ASSERT_TRUE(w.Open(job, manager.GetName(0), &request, nullptr));
    ASSERT_TRUE(w.pulse.IsPulsing());
    const CWidget *picture = &w.pulse.picture, *status = &w.pulse.label, *eject = &w.eject;
    auto fade = [&] { PulseSteps(w.pulse, w.Handle(), 3); };
    const std::u16string closed = GetUiText(kTextInsertEmptyOrRewritable);
    auto closedDisc = [&] {
      Put(&recorder_, Disc(MediumPreset::kCdR, DiscFill::kComplete));
      ASSERT_TRUE(PumpUntil([&] { return closed == w.pulse.label.text.c_str(); }, 10000));
    };
    ExpectLooksAsPaintedFresh(w, seam_, ContentPoint(w, 4, 4),
                              {{"the picture fades", Act::kRun, picture, fade},
                               {"the status fades", Act::kRun, status, fade},
                               {"a new status", Act::kRun, status, closedDisc},
                               {"the new status fades", Act::kRun, status, fade},
                               {"the eject bar lit", Act::kMoveOnto, eject},
                               {"the eject bar let go", Act::kMoveAway, eject},
                               {"the eject bar focused", Act::kTabTo, eject},
                               {"the eject bar left", Act::kTab, eject}});
    Close(w);
  }
  ReleaseDrive(&job);
}

CExtractWindow* g_extract = nullptr;
std::function<void(CExtractWindow&)> g_extractSteps;
void CALLBACK RunExtractSteps(HWND, UINT, UINT_PTR id, DWORD) {
  if (!g_extract || !g_extract->Handle()) return;
  KillTimer(nullptr, id);
  g_extractSteps(*g_extract);
}

TEST_F(ControlLooks, ExtractionWindow) {
  CIso9660Reader reader;
  u64 size = 0;
  ASSERT_TRUE(reader.ReadVolume(&size, u"fixtures/extract/extract.iso"));
  const std::filesystem::path out = std::filesystem::path("control_looks_out");
  std::error_code ec;
  std::filesystem::remove_all(out, ec);
  std::filesystem::create_directories(out);
  CExtractWindow w;
  for (const char16_t* name : {u"chunk_minus_one.bin", u"\u00c9cole.txt", u"chunk_exact.bin", u"one_mb.bin"})
    w.AddEntry(reader.GetJolietRoot().FindChild(name));
  // extract.iso with every read of the worker gated (after the format
  // detection), so that the window is looked at between its steps.
  CTestFileSource* image = new CTestFileSource(u"fixtures/extract/extract.iso");
  ASSERT_EQ(0, w.extraction.AttachImage(image, false));
  image->gate.Shut();
  g_extract = &w;
  g_extractSteps = [&](CExtractWindow& window) {
    auto parked = [&] { return PumpUntil([&] { return image->gate.Parked(); }); };
    auto file = [&] {  // reads let through, from parked to parked, until the next file begins
      ASSERT_TRUE(parked()) << "the worker waits at its next read";
      const double before = window.progress.value;
      for (int i = 0; i < 8 && window.progress.value == before; ++i)
        ASSERT_TRUE(image->gate.LetOneThrough() && parked());
      ASSERT_NE(before, window.progress.value);
    };
    const CWidget *bar = &window.progress, *label = &window.label, *cancel = &window.cancel;
    ExpectLooksAsPaintedFresh(window, seam_, ContentPoint(window, 4, 4),
                              {{"a first file written", Act::kRun, bar, file},
                               {"the next file's name", Act::kRun, label, [] { PumpPending(); }},
                               {"a second file written", Act::kRun, bar, file},
                               {"a third file written", Act::kRun, bar, file},
                               {"the last file's name", Act::kRun, label, [] { PumpPending(); }},
                               {"Cancel lit", Act::kMoveOnto, cancel},
                               {"Cancel let go", Act::kMoveAway, cancel}});
    image->gate.Open();
  };
  SetTimer(nullptr, 0, 20, RunExtractSteps);
  const std::wstring target = out.wstring();
  EXPECT_EQ(0u, w.RunOpened(reinterpret_cast<const wchar16*>(target.c_str()), 0));
  g_extract = nullptr;
  w.extraction.AttachImage(nullptr, false);
  delete image;
  std::filesystem::remove_all(out, ec);
}

TEST_F(ControlLooks, BrowseDialog) {
  CBrowseDialog w;
  const Rect size = {0, 0, CBrowseDialog::kWidth, CBrowseDialog::kHeight};
  ASSERT_TRUE(w.PlaceAndCreate(&size, nullptr));
  PumpPending();
  const CWidget *name = &w.nameField, *accept = &w.accept;
  ExpectLooksAsPaintedFresh(w, seam_, ContentPoint(w, 4, 4),
                            {{"the name field focused", Act::kTabTo, name},
                             {"the name field left", Act::kTab, name},
                             {"the name field lit", Act::kMoveOnto, name},
                             {"the name field clicked", Act::kClick, name},
                             {"the pointer gone", Act::kMoveAway, name},
                             {"the name field left by Tab", Act::kTab, name},
                             {"the accept button lit", Act::kMoveOnto, accept},
                             {"the accept button let go", Act::kMoveAway, accept}});
  Close(w);
}

}  // namespace
