// The burn's verify thread: reads the written disc back track by track and
// compares it with the cache. Data must match exactly; audio may be shifted
// by the reading drive's offset, found once and then kept in step, and later
// audio differences are warnings.
#include <cstring>

#include "jobs/burn/burn_job.h"
#include "runtime/clock.h"
#include "runtime/heap.h"


bool CBurnPage::ReadBack(u32 lba, u32 count, u8* buffer, u32 blockSize) {
  CDrive* drive = destination;
  switch (blockSize) {
    case 2048: drive->Read(lba, static_cast<u16>(count), buffer, false); break;
    case 2324: drive->ReadCd(5, lba, count, buffer, false); break;
    case 2336: drive->ReadCd(3, lba, count, buffer, false); break;
    case 2352: drive->ReadCd(1, lba, count, buffer, false); break;
    default: return false;
  }
  return drive->scsiStatus == 0 && drive->errorCode == 0;
}

namespace {

struct TwoBuffers {
  u8* expected = nullptr;
  u8* read = nullptr;
  ~TwoBuffers() {
    rt::free(expected);
    rt::free(read);
  }
};

u32 RateKbs(u64 blocks, u32 blockSize, double seconds) {
  if (!(seconds > 0)) return 0;
  double rate = static_cast<double>(blocks) * blockSize / seconds / 1000.0;
  return rate >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<u32>(rate);
}

}  // namespace

u32 CBurnPage::VerifyThread() {
  if (!BeginVerify()) return 1;
  TwoBuffers buffers;
  buffers.expected = static_cast<u8*>(rt::malloc(kTransferBufferBytes));
  buffers.read = static_cast<u8*>(rt::malloc(kTransferBufferBytes));
  if (!buffers.expected || !buffers.read) {
    FailJob(u"Out of memory");
    return 1;
  }
  const WritePlan plan = DestinationPlan();
  u32 trackNumber = 1;
  for (const TrackList& tracks : request.sessions) {
    currentRateKbs.store(0);
    for (const TrackExtent& entry : tracks) {
      if (!entry.content || !IsWrittenOn(entry, plan)) continue;
      if (!VerifyTrack(entry, trackNumber++, buffers.expected, buffers.read)) return 1;
    }
  }
  LogLine(u"Verify process Ended");
  if (warnings_ > 0) {
    CWideString text;
    text.AppendUInt(warnings_);
    text.Append(u" Verify errors at audio tracks");
    LogLine(text);
  }
  return 0;
}

bool CBurnPage::BeginVerify() {
  CDrive* drive = destination;
  // Of its probe's answer the verify uses only whether the disc is a CD,
  // which decides the CD-only entries alone: gaps, never read back. A failed
  // probe changes nothing here; a disc that cannot be read fails at the reads.
  drive->Reopen();
  u32 speed = 0;
  drive->SetMaxReadSpeed(&speed);
  drive->WaitReady();
  CWideString text(u"Set Max Read Speed to: ");
  text.AppendUInt(speed);
  text.Append(u" KB/s");
  LogLine(text);
  LogLine(u"Starting Verify process");
  sectorsDone.store(0);
  synchronised_ = false;
  warnings_ = 0;
  carry_ = 0;
  return true;
}

bool CBurnPage::ReadChunk(i32 lba, u32 n, u8* read, u32 blockSize) {
  CDrive* drive = destination;
  CRetryRule retry(false, drive->readyWaitMs);
  for (;;) {
    if (ReadBack(static_cast<u32>(lba), n, read, blockSize)) return true;
    u32 logCount = 0;
    RetryVerdict verdict = retry.OnFailure(*drive, lba, &logCount);
    if (verdict == RetryVerdict::kGiveUp) {
      ReportScsiError(*drive);
      CWideString text(u"Offset of Read Error: ");
      text.AppendInt(lba);
      LogLine(text);
      currentRateKbs.store(0);
      return false;
    }
    if (IsStopped()) return false;
    if (logCount) {
      CWideString text(u"Read error, retry ");
      text.AppendUInt(logCount);
      LogLine(text);
    }
    SleepFor(1);
  }
}

