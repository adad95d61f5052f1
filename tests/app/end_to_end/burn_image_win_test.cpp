// The burn road end to end: "Burn image...", the image path typed into the
// window, Enter, the burn page watched to its end; then the recorder's disc
// against the image byte for byte and the end block of "log.log".
#include <gtest/gtest.h>

#include <atomic>

#include "app/job_windows/burn_image_settings.h"
#include "app_session_win.h"
#include "burn_steps_win.h"
#include "disc_check_win.h"
#include "runtime/settings.h"
#include "runtime/win.h"
#include "support/disc_options.h"
#include "support/virtual_clock.h"
#include "ui/windows/dialogs/message_box.h"

namespace {

constexpr u8 kWrite10 = 0x2A, kRead10 = 0x28, kSendCueSheet = 0x5D, kBlank = 0xA1, kGetConfiguration = 0x46;
constexpr u32 kTextEraseWarning = 77, kTextYes = 2, kTextNo = 3;
// Real time a write waits for the page's refresh to take its look.
constexpr u32 kRefreshStepMs = 60000;

std::wstring Fixture(const wchar_t* name) { return BuildFolder() + L"fixtures\\iso\\" + name; }

bool Contains(const std::u16string& text, const char16_t* part) { return text.find(part) != std::u16string::npos; }

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// What every good burn leaves in "log.log": its end block after the lines
// of the job, and no drive error.
void ExpectGoodLog(const std::u16string& log) {
  const std::u16string end = LogEndBlock(log);
  EXPECT_TRUE(Contains(end, u"************************ End Job ************************\r\n")) << Narrow(log);
  EXPECT_TRUE(Contains(log, u"Destination Device: ")) << Narrow(log);
  EXPECT_FALSE(Contains(log, u"SCSI Error")) << Narrow(log);
}

// A burn onto E: its writes paced (16 blocks in 0.1 s, so that the page
// has a rate to time) and the first one held; the image's path.
std::wstring PrepareMidBurn(CAppSession& app) {
  const std::wstring image = app.WorkPath(L"mid.iso");
  EXPECT_TRUE(MakeImageFile(image, 3000));
  app.Gate().PaceWrites(u'E', 100);
  app.Gate().HoldWrite(u'E', 1);
  return image;
}

// The page in the middle of writing, from a known state. The case holds
// the first write; from there the page's refresh thread takes one look at
// the progress between each two writes (it is let through one refresh
// period on the clock per write, and the write waits until it is held
// again), so that it has timed enough writes for an estimate of the rest
// whatever the machine's load; the first write sent once the page has
// published an estimate is held. There the status says burning, the cache
// gauges show and the overall bar shows the part written.
bool WaitMidBurn(CPerson& p, CAppSession& app) {
  if (!p.WaitUntil("the first write held at the drive", [&](CMainFrame&) { return app.Gate().Holding(); }))
    return false;
  const std::atomic<u32>* remaining = nullptr;
  DWORD refreshThread = 0;
  p.OnUi([&](CMainFrame& f) {
    if (BurnJobPage* page = BurnPageAt(f)) {
      remaining = &page->engine.remainingMs;
      refreshThread = GetThreadId(page->engine.refreshThread.NativeHandle());
    }
  });
  CVirtualClock* clock = app.VirtualClock();
  if (!remaining || !refreshThread || !clock) {
    p.Fail("no burn page with its first write held, on the case's clock");
    return false;
  }
  clock->HoldSleepingThread([refreshThread] { return GetCurrentThreadId() == refreshThread; }, kBurnRefreshMs);
  app.Gate().StepPacedWrites([clock] { return clock->LetHeldThreadThrough(kRefreshStepMs); });
  const bool letGo = app.Gate().HoldWriteOnce([remaining] { return remaining->load() != 0; });
  bool ended = false;
  const bool waited = letGo && p.WaitUntil("a write held once the page had an estimate", [&](CMainFrame& f) {
    BurnJobPage* page = BurnPageAt(f);
    ended = !page || page->engine.HasFlags(kJobFinished);
    return app.Gate().Holding() || ended;
  });
  // The refresh goes on by the clock alone again.
  app.Gate().StepPacedWrites(nullptr);
  clock->HoldSleepingThread(nullptr, 0);
  if (!letGo) p.Fail("no write was held");
  if (!waited) return false;
  if (ended) {
    p.Fail("the burn ended before its page had an estimate");
    return false;
  }
  return p.WaitUntil("the page to show the burn and the part written", [](CMainFrame& f) {
    CLockGuard paint(f.lock);
    BurnJobPage* page = BurnPageAt(f);
    return page && page->engine.status.load() == kStatusBurning && page->memoryGauge.IsVisible() &&
           page->overallBar.IsVisible() && page->overallBar.value > 0.0;
  });
}

TEST(EndToEndBurn, CdRDiscAtOnceWithVerify) {
  CAppSession app;
  // As the user left the window last time: disc at once, verify.
  CSettingsKey().WriteDword(kImageKey, kValueBurnMethod, 1);
  CSettingsKey().WriteDword(kImageKey, kValueVerify, 1);
  CSimulatedRecorder& e = app.AddRecorder(u'E', Disc(MediumPreset::kCdR, DiscFill::kBlank));
  const std::wstring image = PrepareMidBurn(app);
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ASSERT_TRUE(StartImageBurn(p, AsTyped(image)));
    ASSERT_TRUE(WaitMidBurn(p, app));
    p.Screenshot(L"e2e-burn-mid.png");
    app.Gate().Release();
    ASSERT_TRUE(WaitForBurnEnd(p));
    p.OnUi([](CMainFrame& f) {
      BurnJobPage* page = BurnPageAt(f);
      EXPECT_FALSE(page->engine.IsStopped());
      EXPECT_EQ(100.0, page->overallBar.value);
      EXPECT_TRUE(page->closeButton.IsVisible());
    });
    p.Screenshot(L"e2e-burn-end.png");
  }));
  EXPECT_EQ("", CompareDiscWithImage(e, image));
  EXPECT_TRUE(e.Finalized());
  EXPECT_EQ(1u, e.CountCommands(kSendCueSheet));
  EXPECT_LT(0u, e.CountCommands(kRead10));  // read back
  const std::u16string log = app.LogFile();
  ExpectGoodLog(log);
  EXPECT_TRUE(Contains(log, u"Sending Cue Sheet")) << Narrow(log);
  EXPECT_TRUE(Contains(log, u"Verify process Ended")) << Narrow(log);
}

