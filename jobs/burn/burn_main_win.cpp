// The burn's start and main thread: the source (project, image file, source
// drive directly or through the temporary image), the destination disc
// (insert prompt of a one-drive copy, erase of a rewritable disc, padding),
// the memory cache, the write speed and power calibration, the feed of the
// write thread and the verify pass, and the end of the job.
#include <cstring>

#include "drive/drive_manager.h"
#include "jobs/burn/burn_job.h"
#include "jobs/burn/burn_source_device.h"
#include "jobs/burn/burn_source_image.h"
#include "jobs/erase_format_job.h"
#include "jobs/burn/temp_image.h"
#include "runtime/clock.h"
#include "runtime/heap.h"
#include "runtime/ui_strings.h"

namespace {

// Everything the main thread opened, given back in one place on every end
// path: the source drive before the destination.
struct MainResources {
  CImageFileSource image;
  CTempImage temp;
  CDrive* sourceDrive = nullptr;
  bool sameDrive = false;
};

u32 RateKbs(u64 bytes, double seconds) {
  if (!(seconds > 0)) return 0;
  double rate = static_cast<double>(bytes) / seconds / 1000.0;
  return rate >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<u32>(rate);
}

void AppendUiText(CWideString* text, u32 id) {
  const UiString* s = GetUiString(id);
  if (s && s->text) text->AppendChars(s->text, static_cast<i32>(s->length));
}

struct ChunkOwner {
  u8* p;
  ~ChunkOwner() { rt::free(p); }
};

}  // namespace

u32 CBurnPage::MainEntry(CJobPage* page) { return static_cast<CBurnPage*>(page)->MainThread(); }

bool CBurnPage::StartJob(const BurnRequest& from, CDrive* drive, const wchar16* name) {
  destination = drive;
  destinationIndex = from.destination;
  bool copied = request.Assign(from);
  StartFrame(from.destination, name, kBurnRefreshMs, kRefreshThreadStack, true);
  IJobUi* ui = Ui();
  if (!copied || !drive) {
    FailJob(copied ? u"No destination drive" : u"Out of memory");
    EndProcess(false);
    return false;
  }
  // The page is set aside and the priority raised before the thread runs,
  // so that its end (which undoes both) always comes after.
  if (ui && request.projectPage) ui->SetFollowUpPageAside(request.projectPage);
  LogLine(u"Changing thread and process priority to High");
  SetJobProcessPriority(kPriorityHigh);
  if (!StartJobThread(&mainThread, &CBurnPage::MainEntry, kJobThreadStack)) {
    FailJob(u"Cannot start the burn thread");
    EndProcess(false);
    return false;
  }
  SetJobThreadPriorityHighest(&mainThread);
  return true;
}

void CBurnPage::PromptDestinationDisc() {
  IJobUi* ui = Ui();
  if (!ui || ui->RunInsertDiscPrompt(request.destination, &request) != 0) cancel.store(1);
}

void CBurnPage::AskEraseConfirmation() {
  IJobUi* ui = Ui();
  if (!ui || ui->ShowMessageBox(kTextEraseQuestion, kTextWarning, kEraseQuestionFlags) != kAnswerYes)
    cancel.store(1);
}

void CBurnPage::AskFullErase() {
  IJobUi* ui = Ui();
  if (!ui || ui->ShowMessageBox(kTextFullEraseQuestion, kTextWarningTitle, kFullEraseQuestionFlags) != kAnswerOk)
    cancel.store(1);
}

