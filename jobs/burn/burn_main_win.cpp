// The burn's start and main thread: the source (project, image file, source
// drive directly or through the temporary image), the destination disc
// (insert prompt of a one-drive copy, erase of a rewritable disc, padding,
// room on the disc), the memory cache, the write speed and power
// calibration, the feed of the write thread and the verify pass, and the end
// of the job.
#include <cstring>

#include "drive/drive_manager.h"
#include "jobs/burn/burn_job.h"
#include "jobs/burn/burn_source_device.h"
#include "jobs/burn/burn_source_image.h"
#include "jobs/burn/temp_image.h"
#include "jobs/erase_format_job.h"
#include "runtime/clock.h"
#include "runtime/heap.h"

// Everything the main thread opened, given back in one place on every end
// path: the source drive before the destination.
struct MainResources {
  CImageFileSource image;
  CTempImage temp;
  CDeviceSource device;
  CDrive* sourceDrive = nullptr;
  bool sameDrive = false;
  u32 padBytes = 0;        // zero bytes after the source (restricted overwrite)
  u64 sourceBytes = 0;     // bytes the source delivers
  u64 remaining = 0;       // of them, not yet in the cache
  u64 cacheStart = 0;      // the cache's write total where this burn's bytes start
  u32 fillRate = 0;        // kB/s of the first fill
};

namespace {

// The interface looks at a drive's disc (its menus, its windows) by opening
// it for a moment: the copy waits that long before it calls the source in use.
constexpr u32 kSourceFreeWaitMs = 5000;

u32 RateKbs(u64 bytes, double seconds) {
  if (!(seconds > 0)) return 0;
  double rate = static_cast<double>(bytes) / seconds / 1000.0;
  return rate >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<u32>(rate);
}

struct ChunkOwner {
  u8* p;
  ~ChunkOwner() { rt::free(p); }
};

// The first entry that carries data, or null.
const TrackExtent* FirstDataEntry(const BurnRequest& request) {
  for (const TrackList& session : request.sessions)
    for (const TrackExtent& entry : session)
      if (entry.content) return &entry;
  return nullptr;
}

}  // namespace

u32 CBurnPage::MainEntry(CJobPage* page) { return static_cast<CBurnPage*>(page)->MainThread(); }

