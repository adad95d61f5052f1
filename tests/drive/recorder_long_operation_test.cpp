// Readiness and long operations on virtual time: becoming ready, unit
// attention, IMMED blank and format with progress in sense data and in
// GET EVENT STATUS NOTIFICATION, deferred errors, the system's time-out.
#include "recorder_test_fixture.h"

namespace {

class RecorderLongOperation : public RecorderEngineTest {
 protected:
  // Remaining time of the device-busy event, -1 without one.
  int BusyTime() {
    RecorderReply r = client_.In({0x4A, 0x01, 0, 0, 0x40, 0, 0, 0, 8, 0}, 8);
    if (!r.Good() || r.data.size() < 8 || (r.data[2] & 0x80) || (r.data[2] & 7) != 6 || r.data[5] == 0) return -1;
    return (r.data[6] << 8) | r.data[7];
  }
};

TEST_F(RecorderLongOperation, BecomingReadyThenUnitAttentionThenReady) {
  RecorderTimings timings;
  timings.becomingReadyMs = 3000;
  recorder_.SetTimings(timings);
  MediumOptions options;
  options.preset = MediumPreset::kCdR;
  recorder_.InsertMedium(options);
  ExpectSense(client_.TestUnitReady(), 2, 0x04, 0x01);
  ExpectSense(client_.In({0x46, 0, 0, 0, 0, 0, 0, 0x08, 0x08, 0}, 2056), 2, 0x04, 0x01);
  clock_.Sleep(2999);
  ExpectSense(client_.TestUnitReady(), 2, 0x04, 0x01);
  clock_.Sleep(1);
  // INQUIRY and GET CONFIGURATION pass a pending unit attention.
  EXPECT_TRUE(client_.In({0x12, 0, 0, 0, 96, 0}, 96).Good());
  RecorderReply config = client_.In({0x46, 0, 0, 0, 0, 0, 0, 0x08, 0x08, 0}, 2056);
  ASSERT_TRUE(config.Good());
  EXPECT_EQ(0x09, config.data[7]);
  ExpectSense(client_.TestUnitReady(), 6, 0x28, 0x00);
  EXPECT_TRUE(client_.TestUnitReady().Good());
}

TEST_F(RecorderLongOperation, TrayAndMediumStates) {
  ExpectSense(client_.TestUnitReady(), 2, 0x3A, 0x01);
  Insert(MediumPreset::kDvdPlusRw, DiscFill::kComplete);
  EXPECT_TRUE(recorder_.PressEject());
  ExpectSense(client_.TestUnitReady(), 2, 0x3A, 0x02);
  recorder_.CloseTray();
  recorder_.MakeReady();
  ExpectSense(client_.TestUnitReady(), 6, 0x28, 0x00);
  // Removal prevented: the eject button and START STOP UNIT eject are refused.
  ASSERT_TRUE(client_.In({0x1E, 0, 0, 0, 1, 0}).Good());
  EXPECT_FALSE(recorder_.PressEject());
  ExpectSense(client_.In({0x1B, 0, 0, 0, 0x02, 0}), 5, 0x53, 0x02);
  ASSERT_TRUE(client_.In({0x1E, 0, 0, 0, 0, 0}).Good());
  u64 before = clock_.NowMs();
  ASSERT_TRUE(client_.In({0x1B, 0, 0, 0, 0x02, 0}).Good());
  EXPECT_GT(clock_.NowMs(), before);  // the tray took its time
  EXPECT_TRUE(recorder_.TrayOpen());
  ASSERT_TRUE(client_.In({0x1B, 1, 0, 0, 0x03, 0}).Good());
  EXPECT_FALSE(recorder_.TrayOpen());
}

TEST_F(RecorderLongOperation, ImmediateBlankReportsProgressUntilDone) {
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  RecorderTimings timings;
  timings.blankMinimalMs = 40000;
  recorder_.SetTimings(timings);
  ASSERT_TRUE(client_.In({0xA1, 0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).Good());
  int last = -1;
  int lastBusy = 1 << 30;
  int rounds = 0;
  for (;;) {
    RecorderReply r = client_.TestUnitReady();
    if (r.Good()) break;
    ExpectSense(r, 2, 0x04, 0x07);
    int progress = r.Progress();
    EXPECT_GT(progress, last);
    last = progress;
    int busy = BusyTime();
    EXPECT_GE(busy, 0);
    EXPECT_LT(busy, lastBusy);
    lastBusy = busy;
    // READ DISC INFORMATION answers NOT READY with the same progress.
    RecorderReply disc = client_.DiscInformation();
    EXPECT_EQ(0x04, disc.Asc());
    EXPECT_GE(disc.Progress(), progress);
    clock_.Sleep(1000);
    ASSERT_LT(++rounds, 100);
  }
  EXPECT_GE(rounds, 39);
  EXPECT_EQ(0, client_.DiscInformation().data[2] & 0x03);  // blank
  EXPECT_EQ(-1, BusyTime());
}

TEST_F(RecorderLongOperation, SenseFormatsAndSwitchedOffProgress) {
  Insert(MediumPreset::kDvdRwSequential, DiscFill::kComplete);
  recorder_.SetSenseFormat(SenseFormat::kDescriptor);
  ASSERT_TRUE(client_.In({0xA1, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).Good());
  RecorderReply r = client_.TestUnitReady();
  EXPECT_EQ(0x72, r.ResponseCode());
  EXPECT_EQ(2, r.Key());
  EXPECT_EQ(0x04, r.Asc());
  EXPECT_EQ(0x07, r.Ascq());
  EXPECT_EQ(0x02, r.outcome.sense[8]);  // sense-key specific descriptor
  EXPECT_EQ(0x80, r.outcome.sense[12] & 0x80);
  recorder_.SetSenseFormat(SenseFormat::kFixed);
  DriveIdentity quiet;
  quiet.sksvProgress = false;
  quiet.busyEvents = false;
  recorder_.SetIdentity(quiet);
  r = client_.TestUnitReady();
  EXPECT_EQ(0x70, r.ResponseCode());
  EXPECT_EQ(-1, r.Progress());
  EXPECT_EQ(-1, BusyTime());
}

TEST_F(RecorderLongOperation, DeferredErrorOfAnImmediateFormatComesAfterIt) {
  Insert(MediumPreset::kDvdRwSequential);
  RecorderFault fault;
  fault.opcode = 0x04;
  fault.kind = FaultKind::kDeferred;
  fault.key = 3;
  fault.asc = 0x31;
  fault.ascq = 0x01;
  recorder_.AddFault(fault);
  std::vector<u8> format = {0, 0x02, 0, 8, 0, 0, 0, 0, 0x15 << 2, 0, 0, 16, 0, 0, 0, 0};
  ASSERT_TRUE(client_.Out({0x04, 0x11, 0, 0, 0, 0}, format).Good());
  RecorderReply r = client_.TestUnitReady();
  ExpectSense(r, 2, 0x04, 0x04);  // format in progress
  clock_.Sleep(recorder_.Timings().formatQuickMs);
  r = client_.TestUnitReady();
  EXPECT_EQ(0x71, r.ResponseCode());
  EXPECT_EQ(3, r.Key());
  EXPECT_EQ(0x31, r.Asc());
  EXPECT_TRUE(client_.TestUnitReady().Good());
}

TEST_F(RecorderLongOperation, CommandLongerThanTheTimeOutFailsInTheSystem) {
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  u64 before = clock_.NowMs();
  RecorderReply r = client_.In({0xA1, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 120);  // full blank, no IMMED
  EXPECT_FALSE(r.outcome.transportOk);
  EXPECT_EQ(121u, r.outcome.transportError);
  EXPECT_EQ(120000u, clock_.NowMs() - before);
  ExpectSense(client_.TestUnitReady(), 2, 0x04, 0x07);  // the drive goes on
  // A short one keeps the caller for its time and succeeds.
  clock_.Sleep(recorder_.Timings().blankFullMs);
  before = clock_.NowMs();
  r = client_.In({0xA1, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 120);
  EXPECT_TRUE(r.Good());
  EXPECT_EQ(u64(recorder_.Timings().blankMinimalMs), clock_.NowMs() - before);
  EXPECT_TRUE(client_.TestUnitReady().Good());
}

TEST_F(RecorderLongOperation, BackgroundFormatRunsWhileTheDriveIsReady) {
  Insert(MediumPreset::kDvdPlusRw);
  EXPECT_EQ(0, client_.DiscInformation().data[2] & 0x03);
  std::vector<u8> format = {0, 0x02, 0, 8, 0, 0x23, 0x05, 0x40, 0x26 << 2, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(client_.Out({0x04, 0x11, 0, 0, 0, 0}, format).Good());
  ExpectSense(client_.TestUnitReady(), 2, 0x04, 0x04);
  clock_.Sleep(2000);
  EXPECT_TRUE(client_.TestUnitReady().Good());
  EXPECT_EQ(2, client_.DiscInformation().data[7] & 0x03);  // in progress
  clock_.Sleep(recorder_.Timings().backgroundFormatMs / 2);
  RecorderReply sense = client_.RequestSense();
  ASSERT_TRUE(sense.Good());
  EXPECT_EQ(0, sense.data[2] & 0x0F);
  EXPECT_EQ(0x80, sense.data[15] & 0x80);
  int half = (sense.data[16] << 8) | sense.data[17];
  EXPECT_NEAR(32768, half, 1000);
  // Stopping it (CLOSE TRACK/SESSION function 0) and restarting it.
  ASSERT_TRUE(client_.CloseTrackSession(0, 0).Good());
  EXPECT_EQ(1, client_.DiscInformation().data[7] & 0x03);
  format[11] = 0x01;  // restart
  ASSERT_TRUE(client_.Out({0x04, 0x11, 0, 0, 0, 0}, format).Good());
  clock_.Sleep(2000 + recorder_.Timings().backgroundFormatMs);
  RecorderReply disc = client_.DiscInformation();
  EXPECT_EQ(3, disc.data[7] & 0x03);
  EXPECT_EQ(2, disc.data[2] & 0x03);
}

}  // namespace
