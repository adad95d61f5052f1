// Burns, copies and verifies as table rows against the strict recorder:
// every medium family and method, the source kinds, the questions, the
// faults a drive raises, and stops at every stage. The runner checks what
// every job must leave; the rows add the end state, log lines, the disc and
// the commands that matter for the case.
#include <gtest/gtest.h>

#include "drive/mmc/mmc_commands.h"
#include "jobs/job_page.h"
#include "runtime/byte_order.h"
#include "runtime/file.h"
#include "runtime/win.h"
#include "support/job_scenario.h"

namespace {

using namespace mmc;
using P = MediumPreset;
constexpr JobEnd kOk = JobEnd::kSucceeded;
constexpr JobEnd kFail = JobEnd::kFailed;
constexpr JobEnd kCancel = JobEnd::kCancelled;

u32 Count(const ScenarioRun& r, u8 opcode) { return static_cast<u32>(r.Commands(opcode).size()); }

// Close functions of the CLOSE TRACK/SESSION commands, in order.
std::vector<int> Closes(const ScenarioRun& r) {
  std::vector<int> out;
  for (const TraceEntry& e : r.Commands(kCloseTrackSession)) out.push_back(e.cdb[2] & 7);
  return out;
}

// A SYNCHRONIZE CACHE between the last WRITE and the first CLOSE of a session.
bool FlushedBeforeClose(const ScenarioRun& r, int function) {
  for (size_t i = 0; i < r.trace.size(); ++i) {
    const TraceEntry& e = r.trace[i];
    if (e.Opcode() != kCloseTrackSession || (e.cdb[2] & 7) != function) continue;
    for (size_t j = i; j-- > 0;) {
      if (r.trace[j].Opcode() == kSynchronizeCache) return true;
      if (r.trace[j].Opcode() == kWrite10) return false;
    }
  }
  return false;
}

// The session format and data block type page 05 was set with last.
u8 PageByte(const ScenarioRun& r, u32 byte) {
  std::vector<TraceEntry> selects = r.Commands(kModeSelect10);
  for (size_t i = selects.size(); i-- > 0;)
    if (selects[i].dataOut.size() > 8 + byte && selects[i].dataOut[8] == 0x05) return selects[i].dataOut[8 + byte];
  return 0xEE;
}

// Nothing that prepares or makes a write after the probe that failed.
void NoWriteAfterTheFailedProbe(const ScenarioRun& r) {
  size_t at = 0;
  while (at < r.trace.size() && !(r.trace[at].Opcode() == kGetConfiguration && r.trace[at].faulted)) ++at;
  ASSERT_LT(at, r.trace.size());
  for (size_t i = at; i < r.trace.size(); ++i) {
    const u8 op = r.trace[i].Opcode();
    EXPECT_TRUE(op != kWrite10 && op != kSendCueSheet && op != kModeSelect10) << "command " << i << ": " << int(op);
  }
}

MediumOptions Cd(std::initializer_list<TrackContent> tracks) { return Disc(P::kCdR, tracks); }
TrackContent Data(u32 blocks) { return TrackContent{blocks, 2048, false, false}; }
TrackContent Audio(u32 blocks) { return TrackContent{blocks, 2352, true, false}; }
std::u16string Utf16(u32 n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

std::vector<Scenario> Rows() {
  std::vector<Scenario> rows;
  auto add = [&](const Row& r) { rows.push_back(r.Get()); };

  // ---- Image burns on every family ----
  add(Row("CdRDiscAtOnceWithVerify").Onto(P::kCdR).Image(300)
          .Log({u"************************ Start Job ************************\r\n", u"Destination Device: ",
                u"Opening image file: burn_work\\scenario.iso", u"Starting to fill the cache...", u"End Fill Cache",
                u"Automatic Write Speed - Source Read Speed: ", u"Initializing Write process",
                u"Sectors to Write: 450", u"Set Caching Mode to Write", u"Sending Cue Sheet 0", u"Cue Sheet\r\n",
                u"Ending Write process", u"Set Max Read Speed to: ", u"Starting Verify process",
                u"Verifying Track 1", u"Verify process Ended", u"Total Time: ",
                u"************************ End Job ************************\r\n", u"End of process",
                u"Set normal priority in current process"})
          .Check([](const ScenarioRun& r) {
            std::vector<TraceEntry> writes = r.Commands(kWrite10);
            ASSERT_FALSE(writes.empty());
            EXPECT_EQ(static_cast<u32>(-150), ReadBigEndian32(writes[0].cdb + 2));  // the pregap first
            u32 blocks = 0;
            for (const TraceEntry& w : writes) blocks += ReadBigEndian16(w.cdb + 7);
            EXPECT_EQ(450u, blocks);
            EXPECT_EQ(0u, Count(r, kCloseTrackSession));
            EXPECT_TRUE(r.destination->Finalized());
            EXPECT_EQ(0, PageByte(r, 8));  // CD-ROM session format for Mode 1
            EXPECT_EQ(32u, r.destination->LastCueSheet().size());
          }));
  add(Row("CdRTrackAtOnceClosesTrackAndSession").Onto(P::kCdR).Image(300).Tao()
          .Log({u"Set Write Mode, DataMode: 8, CloseDisc: true, TrackAtOnce", u"Closing Logical Track(1)...",
                u"Closing Session..."})
          .Check([](const ScenarioRun& r) {
            std::vector<TraceEntry> writes = r.Commands(kWrite10);
            ASSERT_EQ(19u, writes.size());  // 18 x 16 + 12
            EXPECT_EQ(12u, ReadBigEndian16(writes.back().cdb + 7));
            EXPECT_EQ((std::vector<int>{1, 2}), Closes(r));
            EXPECT_TRUE(FlushedBeforeClose(r, 1));
            EXPECT_EQ(1u, ReadBigEndian16(r.Commands(kCloseTrackSession)[0].cdb + 4));
            EXPECT_EQ(0u, Count(r, kSendCueSheet));
          }));
  add(Row("CdRMode2Form1DiscAtOncePacksSectorsInAnXaSession").Onto(P::kCdR).Image(300)
          .Options(kDefaultBurnOptions | kOptionMode2Form1).Check([](const ScenarioRun& r) {
            std::vector<u8> cue = r.destination->LastCueSheet();
            ASSERT_EQ(32u, cue.size());
            EXPECT_EQ(0x24, cue[3]);
            EXPECT_EQ(0x20, cue[11]);
            EXPECT_EQ(16u * 2336u, r.Commands(kWrite10)[0].transferLength);
            EXPECT_EQ(0x20, PageByte(r, 8));
          }));
  add(Row("CdRMode2Form1TrackAtOnceUsesDataBlockType10").Onto(P::kCdR).Image(300).Tao()
          .Options(kDefaultBurnOptions | kOptionMode2Form1)
          .Log({u"Set Write Mode, DataMode: 10, CloseDisc: true, TrackAtOnce"})
          .Check([](const ScenarioRun& r) { EXPECT_EQ(0x20, PageByte(r, 8)); }));
  add(Row("DvdRDiscAtOnceReservesFlushesAndClosesTheSession").Onto(P::kDvdR).Image(100)
          .Log({u"Reserved Track: 100 Blocks"}).Check([](const ScenarioRun& r) {
            ASSERT_EQ(1u, Count(r, kReserveTrack));
            EXPECT_EQ(100u, ReadBigEndian32(r.Commands(kReserveTrack)[0].cdb + 5));
            EXPECT_EQ((std::vector<int>{2}), Closes(r));
            EXPECT_TRUE(FlushedBeforeClose(r, 2));
          }));
  add(Row("DvdRIncrementalClosesTrackThenSession").Onto(P::kDvdR).Image(50).Tao().Check([](const ScenarioRun& r) {
    EXPECT_EQ((std::vector<int>{1, 2}), Closes(r));
    EXPECT_EQ(1u, Count(r, kReserveTrack));
  }));
  add(Row("DvdPlusRFinalises").Onto(P::kDvdPlusR).Image(64).Check([](const ScenarioRun& r) {
    EXPECT_EQ((std::vector<int>{1, 6}), Closes(r));
    EXPECT_TRUE(r.destination->Finalized());
    EXPECT_EQ(0u, Count(r, kReserveTrack));
    EXPECT_EQ(0xEE, PageByte(r, 2));  // no page 05
  }));
  add(Row("DvdPlusRWithoutCloseDiscClosesTheSessionOnly").Onto(P::kDvdPlusR).Image(64).Options(kOptionBufe)
          .Check([](const ScenarioRun& r) {
            EXPECT_EQ((std::vector<int>{1, 2}), Closes(r));
            EXPECT_FALSE(r.destination->Finalized());
          }));
  add(Row("BdRFlushesBeforeFinalising").Onto(P::kBdR).Image(48).Check([](const ScenarioRun& r) {
    EXPECT_EQ((std::vector<int>{6}), Closes(r));
    EXPECT_TRUE(FlushedBeforeClose(r, 6));
    EXPECT_TRUE(r.destination->Finalized());
  }));
  for (P random : {P::kDvdPlusRw, P::kDvdRam}) {
    add(Row(random == P::kDvdRam ? "DvdRamTakesNoWriteOnceCommands" : "DvdPlusRwTakesNoWriteOnceCommands")
            .Onto(random).Image(80).Check([](const ScenarioRun& r) {
              EXPECT_EQ(0u, Count(r, kCloseTrackSession) + Count(r, kReserveTrack) + Count(r, kSendCueSheet));
              EXPECT_EQ(0xEE, PageByte(r, 2));  // no page 05
              EXPECT_GE(Count(r, kSynchronizeCache), 1u);
            }));
  }
  add(Row("DvdRwRestrictedOverwriteIsPaddedToWholeEccBlocks")
          .Medium(Disc(P::kDvdRwRestricted, {Data(1000)})).Image(1001).Log({u"Quick Format"})
          .Check([](const ScenarioRun& r) {
            std::vector<u8> sector;
            for (u32 lba = 1001; lba < 1008; ++lba) {
              ASSERT_TRUE(r.destination->ReadStoredSector(lba, &sector)) << lba;
              EXPECT_EQ(std::vector<u8>(2048, 0), sector) << lba;
            }
            for (const TraceEntry& w : r.Commands(kWrite10)) {
              EXPECT_EQ(0u, ReadBigEndian32(w.cdb + 2) % 16);
              EXPECT_EQ(16u, ReadBigEndian16(w.cdb + 7));
            }
            EXPECT_EQ(0u, Count(r, kCloseTrackSession));
          }));
  // The formatted area of the disc below holds 1024 blocks: a burn that
  // rounds up to more grows it (13h), one that fits formats quickly (15h).
  for (u32 sectors : {1009u, 1025u}) {
    MediumOptions partly;
    partly.preset = P::kDvdRwRestricted;
    partly.fill = DiscFill::kAppendable;
    add(Row(sectors == 1025 ? "RestrictedOverwriteGrowsForALargerBurn" : "RestrictedOverwriteFitsAnEccRoundedBurn")
            .Medium(partly).Image(sectors).Log({sectors == 1025 ? u"Quick Format 13h DVD-RW" : u"Quick Format 15h DVD-RW"}));
  }
  add(Row("WholeEccBlocksNeedNoPadding").Medium(Disc(P::kDvdRwRestricted, {Data(1000)})).Image(1024)
          .Check([](const ScenarioRun& r) {
            u32 blocks = 0;
            for (const TraceEntry& w : r.Commands(kWrite10)) blocks += ReadBigEndian16(w.cdb + 7);
            EXPECT_EQ(1024u, blocks);
          }));
  add(Row("DvdRwSequentialIsQuickFormattedFirst").Medium(Disc(P::kDvdRwSequential, {Data(500)})).Image(200)
          .Log({u"Quick Format 15h DVD-RW"}).Check([](const ScenarioRun& r) {
            EXPECT_EQ(0x13, r.destination->CurrentProfile());
            EXPECT_EQ(1u, Count(r, kFormatUnit));
            EXPECT_TRUE(r.questions.empty());
          }));
  add(Row("CdRwWithDataIsBlankedFirst").Medium(Disc(P::kCdRw, {Data(500)})).Image(300)
          .Log({u"Quick Erase CD-RW"}).Check([](const ScenarioRun& r) {
            ASSERT_EQ(1u, Count(r, kBlank));
            EXPECT_EQ(1, r.Commands(kBlank)[0].cdb[1] & 7);
          }));
  add(Row("BlankCdRwIsNotErased").Onto(P::kCdRw).Image(300).Check([](const ScenarioRun& r) {
    EXPECT_EQ(0u, Count(r, kBlank));
  }));
  add(Row("ImageSmallerThanOneChunk").Onto(P::kDvdR).Image(5).Log({u"End Fill Cache"}));
  add(Row("IsoMadeByXorriso").Onto(P::kCdR).ImageFile(u"fixtures/iso/joliet.iso"));
  add(Row("TheSameIsoInRawMode1Sectors").Onto(P::kCdR).ImageFile(u"fixtures/iso/joliet.mode1.bin"));
  // An image whose last sector ends early (a plain image, and raw Mode 1
  // sectors with the last one cut inside its user data): every byte goes
  // onto the disc, the last sector made whole by zeros, and the verify
  // reads back the same count. One block too many for the disc is refused
  // before anything is written.
  for (P preset : {P::kCdR, P::kDvdR}) {
    const bool cd = preset == P::kCdR;
    for (bool raw : {false, true}) {
      for (bool tao : {false, true}) {
        const std::string name = std::string(raw ? "RawImage" : "Image") + "WithAPartialLastSectorOn" +
                                 (cd ? "CdR" : "DvdR") + (tao ? "TrackAtOnce" : "DiscAtOnce");
        const u32 sectors = raw ? 353 : 1002;
        Row row(name.c_str());
        row.Onto(preset);
        if (raw)
          row.ImageFile(u"fixtures/iso/joliet.mode1.bin").ImageSize(352ull * 2352 + 16 + 1000);
        else
          row.Image(1002).ImageSize(1001ull * 2048 + 1000);
        if (tao) row.Tao();
        const std::u16string total = u"Sectors to Write: " + Utf16(sectors + (cd && !tao ? 150 : 0)) + u"\r\n";
        row.Log({total.c_str(), u"Verify process Ended"}).Check([=](const ScenarioRun& r) {
          if (!cd || tao) return;
          const std::vector<u8> cue = r.destination->LastCueSheet();
          ASSERT_GE(cue.size(), 8u);
          const u8* leadOut = &cue[cue.size() - 8];
          EXPECT_EQ(0xAA, leadOut[1]);
          EXPECT_EQ(static_cast<i32>(sectors), (leadOut[5] * 60 + leadOut[6]) * 75 + leadOut[7] - 150);
        });
        add(row);
      }
    }
    MediumOptions small;
    small.preset = preset;
    small.capacityBlocks = 1001;
    const std::string name = std::string("APartialLastSectorOneBlockTooManyIsRefusedOn") + (cd ? "CdR" : "DvdR");
    add(Row(name.c_str()).Medium(small).Image(1002).ImageSize(1001ull * 2048 + 1000).Ends(kFail)
            .Disc(DiscCheck::kUntouched).Log({u"The source needs 1002 blocks, the disc has room for 1001 blocks"}));
  }
  add(Row("MaximumWriteSpeed").Onto(P::kCdR).Image(300).Speed(kWriteSpeedMaximum).Log({u"Max Write Speed: "}));
  add(Row("CustomSpeedAboveTheCommandFieldIsClamped").Onto(P::kCdR).Image(300).Speed(100000)
          .Log({u"Custom Write Speed: "}).Check([](const ScenarioRun& r) {
            std::vector<TraceEntry> streaming = r.Commands(kSetStreaming);
            ASSERT_FALSE(streaming.empty());
            EXPECT_EQ(0xFFFFu, ReadBigEndian32(streaming[0].dataOut.data() + 20));
          }));

  // ---- The end of writing is checked ----
  add(Row("FlushThatAlwaysFailsFailsTheBurn").Onto(P::kDvdPlusRw).Image(80)
          .Fault(SenseAt(kSynchronizeCache, 3, 0x0C, 0, 0)).Ends(kFail)
          .Log({u"Cannot synchronize the drive's cache", u"Command: 0x35"}).NotLog({u"Starting Verify process"})
          .Check([](const ScenarioRun& r) { EXPECT_EQ(1u, r.writeResult); }));
  add(Row("DeferredErrorAfterTheDiscAtOnceFlushFailsTheBurn").Onto(P::kCdR).Image(300)
          .Fault(DeferredAfter(kSynchronizeCache, 3, 0x0C, 0)).Ends(kFail)
          .Log({u"Error while writing the lead-out", u"ResponseCode: 0x71", u"0x03, 0x0c, 0x00"}));
  add(Row("DeferredErrorAfterATrackFlushFailsTheBurn").Onto(P::kDvdPlusR).Image(64)
          .Fault(DeferredAfter(kSynchronizeCache, 3, 0x0C, 0)).Ends(kFail)
          .Log({u"Error while synchronizing the drive's cache"}).NotLog({u"Closing Logical Track"}));
  add(Row("DeferredErrorAfterCloseSessionFailsTheBurn").Onto(P::kDvdPlusR).Image(64)
          .Fault(DeferredAfter(kCloseTrackSession, 3, 0x0C, 0, 2)).Ends(kFail)
          .Log({u"Closing Session...", u"Error while closing the session", u"0x03, 0x0c, 0x00"}));
  add(Row("FailedCloseTrackEndsTheWrite").Onto(P::kDvdPlusR).Image(32)
          .Fault(SenseAt(kCloseTrackSession, 5, 0x2C)).Ends(kFail).Log({u"Cannot close the track", u"Command: 0x5b"})
          .NotLog({u"Closing Session..."}).Check([](const ScenarioRun& r) {
            EXPECT_EQ(1u, Count(r, kCloseTrackSession));
            EXPECT_EQ(1u, r.writeResult);
          }));
  add(Row("UnitAttentionWhileTheTrackFlushesIsWaitedThrough").Onto(P::kDvdPlusR).Image(64)
          .Fault(After(SenseAt(kTestUnitReady, 6, 0x28), kSynchronizeCache)));
  add(Row("CloseTrackRefusedWhileTheDriveStillWritesIsSentAgain").Onto(P::kDvdPlusR).Image(64)
          .Fault(SenseAt(kCloseTrackSession, 2, 0x04, 0x08)).Check([](const ScenarioRun& r) {
            EXPECT_EQ((std::vector<int>{1, 1, 6}), Closes(r));
          }));

  // ---- Write parameters, reservations, calibration, room on the disc ----
  add(Row("RefusedWriteParametersStopBeforeTheCueSheet").Onto(P::kCdR).Image(300)
          .Fault(SenseAt(kModeSelect10, 5, 0x26, 0, 0)).Ends(kFail).Disc(DiscCheck::kUntouched)
          .Log({u"Error Setting Write Mode"})
          .Check([](const ScenarioRun& r) { EXPECT_EQ(0u, Count(r, kSendCueSheet)); }));
  add(Row("RefusedReservationStopsTheBurn").Onto(P::kDvdR).Image(100).Fault(SenseAt(kReserveTrack, 5, 0x24))
          .Ends(kFail).Disc(DiscCheck::kUntouched).Log({u"Cannot reserve the track"}));
  // A refused calibration is not looked at: nothing is logged and the record
  // of the last failed command stays the one before it.
  add(Row("RefusedCalibrationLeavesNoTraceAndTheBurnGoesOn").Onto(P::kCdR).Image(300)
          .Fault(SenseAt(kSendOpcInformation, 5, 0x24)).NotLog({u"Power calibration", u"SCSI Error"})
          .Check([](const ScenarioRun& r) {
            EXPECT_EQ(1u, Count(r, kSendOpcInformation));
            EXPECT_EQ(0, r.lastFailedOpcode);
          }));
  add(Row("RefusedSpeedAndCalibrationKeepTheSpeedCommandsRecord").Onto(P::kCdR).Image(300)
          .Options(kOptionBufe | kOptionCloseDisc)
          .Fault(SenseAt(kSetStreaming, 5, 0x24, 0, 0)).Fault(SenseAt(kSetCdSpeed, 5, 0x24, 0, 0))
          .Fault(SenseAt(kSendOpcInformation, 5, 0x24))
          .Log({u"Automatic Write Speed - Source Read Speed: ", u"Command: 0xbb"})
          .NotLog({u"Command: 0x54"})
          .Check([](const ScenarioRun& r) { EXPECT_EQ(kSetCdSpeed, r.lastFailedOpcode); }));
  add(Row("TrackAtOnceOntoAnAppendableDiscStopsBeforeWriting").Medium([] {
        MediumOptions m = Cd({Data(400)});
        m.fill = DiscFill::kAppendable;
        return m;
      }()).Image(300).Tao().Ends(kFail).Disc(DiscCheck::kUntouched)
          .Log({u"The disc's next writable address (", u") is not where the layout puts track 2 (0)"}));
  add(Row("SourceLargerThanTheDiscStopsBeforeWriting").Medium([] {
        MediumOptions m;
        m.preset = P::kCdR;
        m.capacityBlocks = 1000;
        return m;
      }()).Image(1200).Ends(kFail).Disc(DiscCheck::kUntouched)
          .Log({u"The source needs 1200 blocks, the disc has room for 1000 blocks"}));
  add(Row("BlankBdReIsRefusedBeforeWriting").Onto(P::kBdRe).Image(100).Ends(kFail)
          .Disc(DiscCheck::kUntouched).Log({u"BD-RE disc is not formatted", u"does not format BD-RE"}));
  add(Row("FormattedBdReIsWrittenAndFlushed").Medium(Disc(P::kBdRe, {Data(10)})).Image(100).Check([](const ScenarioRun& r) {
    EXPECT_EQ(0u, Count(r, kCloseTrackSession));
  }));

  // ---- Write errors, read-back errors, the source ----
  add(Row("WriteGivesUpAfterTheFifthFailureAtOneAddress").Onto(P::kDvdR).Image(100)
          .Fault(SenseAt(kWrite10, 0x0B, 0x47, 0, 0, 48)).Ends(kFail)
          .Log({u"Write error, retry 2\r\n", u"Write error, retry 3\r\n", u"Write error, retry 4\r\n",
                u"********* SCSI Error ************\r\nScsiStatus: 0x02\r\n", u"Command: 0x2a\r\n",
                u"Offset of Write Error: 48 Track: 1"})
          .NotLog({u"Write error, retry 1", u"Write error, retry 5", u"Starting Verify process"})
          .Check([](const ScenarioRun& r) {
            u32 at48 = 0;
            for (const TraceEntry& e : r.Commands(kWrite10)) at48 += ReadBigEndian32(e.cdb + 2) == 48;
            EXPECT_EQ(5u, at48);
            EXPECT_EQ(1u, r.writeResult);
          }));
  add(Row("MediumErrorEndsTheWriteAtTheSecondFailure").Onto(P::kDvdR).Image(100)
          .Fault(SenseAt(kWrite10, 3, 0x0C, 0, 0, 32)).Ends(kFail).Log({u"Offset of Write Error: 32 Track: 1"})
          .NotLog({u"Write error, retry"}));
  add(Row("OneMediumErrorIsRetriedSilently").Onto(P::kDvdR).Image(100).Fault(SenseAt(kWrite10, 3, 0x0C, 0, 1, 32))
          .NotLog({u"Write error, retry"}));
  add(Row("LongWriteAtTheTrackStartIsWaitedOut").Onto(P::kDvdR).Image(40).Tao().LeadIn(2000).Pace(20)
          .NotLog({u"Write error, retry"}).Check([](const ScenarioRun& r) {
            u32 at0 = 0;
            for (const TraceEntry& e : r.Commands(kWrite10)) at0 += ReadBigEndian32(e.cdb + 2) == 0;
            EXPECT_GT(at0, 5u);
          }));
  add(Row("TransportFailuresMidBurn").Onto(P::kCdR).Image(300).Fault(TransportAt(kWrite10, 0, -1, 12))
          .Ends(kFail).Log({u"Write error, retry 4", u"ResponseCode: 0x00", u"Offset of Write Error: "}));
  add(Row("NoStaleSenseAfterATransportFailure").Onto(P::kCdR).Image(300)
          .Fault(SenseAt(kSetStreaming, 5, 0x24, 0, 0)).Fault(SenseAt(kSetCdSpeed, 5, 0x24, 0, 0))
          .Fault(TransportAt(kWrite10, 0, -1, 3)).Ends(kFail).Check([](const ScenarioRun& r) {
            size_t at = r.log.find(u"Offset of Write Error");
            ASSERT_NE(std::u16string::npos, at);
            size_t block = r.log.rfind(u"********* SCSI Error", at);
            EXPECT_NE(std::u16string::npos, r.log.find(u"ResponseCode: 0x00", block)) << Narrow(r.log);
          }));
  add(Row("MediumTakenOutMidBurn").Onto(P::kCdR).Image(300).RemoveAt(kWrite10, 6).Ends(kFail)
          .Log({u"Offset of Write Error: "}).NotLog({u"Starting Verify process"}));
  // Slow virtual time and a slow drive, so that only the stall outlasts the buffer.
  add(Row("UnderrunWithoutBufeLosesTheStream").Onto(P::kCdR).Image(300).Tao().Options(kOptionCloseDisc)
          .Speed(706).Pace(100).StallAt(kWrite10, 6, 60000).Ends(kFail).Log({u"0x03, 0x0c, 0x09"}));
  add(Row("WithBufeTheDriveWaitsForAStalledSource").Onto(P::kCdR).Image(300).Tao().Options(kOptionBufe)
          .Speed(706).Pace(100).StallAt(kWrite10, 6, 60000));
  add(Row("ImageCutAfterTheLayoutWasMade").Onto(P::kCdR).Image(300).CutImage(120 * 2048 + 100).Ends(kFail)
          .Log({u"The source delivered less data than the layout"}));
  add(Row("MissingImage").Onto(P::kCdR).Image(300).Setup([] { RemoveFile(u"burn_work\\scenario.iso"); })
          .Ends(kFail).Disc(DiscCheck::kUntouched).Log({u"Cannot open the image file"}));
  add(Row("EmptyImage").Onto(P::kCdR).Image(0).Tao().Ends(kFail).Disc(DiscCheck::kUntouched)
          .Log({u"Nothing to write: the layout is empty"}));
  add(Row("VerifyMismatchReportsSectorAndOffset").Onto(P::kCdR).Image(400).Corrupt(322, 904).Ends(kFail)
          .Log({u"Verify failed at sector: 320, Offset: 5000"}).NotLog({u"Verify process Ended"})
          .Check([](const ScenarioRun& r) { EXPECT_EQ(1u, r.verifyResult); }));
  add(Row("ReadBackGivesUpAfterTheFifthFailure").Onto(P::kDvdR).Image(64)
          .Fault(SenseAt(kRead10, 3, 0x11, 0, 0, 16)).Ends(kFail)
          .Log({u"Read error, retry 2\r\n", u"Read error, retry 4\r\n", u"Offset of Read Error: 16"}));
  add(Row("RefusedEraseFailsWithoutCancelling").Medium(Disc(P::kCdRw, {Data(500)})).Image(300)
          .Fault(SenseAt(kBlank, 5, 0x24)).Ends(kFail).Disc(DiscCheck::kUntouched).Log({u"Error Blanking media"}));
  // A disc the drive cannot read once it has been erased, or once it has
  // been put in for a one-drive copy, ends the job before anything is sent
  // to write it.
  auto unreadAfter = [&](Row row, i32 opcode) {
    add(row.Fault(After(SenseAt(kGetConfiguration, 3, 0x11), opcode)).Ends(kFail).Disc(DiscCheck::kUntouched)
            .Log({u"Cannot read the disc in the destination drive\r\n", u"0x03, 0x11, 0x00", u"Command: 0x46"})
            .NotLog({u"Sectors to Write", u"Write Error"}).Check(NoWriteAfterTheFailedProbe));
  };
  unreadAfter(Row("UnreadableCdRwAfterTheEraseEndsTheCopy").Medium(Disc(P::kCdRw, {Data(500)})).Copy(Cd({Data(300)})),
              kBlank);
  unreadAfter(Row("UnreadableCdRwAfterTheEraseEndsTheImageBurn").Medium(Disc(P::kCdRw, {Data(500)})).Image(300), kBlank);
  unreadAfter(Row("UnreadableDvdRwAfterTheQuickFormatEndsTheBurn").Medium(Disc(P::kDvdRwSequential, {Data(500)}))
                  .Image(200), kFormatUnit);
  unreadAfter(Row("UnreadableDiscAtTheOneDrivePromptEndsTheCopy").Copy(Cd({Data(400)}), 0), kStartStopUnit);
  add(Row("OneFaultOnAPollOfTheQuickFormatBeforeABurn").Medium(Disc(P::kDvdRwSequential, {Data(500)})).Image(200)
          .Fault(SenseAt(kTestUnitReady, 6, 0x28, 0, 1, -1, 3)).Log({u"Quick Format 15h DVD-RW"}));
  add(Row("FailedTrackInformationBeforeTheQuickFormatFails").Medium([] {
        MediumOptions m;
        m.preset = P::kDvdRwRestricted;
        m.fill = DiscFill::kAppendable;
        return m;
      }()).Image(200).Fault(SenseAt(kReadTrackInformation, 3, 0x11, 0, 0)).Ends(kFail).Disc(DiscCheck::kUntouched)
          .Log({u"Error Blanking media"}).Check([](const ScenarioRun& r) { EXPECT_EQ(0u, Count(r, kFormatUnit)); }));

  // ---- Giving the drive back ----
  add(Row("OneFailedAllowAtTheEndIsSentAgain").Onto(P::kCdR).Image(300)
          .Fault(SenseAt(kPreventAllowMediumRemoval, 2, 0x04, 0x01, 1, -1, 2)));
  add(Row("AnAllowThatAlwaysFailsIsReported").Onto(P::kCdR).Image(300)
          .Fault(TransportAt(kPreventAllowMediumRemoval, 0, -1, 2)).Held()
          .Log({u"The drive could not be released: removal of the disc is still prevented"}));
  add(Row("FailedPreventAtTheStartIsLogged").Onto(P::kCdR).Image(300)
          .Fault(SenseAt(kPreventAllowMediumRemoval, 5, 0x24)).Log({u"Cannot prevent the removal of the disc"}));

  // ---- Stops ----
  add(Row("StopBeforeWriting").Onto(P::kCdR).Image(300).StopAt(kSendOpcInformation, 1).Ends(kCancel)
          .Disc(DiscCheck::kUntouched));
  add(Row("StopWhileWriting").Onto(P::kCdR).Image(400).StopAt(kWrite10, 4).Ends(kCancel)
          .NotLog({u"Starting Verify process"}));
  add(Row("StopWhileVerifying").Onto(P::kDvdR).Image(200).StopAt(kRead10, 2).Ends(kCancel)
          .Log({u"Starting Verify process"}).NotLog({u"Verify process Ended"}));
  add(Row("StopWhileErasing").Medium(Disc(P::kCdRw, {Data(500)})).Image(300).StopAt(kBlank, 1).Ends(kCancel)
          .Disc(DiscCheck::kUntouched));
  add(Row("CancelAtTheFullEraseQuestion").Medium(Disc(P::kDvdRwSequential, {Data(500)})).Copy(
          Disc(P::kDvdRom, {Data(64), Data(32)})).Answers({kAnswerCancel}).Ends(kCancel).Disc(DiscCheck::kUntouched)
          .Check([](const ScenarioRun& r) {
            EXPECT_EQ((std::vector<u32>{156}), r.questions);
            EXPECT_EQ(0u, Count(r, kBlank) + Count(r, kFormatUnit));
          }));

  // ---- Projects ----
  add(Row("AudioProjectDiscAtOnceVerifiedFromTheCache").Onto(P::kCdR).Project(700).Log({u"Verifying Track 2"})
          .NotLog({u"Audio Synchronization offset"}).Check([](const ScenarioRun& r) {
            EXPECT_TRUE(r.followUpShown);
            EXPECT_EQ(1u, r.sourceSeeks);
            EXPECT_EQ(700u * 2352, r.sourceDelivered);
          }));
  add(Row("ProjectShorterThanItsLayout").Onto(P::kCdR).Project(700).ShortSource().Ends(kFail)
          .Log({u"The source delivered less data than the layout"}));
  add(Row("ProjectLargerThanTheCacheIsReadAgainInItsOwnUnit").Onto(P::kCdR).Project(29000).FirstPause(300)
          .Check([](const ScenarioRun& r) {
            EXPECT_EQ(2u, r.sourceSeeks);
            EXPECT_EQ(2u * 29000 * 2352, r.sourceDelivered);
          }));

  // ---- Copies ----
  add(Row("TemporaryNameSkipsTakenFilesAndFolders").Onto(P::kCdR).Copy(Cd({Data(300)})).Setup([] {
        MakeDirectory(u"burn_work");
        CFileHandle f;
        f.Create(u"burn_work\\KelvaneTemp0.iso");
        MakeDirectory(u"burn_work\\KelvaneTemp1.iso");
      }).Log({u"Creating temp file: burn_work\\KelvaneTemp2.iso"}).Check([](const ScenarioRun&) {
        EXPECT_TRUE(FileExists(u"burn_work\\KelvaneTemp0.iso"));
        RemoveFile(u"burn_work\\KelvaneTemp0.iso");
        RemoveDirectoryW(AsWide(u"burn_work\\KelvaneTemp1.iso"));
      }));
  add(Row("OneDriveWithThePromptCancelled").Copy(Cd({Data(400)}), 0).PromptCancels().Ends(kCancel)
          .Disc(DiscCheck::kUntouched));
  add(Row("OneDriveAsksBeforeErasingARewritableDisc").Copy(Cd({Data(400)}), 0)
          .PromptInserts(Disc(P::kCdRw, {Data(400)})).Answers({kAnswerNo}).Ends(kCancel).Disc(DiscCheck::kUntouched)
          .Check([](const ScenarioRun& r) {
            EXPECT_EQ((std::vector<u32>{77}), r.questions);
            EXPECT_EQ(0u, Count(r, kBlank));
          }));
  add(Row("AQuestionThatCannotBeAskedCountsAsCancel").Copy(Cd({Data(400)}), 0).NoUi().Ends(kCancel)
          .Disc(DiscCheck::kUntouched));
  add(Row("AudioVerifiedThroughAReadOffset").Onto(P::kCdR).Copy(Cd({Audio(320), Audio(300)}))
          .Options(kDefaultBurnOptions | kOptionDirectCopy).ReadOffset(1176)
          .Log({u"Audio Synchronization offset: 1176"}).NotLog({u"Cannot synch audio"}));
  add(Row("AudioThatCannotBeSynchronised").Onto(P::kCdR).Copy(Cd({Audio(320)}))
          .Options(kDefaultBurnOptions | kOptionDirectCopy).GarbleAudio().Ends(kFail)
          .Log({u"Cannot synch audio for verify: 0"}));
  add(Row("TrackAtOnceCopyOfAnAudioTrackWritesRawBlocks").Onto(P::kCdR).Copy(Cd({Audio(400)})).Tao()
          .Log({u"Set Write Mode, DataMode: 0, CloseDisc: true, TrackAtOnce"}));
  add(Row("TrackAtOnceCopyWritesNoPregapTrack").Onto(P::kCdR).Copy(Cd({Data(400)})).Tao().Check([](const ScenarioRun& r) {
    EXPECT_EQ((std::vector<int>{1, 2}), Closes(r));
  }));
  // Track at once, the drive starts each further track of a session 152
  // blocks (run-out and pregap) after the one before: a layout of tracks
  // back to back is refused before anything is erased or written; one laid
  // out that way is followed.
  for (P preset : {P::kCdR, P::kCdRw}) {
    MediumOptions onto;
    onto.preset = preset;
    if (preset == P::kCdRw) onto = Disc(P::kCdRw, {Data(200)});
    add(Row(preset == P::kCdR ? "TrackAtOnceCopyOfBackToBackTracksStopsBeforeWriting"
                              : "TrackAtOnceCopyOfBackToBackTracksStopsBeforeErasing")
            .Medium(onto).Copy(Cd({Data(400), Data(300)})).Tao().Ends(kFail).Disc(DiscCheck::kUntouched)
            .Log({u"The layout puts track 2 at 400, 0 blocks after the end of track 1; written track at once, a track "
                  u"starts 152 blocks after the end of the one before it, so this layout needs disc at once: nothing "
                  u"was written\r\n"})
            .Check([](const ScenarioRun& r) {
              EXPECT_EQ(0u, Count(r, kWrite10) + Count(r, kBlank) + Count(r, kModeSelect10));
            }));
  }
  add(Row("TrackAtOnceCopyFollowsALayoutOfTrackAtOnceGaps").Onto(P::kCdR)
          .Copy(Cd({Data(400), TrackContent{300, 2048, false, false, 152}, TrackContent{320, 2352, true, false, 152}}))
          .Tao().Options(kDefaultBurnOptions | kOptionDirectCopy).Check([](const ScenarioRun& r) {
            u32 start = 0, size = 0, next = 0;
            for (u32 track : {2u, 3u}) {
              ASSERT_TRUE(r.destination->TrackInfo(track, &start, &size, &next));
              EXPECT_EQ(track == 2 ? 552u : 1004u, start);
            }
            EXPECT_EQ(320u, size);
          }));
  add(Row("TrackAtOnceGapsOtherThanTheDrivesStopBeforeWriting").Onto(P::kCdR)
          .Copy(Cd({Data(400), TrackContent{300, 2048, false, false, 200}})).Tao().Ends(kFail)
          .Disc(DiscCheck::kUntouched).Log({u"The layout puts track 2 at 600, 200 blocks after the end of track 1; "}));
  // A disc whose tracks start on 16-block boundaries cannot follow a layout
  // of tracks back to back: the write stops at the second track and says
  // that the first one is on the disc.
  add(Row("IncrementalCopyThatStopsAfterATrackSaysSo").Onto(P::kDvdR).Copy(Disc(P::kDvdRom, {Data(500), Data(300)}))
          .Tao().Ends(kFail).Disc(DiscCheck::kAny)
          .Log({u"The disc's next writable address (512) is not where the layout puts track 2 (500): writing stopped "
                u"there, after 1 track was written\r\n"})
          .NotLog({u"nothing was written"}));
  add(Row("SourceReadFailureFailsADirectCopy").Onto(P::kCdR).Copy(Cd({Data(300)}))
          .Options(kDefaultBurnOptions | kOptionDirectCopy).Fault(SenseAt(kRead10, 3, 0x11, 0, 0, 64), u'F')
          .Ends(kFail).Log({u"Error reading the source"}));
  add(Row("SourceReadFailureFailsTheCopyToDisk").Onto(P::kCdR).Copy(Cd({Data(300)}))
          .Fault(TransportAt(kRead10, 0, 128), u'F').Ends(kFail).Disc(DiscCheck::kUntouched)
          .Log({u"Creating temp file: ", u"Error reading the source device"}));
  add(Row("SourceDriveInUse").Onto(P::kCdR).Copy(Cd({Data(30)})).Options(kDefaultBurnOptions | kOptionDirectCopy)
          .HoldSource().Ends(kFail).Disc(DiscCheck::kUntouched).Log({u"Cannot open the source device: it is in use"}));
  // The interface looks at the source's disc for a moment as the copy
  // starts: the copy waits for it instead of failing.
  for (u8 direct : {u8(0), kOptionDirectCopy})
    add(Row(direct ? "SourceHeldForAMomentDirect" : "SourceHeldForAMomentThroughTheDisk").Onto(P::kCdR)
            .Copy(Cd({Data(400)})).Options(kDefaultBurnOptions | direct).HoldSource(200).Pace(100)
            .NotLog({u"in use"}));
  // The first command after a disc change answers UNIT ATTENTION, and a
  // request can fail once: opening either drive retries them.
  for (const char* drive : {"Source", "Destination"}) {
    const wchar16 letter = drive[0] == 'S' ? u'F' : u'E';
    add(Row((std::string(drive) + "UnitAttentionWhenOpened").c_str()).Onto(P::kCdR).Copy(Cd({Data(400)}))
            .Options(kDefaultBurnOptions | kOptionDirectCopy).Fault(SenseAt(kGetConfiguration, 6, 0x28), letter));
    add(Row((std::string(drive) + "FailedRequestWhenOpened").c_str()).Onto(P::kCdR).Copy(Cd({Data(400)}))
            .Options(kDefaultBurnOptions | kOptionDirectCopy).Fault(TransportAt(kGetConfiguration), letter));
  }
  // A source drive whose first command fails: the line says whether it
  // answered at all; an answer's sense message follows in the error block.
  add(Row("SourceThatNeverAnswersSaysSo").Onto(P::kCdR).Copy(Cd({Data(400)}))
          .Options(kDefaultBurnOptions | kOptionDirectCopy).Fault(TransportAt(kGetConfiguration, 100), u'F')
          .Ends(kFail).Disc(DiscCheck::kUntouched)
          .Log({u"Cannot open the source device: the drive does not answer", u"Command: 0x46"})
          .NotLog({u"in use", u"answered"}));
  struct ErrorAnswer {
    const char* name;
    u8 key, asc;
    const char16_t* message;
  };
  for (const ErrorAnswer& e : {ErrorAnswer{"SourceAnsweringAMediumErrorSaysSo", 3, 0x31, u"0x03, 0x31, 0x00 : MEDIUM FORMAT CORRUPTED\r\n"},
                               ErrorAnswer{"SourceAnsweringAHardwareErrorSaysSo", 4, 0x44, u"0x04, 0x44, 0x00 : INTERNAL TARGET FAILURE\r\n"}}) {
    add(Row(e.name).Onto(P::kCdR).Copy(Cd({Data(400)})).Options(kDefaultBurnOptions | kOptionDirectCopy)
            .Fault(SenseAt(kGetConfiguration, e.key, e.asc, 0, 100), u'F').Ends(kFail).Disc(DiscCheck::kUntouched)
            .Log({u"Cannot open the source device: the drive answered with an error\r\n", e.message, u"Command: 0x46"})
            .NotLog({u"in use", u"does not answer"}));
  }
  add(Row("SourceWithoutMedium").Onto(P::kCdR).Copy([] {
        MediumOptions m = Cd({Data(30)});
        m.preset = P::kCdR;
        m.fill = DiscFill::kBlank;
        return m;
      }()).Options(kDefaultBurnOptions | kOptionDirectCopy).Ends(kFail).Disc(DiscCheck::kUntouched)
          .Log({u"Cannot read the layout of the source disc"}));
  return rows;
}

class BurnScenario : public ::testing::TestWithParam<Scenario> {};

TEST_P(BurnScenario, Runs) { RunScenario(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Rows, BurnScenario, ::testing::ValuesIn(Rows()),
                         [](const ::testing::TestParamInfo<Scenario>& info) { return info.param.name; });

}  // namespace