bool CBurnPage::VerifyTrack(const TrackExtent& entry, u32 trackNumber, u8* expectedCopy, u8* read) {
  CDrive* drive = destination;
  u32 blockSize = entry.sectorSize;
  if (blockSize == 0 || blockSize > kLargestBlockBytes) {
    FailJob(u"Unsupported block size in the layout");
    return false;
  }
  auto cacheFailed = [this](CacheWait wait) {
    if (wait == CacheWait::kSourceShort) FailJob(u"The source delivered less data than the layout");
    return false;
  };
  i32 lba = entry.start;
  i32 end = entry.start + static_cast<i32>(entry.sectorCount);
  u32 remaining = entry.sectorCount;
  nextLba.store(static_cast<u32>(lba));
  bool audio = blockSize == 2352;
  if (!audio) {
    // Audio bytes read ahead of a data track are not its data.
    if (carry_ > 0) {
      CacheWait wait = DropFromCache(carry_);
      if (wait != CacheWait::kOk) return cacheFailed(wait);
    }
    carry_ = 0;
    synchronised_ = false;
  }
  CWideString text(u"Verifying Track ");
  text.AppendUInt(trackNumber);
  LogLine(text);
  drive->Seek(static_cast<u32>(lba));
  drive->WaitReady();

  bool firstChunk = true;
  u64 measureStart = 0;
  u32 measuredSectors = sectorsDone.load();
  while (lba != end) {
    if (IsStopped()) return false;
    u32 n = remaining < kBlocksPerWrite ? remaining : kBlocksPerWrite;
    u32 bytes = n * blockSize;
    // Compared in place in the cache; the bytes leave it after the comparison.
    CacheTake take;
    CacheWait wait = TakeInPlace(bytes, expectedCopy, &take);
    const u8* expected = take.data;
    if (wait != CacheWait::kOk) return cacheFailed(wait);
    if (!ReadChunk(lba, n, read, blockSize)) return false;

    u32 step = n;
    if (std::memcmp(expected, read, bytes) != 0) {
      if (!audio) {
        u32 k = 0;
        while (k < bytes && expected[k] == read[k]) ++k;
        CWideString line(u"Verify failed at sector: ");
        line.AppendInt(lba);
        line.Append(u", Offset: ");
        line.AppendUInt(k);
        LogLine(line);
        currentRateKbs.store(0);
        SetFlags(kJobStopped);
        return false;
      }
      bool lastChunk = !(static_cast<i64>(lba) + kBlocksPerWrite < end);
      if (synchronised_) {
        if (!lastChunk) {
          if (warnings_ < 10) {
            CWideString line(u"Verify warning at audio sector: ");
            line.AppendInt(lba);
            LogLine(line);
            SetFlags(kJobVerifyWarnings);
          }
          ++warnings_;
        }
      } else {
        i32 off = FindAudioSyncOffset(expected, read, bytes);
        if (off == -1) {
          CWideString line(u"Cannot synch audio for verify: ");
          line.AppendInt(lba);
          LogLine(line);
          SetFlags(kJobStopped);
          currentRateKbs.store(0);
          return false;
        }
        if (off > 0) {
          u32 offset = static_cast<u32>(off);
          u32 k = offset / blockSize;
          // The step stops at the track's end; the cache then moves only
          // as far as the track's own data reaches.
          u32 full = n + k + 1;
          step = full < remaining ? full : remaining;
          u64 ahead = static_cast<u64>(step - n) * blockSize;
          if (ahead >= offset) {
            synchronised_ = true;
            carry_ = offset;
            FinishTake(&take);
            CacheWait dropped = DropFromCache(static_cast<u32>(ahead - offset));
            if (dropped != CacheWait::kOk) return cacheFailed(dropped);
            CWideString line(u"Audio Synchronization offset: ");
            line.AppendInt(off);
            LogLine(line);
          } else {
            // Too close to the end to move the cache back into step:
            // accept this chunk and synchronise on the next track.
            step = n;
          }
        }
      }
    }

    FinishTake(&take);
    remaining -= step;
    status.store(kStatusVerifying);
    u64 now = 0;
    ReadPerformanceCounter(&now);
    if (firstChunk) {
      measureStart = now;
      measuredSectors = sectorsDone.load();
      firstChunk = false;
    } else {
      double seconds = ElapsedSeconds(measureStart, now);
      if (seconds >= 1.0) {
        u32 done = sectorsDone.load();
        currentRateKbs.store(RateKbs(done - measuredSectors, blockSize, seconds));
        measuredSectors = done;
        measureStart = now;
      }
    }
    lba += static_cast<i32>(step);
    nextLba.store(static_cast<u32>(lba));
    sectorsDone.fetch_add(step);
  }
  return true;
}
