// What the burn-image window makes of the recorder's medium, over the
// simulated recorder: the decision table of its state update, the drive
// list that leaves out a drive a job holds, and overburn offered only within
// its margin and taken back after a medium change.
#include <gtest/gtest.h>

#include "app/commands/job_launch.h"
#include "app/job_windows/burn_image_state.h"
#include "app/job_windows/burn_image_window.h"
#include "drive/drive_manager.h"
#include "support/recorder_fixture.h"

namespace {

class CNoQuestions final : public IJobQuestions {
 public:
  bool ConfirmErase() override { return true; }
  void ReportLockError(const CWideString&) override {}
  void ReportOpenError(DriveOpenFailure, const CWideString&) override {}
};

class BurnImageState : public RecorderTest {
 protected:
  BurnMediumFacts Facts() {
    CDrive drive;
    EXPECT_TRUE(OpenDrive(&drive));
    BurnMediumFacts f = ReadBurnMediumFacts(drive);
    drive.Close();
    return f;
  }
};

TEST_F(BurnImageState, DecisionTableOverRecorderMedia) {
  Attach();
  struct Case {
    const char* name;
    MediumPreset preset;
    DiscFill fill;
    u32 capacityBlocks;  // 0: the preset's
    bool noDisc;
    i32 imageOverCapacity;  // image sectors = capacity + this (below: a small image)
    Change ok;
    u32 status;
    Change extra;
    Change mode2;
    Change finalize;
  };
  const Case cases[] = {
      {"blank CD-R", MediumPreset::kCdR, DiscFill::kBlank, 0, false, -1000, Change::kEnable, 0, Change::kDisable,
       Change::kEnable, Change::kEnable},
      {"appendable CD-R", MediumPreset::kCdR, DiscFill::kAppendable, 0, false, -1000000, Change::kDisable,
       kTextInsertEmptyDisc, Change::kKeep, Change::kEnable, Change::kEnable},
      {"closed CD-R", MediumPreset::kCdR, DiscFill::kComplete, 0, false, -1000000, Change::kDisable,
       kTextInsertEmptyDisc, Change::kKeep, Change::kEnable, Change::kEnable},
      {"CD-RW with data", MediumPreset::kCdRw, DiscFill::kComplete, 0, false, -1000, Change::kEnable,
       kTextEraseNotice, Change::kDisable, Change::kEnable, Change::kEnable},
      {"DVD-RW with data", MediumPreset::kDvdRwSequential, DiscFill::kComplete, 0, false, -1000, Change::kEnable,
       kTextEraseNotice, Change::kDisable, Change::kDisable, Change::kDisable},
      {"blank DVD+R too small", MediumPreset::kDvdPlusR, DiscFill::kBlank, 0, false, 1, Change::kDisable,
       kTextNotEnoughSpace, Change::kKeep, Change::kDisable, Change::kEnable},
      {"blank CD-R one sector short: overburnable", MediumPreset::kCdR, DiscFill::kBlank, 0, false, 1,
       Change::kDisable, kTextNotEnoughSpace, Change::kEnable, Change::kEnable, Change::kEnable},
      {"blank CD-R beyond the margin", MediumPreset::kCdR, DiscFill::kBlank, 18000, false, 1000,
       Change::kDisable, kTextNotEnoughSpace, Change::kKeep, Change::kEnable, Change::kEnable},
      {"no disc", MediumPreset::kCdR, DiscFill::kBlank, 0, true, 0, Change::kDisable, kTextInsertEmptyDisc,
       Change::kKeep, Change::kDisable, Change::kKeep},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.noDisc) {
      recorder_.RemoveMedium();
      Settle();
    } else {
      MediumOptions o;
      o.preset = c.preset;
      o.fill = c.fill;
      o.capacityBlocks = c.capacityBlocks;
      Insert(o);
    }
    BurnStateInput in = {};
    in.medium = Facts();
    const i64 sectors = static_cast<i64>(in.medium.capacity) + c.imageOverCapacity;
    in.imageSectors = sectors > 0 ? static_cast<u32>(sectors) : 1;
    const BurnStateDecision d = DecideBurnState(in);
    EXPECT_EQ(d.ok, c.ok);
    EXPECT_EQ(d.status, c.status);
    EXPECT_EQ(d.extraSize, c.extra);
    EXPECT_EQ(d.mode2Form1, c.mode2);
    EXPECT_EQ(d.finalize, c.finalize);
    EXPECT_TRUE(ViolationText().empty()) << ViolationText();
  }
}

