// The burn's write thread: write parameters, cue sheets, track reservation,
// WRITE(10) of at most 16 blocks from the cache with the retry rule, speed
// and drive-buffer measurements, and the closing of tracks and sessions (or
// a cache synchronisation).
#include <cstring>

#include "drive/wait_deadline.h"
#include "jobs/burn/burn_job.h"
#include "jobs/image/image_cue_sheet.h"
#include "runtime/byte_order.h"
#include "runtime/clock.h"
#include "runtime/heap.h"

void PackMode2Form1(u8* destination, const u8* source, u32 count) {
  std::memset(destination, 0, static_cast<size_t>(count) * kMode2Form1SectorBytes);
  for (u32 i = 0; i < count; ++i) {
    u8* sector = destination + static_cast<size_t>(i) * kMode2Form1SectorBytes;
    sector[2] = 0x08;
    sector[6] = 0x08;
    std::memcpy(sector + 8, source + static_cast<size_t>(i) * kUserDataBlockBytes, kUserDataBlockBytes);
  }
}

namespace {

void AppendSigned(CWideString* text, i32 value) { text->AppendInt(value); }

// Speed in kB/s of `blocks` blocks of `blockSize` bytes over `seconds`.
u32 RateKbs(u64 blocks, u32 blockSize, double seconds) {
  if (!(seconds > 0)) return 0;
  double rate = static_cast<double>(blocks) * blockSize / seconds / 1000.0;
  return rate >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<u32>(rate);
}

}  // namespace

bool CBurnPage::WriteBlocks(u32 lba, const u8* buffer, u32 count, u32 blockSize, bool pack) {
  if (pack) {
    u8 packed[kBlocksPerWrite * kMode2Form1SectorBytes];
    if (count > kBlocksPerWrite) return false;
    PackMode2Form1(packed, buffer, count);
    destination->Write(lba, static_cast<u16>(count), packed, kMode2Form1SectorBytes, false);
  } else {
    destination->Write(lba, static_cast<u16>(count), buffer, blockSize, false);
  }
  return destination->LastCommandSucceeded();
}

bool CBurnPage::SendCueSheet(u32 session) {
  CDrive* drive = destination;
  u32 count = request.sessions.GetCount();
  bool notLast = count > 1 && session < count - 1;
  bool closeDisc = notLast ? false : (request.options & kOptionCloseDisc) != 0;
  bool bufe = (request.options & kOptionBufe) != 0;
  bool cd = (drive->mediaFlags & kMediaCd) != 0;
  if (cd && request.method == kMethodDiscAtOnce) {
    currentRateKbs.store(0);
    WaitDriveReady(drive);
    const TrackList& tracks = request.sessions[session];
    if (tracks.GetCount() > 0) nextLba.store(static_cast<u32>(tracks[0].start));
    u8 type = (request.options & kOptionMode2Form1) ? 10 : 8;
    if (!drive->SetWriteParameters(type, closeDisc, bufe, false, false)) {
      ReportScsiError(*drive);
      LogLine(u"Error Setting Write Mode");
    }
    CWideString text(u"Sending Cue Sheet ");
    text.AppendUInt(session);
    LogLine(text);
    if (session >= request.cueSheets.GetCount() || request.cueSheets[session].count == 0 ||
        request.cueSheets[session].count > kCueSheetEntries) {
      FailJob(u"Error sending cue sheet");
      return false;
    }
    const CueSheet& sheet = request.cueSheets[session];
    CWideString table;
    LogCueSheet(sheet, &table);
    // In slices: one text of 4096 units or more would be cut.
    CWideString slice;
    for (i32 at = 0; at < table.GetLength(); at += 2048) {
      i32 n = table.GetLength() - at < 2048 ? table.GetLength() - at : 2048;
      slice.AssignChars(table.c_str() + at, n);
      LogRaw(slice.c_str());
    }
    WaitDriveReady(drive);
    drive->SendCueSheet(sheet.entries, sheet.count * kCueSheetEntryBytes);
    if (!drive->LastCommandSucceeded()) {
      LogLine(u"Error sending cue sheet");
      ReportScsiError(*drive);
      return false;
    }
    status.store(kStatusLeadIn);
    WaitDriveReady(drive);
    return true;
  }
  if ((drive->mediaFlags & kMediaDvd) && (drive->mediaFlags & kMediaRecordable)) {
    bool incremental = request.method == kMethodTrackAtOnce;
    if (!drive->SetWriteParameters(8, closeDisc, bufe, incremental, false)) {
      LogLine(u"Error Setting Write Mode");
      ReportScsiError(*drive);
      return false;
    }
  }
  return true;
}

