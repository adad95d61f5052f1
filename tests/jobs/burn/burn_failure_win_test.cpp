// Failure paths of a burn: write errors and the retry rule, read-back
// errors and mismatches, a truncated image, a transport failure, the medium
// taken out, failed opens and empty layouts, and a stop at every stage. Each
// ends failed or cancelled with the drives unlocked and closed, the
// temporary image deleted and the log complete.
#include "burn_job_fixture.h"

#include <atomic>

#include "drive/mmc/mmc_commands.h"
#include "recorder_faults.h"

namespace {

constexpr u8 kDefaultOptions = kOptionVerify | kOptionBufe | kOptionCloseDisc;

class BurnFailureTest : public BurnJobTest {
 protected:
  void BurnImage(u32 sectors, u32 method = kMethodDiscAtOnce, u8 options = kDefaultOptions) {
    bytes_ = ImageBytes(sectors, 7);
    std::u16string path = WriteImage(u"failure.iso", bytes_);
    BurnRequest request;
    BuildImageRequest(&request, path, method, options);
    ASSERT_TRUE(RunJob(request));
  }
  std::vector<u32> WriteLbas(u32 lba) const {
    std::vector<u32> out;
    for (const TraceEntry& e : recorder_.Trace())
      if (e.Opcode() == mmc::kWrite10 && ReadBigEndian32(e.cdb + 2) == lba) out.push_back(lba);
    return out;
  }
  // Stops the job (as the page's stop button answered Yes) when `when`
  // first sees a matching command.
  void StopWhen(std::function<bool(wchar16, const u8*)> when) {
    ui_.SetDefaultAnswer(kAnswerYes);
    hooked_.SetBefore([this, when](wchar16 letter, const u8* cdb) {
      if (!stopped_.load() && page_ && when(letter, cdb)) {
        stopped_.store(true);
        page_->OnClose();
      }
    });
  }
  void ExpectCancelled() {
    ExpectFailed();
    EXPECT_TRUE(stopped_.load());
    EXPECT_TRUE(page_->stopRequested.load());
    EXPECT_TRUE(LogHas(u"Process cancelled")) << Narrow(Log());
    EXPECT_GE(ui_.StopRequestedCount(), 1u);
  }
  // A counter of matching commands for StopWhen.
  static std::function<bool(wchar16, const u8*)> Nth(wchar16 letter, u8 opcode, u32 n) {
    auto seen = std::make_shared<u32>(0);
    return [=](wchar16 l, const u8* cdb) { return l == letter && cdb[0] == opcode && ++*seen == n; };
  }

