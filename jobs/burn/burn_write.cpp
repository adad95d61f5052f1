// The burn's write thread: write parameters, cue sheets, track reservation
// and the next writable address, WRITE(10) of at most 16 blocks from the
// cache with the retry rule, speed and drive-buffer measurements, and the
// end of tracks and sessions: the flush, the close and the waits after them,
// every one of which must succeed for the write to succeed.
#include <cstring>

#include "jobs/burn/burn_job.h"
#include "jobs/image/image_cue_sheet.h"
#include "runtime/byte_order.h"
#include "runtime/clock.h"
#include "runtime/heap.h"


// Measurement state of the track being written.
struct TrackWrite {
  u32 chunkCounter = 0;
  u32 bufferToggle = 0;
  u64 measureStart = 0;
  u32 measuredSectors = 0;
};

namespace {

// Speed in kB/s of `blocks` blocks of `blockSize` bytes over `seconds`.
u32 RateKbs(u64 blocks, u32 blockSize, double seconds) {
  if (!(seconds > 0)) return 0;
  double rate = static_cast<double>(blocks) * blockSize / seconds / 1000.0;
  return rate >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<u32>(rate);
}

struct BufferOwner {
  u8* p;
  ~BufferOwner() { rt::free(p); }
};

}  // namespace

u32 CBurnPage::WriteThread() {
  WritePlan plan = DestinationPlan();
  u32 trackNumber = 1;
  if (!BeginWrite(plan, &trackNumber)) return 1;
  // A fixed transfer block: zeros for entries without data.
  static_assert(kTransferBufferBytes == 37632, "16 blocks of 2352 bytes");
  u8* buffer = static_cast<u8*>(rt::malloc(kTransferBufferBytes));
  if (!buffer) {
    FailJob(u"Out of memory");
    return 1;
  }
  BufferOwner owner{buffer};
  u32 sessionCount = request.sessions.GetCount();
  u32 tracksWritten = 0;
  for (u32 i = 0; i < sessionCount; ++i) {
    if (!SendCueSheet(i)) return 1;
    const TrackList& tracks = request.sessions[i];
    for (u32 j = 0; j < tracks.GetCount(); ++j) {
      const TrackExtent& entry = tracks[j];
      if (!IsWrittenOn(entry, plan)) continue;
      bool last = i == sessionCount - 1 && j == tracks.GetCount() - 1;
      if (!SetWriteMode(entry, last)) return 1;
      if (plan.reserve && !ReserveTrack(entry)) return 1;
      if (plan.checkNextWritable && !CheckNextWritable(entry, trackNumber, tracksWritten)) return 1;
      if (!WriteTrack(plan, entry, j, buffer)) return 1;
      ++tracksWritten;
      if (plan.closeTrack && !CloseTrack(trackNumber)) return 1;
      if (!plan.cdDao && !plan.random) ++trackNumber;
    }
    if (!CloseSession(plan, i == sessionCount - 1)) return 1;
  }
  return EndWrite() ? 0 : 1;
}

bool CBurnPage::BeginWrite(const WritePlan& plan, u32* trackNumber) {
  CDrive* drive = destination;
  LogLine(u"Initializing Write process");
  CWideString text(u"Sectors to Write: ");
  text.AppendUInt(totalSectors.load());
  LogLine(text);
  drive->WaitReady();
  LogLine(u"Set Caching Mode to Write");
  drive->SetWriteCache(true);
  drive->WaitReady();
  if (plan.random || plan.cdDao) return true;
  // The track the first write goes to: the last track of the last session.
  u8 disc[162];
  std::memset(disc, 0, sizeof(disc));
  if (!drive->Retry(true, [&] { drive->ReadDiscInformation(0, disc, sizeof(disc)); }) || drive->transferred < 12)
    return FailCommand(u"Cannot read the disc information");
  *trackNumber = disc[11] * 256u + disc[6];
  return true;
}