bool CBurnPage::StartJob(const BurnRequest& from, CDrive* drive, const wchar16* name) {
  destination = drive;
  destinationIndex = from.destination;
  // Long drive operations publish their progress into the page's field.
  if (drive) drive->progressSink = &operationPercent;
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

u32 CBurnPage::MainThread() {
  MainResources r;
  auto going = [this](bool step) { return step && !IsStopped(); };
  bool ok = going(LockDestination()) && going(OpenSource(&r)) && going(WaitForDestinationDisc(&r)) &&
            going(CheckTrackAtOnceLayout()) && going(EraseDestination(&r)) && going(CheckDiscSpace()) &&
            going(LoadCache(&r)) && going(Burn(&r));
  if (ok && (request.options & kOptionVerify)) VerifyDisc(&r);
  return EndMain(&r);
}

bool CBurnPage::LockDestination() {
  CDrive* drive = destination;
  if (!drive || !drive->IsOpen()) {
    FailJob(u"The destination drive is not open");
    return false;
  }
  if (!drive->Retry(false, [drive] { drive->PreventAllowMediumRemoval(true); }))
    LogLine(u"Cannot prevent the removal of the disc");
  if (Ui()) Ui()->UpdateDeviceCommands();
  return true;
}

bool CBurnPage::OpenSource(MainResources* r) {
  CDrive* drive = destination;
  r->sameDrive = request.source >= 0 && request.source == request.destination;
  if (request.projectSource) {
    source = request.projectSource;
    return true;
  }
  if (request.source < 0) {
    CWideString text(u"Opening image file: ");
    text.Append(request.imagePath);
    LogLine(text);
    if (Failed(r->image.Open(request.imagePath.c_str(), true))) {
      FailJob(u"Cannot open the image file");
      return false;
    }
    source = &r->image;
    return true;
  }
  DriveOpenFailure why = DriveOpenFailure::kNoSuchDrive;
  if (r->sameDrive)
    r->sourceDrive = drive;
  else if (driveManager)
    r->sourceDrive = driveManager->OpenDriveWhenFree(static_cast<u32>(request.source), kSourceFreeWaitMs, &why);
  if (!r->sourceDrive) return FailSourceOpening(why);
  // Over the destination itself for a one-drive copy: never released here.
  r->device.Attach(r->sourceDrive, !r->sameDrive);
  CWideString text(u"Opening source device: ");
  if (driveManager) text.Append(driveManager->GetDriveName(r->sourceDrive));
  LogLine(text);
  CDrive* from = r->sourceDrive;
  if (!from->Retry(false, [from] { from->PreventAllowMediumRemoval(true); }))
    LogLine(u"Cannot prevent the removal of the source disc");
  from->LockVolume();
  if (Failed(r->device.ReadLayout())) {
    FailJob(u"Cannot read the layout of the source disc");
    return false;
  }
  if (!request.CopyTracks(r->device.Sessions()) || !request.CopyCueSheets(r->device.CueSheets())) {
    FailJob(u"Out of memory");
    return false;
  }
  if ((request.options & kOptionDirectCopy) && !r->sameDrive) {
    source = &r->device;
    return true;
  }
  return CopySourceToDisk(r);
}

bool CBurnPage::FailSourceOpening(DriveOpenFailure why) {
  switch (why) {
    case DriveOpenFailure::kInUse:
      FailJob(u"Cannot open the source device: it is in use");
      break;
    case DriveOpenFailure::kCannotOpen:
      FailJob(u"Cannot open the source device: the system refused it");
      break;
    case DriveOpenFailure::kNoAnswer:
    case DriveOpenFailure::kErrorAnswer:
      // The record keeps the command that failed for the error block, which
      // follows with the drive's sense message when it answered.
      LogLine(why == DriveOpenFailure::kNoAnswer ? u"Cannot open the source device: the drive does not answer"
                                                 : u"Cannot open the source device: the drive answered with an error");
      ReportScsiError(driveManager->drives[static_cast<u32>(request.source)]);
      break;
    default:
      FailJob(u"Cannot open the source device: there is no such drive");
      break;
  }
  return false;
}

bool CBurnPage::CopySourceToDisk(MainResources* r) {
  CWideString path;
  if (!FindTempImagePath(tempFolder.c_str(), &path)) {
    FailJob(u"Cannot find a name for the temp file");
    return false;
  }
  CWideString line(u"Creating temp file: ");
  line.Append(path);
  LogLine(line);
  if (Failed(r->temp.Create(path.c_str()))) {
    FailJob(u"Cannot create the temp file");
    return false;
  }
  tempImagePath.Assign(path);
  sectorsDone.store(0);
  totalSectors.store(1000);
  status.store(kStatusCopyingToDisk);
  speedUnitKbs.store(r->sourceDrive->GetSpeedUnit());
  u64 total = r->device.TotalSize();
  u8* chunk = static_cast<u8*>(rt::malloc(kCacheChunkBytes));
  if (!chunk) {
    FailJob(u"Out of memory");
    return false;
  }
  ChunkOwner owner{chunk};
  r->device.Seek(0, kSeekStart, nullptr);
  u64 copied = 0, measured = 0, mark = 0;
  ReadPerformanceCounter(&mark);
  while (!IsStopped()) {
    u64 got = 0;
    HResult hr = r->device.Read(chunk, kCacheChunkBytes, &got);
    if (Failed(hr)) {
      if (r->device.CurrentExtent() >= r->device.Extents().GetCount()) break;
      FailJob(u"Error reading the source device");
      return false;
    }
    if (got == 0) break;
    if (got > kCacheChunkBytes) got = kCacheChunkBytes;
    if (Failed(r->temp.Append(chunk, static_cast<u32>(got)))) {
      FailJob(u"Error writing the temp file");
      return false;
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
  r->temp.Close();
  if (IsStopped()) return false;
  if (copied != total) {
    FailJob(u"The source delivered less data than the layout");
    return false;
  }
  if (Failed(r->image.Open(tempImagePath.c_str(), false))) {
    FailJob(u"Cannot open the temp file");
    return false;
  }
  CWideString open(u"Opening image file: ");
  open.Append(tempImagePath);
  LogLine(open);
  source = &r->image;
  sectorsDone.store(0);
  totalSectors.store(0);
  if (!r->sameDrive) {
    if (Failed(r->device.ReleaseDrive()))
      LogLine(u"The source drive could not be released: removal of its disc is still prevented");
    r->sourceDrive = nullptr;
  }
  return true;
}

bool CBurnPage::WaitForDestinationDisc(MainResources* r) {
  if (!r->sameDrive) return true;
  CDrive* drive = destination;
  status.store(kStatusWaitingForDisc);
  request.copiedProfile = drive->currentProfile;
  drive->AllowRemoval();
  drive->StartStopUnit(2, 0, true);
  if (!CallMemberOnUiThread<CBurnPage, &CBurnPage::PromptDestinationDisc>(this)) cancel.store(1);
  if (cancel.load()) {
    cancelled_ = true;
    return false;
  }
  if (!drive->Retry(false, [drive] { drive->PreventAllowMediumRemoval(true); }))
    LogLine(u"Cannot prevent the removal of the disc");
  // The medium change is reported once before the drive settles.
  drive->WaitReady();
  if (!ReprobeDestination()) return false;
  if (!(drive->mediaFlags & kMediaBlank) && drive->IsRewritableMedia()) {
    if (!CallMemberOnUiThread<CBurnPage, &CBurnPage::AskEraseConfirmation>(this)) cancel.store(1);
    if (cancel.load()) {
      cancelled_ = true;
      return false;
    }
  }
  // A CD's gaps stay in the layout: a disc of another kind does not take them.
  return true;
}

bool CBurnPage::CheckTrackAtOnceLayout() {
  WritePlan plan = DestinationPlan();
  if (!plan.cd || plan.cdDao || plan.random) return true;
  TrackPlacement misplaced;
  if (!FindTrackAtOnceMisplacement(request, &misplaced)) return true;
  CWideString text(u"The layout puts track ");
  text.AppendUInt(misplaced.track);
  text.Append(u" at ");
  text.AppendInt(misplaced.start);
  text.Append(u", ");
  text.AppendInt(static_cast<i32>(misplaced.start - misplaced.previousEnd));
  text.Append(u" blocks after the end of track ");
  text.AppendUInt(misplaced.track - 1);
  text.Append(u"; written track at once, a track starts ");
  text.AppendUInt(kCdTrackAtOnceGap);
  text.Append(u" blocks after the end of the one before it, so this layout needs disc at once: "
              u"nothing was written");
  FailJob(text.c_str());
  return false;
}

bool CBurnPage::EraseDestination(MainResources* r) {
  CDrive* drive = destination;
  r->sourceBytes = request.SumTrackBytes(true);
  if (r->sourceBytes == 0 || request.sessions.GetCount() == 0) {
    FailJob(u"Nothing to write: the layout is empty");
    return false;
  }
  u16 profile = drive->currentProfile;
  bool blank = (drive->mediaFlags & kMediaBlank) != 0;
  if (profile == 0x43 && blank) {
    // A blank BD-RE must be formatted before it takes data; the burn does
    // not start a format of hours on its own.
    FailJob(u"The BD-RE disc is not formatted: it must be formatted before it can be written, and this program does not format BD-RE discs");
    return false;
  }
  if (drive->IsRewritableMedia() && !(blank && profile != 0x14 && profile != 0x17)) {
    u32 entries = 0;
    for (const TrackList& session : request.sessions)
      for (const TrackExtent& entry : session) entries += entry.cdOnly == 0 ? 1 : 0;
    bool full = false;
    if (entries > 1 && (drive->mediaFlags & kMediaDvd) && (drive->mediaFlags & kMediaRewritable)) {
      full = true;
      if (!CallMemberOnUiThread<CBurnPage, &CBurnPage::AskFullErase>(this)) cancel.store(1);
      if (cancel.load()) {
        cancelled_ = true;
        return false;
      }
      if (r->sourceDrive && !r->sameDrive) r->sourceDrive->StartStopUnit(0, 0, true);
    }
    EraseMedia(this, drive, EndWrittenOn(request, DestinationPlan()), full);
    if (!drive->LastCommandSucceeded()) {
      LogLine(u"Error Blanking media");
      ReportScsiError(*drive);
      return false;
    }
    if (!ReprobeDestination()) return false;
    if (r->sourceDrive && !r->sameDrive) r->sourceDrive->StartStopUnit(1, 0, true);
    profile = drive->currentProfile;
  }
  if (profile == 0x13) {
    // Whole ECC blocks: zeros after the last data written make up the rest.
    const WritePlan plan = DestinationPlan();
    u32 written = SectorsWrittenOn(request, plan);
    u32 missing = (kEccBlockSectors - written % kEccBlockSectors) % kEccBlockSectors;
    TrackExtent* last = LastDataWrittenOn(request, plan);
    if (missing && last) {
      last->sectorCount += missing;
      r->padBytes = missing * last->sectorSize;
    }
  }
  return true;
}

bool CBurnPage::CheckDiscSpace() {
  if (request.options & kOptionOverburn) return true;
  CDrive* drive = destination;
  u32 needed = EndWrittenOn(request, DestinationPlan());
  u32 capacity = drive->GetDiscCapacity();
  // A capacity the drive does not tell is left to the drive.
  if (capacity == 0 || needed <= capacity) return true;
  CWideString text(u"The source needs ");
  text.AppendUInt(needed);
  text.Append(u" blocks, the disc has room for ");
  text.AppendUInt(capacity);
  text.Append(u" blocks");
  FailJob(text.c_str());
  return false;
}

bool CBurnPage::LoadCache(MainResources* r) {
  CDrive* drive = destination;
  IJobUi* ui = Ui();
  status.store(kStatusLoadingCache);
  if (ui) ui->ShowBar(kBarMemoryCache, true);
  u64 dataBytes = request.SumTrackBytes(true);
  u64 capacity = dataBytes < kCacheMaxBytes ? dataBytes : kCacheMaxBytes;
  bool allocated;
  {
    CLockGuard guard(refreshLock_);
    allocated = cache.Allocate(capacity, true);
  }
  if (!allocated) {
    FailJob(u"Cannot allocate the memory cache");
    return false;
  }
  // The page names the gauge itself (in the language it shows then).
  CWideString cacheLabel(u" (");
  cacheLabel.AppendByteSize(static_cast<double>(capacity));
  cacheLabel.Append(u")");
  if (ui) ui->SetCaption(kBarMemoryCache, cacheLabel.c_str());

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
        return false;
      }
      *slot = pregap;
    }
  }
  // The layout is final: the progress counts what goes onto this disc.
  totalSectors.store(SectorsWrittenOn(request, DestinationPlan()));

  r->cacheStart = cache.GetTotalWritten();
  LogLine(u"Starting to fill the cache...");
  if (Failed(source->Seek(0, kSeekStart, nullptr))) {
    FailJob(u"Cannot seek the source");
    return false;
  }
  r->remaining = r->sourceBytes;
  if (!FillCache(&r->remaining, r->padBytes, false, &r->fillRate)) return false;
  LogLine(u"End Fill Cache");
  sourceDone.store(false);
  return true;
}