TEST(EndToEndBurn, DvdPlusR) {
  CAppSession app;
  CSimulatedRecorder& e = app.AddRecorder(u'E', Disc(MediumPreset::kDvdPlusR, DiscFill::kBlank));
  const std::wstring image = app.WorkPath(L"dvd.iso");
  ASSERT_TRUE(MakeImageFile(image, 3000));
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ASSERT_TRUE(StartImageBurn(p, AsTyped(image)));
    ASSERT_TRUE(WaitForBurnEnd(p));
    p.OnUi([](CMainFrame& f) { EXPECT_FALSE(BurnPageAt(f)->engine.IsStopped()); });
  }));
  EXPECT_EQ("", CompareDiscWithImage(e, image));
  EXPECT_EQ(0x1B, e.CurrentProfile());
  ExpectGoodLog(app.LogFile());
}

// Two recorders, the main window's first: the user chooses the second,
// whose tray is empty, and then puts a blank disc in it. The window keeps
// the chosen recorder, OK comes on for its disc, and the burn goes there;
// the first recorder's blank disc is not touched.
TEST(EndToEndBurn, TheChosenRecorderStaysChosenWhenItsDiscArrives) {
  CAppSession app;
  CSimulatedRecorder& e = app.AddRecorder(u'E', Disc(MediumPreset::kCdR, DiscFill::kBlank));
  CSimulatedRecorder& f = app.AddEmptyRecorder(u'F');
  const std::wstring image = Fixture(L"joliet.iso");
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("both drives", [](CMainFrame& m) { return m.drives.GetDriveCount() == 2; });
    void* window = OpenBurnImageWindow(p);
    ASSERT_TRUE(TypeImagePath(p, window, AsTyped(image)));
    ASSERT_TRUE(TabToDeviceList(p, window));
    ASSERT_TRUE(p.Press(VK_DOWN));
    ASSERT_TRUE(p.WaitUntil("F chosen, with nothing to burn on", [window](CMainFrame&) {
      CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
      return w && w->deviceList.selectedIndex == 1 && !w->ok.IsVisibleAndEnabled();
    }));
    f.InsertMedium(Disc(MediumPreset::kCdR, DiscFill::kBlank));
    ASSERT_TRUE(p.WaitUntil("OK for the disc that came", [window](CMainFrame&) {
      CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
      return w && w->ok.IsVisibleAndEnabled();
    }));
    p.OnUi([window](CMainFrame&) {
      EXPECT_EQ(1, WindowObject<CBurnImageWindow>(window)->deviceList.selectedIndex) << "F is still chosen";
    });
    ASSERT_TRUE(p.Press(VK_RETURN));
    p.WaitUntil("the window to close", [window](CMainFrame&) { return !IsWindow(static_cast<HWND>(window)); });
    ASSERT_TRUE(WaitForBurnEnd(p));
  }));
  EXPECT_EQ("", CompareDiscWithImage(f, image));
  EXPECT_EQ(0u, e.CountCommands(kWrite10));
  EXPECT_EQ(0u, e.CountCommands(kSendCueSheet));
  ExpectGoodLog(app.LogFile());
}