bool CBurnPage::SetWriteMode(bool mode2, bool last) {
  if (request.method != kMethodTrackAtOnce) return true;
  CDrive* drive = destination;
  bool closeDisc = last && (request.options & kOptionCloseDisc) != 0;
  bool bufe = (request.options & kOptionBufe) != 0;
  bool ok = true;
  if (drive->mediaFlags & kMediaCd) {
    u8 type = mode2 ? 10 : 8;
    CWideString text(u"Set Write Mode, DataMode: ");
    text.AppendUInt(type);
    text.Append(u", CloseDisc: ");
    text.Append(closeDisc ? u"true" : u"false");
    text.Append(u", TrackAtOnce");
    LogLine(text);
    ok = drive->SetWriteParameters(type, closeDisc, bufe, true, false);
  } else if ((drive->mediaFlags & kMediaDvd) && (drive->mediaFlags & kMediaRecordable)) {
    ok = drive->SetWriteParameters(8, closeDisc, bufe, true, false);
  }
  if (!ok) {
    LogLine(u"Error Setting Write Mode");
    ReportScsiError(*drive);
  }
  return ok;
}

void CBurnPage::SyncCache() {
  CDrive* drive = destination;
  currentRateKbs.store(0);
  WaitDriveReady(drive);
  status.store(kStatusSyncCache);
  drive->SynchronizeCache(true, 0, 0);
  status.store(kStatusLeadOut);
  CWaitDeadline deadline(drive->readyWaitMs);
  do {
    deadline.Sleep(10);
    drive->TestUnitReady();
    bool leadOut = drive->asc == 0x04 && (drive->ascq == 0x07 || drive->ascq == 0x08);
    status.store(leadOut ? kStatusLeadOut : kStatusSyncCache);
  } while (drive->errorCode == 0 && drive->scsiStatus != 0 && drive->senseKey == 2 && !deadline.Expired());
}