  std::vector<u8> bytes_;
  std::atomic<bool> stopped_{false};
};

RecorderFault WriteFault(i64 lba, u32 times, u8 key, u8 asc = 0x00) {
  return SenseFault(mmc::kWrite10, key, asc, 0, times, lba);
}

TEST_F(BurnFailureTest, WriteGivesUpAfterTheFifthFailureAtOneAddress) {
  InsertDestination(MediumPreset::kDvdR);
  recorder_.AddFault(WriteFault(48, 0, 0x0B, 0x47));
  BurnImage(100);
  ExpectFailed();
  EXPECT_EQ(5u, WriteLbas(48).size());
  EXPECT_FALSE(LogHas(u"Write error, retry 1"));
  EXPECT_TRUE(LogHas(u"Write error, retry 2\r\n"));
  EXPECT_TRUE(LogHas(u"Write error, retry 3\r\n"));
  EXPECT_TRUE(LogHas(u"Write error, retry 4\r\n"));
  EXPECT_FALSE(LogHas(u"Write error, retry 5"));
  EXPECT_TRUE(LogHas(u"Offset of Write Error: 48 Track: 1")) << Narrow(Log());
  EXPECT_TRUE(LogHas(u"********* SCSI Error ************\r\nScsiStatus: 0x02\r\n"));
  EXPECT_TRUE(LogHas(u"Command: 0x2a\r\n"));
  EXPECT_EQ(1u, page_->writeResult.load());
  EXPECT_FALSE(LogHas(u"Starting Verify process"));
  EXPECT_GE(ui_.FinishedStateCount(), 1u);
}

TEST_F(BurnFailureTest, MediumErrorEndsAtTheSecondFailureAndOneFailureIsRetriedSilently) {
  InsertDestination(MediumPreset::kDvdR);
  recorder_.AddFault(WriteFault(32, 0, 3, 0x0C));
  BurnImage(100);
  ExpectFailed();
  EXPECT_EQ(2u, WriteLbas(32).size());
  EXPECT_FALSE(LogHas(u"Write error, retry"));
  EXPECT_TRUE(LogHas(u"Offset of Write Error: 32 Track: 1"));

  recorder_.RemoveMedium();
  InsertDestination(MediumPreset::kDvdR);
  recorder_.ClearFaults();
  recorder_.ClearTrace();
  recorder_.AddFault(WriteFault(32, 1, 3, 0x0C));
  BurnImage(100);
  ExpectCompleted();
  EXPECT_EQ(2u, WriteLbas(32).size());
  ExpectUserData(recorder_, 0, bytes_);
}

TEST_F(BurnFailureTest, LongWriteAtTheTrackStartIsWaitedOut) {
  InsertDestination(MediumPreset::kDvdR);
  RecorderTimings timings;
  timings.leadInMs = 2000;
  recorder_.SetTimings(timings);
  BurnImage(40, kMethodTrackAtOnce);
  ExpectCompleted();
  EXPECT_GT(WriteLbas(0).size(), 5u);
  EXPECT_FALSE(LogHas(u"Write error, retry"));
  ExpectUserData(recorder_, 0, bytes_);
}

TEST_F(BurnFailureTest, TransportFailureMidBurn) {
  InsertDestination(MediumPreset::kCdR);
  recorder_.AddFault(TransportFault(mmc::kWrite10, 0, -1, 12));
  BurnImage(300);
  ExpectFailed();
  EXPECT_TRUE(LogHas(u"Offset of Write Error: ")) << Narrow(Log());
  EXPECT_TRUE(LogHas(u"Write error, retry 4"));
}

TEST_F(BurnFailureTest, MediumRemovedMidBurn) {
  InsertDestination(MediumPreset::kCdR);
  auto writes = std::make_shared<u32>(0);
  CSimulatedRecorder* disc = &recorder_;
  hooked_.SetBefore([writes, disc](wchar16 letter, const u8* cdb) {
    if (letter == kDestination && cdb[0] == mmc::kWrite10 && ++*writes == 6) disc->RemoveMedium();
  });
  BurnImage(300);
  ExpectFailed();
  EXPECT_TRUE(LogHas(u"Offset of Write Error: ")) << Narrow(Log());
  EXPECT_FALSE(LogHas(u"Starting Verify process"));
}

TEST_F(BurnFailureTest, TruncatedImageFailsInsteadOfWaiting) {
  InsertDestination(MediumPreset::kCdR);
  std::vector<u8> bytes = ImageBytes(200, 9);
  std::u16string path = WriteImage(u"truncated.iso", bytes);
  BurnRequest request;
  BuildImageRequest(&request, path, kMethodDiscAtOnce, kDefaultOptions);
  bytes.resize(120 * 2048 + 100);
  WriteImage(u"truncated.iso", bytes);
  ASSERT_TRUE(RunJob(request));
  ExpectFailed();
  EXPECT_TRUE(LogHas(u"The source delivered less data than the layout")) << Narrow(Log());
}

TEST_F(BurnFailureTest, ImageShorterThanItsLayoutFailsWhileWriting) {
  // More than the 64 MiB cache: the end of the image comes while the write
  // thread waits for the rest, which must not wait for ever.
  InsertDestination(MediumPreset::kDvdR);
  std::vector<u8> bytes = ImageBytes(33000, 9);
  std::u16string path = WriteImage(u"short.iso", bytes);
  BurnRequest request;
  BuildImageRequest(&request, path, kMethodDiscAtOnce, kDefaultOptions);
  request.sessions[0][0].sectorCount = 34000;
  ASSERT_TRUE(RunJob(request));
  ExpectFailed();
  EXPECT_TRUE(LogHas(u"The source delivered less data than the layout")) << Narrow(Log());
  EXPECT_GT(recorder_.CountCommands(mmc::kWrite10), 0u);
  EXPECT_EQ(1u, page_->writeResult.load());
}

TEST_F(BurnFailureTest, MissingImageAndEmptyLayoutFailTheJob) {
  InsertDestination(MediumPreset::kCdR);
  {
    BurnRequest request;
    std::u16string path = WriteImage(u"gone.iso", ImageBytes(10, 1));
    BuildImageRequest(&request, path, kMethodDiscAtOnce, kDefaultOptions);
    RemoveFile(path.c_str());
    ASSERT_TRUE(RunJob(request));
    ExpectFailed();
    EXPECT_TRUE(LogHas(u"Cannot open the image file")) << Narrow(Log());
  }
  {
    BurnRequest request;
    std::u16string path = WriteImage(u"empty.iso", {});
    BuildImageRequest(&request, path, kMethodTrackAtOnce, kDefaultOptions);
    ASSERT_TRUE(RunJob(request));
    ExpectFailed();
    EXPECT_TRUE(LogHas(u"Nothing to write: the layout is empty")) << Narrow(Log());
  }
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kWrite10));
}