// Three recorders, the main window's E holding a CD-RW with data, F and G
// empty. The user chooses F; F stops answering its probe while a disc comes
// into G, so the list goes back to E for a while; then F answers again and
// a blank CD-R goes into it. The window shows F again, and Enter burns F:
// E is neither erased nor written.
TEST(EndToEndBurn, TheChosenRecorderIsChosenAgainAfterDroppingOutOfTheList) {
  CAppSession app;
  CSimulatedRecorder& e = app.AddRecorder(u'E', Disc(MediumPreset::kCdRw, DiscFill::kComplete));
  CSimulatedRecorder& f = app.AddEmptyRecorder(u'F');
  CSimulatedRecorder& g = app.AddEmptyRecorder(u'G');
  const std::wstring image = Fixture(L"joliet.iso");
  RecorderFault refuse;
  refuse.opcode = kGetConfiguration;
  refuse.times = 0;  // until taken away
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    i32 E = -1, F = -1, G = -1;
    p.WaitUntil("three drives", [&](CMainFrame& m) {
      E = m.drives.FindDriveByPath(u"\\\\.\\E:");
      F = m.drives.FindDriveByPath(u"\\\\.\\F:");
      G = m.drives.FindDriveByPath(u"\\\\.\\G:");
      return m.drives.GetDriveCount() == 3 && static_cast<i32>(m.drives.GetSelected()) == E;
    });
    void* window = OpenBurnImageWindow(p);
    ASSERT_TRUE(TypeImagePath(p, window, AsTyped(image)));
    ASSERT_TRUE(TabToDeviceList(p, window));
    ASSERT_TRUE(p.Press(VK_DOWN));
    ASSERT_TRUE(p.WaitUntil("F chosen", [window, F](CMainFrame&) {
      CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
      return w && w->ChosenDrive() == F;
    }));
    const u32 refused = f.AddFault(refuse);
    g.InsertMedium(Disc(MediumPreset::kCdR, DiscFill::kBlank));
    ASSERT_TRUE(p.WaitUntil("G listed, F not, E in its place", [window, E, F, G](CMainFrame&) {
      CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
      return w && w->EntryOfDrive(G) >= 0 && w->EntryOfDrive(F) < 0 && w->ChosenDrive() == E;
    }));
    EXPECT_LT(0u, f.FaultHits(refused));
    f.ClearFaults();
    f.InsertMedium(Disc(MediumPreset::kCdR, DiscFill::kBlank));
    ASSERT_TRUE(p.WaitUntil("F listed again, OK on", [window, F](CMainFrame&) {
      CBurnImageWindow* w = WindowObject<CBurnImageWindow>(window);
      return w && w->EntryOfDrive(F) >= 0 && w->ok.IsVisibleAndEnabled();
    }));
    p.OnUi([window, F](CMainFrame&) {
      EXPECT_EQ(F, WindowObject<CBurnImageWindow>(window)->ChosenDrive()) << "F shown again";
    });
    ASSERT_TRUE(p.Press(VK_RETURN));
    ASSERT_TRUE(p.WaitUntil("the window to close",
                            [window](CMainFrame&) { return !IsWindow(static_cast<HWND>(window)); }));
    // Whatever drive the burn went to, an erase question is answered Yes,
    // so that E would be erased and written if it were the one.
    bool asked = false;
    ASSERT_TRUE(p.WaitUntil("the burn page or the erase question", [&asked](CMainFrame& m) {
      asked = WindowObject<CMessageBox>(GetActiveWindow()) != nullptr;
      return asked || BurnPageAt(m) != nullptr;
    }));
    if (asked) {
      ASSERT_TRUE(p.AnswerMessageBox(kTextEraseWarning, kTextYes));
    }
    ASSERT_TRUE(WaitForBurnEnd(p));
  }));
  EXPECT_EQ("", CompareDiscWithImage(f, image));
  EXPECT_EQ(0u, e.CountCommands(kBlank));
  EXPECT_EQ(0u, e.CountCommands(kWrite10));
  ExpectGoodLog(app.LogFile());
}

