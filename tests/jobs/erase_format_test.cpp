// Erasing and formatting as table rows against the strict recorder: every
// method on every family of rewritable media, each source of progress, the
// background format followed and stopped, the answers a drive gives while it
// works (passing ones, NOT READY with and without progress, real errors),
// and the failures. Portable: these rows also run under the sanitizers.
#include <gtest/gtest.h>

#include "drive/mmc/mmc_commands.h"
#include "jobs/erase_format_job.h"
#include "runtime/byte_order.h"
#include "support/job_scenario.h"

namespace {

using namespace mmc;
using P = MediumPreset;
constexpr JobEnd kFail = JobEnd::kFailed;

// The FORMAT UNIT parameter list that was sent last.
std::vector<u8> LastFormat(const ScenarioRun& r) {
  std::vector<TraceEntry> formats = r.Commands(kFormatUnit);
  return formats.empty() ? std::vector<u8>() : formats.back().dataOut;
}

DriveIdentity Progress(bool sense, bool busy) {
  DriveIdentity identity;
  identity.sksvProgress = sense;
  identity.busyEvents = busy;
  return identity;
}

MediumOptions Used(P preset) { return Disc(preset, {TrackContent{500, 2048, false, false}}); }

// What a good job leaves besides the runner's checks.
void Succeeded(const ScenarioRun& r) {
  EXPECT_NE(std::u16string::npos, r.log.find(u"Start Format/Erase process"));
  EXPECT_EQ(std::u16string::npos, r.log.find(u"SCSI Error"));
}

std::vector<Scenario> Rows() {
  std::vector<Scenario> rows;
  auto add = [&](const Row& r) { rows.push_back(r.Get()); };
  add(Row("QuickEraseOfCdRwBlanksMinimally").Medium(Used(P::kCdRw)).Format(kMethodQuickErase)
          .Log({u"************************ Start Job ************************\r\n"
                u"Destination Device: E: KVSIM MULTI RECORDER\r\n",
                u"Set Max Write Speed", u"Start Format/Erase process", u"End Format/Erase process"})
          .Check([](const ScenarioRun& r) {
            Succeeded(r);
            ASSERT_EQ(1u, r.Commands(kBlank).size());
            EXPECT_EQ(0x11, r.Commands(kBlank)[0].cdb[1]);  // immediate, minimal
            EXPECT_EQ(0, r.destination->DiscStatus());
          }));
  for (P preset : {P::kDvdRwSequential, P::kHdDvdRw}) {
    add(Row(preset == P::kHdDvdRw ? "FullEraseOfHdDvdRw" : "FullEraseOfDvdRw").Medium(Used(preset))
            .Format(kMethodFullErase).Check([](const ScenarioRun& r) {
              ASSERT_EQ(1u, r.Commands(kBlank).size());
              EXPECT_EQ(0x10, r.Commands(kBlank)[0].cdb[1]);
              EXPECT_EQ(0, r.destination->DiscStatus());
            }));
  }
  for (P preset : {P::kDvdRwSequential, P::kDvdRwRestricted}) {
    add(Row(preset == P::kDvdRwRestricted ? "QuickFormatOfRestrictedOverwriteDvdRw" : "QuickFormatOfSequentialDvdRw")
            .Medium(Used(preset)).Format(kMethodQuickFormat).Check([](const ScenarioRun& r) {
              EXPECT_EQ((std::vector<u8>{0, 0x02, 0, 8, 0, 0, 0, 0, 0x15 << 2, 0, 0, 0x10}), LastFormat(r));
              EXPECT_EQ(0x13, r.destination->CurrentProfile());
            }));
  }
  add(Row("FullFormatOfDvdRwTakesTheType0Capacity").Medium(Used(P::kDvdRwRestricted)).Format(kMethodFullFormat)
          .Check([](const ScenarioRun& r) {
            std::vector<u8> list = LastFormat(r);
            ASSERT_EQ(12u, list.size());
            EXPECT_EQ(r.destination->CapacityBlocks(), ReadBigEndian32(&list[4]));
            EXPECT_EQ(0x00, list[8]);
            EXPECT_EQ(0x08, list[10]);  // block length 2048
          }));
  // A CD-RW is formatted as a DVD-RW is: type 0x00 with the capacity of
  // the type-0x00 descriptor (a used disc) or the current one (a blank,
  // unformatted disc), block length 2048.
  struct CdRwFull {
    const char* name;
    u32 method;
    bool blank;
  };
  for (const CdRwFull& row : {CdRwFull{"FullFormatOfUsedCdRw", kMethodFullFormat, false},
                              CdRwFull{"FullFormatOfBlankCdRw", kMethodFullFormat, true},
                              CdRwFull{"ContinueFormatOfCdRwIsAFullFormat", kMethodContinueFormat, false}}) {
    MediumOptions m = Used(P::kCdRw);
    if (row.blank) {
      m = MediumOptions();
      m.preset = P::kCdRw;
    }
    add(Row(row.name).Medium(m).Format(row.method).Check([](const ScenarioRun& r) {
      Succeeded(r);
      ASSERT_EQ(1u, r.Commands(kFormatUnit).size());
      const u8 cdb[6] = {0x04, 0x11, 0, 0, 0, 0};
      EXPECT_EQ(0, std::memcmp(cdb, r.Commands(kFormatUnit)[0].cdb, 6));
      std::vector<u8> list = LastFormat(r);
      ASSERT_EQ(12u, list.size());
      EXPECT_EQ(0x02, list[1]);  // immediate, no DCRT
      EXPECT_EQ(r.destination->CapacityBlocks(), ReadBigEndian32(&list[4]));
      EXPECT_EQ((std::vector<u8>{0x00, 0x00, 0x08, 0x00}), std::vector<u8>(list.begin() + 8, list.end()));
      EXPECT_EQ(0, r.destination->DiscStatus());
      EXPECT_EQ(100.0, r.overallBar.back());
    }));
  }
  // A capacity reply without a current capacity: the blocks come from READ
  // CAPACITY, its last address plus one on a CD.
  add(Row("FullFormatOfCdRwCountsTheLastAddressOnce").Medium(Used(P::kCdRw)).Format(kMethodFullFormat)
          .Fault(ReplyOf(kReadFormatCapacities, {0, 0, 0, 8, 0, 0, 0, 0, 3, 0, 8, 0}))
          .Check([](const ScenarioRun& r) {
            ASSERT_EQ(1u, r.Commands(kReadCapacity).size());
            EXPECT_EQ(500u, ReadBigEndian32(&LastFormat(r).at(4)));
          }));
  add(Row("DvdRamFormatSetsDcrt").Medium(Used(P::kDvdRam)).Format(kMethodQuickFormat).Check([](const ScenarioRun& r) {
    EXPECT_EQ(0x22, LastFormat(r).at(1));
  }));
  add(Row("DvdPlusRwFullFormatFollowsTheBackgroundFormat").Onto(P::kDvdPlusRw).Format(kMethodFullFormat)
          .Check([](const ScenarioRun& r) {
            std::vector<u8> list = LastFormat(r);
            EXPECT_EQ(0x26 << 2, list.at(8));
            EXPECT_EQ(0, list.at(11) & 1);
            EXPECT_NE(2, r.destination->BackgroundFormatStatus());
            EXPECT_GE(r.Commands(kRequestSense).size(), 3u);
          }));
  add(Row("DvdPlusRwContinueSetsRestartAndDoesNotFollow").Medium([] {
        MediumOptions m;
        m.preset = P::kDvdPlusRw;
        m.fill = DiscFill::kAppendable;
        return m;
      }()).Format(kMethodContinueFormat).Check([](const ScenarioRun& r) {
        EXPECT_EQ(1, LastFormat(r).at(11) & 1);
        EXPECT_TRUE(r.Commands(kRequestSense).empty());
      }));
  add(Row("DualLayerDvdPlusRwQuickFormat").Onto(P::kDvdPlusRwDualLayer).Format(kMethodQuickFormat)
          .Check([](const ScenarioRun& r) { EXPECT_EQ(0x26 << 2, LastFormat(r).at(8)); }));
  add(Row("ProgressFromTheBusyEvent").Medium(Used(P::kCdRw)).Identity(Progress(false, true)).Format(kMethodFullErase)
          .Check([](const ScenarioRun& r) {
            std::vector<TraceEntry> events = r.Commands(0x4A);
            ASSERT_GE(events.size(), 3u);
            const u8 cdb[10] = {0x4A, 0x01, 0, 0, 0x40, 0, 0, 0, 0x08, 0};
            EXPECT_EQ(0, std::memcmp(cdb, events[0].cdb, 10));
            // The bar moved on the way, from the time the drive said was left.
            ASSERT_GE(r.overallBar.size(), 2u);
            EXPECT_GT(r.overallBar[0], 0.0);
            EXPECT_LT(r.overallBar[0], 100.0);
          }));
  add(Row("CountdownWithoutAnyProgressReport").Medium(Used(P::kCdRw)).Identity(Progress(false, false))
          .Format(kMethodQuickErase));

  // ---- What the drive answers while it works ----
  add(Row("UnitAttentionOnADiscInformationPoll").Medium(Used(P::kCdRw)).Format(kMethodFullErase)
          .Fault(SenseAt(kReadDiscInformation, 6, 0x28, 0, 1, -1, 2)));
  add(Row("OneFailedRequestOnAPoll").Medium(Used(P::kCdRw)).Format(kMethodFullErase)
          .Fault(TransportAt(kReadDiscInformation, 1, -1, 2)));
  add(Row("UnitAttentionOnTheReadyPollOfABackgroundFormat").Onto(P::kDvdPlusRw).Format(kMethodFullFormat)
          .Fault(SenseAt(kTestUnitReady, 6, 0x29)));
  add(Row("FailedSenseRequestOnAPoll").Medium(Used(P::kCdRw)).Format(kMethodFullErase)
          .Identity([] {
            DriveIdentity i;
            i.sksvProgress = true;
            return i;
          }()).Fault(TransportAt(kRequestSense, 1)));
  add(Row("DriveThatStaysBecomingReadyFailsWithinTheReadyDeadline").Medium(Used(P::kCdRw))
          .Format(kMethodFullErase).ReadyWait(20000).Pace(20).Fault([] {
            RecorderFault f = SenseAt(kReadDiscInformation, 0, 0, 0, 1, -1, 2);
            f.kind = FaultKind::kStuck;
            return f;
          }()).Ends(kFail).Check([](const ScenarioRun& r) {
            ASSERT_NE(0u, r.firstFaultMs);
            EXPECT_LE(r.endMs - r.firstFaultMs, 20000u + 5000u);
          }));
  add(Row("DeferredErrorOfTheOperation").Medium(Used(P::kCdRw)).Format(kMethodQuickErase)
          .Fault(DeferredAfter(kBlank, 3, 0x0C, 0)).Ends(kFail).Log({u"0x03, 0x0c, 0x00"}));
  add(Row("OperationPastTheLimit").Medium(Used(P::kCdRw)).Identity(Progress(false, true)).FullBlankTakes(0xF0000000u)
          .Format(kMethodFullErase).StallAt(0x4A, 2, 9u * 60u * 60u * 1000u).Ends(kFail)
          .Log({u"] The drive did not finish the operation in time\r\n"})
          .Check([](const ScenarioRun& r) { EXPECT_TRUE(r.destination->LongOperationRunning()); }));
  add(Row("OneFailedAllowAtTheEnd").Medium(Used(P::kCdRw)).Format(kMethodQuickErase)
          .Fault(SenseAt(kPreventAllowMediumRemoval, 6, 0x28)));

  // ---- What cannot be done ----
  add(Row("BlankOnACdRFails").Medium(Used(P::kCdR)).Format(kMethodQuickErase).Ends(kFail)
          .Log({u"********* SCSI Error ************\r\nScsiStatus: 0x02\r\n", u"Command: 0xa1\r\n"}));
  // A CD-RW drive offers no quick format: it refuses type 0x15, the job
  // ends with the drive's answer and the disc keeps its data.
  add(Row("QuickFormatOfCdRwIsRefusedByTheDrive").Medium(Used(P::kCdRw)).Format(kMethodQuickFormat).Ends(kFail)
          .Log({u"Start Format/Erase process", u"0x05, 0x26, 0x00 : INVALID FIELD IN PARAMETER LIST\r\n",
                u"Command: 0x04\r\n", u"End Format/Erase process"})
          .Check([](const ScenarioRun& r) {
            ASSERT_EQ(1u, r.Commands(kFormatUnit).size());
            EXPECT_EQ((std::vector<u8>{0, 0x02, 0, 8, 0, 0, 0, 0, 0x15 << 2, 0, 0, 0x10}), LastFormat(r));
            EXPECT_EQ(2, r.destination->DiscStatus());
          }));
  add(Row("NoFormatForBdRe").Medium(Used(P::kBdRe)).Format(kMethodFullFormat).Ends(kFail)
          .Log({u"Format/Erase not supported on this media"}));
  add(Row("FailedCapacityReadSendsNoFormat").Medium(Used(P::kDvdRwRestricted)).Format(kMethodFullFormat)
          .Fault(SenseAt(kReadFormatCapacities, 3, 0x11, 0, 0)).Ends(kFail).Log({u"Command: 0x23\r\n"})
          .Check([](const ScenarioRun& r) { EXPECT_TRUE(r.Commands(kFormatUnit).empty()); }));
  add(Row("RefusedFormatIsNotFollowed").Onto(P::kDvdPlusRw).Format(kMethodFullFormat)
          .Fault(SenseAt(kFormatUnit, 5, 0x26)).Ends(kFail).Log({u"0x05, 0x26, 0x00"}));
  add(Row("CapacityReplyTooShort").Medium(Used(P::kDvdRwRestricted)).Format(kMethodFullFormat)
          .Fault(ReplyOf(kReadFormatCapacities, {0, 0, 0, 8, 0, 0, 0x10, 0})).Ends(kFail)
          .Log({u"] The drive's capacity reply is too short\r\n"}));
  add(Row("CapacityReplyWithoutCapacityAndAShortReadCapacity").Medium(Used(P::kDvdRwRestricted))
          .Format(kMethodQuickFormat).Fault(ReplyOf(kReadFormatCapacities, {0, 0, 0, 8, 0, 0, 0, 0, 3, 0, 8, 0}))
          .Fault(ReplyOf(kReadCapacity, {0, 0})).Ends(kFail)
          .Check([](const ScenarioRun& r) { EXPECT_TRUE(r.Commands(kFormatUnit).empty()); }));

  // ---- Stops ----
  add(Row("StopDuringTheBackgroundFormatClosesIt").Onto(P::kDvdPlusRw).Format(kMethodFullFormat)
          .StopAt(kRequestSense, 2).Ends(kFail).Check([](const ScenarioRun& r) {
            std::vector<TraceEntry> closes = r.Commands(kCloseTrackSession);
            ASSERT_FALSE(closes.empty());
            EXPECT_EQ(0, closes.back().cdb[2] & 7);  // close function 0: stop the format
            EXPECT_NE(2, r.destination->BackgroundFormatStatus());
          }));
  add(Row("StopThatTheDriveRefusesIsTriedAgain").Onto(P::kDvdPlusRw).Format(kMethodFullFormat)
          .StopAt(kRequestSense, 2).Fault(SenseAt(kCloseTrackSession, 2, 0x04, 0x04)).Ends(kFail)
          .Check([](const ScenarioRun& r) {
            std::vector<TraceEntry> closes = r.Commands(kCloseTrackSession);
            ASSERT_EQ(2u, closes.size());
            EXPECT_EQ(0, closes[1].status);
            EXPECT_EQ(1, r.destination->BackgroundFormatStatus());
          }));
  add(Row("StopOfAnEraseWaitsForTheDrive").Medium(Used(P::kCdRw)).Format(kMethodFullErase)
          .StopAt(kReadDiscInformation, 1).Ends(kFail).Check([](const ScenarioRun& r) {
            EXPECT_EQ(0, r.destination->DiscStatus());
            EXPECT_FALSE(r.destination->LongOperationRunning());
          }));
  return rows;
}

class FormatScenario : public ::testing::TestWithParam<Scenario> {};

TEST_P(FormatScenario, Runs) { RunScenario(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Rows, FormatScenario, ::testing::ValuesIn(Rows()),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; });

}  // namespace
