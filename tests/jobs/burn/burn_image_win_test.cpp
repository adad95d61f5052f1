// Image burns end to end on the simulated recorder: every medium family the
// burn writes, disc-at-once and track-at-once, Mode 2 Form 1, verify, the
// erase of rewritable discs and the padding of restricted overwrite.
#include "burn_job_fixture.h"

#include "drive/mmc/mmc_commands.h"

namespace {

constexpr u8 kDefaultOptions = kOptionVerify | kOptionBufe | kOptionCloseDisc;

class BurnImageTest : public BurnJobTest {
 protected:
  // Burns `sectors` of fresh data to the destination and checks the job.
  std::vector<u8> BurnNew(u32 sectors, u32 method, u8 options, u32 seed = 1) {
    std::vector<u8> bytes = ImageBytes(sectors, seed);
    std::u16string path = WriteImage(u"image.iso", bytes);
    BurnRequest request;
    BuildImageRequest(&request, path, method, options);
    EXPECT_TRUE(RunJob(request));
    return bytes;
  }
  // Inserts `preset` (blank unless `fill` says otherwise), burns `sectors` of fresh data and checks that the
  // job completed and the medium holds the data (`mode2`: Form 1 sectors).
  std::vector<u8> BurnOnto(MediumPreset preset, u32 sectors, u32 method, u8 options, bool mode2 = false,
                           DiscFill fill = DiscFill::kBlank) {
    InsertDestination(preset, fill);
    std::vector<u8> bytes = BurnNew(sectors, method, options);
    ExpectCompleted();
    ExpectUserData(recorder_, 0, bytes, mode2);
    return bytes;
  }
  // The CLOSE TRACK/SESSION commands sent carried these close functions, in
  // this order; call it through ASSERT_NO_FATAL_FAILURE.
  void ExpectCloseFunctions(const std::vector<int>& functions) const {
    std::vector<TraceEntry> closes = Commands(mmc::kCloseTrackSession);
    ASSERT_EQ(functions.size(), closes.size());
    for (size_t i = 0; i < closes.size(); ++i) EXPECT_EQ(functions[i], closes[i].cdb[2] & 7) << "close " << i;
  }
  u32 Count(u8 opcode) const { return recorder_.CountCommands(opcode); }
  // Commands of one opcode in the order they came.
  std::vector<TraceEntry> Commands(u8 opcode) const {
    std::vector<TraceEntry> out;
    for (const TraceEntry& e : recorder_.Trace())
      if (e.Opcode() == opcode) out.push_back(e);
    return out;
  }
};

TEST_F(BurnImageTest, CdRDiscAtOnceWithVerify) {
  BurnOnto(MediumPreset::kCdR, 300, kMethodDiscAtOnce, kDefaultOptions);
  // The cue sheet went out as built, the pregap was written from -150.
  std::vector<u8> cue = recorder_.LastCueSheet();
  ASSERT_EQ(32u, cue.size());
  EXPECT_EQ(0xAA, cue[25]);
  std::vector<TraceEntry> writes = Commands(mmc::kWrite10);
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(static_cast<u32>(-150), ReadBigEndian32(writes[0].cdb + 2));
  // 150 pregap blocks and 300 data blocks, at most 16 a command.
  u32 blocks = 0;
  for (const TraceEntry& w : writes) {
    u32 n = ReadBigEndian16(w.cdb + 7);
    EXPECT_LE(n, 16u);
    blocks += n;
  }
  EXPECT_EQ(450u, blocks);
  EXPECT_EQ(0u, Count(mmc::kCloseTrackSession));
  EXPECT_GE(Count(mmc::kSynchronizeCache), 1u);
  EXPECT_TRUE(recorder_.Finalized());
  EXPECT_TRUE(LogHas(u"Sending Cue Sheet 0"));
  EXPECT_TRUE(LogHas(u"Cue Sheet\r\n"));
  EXPECT_TRUE(LogHas(u"Starting Verify process"));
  EXPECT_TRUE(LogHas(u"Verifying Track 1"));
  EXPECT_TRUE(LogHas(u"Verify process Ended"));
  EXPECT_GT(Count(mmc::kRead10), 0u);
  EXPECT_EQ(100.0, ui_.BarValue(kBarOverall));
  EXPECT_EQ(kStatusFinished, page_->status.load());
}

TEST_F(BurnImageTest, CdRTrackAtOnceClosesTrackAndSession) {
  BurnOnto(MediumPreset::kCdR, 35, kMethodTrackAtOnce, kDefaultOptions);
  std::vector<TraceEntry> writes = Commands(mmc::kWrite10);
  ASSERT_EQ(3u, writes.size());  // 16 + 16 + 3
  EXPECT_EQ(16u, ReadBigEndian16(writes[0].cdb + 7));
  EXPECT_EQ(16u, ReadBigEndian16(writes[1].cdb + 7));
  EXPECT_EQ(3u, ReadBigEndian16(writes[2].cdb + 7));
  ASSERT_NO_FATAL_FAILURE(ExpectCloseFunctions({1, 2}));
  EXPECT_EQ(1u, ReadBigEndian16(Commands(mmc::kCloseTrackSession)[0].cdb + 4));  // track 1
  EXPECT_TRUE(LogHas(u"Set Write Mode, DataMode: 8, CloseDisc: true, TrackAtOnce"));
  EXPECT_TRUE(LogHas(u"Closing Logical Track(1)..."));
  EXPECT_TRUE(LogHas(u"Closing Session..."));
  EXPECT_EQ(0u, Count(mmc::kSendCueSheet));
}

TEST_F(BurnImageTest, CdRMode2Form1DiscAtOncePacksSectors) {
  BurnOnto(MediumPreset::kCdR, 40, kMethodDiscAtOnce, kDefaultOptions | kOptionMode2Form1, true);
  std::vector<u8> cue = recorder_.LastCueSheet();
  ASSERT_EQ(32u, cue.size());
  EXPECT_EQ(0x24, cue[3]);
  EXPECT_EQ(0x20, cue[11]);
  std::vector<TraceEntry> writes = Commands(mmc::kWrite10);
  ASSERT_FALSE(writes.empty());
  EXPECT_EQ(16u * 2336u, writes[0].transferLength);
}

TEST_F(BurnImageTest, CdRMode2Form1TrackAtOnceUsesDataBlockType10) {
  InsertDestination(MediumPreset::kCdR);
  std::vector<u8> bytes = BurnNew(20, kMethodTrackAtOnce, kDefaultOptions | kOptionMode2Form1);
  ExpectCompleted();
  EXPECT_TRUE(LogHas(u"Set Write Mode, DataMode: 10, CloseDisc: true, TrackAtOnce"));
  std::vector<u8> sector;
  ASSERT_TRUE(recorder_.ReadStoredSector(0, &sector));
  EXPECT_EQ(0, std::memcmp(sector.data(), bytes.data(), 2048));
}

TEST_F(BurnImageTest, DvdRDiscAtOnceReservesAndClosesSession) {
  BurnOnto(MediumPreset::kDvdR, 100, kMethodDiscAtOnce, kDefaultOptions);
  std::vector<TraceEntry> reserves = Commands(mmc::kReserveTrack);
  ASSERT_EQ(1u, reserves.size());
  EXPECT_EQ(100u, ReadBigEndian32(reserves[0].cdb + 5));
  EXPECT_TRUE(LogHas(u"Reserved Track: 100 Blocks"));
  ASSERT_NO_FATAL_FAILURE(ExpectCloseFunctions({2}));
}

TEST_F(BurnImageTest, DvdRIncrementalClosesTrackThenSession) {
  BurnOnto(MediumPreset::kDvdR, 50, kMethodTrackAtOnce, kDefaultOptions);
  ASSERT_NO_FATAL_FAILURE(ExpectCloseFunctions({1, 2}));
  EXPECT_EQ(1u, Count(mmc::kReserveTrack));
}

TEST_F(BurnImageTest, DvdPlusRFinalises) {
  BurnOnto(MediumPreset::kDvdPlusR, 64, kMethodDiscAtOnce, kDefaultOptions);
  ASSERT_NO_FATAL_FAILURE(ExpectCloseFunctions({1, 6}));
  EXPECT_TRUE(recorder_.Finalized());
  EXPECT_EQ(0u, Count(mmc::kReserveTrack));
}

TEST_F(BurnImageTest, DvdPlusRWithoutCloseDiscClosesSessionOnly) {
  InsertDestination(MediumPreset::kDvdPlusR);
  BurnNew(64, kMethodDiscAtOnce, kOptionBufe);
  ExpectCompleted();
  ASSERT_NO_FATAL_FAILURE(ExpectCloseFunctions({1, 2}));
  EXPECT_FALSE(recorder_.Finalized());
}

TEST_F(BurnImageTest, DvdPlusRwIsWrittenAndSynchronised) {
  BurnOnto(MediumPreset::kDvdPlusRw, 80, kMethodDiscAtOnce, kDefaultOptions);
  EXPECT_EQ(0u, Count(mmc::kCloseTrackSession));
  EXPECT_EQ(0u, Count(mmc::kReserveTrack));
  EXPECT_GE(Count(mmc::kSynchronizeCache), 1u);
}

TEST_F(BurnImageTest, BdRFinalises) {
  BurnOnto(MediumPreset::kBdR, 48, kMethodDiscAtOnce, kDefaultOptions);
  ASSERT_NO_FATAL_FAILURE(ExpectCloseFunctions({6}));
  EXPECT_TRUE(recorder_.Finalized());
}

TEST_F(BurnImageTest, DvdRwRestrictedOverwriteIsPaddedToWholeEccBlocks) {
  MediumOptions options;
  options.preset = MediumPreset::kDvdRwRestricted;
  options.fill = DiscFill::kComplete;
  Insert(recorder_, kDestination, options);
  std::vector<u8> bytes = BurnNew(1001, kMethodDiscAtOnce, kDefaultOptions);
  ExpectCompleted();
  ExpectUserData(recorder_, 0, bytes);
  std::vector<u8> sector;
  for (u32 lba = 1001; lba < 1008; ++lba) {
    ASSERT_TRUE(recorder_.ReadStoredSector(lba, &sector)) << lba;
    EXPECT_EQ(std::vector<u8>(2048, 0), sector) << lba;
  }
  EXPECT_FALSE(recorder_.ReadStoredSector(1008, &sector) && sector != std::vector<u8>(2048, 0));
  for (const TraceEntry& w : Commands(mmc::kWrite10)) {
    EXPECT_EQ(0u, ReadBigEndian32(w.cdb + 2) % 16);
    EXPECT_EQ(16u, ReadBigEndian16(w.cdb + 7));
  }
  EXPECT_TRUE(LogHas(u"Quick Format"));
}

TEST_F(BurnImageTest, DvdRwSequentialIsQuickFormattedFirst) {
  BurnOnto(MediumPreset::kDvdRwSequential, 200, kMethodDiscAtOnce, kDefaultOptions, false, DiscFill::kComplete);
  EXPECT_TRUE(LogHas(u"Quick Format 15h DVD-RW")) << Narrow(Log());
  EXPECT_EQ(0x13, recorder_.CurrentProfile());
  EXPECT_EQ(1u, Count(mmc::kFormatUnit));
  EXPECT_TRUE(ui_.Questions().empty());
}

TEST_F(BurnImageTest, CdRwWithDataIsBlankedFirst) {
  BurnOnto(MediumPreset::kCdRw, 120, kMethodDiscAtOnce, kDefaultOptions, false, DiscFill::kComplete);
  EXPECT_TRUE(LogHas(u"Quick Erase CD-RW"));
  std::vector<TraceEntry> blanks = Commands(mmc::kBlank);
  ASSERT_EQ(1u, blanks.size());
  EXPECT_EQ(1, blanks[0].cdb[1] & 7);
}

TEST_F(BurnImageTest, BlankCdRwIsNotErased) {
  InsertDestination(MediumPreset::kCdRw);
  BurnNew(20, kMethodDiscAtOnce, kDefaultOptions);
  ExpectCompleted();
  EXPECT_EQ(0u, Count(mmc::kBlank));
}

TEST_F(BurnImageTest, TinyImageSmallerThanOneChunk) {
  // The cache (5 blocks) is smaller than a 32 KB chunk.
  BurnOnto(MediumPreset::kDvdR, 5, kMethodDiscAtOnce, kDefaultOptions);
  EXPECT_TRUE(LogHas(u"Memory cache:") || !page_->cacheLabel.IsEmpty());
  EXPECT_TRUE(LogHas(u"End Fill Cache"));
}

TEST_F(BurnImageTest, ImageFromTheFixtureScriptAndItsRawSectors) {
  // An ISO made by xorriso, and the same data in raw Mode 1 sectors: both
  // burn the same user data.
  CImageFile iso;
  ASSERT_EQ(0, iso.Open(u"fixtures/iso/joliet.iso", true)) << "fixture missing: fixtures/iso/joliet.iso";
  u64 size = 0;
  ASSERT_EQ(0, iso.GetSize(&size));
  std::vector<u8> bytes(static_cast<size_t>(size));
  u64 got = 0;
  ASSERT_EQ(0, iso.Read(bytes.data(), size, &got));
  ASSERT_EQ(size, got);
  iso.Close();
  for (const char16_t* name : {u"fixtures/iso/joliet.iso", u"fixtures/iso/joliet.mode1.bin"}) {
    SCOPED_TRACE(Narrow(name));
    recorder_.RemoveMedium();
    InsertDestination(MediumPreset::kCdR);
    recorder_.ClearTrace();
    BurnRequest request;
    BuildImageRequest(&request, name, kMethodDiscAtOnce, kDefaultOptions);
    ASSERT_TRUE(RunJob(request));
    ExpectCompleted();
    ExpectUserData(recorder_, 0, bytes);
  }
}

TEST_F(BurnImageTest, SpeedModesAndTheirLogLines) {
  InsertDestination(MediumPreset::kCdR);
  std::vector<u8> bytes = ImageBytes(20, 3);
  std::u16string path = WriteImage(u"speed.iso", bytes);
  {
    BurnRequest request;
    BuildImageRequest(&request, path, kMethodDiscAtOnce, kOptionBufe);
    request.writeSpeed = kWriteSpeedMaximum;
    ASSERT_TRUE(RunJob(request));
    ExpectCompleted();
    EXPECT_TRUE(LogHas(u"Max Write Speed: ")) << Narrow(Log());
  }
  recorder_.RemoveMedium();
  InsertDestination(MediumPreset::kCdR);
  recorder_.ClearTrace();
  {
    // A speed beyond the 16-bit command field is clamped to it.
    BurnRequest request;
    BuildImageRequest(&request, path, kMethodDiscAtOnce, kOptionBufe);
    request.writeSpeed = 100000;
    ASSERT_TRUE(RunJob(request));
    ExpectCompleted();
    EXPECT_TRUE(LogHas(u"Custom Write Speed: ")) << Narrow(Log());
    bool sent = false;
    for (const TraceEntry& e : recorder_.Trace()) {
      if (e.Opcode() == mmc::kSetStreaming && e.dataOut.size() >= 28) {
        EXPECT_EQ(0xFFFFu, ReadBigEndian32(e.dataOut.data() + 20));  // write size
        sent = true;
      }
    }
    EXPECT_TRUE(sent);
  }
  EXPECT_TRUE(LogHas(u"Set normal priority in current process"));
}

TEST_F(BurnImageTest, LogLinesOfAnOrdinaryBurnInOrder) {
  InsertDestination(MediumPreset::kCdR);
  BurnNew(10, kMethodDiscAtOnce, kDefaultOptions);
  ExpectCompleted();
  std::u16string log = Log();
  const char16_t* lines[] = {u"************************ Start Job ************************\r\n",
                             u"Destination Device: ",
                             u"Opening image file: burn_work\\image.iso",
                             u"Starting to fill the cache...",
                             u"End Fill Cache",
                             u"Automatic Write Speed - Source Read Speed: ",
                             u"Initializing Write process",
                             u"Sectors to Write: 160",
                             u"Set Caching Mode to Write",
                             u"Sending Cue Sheet 0",
                             u"Ending Write process",
                             u"Set Max Read Speed to: ",
                             u"Starting Verify process",
                             u"Verify process Ended",
                             u"Total Time: ",
                             u"************************ End Job ************************\r\n"};
  size_t at = 0;
  for (const char16_t* line : lines) {
    size_t found = log.find(line, at);
    ASSERT_NE(std::u16string::npos, found) << Narrow(line) << "\n" << Narrow(log);
    at = found;
  }
}

}  // namespace
