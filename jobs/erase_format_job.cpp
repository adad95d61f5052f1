#include "jobs/erase_format_job.h"

#include <cstring>

#include "drive/mmc/mmc_replies.h"
#include "runtime/clock.h"
#include "runtime/byte_order.h"

namespace {

// How long an erase or format may keep the drive busy before the job gives
// up waiting (a drive that never leaves "operation in progress").
constexpr u32 kOperationLimitMs = 8u * 60u * 60u * 1000u;
constexpr u32 kPollRoundMs = 1000;
constexpr u32 kReadyPollMs = 10;
constexpr u32 kDiscInfoLength = 42;

u32 Be32(const u8* p) { return (u32(p[0]) << 24) | (u32(p[1]) << 16) | (u32(p[2]) << 8) | p[3]; }

u32 ValidBytes(const CDrive& drive, u32 asked) { return drive.transferred < asked ? drive.transferred : asked; }

bool IsPlusRw(u16 profile) { return profile == 0x1A || profile == 0x2A; }

void SendFormat(CDrive* drive, u32 blocks, u8 type, u32 parameter, bool dcrt) {
  u8 list[kFormatParameterListBytes];
  BuildFormatParameters(list, blocks, type, parameter, dcrt);
  drive->Retry(false, [&] { drive->FormatUnit(list); });
}

// Publishes the progress of the drive's last failed command's sense.
void PublishSenseProgress(CJobPage* page, const CDrive& drive) {
  double p = 0;
  if (GetSenseProgress(drive.sense, sizeof(drive.sense), &p))
    page->operationPercent = static_cast<i32>(p * 100.0);
}

}  // namespace

// What one poll of a long operation says.
enum class PollAnswer : u8 { kDone, kWorking, kFailed, kTimedOut };

// Judges the answers of the polls of one long operation. The drive is
// working while it reports the operation in progress (up to the operation
// limit); an answer that says nothing (UNIT ATTENTION, busy) or one failed
// request is asked again; NOT READY without an operation in progress
// (becoming ready) is waited for up to the drive-ready deadline; anything
// else ends the operation.
class COperationWatch {
 public:
  explicit COperationWatch(CDrive& drive) : drive_(drive), start_(CounterSeconds()), lastSign_(start_) {}
  PollAnswer Judge() {
    PollAnswer answer = JudgeAnswer();
    // Later waits on a drive given up on end at once, as CDrive's do.
    if (answer == PollAnswer::kTimedOut && drive_.IsBecomingReady()) drive_.readyWaitExpired = true;
    return answer;
  }

 private:
  PollAnswer JudgeAnswer() {
    double now = CounterSeconds();
    if (drive_.LastCommandSucceeded()) return PollAnswer::kDone;
    failedRequests_ = drive_.errorCode != 0 ? failedRequests_ + 1 : 0;
    if (failedRequests_ > 1) return PollAnswer::kFailed;
    if ((now - start_) * 1000.0 >= kOperationLimitMs) return PollAnswer::kTimedOut;
    if (failedRequests_ == 1 || drive_.IsPassingAnswer()) return PollAnswer::kWorking;
    if (drive_.IsOperationInProgress()) {
      lastSign_ = now;
      return PollAnswer::kWorking;
    }
    if (!drive_.IsBecomingReady()) return PollAnswer::kFailed;
    return (now - lastSign_) * 1000.0 >= drive_.readyWaitMs ? PollAnswer::kTimedOut : PollAnswer::kWorking;
  }

  CDrive& drive_;
  double start_;
  double lastSign_;  // the last answer that showed the operation going
  u32 failedRequests_ = 0;
};

namespace {

// Waits with TEST UNIT READY until a long operation has ended; the drive's
// last command is the final TEST UNIT READY, or the one that failed.
bool WaitForOperation(CJobPage* page, CDrive* drive) {
  COperationWatch watch(*drive);
  for (;;) {
    drive->TestUnitReady();
    PollAnswer answer = watch.Judge();
    if (answer == PollAnswer::kDone || answer == PollAnswer::kFailed) break;
    if (answer == PollAnswer::kTimedOut) {
      page->LogLine(u"The drive did not finish the operation in time");
      break;
    }
    PublishSenseProgress(page, *drive);
    SleepFor(kReadyPollMs);
  }
  page->operationPercent = -1;
  return drive->LastCommandSucceeded();
}

}  // namespace

void BuildFormatParameters(u8* list, u32 blocks, u8 type, u32 parameter, bool dcrt) {
  std::memset(list, 0, kFormatParameterListBytes);
  list[1] = static_cast<u8>(0x02 | (dcrt ? 0x20 : 0));
  list[3] = 8;
  WriteBigEndian32(list + 4, blocks);
  list[8] = static_cast<u8>(type << 2);
  list[9] = static_cast<u8>(parameter >> 16);
  list[10] = static_cast<u8>(parameter >> 8);
  list[11] = static_cast<u8>(parameter);
}

