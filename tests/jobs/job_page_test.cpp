// The job frame: thread lifetime and close handling, the stop question,
// calls onto the user-interface thread, refresh threads, progress and the
// append to "log.log" from jobs that end at once.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/job_recorder_fixture.h"
#include "jobs/job_page.h"
#include "support/headless_job_ui.h"
#include "support/virtual_clock.h"

namespace {

std::atomic<bool> g_release{false};

// A job body that runs until the test releases it, then ends the job.
u32 HeldJob(CJobPage* page) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!g_release.load() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  page->LogLine(u"job body done");
  page->EndJob();
  // Work after the end (the drive is released here in real jobs).
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  return 0;
}

class JobFrameTest : public ::testing::Test {
 protected:
  JobFrameTest() : installed_(clock_) {
    clock_.SetRealPace(1);
    g_release = false;
  }
  CVirtualClock clock_;
  CInstalledClock installed_;
  CHeadlessJobUi ui_;
};

TEST_F(JobFrameTest, FinishedPageClosesWithoutAsking) {
  CJobPage page(&ui_);
  ASSERT_TRUE(page.StartFrame(0, u"E:", kFormatRefreshMs, kRefreshThreadStack, true));
  page.EndJob();
  page.StopRefreshThread();
  ASSERT_TRUE(WaitForJobEnd(page, 10000));
  page.OnClose();
  EXPECT_TRUE(ui_.Questions().empty());
  EXPECT_EQ(1u, ui_.CloseCount());
}

TEST_F(JobFrameTest, RunningPageAnsweredNoKeepsRunning) {
  CJobPage page(&ui_);
  CThread job;
  ASSERT_TRUE(page.StartJobThread(&job, &HeldJob, kJobThreadStack));
  ui_.QueueAnswer(kAnswerNo);
  page.OnClose();
  ASSERT_EQ(1u, ui_.Questions().size());
  EXPECT_EQ(kTextStopQuestion, ui_.Questions()[0].textId);
  EXPECT_EQ(kTextWarning, ui_.Questions()[0].titleId);
  EXPECT_EQ(kStopQuestionFlags, ui_.Questions()[0].flags);
  EXPECT_FALSE(page.IsStopped());
  EXPECT_EQ(0u, ui_.StopRequestedCount());
  EXPECT_FALSE(page.CloseRequested());
  g_release = true;
  ASSERT_TRUE(job.Join(30000));
  EXPECT_EQ(0u, ui_.CloseCount());
}

TEST_F(JobFrameTest, ConfirmedStopClosesOnlyAfterTheLastThreadEnds) {
  CJobPage page(&ui_);
  CThread job;
  ASSERT_TRUE(page.StartFrame(0, u"E:", kBurnRefreshMs, kRefreshThreadStack, true));
  ASSERT_TRUE(page.StartJobThread(&job, &HeldJob, kJobThreadStack));
  EXPECT_EQ(2u, page.LiveThreads());
  ui_.QueueAnswer(kAnswerYes);
  page.OnClose();
  EXPECT_TRUE(page.IsStopped());
  EXPECT_EQ(1u, ui_.StopRequestedCount());
  EXPECT_TRUE(page.CloseRequested());
  // A second press while stopping asks nothing more.
  page.OnClose();
  EXPECT_EQ(1u, ui_.Questions().size());
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(0u, ui_.CloseCount()) << "closed while its threads run";
  g_release = true;
  ASSERT_TRUE(ui_.WaitClosed(30000));
  EXPECT_EQ(0u, page.LiveThreads());
  EXPECT_TRUE(page.HasFlags(kJobFinished));
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(1u, ui_.CloseCount());
}

TEST_F(JobFrameTest, CloseOfAFinishedPageWaitsForWorkAfterTheEnd) {
  CJobPage page(&ui_);
  CThread job;
  ASSERT_TRUE(page.StartJobThread(&job, &HeldJob, kJobThreadStack));
  g_release = true;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!page.HasFlags(kJobFinished) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::yield();
  page.OnClose();  // finished, but its thread still releases the drive
  EXPECT_TRUE(ui_.Questions().empty());
  ASSERT_TRUE(ui_.WaitClosed(30000));
  EXPECT_EQ(0u, page.LiveThreads());
}

u32 QuickJob(CJobPage* page) {
  page->EndJob();
  return 0;
}

