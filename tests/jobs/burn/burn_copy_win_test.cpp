// Disc copies end to end: two drives directly and through the temporary
// image, one drive with the insert prompt answered and cancelled, audio
// verified through a drive that reads with an offset, and the failures of
// the source side.
#include "burn_job_fixture.h"

#include "drive/mmc/mmc_commands.h"
#include "recorder_faults.h"

namespace {

constexpr u8 kCopyOptions = kOptionVerify | kOptionBufe | kOptionCloseDisc;

class BurnCopyTest : public BurnJobTest {
 protected:
  static MediumOptions SourceDisc(std::vector<TrackContent> tracks) {
    MediumOptions options;
    options.preset = MediumPreset::kCdR;
    options.fill = DiscFill::kComplete;
    options.sessions.push_back(tracks);
    return options;
  }
  static TrackContent Data(u32 blocks) {
    TrackContent t;
    t.blocks = blocks;
    return t;
  }
  static TrackContent Audio(u32 blocks) {
    TrackContent t;
    t.blocks = blocks;
    t.blockSize = 2352;
    t.audio = true;
    return t;
  }
  static void CopyRequest(BurnRequest* request, i32 source, u8 options) {
    request->source = source;
    request->destination = 0;
    request->method = kMethodDiscAtOnce;
    request->titleId = 147;
    request->options = options;
  }
  // Runs a copy from drive `source` (0: the destination itself) to its end.
  bool RunCopy(i32 source, u8 options) {
    BurnRequest request;
    CopyRequest(&request, source, options);
    return RunJob(request);
  }
  // The recorded sectors of a recorder from lba on.
  static std::vector<std::vector<u8>> Sectors(const CSimulatedRecorder& recorder, u32 lba, u32 count) {
    std::vector<std::vector<u8>> out(count);
    for (u32 i = 0; i < count; ++i) recorder.ReadStoredSector(lba + i, &out[i]);
    return out;
  }
  static bool FirstCommand(const CSimulatedRecorder& recorder, u8 opcode, TraceEntry* out) {
    for (const TraceEntry& e : recorder.Trace()) {
      if (e.Opcode() == opcode) {
        *out = e;
        return true;
      }
    }
    return false;
  }
  void ExpectSameSectors(const std::vector<std::vector<u8>>& expected, u32 lba) {
    std::vector<u8> sector;
    for (u32 i = 0; i < expected.size(); ++i) {
      ASSERT_TRUE(recorder_.ReadStoredSector(lba + i, &sector)) << "sector " << lba + i;
      ASSERT_EQ(expected[i], sector) << "sector " << lba + i;
    }
  }
};

TEST_F(BurnCopyTest, TwoDrivesDirect) {
  InsertDestination(MediumPreset::kCdR);
  InsertSource(SourceDisc({Data(400)}));
  std::vector<std::vector<u8>> source = Sectors(sourceRecorder_, 0, 400);
  ASSERT_TRUE(RunCopy(1, kCopyOptions | kOptionDirectCopy));
  ExpectCompleted();
  ExpectSameSectors(source, 0);
  EXPECT_TRUE(page_->tempImagePath.IsEmpty());
  EXPECT_TRUE(LogHas(u"Opening source device: "));
  EXPECT_FALSE(LogHas(u"Creating temp file: "));
  EXPECT_TRUE(recorder_.Finalized());
  // The source drive's speed was asked for the automatic write speed.
  EXPECT_TRUE(LogHas(u"Automatic Write Speed - Source Read Speed: "));
  EXPECT_FALSE(LogHas(u"Source Read Speed: 0 KB/s"));
  // The source drive is given back before the destination.
  std::vector<TraceEntry> sourceTrace = sourceRecorder_.Trace();
  std::vector<TraceEntry> destinationTrace = recorder_.Trace();
  ASSERT_FALSE(sourceTrace.empty());
  ASSERT_FALSE(destinationTrace.empty());
  EXPECT_EQ(mmc::kPreventAllowMediumRemoval, sourceTrace.back().Opcode());
  EXPECT_LE(sourceTrace.back().timeMs, destinationTrace.back().timeMs);
  EXPECT_EQ(mmc::kPreventAllowMediumRemoval, destinationTrace.back().Opcode());
}

TEST_F(BurnCopyTest, TwoDrivesThroughTheTemporaryImage) {
  InsertDestination(MediumPreset::kCdR);
  InsertSource(SourceDisc({Data(300)}));
  std::vector<std::vector<u8>> source = Sectors(sourceRecorder_, 0, 300);
  ASSERT_TRUE(RunCopy(1, kCopyOptions));
  ExpectCompleted();
  ExpectSameSectors(source, 0);
  EXPECT_FALSE(page_->tempImagePath.IsEmpty());
  EXPECT_TRUE(LogHas(u"Creating temp file: burn_work\\KelvaneTemp"));
  EXPECT_TRUE(LogHas(u"Opening image file: burn_work\\KelvaneTemp"));
  ExpectEndedAndReleased();
  // The source drive was given back once its disc was on the hard disk,
  // before the destination was written.
  std::vector<TraceEntry> sourceTrace = sourceRecorder_.Trace();
  ASSERT_FALSE(sourceTrace.empty());
  TraceEntry firstWrite;
  ASSERT_TRUE(FirstCommand(recorder_, mmc::kWrite10, &firstWrite));
  EXPECT_LE(sourceTrace.back().timeMs, firstWrite.timeMs);
  EXPECT_EQ(mmc::kPreventAllowMediumRemoval, sourceTrace.back().Opcode());
  EXPECT_EQ(0, sourceTrace.back().cdb[4] & 1);
}

TEST_F(BurnCopyTest, TemporaryNameSkipsTakenFilesAndFolders) {
  InsertDestination(MediumPreset::kCdR);
  InsertSource(SourceDisc({Data(40)}));
  WriteImage(u"KelvaneTemp0.iso", {1, 2, 3});
  MakeDirectory(u"burn_work\\KelvaneTemp1.iso");
  ASSERT_TRUE(RunCopy(1, kCopyOptions));
  ExpectCompleted();
  EXPECT_TRUE(LogHas(u"Creating temp file: burn_work\\KelvaneTemp2.iso"));
  EXPECT_TRUE(FileExists(u"burn_work\\KelvaneTemp0.iso"));
  EXPECT_FALSE(FileExists(u"burn_work\\KelvaneTemp2.iso"));
  RemoveDirectoryForTest(u"burn_work\\KelvaneTemp1.iso");
}

TEST_F(BurnCopyTest, OneDriveWithThePromptAnswered) {
  InsertDestination(MediumPreset::kCdR, DiscFill::kComplete);
  std::vector<std::vector<u8>> source = Sectors(recorder_, 0, 1000);
  u32 profileSeen = 0;
  ui_.SetInsertDiscPrompt([&](i32 destination, void* context) -> u32 {
    EXPECT_EQ(0, destination);
    profileSeen = static_cast<BurnRequest*>(context)->copiedProfile;
    EXPECT_FALSE(recorder_.HasMedium() && !recorder_.TrayOpen());  // ejected
    recorder_.RemoveMedium();
    MediumOptions blank;
    blank.preset = MediumPreset::kCdR;
    recorder_.InsertMedium(blank);
    recorder_.MakeReady();
    return 0;
  });
  ASSERT_TRUE(RunCopy(0, kCopyOptions));
  ExpectCompleted();
  EXPECT_EQ(1u, ui_.PromptCount());
  EXPECT_EQ(0x09u, profileSeen);
  ExpectSameSectors(source, 0);
  EXPECT_TRUE(recorder_.Finalized());
}

TEST_F(BurnCopyTest, OneDriveWithThePromptCancelled) {
  InsertDestination(MediumPreset::kCdR, DiscFill::kComplete);
  ui_.SetInsertDiscPrompt([](i32, void*) -> u32 { return 1; });
  ASSERT_TRUE(RunCopy(0, kCopyOptions));
  ExpectFailed();
  EXPECT_TRUE(LogHas(u"Process cancelled"));
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kWrite10));
  EXPECT_FALSE(page_->tempImagePath.IsEmpty());
}

