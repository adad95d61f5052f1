// Copy disc and Erase through the interface: the windows opened from the
// Burner menu, drives and methods chosen, OK pressed, the jobs watched to
// their end, and each disc checked against its source.
#include <gtest/gtest.h>

#include <string>

#include "app/commands/command_ids.h"
#include "app/job_windows/copy_disc_window.h"
#include "app/job_windows/erase_window.h"
#include "app/job_windows/insert_disc_prompt.h"
#include "app/main_window/main_frame.h"
#include "app_session_win.h"
#include "person_win.h"
#include "runtime/win.h"
#include "support/disc_options.h"
#include "shown_place_win.h"
#include "ui/windows/dialogs/message_box.h"

namespace {

constexpr u32 kSourceBlocks = 3000;
constexpr u32 kTextYes = 2;
constexpr u32 kTextEraseQuestion = 77;

// A data CD of one track, the source of a copy.
MediumOptions DataCd(u32 blocks) { return Disc(MediumPreset::kCdRom, DiscFill::kComplete, blocks); }

// Empty when the recorder's disc holds the preset data of a source disc
// from block 0 to `blocks`, else the first difference.
std::string CompareWithSource(const CSimulatedRecorder& disc, u32 blocks) {
  std::vector<u8> sector;
  for (u32 lba = 0; lba < blocks; ++lba) {
    if (!disc.ReadStoredSector(lba, &sector)) return "block " + std::to_string(lba) + " was not written";
    const u32 offset = sector.size() == 2352 ? 16 : 0;
    if (sector.size() < offset + 2048) return "block " + std::to_string(lba) + " is short";
    for (u32 i = 0; i < 2048; ++i)
      if (sector[offset + i] != PatternByte(lba, i))
        return "block " + std::to_string(lba) + " differs at byte " + std::to_string(i);
  }
  return "";
}

// The only job in the task view has ended.
bool JobEnded(CMainFrame& f) {
  auto& pane = f.pageHost.taskView.pane;
  return pane.jobs.GetCount() == 1 && !pane.jobs[0]->RefusesClose();
}

// The copy window open over the main window: its source and destination
// entries chosen by drive index and "Direct copy" set, until OK is on.
bool ChooseCopy(CPerson& p, i32 source, i32 destination, bool direct, const wchar_t* shot = nullptr) {
  void* w = p.WaitForActiveWindow("the copy-disc window", p.MainWindow());
  bool ready = false;
  p.WaitUntil("the copy to be possible", [&](CMainFrame&) {
    CCopyDiscWindow* win = WindowObject<CCopyDiscWindow>(w);
    if (!win) return false;
    for (u32 i = 0; i < win->sourceMap.GetCount(); ++i)
      if (static_cast<i32>(win->sourceMap[i]) == source && win->sourceEntry != static_cast<i32>(i))
        win->sourceList.SetSelection(static_cast<i32>(i));
    for (u32 i = 0; i < win->destMap.GetCount(); ++i)
      if (static_cast<i32>(win->destMap[i]) == destination && win->destEntry != static_cast<i32>(i))
        win->destinationList.SetSelection(static_cast<i32>(i));
    if (win->directCopy.IsChecked() != direct && win->DirectCopyOffered()) {
      win->directCopy.SetChecked(direct);
      win->directCopy.change.Call(win, direct);
    }
    ready = win->CanAccept() && win->SourceDrive() == source && win->DestinationDrive() == destination;
    return ready;
  });
  bool offered = false;
  p.OnUi([&](CMainFrame&) {
    if (CCopyDiscWindow* win = WindowObject<CCopyDiscWindow>(w)) offered = win->DirectCopyOffered();
  });
  EXPECT_EQ(source != destination, offered) << "direct copy is offered between two drives only";
  if (shot) p.Screenshot(shot);
  return ready;
}

// ... and OK pressed.
bool AcceptCopy(CPerson& p, i32 source, i32 destination, bool direct, const wchar_t* shot = nullptr) {
  return ChooseCopy(p, source, destination, direct, shot) && p.Press(VK_RETURN);
}

class CopyDiscEndToEnd : public ::testing::TestWithParam<bool> {};

TEST_P(CopyDiscEndToEnd, CdOntoABlankCdROnAnotherDrive) {
  const bool direct = GetParam();
  CAppSession app;
  CSimulatedRecorder& e = app.AddRecorder(u'E', DataCd(kSourceBlocks));
  CSimulatedRecorder& f = app.AddRecorder(u'F', Disc(MediumPreset::kCdR, DiscFill::kBlank));
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("both drives", [](CMainFrame& m) { return m.drives.GetDriveCount() == 2; });
    ASSERT_TRUE(p.ChooseMenuItem(kCmdCopyDisc));
    ASSERT_TRUE(AcceptCopy(p, 0, 1, direct, direct ? L"copy_disc_window.png" : nullptr));
    p.WaitUntil("the copy to end", JobEnded, 120000);
  }));
  const std::u16string log = app.LogFile();
  EXPECT_EQ("", CompareWithSource(f, kSourceBlocks)) << std::string(log.begin(), log.end());
  EXPECT_TRUE(f.Finalized());
  EXPECT_TRUE(e.HasMedium());
  // Only the copy through the hard disk goes through the temporary image.
  EXPECT_FALSE(LogEndBlock(log).empty()) << std::string(log.begin(), log.end());
  EXPECT_EQ(!direct, log.find(u"KelvaneTemp") != std::u16string::npos);
}