bool CBurnPage::FillCache(u64* remaining, u32 padBytes, bool feed, u32* fillRateKbs) {
  u8* chunk = static_cast<u8*>(rt::malloc(kCacheChunkBytes));
  if (!chunk) {
    FailJob(u"Out of memory");
    return false;
  }
  ChunkOwner owner{chunk};
  bool first = true;
  u64 timedBytes = 0;
  u64 timedStart = 0;
  while (*remaining > 0) {
    if (IsStopped()) return false;
    u32 want = *remaining < kCacheChunkBytes ? static_cast<u32>(*remaining) : kCacheChunkBytes;
    if (!feed) {
      // Before a consumer runs, only what fits now: the fill never waits.
      u64 free = cache.GetFreeSpace();
      if (free < padBytes || free - padBytes < want) break;
    }
    // The source reads straight into the cache where the chunk fits in one
    // piece; a chunk that would run over the cache's end goes through the
    // chunk buffer.
    if (feed && want <= cache.GetCapacity() && WaitForCacheSpace(want) != CacheWait::kOk) return false;
    u32 span = 0;
    u8* at = cache.GetWriteSpan(&span);
    bool inPlace = at && span >= want;
    u64 got = 0;
    HResult hr = source->Read(inPlace ? at : chunk, want, &got);
    if (Failed(hr)) {
      CWideString text(u"Error reading the source: 0x");
      text.AppendHex(HexFormat{static_cast<u32>(hr), 8, 1});
      FailJob(text.c_str());
      return false;
    }
    if (got == 0) {
      FailJob(u"The source delivered less data than the layout");
      return false;
    }
    if (got > want) got = want;
    if (inPlace) {
      cache.CommitWrite(static_cast<u32>(got));
    } else {
      CacheWait wait = PutIntoCache(chunk, static_cast<u32>(got));
      if (wait != CacheWait::kOk) return false;
    }
    *remaining -= got;
    if (!feed) {
      u64 now = 0;
      ReadPerformanceCounter(&now);
      if (first) {
        timedStart = now;
        first = false;
      } else {
        timedBytes += got;
        if (fillRateKbs) *fillRateKbs = RateKbs(timedBytes, ElapsedSeconds(timedStart, now));
      }
    }
  }
  return true;
}

void CBurnPage::SetSpeed(CDrive* sourceDrive, u32 fillRateKbs) {
  CDrive* drive = destination;
  u32 mode = request.writeSpeed;
  u32 result = 0;
  bool ok;
  CWideString text;
  if (mode == kWriteSpeedAutomatic) {
    u32 speed = sourceDrive && sourceDrive->IsOpen() ? sourceDrive->GetMaxReadSpeed() : 0;
    if (speed == 0) speed = fillRateKbs;
    speed = ClampSpeedField(speed);
    ok = drive->SetWriteSpeed(speed, &result);
    text.Assign(u"Automatic Write Speed - Source Read Speed: ");
    text.AppendUInt(speed);
    text.Append(u" KB/s, WriteSpeed: ");
  } else if (mode == kWriteSpeedMaximum) {
    ok = drive->SetMaxWriteSpeed(&result);
    text.Assign(u"Max Write Speed: ");
  } else {
    ok = drive->SetWriteSpeed(ClampSpeedField(mode), &result);
    text.Assign(u"Custom Write Speed: ");
  }
  text.AppendUInt(result);
  text.Append(u" KB/s");
  LogLine(text);
  if (!ok) {
    CopyLastCommand(*drive);
    LogScsiError();
  }
  // Power calibration, then the speed shown while burning.
  drive->SendOpcInformation(nullptr, 0);
  WaitDriveReady(drive);
  if (result == 0) result = drive->GetCurrentWriteSpeed();
  u32 unit = drive->GetSpeedUnit();
  u32 factor = SpeedFactor(result, unit);
  speedFactor.store(factor);
  speedUnitKbs.store(unit);
  nominalKbs.store((drive->mediaFlags & kMediaCd) ? factor * kCdDataSpeedUnit : unit * factor);
}

