// Burns from a project source (the audio project's byte source) and copies
// of multi-session discs: the layout and cue sheets of the request drive the
// write, and the follow-up page is set aside and shown again.
#include "burn_job_fixture.h"

#include "drive/mmc/mmc_commands.h"

namespace {

// Audio sectors from memory, as the audio project's source delivers them.
class CMemoryAudioSource final : public IBurnSource {
 public:
  explicit CMemoryAudioSource(std::vector<u8> bytes) : bytes_(std::move(bytes)) {}
  HResult Seek(i64 move, u32 origin, u64* newPosition) override {
    ++seeks;
    if (origin != kSeekStart || move < 0) return kHrInvalidArg;
    position_ = static_cast<size_t>(move) < bytes_.size() ? static_cast<size_t>(move) : bytes_.size();
    if (newPosition) *newPosition = position_;
    return kHrOk;
  }
  HResult GetSize(u64* bytes) override {
    *bytes = bytes_.size();
    return kHrOk;
  }
  HResult Read(void* buffer, u64 bytes, u64* bytesRead) override {
    size_t n = bytes_.size() - position_;
    if (bytes < n) n = static_cast<size_t>(bytes);
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
    delivered += n;
    *bytesRead = n;
    return n ? kHrOk : kHrFalse;
  }
  u32 seeks = 0;
  u64 delivered = 0;

 private:
  std::vector<u8> bytes_;
  size_t position_ = 0;
};

class BurnProjectTest : public BurnJobTest {};

void AddExtent(TrackList* session, i32 start, u32 count, u8 content) {
  TrackExtent* e = session->AppendNew();
  e->start = start;
  e->sectorSize = 2352;
  e->sectorCount = count;
  e->content = content;
}

TEST_F(BurnProjectTest, AudioProjectDiscAtOnceWithVerifyAndFollowUpPage) {
  InsertDestination(MediumPreset::kCdR);
  const u32 first = 120, pause = 75, second = 90;
  std::vector<u8> pcm = ImageBytes(first + second, 11, 2352);
  CMemoryAudioSource source(pcm);
  int followUp = 0;

  BurnRequest request;
  request.destination = 0;
  request.projectSource = &source;
  request.projectPage = &followUp;
  request.titleId = 206;
  request.options = kOptionVerify | kOptionBufe | kOptionCloseDisc | kOptionAudioProject;
  TrackList* session = request.sessions.AppendNew();
  AddExtent(session, -150, 150, 0);
  AddExtent(session, 0, first, 1);
  AddExtent(session, first, pause, 0);
  AddExtent(session, first + pause, second, 1);
  CueSheet* sheet = request.cueSheets.AppendNew();
  sheet->count = 0;
  AppendCueSheetEntry(sheet, 0, 1, 0, 0, 0x01, -150);
  AppendCueSheetEntry(sheet, 0, 1, 1, 0, 0x00, -150);
  AppendCueSheetEntry(sheet, 0, 1, 1, 1, 0x00, 0);
  AppendCueSheetEntry(sheet, 0, 1, 2, 0, 0x00, first);
  AppendCueSheetEntry(sheet, 0, 1, 2, 1, 0x00, first + pause);
  AppendCueSheetLeadOut(sheet, 0, 1, 0x01, first + pause + second);

  ASSERT_TRUE(RunJob(request));
  ExpectCompleted();
  EXPECT_EQ(&followUp, ui_.PageAside());
  EXPECT_EQ(&followUp, ui_.PageShown());
  // Read once for writing; the verify pass reads the cache again.
  EXPECT_EQ(1u, source.seeks);
  EXPECT_EQ(pcm.size(), source.delivered);
  std::vector<u8> sector;
  for (u32 i = 0; i < first + second; ++i) {
    u32 lba = i < first ? i : i + pause;
    ASSERT_TRUE(recorder_.ReadStoredSector(lba, &sector)) << lba;
    ASSERT_EQ(2352u, sector.size());
    ASSERT_EQ(0, std::memcmp(sector.data(), pcm.data() + static_cast<size_t>(i) * 2352, 2352)) << lba;
  }
  for (u32 lba = first; lba < first + pause; ++lba) {
    ASSERT_TRUE(recorder_.ReadStoredSector(lba, &sector)) << lba;
    EXPECT_EQ(std::vector<u8>(2352, 0), sector);
  }
  EXPECT_TRUE(LogHas(u"Verifying Track 2"));
  EXPECT_FALSE(LogHas(u"Audio Synchronization offset"));
  EXPECT_EQ(u32(150 + first + pause + second), page_->request.SumTrackSectors(false));
}

TEST_F(BurnProjectTest, ProjectSourceShorterThanItsLayoutFails) {
  InsertDestination(MediumPreset::kCdR);
  CMemoryAudioSource source(ImageBytes(50, 2, 2352));
  BurnRequest request;
  request.destination = 0;
  request.projectSource = &source;
  request.options = kOptionBufe | kOptionCloseDisc;
  TrackList* session = request.sessions.AppendNew();
  AddExtent(session, -150, 150, 0);
  AddExtent(session, 0, 80, 1);
  CueSheet* sheet = request.cueSheets.AppendNew();
  sheet->count = 0;
  AppendCueSheetEntry(sheet, 0, 1, 0, 0, 0x01, -150);
  AppendCueSheetEntry(sheet, 0, 1, 1, 0, 0x00, -150);
  AppendCueSheetEntry(sheet, 0, 1, 1, 1, 0x00, 0);
  AppendCueSheetLeadOut(sheet, 0, 1, 0x01, 80);
  ASSERT_TRUE(RunJob(request));
  ExpectFailed();
  EXPECT_TRUE(LogHas(u"The source delivered less data than the layout"));
}

TEST_F(BurnProjectTest, TwoSessionCdCopy) {
  InsertDestination(MediumPreset::kCdR);
  MediumOptions options;
  options.preset = MediumPreset::kCdR;
  options.fill = DiscFill::kComplete;
  TrackContent a, b;
  a.blocks = 100;
  b.blocks = 60;
  options.sessions = {{a}, {b}};
  InsertSource(options);
  BurnRequest request;
  request.source = 1;
  request.destination = 0;
  request.method = kMethodDiscAtOnce;
  request.options = kOptionVerify | kOptionBufe | kOptionCloseDisc | kOptionDirectCopy;
  ASSERT_TRUE(RunJob(request));
  ExpectCompleted();
  EXPECT_EQ(2u, page_->request.cueSheets.GetCount());
  EXPECT_EQ(2u, recorder_.SessionCount());
  EXPECT_TRUE(LogHas(u"Sending Cue Sheet 1"));
  u32 start = 0, size = 0, next = 0;
  ASSERT_TRUE(sourceRecorder_.TrackInfo(2, &start, &size, &next));
  std::vector<u8> expected, got;
  for (u32 lba : {0u, 99u, start, start + 59}) {
    ASSERT_TRUE(sourceRecorder_.ReadStoredSector(lba, &expected));
    ASSERT_TRUE(recorder_.ReadStoredSector(lba, &got)) << lba;
    EXPECT_EQ(expected, got) << lba;
  }
}

}  // namespace