INSTANTIATE_TEST_SUITE_P(DirectAndThroughTheImage, CopyDiscEndToEnd, ::testing::Bool());

// One drive: the source is read, the tray opens, the prompt waits; a blank
// CD-R put in is found by the prompt's next look and accepted with Enter.
TEST(CopyDiscOneDrive, ThePromptTakesTheBlankDiscInsertedInTheRecorder) {
  CAppSession app;
  CSimulatedRecorder& e = app.AddRecorder(u'E', DataCd(kSourceBlocks));
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
    ASSERT_TRUE(p.ChooseMenuItem(kCmdCopyDisc));
    ASSERT_TRUE(AcceptCopy(p, 0, 0, false));
    void* prompt = p.WaitForActiveWindow("the insert-disc prompt", p.MainWindow());
    p.OnUi([&](CMainFrame& f) { ExpectShownPlace(prompt, 360, 156, 259, 199, f.ToWindowRect(), "insert-disc prompt"); });
    bool refused = false;
    p.WaitUntil("the prompt to refuse the source disc", [&](CMainFrame&) {
      CInsertDiscPrompt* w = WindowObject<CInsertDiscPrompt>(prompt);
      refused = w && !w->CanAccept() && w->IsWaiting();
      return refused;
    });
    ASSERT_TRUE(refused);
    p.Screenshot(L"insert_disc_prompt.png");
    e.RemoveMedium();
    e.InsertMedium(Disc(MediumPreset::kCdR, DiscFill::kBlank));
    p.WaitUntil("the prompt to take the blank disc", [&](CMainFrame&) {
      CInsertDiscPrompt* w = WindowObject<CInsertDiscPrompt>(prompt);
      return w && w->CanAccept();
    });
    ASSERT_TRUE(p.Press(VK_RETURN));
    p.WaitUntil("the prompt to close", [prompt](CMainFrame&) { return !IsWindow(static_cast<HWND>(prompt)); });
    p.WaitUntil("the copy to end", JobEnded, 120000);
  }));
  EXPECT_EQ(0x09, e.CurrentProfile());
  EXPECT_EQ("", CompareWithSource(e, kSourceBlocks));
}

