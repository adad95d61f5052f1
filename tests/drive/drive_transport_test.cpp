// The pass-through transport, volume locking and the exits of every wait,
// against the simulated recorder.
#include <gtest/gtest.h>

#include <cstring>

#include "drive/drive.h"
#include "drive/mmc/mmc_commands.h"
#include "support/recorder_fixture.h"

namespace {

class TransportTest : public RecorderTest {
 protected:
  void Start(MediumPreset preset = MediumPreset::kCdR) {
    Attach();
    Insert(preset);
    ASSERT_TRUE(OpenDrive(&drive_));
    recorder_.ClearTrace();
  }
  static RecorderFault Fault(u8 opcode, FaultKind kind) {
    RecorderFault f;
    f.opcode = opcode;
    f.kind = kind;
    return f;
  }
  void AddSense(u8 opcode, u8 key, u8 asc, u8 ascq, u32 times = 1) {
    RecorderFault f = Fault(opcode, FaultKind::kSense);
    f.key = key;
    f.asc = asc;
    f.ascq = ascq;
    f.times = times;
    recorder_.AddFault(f);
  }
  void AddTransportFault(u8 opcode, u32 error) {
    RecorderFault f = Fault(opcode, FaultKind::kTransport);
    f.transportError = error;
    recorder_.AddFault(f);
  }
  // The sense format, key and code the last command left.
  void ExpectSense(int format, int key, int asc) {
    EXPECT_EQ(format, drive_.senseFormat);
    EXPECT_EQ(key, drive_.senseKey);
    EXPECT_EQ(asc, drive_.asc);
  }
  CDrive drive_;
};

}  // namespace

TEST_F(TransportTest, RequestsAreWellFormed) {
  Start();
  u8 inquiry[96];
  drive_.Inquiry(false, 0, inquiry, sizeof(inquiry));
  ASSERT_TRUE(drive_.LastCommandSucceeded());
  EXPECT_EQ(96u, drive_.transferred);
  u8 capacity[8];
  drive_.ReadCapacity(capacity);
  drive_.TestUnitReady();
  EXPECT_EQ("", ViolationText());
  std::vector<TraceEntry> trace = recorder_.Trace();
  ASSERT_EQ(3u, trace.size());
  EXPECT_EQ(6, trace[0].cdbLength);
  EXPECT_EQ(1, trace[0].direction);
  EXPECT_EQ(10, trace[1].cdbLength);
  EXPECT_EQ(0u, trace[2].transferLength);
}

TEST_F(TransportTest, SenseOfAFailedCommandAndTheFormatLeftAfterSuccess) {
  Start();
  AddSense(mmc::kRead10, 3, 0x11, 0x05);
  u8 block[2048];
  drive_.Read(0, 1, block, false);
  EXPECT_FALSE(drive_.LastCommandSucceeded());
  EXPECT_EQ(2, drive_.scsiStatus);
  ExpectSense(0x70, 3, 0x11);
  EXPECT_EQ(0x05, drive_.ascq);
  EXPECT_EQ(mmc::kRead10, drive_.lastCdb[0]);

  drive_.TestUnitReady();
  EXPECT_TRUE(drive_.LastCommandSucceeded());
  ExpectSense(0x70, 0, 0);
  // lastCdb keeps all 16 bytes: a 6-byte command leaves the rest zero.
  const u8 tur[16] = {};
  EXPECT_EQ(0, std::memcmp(tur, drive_.lastCdb, 16));
}

TEST_F(TransportTest, DescriptorSenseFromTheRecorder) {
  Start();
  recorder_.SetSenseFormat(SenseFormat::kDescriptor);
  AddSense(mmc::kSeek10, 5, 0x21, 0x00);
  drive_.Seek(0xFFFFFF);
  ExpectSense(0x72, 5, 0x21);
}

TEST_F(TransportTest, UnknownSenseFormatLeavesZeros) {
  Start();
  RecorderFault f = Fault(mmc::kTestUnitReady, FaultKind::kRawSense);
  f.bytes = {0x7E, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0};
  recorder_.AddFault(f);
  drive_.TestUnitReady();
  EXPECT_FALSE(drive_.LastCommandSucceeded());
  ExpectSense(0x7E, 0, 0);
}

