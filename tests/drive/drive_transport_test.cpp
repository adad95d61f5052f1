// The drive record against the simulated recorder: how every kind of answer
// lands in the record, the volume lock, and the waits and retries through
// the answers a working drive gives (and their exits).
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
  static RecorderFault Fault(i32 opcode, FaultKind kind, u8 key = 0, u8 asc = 0, u8 ascq = 0, u32 times = 1) {
    RecorderFault f;
    f.opcode = opcode;
    f.kind = kind;
    f.key = key;
    f.asc = asc;
    f.ascq = ascq;
    f.times = times;
    return f;
  }
  CDrive drive_;
};

}  // namespace

TEST_F(TransportTest, EveryKindOfAnswerLandsInTheRecord) {
  struct Case {
    RecorderFault fault;
    SenseFormat format;
    u8 status, senseFormat, key, asc;
    i32 error;
  } const cases[] = {
      {Fault(0x2B, FaultKind::kSense, 3, 0x11), SenseFormat::kFixed, 2, 0x70, 3, 0x11, 0},
      {Fault(0x2B, FaultKind::kSense, 5, 0x21), SenseFormat::kDescriptor, 2, 0x72, 5, 0x21, 0},
      {[] {
         RecorderFault f = Fault(0x2B, FaultKind::kRawSense);
         f.bytes = {0x7E, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0};  // unknown format: no fields
         return f;
       }(),
       SenseFormat::kFixed, 2, 0x7E, 0, 0, 0},
      {Fault(0x2B, FaultKind::kBusy), SenseFormat::kFixed, 8, 0, 0, 0, 0},
      {[] {
         RecorderFault f = Fault(0x2B, FaultKind::kTransport);
         f.transportError = 1117;
         return f;
       }(),
       SenseFormat::kFixed, 0, 0, 0, 0, static_cast<i32>(0x8007045Du)},
      {[] {
         RecorderFault f = Fault(0x2B, FaultKind::kTransport);
         f.transportError = 0;  // refused without an error code: still a failure
         return f;
       }(),
       SenseFormat::kFixed, 0, 0, 0, 0, kHrFail},
  };
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.fault.kind));
    recorder_.ClearFaults();
    recorder_.SetSenseFormat(c.format);
    drive_.senseFormat = 0;
    recorder_.AddFault(c.fault);
    drive_.Seek(5);
    EXPECT_FALSE(drive_.LastCommandSucceeded());
    EXPECT_EQ(c.status, drive_.scsiStatus);
    EXPECT_EQ(c.senseFormat, drive_.senseFormat);
    EXPECT_EQ(c.key, drive_.senseKey);
    EXPECT_EQ(c.asc, drive_.asc);
    EXPECT_EQ(c.error, drive_.errorCode);
    EXPECT_EQ(mmc::kSeek10, drive_.lastCdb[0]);
  }
  // A success after a failure leaves the sense format, and all 16 command bytes.
  drive_.TestUnitReady();
  EXPECT_TRUE(drive_.LastCommandSucceeded());
  EXPECT_EQ(0, drive_.senseKey);
  const u8 tur[16] = {};
  EXPECT_EQ(0, std::memcmp(tur, drive_.lastCdb, 16));
  drive_.Close();
  drive_.TestUnitReady();
  EXPECT_NE(0, drive_.errorCode);
  EXPECT_EQ("", ViolationText());
}

TEST_F(TransportTest, VolumeLockProbeReopenAndRelease) {
  Start();
  ASSERT_TRUE(drive_.LockVolume());
  ASSERT_TRUE(drive_.ProbeMedia());
  EXPECT_TRUE(drive_.stateFlags & kStateVolumeLocked);
  u32 dismounts = io_.DismountCount(u'E');
  ASSERT_TRUE(drive_.Reopen());
  EXPECT_EQ(dismounts + 1, io_.DismountCount(u'E'));
  EXPECT_TRUE(io_.VolumeLocked(u'E'));
  CDrive other;
  ASSERT_TRUE(OpenDrive(&other));
  EXPECT_FALSE(other.LockVolume());
  CDrive* held = &drive_;
  ReleaseDrive(&held);
  EXPECT_EQ(&drive_, held);
  EXPECT_FALSE(drive_.IsOpen());
  EXPECT_FALSE(io_.VolumeLocked(u'E'));
  ASSERT_TRUE(other.LockVolume());
  ASSERT_TRUE(other.UnlockVolume(true));
  EXPECT_EQ(dismounts + 2, io_.DismountCount(u'E'));
  EXPECT_TRUE(other.UnlockVolume(false));  // not locked: nothing to do
  ReleaseDrive(nullptr);
}