TEST_F(BurnFailureTest, VerifyMismatchReportsSectorAndOffset) {
  InsertDestination(MediumPreset::kCdR);
  hooked_.SetAfter([](wchar16 letter, const u8* cdb, u8* data, u32 length, u8 status) {
    if (letter == kDestination && cdb[0] == mmc::kRead10 && status == 0 && ReadBigEndian32(cdb + 2) == 320 &&
        length > 5000)
      data[5000] ^= 0x5A;
  });
  BurnImage(400);
  ExpectFailed();
  EXPECT_EQ(1u, page_->verifyResult.load());
  EXPECT_TRUE(LogHas(u"Verify failed at sector: 320, Offset: 5000")) << Narrow(Log());
  EXPECT_FALSE(LogHas(u"Verify process Ended"));
}

TEST_F(BurnFailureTest, ReadBackGivesUpAfterTheFifthFailure) {
  InsertDestination(MediumPreset::kDvdR);
  u32 id = recorder_.AddFault(SenseFault(mmc::kRead10, 3, 0x11, 0, 0, 16));
  BurnImage(64);
  ExpectFailed();
  EXPECT_EQ(5u, recorder_.FaultHits(id));
  EXPECT_TRUE(LogHas(u"Read error, retry 2\r\n"));
  EXPECT_TRUE(LogHas(u"Read error, retry 4\r\n"));
  EXPECT_TRUE(LogHas(u"Offset of Read Error: 16")) << Narrow(Log());
  EXPECT_EQ(1u, page_->verifyResult.load());
}

TEST_F(BurnFailureTest, CloseTrackFailureIsLoggedAndTheSessionStillCloses) {
  InsertDestination(MediumPreset::kDvdPlusR);
  recorder_.AddFault(SenseFault(mmc::kCloseTrackSession, 5, 0x2C));
  BurnImage(32, kMethodDiscAtOnce, kOptionBufe | kOptionCloseDisc);
  ExpectFailed();
  EXPECT_EQ(2u, recorder_.CountCommands(mmc::kCloseTrackSession));
  EXPECT_TRUE(LogHas(u"Closing Session..."));
  EXPECT_TRUE(LogHas(u"Command: 0x5b"));
  EXPECT_EQ(0u, page_->writeResult.load());
}

// ---- A stop at every stage ----

