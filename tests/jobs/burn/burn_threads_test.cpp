// The write and verify threads' bodies run directly on a test thread over a
// cache loaded by the test (portable, so that they also run under the
// native sanitizers): every medium class, a cache that runs dry, and the
// verify of what was written.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "drive/drive.h"
#include "drive/mmc/mmc_commands.h"
#include "jobs/burn/burn_job.h"
#include "jobs/image/image_cue_sheet.h"
#include "jobs/image/image_file.h"
#include "runtime/byte_order.h"
#include "runtime/heap.h"
#include "runtime/threads.h"
#include "support/headless_job_ui.h"
#include "support/simulated_device_io.h"
#include "support/simulated_recorder.h"
#include "support/virtual_clock.h"

namespace {

std::vector<u8> Data(u32 sectors, u32 seed) {
  std::vector<u8> out(static_cast<size_t>(sectors) * 2048);
  u32 x = seed;
  for (u8& b : out) {
    x = x * 1664525u + 1013904223u;
    b = static_cast<u8>(x >> 23);
  }
  return out;
}

class BurnThreadsTest : public ::testing::Test {
 protected:
  BurnThreadsTest() : installedClock_(clock_), installedIo_(io_), page_(&ui_) {
    io_.AddOpticalDrive(u'E', &recorder_);
  }
  ~BurnThreadsTest() override { drive_.Close(); }

  void Insert(MediumPreset preset) {
    MediumOptions options;
    options.preset = preset;
    recorder_.InsertMedium(options);
    recorder_.MakeReady();
    ASSERT_TRUE(drive_.OpenDevice(u"\\\\.\\E:"));
    for (int i = 0; i < 4; ++i) {
      drive_.TestUnitReady();
      if (drive_.LastCommandSucceeded()) break;
    }
    drive_.Close();
    ASSERT_TRUE(drive_.Open(u"\\\\.\\E:"));
    page_.destination = &drive_;
  }

  // One image track (and, for disc-at-once on CD, its cue sheet and the
  // pregap the main thread puts before it).
  void Layout(const std::vector<u8>& data, u32 method, bool mode2) {
    u32 sectors = static_cast<u32>(data.size() / 2048);
    page_.request.method = method;
    page_.request.options = kOptionBufe | kOptionCloseDisc | (mode2 ? kOptionMode2Form1 : 0);
    TrackList* session = page_.request.sessions.AppendNew();
    if ((drive_.mediaFlags & kMediaCd) && method == kMethodDiscAtOnce) {
      CImageFile image;
      ASSERT_EQ(0, image.Attach(rt::New<CMemoryImageSource>(data.data(), data.size()), true, false));
      CueSheet* sheet = page_.request.cueSheets.AppendNew();
      ASSERT_TRUE(BuildImageCueSheet(image, sheet, mode2));
      TrackExtent* pregap = session->AppendNew();
      *pregap = TrackExtent{kCdPregapStart, 2048, kCdPregapBlocks, 0, static_cast<u8>(mode2), 0, 0};
    }
    TrackExtent* track = session->AppendNew();
    *track = TrackExtent{0, 2048, sectors, 1, static_cast<u8>(mode2), 0, 0};
    page_.totalSectors.store(page_.request.SumTrackSectors(false));
  }

  // Loads the cache with the bytes; the producer is then done.
  void Load(const std::vector<u8>& data, u64 capacity = 0) {
    ASSERT_TRUE(page_.cache.Allocate(capacity ? capacity : data.size(), false));
    size_t fit = data.size() < page_.cache.GetCapacity() ? data.size() : static_cast<size_t>(page_.cache.GetCapacity());
    ASSERT_TRUE(page_.cache.Write(data.data(), static_cast<u32>(fit)));
    page_.sourceDone.store(true);
  }

  void ExpectOnDisc(const std::vector<u8>& data, u32 userOffset = 0) {
    std::vector<u8> sector;
    for (u32 i = 0; i < data.size() / 2048; ++i) {
      ASSERT_TRUE(recorder_.ReadStoredSector(i, &sector)) << i;
      ASSERT_GE(sector.size(), userOffset + 2048u);
      ASSERT_EQ(0, std::memcmp(sector.data() + userOffset, data.data() + i * 2048, 2048)) << i;
    }
  }

  std::u16string Log() const {
    CWideString text;
    page_.GetLogText(&text);
    return std::u16string(text.c_str(), static_cast<size_t>(text.GetLength()));
  }
  bool LogHas(const char16_t* text) const { return Log().find(text) != std::u16string::npos; }

