// The burn's memory cache end to end: a source that fits in the cache is
// read once and verified from the cache; a larger one goes round the cache
// (blocks running over its end included) and is read again for the verify.
// The source counts what is asked of it.
#include "burn_job_fixture.h"

#include <atomic>

#include "drive/mmc/cue_sheet.h"
#include "drive/mmc/mmc_commands.h"

namespace {

// A source of `size` bytes computed from their position, counting seeks and
// the bytes it delivered.
class CCountingSource final : public IBurnSource {
 public:
  explicit CCountingSource(u64 size) : size_(size) {}

  static u8 ByteAt(u64 position) {
    u32 x = static_cast<u32>(position) * 0x9E3779B1u;
    x ^= x >> 15;
    x *= 0x85EBCA77u;
    return static_cast<u8>(x >> 24);
  }

  HResult Seek(i64 move, u32 origin, u64* newPosition) override {
    seeks.fetch_add(1);
    if (origin != kSeekStart || move < 0) return kHrInvalidArg;
    position_ = static_cast<u64>(move) < size_ ? static_cast<u64>(move) : size_;
    if (newPosition) *newPosition = position_;
    return kHrOk;
  }
  HResult GetSize(u64* bytes) override {
    *bytes = size_;
    return kHrOk;
  }
  HResult Read(void* buffer, u64 bytes, u64* bytesRead) override {
    u64 n = size_ - position_ < bytes ? size_ - position_ : bytes;
    u8* out = static_cast<u8*>(buffer);
    for (u64 i = 0; i < n; ++i) out[i] = ByteAt(position_ + i);
    position_ += n;
    delivered.fetch_add(n);
    *bytesRead = n;
    return n ? kHrOk : kHrFalse;
  }

  std::atomic<u32> seeks{0};
  std::atomic<u64> delivered{0};

 private:
  u64 size_;
  u64 position_ = 0;
};

class BurnCacheTest : public BurnJobTest {
 protected:
  // One data track of 2048-byte blocks from the source.
  static void DataRequest(BurnRequest* request, IBurnSource* source, u32 sectors) {
    request->destination = 0;
    request->projectSource = source;
    request->method = kMethodDiscAtOnce;
    request->options = kOptionVerify | kOptionBufe | kOptionCloseDisc;
    TrackList* session = request->sessions.AppendNew();
    *session->AppendNew() = TrackExtent{0, 2048, sectors, 1, 0, 0, 0};
  }