TEST_F(TransportTest, BusyStatusIsAFailureWithoutSense) {
  Start();
  recorder_.AddFault(Fault(mmc::kTestUnitReady, FaultKind::kBusy));
  drive_.TestUnitReady();
  EXPECT_EQ(0x08, drive_.scsiStatus);
  EXPECT_FALSE(drive_.LastCommandSucceeded());
}

TEST_F(TransportTest, TransportFailureSetsTheErrorAndKeepsTheCommand) {
  Start();
  AddTransportFault(mmc::kInquiry, 1117);
  u8 inquiry[96];
  drive_.Inquiry(false, 0, inquiry, sizeof(inquiry));
  EXPECT_EQ(static_cast<i32>(0x8007045Du), drive_.errorCode);
  EXPECT_EQ(0, drive_.scsiStatus);
  EXPECT_FALSE(drive_.LastCommandSucceeded());
  EXPECT_EQ(mmc::kInquiry, drive_.lastCdb[0]);
  EXPECT_EQ(96, drive_.lastCdb[4]);
}

TEST_F(TransportTest, RefusalWithoutAnErrorCodeIsStillAFailure) {
  Start();
  AddTransportFault(mmc::kSynchronizeCache, 0);
  drive_.SynchronizeCache(false, 0, 0);
  EXPECT_EQ(kHrFail, drive_.errorCode);
  EXPECT_FALSE(drive_.LastCommandSucceeded());
  EXPECT_EQ(mmc::kSynchronizeCache, drive_.lastCdb[0]);
}

TEST_F(TransportTest, ClosedRecordFailsInTheSystem) {
  Start();
  drive_.Close();
  drive_.TestUnitReady();
  EXPECT_NE(0, drive_.errorCode);
  EXPECT_FALSE(drive_.LastCommandSucceeded());
}

// ---- Volume lock ----

TEST_F(TransportTest, LockSurvivesTheProbeAndReopenLocksAgain) {
  Start();
  ASSERT_TRUE(drive_.LockVolume());
  EXPECT_TRUE(io_.VolumeLocked(u'E'));
  ASSERT_TRUE(drive_.Refresh());
  EXPECT_TRUE(drive_.stateFlags & kStateVolumeLocked);

  u32 dismounts = io_.DismountCount(u'E');
  ASSERT_TRUE(drive_.Reopen());
  EXPECT_EQ(dismounts + 1, io_.DismountCount(u'E'));
  EXPECT_TRUE(drive_.stateFlags & kStateVolumeLocked);
  EXPECT_TRUE(io_.VolumeLocked(u'E'));

  // A second record cannot lock the volume while this one holds it.
  CDrive other;
  ASSERT_TRUE(OpenDrive(&other));
  EXPECT_FALSE(other.LockVolume());
  EXPECT_FALSE(other.stateFlags & kStateVolumeLocked);

  CDrive* held = &drive_;
  ReleaseDrive(&held);
  EXPECT_EQ(&drive_, held);
  EXPECT_FALSE(drive_.IsOpen());
  EXPECT_FALSE(io_.VolumeLocked(u'E'));
  EXPECT_TRUE(other.LockVolume());
}

TEST_F(TransportTest, UnlockWithDismount) {
  Start();
  ASSERT_TRUE(drive_.LockVolume());
  ASSERT_TRUE(drive_.UnlockVolume(true));
  EXPECT_EQ(1u, io_.DismountCount(u'E'));
  EXPECT_FALSE(io_.VolumeLocked(u'E'));
  EXPECT_FALSE(drive_.stateFlags & kStateVolumeLocked);
  EXPECT_TRUE(drive_.UnlockVolume(false));  // not locked: nothing to do
}