// Overburn is re-checked after a medium change: on a CD that still takes
// the image within the margin it holds (OK enabled); on a disc beyond the
// margin, or not a CD, it is taken back.
TEST_F(BurnImageState, OverburnHoldsOnlyWithinTheMarginOnACd) {
  Attach();
  Insert(MediumPreset::kCdR);
  BurnStateInput in = {};
  in.medium = Facts();
  in.extraSize = true;
  in.imageSectors = in.medium.capacity + 10;
  BurnStateDecision d = DecideBurnState(in);
  EXPECT_EQ(d.ok, Change::kEnable);
  EXPECT_FALSE(d.clearExtraSize);
  EXPECT_EQ(d.method, Change::kKeep);  // disc at once stays forced

  in.imageSectors = in.medium.capacity + in.medium.capacity / 18;  // the margin itself is out
  d = DecideBurnState(in);
  EXPECT_EQ(d.ok, Change::kDisable);
  EXPECT_TRUE(d.clearExtraSize);

  MediumOptions dvd;
  dvd.preset = MediumPreset::kDvdPlusR;
  Insert(dvd);
  in.medium = Facts();
  in.imageSectors = in.medium.capacity + 10;
  d = DecideBurnState(in);
  EXPECT_EQ(d.ok, Change::kDisable);
  EXPECT_TRUE(d.clearExtraSize);

  // A disc the image fits: the offer is withdrawn and the box unchecked.
  Insert(MediumPreset::kCdR);
  in.medium = Facts();
  in.imageSectors = 100;
  d = DecideBurnState(in);
  EXPECT_EQ(d.ok, Change::kEnable);
  EXPECT_TRUE(d.clearExtraSize);
  // The margin in 64 bits: no wrap near the top of the range.
  EXPECT_TRUE(OverburnFits(0xFFFFFFF0u, 0xFFFFFFF0u - 1));
  EXPECT_FALSE(OverburnFits(0xFFFFFFFFu, 0));
}

// An audio layout wants a writable CD; a failed capacity read changes
// nothing beyond the medium's own controls.
TEST_F(BurnImageState, AudioLayoutWantsAWritableCd) {
  Attach();
  Insert(MediumPreset::kDvdPlusR);
  BurnStateInput in = {};
  in.audioLayout = in.audioRequest = true;
  in.medium = Facts();
  in.imageSectors = 1000;
  const BurnStateDecision d = DecideBurnState(in);
  EXPECT_EQ(d.ok, Change::kDisable);
  EXPECT_EQ(d.status, kTextInsertWritableCd);
  BurnStateInput failed = {};
  failed.medium.profile = 0x09;
  failed.medium.cd = true;
  failed.medium.capacityFailed = true;
  const BurnStateDecision keep = DecideBurnState(failed);
  EXPECT_EQ(keep.ok, Change::kKeep);
  EXPECT_FALSE(keep.settled);
}

// A drive a job holds (opened and locked) is not offered; a free recorder is.
TEST_F(BurnImageState, ADriveInUseByAJobIsNotListed) {
  Attach();
  Insert(MediumPreset::kCdR);
  CDriveManager manager;
  CArray<u32> map(16);
  ListFreeRecorders(manager, &map);
  ASSERT_EQ(map.GetCount(), 1u);
  EXPECT_EQ(map[0], 0u);
  CNoQuestions q;
  CDrive* held = OpenLockedDestination(manager, 0, q);
  ASSERT_NE(held, nullptr);
  ListFreeRecorders(manager, &map);
  EXPECT_EQ(map.GetCount(), 0u);
  ReleaseLockedDestination(&held);
  ListFreeRecorders(manager, &map);
  EXPECT_EQ(map.GetCount(), 1u);
  EXPECT_EQ(0u, io_.OpenHandleCount());
}

}  // namespace