void EraseMedia(CJobPage* page, CDrive* drive, u32 needed, bool full) {
  u16 profile = drive->currentProfile;
  bool formattable = (drive->featureFlags & kFeatureFormattableBit) != 0;
  if (profile == 0x0A) {
    page->LogLine(u"Quick Erase CD-RW");
    page->status = kStatusQuickErase;
    drive->Retry(false, [drive] { drive->Blank(true, 1, 0); });
  } else if (profile == 0x13 || profile == 0x14 || profile == 0x17) {
    if (formattable && !full) {
      page->status = kStatusQuickFormat;
      bool grow = false;
      if (profile == 0x13) {
        u8 info[40];
        std::memset(info, 0, sizeof(info));
        // Without the formatted size the format type cannot be chosen: the
        // failed command ends the erase.
        if (!drive->Retry(true, [&] { drive->ReadTrackInformation(info, 1, 1); })) return;
        u64 rounded = (static_cast<u64>(needed) + 15) / 16 * 16;
        grow = rounded > Be32(info + 24);
      }
      if (grow) {
        page->LogLine(u"Quick Format 13h DVD-RW");
        SendFormat(drive, 0, kFormatGrowRestricted, 0x10, false);
      } else {
        page->LogLine(u"Quick Format 15h DVD-RW");
        SendFormat(drive, 0, kFormatQuick, 0x10, false);
      }
    } else {
      page->LogLine(u"Full Erase DVD-RW");
      page->status = kStatusFullErase;
      drive->Retry(false, [drive] { drive->Blank(true, 0, 0); });
    }
  } else if (IsPlusRw(profile)) {
    if (formattable && drive->DiscStatus() == 0) {
      u8 reply[mmc::kFormatCapacitiesLength];
      std::memset(reply, 0, sizeof(reply));
      if (drive->Retry(true, [&] { ReadFormatCapacities(drive, reply); }) && ValidBytes(*drive, sizeof(reply)) >= 12) {
        page->LogLine(u"Background Format 26h DVD+RW");
        SendFormat(drive, Be32(reply + 4), kFormatPlusRw, 0, false);
      }
    }
  }
  // A command refused at once is the drive's last command; otherwise wait
  // until the operation has ended.
  if (drive->LastCommandSucceeded() || drive->IsOperationInProgress()) WaitForOperation(page, drive);
}

// ---- CFormatPage ------------------------------------------------------------

CFormatPage::CFormatPage(IJobUi* ui) : CJobPage(ui) {
  // Created up front so that a stop confirmed early is not lost.
  formatStopEvent.Create(false, false);
}

CFormatPage::~CFormatPage() {
  StopRefreshThread();
  jobThread.Join();
}

void CFormatPage::OnStopRequested() { formatStopEvent.Set(); }

bool CFormatPage::Run(u32 chosen, CDrive* drive, i32 index, const wchar16* name) {
  method = chosen;
  destination = drive;
  status = (chosen >= kMethodQuickErase && chosen <= kMethodContinueFormat) ? 65 + chosen : kStatusNone;
  StartFrame(index, name, kFormatRefreshMs, kRefreshThreadStack, true);
  if (StartJobThread(&jobThread, &CFormatPage::JobThreadEntry, kJobThreadStack)) return true;
  // Without its thread the job ends at once, as failed.
  SetFlags(kJobStopped);
  StopRefreshThread();
  FinishJob();
  return false;
}

u32 CFormatPage::JobThreadEntry(CJobPage* page) { return static_cast<CFormatPage*>(page)->JobThread(); }

bool CFormatPage::StopBackgroundFormat() {
  if (!destination || !IsPlusRw(destination->currentProfile)) return false;
  destination->CloseTrackSession(true, 0, 0);
  return destination->LastCommandSucceeded();
}

bool CFormatPage::WaitRound() {
  bool signalled = WaitEventOnClock(formatStopEvent, kPollRoundMs) == kWaitSignalled;
  // The event is auto-reset: a stop whose CLOSE TRACK/SESSION failed is
  // remembered by the stop flag and tried again next round.
  if (!signalled && !IsStopped()) return false;
  return StopBackgroundFormat();
}

void CFormatPage::GiveUpWaiting() {
  LogLine(u"The drive did not finish the operation in time");
  SetFlags(kJobStopped);
  ShowFinishedState();
}