TEST_F(JobFrameTest, CloseRacingTheLastThreadClosesOnceAndNeverEarly) {
  std::remove("log.log");
  for (int round = 0; round < 200; ++round) {
    CHeadlessJobUi ui;
    CJobPage page(&ui);
    std::atomic<u32> liveAtClose{99};
    ui.SetOnClose([&] { liveAtClose = page.LiveThreads(); });
    ui.SetDefaultAnswer(kAnswerYes);
    CThread job;
    ASSERT_TRUE(page.StartJobThread(&job, &QuickJob, kJobThreadStack));
    // The user presses close while the job ends: either as a stop of a
    // running job or as the close of a finished one.
    if (round % 2) std::this_thread::yield();
    page.OnClose();
    ASSERT_TRUE(ui.WaitClosed(30000)) << round;
    ASSERT_TRUE(job.Join(30000));
    EXPECT_EQ(1u, ui.CloseCount()) << round;
    EXPECT_EQ(0u, liveAtClose.load()) << round;
  }
  std::remove("log.log");
}

// Any object's member can be the call (job pages use their own members).
struct Probe {
  void Ask() {
    ranOnUi = CHeadlessJobUi::OnUiThread();
    ++calls;
  }
  bool ranOnUi = false;
  int calls = 0;
};

TEST_F(JobFrameTest, QuestionsRunOnTheUserInterfaceThreadOrCountAsCancel) {
  CJobPage page(&ui_);
  Probe probe;
  EXPECT_TRUE((page.CallMemberOnUiThread<Probe, &Probe::Ask>(&probe)));
  EXPECT_TRUE(probe.ranOnUi);
  EXPECT_EQ(1, probe.calls);
  ui_.SetUiAvailable(false);
  EXPECT_FALSE((page.CallMemberOnUiThread<Probe, &Probe::Ask>(&probe)));
  EXPECT_EQ(1, probe.calls);
  // Without a user interface at all nothing can be asked either.
  CJobPage lonely(nullptr);
  EXPECT_FALSE((lonely.CallMemberOnUiThread<Probe, &Probe::Ask>(&probe)));
  EXPECT_EQ(1, probe.calls);
}

TEST_F(JobFrameTest, ProgressSetsTheBarOnlyWithAnEstimate) {
  CJobPage page(&ui_);
  for (int i = 1; i <= 4; ++i) {
    clock_.Advance(1000);
    page.UpdateProgress(i * 0.1);
  }
  EXPECT_TRUE(ui_.BarHistory(kBarOverall).empty());
  EXPECT_EQ(0u, page.remainingMs.load());
  clock_.Advance(1000);
  page.UpdateProgress(0.5);
  ASSERT_EQ(1u, ui_.BarHistory(kBarOverall).size());
  EXPECT_DOUBLE_EQ(50.0, ui_.BarValue(kBarOverall));
  // 10 % a second: 5 s left.
  EXPECT_NEAR(5000.0, page.remainingMs.load(), 2.0);
  page.UpdateProgress(1.0);
  EXPECT_DOUBLE_EQ(100.0, ui_.BarValue(kBarOverall));
  EXPECT_EQ(0u, page.remainingMs.load());
}

std::string ReadJobLogFile() {
  std::ifstream in("log.log", std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    unsigned unit = static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8);
    text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  }
  if (bytes.size() % 2) text.push_back('!');
  return text;
}

TEST_F(JobFrameTest, TwoJobsEndingAtOnceBothReachTheLogFile) {
  std::remove("log.log");
  // Large logs so that unserialised appends would interleave.
  std::u16string chunkA(3000, u'a'), chunkB(3000, u'b');
  for (int round = 0; round < 3; ++round) {
    CJobPage first(&ui_), second(&ui_);
    for (int i = 0; i < 100; ++i) {
      first.LogRaw(chunkA.c_str());
      second.LogRaw(chunkB.c_str());
    }
    std::atomic<int> ready{0};
    auto end = [&](CJobPage* page) {
      ++ready;
      while (ready.load() < 2) std::this_thread::yield();
      page->EndJob();
      page->WriteLogFile();
    };
    std::thread a(end, &first), b(end, &second);
    a.join();
    b.join();
  }
  std::string text = ReadJobLogFile();
  const std::string endBlock = "Total Time: 00:00\r\n************************ End Job ************************\r\n";
  std::string a = std::string(300000, 'a') + endBlock;
  std::string b = std::string(300000, 'b') + endBlock;
  ASSERT_EQ(6 * a.size(), text.size());
  size_t pos = 0;
  int as = 0, bs = 0;
  while (pos < text.size()) {
    if (text.compare(pos, a.size(), a) == 0) {
      ++as;
      pos += a.size();
    } else if (text.compare(pos, b.size(), b) == 0) {
      ++bs;
      pos += b.size();
    } else {
      FAIL() << "interleaved log at byte " << pos;
    }
  }
  EXPECT_EQ(3, as);
  EXPECT_EQ(3, bs);
  std::remove("log.log");
}

}  // namespace
