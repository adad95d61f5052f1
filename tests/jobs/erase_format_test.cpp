// Erasing and formatting against the simulated recorder: every method on
// every family of rewritable media, each source of progress, background
// format following and stopping, the erase a burn runs, and the failures.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "job_test_fixture.h"
#include "jobs/erase_format_job.h"
#include "burn/recorder_faults.h"

namespace {

u32 Be32(const u8* p) { return (u32(p[0]) << 24) | (u32(p[1]) << 16) | (u32(p[2]) << 8) | p[3]; }

class FormatJobTest : public JobRecorderTest {
 protected:
  void SetProgressKinds(bool sense, bool busy) {
    DriveIdentity identity;
    identity.sksvProgress = sense;
    identity.busyEvents = busy;
    recorder_.SetIdentity(identity);
  }

  // Runs one method on the inserted medium to its end; the watchdog fails
  // the test when the job does not end.
  void RunJob(u32 method) {
    page_.reset(new CFormatPage(&ui_));
    ASSERT_TRUE(OpenDrive(&drive_));
    ASSERT_TRUE(drive_.LockVolume());
    drive_.PreventAllowMediumRemoval(true);
    ASSERT_TRUE(page_->Run(method, &drive_, 0, u"E: KVSIM MULTI RECORDER"));
    ASSERT_TRUE(WaitForJobEnd(*page_, 60000)) << "watchdog: the job did not end";
    log_ = LogOf(*page_);
  }

  // Starts a method without waiting for its end (stop tests); call it
  // through ASSERT_NO_FATAL_FAILURE.
  void StartJob(u32 method, bool lockVolume) {
    page_.reset(new CFormatPage(&ui_));
    ASSERT_TRUE(OpenDrive(&drive_));
    if (lockVolume) {
      ASSERT_TRUE(drive_.LockVolume());
    }
    ASSERT_TRUE(page_->Run(method, &drive_, 0, u"E:"));
  }

  bool Has(const std::string& text) const { return log_.find(text) != std::string::npos; }

  // The FORMAT UNIT parameter list that was sent.
  bool LastFormat(std::vector<u8>* list) {
    TraceEntry e;
    if (!recorder_.LastCommand(0x04, &e)) return false;
    *list = e.dataOut;
    return list->size() >= 12;
  }

  // What a successful job leaves: no failure, 100 %, the drive given back.
  void ExpectSucceeded() {
    EXPECT_FALSE(page_->IsStopped()) << log_;
    EXPECT_TRUE(page_->HasFlags(kJobFinished));
    EXPECT_DOUBLE_EQ(100.0, ui_.BarValue(kBarOverall));
    EXPECT_EQ(std::string::npos, log_.find("SCSI Error")) << log_;
    ExpectEnded();
  }
  void ExpectFailed() {
    EXPECT_TRUE(page_->IsStopped()) << log_;
    EXPECT_TRUE(page_->HasFlags(kJobFinished));
    ExpectEnded();
  }
  void ExpectEnded() {
    EXPECT_TRUE(Has("Start Format/Erase process")) << log_;
    EXPECT_TRUE(Has("End Format/Erase process")) << log_;
    EXPECT_TRUE(Has("************************ End Job ************************")) << log_;
    EXPECT_FALSE(drive_.IsOpen());
    EXPECT_EQ(nullptr, page_->destination);
    EXPECT_FALSE(io_.VolumeLocked(u'E'));
    EXPECT_FALSE(recorder_.RemovalPrevented());
    EXPECT_EQ(0u, page_->LiveThreads());
    EXPECT_GE(ui_.DeviceCommandUpdates(), 2u);
    EXPECT_TRUE(recorder_.Violations().empty()) << ViolationText();
  }

