// The burn's verify thread: reads the written disc back track by track and
// compares it with the cache. Data must match exactly; audio may be shifted
// by the reading drive's offset, found once and then kept in step, and later
// audio differences are warnings.
#include <cstring>

#include "jobs/burn/burn_job.h"
#include "runtime/clock.h"
#include "runtime/heap.h"

i32 FindAudioSyncOffset(const u8* expected, const u8* read, u32 length) {
  u32 z = 0;
  while (z < length && expected[z] == 0) ++z;
  u32 start = length / 2 > z ? length / 2 : z;
  if (z == length || static_cast<u64>(start) + kLargestBlockBytes > length) return -2;
  if (length < 17) return -1;
  for (u32 p = start; p <= length - 17; ++p) {
    if (std::memcmp(read + p, expected + start, 16) != 0) continue;
    if (std::memcmp(read + p, expected + start, length - p) == 0) return static_cast<i32>(p - start);
  }
  return -1;
}

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
  CDrive* drive = destination;
  drive->Reopen();
  u32 speed = 0;
  drive->SetMaxReadSpeed(&speed);
  WaitDriveReady(drive);
  {
    CWideString text(u"Set Max Read Speed to: ");
    text.AppendUInt(speed);
    text.Append(u" KB/s");
    LogLine(text);
  }
  LogLine(u"Starting Verify process");

  TwoBuffers buffers;
  buffers.expected = static_cast<u8*>(rt::malloc(kTransferBufferBytes));
  buffers.read = static_cast<u8*>(rt::malloc(kTransferBufferBytes));
  if (!buffers.expected || !buffers.read) {
    FailJob(u"Out of memory");
    return 1;
  }

  bool cd = (drive->mediaFlags & kMediaCd) != 0;
  sectorsDone.store(0);
  bool synchronised = false;
  u32 warnings = 0;
  u32 carry = 0;
  u32 trackNumber = 1;
  for (u32 s = 0; s < request.sessions.GetCount(); ++s) {
    currentRateKbs.store(0);
    const TrackList& tracks = request.sessions[s];
    for (u32 t = 0; t < tracks.GetCount(); ++t) {
      const TrackExtent& entry = tracks[t];
      if (!entry.content) continue;
      if (entry.cdOnly && !cd) continue;
      u32 blockSize = entry.sectorSize;
      if (blockSize == 0 || blockSize > kLargestBlockBytes) {
        FailJob(u"Unsupported block size in the layout");
        return 1;
      }
      i32 lba = entry.start;
      i32 end = entry.start + static_cast<i32>(entry.sectorCount);
      u32 remaining = entry.sectorCount;
      nextLba.store(static_cast<u32>(lba));
      bool audio = blockSize == 2352;
      if (!audio) {
        if (carry > 0) {
          CacheWait wait = DropFromCache(carry);
          if (wait != CacheWait::kOk) {
            if (wait == CacheWait::kSourceShort) FailJob(u"The source delivered less data than the layout");
            return 1;
          }
        }
        carry = 0;
        synchronised = false;
      }
      {
        CWideString text(u"Verifying Track ");
        text.AppendUInt(trackNumber);
        LogLine(text);
      }
      ++trackNumber;
      drive->Seek(static_cast<u32>(lba));
      WaitDriveReady(drive);

      CRetryRule retry(false, drive->readyWaitMs);
      bool firstChunk = true;
      u64 measureStart = 0;
      u32 measuredSectors = sectorsDone.load();
      while (lba != end) {
        if (IsStopped()) return 1;
        u32 n = remaining < kBlocksPerWrite ? remaining : kBlocksPerWrite;
        u32 bytes = n * blockSize;
        // Compared in place in the cache; the bytes leave it after the
        // comparison.
        CacheTake take;
        CacheWait wait = TakeInPlace(bytes, buffers.expected, &take);
        const u8* expected = take.data;
        if (wait != CacheWait::kOk) {
          if (wait == CacheWait::kSourceShort) FailJob(u"The source delivered less data than the layout");
          return 1;
        }
        for (;;) {
          if (ReadBack(static_cast<u32>(lba), n, buffers.read, blockSize)) {
            retry.OnSuccess();
            break;
          }
          u32 logCount = 0;
          RetryVerdict verdict = retry.OnFailure(*drive, lba, &logCount);
          if (verdict == RetryVerdict::kGiveUp) {
            ReportScsiError(*drive);
            CWideString text(u"Offset of Read Error: ");
            text.AppendInt(lba);
            LogLine(text);
            currentRateKbs.store(0);
            return 1;
          }
          if (IsStopped()) return 1;
          if (logCount) {
            CWideString text(u"Read error, retry ");
            text.AppendUInt(logCount);
            LogLine(text);
          }
          SleepFor(1);
        }

        u32 step = n;
        if (std::memcmp(expected, buffers.read, bytes) != 0) {
          if (!audio) {
            u32 k = 0;
            while (k < bytes && expected[k] == buffers.read[k]) ++k;
            CWideString text(u"Verify failed at sector: ");
            text.AppendInt(lba);
            text.Append(u", Offset: ");
            text.AppendUInt(k);
            LogLine(text);
            currentRateKbs.store(0);
            SetFlags(kJobStopped);
            return 1;
          }
          bool lastChunk = !(static_cast<i64>(lba) + kBlocksPerWrite < end);
          if (synchronised) {
            if (!lastChunk) {
              if (warnings < 10) {
                CWideString text(u"Verify warning at audio sector: ");
                text.AppendInt(lba);
                LogLine(text);
                SetFlags(kJobVerifyWarnings);
              }
              ++warnings;
            }
          } else {
            i32 off = FindAudioSyncOffset(expected, buffers.read, bytes);
            if (off == -1) {
              CWideString text(u"Cannot synch audio for verify: ");
              text.AppendInt(lba);
              LogLine(text);
              SetFlags(kJobStopped);
              currentRateKbs.store(0);
              return 1;
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
                synchronised = true;
                carry = offset;
                FinishTake(&take);
                CacheWait dropped = DropFromCache(static_cast<u32>(ahead - offset));
                if (dropped != CacheWait::kOk) {
                  if (dropped == CacheWait::kSourceShort)
                    FailJob(u"The source delivered less data than the layout");
                  return 1;
                }
                CWideString text(u"Audio Synchronization offset: ");
                text.AppendInt(off);
                LogLine(text);
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
    }
  }
  LogLine(u"Verify process Ended");
  if (warnings > 0) {
    CWideString text;
    text.AppendUInt(warnings);
    text.Append(u" Verify errors at audio tracks");
    LogLine(text);
  }
  return 0;
}