CFormatPage::SendResult CFormatPage::SendCommand(bool* follow) {
  CDrive* drive = destination;
  *follow = false;
  if (method == kMethodQuickErase || method == kMethodFullErase) {
    drive->Retry(false, [&] { drive->Blank(true, method == kMethodQuickErase ? 1 : 0, 0); });
    return SendResult::kSent;
  }
  if (method < kMethodQuickFormat || method > kMethodContinueFormat) return SendResult::kNotSupported;
  u16 profile = drive->currentProfile;
  u8 reply[mmc::kFormatCapacitiesLength];
  std::memset(reply, 0, sizeof(reply));
  // A failed query sends no command: its failure is reported at the end.
  if (!drive->Retry(true, [&] { ReadFormatCapacities(drive, reply); })) return SendResult::kSent;
  // The header and the current/maximum capacity descriptor are needed.
  u32 size = ValidBytes(*drive, sizeof(reply));
  if (size < 12) return SendResult::kBadReply;
  u32 blocks = Be32(reply + 4);
  u8 descriptorType = reply[8] & 3;
  if (descriptorType == 3 || blocks == 0) {
    u8 capacity[8] = {};
    if (!drive->Retry(true, [&] { drive->ReadCapacity(capacity); })) return SendResult::kSent;
    if (ValidBytes(*drive, sizeof(capacity)) < 4) return SendResult::kBadReply;
    blocks = Be32(capacity);
    if (drive->mediaFlags & kMediaCd) ++blocks;
  }
  auto fullFormatBlocks = [&](u8 type) {
    if (descriptorType != 1) {
      if (const u8* d = FindFormatDescriptor(reply, size, type)) blocks = Be32(d);
    }
  };
  // CD-RW and DVD-RW: a quick format (type 0x15) or a full one (type 0x00);
  // a drive that does not offer the type refuses it, and the job ends with
  // the drive's answer.
  if (profile == 0x0A || profile == 0x13 || profile == 0x14 || profile == 0x17) {
    if (method == kMethodQuickFormat) {
      SendFormat(drive, 0, kFormatQuick, 0x10, false);
    } else {
      fullFormatBlocks(kFormatFull);
      SendFormat(drive, blocks, kFormatFull, 0x800, false);
    }
    return SendResult::kSent;
  }
  if (profile == 0x12) {
    fullFormatBlocks(kFormatFull);
    SendFormat(drive, blocks, kFormatFull, 0x800, true);
    return SendResult::kSent;
  }
  if (IsPlusRw(profile)) {
    fullFormatBlocks(kFormatPlusRw);
    SendFormat(drive, blocks, kFormatPlusRw, method == kMethodContinueFormat ? 1 : 0, false);
    *follow = method == kMethodFullFormat;
    return SendResult::kSent;
  }
  return SendResult::kNotSupported;
}

bool CFormatPage::ShowSenseProgress(double* lastShown) {
  CDrive* drive = destination;
  double p = -1;
  if (drive->senseFormat == 0x70 || drive->senseFormat == 0x71) {
    double f = 0;
    if (GetSenseProgress(drive->sense, sizeof(drive->sense), &f)) p = f;
  } else {
    u8 sense[mmc::kRequestSenseLength];
    std::memset(sense, 0, sizeof(sense));
    drive->RequestSense(sense);
    u32 n = drive->errorCode == 0 ? ValidBytes(*drive, sizeof(sense)) : 0;
    SenseFields fields = DecodeSense(sense, n);
    double f = 0;
    if (fields.asc == 0x04 && (fields.ascq == 0x07 || fields.ascq == 0x04) && GetSenseProgress(sense, n, &f)) p = f;
  }
  if (p < 0) return false;
  progressSource = ProgressSource::kSense;
  operationPercent = static_cast<i32>(p * 100.0);
  if (p != *lastShown) {
    *lastShown = p;
    UpdateProgress(p);
  }
  return true;
}

void CFormatPage::PollOperation() {
  CDrive* drive = destination;
  COperationWatch watch(*drive);
  double lastShown = -1;
  for (;;) {
    u8 info[kDiscInfoLength];
    drive->ReadDiscInformation(0, info, sizeof(info));
    PollAnswer answer = watch.Judge();
    if (answer == PollAnswer::kDone || answer == PollAnswer::kFailed) return;
    if (answer == PollAnswer::kTimedOut) return GiveUpWaiting();
    if (!drive->IsOperationInProgress() || !ShowSenseProgress(&lastShown)) {
      if (!PollBusyEvent()) {
        // Neither sense progress nor a busy event: count the estimate down.
        progressSource = ProgressSource::kCountdown;
        u32 left = remainingMs.load();
        if (left > 1000) remainingMs = left - 1000;
        if (Ui()) Ui()->Redraw();
      }
    }
    if (WaitRound()) return;
  }
}