bool CBurnPage::Burn(MainResources* r) {
  IJobUi* ui = Ui();
  SetSpeed(r->sourceDrive, r->fillRate);
  destination->WaitReady();
  RefreshProgress();
  status.store(kStatusBurning);
  if (ui) ui->ShowBar(kBarDeviceCache, true);
  if (!StartConsumer(&writeThread, &CBurnPage::WriteEntry, u"write")) return false;
  if (FillCache(&r->remaining, 0, true, nullptr)) PadCache(r->padBytes);
  sourceDone.store(true);
  writeThread.Join();
  if (IsStopped()) return false;
  CLockGuard guard(refreshLock_);  // the refresh thread updates it too
  UpdateProgress(1.0);
  return true;
}

void CBurnPage::VerifyDisc(MainResources* r) {
  IJobUi* ui = Ui();
  totalSectors.store(request.SumTrackSectors(true));
  remainingMs = 0;
  progressStart = ReadCounterNow();
  status.store(kStatusLoadingCache);
  if (ui) ui->ShowBar(kBarMemoryCache, true);
  sectorsDone.store(0);
  nextLba.store(0);
  // A source that fit in the cache whole is still there: it is read again
  // from the cache, without touching the source.
  u64 cached = cache.GetTotalWritten() - r->cacheStart;
  if (cached == r->sourceBytes + r->padBytes && cache.RewindRead(r->cacheStart)) {
    sourceDone.store(true);
    ResetTimeHistory();
    status.store(kStatusVerifying);
    if (StartConsumer(&verifyThread, &CBurnPage::VerifyEntry, u"verify")) verifyThread.Join();
    return;
  }
  // The written bytes have left the cache: it is loaded again from the
  // first data track, sought in the source's own unit (an LBA on a source
  // disc, a byte position in an image or a project, where it is 0).
  const TrackExtent* first = FirstDataEntry(request);
  i64 start = (source == &r->device && first && first->start > 0) ? first->start : 0;
  cache.Reset();
  sourceDone.store(false);
  if (Failed(source->Seek(start, kSeekStart, nullptr))) {
    FailJob(u"Cannot seek the source");
    return;
  }
  r->remaining = r->sourceBytes;
  if (!FillCache(&r->remaining, r->padBytes, false, nullptr)) return;
  ResetTimeHistory();
  status.store(kStatusVerifying);
  if (!StartConsumer(&verifyThread, &CBurnPage::VerifyEntry, u"verify")) return;
  if (FillCache(&r->remaining, 0, true, nullptr)) PadCache(r->padBytes);
  sourceDone.store(true);
  verifyThread.Join();
}