  CDrive drive_;
  std::unique_ptr<CFormatPage> page_;
  std::string log_;
};

TEST_F(FormatJobTest, QuickEraseOfCdRwBlanksMinimally) {
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  RunJob(kMethodQuickErase);
  TraceEntry blank;
  ASSERT_TRUE(recorder_.LastCommand(0xA1, &blank));
  EXPECT_EQ(0x11, blank.cdb[1]);  // immediate, minimal
  EXPECT_EQ(kStatusQuickErase, page_->status.load());
  EXPECT_EQ(0, recorder_.DiscStatus());
  EXPECT_EQ(ProgressSource::kSense, page_->progressSource.load());
  EXPECT_TRUE(Has("Set Max Write Speed"));
  ExpectSucceeded();
  EXPECT_TRUE(log_.rfind("************************ Start Job ************************\r\n"
                         "Destination Device: E: KVSIM MULTI RECORDER\r\n",
                         0) == 0)
      << log_;
}

TEST_F(FormatJobTest, FullEraseOfSequentialDvdRwAndHdDvdRw) {
  for (MediumPreset preset : {MediumPreset::kDvdRwSequential, MediumPreset::kHdDvdRw}) {
    Insert(preset, DiscFill::kComplete);
    RunJob(kMethodFullErase);
    TraceEntry blank;
    ASSERT_TRUE(recorder_.LastCommand(0xA1, &blank));
    EXPECT_EQ(0x10, blank.cdb[1]);  // immediate, full disc
    EXPECT_EQ(0, recorder_.DiscStatus());
    ExpectSucceeded();
  }
}

TEST_F(FormatJobTest, QuickFormatOfDvdRwUsesType15) {
  for (MediumPreset preset : {MediumPreset::kDvdRwSequential, MediumPreset::kDvdRwRestricted}) {
    Insert(preset, DiscFill::kComplete);
    RunJob(kMethodQuickFormat);
    std::vector<u8> list;
    ASSERT_TRUE(LastFormat(&list));
    EXPECT_EQ(0x02, list[1]);
    EXPECT_EQ(8, list[3]);
    EXPECT_EQ(0u, Be32(&list[4]));
    EXPECT_EQ(0x15 << 2, list[8]);
    EXPECT_EQ(0x00, list[9]);
    EXPECT_EQ(0x00, list[10]);
    EXPECT_EQ(0x10, list[11]);
    EXPECT_EQ(0x13, recorder_.CurrentProfile());
    ExpectSucceeded();
  }
}

TEST_F(FormatJobTest, FullFormatOfDvdRwAndDvdRamUsesTheType0Capacity) {
  Insert(MediumPreset::kDvdRwRestricted, DiscFill::kComplete);
  RunJob(kMethodFullFormat);
  std::vector<u8> list;
  ASSERT_TRUE(LastFormat(&list));
  EXPECT_EQ(0x02, list[1]);
  EXPECT_EQ(recorder_.CapacityBlocks(), Be32(&list[4]));
  EXPECT_EQ(0x00, list[8]);
  EXPECT_EQ(0x08, list[10]);  // block length 2048
  ExpectSucceeded();

  Insert(MediumPreset::kDvdRam, DiscFill::kComplete);
  RunJob(kMethodQuickFormat);
  ASSERT_TRUE(LastFormat(&list));
  EXPECT_EQ(0x22, list[1]);  // Immed and DCRT
  EXPECT_EQ(0x00, list[8]);
  ExpectSucceeded();
}

TEST_F(FormatJobTest, DvdPlusRwFullFormatFollowsTheBackgroundFormat) {
  Insert(MediumPreset::kDvdPlusRw, DiscFill::kBlank);
  RunJob(kMethodFullFormat);
  std::vector<u8> list;
  ASSERT_TRUE(LastFormat(&list));
  EXPECT_EQ(0x26 << 2, list[8]);
  EXPECT_EQ(0, list[11] & 1);
  EXPECT_EQ(ProgressSource::kBackgroundStatus, page_->progressSource.load());
  // Followed to its end: the drive no longer formats.
  EXPECT_NE(2, recorder_.BackgroundFormatStatus());
  EXPECT_GE(recorder_.CountCommands(0x03), 3u);
  ExpectSucceeded();
}

TEST_F(FormatJobTest, DvdPlusRwContinueSetsRestartAndDoesNotFollow) {
  MediumOptions options;
  options.preset = MediumPreset::kDvdPlusRw;
  options.fill = DiscFill::kAppendable;  // an interrupted background format
  Insert(options);
  RunJob(kMethodContinueFormat);
  std::vector<u8> list;
  ASSERT_TRUE(LastFormat(&list));
  EXPECT_EQ(0x26 << 2, list[8]);
  EXPECT_EQ(1, list[11] & 1);
  EXPECT_NE(ProgressSource::kBackgroundStatus, page_->progressSource.load());
  ExpectSucceeded();

  Insert(MediumPreset::kDvdPlusRwDualLayer, DiscFill::kBlank);
  RunJob(kMethodQuickFormat);
  ASSERT_TRUE(LastFormat(&list));
  EXPECT_EQ(0x26 << 2, list[8]);
  EXPECT_EQ(0, list[11] & 1);
  ExpectSucceeded();
}

TEST_F(FormatJobTest, ProgressFromTheBusyEventWithoutSenseProgress) {
  SetProgressKinds(false, true);
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  RunJob(kMethodFullErase);
  EXPECT_EQ(ProgressSource::kBusyEvent, page_->progressSource.load());
  EXPECT_GE(recorder_.CountCommands(0x4A), 3u);
  TraceEntry gesn;
  ASSERT_TRUE(recorder_.LastCommand(0x4A, &gesn));
  const u8 cdb[10] = {0x4A, 0x01, 0, 0, 0x40, 0, 0, 0, 0x08, 0};
  EXPECT_EQ(0, std::memcmp(cdb, gesn.cdb, 10));
  // The bar moved on the way, not only at the end.
  std::vector<double> bar = ui_.BarHistory(kBarOverall);
  ASSERT_GE(bar.size(), 2u);
  EXPECT_GT(bar[0], 0.0);
  EXPECT_LT(bar[0], 100.0);
  ExpectSucceeded();
}

TEST_F(FormatJobTest, CountdownWithoutAnyProgressReport) {
  SetProgressKinds(false, false);
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  RunJob(kMethodQuickErase);
  EXPECT_EQ(ProgressSource::kCountdown, page_->progressSource.load());
  ExpectSucceeded();
}

TEST_F(FormatJobTest, MediaItCannotFormatFail) {
  // The drive refuses: BLANK on a CD-R, a CD-RW quick format of type 15h.
  Insert(MediumPreset::kCdR, DiscFill::kComplete);
  RunJob(kMethodQuickErase);
  ExpectFailed();
  EXPECT_TRUE(Has("********* SCSI Error ************\r\nScsiStatus: 0x02\r\n")) << log_;
  EXPECT_TRUE(Has("Command: 0xa1\r\n")) << log_;
  EXPECT_GE(ui_.FinishedStateCount(), 1u);

  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  RunJob(kMethodQuickFormat);
  ExpectFailed();
  EXPECT_TRUE(Has("Command: 0x04\r\n")) << log_;

  // No command for the profile: a failure, not "completed".
  Insert(MediumPreset::kBdRe, DiscFill::kComplete);
  u32 formats = recorder_.CountCommands(0x04);
  RunJob(kMethodFullFormat);
  EXPECT_EQ(formats, recorder_.CountCommands(0x04));
  ExpectFailed();
}

TEST_F(FormatJobTest, FailedCapacityReadSendsNoFormat) {
  Insert(MediumPreset::kDvdRwRestricted, DiscFill::kComplete);
  recorder_.AddFault(SenseFault(0x23, 3, 0x11, 0, 0));
  RunJob(kMethodFullFormat);
  EXPECT_EQ(0u, recorder_.CountCommands(0x04));
  ExpectFailed();
  EXPECT_TRUE(Has("Command: 0x23\r\n")) << log_;
}

TEST_F(FormatJobTest, FailedFormatUnitIsNotFollowedAsASuccess) {
  Insert(MediumPreset::kDvdPlusRw, DiscFill::kBlank);
  recorder_.AddFault(SenseFault(0x04, 5, 0x26));
  RunJob(kMethodFullFormat);
  ExpectFailed();
  EXPECT_TRUE(Has("0x05, 0x26, 0x00")) << log_;
  EXPECT_NE(100.0, ui_.BarValue(kBarOverall));
}

TEST_F(FormatJobTest, DeferredErrorOfTheOperationIsReported) {
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  RecorderFault fault = SenseFault(0xA1, 3, 0x0C);
  fault.kind = FaultKind::kDeferred;
  recorder_.AddFault(fault);
  RunJob(kMethodQuickErase);
  ExpectFailed();
  EXPECT_TRUE(Has("0x03, 0x0c, 0x00")) << log_;
}

TEST_F(FormatJobTest, StopDuringBackgroundFormatClosesIt) {
  Insert(MediumPreset::kDvdPlusRw, DiscFill::kBlank);
  ASSERT_NO_FATAL_FAILURE(StartJob(kMethodFullFormat, true));
  // Wait until the drive formats in the background, then stop.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (page_->progressSource.load() != ProgressSource::kBackgroundStatus &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_EQ(ProgressSource::kBackgroundStatus, page_->progressSource.load());
  ui_.QueueAnswer(kAnswerYes);
  page_->OnClose();
  ASSERT_TRUE(WaitForJobEnd(*page_, 60000));
  ASSERT_TRUE(ui_.WaitClosed(30000));
  log_ = LogOf(*page_);
  TraceEntry close;
  ASSERT_TRUE(recorder_.LastCommand(0x5B, &close));
  EXPECT_EQ(0, close.cdb[2] & 7);  // close function 0: stop the format
  EXPECT_NE(2, recorder_.BackgroundFormatStatus());
  ExpectFailed();
  EXPECT_EQ(1u, ui_.CloseCount());
}

TEST_F(FormatJobTest, StopOfAnEraseWaitsForTheDrive) {
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  ASSERT_NO_FATAL_FAILURE(StartJob(kMethodFullErase, false));
  ui_.QueueAnswer(kAnswerYes);
  page_->OnClose();
  ASSERT_TRUE(WaitForJobEnd(*page_, 60000));
  ASSERT_TRUE(ui_.WaitClosed(30000));
  // The drive finished its erase; the job still counts as stopped.
  EXPECT_EQ(0, recorder_.DiscStatus());
  EXPECT_FALSE(recorder_.LongOperationRunning());
  EXPECT_TRUE(page_->IsStopped());
}

// Starts a method and waits (real time) until `ready` holds; false at the
// watchdog's deadline.
template <class Ready>
bool WaitUntil(Ready ready, u32 milliseconds = 30000) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (!ready()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

TEST_F(FormatJobTest, OperationPastTheLimitIsAFailure) {
  // A blank that would take weeks; the drive reports only its busy event,
  // whose successful poll must not become the job's outcome.
  SetProgressKinds(false, true);
  RecorderTimings t = recorder_.Timings();
  t.blankFullMs = 0xF0000000u;
  recorder_.SetTimings(t);
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  ASSERT_NO_FATAL_FAILURE(StartJob(kMethodFullErase, false));
  ASSERT_TRUE(WaitUntil([&] { return page_->progressSource.load() == ProgressSource::kBusyEvent; }));
  clock_.Advance(9u * 60u * 60u * 1000u);
  ASSERT_TRUE(WaitForJobEnd(*page_, 60000)) << "watchdog: the job did not end";
  log_ = LogOf(*page_);
  EXPECT_TRUE(recorder_.LongOperationRunning());
  ExpectFailed();
  EXPECT_NE(100.0, ui_.BarValue(kBarOverall));
  EXPECT_TRUE(Has("] The drive did not finish the operation in time\r\n")) << log_;
}

TEST_F(FormatJobTest, CapacityRepliesTooShortSendNoFormat) {
  // Only the list header and half a descriptor come back.
  Insert(MediumPreset::kDvdRwRestricted, DiscFill::kComplete);
  u32 id = recorder_.AddFault(ReplyFault(0x23, {0, 0, 0, 8, 0, 0, 0x10, 0}));
  RunJob(kMethodFullFormat);
  EXPECT_GE(recorder_.FaultHits(id), 1u);
  EXPECT_EQ(0u, recorder_.CountCommands(0x04));
  ExpectFailed();
  EXPECT_NE(100.0, ui_.BarValue(kBarOverall));
  EXPECT_TRUE(Has("] The drive's capacity reply is too short\r\n")) << log_;

  // A list without a usable capacity sends the job to READ CAPACITY, which
  // answers too little as well.
  recorder_.ClearFaults();
  Insert(MediumPreset::kDvdRwRestricted, DiscFill::kComplete);
  recorder_.AddFault(ReplyFault(0x23, {0, 0, 0, 8, 0, 0, 0, 0, 0x03, 0, 0x08, 0}));
  u32 capacityId = recorder_.AddFault(ReplyFault(0x25, {0, 0}));
  RunJob(kMethodQuickFormat);
  EXPECT_GE(recorder_.FaultHits(capacityId), 1u);
  EXPECT_EQ(0u, recorder_.CountCommands(0x04));
  ExpectFailed();
}

TEST_F(FormatJobTest, StopThatTheDriveRefusesIsTriedAgain) {
  Insert(MediumPreset::kDvdPlusRw, DiscFill::kBlank);
  // The first CLOSE TRACK/SESSION is answered "not ready, in progress".
  u32 id = recorder_.AddFault(SenseFault(0x5B, 2, 0x04, 0x04));
  ASSERT_NO_FATAL_FAILURE(StartJob(kMethodFullFormat, true));
  ASSERT_TRUE(WaitUntil([&] { return page_->progressSource.load() == ProgressSource::kBackgroundStatus; }));
  ui_.QueueAnswer(kAnswerYes);
  page_->OnClose();
  ASSERT_TRUE(WaitForJobEnd(*page_, 60000)) << "watchdog: the job did not end";
  ASSERT_TRUE(ui_.WaitClosed(30000));
  log_ = LogOf(*page_);
  EXPECT_EQ(1u, recorder_.FaultHits(id));
  EXPECT_EQ(2u, recorder_.CountCommands(0x5B));
  TraceEntry close;
  ASSERT_TRUE(recorder_.LastCommand(0x5B, &close));
  EXPECT_EQ(0, close.status);
  // Stopped part-way, not followed to its end.
  EXPECT_EQ(1, recorder_.BackgroundFormatStatus());
  ExpectFailed();
}

class EraseForBurnTest : public JobRecorderTest {
 protected:
  std::string Erase(u32 needed, bool full) {
    CDrive drive;
    EXPECT_TRUE(OpenDrive(&drive));
    CJobPage page(&ui_);
    EraseMedia(&page, &drive, needed, full);
    ok_ = drive.LastCommandSucceeded();
    lastOpcode_ = drive.lastCdb[0];
    status_ = page.status.load();
    return LogOf(page);
  }
  bool ok_ = false;
  u8 lastOpcode_ = 0xFF;
  u32 status_ = 0;
};

TEST_F(EraseForBurnTest, ChoosesByProfile) {
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  std::string log = Erase(1000, false);
  EXPECT_NE(std::string::npos, log.find("] Quick Erase CD-RW\r\n")) << log;
  EXPECT_EQ(kStatusQuickErase, status_);
  EXPECT_TRUE(ok_);
  EXPECT_EQ(0x00, lastOpcode_);  // ended by TEST UNIT READY
  EXPECT_FALSE(recorder_.LongOperationRunning());
  EXPECT_EQ(0, recorder_.DiscStatus());

  Insert(MediumPreset::kDvdRwSequential, DiscFill::kComplete);
  log = Erase(1000, false);
  EXPECT_NE(std::string::npos, log.find("] Quick Format 15h DVD-RW\r\n")) << log;
  EXPECT_EQ(kStatusQuickFormat, status_);
  EXPECT_TRUE(ok_);

  Insert(MediumPreset::kDvdRwSequential, DiscFill::kComplete);
  log = Erase(1000, true);
  EXPECT_NE(std::string::npos, log.find("] Full Erase DVD-RW\r\n")) << log;
  EXPECT_EQ(kStatusFullErase, status_);
  EXPECT_FALSE(recorder_.LongOperationRunning());

  Insert(MediumPreset::kDvdPlusRw, DiscFill::kBlank);
  log = Erase(1000, false);
  EXPECT_NE(std::string::npos, log.find("] Background Format 26h DVD+RW\r\n")) << log;
  EXPECT_TRUE(ok_);

  // Nothing to do on other media.
  Insert(MediumPreset::kBdRe, DiscFill::kComplete);
  log = Erase(1000, false);
  EXPECT_TRUE(log.empty()) << log;
  EXPECT_TRUE(recorder_.Violations().empty()) << ViolationText();
}

TEST_F(EraseForBurnTest, RestrictedOverwriteGrowsOnlyWhenTheBurnIsLarger) {
  MediumOptions options;
  options.preset = MediumPreset::kDvdRwRestricted;
  options.fill = DiscFill::kAppendable;
  options.formattedBlocks = 1024;
  Insert(options);
  u32 start = 0, size = 0, nwa = 0;
  ASSERT_TRUE(recorder_.TrackInfo(1, &start, &size, &nwa));
  // Rounded up to 16: size - 15 stays within the track, size + 1 does not.
  std::string log = Erase(size - 15, false);
  EXPECT_NE(std::string::npos, log.find("Quick Format 15h DVD-RW")) << log << " size " << size;
  Insert(options);
  log = Erase(size + 1, false);
  EXPECT_NE(std::string::npos, log.find("Quick Format 13h DVD-RW")) << log;
  std::vector<u8> list;
  TraceEntry e;
  ASSERT_TRUE(recorder_.LastCommand(0x04, &e));
  ASSERT_GE(e.dataOut.size(), 12u);
  EXPECT_EQ(0x13 << 2, e.dataOut[8]);
  EXPECT_EQ(0x10, e.dataOut[11]);
}

TEST_F(EraseForBurnTest, RefusedEraseIsTheLastCommand) {
  Insert(MediumPreset::kCdRw, DiscFill::kComplete);
  recorder_.AddFault(SenseFault(0xA1, 5, 0x24));
  Erase(1000, false);
  EXPECT_FALSE(ok_);
  EXPECT_EQ(0xA1, lastOpcode_);
}

}  // namespace
