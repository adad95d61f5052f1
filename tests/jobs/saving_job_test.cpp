// The "Saving" job: its title, five seconds of work, its end block in the
// log and "log.log", its follow-up page, and a stop during the five seconds.
#include <gtest/gtest.h>

#include <string>

#include "support/job_recorder_fixture.h"
#include "jobs/saving_job.h"
#include "runtime/ui_strings.h"

namespace {

class SavingJobTest : public ::testing::Test {
 protected:
  SavingJobTest() : installed_(clock_) {
    InitEnglishStrings();
    InitSpanishStrings();
    InstallBuiltInLanguages();
    SetCurrentLanguage(kLanguageEnglish);
  }
  ~SavingJobTest() override { SetCurrentLanguage(kLanguageEnglish); }
  CVirtualClock clock_;
  CInstalledClock installed_;
  CHeadlessJobUi ui_;
  int followUp_ = 0;
};

// No image is ever written: after its five seconds the job ends as failed,
// and its log says why just before the end block. Without a file name it
// says that instead.
TEST_F(SavingJobTest, RunsFiveSecondsAndEndsAsFailedWritingNoImage) {
  struct Case {
    const char16_t* path;
    const char* title;
    const char* line;
  } const cases[] = {
      {u"C:\\work\\disc.iso", "Saving disc.iso...", "] No image was written: this program does not create file systems\r\n"},
      {u"C:\\work\\", "Saving ...", "] No image was written: no file name was given\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    CHeadlessJobUi ui;
    CSavingPage page(&ui);
    ASSERT_TRUE(page.StartJob(c.path, &followUp_));
    EXPECT_EQ(c.title, Narrow(page.deviceName));
    EXPECT_FALSE(page.IsStopped());  // while it runs, nothing has failed yet
    ASSERT_TRUE(WaitForJobEnd(page, 60000));
    EXPECT_TRUE(page.IsStopped());
    EXPECT_TRUE(page.HasFlags(kJobFinished));
    EXPECT_EQ(&followUp_, ui.PageShown());
    EXPECT_EQ(1u, ui.EndStateCount());
    double seconds = static_cast<double>(page.jobEnd - page.jobStart) / g_counterFrequency;
    EXPECT_GE(seconds, 5.0);
    u64 whole = static_cast<u64>(seconds);
    std::string total = "Total Time: " + std::string(whole / 60 < 10 ? "0" : "") + std::to_string(whole / 60) + ":" +
                        (whole % 60 < 10 ? "0" : "") + std::to_string(whole % 60) + "\r\n";
    // One stamped line, then the end block, and nothing else.
    std::string log = LogOf(page);
    std::string tail = c.line + total + "************************ End Job ************************\r\n";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(tail, log.substr(log.size() - tail.size()));
    EXPECT_EQ(0u, log.find('['));
    EXPECT_EQ(std::string::npos, log.find('[', 1));
  }
}

TEST_F(SavingJobTest, NamesWithoutSeparatorsAndInSpanish) {
  SetCurrentLanguage(kLanguageSpanish);
  CSavingPage page(&ui_);
  ASSERT_TRUE(page.StartJob(u"name.iso", nullptr));
  std::string title = Narrow(page.deviceName);
  EXPECT_EQ(" name.iso...", title.substr(title.size() - 12));
  EXPECT_NE("Saving name.iso...", title);
  CSavingPage slash(&ui_);
  ASSERT_TRUE(slash.StartJob(u"c:/img/other name.iso", nullptr));
  ASSERT_TRUE(WaitForJobEnd(page, 60000));
  ASSERT_TRUE(WaitForJobEnd(slash, 60000));
  EXPECT_EQ("other name.iso", Narrow(slash.fileName));
}

TEST_F(SavingJobTest, StopIsMarkedAndThePageClosesAfterTheWorker) {
  CSavingPage page(&ui_);
  ASSERT_TRUE(page.StartJob(u"C:\\x\\y.iso", nullptr));
  ui_.QueueAnswer(kAnswerYes);
  page.OnClose();
  EXPECT_TRUE(page.IsStopped());
  ASSERT_TRUE(ui_.WaitClosed(60000));
  EXPECT_TRUE(page.HasFlags(kJobFinished));
  EXPECT_EQ(0u, page.LiveThreads());
  EXPECT_EQ(1u, ui_.CloseCount());
}

}  // namespace