bool CBurnPage::SendCueSheet(u32 session) {
  CDrive* drive = destination;
  WritePlan plan = DestinationPlan();
  u32 count = request.sessions.GetCount();
  bool notLast = count > 1 && session < count - 1;
  bool closeDisc = notLast ? false : (request.options & kOptionCloseDisc) != 0;
  bool bufe = (request.options & kOptionBufe) != 0;
  if (plan.cdDao) {
    currentRateKbs.store(0);
    drive->WaitReady();
    const TrackList& tracks = request.sessions[session];
    if (tracks.GetCount() > 0) nextLba.store(static_cast<u32>(tracks[0].start));
    // The session format follows the layout written, as its cue sheet does.
    u8 type = SessionDataBlockType(tracks, request.options);
    // No cue sheet and no block goes to a drive without its write parameters.
    if (!drive->SetWriteParameters(type, closeDisc, bufe, false, false)) return FailCommand(u"Error Setting Write Mode");
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
    drive->WaitReady();
    if (!drive->Retry(false, [&] { drive->SendCueSheet(sheet.entries, sheet.count * kCueSheetEntryBytes); }))
      return FailCommand(u"Error sending cue sheet");
    status.store(kStatusLeadIn);
    drive->WaitReady();
    return true;
  }
  if (plan.writeParameters && !plan.cd) {
    bool incremental = request.method == kMethodTrackAtOnce;
    if (!drive->SetWriteParameters(8, closeDisc, bufe, incremental, false))
      return FailCommand(u"Error Setting Write Mode");
  }
  return true;
}

bool CBurnPage::SetWriteMode(const TrackExtent& entry, bool last) {
  CDrive* drive = destination;
  WritePlan plan = DestinationPlan();
  if (request.method != kMethodTrackAtOnce || !plan.writeParameters) return true;
  bool closeDisc = last && (request.options & kOptionCloseDisc) != 0;
  bool bufe = (request.options & kOptionBufe) != 0;
  u8 type = 8;
  if (plan.cd) {
    // Each track by its own kind: audio and raw blocks are not Mode 1.
    type = DataBlockTypeOf(entry);
    CWideString text(u"Set Write Mode, DataMode: ");
    text.AppendUInt(type);
    text.Append(u", CloseDisc: ");
    text.Append(closeDisc ? u"true" : u"false");
    text.Append(u", TrackAtOnce");
    LogLine(text);
  }
  if (!drive->SetWriteParameters(type, closeDisc, bufe, true, false)) return FailCommand(u"Error Setting Write Mode");
  return true;
}

bool CBurnPage::ReserveTrack(const TrackExtent& entry) {
  CDrive* drive = destination;
  if (!drive->Retry(false, [&] { drive->ReserveTrack(false, entry.sectorCount); }))
    return FailCommand(u"Cannot reserve the track");
  CWideString text(u"Reserved Track: ");
  text.AppendUInt(entry.sectorCount);
  text.Append(u" Blocks");
  LogLine(text);
  drive->WaitReady();
  return true;
}

bool CBurnPage::CheckNextWritable(const TrackExtent& entry, u32 trackNumber, u32 tracksWritten) {
  CDrive* drive = destination;
  u8 info[mmc::kTrackInformationLength];
  std::memset(info, 0, sizeof(info));
  if (!drive->Retry(true, [&] { drive->ReadTrackInformation(info, trackNumber, 1); }) || drive->transferred < 16)
    return FailCommand(u"Cannot read the next writable address");
  bool valid = (info[7] & 0x01) != 0;
  u32 nwa = ReadBigEndian32(info + 12);
  if (valid && entry.start >= 0 && nwa == static_cast<u32>(entry.start)) return true;
  CWideString text(u"The disc's next writable address (");
  if (valid)
    text.AppendUInt(nwa);
  else
    text.Append(u"none");
  text.Append(u") is not where the layout puts track ");
  text.AppendUInt(trackNumber);
  text.Append(u" (");
  text.AppendInt(entry.start);
  if (tracksWritten == 0) {
    text.Append(u"): nothing was written");
  } else {
    text.Append(u"): writing stopped there, after ");
    text.AppendUInt(tracksWritten);
    text.Append(tracksWritten == 1 ? u" track was written" : u" tracks were written");
  }
  FailJob(text.c_str());
  return false;
}

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