TEST_F(TransportTest, ClosingReleasesTheLockAndClearsTheBit) {
  Start();
  ASSERT_TRUE(drive_.LockVolume());
  drive_.Close();
  EXPECT_FALSE(drive_.stateFlags & kStateVolumeLocked);
  EXPECT_FALSE(io_.VolumeLocked(u'E'));
  ASSERT_TRUE(drive_.Open(nullptr));
  EXPECT_FALSE(drive_.stateFlags & kStateVolumeLocked);
}

TEST_F(TransportTest, ReleaseOfNothingAndOfAClosedDrive) {
  CDrive* none = nullptr;
  ReleaseDrive(&none);
  ReleaseDrive(nullptr);
  CDrive closed;
  CDrive* held = &closed;
  ReleaseDrive(&held);
  EXPECT_EQ(&closed, held);
}

// ---- Waits ----

TEST_F(TransportTest, WaitEndsWhenTheDriveBecomesReady) {
  Attach();
  MediumOptions options;
  options.preset = MediumPreset::kCdR;
  recorder_.InsertMedium(options);
  CDrive drive;
  ASSERT_TRUE(drive.OpenDevice(kPath));
  drive.TestUnitReady();
  if (drive.senseKey == 6) drive.TestUnitReady();  // the medium-changed attention first
  ASSERT_TRUE(drive.IsBecomingReady());
  u64 before = clock_.NowMs();
  drive.WaitUntilReady();
  EXPECT_FALSE(drive.IsBecomingReady());
  EXPECT_GE(clock_.NowMs() - before, 1000u);
  EXPECT_GT(recorder_.CountCommands(mmc::kTestUnitReady), 10u);
}

TEST_F(TransportTest, WaitEndsOnNoMediumAndOnOtherSense) {
  Start();
  RecorderFault ready;
  ready.opcode = mmc::kTestUnitReady;
  ready.key = 2;
  ready.asc = 0x04;
  ready.ascq = 0x01;
  ready.times = 3;
  recorder_.AddFault(ready);
  RecorderFault gone = ready;
  gone.asc = 0x3A;
  gone.ascq = 0;
  gone.occurrence = 4;
  gone.times = 1;
  recorder_.AddFault(gone);
  drive_.TestUnitReady();
  EXPECT_FALSE(drive_.WaitUntilReady());
  EXPECT_EQ(0x3A, drive_.asc);
  EXPECT_EQ(4u, recorder_.CountCommands(mmc::kTestUnitReady));

  // NOT READY for another cause (manual intervention) ends the wait at once.
  recorder_.ClearFaults();
  recorder_.ClearTrace();
  AddSense(mmc::kTestUnitReady, 2, 0x04, 0x03, 0);
  drive_.TestUnitReady();
  EXPECT_FALSE(drive_.WaitUntilReady());
  EXPECT_EQ(1u, recorder_.CountCommands(mmc::kTestUnitReady));
}

TEST_F(TransportTest, WaitOutlastsImmediateOperationsButNotPermanentCauses) {
  // An immediate blank, close or synchronise reports 04/07 until it is done;
  // a format 04/04.
  Start();
  for (u8 ascq : {0x07, 0x04}) {
    recorder_.ClearFaults();
    recorder_.ClearTrace();
    AddSense(mmc::kTestUnitReady, 2, 0x04, ascq, 3);
    drive_.TestUnitReady();
    ASSERT_TRUE(drive_.IsBecomingReady());
    EXPECT_TRUE(drive_.WaitUntilReady());
    EXPECT_EQ(4u, recorder_.CountCommands(mmc::kTestUnitReady));
  }
  // An incompatible medium does not pass by waiting.
  recorder_.ClearFaults();
  recorder_.ClearTrace();
  AddSense(mmc::kTestUnitReady, 2, 0x30, 0x00, 0);
  drive_.TestUnitReady();
  EXPECT_FALSE(drive_.IsBecomingReady());
  EXPECT_FALSE(drive_.WaitUntilReady());
  EXPECT_EQ(1u, recorder_.CountCommands(mmc::kTestUnitReady));
}

