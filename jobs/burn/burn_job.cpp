// The burn page's life (construction, the end of the job, failures, the
// consumer threads) and what its threads share: the drive classes and write
// plan, Mode 2 Form 1 packing, the audio synchronisation probe, the cache
// bar colour and the retry rule of writes and read-backs.
#include "jobs/burn/burn_job.h"

#include <cstring>

bool IsSequentialDvdMinus(u16 p) { return p == 0x11 || p == 0x14 || p == 0x15 || p == 0x17; }
bool IsDvdPlusR(u16 p) { return p == 0x1B || p == 0x2B; }
bool IsDvdPlusRw(u16 p) { return p == 0x1A || p == 0x2A; }
bool IsBdR(u16 p) { return p == 0x41; }
bool IsRandomWritable(u16 p) { return p == 0x12 || p == 0x13 || IsDvdPlusRw(p) || p == 0x43 || p == 0x52; }

WritePlan PlanWrite(u16 profile, u8 mediaFlags, u32 method) {
  WritePlan plan;
  plan.cd = (mediaFlags & kMediaCd) != 0;
  plan.random = IsRandomWritable(profile);
  plan.cdDao = plan.cd && method == kMethodDiscAtOnce && !plan.random;
  bool recordableDvd = (mediaFlags & kMediaDvd) && (mediaFlags & kMediaRecordable);
  plan.writeParameters = !plan.random && (plan.cd || recordableDvd);
  plan.reserve = IsSequentialDvdMinus(profile);
  plan.closeTrack = !plan.random && (method == kMethodTrackAtOnce || IsDvdPlusR(profile));
  plan.closeSession = !plan.random && (plan.closeTrack || !plan.cd);
  plan.checkNextWritable = !plan.random && !plan.cdDao;
  return plan;
}

bool IsWrittenOn(const TrackExtent& entry, const WritePlan& plan) {
  if (entry.cdOnly && !plan.cd) return false;
  return entry.content || plan.cdDao;
}

u32 SectorsWrittenOn(const BurnRequest& request, const WritePlan& plan) {
  u32 sum = 0;
  for (const TrackList& session : request.sessions)
    for (const TrackExtent& entry : session)
      if (IsWrittenOn(entry, plan)) sum += entry.sectorCount;
  return sum;
}

u32 EndWrittenOn(const BurnRequest& request, const WritePlan& plan) {
  i64 end = 0;
  for (const TrackList& session : request.sessions)
    for (const TrackExtent& entry : session)
      if (IsWrittenOn(entry, plan) && static_cast<i64>(entry.start) + entry.sectorCount > end)
        end = static_cast<i64>(entry.start) + entry.sectorCount;
  return end > 0xFFFFFFFFll ? 0xFFFFFFFFu : static_cast<u32>(end);
}

TrackExtent* LastDataWrittenOn(BurnRequest& request, const WritePlan& plan) {
  TrackExtent* last = nullptr;
  for (TrackList& session : request.sessions)
    for (TrackExtent& entry : session)
      if (entry.content && IsWrittenOn(entry, plan)) last = &entry;
  return last;
}

bool FindTrackAtOnceMisplacement(const BurnRequest& request, TrackPlacement* out) {
  u32 track = 0;
  for (const TrackList& session : request.sessions) {
    bool first = true;
    i64 previousEnd = 0;
    for (const TrackExtent& entry : session) {
      if (!entry.content) continue;
      ++track;
      // The first track of a session goes where the disc's next writable
      // address is; the write itself checks that one.
      if (!first && entry.start != previousEnd + kCdTrackAtOnceGap) {
        *out = TrackPlacement{track, entry.start, previousEnd};
        return true;
      }
      first = false;
      previousEnd = static_cast<i64>(entry.start) + entry.sectorCount;
    }
  }
  return false;
}

u8 DataBlockTypeOf(const TrackExtent& entry) {
  if (entry.sectorSize == 2352) return 0;
  if (entry.sectorSize == kMode2Form1SectorBytes) return 9;
  return entry.mode2Form1 ? 10 : 8;
}

u8 SessionDataBlockType(const TrackList& session, u8 options) {
  if (options & kOptionMode2Form1) return 10;
  for (const TrackExtent& entry : session)
    if (entry.mode2Form1 && entry.sectorSize != 2352) return 10;
  return 8;
}

void PackMode2Form1(u8* destination, const u8* source, u32 count) {
  std::memset(destination, 0, static_cast<size_t>(count) * kMode2Form1SectorBytes);
  for (u32 i = 0; i < count; ++i) {
    u8* sector = destination + static_cast<size_t>(i) * kMode2Form1SectorBytes;
    sector[2] = 0x08;
    sector[6] = 0x08;
    std::memcpy(sector + 8, source + static_cast<size_t>(i) * kUserDataBlockBytes, kUserDataBlockBytes);
  }
}

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