TEST_F(BurnCopyTest, OneDriveWithARewritableDiscAsksBeforeErasing) {
  InsertDestination(MediumPreset::kCdR, DiscFill::kComplete);
  ui_.SetInsertDiscPrompt([&](i32, void*) -> u32 {
    recorder_.RemoveMedium();
    MediumOptions used;
    used.preset = MediumPreset::kCdRw;
    used.fill = DiscFill::kComplete;
    recorder_.InsertMedium(used);
    recorder_.MakeReady();
    return 0;
  });
  ui_.QueueAnswer(kAnswerNo);
  ASSERT_TRUE(RunCopy(0, kCopyOptions));
  ExpectFailed();
  ASSERT_EQ(1u, ui_.Questions().size());
  EXPECT_EQ(kTextEraseQuestion, ui_.Questions()[0].textId);
  EXPECT_EQ(0x10004u, ui_.Questions()[0].flags);
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kBlank));
  EXPECT_TRUE(LogHas(u"Process cancelled"));
}

TEST_F(BurnCopyTest, AQuestionThatCannotBeAskedCountsAsCancel) {
  InsertDestination(MediumPreset::kCdR, DiscFill::kComplete);
  ui_.SetUiAvailable(false);
  ASSERT_TRUE(RunCopy(0, kCopyOptions));
  ExpectFailed();
  EXPECT_EQ(0u, ui_.PromptCount());
  EXPECT_TRUE(LogHas(u"Process cancelled"));
}