TEST(CopyDiscOneDrive, CancellingThePromptEndsTheCopyWithoutWriting) {
  CAppSession app;
  CSimulatedRecorder& e = app.AddRecorder(u'E', DataCd(kSourceBlocks));
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
    ASSERT_TRUE(p.ChooseMenuItem(kCmdSpanish));
    p.Settle();
    ASSERT_TRUE(p.ChooseMenuItem(kCmdCopyDisc));
    ASSERT_TRUE(AcceptCopy(p, 0, 0, false, L"copy_disc_window_es.png"));
    void* prompt = p.WaitForActiveWindow("the insert-disc prompt", p.MainWindow());
    p.WaitUntil("the prompt", [&](CMainFrame&) { return WindowObject<CInsertDiscPrompt>(prompt) != nullptr; });
    p.Screenshot(L"insert_disc_prompt_es.png");
    ASSERT_TRUE(p.Press(VK_ESCAPE));
    p.WaitUntil("the prompt to close", [prompt](CMainFrame&) { return !IsWindow(static_cast<HWND>(prompt)); });
    p.WaitUntil("the copy to end", JobEnded, 120000);
  }));
  // Nothing was written; the source disc waits on the open tray.
  EXPECT_EQ(0u, e.CountCommands(0x2A));
  EXPECT_TRUE(e.TrayOpen());
  e.CloseTray();
  e.MakeReady();
  EXPECT_EQ(0x08, e.CurrentProfile());
}

// The destination taken by another holder after the window found it fit:
// OK starts no job and says why, in a message the person closes; nothing
// is written.
TEST(CopyDiscLaunch, ADestinationThatCannotBeOpenedIsReported) {
  CAppSession app;
  app.AddRecorder(u'E', DataCd(kSourceBlocks));
  CSimulatedRecorder& f = app.AddRecorder(u'F', Disc(MediumPreset::kCdR, DiscFill::kBlank));
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    p.WaitUntil("both drives", [](CMainFrame& m) { return m.drives.GetDriveCount() == 2; });
    ASSERT_TRUE(p.ChooseMenuItem(kCmdCopyDisc));
    ASSERT_TRUE(ChooseCopy(p, 0, 1, true));
    CDrive* held = nullptr;
    std::u16string expected;
    p.OnUi([&](CMainFrame& m) {
      held = m.drives.OpenDrive(1);
      expected = std::u16string(u"The device is in use by another task: ") + m.drives.GetName(1).c_str();
    });
    ASSERT_NE(nullptr, held);
    ASSERT_TRUE(p.Press(VK_RETURN));
    void* box = nullptr;
    std::u16string said;
    p.WaitUntil("the report", [&](CMainFrame&) {
      box = GetActiveWindow();
      CMessageBox* m = WindowObject<CMessageBox>(box);
      if (m) said = m->text;
      return m != nullptr;
    });
    EXPECT_EQ(expected, said);
    ASSERT_TRUE(p.Press(VK_RETURN));
    p.WaitUntil("the report to close", [box](CMainFrame&) { return !IsWindow(static_cast<HWND>(box)); });
    p.OnUi([&](CMainFrame& m) {
      EXPECT_EQ(0u, m.pageHost.taskView.pane.jobs.GetCount());
      ReleaseDrive(&held);
    });
  }));
  EXPECT_EQ(0u, f.CountCommands(0x2A));
}

// A drive holding a rewritable disc, its erases and formats as short as a
// job's tests have them.
CSimulatedRecorder& AddRewritable(CAppSession& app, const MediumOptions& medium) {
  CSimulatedRecorder& e = app.AddRecorder(u'E', medium);
  e.SetTimings(ShortJobTimings());
  return e;
}