u32 CBurnPage::EndMain(MainResources* r) {
  // The source drive and files first, then the job's end with the destination.
  if (Failed(r->device.ReleaseDrive()))
    LogLine(u"The source drive could not be released: removal of its disc is still prevented");
  r->device.Close();
  r->sourceDrive = nullptr;
  source = nullptr;
  r->image.Close();
  r->temp.Close();
  if (!tempImagePath.IsEmpty() && !DeleteTempImage(tempImagePath.c_str())) {
    CWideString text(u"Cannot delete temp file: ");
    text.Append(tempImagePath);
    LogLine(text);
  }
  return EndProcess(cancelled_ || stopRequested.load()) ? 1 : 0;
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
    } else if (PutIntoCache(chunk, static_cast<u32>(got)) != CacheWait::kOk) {
      return false;
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
  // Power calibration. Drives that calibrate by themselves refuse it, which
  // changes nothing for the burn: the answer is not looked at.
  drive->SendOpcInformation(nullptr, 0);
  drive->WaitReady();
  if (result == 0) result = drive->GetCurrentWriteSpeed();
  u32 unit = drive->GetSpeedUnit();
  u32 factor = SpeedFactor(result, unit);
  speedFactor.store(factor);
  speedUnitKbs.store(unit);
  nominalKbs.store((drive->mediaFlags & kMediaCd) ? factor * kCdDataSpeedUnit : unit * factor);
}