TEST_F(TransportTest, WaitGoesThroughPassingAnswersAndEnds) {
  struct Case {
    std::vector<RecorderFault> answers;
    bool ready;
  };
  auto tur = [](FaultKind kind, u8 key, u8 asc, u8 ascq, u32 times) {
    return Fault(0x00, kind, key, asc, ascq, times);
  };
  const Case cases[] = {
      {{tur(FaultKind::kSense, 2, 0x04, 0x01, 5)}, true},    // becoming ready, then ready
      {{tur(FaultKind::kSense, 6, 0x28, 0, 1)}, true},       // a UNIT ATTENTION
      {{tur(FaultKind::kBusy, 0, 0, 0, 2)}, true},           // busy
      {{tur(FaultKind::kTransport, 0, 0, 0, 1)}, true},      // one failed request
      {{tur(FaultKind::kTransport, 0, 0, 0, 2)}, false},     // two
      {{tur(FaultKind::kSense, 2, 0x3A, 0, 0)}, false},      // no medium
      {{tur(FaultKind::kSense, 3, 0x0C, 0, 1)}, false},      // a (deferred) error
      {{tur(FaultKind::kSense, 2, 0x04, 0x01, 0)}, false},   // never ready: the deadline
  };
  Start();
  drive_.readyWaitMs = 5000;
  for (const Case& c : cases) {
    recorder_.ClearFaults();
    for (const RecorderFault& f : c.answers) recorder_.AddFault(f);
    drive_.readyWaitExpired = false;
    EXPECT_EQ(c.ready, drive_.WaitReady()) << &c - cases;
  }
  // The drive that ran the deadline out is not waited for again...
  u32 polls = recorder_.CountCommands(0x00);
  EXPECT_FALSE(drive_.WaitReady());
  EXPECT_EQ(polls + 1, recorder_.CountCommands(0x00));
  // ...until it answers otherwise.
  recorder_.ClearFaults();
  EXPECT_TRUE(drive_.WaitReady());
  EXPECT_FALSE(drive_.readyWaitExpired);
  drive_.readyWaitExpired = true;  // nor after the drive is opened again
  ASSERT_TRUE(drive_.OpenDevice(kPath));
  EXPECT_FALSE(drive_.readyWaitExpired);
}

TEST_F(TransportTest, WaitKeepsGoingWhileTheOperationProgresses) {
  Start(MediumPreset::kCdRw);
  RecorderTimings t;
  t.blankFullMs = 60000;
  recorder_.SetTimings(t);
  drive_.readyWaitMs = 5000;  // shorter than the blank, which reports its progress
  drive_.Blank(true, 0, 0);
  ASSERT_TRUE(drive_.LastCommandSucceeded());
  EXPECT_TRUE(drive_.WaitReady());
  EXPECT_FALSE(recorder_.LongOperationRunning());
}

TEST_F(TransportTest, RetrySendsAgainOnlyWhatTheDriveDidNotRun) {
  struct Case {
    RecorderFault fault;
    bool query;
    u32 sends;
    bool ok;
  } const cases[] = {
      {Fault(0x35, FaultKind::kSense, 6, 0x28), false, 2, true},          // UNIT ATTENTION
      {Fault(0x35, FaultKind::kSense, 2, 0x04, 0x08), false, 2, true},    // still writing
      {Fault(0x35, FaultKind::kSense, 3, 0x0C), false, 1, false},         // an error
      {Fault(0x35, FaultKind::kTransport), false, 1, false},              // may have run: not again
      {Fault(0x35, FaultKind::kTransport), true, 2, true},                // a query: again
      {Fault(0x35, FaultKind::kSense, 6, 0x28, 0, 0), false, kCommandAttempts, false},
  };
  Start();
  for (const Case& c : cases) {
    recorder_.ClearFaults();
    recorder_.ClearTrace();
    recorder_.AddFault(c.fault);
    EXPECT_EQ(c.ok, drive_.Retry(c.query, [&] { drive_.SynchronizeCache(false, 0, 0); })) << &c - cases;
    EXPECT_EQ(c.sends, recorder_.CountCommands(0x35)) << &c - cases;
  }
}

TEST_F(TransportTest, AllowRemovalIsSentAgainUntilItHolds) {
  Start();
  for (FaultKind kind : {FaultKind::kTransport, FaultKind::kSense}) {
    for (u8 key : {2, 3, 6}) {
      recorder_.ClearFaults();
      drive_.PreventAllowMediumRemoval(true);
      recorder_.AddFault(Fault(0x1E, kind, key, key == 2 ? 0x04 : 0x28, 0x01));
      EXPECT_TRUE(drive_.AllowRemoval());
      EXPECT_FALSE(recorder_.RemovalPrevented());
    }
  }
  drive_.PreventAllowMediumRemoval(true);
  recorder_.ClearTrace();
  recorder_.AddFault(Fault(0x1E, FaultKind::kTransport, 0, 0, 0, 0));
  EXPECT_FALSE(drive_.AllowRemoval());
  EXPECT_EQ(kCommandAttempts, recorder_.CountCommands(0x1E));
}

TEST_F(TransportTest, WriteParametersWaitThroughNotReadyAndGiveUpOnRefusal) {
  Start();
  drive_.readyWaitMs = 5000;
  recorder_.AddFault(Fault(0x55, FaultKind::kSense, 2, 0x04, 0x01, 3));
  EXPECT_TRUE(drive_.SetWriteParameters(8, false, true, true, false));
  recorder_.ClearFaults();
  recorder_.ClearTrace();
  recorder_.AddFault(Fault(0x55, FaultKind::kSense, 5, 0x26, 0, 0));
  EXPECT_FALSE(drive_.SetWriteParameters(8, false, true, true, false));
  EXPECT_EQ(kWriteParameterAttempts, recorder_.CountCommands(0x55));
  recorder_.ClearFaults();
  recorder_.AddFault(Fault(0x55, FaultKind::kSense, 2, 0x04, 0x01, 0));
  EXPECT_FALSE(drive_.SetWriteParameters(8, false, true, true, false));  // the deadline
}