// The erase window on a drive with a rewritable disc: the method chosen,
// OK, the question answered Yes, the job watched to its end.
void EraseThroughTheWindow(CPerson& p, u32 methodId, bool asked = true, const wchar_t* shot = nullptr) {
  p.WaitUntil("the drive", [](CMainFrame& m) { return m.drives.GetDriveCount() == 1; });
  ASSERT_TRUE(p.ChooseMenuItem(kCmdEraseDisc));
  void* w = p.WaitForActiveWindow("the erase window", p.MainWindow());
  p.WaitUntil("the method to be chosen", [&](CMainFrame&) {
    CEraseWindow* win = WindowObject<CEraseWindow>(w);
    if (!win || !win->CanAccept()) return false;
    for (u32 i = 0; i < win->methodCount; ++i)
      if (win->methodIds[i] == methodId) win->methodList.SetSelection(static_cast<i32>(i));
    win->SelectedMethod();
    return win->method == EraseMethodCode(methodId);
  });
  if (shot) p.Screenshot(shot);
  ASSERT_TRUE(p.Press(VK_RETURN));
  if (asked) {
    ASSERT_TRUE(p.AnswerMessageBox(kTextEraseQuestion, kTextYes));
  }
  p.WaitUntil("the job to end", JobEnded, 120000);
}

TEST(EraseEndToEnd, QuickEraseOfACdRw) {
  CAppSession app;
  CSimulatedRecorder& e = AddRewritable(app, Disc(MediumPreset::kCdRw, DiscFill::kComplete));
  ASSERT_TRUE(app.Run([&](CPerson& p) { EraseThroughTheWindow(p, kTextQuickErase, true, L"erase_window.png"); }));
  EXPECT_EQ(0u, e.DiscStatus()) << "blank";
  EXPECT_EQ(1u, e.CountCommands(0xA1)) << "one BLANK";
}

// A drive that can format CD-RW offers "Full format" for it, and the job
// formats the disc with FORMAT UNIT.
TEST(EraseEndToEnd, FullFormatOfACdRw) {
  CAppSession app;
  CSimulatedRecorder& e = AddRewritable(app, Disc(MediumPreset::kCdRw, DiscFill::kComplete));
  ASSERT_TRUE(app.Run([&](CPerson& p) { EraseThroughTheWindow(p, kTextFullFormat); }));
  EXPECT_EQ(1u, e.CountCommands(0x04)) << "one FORMAT UNIT";
  EXPECT_EQ(0u, e.CountCommands(0xA1)) << "no BLANK";
  EXPECT_EQ(0u, e.DiscStatus()) << "formatted, nothing left of the data";
  const std::u16string log = app.LogFile();
  EXPECT_NE(std::u16string::npos, log.find(u"End Format/Erase process"));
  EXPECT_EQ(std::u16string::npos, log.find(u"SCSI Error"));
}

TEST(EraseEndToEnd, FullFormatOfADvdPlusRw) {
  CAppSession app;
  CSimulatedRecorder& e = AddRewritable(app, Disc(MediumPreset::kDvdPlusRw, DiscFill::kBlank));
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    ASSERT_TRUE(p.ChooseMenuItem(kCmdSpanish));
    p.Settle();
    EraseThroughTheWindow(p, kTextFullFormat, true, L"erase_window_es.png");
  }));
  EXPECT_EQ(3u, e.BackgroundFormatStatus()) << "formatted to the end";
  EXPECT_FALSE(e.LongOperationRunning());
}

// Going on with a stopped background format erases nothing: no question.
TEST(EraseEndToEnd, ContinuingABackgroundFormatAsksNothing) {
  CAppSession app;
  CSimulatedRecorder& e = AddRewritable(app, Disc(MediumPreset::kDvdPlusRw, DiscFill::kAppendable));
  ASSERT_EQ(1u, e.BackgroundFormatStatus());
  ASSERT_TRUE(app.Run([&](CPerson& p) {
    EraseThroughTheWindow(p, kTextContinueFormat, false);
    // Nothing but the main window asked anything.
    void* active = nullptr;
    p.OnUi([&](CMainFrame&) { active = GetActiveWindow(); });
    EXPECT_EQ(p.MainWindow(), active);
  }));
  EXPECT_NE(1u, e.BackgroundFormatStatus()) << "the format went on";
}

}  // namespace
