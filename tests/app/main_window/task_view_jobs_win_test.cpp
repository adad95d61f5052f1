// The task view's job launchers in the real main window over the simulated
// recorder: a destination whose volume someone else holds is reported and
// no page stays behind; a rewritable disc with data is burnt over only
// after a Yes; an erase shows the task view with its page, and a finished
// page's close button takes the page out and frees it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window/main_frame.h"
#include "runtime/win.h"
#include "support/recorder_fixture.h"
#include "tests/app/main_window/first_start_settings_win.h"
#include "ui/support/real_window.h"

namespace {

class CScriptedQuestions final : public IJobQuestions {
 public:
  bool ConfirmErase() override { return ++asked, answer; }
  void ReportLockError(const CWideString& name) override { lockErrors.push_back(name.c_str()); }
  void ReportOpenError(DriveOpenFailure why, const CWideString&) override { openErrors.push_back(why); }
  bool answer = false;
  std::vector<DriveOpenFailure> openErrors;
  int asked = 0;
  std::vector<std::u16string> lockErrors;
};

class TaskViewJobs : public RecorderTest {
 protected:
  void SetUp() override { ForgetMainSettings(); }
  void TearDown() override { ForgetMainSettings(); }
  void Open(CMainFrame* frame) {
    ASSERT_TRUE(frame->Create(Rect{100, 100, 750, 550}));
    frame->pageHost.taskView.questions = &questions;
  }
  CScriptedQuestions questions;
};

TEST_F(TaskViewJobs, AFailedStartLeavesNoPageAndNoDrive) {
  Attach();
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  CMainFrame frame;
  Open(&frame);
  BurnRequest request;
  request.destination = 0;
  request.imagePath.Assign(u"fixtures/iso/joliet.iso");

  // The user says No to overwriting the disc: nothing starts.
  EXPECT_FALSE(frame.pageHost.taskView.StartBurnJob(request));
  EXPECT_EQ(questions.asked, 1);
  EXPECT_EQ(frame.pageHost.taskView.pane.jobs.GetCount(), 0u);

  // Someone else holds the volume: reported, no page, the drive given back.
  CDrive other;
  ASSERT_TRUE(other.OpenDevice(kPath) && other.LockVolume());
  questions.answer = true;
  EXPECT_FALSE(frame.pageHost.taskView.StartBurnJob(request));
  EXPECT_EQ(questions.lockErrors.size(), 1u);
  EXPECT_EQ(frame.pageHost.taskView.pane.jobs.GetCount(), 0u);
  EXPECT_FALSE(frame.pageHost.IsTaskViewShown());
  // Only the other holder's handle is open.
  EXPECT_EQ(io_.OpenHandleCount(), 1u);
  other.UnlockVolume(false);
  other.Close();

  // No destination at all (a window with no recorder to offer): said so.
  request.destination = kNoDrive;
  EXPECT_FALSE(frame.pageHost.taskView.StartBurnJob(request));
  EXPECT_EQ(std::vector<DriveOpenFailure>{DriveOpenFailure::kNoSuchDrive}, questions.openErrors);
  EXPECT_EQ(frame.pageHost.taskView.pane.jobs.GetCount(), 0u);
  DestroyWindow(static_cast<HWND>(frame.Handle()));
  PumpPending();
}

TEST_F(TaskViewJobs, AnEraseShowsItsPageUntilItsCloseButtonTakesItAway) {
  recorder_.SetTimings(ShortJobTimings());
  Attach();
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  CMainFrame frame;
  Open(&frame);
  // Continuing a background format asks nothing, and a CD-RW has none to
  // continue: the job ends (failed) on its own.
  frame.pageHost.StartEraseJob(5, 0);
  EXPECT_EQ(questions.asked, 0);
  EXPECT_TRUE(frame.pageHost.IsTaskViewShown());
  ASSERT_EQ(frame.pageHost.taskView.pane.jobs.GetCount(), 1u);
  CPageHolder* job = frame.pageHost.taskView.pane.jobs[0];
  EXPECT_TRUE(job->Widget()->IsVisible());
  EXPECT_TRUE(frame.pageHost.RefusesClose() || !job->RefusesClose());
  ASSERT_TRUE(PumpUntil([&] { return !job->RefusesClose(); }, 20000));
  // The close button of a finished page: out of the pane once its threads
  // have ended.
  using Page = CFormatJobPage<CJobPane<CTaskView<CMainFrame::PageHost>>>;
  static_cast<CPageHolderOf<Page>*>(job)->Page().OnCloseClicked();
  EXPECT_TRUE(PumpUntil([&] { return frame.pageHost.taskView.pane.jobs.GetCount() == 0; }, 20000));
  EXPECT_FALSE(io_.VolumeLocked(u'E'));
  DestroyWindow(static_cast<HWND>(frame.Handle()));
  PumpPending();
}

}  // namespace