  CVirtualClock clock_;
  CInstalledClock installedClock_;
  CSimulatedRecorder recorder_;
  CSimulatedDeviceIo io_;
  CInstalledDeviceIo installedIo_;
  CHeadlessJobUi ui_;
  CDrive drive_;
  CBurnPage page_;
};

TEST_F(BurnThreadsTest, WriteAndVerifyOnEveryMediumClass) {
  struct Case {
    MediumPreset preset;
    u32 method;
    bool mode2;
  };
  const Case cases[] = {{MediumPreset::kCdR, kMethodDiscAtOnce, false}, {MediumPreset::kCdR, kMethodTrackAtOnce, false},
                        {MediumPreset::kCdR, kMethodDiscAtOnce, true},  {MediumPreset::kDvdR, kMethodDiscAtOnce, false},
                        {MediumPreset::kDvdPlusR, kMethodDiscAtOnce, false}, {MediumPreset::kDvdPlusRw, kMethodDiscAtOnce, false},
                        {MediumPreset::kBdR, kMethodDiscAtOnce, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(GetMediumPresetInfo(c.preset).name);
    recorder_.RemoveMedium();
    drive_.Close();
    page_.request.sessions.Destroy();
    page_.request.cueSheets.Destroy();
    page_.sectorsDone.store(0);
    ASSERT_NO_FATAL_FAILURE(Insert(c.preset));
    std::vector<u8> data = Data(37, static_cast<u32>(c.preset));
    Layout(data, c.method, c.mode2);
    Load(data);
    EXPECT_EQ(0u, page_.WriteThread()) << std::string(Log().begin(), Log().end());
    ExpectOnDisc(data, c.mode2 && c.method == kMethodDiscAtOnce && c.preset == MediumPreset::kCdR ? 8 : 0);
    EXPECT_EQ(page_.totalSectors.load(), page_.sectorsDone.load());
    EXPECT_TRUE(recorder_.Violations().empty());
    // Read back from a fresh cache load.
    page_.cache.Reset();
    page_.sourceDone.store(false);
    ASSERT_TRUE(page_.cache.Write(data.data(), static_cast<u32>(data.size())));
    page_.sourceDone.store(true);
    EXPECT_EQ(0u, page_.VerifyThread());
    EXPECT_FALSE(page_.IsStopped());
    EXPECT_EQ(37u, page_.sectorsDone.load());
  }
}

TEST_F(BurnThreadsTest, ACacheThatRunsDryEndsTheWriteInsteadOfWaiting) {
  ASSERT_NO_FATAL_FAILURE(Insert(MediumPreset::kDvdR));
  std::vector<u8> data = Data(100, 4);
  Layout(data, kMethodDiscAtOnce, false);
  std::vector<u8> head(data.begin(), data.begin() + 40 * 2048);
  Load(head, data.size());
  EXPECT_EQ(1u, page_.WriteThread());
  EXPECT_TRUE(page_.IsStopped());
  EXPECT_TRUE(LogHas(u"The source delivered less data than the layout"));
  // 40 blocks were there: 16 + 16 written, then 8 left could not make 16.
  EXPECT_EQ(2u, recorder_.CountCommands(mmc::kWrite10));
}

TEST_F(BurnThreadsTest, AStoppedJobEndsTheWaitForData) {
  ASSERT_NO_FATAL_FAILURE(Insert(MediumPreset::kDvdR));
  std::vector<u8> data = Data(64, 5);
  Layout(data, kMethodDiscAtOnce, false);
  ASSERT_TRUE(page_.cache.Allocate(data.size(), false));
  page_.SetFlags(kJobStopped);  // the producer has nothing to give and stopped
  EXPECT_EQ(1u, page_.WriteThread());
  EXPECT_EQ(0u, recorder_.CountCommands(mmc::kWrite10));
}

TEST_F(BurnThreadsTest, VerifyMismatchAndShortCache) {
  ASSERT_NO_FATAL_FAILURE(Insert(MediumPreset::kDvdR));
  std::vector<u8> data = Data(50, 6);
  Layout(data, kMethodDiscAtOnce, false);
  Load(data);
  ASSERT_EQ(0u, page_.WriteThread());
  std::vector<u8> changed = data;
  changed[20 * 2048 + 77] ^= 1;
  page_.cache.Reset();
  ASSERT_TRUE(page_.cache.Write(changed.data(), static_cast<u32>(changed.size())));
  EXPECT_EQ(1u, page_.VerifyThread());
  EXPECT_TRUE(LogHas(u"Verify failed at sector: 16, Offset: 8269"));

  page_.ClearFlags(kJobStopped);
  page_.cache.Reset();
  ASSERT_TRUE(page_.cache.Write(data.data(), 10 * 2048));
  EXPECT_EQ(1u, page_.VerifyThread());
  EXPECT_TRUE(page_.IsStopped());
}

TEST_F(BurnThreadsTest, PadCacheAndCacheSmallerThanAChunk) {
  ASSERT_NO_FATAL_FAILURE(Insert(MediumPreset::kDvdR));
  ASSERT_TRUE(page_.cache.Allocate(3000, false));
  page_.consumerDone.store(false);
  std::vector<u8> big(2500, 0x11);
  EXPECT_EQ(CacheWait::kOk, page_.PutIntoCache(big.data(), 2500));
  // Full: a consumer that has quit ends the producer's wait.
  page_.consumerDone.store(true);
  EXPECT_EQ(CacheWait::kPeerQuit, page_.PutIntoCache(big.data(), 2500));
  std::vector<u8> out(2500);
  EXPECT_EQ(CacheWait::kOk, page_.TakeFromCache(out.data(), 2500));
  EXPECT_EQ(big, out);
  page_.consumerDone.store(false);
  page_.PadCache(2900);
  EXPECT_EQ(2900u, page_.cache.GetDataSize());
  EXPECT_EQ(CacheWait::kOk, page_.DropFromCache(2900));
  // More than the whole cache can never come.
  EXPECT_EQ(CacheWait::kSourceShort, page_.TakeFromCache(out.data(), 2500 + 1000));
}

TEST_F(BurnThreadsTest, RefreshPublishesCacheFillAndProgress) {
  ASSERT_NO_FATAL_FAILURE(Insert(MediumPreset::kDvdR));
  ASSERT_TRUE(page_.cache.Allocate(1000, false));
  std::vector<u8> some(100, 1);
  ASSERT_TRUE(page_.cache.Write(some.data(), 100));
  page_.status.store(kStatusBurning);
  page_.totalSectors.store(200);
  page_.sectorsDone.store(50);
  page_.driveBufferPercent.store(77);
  page_.RefreshProgress();
  EXPECT_DOUBLE_EQ(10.0, ui_.BarValue(kBarMemoryCache));
  EXPECT_EQ(kCacheColourRed, ui_.BarColour(kBarMemoryCache));
  EXPECT_DOUBLE_EQ(77.0, ui_.BarValue(kBarDeviceCache));
  EXPECT_FALSE(ui_.RedrawSuspended());
  page_.sourceDone.store(true);
  page_.RefreshProgress();
  EXPECT_EQ(kCacheColourGreen, ui_.BarColour(kBarMemoryCache));
}

// A cache smaller than the data, fed by a producer thread while the write
// and then the verify thread run: the 16-block takes land at every place
// in the cache, some running over its end (then joined in a copy), and the
// producer fills it in place where a chunk fits before the end.
TEST_F(BurnThreadsTest, WriteAndVerifyWhileTheCacheGoesRound) {
  ASSERT_NO_FATAL_FAILURE(Insert(MediumPreset::kDvdPlusR));
  std::vector<u8> data = Data(150, 9);
  Layout(data, kMethodDiscAtOnce, false);
  // Not a multiple of 32768, and room for a take and a chunk together (else
  // the two all-or-nothing sides could wait on each other).
  ASSERT_TRUE(page_.cache.Allocate(70000, false));

  struct Feed {
    CBurnPage* page;
    const std::vector<u8>* data;
    std::atomic<bool> ok{false};
  } feed{&page_, &data};
  auto producer = [](void* p) -> u32 {
    Feed* f = static_cast<Feed*>(p);
    CBurnPage& page = *f->page;
    const u8* bytes = f->data->data();
    u32 size = static_cast<u32>(f->data->size());
    // Alternately in place and by copy, as the main thread does.
    for (u32 at = 0, piece = 0; at < size; ++piece) {
      u32 want = size - at < kCacheChunkBytes ? size - at : kCacheChunkBytes;
      if (page.WaitForCacheSpace(want) != CacheWait::kOk) return 1;
      u32 span = 0;
      u8* target = page.cache.GetWriteSpan(&span);
      if (piece % 2 == 0 && span >= want) {
        std::memcpy(target, bytes + at, want);
        if (!page.cache.CommitWrite(want)) return 1;
      } else if (page.PutIntoCache(bytes + at, want) != CacheWait::kOk) {
        return 1;
      }
      at += want;
    }
    page.sourceDone.store(true);
    f->ok.store(true);
    return 0;
  };

  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass == 0 ? "write" : "verify");
    page_.cache.Reset();
    page_.sourceDone.store(false);
    page_.consumerDone.store(false);
    feed.ok.store(false);
    CThread thread;
    ASSERT_TRUE(thread.Start(producer, &feed, 64 * 1024));
    u32 result = pass == 0 ? page_.WriteThread() : page_.VerifyThread();
    page_.consumerDone.store(true);  // the producer's exit should it still wait
    ASSERT_TRUE(thread.Join(60000));
    EXPECT_EQ(0u, result) << std::string(Log().begin(), Log().end());
    EXPECT_TRUE(feed.ok.load());
    EXPECT_EQ(0u, page_.cache.GetDataSize());
    EXPECT_EQ(data.size(), page_.cache.GetTotalRead());
  }
  ExpectOnDisc(data);
  EXPECT_TRUE(LogHas(u"Verify process Ended"));
  EXPECT_FALSE(page_.IsStopped());
}

}  // namespace
