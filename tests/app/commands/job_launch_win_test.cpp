#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/commands/job_launch.h"
#include "drive/drive_manager.h"
#include "support/recorder_fixture.h"

namespace {

class CQuestions final : public IJobQuestions {
 public:
  bool ConfirmErase() override { return ++asked, answer; }
  void ReportLockError(const CWideString& name) override { lockErrors.push_back(name.c_str()); }
  void ReportOpenError(DriveOpenFailure why, const CWideString& name) override {
    openErrors.push_back({why, name.c_str()});
  }
  bool answer = false;
  int asked = 0;
  std::vector<std::u16string> lockErrors;
  std::vector<std::pair<DriveOpenFailure, std::u16string>> openErrors;
};

class JobLaunchTest : public RecorderTest {
 protected:
  CQuestions ui;
};

TEST_F(JobLaunchTest, OnlyARewritableDiscWithDataIsAskedAbout) {
  struct Case {
    const char* name;
    MediumPreset preset;
    DiscFill fill;
    i32 source;
    bool answer;
    int asks;
    bool goesOn;
  };
  const Case cases[] = {
      {"blank CD-RW", MediumPreset::kCdRw, DiscFill::kBlank, -1, false, 0, true},
      {"CD-R with data", MediumPreset::kCdR, DiscFill::kAppendable, -1, false, 0, true},
      {"CD-RW with data, No", MediumPreset::kCdRw, DiscFill::kComplete, -1, false, 1, false},
      {"CD-RW with data, Yes", MediumPreset::kCdRw, DiscFill::kComplete, -1, true, 1, true},
      {"DVD+RW with data", MediumPreset::kDvdPlusRw, DiscFill::kComplete, 1, false, 1, false},
      {"copy of a CD-RW onto itself", MediumPreset::kCdRw, DiscFill::kComplete, 0, false, 0, true},
  };
  Attach();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Insert(c.preset, c.fill);
    CDriveManager manager;
    ui.asked = 0;
    ui.answer = c.answer;
    EXPECT_EQ(c.goesOn, ConfirmBurnDestination(manager, 0, c.source, ui));
    EXPECT_EQ(c.asks, ui.asked);
    EXPECT_EQ(0u, io_.OpenHandleCount());
  }
  // Erase methods ask too, all but the background-format continuation.
  for (u32 method = kEraseQuick; method <= kEraseContinueFormat; ++method) {
    ui.asked = 0;
    EXPECT_EQ(method == kEraseContinueFormat, ConfirmErase(method, ui)) << method;
    EXPECT_EQ(method == kEraseContinueFormat ? 0 : 1, ui.asked) << method;
  }
}

TEST_F(JobLaunchTest, TheDestinationIsLockedForTheJobOrReleasedWithAReport) {
  Attach();
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  CDriveManager manager;
  CDrive* drive = OpenLockedDestination(manager, 0, ui);
  ASSERT_NE(nullptr, drive);
  EXPECT_TRUE(io_.VolumeLocked(u'E'));
  // In use by that job, out of range or none chosen: nothing, and said why.
  EXPECT_EQ(nullptr, OpenLockedDestination(manager, 0, ui));
  EXPECT_EQ(nullptr, OpenLockedDestination(manager, 3, ui));
  EXPECT_EQ(nullptr, OpenLockedDestination(manager, -1, ui));
  const std::vector<std::pair<DriveOpenFailure, std::u16string>> said = {
      {DriveOpenFailure::kInUse, manager.GetName(0).c_str()},
      {DriveOpenFailure::kNoSuchDrive, u""},
      {DriveOpenFailure::kNoSuchDrive, u""}};
  EXPECT_EQ(said, ui.openErrors);
  EXPECT_TRUE(ui.lockErrors.empty());
  ReleaseDrive(&drive);
  // Someone else holds the volume lock: reported with the drive's name,
  // and the drive released again.
  CDrive other;
  ASSERT_TRUE(other.OpenDevice(kPath) && other.LockVolume());
  EXPECT_EQ(nullptr, OpenLockedDestination(manager, 0, ui));
  EXPECT_EQ(std::vector<std::u16string>{manager.GetName(0).c_str()}, ui.lockErrors);
  EXPECT_EQ(1u, io_.OpenHandleCount());
  other.UnlockVolume(false);
  other.Close();
  EXPECT_TRUE(recorder_.Violations().empty()) << ViolationText();
}

}  // namespace