bool CBurnPage::WriteTrack(const WritePlan& plan, const TrackExtent& entry, u32 index, u8* buffer) {
  CDrive* drive = destination;
  u32 blockSize = entry.sectorSize;
  if (blockSize == 0 || blockSize > kLargestBlockBytes) {
    FailJob(u"Unsupported block size in the layout");
    return false;
  }
  bool hasData = entry.content != 0;
  bool pack = plan.cdDao && entry.mode2Form1 != 0 && blockSize == kUserDataBlockBytes;
  i32 start = entry.start;
  i32 end = start + static_cast<i32>(entry.sectorCount);
  u32 remaining = entry.sectorCount;
  nextLba.store(static_cast<u32>(start));
  u32 factor = speedFactor.load();
  if (plan.cd && blockSize != 2352) {
    speedUnitKbs.store(kCdDataSpeedUnit);
    nominalKbs.store(factor * kCdDataSpeedUnit);
  } else {
    u32 unit = drive->GetSpeedUnit();
    speedUnitKbs.store(unit);
    nominalKbs.store(unit * factor);
  }
  if (!hasData) std::memset(buffer, 0, kTransferBufferBytes);
  CRetryRule retry(true, drive->readyWaitMs);
  TrackWrite t;
  t.measuredSectors = sectorsDone.load();
  for (i32 lba = start; lba != end;) {
    if (IsStopped()) return false;
    u32 n = remaining < kBlocksPerWrite ? remaining : kBlocksPerWrite;
    // The blocks are sent from the cache itself; they leave it once written.
    CacheTake take;
    take.data = buffer;
    if (hasData) {
      CacheWait wait = TakeInPlace(n * blockSize, buffer, &take);
      if (wait == CacheWait::kSourceShort) FailJob(u"The source delivered less data than the layout");
      if (wait != CacheWait::kOk) return false;
    }
    for (;;) {
      if (WriteBlocks(static_cast<u32>(lba), take.data, n, blockSize, pack)) {
        retry.OnSuccess();
        break;
      }
      u32 logCount = 0;
      RetryVerdict verdict = retry.OnFailure(*drive, lba, &logCount);
      if (verdict == RetryVerdict::kRetryNotCounted && lba == start) status.store(kStatusLeadIn);
      if (verdict == RetryVerdict::kGiveUp) {
        ReportScsiError(*drive);
        CWideString text(u"Offset of Write Error: ");
        text.AppendInt(lba);
        text.Append(u" Track: ");
        text.AppendUInt(index + 1);
        LogLine(text);
        currentRateKbs.store(0);
        return false;
      }
      if (IsStopped()) return false;
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
    if (hasData) MeasureSpeed(&t, lba, start, blockSize);
    ++t.chunkCounter;
    lba += static_cast<i32>(n);
    nextLba.store(static_cast<u32>(lba));
    sectorsDone.fetch_add(n);
  }
  if (sectorsDone.load() == totalSectors.load()) {
    if (Ui()) {
      Ui()->ShowBar(kBarMemoryCache, false);
      Ui()->ShowBar(kBarDeviceCache, false);
    }
    currentRateKbs.store(0);
    driveBufferPercent.store(0);
  }
  return true;
}

void CBurnPage::MeasureSpeed(TrackWrite* t, i32 lba, i32 start, u32 blockSize) {
  CDrive* drive = destination;
  u64 now = 0;
  ReadPerformanceCounter(&now);
  if (lba == start || t->chunkCounter <= 5) {
    t->measureStart = now;
    t->measuredSectors = sectorsDone.load();
    return;
  }
  double seconds = ElapsedSeconds(t->measureStart, now);
  if (seconds < 1.0) return;
  u32 done = sectorsDone.load();
  currentRateKbs.store(RateKbs(done - t->measuredSectors, blockSize, seconds));
  t->measuredSectors = done;
  t->measureStart = now;
  if (++t->bufferToggle < 2) return;
  u8 reply[16];
  std::memset(reply, 0, sizeof(reply));
  drive->ReadBufferCapacity(false, reply);
  if (drive->LastCommandSucceeded() && drive->transferred >= 12) {
    driveBufferPercent.store(BufferFillPercent(ReadBigEndian32(reply + 8), ReadBigEndian32(reply + 4)));
    t->bufferToggle = 0;
  }
}

bool CBurnPage::Flush() {
  CDrive* drive = destination;
  currentRateKbs.store(0);
  status.store(kStatusSyncCache);
  if (!drive->Retry(false, [drive] { drive->SynchronizeCache(true, 0, 0); }))
    return FailCommand(u"Cannot synchronize the drive's cache");
  // An error of the flush itself comes back on the commands after it.
  if (!drive->WaitReady()) return FailCommand(u"Error while synchronizing the drive's cache");
  return true;
}

bool CBurnPage::CloseTrack(u32 trackNumber) {
  CDrive* drive = destination;
  if (!Flush()) return false;
  status.store(kStatusClosingTrack);
  CWideString text(u"Closing Logical Track(");
  text.AppendUInt(trackNumber);
  text.Append(u")...");
  LogLine(text);
  if (!drive->Retry(false, [&] { drive->CloseTrackSession(true, 1, static_cast<u16>(trackNumber)); }))
    return FailCommand(u"Cannot close the track");
  if (!drive->WaitReady()) return FailCommand(u"Error while closing the track");
  return true;
}

bool CBurnPage::CloseSession(const WritePlan& plan, bool lastSession) {
  CDrive* drive = destination;
  if (lastSession && Ui()) {
    Ui()->ShowBar(kBarMemoryCache, false);
    Ui()->ShowBar(kBarDeviceCache, false);
    Ui()->SetBarValue(kBarMemoryCache, 0);
  }
  if (!plan.closeSession) return SyncCache();
  // What the tracks left in the drive's cache is written before the close.
  if (!plan.closeTrack && !Flush()) return false;
  u16 profile = drive->currentProfile;
  currentRateKbs.store(0);
  status.store(kStatusClosingSession);
  LogLine(u"Closing Session...");
  bool finalize = lastSession && (IsDvdPlusR(profile) || IsBdR(profile)) && (request.options & kOptionCloseDisc) != 0;
  if (!drive->Retry(false, [&] { drive->CloseTrackSession(true, finalize ? 6 : 2, 0); }))
    return FailCommand(u"Cannot close the session");
  if (!drive->WaitReady()) return FailCommand(u"Error while closing the session");
  return true;
}

bool CBurnPage::SyncCache() {
  CDrive* drive = destination;
  currentRateKbs.store(0);
  drive->WaitReady();
  status.store(kStatusSyncCache);
  if (!drive->Retry(false, [drive] { drive->SynchronizeCache(true, 0, 0); }))
    return FailCommand(u"Cannot synchronize the drive's cache");
  // On disc-at-once the drive writes the lead-out now.
  status.store(kStatusLeadOut);
  if (!drive->WaitReady()) return FailCommand(u"Error while writing the lead-out");
  status.store(kStatusSyncCache);
  return true;
}

bool CBurnPage::EndWrite() {
  CDrive* drive = destination;
  LogLine(u"Ending Write process");
  // The written disc's details, for whoever looks at the drive next. The job
  // does not use them (the verify reopens the drive and probes it anew), so
  // a failed probe here changes nothing for it.
  drive->ProbeMediaRetrying();
  if (!drive->WaitReady()) return FailCommand(u"The drive did not become ready after writing");
  return true;
}