TEST_F(BurnCopyTest, AudioVerifiedThroughAReadOffset) {
  InsertDestination(MediumPreset::kCdR);
  InsertSource(SourceDisc({Audio(120), Audio(90)}));
  std::vector<std::vector<u8>> source = Sectors(sourceRecorder_, 0, 210);
  // The destination drive reads audio 1176 bytes early.
  const u32 offset = 1176;
  CSimulatedRecorder* disc = &recorder_;
  hooked_.SetAfter([disc, offset](wchar16 letter, const u8* cdb, u8* data, u32 length, u8 status) {
    if (letter != kDestination || cdb[0] != mmc::kReadCd || status != 0 || ((cdb[1] >> 2) & 7) != 1) return;
    u32 lba = ReadBigEndian32(cdb + 2);
    std::vector<u8> sector;
    for (u32 x = 0; x < length; ++x) {
      i64 at = static_cast<i64>(lba) * 2352 + x - offset;
      u8 value = 0;
      if (at >= 0 && disc->ReadStoredSector(static_cast<u32>(at / 2352), &sector) && sector.size() == 2352)
        value = sector[static_cast<size_t>(at % 2352)];
      data[x] = value;
    }
  });
  ASSERT_TRUE(RunCopy(1, kCopyOptions | kOptionDirectCopy));
  ExpectCompleted();
  ExpectSameSectors(source, 0);
  EXPECT_TRUE(LogHas(u"Audio Synchronization offset: 1176")) << Narrow(Log());
  EXPECT_EQ(0u, page_->verifyResult.load());
  EXPECT_FALSE(LogHas(u"Cannot synch audio"));
}

TEST_F(BurnCopyTest, AudioThatCannotBeSynchronisedFailsTheVerify) {
  InsertDestination(MediumPreset::kCdR);
  InsertSource(SourceDisc({Audio(60)}));
  hooked_.SetAfter([](wchar16 letter, const u8* cdb, u8* data, u32 length, u8 status) {
    if (letter == kDestination && cdb[0] == mmc::kReadCd && status == 0)
      for (u32 x = 0; x < length; ++x) data[x] = static_cast<u8>(x * 7 + 3);
  });
  ASSERT_TRUE(RunCopy(1, kCopyOptions | kOptionDirectCopy));
  ExpectFailed();
  EXPECT_EQ(1u, page_->verifyResult.load());
  EXPECT_TRUE(LogHas(u"Cannot synch audio for verify: 0")) << Narrow(Log());
}

TEST_F(BurnCopyTest, SourceReadFailureFailsADirectCopy) {
  InsertDestination(MediumPreset::kCdR);
  InsertSource(SourceDisc({Data(300)}));
  u32 id = sourceRecorder_.AddFault(SenseFault(mmc::kRead10, 3, 0x11, 0, 0, 64));
  ASSERT_TRUE(RunCopy(1, kCopyOptions | kOptionDirectCopy));
  ExpectFailed();
  EXPECT_TRUE(LogHas(u"Error reading the source")) << Narrow(Log());
  EXPECT_EQ(6u, sourceRecorder_.FaultHits(id));  // six attempts, then the job fails
}

TEST_F(BurnCopyTest, SourceReadFailureFailsTheCopyToDiskAndDeletesTheFile) {
  InsertDestination(MediumPreset::kCdR);
  InsertSource(SourceDisc({Data(300)}));
  sourceRecorder_.AddFault(TransportFault(mmc::kRead10, 0, 128));
  ASSERT_TRUE(RunCopy(1, kCopyOptions));
  ExpectFailed();
  EXPECT_TRUE(LogHas(u"Error reading the source device")) << Narrow(Log());
  EXPECT_FALSE(page_->tempImagePath.IsEmpty());
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kWrite10));
}

TEST_F(BurnCopyTest, SourceDriveInUseFailsTheJob) {
  InsertDestination(MediumPreset::kCdR);
  InsertSource(SourceDisc({Data(30)}));
  CDrive* held = Manager().OpenDrive(1);
  ASSERT_NE(nullptr, held);
  ASSERT_TRUE(RunCopy(1, kCopyOptions | kOptionDirectCopy));
  EXPECT_TRUE(page_->HasFlags(kJobStopped));
  EXPECT_TRUE(LogHas(u"Cannot open the source device")) << Narrow(Log());
  EXPECT_FALSE(LogHas(u"Process completed"));
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kWrite10));
  held->Close();
}

TEST_F(BurnCopyTest, SourceWithoutMediumFailsTheJob) {
  InsertDestination(MediumPreset::kCdR);
  ASSERT_TRUE(RunCopy(1, kCopyOptions | kOptionDirectCopy));
  ExpectFailed();
  EXPECT_TRUE(LogHas(u"Cannot read the layout of the source disc")) << Narrow(Log());
}

TEST_F(BurnCopyTest, DvdSourceToDvdRDirect) {
  InsertDestination(MediumPreset::kDvdR);
  MediumOptions options;
  options.preset = MediumPreset::kDvdRom;
  options.fill = DiscFill::kComplete;
  options.sessions.push_back({Data(500)});
  InsertSource(options);
  std::vector<std::vector<u8>> source = Sectors(sourceRecorder_, 0, 500);
  ASSERT_TRUE(RunCopy(1, kCopyOptions | kOptionDirectCopy));
  ExpectCompleted();
  ExpectSameSectors(source, 0);
  EXPECT_TRUE(LogHas(u"Reserved Track: 500 Blocks"));
}

}  // namespace