u32 CBurnPage::WriteThread() {
  CDrive* drive = destination;
  IJobUi* ui = Ui();
  LogLine(u"Initializing Write process");
  {
    CWideString text(u"Sectors to Write: ");
    text.AppendUInt(totalSectors.load());
    LogLine(text);
  }
  u16 profile = drive->currentProfile;
  bool cd = (drive->mediaFlags & kMediaCd) != 0;
  bool plusRw = IsDvdPlusRw(profile);
  bool closeTrack = (request.method == kMethodTrackAtOnce || IsDvdPlusR(profile)) && !plusRw;
  bool closeSession = closeTrack || (!cd && !plusRw);
  bool cdDao = cd && request.method == kMethodDiscAtOnce;

  WaitDriveReady(drive);
  LogLine(u"Set Caching Mode to Write");
  drive->SetWriteCache(true);
  WaitDriveReady(drive);

  u8 disc[162];
  std::memset(disc, 0, sizeof(disc));
  drive->ReadDiscInformation(0, disc, sizeof(disc));
  u32 trackNumber = 1;
  if (drive->LastCommandSucceeded() && drive->transferred > 11) trackNumber = disc[11] * 256u + disc[6];

  // A fixed transfer block: zeros for entries without data.
  static_assert(kTransferBufferBytes == 37632, "16 blocks of 2352 bytes");
  u8* buffer = static_cast<u8*>(rt::malloc(kTransferBufferBytes));
  if (!buffer) {
    FailJob(u"Out of memory");
    return 1;
  }
  struct BufferOwner {
    u8* p;
    ~BufferOwner() { rt::free(p); }
  } owner{buffer};

  u32 sessionCount = request.sessions.GetCount();
  for (u32 i = 0; i < sessionCount; ++i) {
    if (!SendCueSheet(i)) return 1;
    const TrackList& tracks = request.sessions[i];
    u32 trackCount = tracks.GetCount();
    for (u32 j = 0; j < trackCount; ++j) {
      const TrackExtent& entry = tracks[j];
      if (entry.cdOnly && !cd) continue;
      bool last = i == sessionCount - 1 && j == trackCount - 1;
      if (!SetWriteMode(entry.mode2Form1 != 0, last)) return 1;
      u32 blockSize = entry.sectorSize;
      if (blockSize == 0 || blockSize > kLargestBlockBytes) {
        FailJob(u"Unsupported block size in the layout");
        return 1;
      }
      bool hasData = entry.content != 0;
      bool pack = cdDao && entry.mode2Form1 != 0 && blockSize == kUserDataBlockBytes;
      i32 start = entry.start;
      i32 end = start + static_cast<i32>(entry.sectorCount);
      u32 remaining = entry.sectorCount;
      nextLba.store(static_cast<u32>(start));
      u32 factor = speedFactor.load();
      if (cd && blockSize != 2352) {
        speedUnitKbs.store(kCdDataSpeedUnit);
        nominalKbs.store(factor * kCdDataSpeedUnit);
      } else {
        u32 unit = drive->GetSpeedUnit();
        speedUnitKbs.store(unit);
        nominalKbs.store(unit * factor);
      }
      if (!hasData) std::memset(buffer, 0, kTransferBufferBytes);
      if (IsSequentialDvdMinus(profile)) {
        drive->ReserveTrack(false, entry.sectorCount);
        CWideString text(u"Reserved Track: ");
        text.AppendUInt(entry.sectorCount);
        text.Append(u" Blocks");
        LogLine(text);
        WaitDriveReady(drive);
      }

      CRetryRule retry(true, drive->readyWaitMs);
      u32 chunkCounter = 0;
      u32 bufferToggle = 0;
      u64 measureStart = 0;
      u32 measuredSectors = sectorsDone.load();
      i32 lba = start;
      while (lba != end) {
        if (IsStopped()) return 1;
        u32 n = remaining < kBlocksPerWrite ? remaining : kBlocksPerWrite;
        // The blocks are sent from the cache itself; they leave it once
        // written.
        CacheTake take;
        take.data = buffer;
        if (hasData) {
          CacheWait wait = TakeInPlace(n * blockSize, buffer, &take);
          if (wait == CacheWait::kSourceShort) {
            FailJob(u"The source delivered less data than the layout");
            return 1;
          }
          if (wait != CacheWait::kOk) return 1;
        }
        for (;;) {
          if (WriteBlocks(static_cast<u32>(lba), take.data, n, blockSize, pack)) {
            retry.OnSuccess();
            break;
          }
          u32 logCount = 0;
          RetryVerdict verdict = retry.OnFailure(*drive, lba, &logCount);
          if (verdict == RetryVerdict::kRetryNotCounted && lba == start) status.store(kStatusLeadIn);
          if (verdict == RetryVerdict::kGiveUp || IsStopped()) {
            if (verdict == RetryVerdict::kGiveUp) {
              ReportScsiError(*drive);
              CWideString text(u"Offset of Write Error: ");
              AppendSigned(&text, lba);
              text.Append(u" Track: ");
              text.AppendUInt(j + 1);
              LogLine(text);
            }
            currentRateKbs.store(0);
            return 1;
          }
          if (logCount) {
            CWideString text(u"Write error, retry ");
            text.AppendUInt(logCount);
            LogLine(text);
          }
          SleepFor(1);
        }
        FinishTake(&take);
        remaining -= n;
        status.store(kStatusBurning);
        if (hasData) {
          u64 now = 0;
          ReadPerformanceCounter(&now);
          if (lba == start || chunkCounter <= 5) {
            measureStart = now;
            measuredSectors = sectorsDone.load();
          } else {
            double seconds = ElapsedSeconds(measureStart, now);
            if (seconds >= 1.0) {
              u32 done = sectorsDone.load();
              currentRateKbs.store(RateKbs(done - measuredSectors, blockSize, seconds));
              measuredSectors = done;
              measureStart = now;
              if (++bufferToggle >= 2) {
                u8 reply[16];
                std::memset(reply, 0, sizeof(reply));
                drive->ReadBufferCapacity(false, reply);
                if (drive->LastCommandSucceeded() && drive->transferred >= 12) {
                  driveBufferPercent.store(BufferFillPercent(ReadBigEndian32(reply + 8), ReadBigEndian32(reply + 4)));
                  bufferToggle = 0;
                }
              }
            }
          }
        }
        ++chunkCounter;
        lba += static_cast<i32>(n);
        nextLba.store(static_cast<u32>(lba));
        sectorsDone.fetch_add(n);
      }

      if (sectorsDone.load() == totalSectors.load()) {
        if (ui) {
          ui->ShowBar(kBarMemoryCache, false);
          ui->ShowBar(kBarDeviceCache, false);
        }
        currentRateKbs.store(0);
        driveBufferPercent.store(0);
      }
      if (closeTrack) {
        currentRateKbs.store(0);
        status.store(kStatusSyncCache);
        drive->SynchronizeCache(true, 0, 0);
        WaitDriveReady(drive);
        status.store(kStatusClosingTrack);
        CWideString text(u"Closing Logical Track(");
        text.AppendUInt(trackNumber);
        text.Append(u")...");
        LogLine(text);
        drive->CloseTrackSession(true, 1, static_cast<u16>(trackNumber));
        ++trackNumber;
        if (!drive->LastCommandSucceeded()) ReportScsiError(*drive);
        WaitDriveReady(drive);
      }
    }
    bool lastSession = i == sessionCount - 1;
    if (lastSession && ui) {
      ui->ShowBar(kBarMemoryCache, false);
      ui->ShowBar(kBarDeviceCache, false);
      ui->SetBarValue(kBarMemoryCache, 0);
    }
    if (closeSession) {
      currentRateKbs.store(0);
      status.store(kStatusClosingSession);
      LogLine(u"Closing Session...");
      bool finalize = lastSession && (IsDvdPlusR(profile) || IsBdR(profile)) &&
                      (request.options & kOptionCloseDisc) != 0;
      drive->CloseTrackSession(true, finalize ? 6 : 2, 0);
      if (!drive->LastCommandSucceeded()) ReportScsiError(*drive);
      WaitDriveReady(drive);
    } else {
      SyncCache();
    }
  }
  LogLine(u"Ending Write process");
  drive->Refresh();
  WaitDriveReady(drive);
  return 0;
}