TEST_F(TransportTest, WaitEndsOnATransportError) {
  Start();
  AddSense(mmc::kTestUnitReady, 2, 0x04, 0x08, 1);
  RecorderFault broken = Fault(mmc::kTestUnitReady, FaultKind::kTransport);
  broken.occurrence = 2;
  broken.times = 0;
  recorder_.AddFault(broken);
  drive_.TestUnitReady();
  ASSERT_TRUE(drive_.IsBecomingReady());
  EXPECT_FALSE(drive_.WaitUntilReady());
  EXPECT_NE(0, drive_.errorCode);
  EXPECT_EQ(2u, recorder_.CountCommands(mmc::kTestUnitReady));
}

TEST_F(TransportTest, WaitEndsAtTheDeadline) {
  Start();
  AddSense(mmc::kTestUnitReady, 2, 0x04, 0x08, 0);  // long write forever
  drive_.readyWaitMs = 30000;
  drive_.TestUnitReady();
  u64 before = clock_.NowMs();
  EXPECT_FALSE(drive_.WaitUntilReady());
  EXPECT_TRUE(drive_.IsBecomingReady());
  EXPECT_GE(clock_.NowMs() - before, 30000u);
  EXPECT_LT(clock_.NowMs() - before, 31000u);
}

TEST_F(TransportTest, DefaultDeadlineIsGenerousButFinite) {
  Start();
  AddSense(mmc::kTestUnitReady, 2, 0x04, 0x01, 0);
  drive_.TestUnitReady();
  u64 before = clock_.NowMs();
  EXPECT_FALSE(drive_.WaitUntilReady());
  u64 spent = clock_.NowMs() - before;
  EXPECT_GE(spent, 600000u);
  EXPECT_LT(spent, 700000u);
}

TEST_F(TransportTest, WriteParametersGiveUpOnRepeatedRefusal) {
  Start();
  AddSense(mmc::kModeSense10, 5, 0x24, 0x00, 0);
  EXPECT_FALSE(drive_.SetWriteParameters(8, false, true, true, false));
  EXPECT_EQ(kWriteParameterAttempts, recorder_.CountCommands(mmc::kModeSense10));
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kModeSelect10));

  recorder_.ClearFaults();
  recorder_.ClearTrace();
  AddSense(mmc::kModeSelect10, 5, 0x26, 0x00, 0);
  EXPECT_FALSE(drive_.SetWriteParameters(8, false, true, true, false));
  EXPECT_EQ(kWriteParameterAttempts, recorder_.CountCommands(mmc::kModeSelect10));
}

TEST_F(TransportTest, WriteParametersWaitThroughNotReady) {
  Start();
  AddSense(mmc::kModeSense10, 2, 0x04, 0x01, 5);
  AddSense(mmc::kModeSelect10, 2, 0x04, 0x08, 4);
  EXPECT_TRUE(drive_.SetWriteParameters(8, false, true, true, false));
  EXPECT_EQ(6u, recorder_.CountCommands(mmc::kModeSense10));
  EXPECT_EQ(5u, recorder_.CountCommands(mmc::kModeSelect10));
}

TEST_F(TransportTest, WriteParametersEndAtTheDeadlineOfANotReadyDrive) {
  Start();
  drive_.readyWaitMs = 20000;
  AddSense(mmc::kModeSense10, 2, 0x04, 0x01, 0);
  u64 before = clock_.NowMs();
  EXPECT_FALSE(drive_.SetWriteParameters(8, false, true, true, false));
  EXPECT_LT(clock_.NowMs() - before, 200000u);
}

TEST_F(TransportTest, SpeedSetterWaitEnds) {
  Start();
  drive_.readyWaitMs = 5000;
  RecorderFault f;
  f.opcode = mmc::kTestUnitReady;
  f.key = 2;
  f.asc = 0x04;
  f.ascq = 0x01;
  f.times = 0;
  recorder_.AddFault(f);
  AddSense(mmc::kSetStreaming, 2, 0x04, 0x01, 0);
  AddSense(mmc::kSetCdSpeed, 2, 0x04, 0x01, 0);
  EXPECT_FALSE(drive_.SetWriteSpeed(1764));
  recorder_.ClearFaults();
  EXPECT_TRUE(drive_.SetWriteSpeed(1764));
}
