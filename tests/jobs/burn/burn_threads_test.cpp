// The write and verify threads' bodies run on a test thread over a cache the
// test loads (portable, so that they also run under the sanitizers; the jobs
// themselves are scenario rows): a cache that runs dry, a mismatch, and a
// cache smaller than the data fed by a producer while they run.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

#include "drive/drive.h"
#include "jobs/burn/burn_job.h"
#include "jobs/burn/source_layout.h"
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
  BurnThreadsTest() : installedClock_(clock_), installedIo_(io_) { io_.AddOpticalDrive(u'E', &recorder_); }
  ~BurnThreadsTest() override { drive_.Close(); }

  // A blank medium and a layout of one track of `data` (with the pregap and
  // cue sheet of CD disc-at-once), the cache loaded with `loaded` bytes of it.
  void Prepare(MediumPreset preset, u32 method, bool mode2, const std::vector<u8>& data, size_t loaded, u64 capacity) {
    page_.reset(new CBurnPage(&ui_));
    drive_.Close();
    MediumOptions options;
    options.preset = preset;
    recorder_.InsertMedium(options);
    recorder_.MakeReady();
    ASSERT_TRUE(drive_.OpenDevice(u"\\\\.\\E:"));
    drive_.WaitReady();
    ASSERT_TRUE(drive_.ProbeMedia());
    page_->destination = &drive_;
    u32 sectors = static_cast<u32>(data.size() / 2048);
    page_->request.method = method;
    page_->request.options = kOptionBufe | kOptionCloseDisc | (mode2 ? kOptionMode2Form1 : 0);
    TrackList* session = page_->request.sessions.AppendNew();
    if ((drive_.mediaFlags & kMediaCd) && method == kMethodDiscAtOnce) {
      BuildSingleTrackCueSheet(page_->request.cueSheets.AppendNew(), sectors, mode2);
      *session->AppendNew() = TrackExtent{kCdPregapStart, 2048, kCdPregapBlocks, 0, static_cast<u8>(mode2), 0, 0};
    }
    *session->AppendNew() = TrackExtent{0, 2048, sectors, 1, static_cast<u8>(mode2), 0, 0};
    page_->totalSectors.store(page_->request.SumTrackSectors(false));
    ASSERT_TRUE(page_->cache.Allocate(capacity, false));
    ASSERT_TRUE(page_->cache.Write(data.data(), static_cast<u32>(loaded)));
    page_->sourceDone.store(true);
  }

  std::string Log() const {
    CWideString text;
    page_->GetLogText(&text);
    std::string out;
    for (i32 i = 0; i < text.GetLength(); ++i) out.push_back(static_cast<char>(text.c_str()[i]));
    return out;
  }

  CVirtualClock clock_;
  CInstalledClock installedClock_;
  CSimulatedRecorder recorder_;
  CSimulatedDeviceIo io_;
  CInstalledDeviceIo installedIo_;
  CHeadlessJobUi ui_;
  CDrive drive_;
  std::unique_ptr<CBurnPage> page_;
};

TEST_F(BurnThreadsTest, ACacheThatRunsDryEndsTheWriteAndAMismatchTheVerify) {
  std::vector<u8> data = Data(100, 4);
  ASSERT_NO_FATAL_FAILURE(Prepare(MediumPreset::kDvdR, kMethodDiscAtOnce, false, data, 40 * 2048, data.size()));
  EXPECT_EQ(1u, page_->WriteThread());
  EXPECT_NE(std::string::npos, Log().find("The source delivered less data than the layout"));
  EXPECT_EQ(2u, recorder_.CountCommands(0x2A));  // 16 + 16; 8 blocks cannot make the third
  data = Data(50, 6);
  ASSERT_NO_FATAL_FAILURE(Prepare(MediumPreset::kDvdPlusR, kMethodDiscAtOnce, false, data, data.size(), data.size()));
  ASSERT_EQ(0u, page_->WriteThread()) << Log();
  data[20 * 2048 + 77] ^= 1;
  page_->cache.Reset();
  ASSERT_TRUE(page_->cache.Write(data.data(), static_cast<u32>(data.size())));
  EXPECT_EQ(1u, page_->VerifyThread());
  EXPECT_NE(std::string::npos, Log().find("Verify failed at sector: 16, Offset: 8269")) << Log();
}

// A cache smaller than the data, fed by a producer thread while the write
// and then the verify thread run: the 16-block takes land at every place in
// the cache, some running over its end, and the producer writes in place
// where a chunk fits before the end.
TEST_F(BurnThreadsTest, WriteAndVerifyWhileTheCacheGoesRound) {
  std::vector<u8> data = Data(150, 9);
  ASSERT_NO_FATAL_FAILURE(Prepare(MediumPreset::kDvdPlusR, kMethodDiscAtOnce, false, data, 0, 70000));
  struct Feed {
    CBurnPage* page;
    const std::vector<u8>* data;
    std::atomic<bool> ok{false};
  } feed{page_.get(), &data};
  auto producer = [](void* p) -> u32 {
    Feed* f = static_cast<Feed*>(p);
    CBurnPage& page = *f->page;
    u32 size = static_cast<u32>(f->data->size());
    for (u32 at = 0, piece = 0; at < size; ++piece) {
      u32 want = size - at < kCacheChunkBytes ? size - at : kCacheChunkBytes;
      if (page.WaitForCacheSpace(want) != CacheWait::kOk) return 1;
      u32 span = 0;
      u8* target = page.cache.GetWriteSpan(&span);
      if (piece % 2 == 0 && span >= want) {
        std::memcpy(target, f->data->data() + at, want);
        if (!page.cache.CommitWrite(want)) return 1;
      } else if (page.PutIntoCache(f->data->data() + at, want) != CacheWait::kOk) {
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
    page_->cache.Reset();
    page_->sourceDone.store(false);
    page_->consumerDone.store(false);
    feed.ok.store(false);
    CThread thread;
    ASSERT_TRUE(thread.Start(producer, &feed, 64 * 1024));
    u32 result = pass == 0 ? page_->WriteThread() : page_->VerifyThread();
    page_->consumerDone.store(true);  // the producer's exit should it still wait
    ASSERT_TRUE(thread.Join(60000));
    EXPECT_EQ(0u, result) << Log();
    EXPECT_TRUE(feed.ok.load());
    EXPECT_EQ(data.size(), page_->cache.GetTotalRead());
  }
}

TEST_F(BurnThreadsTest, RefreshPublishesCacheFillAndProgress) {
  std::vector<u8> data = Data(1, 1);
  ASSERT_NO_FATAL_FAILURE(Prepare(MediumPreset::kDvdR, kMethodDiscAtOnce, false, data, 100, 1000));
  page_->sourceDone.store(false);
  page_->status.store(kStatusBurning);
  page_->driveBufferPercent.store(77);
  page_->RefreshProgress();
  EXPECT_DOUBLE_EQ(10.0, ui_.BarValue(kBarMemoryCache));
  EXPECT_EQ(kCacheColourRed, ui_.BarColour(kBarMemoryCache));
  EXPECT_DOUBLE_EQ(77.0, ui_.BarValue(kBarDeviceCache));
  EXPECT_FALSE(ui_.RedrawSuspended());
  page_->sourceDone.store(true);
  page_->RefreshProgress();
  EXPECT_EQ(kCacheColourGreen, ui_.BarColour(kBarMemoryCache));
}

}  // namespace
