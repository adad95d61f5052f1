// The recorder the user chose in the burn-image window, across media
// changes that take it out of the list for a while and bring it back.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

#include "app/job_windows/burn_image_window.h"
#include "support/recorder_fixture.h"
#include "tests/app/job_windows/burn_image_window_steps_win.h"
#include "ui/support/real_window.h"
#include "ui/windows/frame/window_placement.h"

namespace {

constexpr u8 kGetConfiguration = 0x46;

class BurnImageDriveChoice : public RecorderTest {
 protected:
  // A medium put in and ready, its unit attention left for the window.
  static void Put(CSimulatedRecorder* r, MediumPreset preset, DiscFill fill = DiscFill::kBlank) {
    MediumOptions m;
    m.preset = preset;
    m.fill = fill;
    r->InsertMedium(m);
    r->MakeReady();
  }
  CScratchSettingsRoot root_{L"choice"};
};

u32 TopSpeed(const CBurnImageWindow& w) {
  u32 top = 0;
  for (u32 i = 0; i < w.speedValues.GetCount(); ++i) top = std::max(top, w.speedValues[i]);
  return top;
}

// The user chooses F. While F cannot be probed the main window's drive E
// stands in for it; when F answers again it is shown again with its own
// speeds. G, picked while F is out, becomes the chosen one in its place.
// What the window shows is what OK burns to.
TEST_F(BurnImageDriveChoice, TheChosenRecorderIsShownAgainWhenItIsListedAgain) {
  Attach();
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  CSimulatedRecorder* f = AddRecorder(u'F');
  CSimulatedRecorder* g = AddRecorder(u'G');
  CDriveManager manager;
  const i32 E = manager.FindDriveByPath(u"\\\\.\\E:"), F = manager.FindDriveByPath(u"\\\\.\\F:"),
            G = manager.FindDriveByPath(u"\\\\.\\G:");
  ASSERT_TRUE(E >= 0 && F >= 0 && G >= 0);
  manager.SelectDrive(static_cast<u32>(E));
  BurnRequest request;
  CBurnImageWindow w(manager, &request, true);
  ASSERT_TRUE(OpenOverImage(w, root_));

  RecorderFault refuse;
  refuse.opcode = kGetConfiguration;
  refuse.times = 0;
  const u32 cdRw = 1764, cd = 8467, dvd = 22160;
  const struct Step {
    const char* what;
    std::function<void()> act;
    i32 shown;
    u32 topSpeed;
    bool ok;
  } steps[] = {
      {"opened on the main window's drive", [] {}, E, cdRw, true},
      {"F chosen, empty", [&] { w.deviceList.SetSelection(w.EntryOfDrive(F)); }, F, 0, false},
      {"F refuses its probe as a disc comes into G",
       [&] {
         f->AddFault(refuse);
         Put(g, MediumPreset::kDvdR);
         w.OnMediaChanged(static_cast<u32>(G));
       },
       E, cdRw, true},
      {"F answers again with a blank CD-R",
       [&] {
         f->ClearFaults();
         Put(f, MediumPreset::kCdR);
         w.OnMediaChanged(static_cast<u32>(F));
       },
       F, cd, true},
      {"F refuses again",
       [&] {
         f->AddFault(refuse);
         w.OnMediaChanged(static_cast<u32>(G));
       },
       E, cdRw, true},
      {"G picked meanwhile", [&] { w.deviceList.SetSelection(w.EntryOfDrive(G)); }, G, dvd, true},
      {"F answers again: G stays",
       [&] {
         f->ClearFaults();
         w.OnMediaChanged(static_cast<u32>(F));
       },
       G, dvd, true},
      {"G refuses its probe",
       [&] {
         g->AddFault(refuse);
         w.OnMediaChanged(static_cast<u32>(F));
       },
       E, cdRw, true},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    s.act();
    PumpPending();
    EXPECT_EQ(s.shown, w.ChosenDrive());
    EXPECT_EQ(s.topSpeed, TopSpeed(w)) << "the shown drive's speeds";
    EXPECT_EQ(s.ok, w.ok.IsVisibleAndEnabled());
  }
  // Accepted now, the burn goes to the drive shown.
  w.AcceptAndClose();
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); }));
  EXPECT_EQ(0u, w.cancelled);
  EXPECT_EQ(E, request.destination);
  EXPECT_EQ(0u, io_.OpenHandleCount());
}

}  // namespace