u32 CBurnPage::MainThread() {
  CDrive* drive = destination;
  IJobUi* ui = Ui();
  MainResources r;

  if (!drive || !drive->IsOpen()) {
    FailJob(u"The destination drive is not open");
    return EndProcess(false) ? 1 : 0;
  }
  drive->PreventAllowMediumRemoval(true);
  if (ui) ui->UpdateDeviceCommands();
  r.sameDrive = request.source >= 0 && request.source == request.destination;

  // ---- The source ----
  if (!request.projectSource && request.source >= 0) {
    if (r.sameDrive) {
      r.sourceDrive = drive;
    } else if (driveManager) {
      r.sourceDrive = driveManager->OpenDrive(static_cast<u32>(request.source));
    }
    if (!r.sourceDrive) {
      FailJob(u"Cannot open the source device (in use or missing)");
      return EndProcess(false) ? 1 : 0;
    }
  }
  // Over the destination itself for a one-drive copy: never released here.
  CDeviceSource deviceSource(r.sourceDrive, !r.sameDrive);

  // Every end path: the source drive and files first, then the job's end
  // with the destination.
  auto finish = [&](bool cancelled) -> u32 {
    deviceSource.Close();
    r.sourceDrive = nullptr;
    source = nullptr;
    r.image.Close();
    r.temp.Close();
    if (!tempImagePath.IsEmpty() && !DeleteTempImage(tempImagePath.c_str())) {
      CWideString text(u"Cannot delete temp file: ");
      text.Append(tempImagePath);
      LogLine(text);
    }
    return EndProcess(cancelled) ? 1 : 0;
  };
  auto stoppedByUser = [&]() { return stopRequested.load(); };

  if (request.projectSource) {
    source = request.projectSource;
  } else if (request.source < 0) {
    CWideString text(u"Opening image file: ");
    text.Append(request.imagePath);
    LogLine(text);
    if (Failed(r.image.Open(request.imagePath.c_str(), true))) {
      FailJob(u"Cannot open the image file");
      return finish(false);
    }
    source = &r.image;
  } else {
    CWideString text(u"Opening source device: ");
    if (driveManager) text.Append(driveManager->GetDriveName(r.sourceDrive));
    LogLine(text);
    r.sourceDrive->PreventAllowMediumRemoval(true);
    r.sourceDrive->LockVolume();
    if (Failed(deviceSource.ReadLayout())) {
      FailJob(u"Cannot read the layout of the source disc");
      return finish(false);
    }
    if (!request.CopyTracks(deviceSource.Sessions()) || !request.CopyCueSheets(deviceSource.CueSheets())) {
      FailJob(u"Out of memory");
      return finish(false);
    }
    if ((request.options & kOptionDirectCopy) && !r.sameDrive) {
      source = &deviceSource;
    } else {
      // Through the hard disk.
      CWideString path;
      if (!FindTempImagePath(tempFolder.c_str(), &path)) {
        FailJob(u"Cannot find a name for the temp file");
        return finish(false);
      }
      CWideString line(u"Creating temp file: ");
      line.Append(path);
      LogLine(line);
      CTempImage& temp = r.temp;
      if (Failed(temp.Create(path.c_str()))) {
        FailJob(u"Cannot create the temp file");
        return finish(false);
      }
      tempImagePath.Assign(path);
      sectorsDone.store(0);
      totalSectors.store(1000);
      status.store(kStatusCopyingToDisk);
      speedUnitKbs.store(r.sourceDrive->GetSpeedUnit());
      u64 total = deviceSource.TotalSize();
      u8* chunk = static_cast<u8*>(rt::malloc(kCacheChunkBytes));
      if (!chunk) {
        FailJob(u"Out of memory");
        return finish(false);
      }
      ChunkOwner owner{chunk};
      deviceSource.Seek(0, kSeekStart, nullptr);
      u64 copied = 0, measured = 0, mark = 0;
      ReadPerformanceCounter(&mark);
      while (!IsStopped()) {
        u64 got = 0;
        HResult hr = deviceSource.Read(chunk, kCacheChunkBytes, &got);
        if (Failed(hr)) {
          if (deviceSource.CurrentExtent() >= deviceSource.Extents().GetCount()) break;
          FailJob(u"Error reading the source device");
          return finish(false);
        }
        if (got == 0) break;
        if (got > kCacheChunkBytes) got = kCacheChunkBytes;
        if (Failed(temp.Append(chunk, static_cast<u32>(got)))) {
          FailJob(u"Error writing the temp file");
          return finish(false);
        }
        copied += got;
        sectorsDone.store(static_cast<u32>(DivideOrZero(copied * 1000, total)));
        u64 now = 0;
        ReadPerformanceCounter(&now);
        double seconds = ElapsedSeconds(mark, now);
        if (seconds >= 1.0) {
          currentRateKbs.store(RateKbs(copied - measured, seconds));
          measured = copied;
          mark = now;
        }
      }
      currentRateKbs.store(0);
      temp.Close();
      if (IsStopped()) return finish(stoppedByUser());
      if (copied != total) {
        FailJob(u"The source delivered less data than the layout");
        return finish(false);
      }
      if (Failed(r.image.Open(tempImagePath.c_str(), false))) {
        FailJob(u"Cannot open the temp file");
        return finish(false);
      }
      CWideString open(u"Opening image file: ");
      open.Append(tempImagePath);
      LogLine(open);
      source = &r.image;
      sectorsDone.store(0);
      totalSectors.store(0);
      if (!r.sameDrive) {
        deviceSource.ReleaseDrive();
        r.sourceDrive = nullptr;
      }
    }
  }

  // ---- The destination disc ----
  totalSectors.store(request.SumTrackSectors(false));
  if (r.sameDrive) {
    status.store(kStatusWaitingForDisc);
    bool wasCd = (drive->mediaFlags & kMediaCd) != 0;
    request.copiedProfile = drive->currentProfile;
    drive->PreventAllowMediumRemoval(false);
    drive->StartStopUnit(2, 0, true);
    if (!CallMemberOnUiThread<CBurnPage, &CBurnPage::PromptDestinationDisc>(this)) cancel.store(1);
    if (cancel.load()) return finish(true);
    drive->PreventAllowMediumRemoval(true);
    // The medium change is reported once before the drive settles.
    for (u32 i = 0; i < 3 && !drive->LastCommandSucceeded() && drive->senseKey == 6; ++i) {
      drive->TestUnitReady();
    }
    WaitDriveReady(drive);
    drive->Refresh();
    if (!(drive->mediaFlags & kMediaBlank) && drive->IsRewritableMedia()) {
      if (!CallMemberOnUiThread<CBurnPage, &CBurnPage::AskEraseConfirmation>(this)) cancel.store(1);
      if (cancel.load()) return finish(true);
    }
    if (wasCd && !(drive->mediaFlags & kMediaCd) && request.sessions.GetCount() > 0 &&
        request.sessions[0].GetCount() > 0) {
      request.sessions[0].DeleteAt(0);
      totalSectors.store(request.SumTrackSectors(false));
    }
  }
  if (IsStopped()) return finish(stoppedByUser());

  u64 sourceBytes = request.SumTrackBytes(true);
  if (sourceBytes == 0 || request.sessions.GetCount() == 0) {
    FailJob(u"Nothing to write: the layout is empty");
    return finish(false);
  }

  u16 profile = drive->currentProfile;
  bool blank = (drive->mediaFlags & kMediaBlank) != 0;
  if (drive->IsRewritableMedia() && !(blank && profile != 0x14 && profile != 0x17)) {
    u32 entries = 0;
    for (const TrackList& session : request.sessions)
      for (const TrackExtent& entry : session) entries += entry.cdOnly == 0 ? 1 : 0;
    bool full = false;
    if (entries > 1 && (drive->mediaFlags & kMediaDvd) && (drive->mediaFlags & kMediaRewritable)) {
      full = true;
      if (!CallMemberOnUiThread<CBurnPage, &CBurnPage::AskFullErase>(this)) cancel.store(1);
      if (cancel.load()) return finish(true);
      if (r.sourceDrive && !r.sameDrive) r.sourceDrive->StartStopUnit(0, 0, true);
    }
    const TrackExtent* first = request.FirstTrack();
    i64 end = first ? static_cast<i64>(first->start) + first->sectorCount : 0;
    EraseMedia(this, drive, end > 0 ? static_cast<u32>(end) : 0, full);
    if (!drive->LastCommandSucceeded()) {
      LogLine(u"Error Blanking media");
      ReportScsiError(*drive);
      return finish(true);
    }
    drive->Refresh();
    if (r.sourceDrive && !r.sameDrive) r.sourceDrive->StartStopUnit(1, 0, true);
    profile = drive->currentProfile;
  }
  if (IsStopped()) return finish(stoppedByUser());

  u32 padBytes = 0;
  if (profile == 0x13) {
    u32 total = totalSectors.load();
    u32 missing = (kEccBlockSectors - total % kEccBlockSectors) % kEccBlockSectors;
    TrackExtent* first = request.FirstTrack();
    if (missing && first) {
      totalSectors.store(total + missing);
      first->sectorCount += missing;
      if (first->content) padBytes = missing * first->sectorSize;
    }
  }

  // ---- The memory cache ----
  status.store(kStatusLoadingCache);
  if (ui) ui->ShowBar(kBarMemoryCache, true);
  u64 dataBytes = request.SumTrackBytes(true);
  u64 capacity = dataBytes < kCacheMaxBytes ? dataBytes : kCacheMaxBytes;
  if (!cache.Allocate(capacity, true)) {
    FailJob(u"Cannot allocate the memory cache");
    return finish(false);
  }
  cacheLabel.Release();
  AppendUiText(&cacheLabel, kTextMemoryCache);
  cacheLabel.Append(u" (");
  cacheLabel.AppendByteSize(static_cast<double>(capacity));
  cacheLabel.Append(u")");

  if ((drive->mediaFlags & kMediaCd) && request.method == kMethodDiscAtOnce) {
    TrackExtent* first = request.FirstTrack();
    if (first && first->content) {
      TrackExtent pregap = {};
      pregap.start = kCdPregapStart;
      pregap.sectorSize = first->sectorSize;
      pregap.sectorCount = kCdPregapBlocks;
      pregap.content = 0;
      pregap.mode2Form1 = first->mode2Form1;
      TrackExtent* slot = request.sessions[0].InsertNewAtFront();
      if (!slot) {
        FailJob(u"Out of memory");
        return finish(false);
      }
      *slot = pregap;
      totalSectors.fetch_add(kCdPregapBlocks);
    }
  }

  // Where this burn's bytes start in the cache, for a verify from it.
  const u64 cacheStart = cache.GetTotalWritten();
  LogLine(u"Starting to fill the cache...");
  if (Failed(source->Seek(0, kSeekStart, nullptr))) {
    FailJob(u"Cannot seek the source");
    return finish(false);
  }
  u64 remaining = sourceBytes;
  u32 fillRate = 0;
  if (!FillCache(&remaining, padBytes, false, &fillRate)) return finish(stoppedByUser());
  LogLine(u"End Fill Cache");
  sourceDone.store(false);

  // ---- Speed, calibration, writing ----
  SetSpeed(r.sourceDrive, fillRate);
  WaitDriveReady(drive);
  RefreshProgress();
  status.store(kStatusBurning);
  if (ui) ui->ShowBar(kBarDeviceCache, true);

  if (!StartConsumer(&writeThread, &CBurnPage::WriteEntry, u"write")) return finish(false);
  bool fed = FillCache(&remaining, 0, true, nullptr);
  if (fed) PadCache(padBytes);
  sourceDone.store(true);
  writeThread.Join();
  if (!IsStopped()) {
    CLockGuard guard(refreshLock_);  // the refresh thread updates it too
    UpdateProgress(1.0);
  }

  // ---- Verify ----
  if ((request.options & kOptionVerify) && !IsStopped()) {
    totalSectors.store(request.SumTrackSectors(true));
    remainingMs = 0;
    progressStart = ReadCounterNow();
    status.store(kStatusLoadingCache);
    if (ui) ui->ShowBar(kBarMemoryCache, true);
    sectorsDone.store(0);
    nextLba.store(0);
    // A source that fit in the cache whole is still there: it is read again
    // from the cache, without touching the source.
    u64 cached = cache.GetTotalWritten() - cacheStart;
    if (cached == sourceBytes + padBytes && cache.RewindRead(cacheStart)) {
      sourceDone.store(true);
      ResetTimeHistory();
      status.store(kStatusVerifying);
      if (!StartConsumer(&verifyThread, &CBurnPage::VerifyEntry, u"verify")) return finish(false);
      verifyThread.Join();
      return finish(stoppedByUser());
    }
    // The written bytes have left the cache: it is loaded again from the
    // start of the first data track.
    i64 start = 0;
    for (const TrackList& session : request.sessions) {
      bool found = false;
      for (const TrackExtent& entry : session) {
        if (entry.content) {
          start = entry.start > 0 ? entry.start : 0;
          found = true;
          break;
        }
      }
      if (found) break;
    }
    cache.Reset();
    sourceDone.store(false);
    if (Failed(source->Seek(start, kSeekStart, nullptr))) {
      FailJob(u"Cannot seek the source");
      return finish(false);
    }
    remaining = sourceBytes;
    if (!FillCache(&remaining, padBytes, false, nullptr)) return finish(stoppedByUser());
    ResetTimeHistory();
    status.store(kStatusVerifying);
    if (!StartConsumer(&verifyThread, &CBurnPage::VerifyEntry, u"verify")) return finish(false);
    fed = FillCache(&remaining, 0, true, nullptr);
    if (fed) PadCache(padBytes);
    sourceDone.store(true);
    verifyThread.Join();
  }
  return finish(stoppedByUser());
}