TEST_F(BurnFailureTest, StopWhileCopyingToTheHardDisk) {
  InsertDestination(MediumPreset::kCdR);
  MediumOptions source;
  source.preset = MediumPreset::kCdR;
  source.fill = DiscFill::kComplete;
  source.sessions.push_back({TrackContent()});
  InsertSource(source);
  StopWhen(Nth(kSource, mmc::kRead10, 3));
  BurnRequest request;
  request.source = 1;
  request.destination = 0;
  ASSERT_TRUE(RunJob(request));
  ExpectCancelled();
  EXPECT_FALSE(page_->tempImagePath.IsEmpty());
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kWrite10));
}

TEST_F(BurnFailureTest, StopWhileErasing) {
  InsertDestination(MediumPreset::kCdRw, DiscFill::kComplete);
  StopWhen(Nth(kDestination, mmc::kBlank, 1));
  BurnImage(50);
  ExpectCancelled();
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kWrite10));
}

TEST_F(BurnFailureTest, StopAtTheFullEraseQuestion) {
  InsertDestination(MediumPreset::kDvdRwSequential, DiscFill::kComplete);
  ui_.QueueAnswer(kAnswerCancel);
  bytes_ = ImageBytes(96, 3);
  std::u16string path = WriteImage(u"two.iso", bytes_);
  BurnRequest request;
  BuildImageRequest(&request, path, kMethodTrackAtOnce, kDefaultOptions);
  request.sessions[0][0].sectorCount = 64;
  TrackExtent* second = request.sessions[0].AppendNew();
  second->start = 64;
  second->sectorSize = 2048;
  second->sectorCount = 32;
  ASSERT_TRUE(RunJob(request));
  ExpectFailed();
  ASSERT_EQ(1u, ui_.Questions().size());
  EXPECT_EQ(kTextFullEraseQuestion, ui_.Questions()[0].textId);
  EXPECT_EQ(8u, ui_.Questions()[0].titleId);
  EXPECT_EQ(0x30002u, ui_.Questions()[0].flags);
  EXPECT_TRUE(LogHas(u"Process cancelled"));
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kBlank));
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kFormatUnit));
}

TEST_F(BurnFailureTest, StopBeforeWriting) {
  InsertDestination(MediumPreset::kCdR);
  StopWhen(Nth(kDestination, mmc::kSendOpcInformation, 1));
  BurnImage(100);
  ExpectCancelled();
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kWrite10));
}

TEST_F(BurnFailureTest, StopWhileWriting) {
  InsertDestination(MediumPreset::kCdR);
  StopWhen(Nth(kDestination, mmc::kWrite10, 4));
  BurnImage(400);
  ExpectCancelled();
  EXPECT_LT(recorder_.CountCommands(mmc::kWrite10), 8u);
  EXPECT_FALSE(LogHas(u"Starting Verify process"));
}

TEST_F(BurnFailureTest, StopWhileVerifying) {
  InsertDestination(MediumPreset::kDvdR);
  StopWhen(Nth(kDestination, mmc::kRead10, 2));
  BurnImage(200);
  ExpectCancelled();
  EXPECT_TRUE(LogHas(u"Starting Verify process"));
  EXPECT_FALSE(LogHas(u"Verify process Ended"));
  EXPECT_LE(recorder_.CountCommands(mmc::kRead10), 3u);
}

TEST_F(BurnFailureTest, StopWhileFeedingALargeImage) {
  // Larger than the cache: the main thread is still feeding when stopped.
  InsertDestination(MediumPreset::kDvdR);
  std::vector<u8> bytes = ImageBytes(34000, 5);
  std::u16string path = WriteImage(u"large.iso", bytes);
  StopWhen(Nth(kDestination, mmc::kWrite10, 3));
  BurnRequest request;
  BuildImageRequest(&request, path, kMethodDiscAtOnce, kDefaultOptions);
  ASSERT_TRUE(RunJob(request));
  ExpectCancelled();
  EXPECT_LT(recorder_.CountCommands(mmc::kWrite10), 8u);
}

}  // namespace