bool CFormatPage::PollBusyEvent() {
  CDrive* drive = destination;
  u8 cdb[10] = {0x4A, 0x01, 0, 0, 0x40, 0, 0, 0, 0x08, 0};
  u8 reply[8];
  std::memset(reply, 0, sizeof(reply));
  drive->SendCommandIn(cdb, sizeof(cdb), reply, sizeof(reply));
  if (!drive->LastCommandSucceeded() || ValidBytes(*drive, sizeof(reply)) < 8) return false;
  if ((reply[2] & 0x80) || (reply[2] & 7) != 6 || reply[5] == 0) return false;
  u32 t = (u32(reply[6]) << 8) | reply[7];
  progressSource = ProgressSource::kBusyEvent;
  if (t != lastBusyTime_) {
    lastBusyTime_ = t;
    if (initialBusyTime_ == 0) initialBusyTime_ = t;
    if (initialBusyTime_ != 0) {
      double p = 1.0 - static_cast<double>(t) / initialBusyTime_;
      if (p < 0) p = 0;
      operationPercent = static_cast<i32>(p * 100.0);
      UpdateProgress(p);
    }
  }
  return true;
}

void CFormatPage::FollowBackgroundFormat() {
  CDrive* drive = destination;
  COperationWatch ready(*drive);
  for (;;) {
    drive->TestUnitReady();
    PollAnswer answer = ready.Judge();
    if (answer == PollAnswer::kDone) break;
    if (answer == PollAnswer::kFailed) return;
    if (answer == PollAnswer::kTimedOut) return GiveUpWaiting();
    if (WaitRound()) return;
    if (Ui()) Ui()->Redraw();
  }
  if (Ui()) {
    Ui()->SetBarValue(kBarOverall, 0);
    Ui()->ShowBar(kBarOverall, true);
  }
  double lastShown = -1;
  COperationWatch watch(*drive);
  for (;;) {
    u8 info[kDiscInfoLength];
    std::memset(info, 0, sizeof(info));
    drive->ReadDiscInformation(0, info, sizeof(info));
    PollAnswer answer = watch.Judge();
    if (answer == PollAnswer::kFailed) return;
    if (answer == PollAnswer::kTimedOut) return GiveUpWaiting();
    if (answer == PollAnswer::kDone) {
      // Done when the background format no longer runs.
      if (ValidBytes(*drive, sizeof(info)) < 8 || (info[7] & 3) != 2) return;
      u8 sense[mmc::kRequestSenseLength];
      std::memset(sense, 0, sizeof(sense));
      drive->RequestSense(sense);
      if (drive->LastCommandSucceeded()) {
        u32 n = ValidBytes(*drive, sizeof(sense));
        SenseFields fields = DecodeSense(sense, n);
        double f = 0;
        if ((fields.key == 0 || (fields.asc == 0x04 && fields.ascq == 0x04)) && GetSenseProgress(sense, n, &f)) {
          progressSource = ProgressSource::kBackgroundStatus;
          operationPercent = static_cast<i32>(f * 100.0);
          if (f != lastShown) {
            lastShown = f;
            UpdateProgress(f);
          }
        }
      }
    }
    if (WaitRound()) return;
  }
}

u32 CFormatPage::JobThread() {
  CDrive* drive = destination;
  if (Ui()) Ui()->UpdateDeviceCommands();
  if (!drive || !drive->IsOpen()) {
    LogLine(u"Start Format/Erase process");
    SetFlags(kJobStopped);
    FinishJob();
    return 0;
  }
  LogLine(u"Set Max Write Speed");
  drive->SetMaxWriteSpeed();
  LogLine(u"Start Format/Erase process");
  bool follow = false;
  SendResult sent = SendCommand(&follow);
  // From here on this thread redraws the page.
  StopRefreshThread();
  if (sent != SendResult::kSent) {
    // Nothing was sent: a failure, not a success.
    LogLine(sent == SendResult::kNotSupported ? u"Format/Erase not supported on this media"
                                              : u"The drive's capacity reply is too short");
    SetFlags(kJobStopped);
    ShowFinishedState();
  } else if (drive->LastCommandSucceeded() || drive->IsOperationInProgress()) {
    if (follow)
      FollowBackgroundFormat();
    else
      PollOperation();
  }
  FinishJob();
  return 0;
}

void CFormatPage::FinishJob() {
  CDrive* drive = destination;
  operationPercent = -1;
  if (drive && !drive->LastCommandSucceeded()) {
    SetFlags(kJobStopped);
    CopyLastCommand(*drive);
    ShowFinishedState();
    LogScsiError();
  } else if (!IsStopped()) {
    UpdateProgress(1.0);
  }
  LogLine(u"End Format/Erase process");
  EndJob();
  if (drive && drive->IsOpen()) {
    if (!drive->AllowRemoval()) {
      LogLine(u"The drive could not be released: removal of the disc is still prevented");
      SetFlags(kJobDriveNotReleased);
    }
    drive->UnlockVolume(true);
    drive->Close();
  }
  destination = nullptr;
  if (Ui()) Ui()->UpdateDeviceCommands();
  WriteLogFile();
}