namespace {

u32 Channel(u32 colour, u32 shift) { return (colour >> shift) & 0xFF; }

u32 Blend(u32 from, u32 to, double t) {
  u32 out = 0xFF000000u;
  for (u32 shift = 0; shift <= 16; shift += 8) {
    double a = Channel(from, shift), b = Channel(to, shift);
    double v = a + (b - a) * t;
    u32 c = v <= 0 ? 0 : v >= 255 ? 255 : static_cast<u32>(v + 0.5);
    out |= c << shift;
  }
  return out;
}

}  // namespace

u32 CacheBarColour(double fill, bool settled) {
  if (settled) return kCacheColourGreen;
  // A NaN fill (no capacity) counts as empty.
  if (!(fill >= 0.2)) return kCacheColourRed;
  if (fill < 0.5) return Blend(kCacheColourRed, kCacheColourAmber, (fill - 0.2) / 0.3);
  if (fill < 0.8) return Blend(kCacheColourAmber, kCacheColourGreen, (fill - 0.5) / 0.3);
  return kCacheColourGreen;
}

RetryVerdict CRetryRule::OnFailure(const CDrive& drive, i32 lba, u32* logCount) {
  *logCount = 0;
  bool transport = drive.errorCode != 0;
  if (!transport && drive.senseKey == 2 && drive.asc == 0x04 && (drive.ascq == 0x07 || drive.ascq == 0x08)) {
    // A long operation: not counted, but not forever either (1 ms a retry).
    if (++notReadyRetries_ >= readyWaitMs_) return RetryVerdict::kGiveUp;
    return RetryVerdict::kRetryNotCounted;
  }
  if (!haveFailed_ || lba != lastFailed_) {
    haveFailed_ = true;
    lastFailed_ = lba;
    failures_ = 1;
    return RetryVerdict::kRetry;
  }
  ++failures_;
  bool fatalSense = writing_ && !transport && (drive.senseKey == 3 || drive.senseKey == 4 || drive.senseKey == 6);
  if (failures_ >= kFailuresAtOneAddress || fatalSense) return RetryVerdict::kGiveUp;
  *logCount = failures_;
  return RetryVerdict::kRetry;
}

CBurnPage::CBurnPage(IJobUi* ui) : CJobPage(ui) {}

CBurnPage::~CBurnPage() {
  // The threads use this page's state: they end before it goes.
  mainThread.Join();
  writeThread.Join();
  verifyThread.Join();
  StopRefreshThread();
  cache.Free();
}

WritePlan CBurnPage::DestinationPlan() const {
  return PlanWrite(destination->currentProfile, destination->mediaFlags, request.method);
}

void CBurnPage::FailJob(const wchar16* text) {
  if (text) LogLine(text);
  SetFlags(kJobStopped);
  ShowFinishedState();
}

bool CBurnPage::FailCommand(const wchar16* text) {
  if (text) LogLine(text);
  ReportScsiError(*destination);
  currentRateKbs.store(0);
  return false;
}

bool CBurnPage::ReprobeDestination() {
  if (destination->ProbeMediaRetrying()) return true;
  // The medium's details are cleared: nothing may be written from them.
  return FailCommand(u"Cannot read the disc in the destination drive");
}

bool CBurnPage::StartConsumer(CThread* thread, JobBody body, const wchar16* what) {
  consumerDone.store(false);
  if (StartJobThread(thread, body, kJobThreadStack)) return true;
  CWideString text(u"Cannot start the ");
  text.Append(what);
  text.Append(u" thread");
  FailJob(text.c_str());
  consumerDone.store(true);
  return false;
}

u32 CBurnPage::WriteEntry(CJobPage* page) {
  CBurnPage* burn = static_cast<CBurnPage*>(page);
  u32 result = burn->WriteThread();
  burn->writeResult.store(result);
  burn->consumerDone.store(true);
  return result;
}

u32 CBurnPage::VerifyEntry(CJobPage* page) {
  CBurnPage* burn = static_cast<CBurnPage*>(page);
  u32 result = burn->VerifyThread();
  burn->verifyResult.store(result);
  burn->consumerDone.store(true);
  return result;
}

bool CBurnPage::EndProcess(bool cancelled) {
  IJobUi* ui = Ui();
  // The refresh thread reads the cache: it ends before the cache goes.
  StopRefreshThread();
  if (ui) ui->ShowBar(kBarMemoryCache, false);
  {
    CLockGuard guard(refreshLock_);
    cache.Free();
  }
  if (cancelled) {
    SetFlags(kJobStopped);
    LogLine(u"Process cancelled");
  }
  EndJob();
  status.store(kStatusFinished);
  RefreshProgress();
  CDrive* drive = destination;
  if (drive) drive->progressSink = nullptr;
  if (drive && drive->IsOpen()) {
    drive->WaitReady();
    if (!drive->AllowRemoval()) {
      LogLine(u"The drive could not be released: removal of the disc is still prevented");
      SetFlags(kJobDriveNotReleased);
    }
    drive->UnlockVolume(true);
    drive->Close();
  }
  if (ui) ui->UpdateDeviceCommands();
  LogLine(u"End of process");
  LogLine(u"Set normal priority in current process");
  SetJobProcessPriority(kPriorityNormal);
  if (ui && request.projectPage) ui->ShowFollowUpPage(request.projectPage);
  WriteLogFile();
  return !cancelled;
}