// A CD-RW with data: the window says it will be erased, the launcher asks,
// and only an explicit Yes erases and burns.
TEST(EndToEndBurn, RewritableWithDataErasedOnYes) {
  CAppSession app;
  CSimulatedRecorder& e = app.AddRecorder(u'E', Disc(MediumPreset::kCdRw, DiscFill::kComplete));
  const std::wstring image = Fixture(L"joliet.iso");
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    void* window = OpenBurnImageWindow(p);
    ASSERT_TRUE(AcceptImage(p, window, AsTyped(image)));
    ASSERT_TRUE(p.AnswerMessageBox(kTextEraseWarning, kTextYes));
    ASSERT_TRUE(WaitForBurnEnd(p));
    p.OnUi([](CMainFrame& f) { EXPECT_FALSE(BurnPageAt(f)->engine.IsStopped()); });
  }));
  EXPECT_EQ(1u, e.CountCommands(kBlank));
  EXPECT_EQ("", CompareDiscWithImage(e, image));
  const std::u16string log = app.LogFile();
  ExpectGoodLog(log);
  EXPECT_TRUE(Contains(log, u"Quick Erase CD-RW")) << Narrow(log);
}

TEST(EndToEndBurn, RewritableWithDataKeptOnNo) {
  CAppSession app;
  CSimulatedRecorder& e = app.AddRecorder(u'E', Disc(MediumPreset::kCdRw, DiscFill::kComplete));
  std::vector<u8> before;
  ASSERT_TRUE(e.ReadStoredSector(16, &before));
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ASSERT_TRUE(StartImageBurn(p, AsTyped(Fixture(L"joliet.iso"))));
    ASSERT_TRUE(p.AnswerMessageBox(kTextEraseWarning, kTextNo));
    p.Settle();
    p.OnUi([](CMainFrame& f) { EXPECT_EQ(nullptr, BurnPageAt(f)); });
  }));
  EXPECT_EQ(0u, e.CountCommands(kBlank));
  EXPECT_EQ(0u, e.CountCommands(kWrite10));
  std::vector<u8> after;
  ASSERT_TRUE(e.ReadStoredSector(16, &after));
  EXPECT_EQ(before, after);
  EXPECT_TRUE(app.LogFile().empty());
}

// While a burn writes, its page shows no stop button (a disc half written
// cannot be taken back), and closing the program is refused with a notice;
// the burn then ends well.
TEST(EndToEndBurn, WhileWritingThePageOffersNoStopAndTheProgramStaysOpen) {
  CAppSession app;
  CSimulatedRecorder& e = app.AddRecorder(u'E', Disc(MediumPreset::kCdR, DiscFill::kBlank));
  const std::wstring image = PrepareMidBurn(app);
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ASSERT_TRUE(StartImageBurn(p, AsTyped(image)));
    ASSERT_TRUE(WaitMidBurn(p, app));
    p.OnUi([](CMainFrame& f) {
      BurnJobPage* page = BurnPageAt(f);
      EXPECT_FALSE(page->closeButton.IsVisible());
      EXPECT_FALSE(page->secondButton.IsVisible());
    });
    PostMessageW(static_cast<HWND>(p.MainWindow()), WM_CLOSE, 0, 0);
    p.Settle();
    p.WaitUntil("the notice", [](CMainFrame& f) { return f.notice.IsVisible(); });
    EXPECT_TRUE(IsWindow(static_cast<HWND>(p.MainWindow())));
    app.Gate().Release();
    ASSERT_TRUE(WaitForBurnEnd(p));
  }));
  EXPECT_EQ("", CompareDiscWithImage(e, image));
  ExpectGoodLog(app.LogFile());
}

// The recorder is pulled out while it writes: the page ends failed, the
// log says why, and the drive is unlocked and closed (the teardown checks).
TEST(EndToEndBurn, DriveRemovedWhileWriting) {
  CAppSession app;
  CSimulatedRecorder& e = app.AddRecorder(u'E', Disc(MediumPreset::kDvdPlusR, DiscFill::kBlank));
  const std::wstring image = app.WorkPath(L"removed.iso");
  ASSERT_TRUE(MakeImageFile(image, 3000));
  app.UnplugWhileWriting(e, 20);
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ASSERT_TRUE(StartImageBurn(p, AsTyped(image)));
    ASSERT_TRUE(WaitForBurnEnd(p));
    p.OnUi([](CMainFrame& f) {
      BurnJobPage* page = BurnPageAt(f);
      EXPECT_TRUE(page->engine.IsStopped());
      EXPECT_TRUE(page->closeButton.IsVisible());
    });
  }));
  EXPECT_NE("", CompareDiscWithImage(e, image));
  const std::u16string log = app.LogFile();
  EXPECT_TRUE(Contains(LogEndBlock(log), u"End Job")) << Narrow(log);
  EXPECT_FALSE(app.DeviceIo().VolumeLocked(u'E'));
}

}  // namespace