  // The recorded sectors from lba 0 hold the source's bytes.
  void ExpectSourceOnDisc(u32 sectors, u32 blockSize) {
    std::vector<u8> sector, expected(blockSize);
    for (u32 lba = 0; lba < sectors; ++lba) {
      ASSERT_TRUE(recorder_.ReadStoredSector(lba, &sector)) << lba;
      ASSERT_EQ(blockSize, sector.size());
      for (u32 i = 0; i < blockSize; ++i) expected[i] = CCountingSource::ByteAt(static_cast<u64>(lba) * blockSize + i);
      ASSERT_EQ(expected, sector) << "sector " << lba;
    }
  }
};

TEST_F(BurnCacheTest, SourceSmallerThanTheCacheIsReadOnceAndVerifiedFromIt) {
  InsertDestination(MediumPreset::kDvdR);
  const u32 sectors = 500;
  CCountingSource source(static_cast<u64>(sectors) * 2048);
  BurnRequest request;
  DataRequest(&request, &source, sectors);
  ASSERT_TRUE(RunJob(request));
  ExpectCompleted();
  EXPECT_EQ(0u, page_->verifyResult.load());
  EXPECT_EQ(1u, source.seeks.load()) << "no second pass over the source";
  EXPECT_EQ(static_cast<u64>(sectors) * 2048, source.delivered.load());
  EXPECT_TRUE(LogHas(u"Starting Verify process"));
  EXPECT_TRUE(LogHas(u"Verify process Ended"));
  // Every written block was read back.
  u32 readBlocks = 0;
  for (const TraceEntry& e : recorder_.Trace())
    if (e.Opcode() == mmc::kRead10) readBlocks += ReadBigEndian16(e.cdb + 7);
  EXPECT_EQ(sectors, readBlocks);
  EXPECT_EQ(sectors, page_->sectorsDone.load());
  ExpectSourceOnDisc(sectors, 2048);
}

TEST_F(BurnCacheTest, VerifyFromTheCacheStillFindsADifference) {
  InsertDestination(MediumPreset::kDvdPlusR);
  const u32 sectors = 100;
  CCountingSource source(static_cast<u64>(sectors) * 2048);
  // The disc gives back one changed byte: block 40, byte 100 (the chunk at
  // 32 holds it at 8 x 2048 + 100).
  hooked_.SetAfter([](wchar16 letter, const u8* cdb, u8* data, u32 length, u8 status) {
    if (letter != kDestination || cdb[0] != mmc::kRead10 || status != 0) return;
    u32 lba = ReadBigEndian32(cdb + 2), count = ReadBigEndian16(cdb + 7);
    if (lba <= 40 && 40 < lba + count && (40 - lba) * 2048 + 100 < length) data[(40 - lba) * 2048 + 100] ^= 0x40;
  });
  BurnRequest request;
  DataRequest(&request, &source, sectors);
  ASSERT_TRUE(RunJob(request));
  ExpectFailed();
  EXPECT_EQ(1u, page_->verifyResult.load());
  EXPECT_TRUE(LogHas(u"Verify failed at sector: 32, Offset: 16484")) << Narrow(Log());
  EXPECT_EQ(1u, source.seeks.load());
  EXPECT_EQ(static_cast<u64>(sectors) * 2048, source.delivered.load());
}

// Audio larger than the 64 MiB cache: 16-block writes of 2352-byte blocks
// do not divide the cache, so some of them run over its end, and the verify
// has to read the source again.
TEST_F(BurnCacheTest, SourceLargerThanTheCacheGoesRoundItAndIsReadAgainForVerify) {
  InsertDestination(MediumPreset::kCdR);
  const u32 sectors = 29000;
  const u64 size = static_cast<u64>(sectors) * 2352;
  ASSERT_GT(size, kCacheMaxBytes);
  ASSERT_NE(0u, kCacheMaxBytes % (kBlocksPerWrite * 2352));
  CCountingSource source(size);
  BurnRequest request;
  request.destination = 0;
  request.projectSource = &source;
  request.method = kMethodDiscAtOnce;
  request.options = kOptionVerify | kOptionBufe | kOptionCloseDisc | kOptionAudioProject;
  TrackList* session = request.sessions.AppendNew();
  *session->AppendNew() = TrackExtent{-150, 2352, 150, 0, 0, 0, 0};
  *session->AppendNew() = TrackExtent{0, 2352, sectors, 1, 0, 0, 0};
  CueSheet* sheet = request.cueSheets.AppendNew();
  sheet->count = 0;
  AppendCueSheetEntry(sheet, 0, 1, 0, 0, 0x01, -150);
  AppendCueSheetEntry(sheet, 0, 1, 1, 0, 0x00, -150);
  AppendCueSheetEntry(sheet, 0, 1, 1, 1, 0x00, 0);
  AppendCueSheetLeadOut(sheet, 0, 1, 0x01, static_cast<i32>(sectors));
  ASSERT_TRUE(RunJob(request));
  ExpectCompleted();
  EXPECT_EQ(0u, page_->verifyResult.load());
  EXPECT_EQ(2u, source.seeks.load());
  EXPECT_EQ(2 * size, source.delivered.load());
  EXPECT_TRUE(LogHas(u"Verify process Ended"));
  EXPECT_FALSE(LogHas(u"Audio Synchronization offset"));
  EXPECT_FALSE(LogHas(u"Verify errors at audio tracks"));
  ExpectSourceOnDisc(sectors, 2352);
}

}  // namespace
