#include "jobs/erase_format_job.h"

#include <cstring>

#include "drive/mmc/mmc_replies.h"
#include "drive/wait_deadline.h"
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

// NOT READY because a long operation runs (format, blank, long write).
bool OperationInProgress(const CDrive& drive) {
  return drive.errorCode == 0 && drive.scsiStatus != 0 && drive.senseKey == 2 && drive.asc == 0x04;
}

void SendFormat(CDrive* drive, u32 blocks, u8 type, u32 parameter, bool dcrt) {
  u8 list[16];
  BuildFormatParameters(list, blocks, type, parameter, dcrt);
  drive->FormatUnit(list);
}

// Publishes the progress of the drive's last failed command's sense.
void PublishSenseProgress(CJobPage* page, const CDrive& drive) {
  double p = 0;
  if (GetSenseProgress(drive.sense, sizeof(drive.sense), &p))
    page->operationPercent = static_cast<i32>(p * 100.0);
}

// Waits with TEST UNIT READY until a long operation has ended; the last
// command of the drive is the final TEST UNIT READY.
void WaitForOperation(CJobPage* page, CDrive* drive) {
  CWaitDeadline deadline(kOperationLimitMs);
  drive->TestUnitReady();
  while (OperationInProgress(*drive) && !deadline.Expired()) {
    PublishSenseProgress(page, *drive);
    deadline.Sleep(kReadyPollMs);
    drive->TestUnitReady();
  }
  page->operationPercent = -1;
}

}  // namespace

void BuildFormatParameters(u8* list, u32 blocks, u8 type, u32 parameter, bool dcrt) {
  std::memset(list, 0, 16);
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
    drive->Blank(true, 1, 0);
  } else if (profile == 0x13 || profile == 0x14 || profile == 0x17) {
    if (formattable && !full) {
      page->status = kStatusQuickFormat;
      bool grow = false;
      if (profile == 0x13) {
        u8 info[40];
        std::memset(info, 0, sizeof(info));
        drive->ReadTrackInformation(info, 1, 1);
        u32 size = drive->LastCommandSucceeded() ? Be32(info + 24) : 0;
        u64 rounded = (static_cast<u64>(needed) + 15) / 16 * 16;
        grow = rounded > size;
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
      drive->Blank(true, 0, 0);
    }
  } else if (IsPlusRw(profile)) {
    if (formattable && drive->DiscStatus() == 0) {
      u8 reply[mmc::kFormatCapacitiesLength];
      std::memset(reply, 0, sizeof(reply));
      ReadFormatCapacities(drive, reply);
      if (drive->LastCommandSucceeded() && ValidBytes(*drive, sizeof(reply)) >= 12) {
        page->LogLine(u"Background Format 26h DVD+RW");
        SendFormat(drive, Be32(reply + 4), kFormatPlusRw, 0, false);
      }
    }
  }
  // A command refused at once is the drive's last command; otherwise wait
  // until the operation has ended.
  if (drive->LastCommandSucceeded() || OperationInProgress(*drive)) WaitForOperation(page, drive);
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
    drive->Blank(true, method == kMethodQuickErase ? 1 : 0, 0);
    return SendResult::kSent;
  }
  if (method < kMethodQuickFormat || method > kMethodContinueFormat) return SendResult::kNotSupported;
  u8 reply[mmc::kFormatCapacitiesLength];
  std::memset(reply, 0, sizeof(reply));
  ReadFormatCapacities(drive, reply);
  if (!drive->LastCommandSucceeded()) return SendResult::kSent;  // the failure is reported at the end
  // The header and the current/maximum capacity descriptor are needed.
  u32 size = ValidBytes(*drive, sizeof(reply));
  if (size < 12) return SendResult::kBadReply;
  u32 blocks = Be32(reply + 4);
  u8 descriptorType = reply[8] & 3;
  if (descriptorType == 3 || blocks == 0) {
    u8 capacity[8] = {};
    drive->ReadCapacity(capacity);
    if (!drive->LastCommandSucceeded()) return SendResult::kSent;
    if (ValidBytes(*drive, sizeof(capacity)) < 4) return SendResult::kBadReply;
    blocks = Be32(capacity);
    if (drive->mediaFlags & kMediaCd) ++blocks;
  }
  u16 profile = drive->currentProfile;
  auto fullFormatBlocks = [&](u8 type) {
    if (descriptorType != 1) {
      if (const u8* d = FindFormatDescriptor(reply, size, type)) blocks = Be32(d);
    }
  };
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

void CFormatPage::PollOperation() {
  CDrive* drive = destination;
  CWaitDeadline deadline(kOperationLimitMs);
  double lastShown = -1;
  for (;;) {
    u8 info[kDiscInfoLength];
    drive->ReadDiscInformation(0, info, sizeof(info));
    if (drive->errorCode != 0 || drive->scsiStatus == 0 || drive->asc != 0x04) return;
    double p = -1;
    if (drive->senseFormat == 0x70 || drive->senseFormat == 0x71) {
      double f = 0;
      if (GetSenseProgress(drive->sense, sizeof(drive->sense), &f)) p = f;
    } else {
      u8 sense[mmc::kRequestSenseLength];
      std::memset(sense, 0, sizeof(sense));
      drive->RequestSense(sense);
      if (drive->errorCode != 0) return;
      u32 n = ValidBytes(*drive, sizeof(sense));
      SenseFields fields = DecodeSense(sense, n);
      double f = 0;
      if (fields.asc == 0x04 && (fields.ascq == 0x07 || fields.ascq == 0x04) && GetSenseProgress(sense, n, &f)) p = f;
    }
    if (p >= 0) {
      progressSource = ProgressSource::kSense;
      operationPercent = static_cast<i32>(p * 100.0);
      if (p != lastShown) {
        lastShown = p;
        UpdateProgress(p);
      }
    } else if (!PollBusyEvent()) {
      // Neither sense progress nor a busy event: count the estimate down.
      progressSource = ProgressSource::kCountdown;
      u32 left = remainingMs.load();
      if (left > 1000) remainingMs = left - 1000;
      if (Ui()) Ui()->Redraw();
    }
    if (WaitRound()) return;
    if (deadline.Expired()) {
      GiveUpWaiting();
      return;
    }
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
  CWaitDeadline deadline(kOperationLimitMs);
  for (;;) {
    drive->TestUnitReady();
    if (drive->LastCommandSucceeded()) break;
    // Anything but "not ready" (no medium, a transport error) ends here.
    if (drive->errorCode != 0 || drive->senseKey != 2 || drive->asc == 0x3A) return;
    if (WaitRound()) return;
    if (deadline.Expired()) {
      GiveUpWaiting();
      return;
    }
    if (Ui()) Ui()->Redraw();
  }
  if (Ui()) {
    Ui()->SetBarValue(kBarOverall, 0);
    Ui()->ShowBar(kBarOverall, true);
  }
  double lastShown = -1;
  u8 info[kDiscInfoLength];
  std::memset(info, 0, sizeof(info));
  drive->ReadDiscInformation(0, info, sizeof(info));
  while (drive->LastCommandSucceeded() && ValidBytes(*drive, sizeof(info)) >= 8 && (info[7] & 3) == 2) {
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
    if (WaitRound()) return;
    if (deadline.Expired()) {
      GiveUpWaiting();
      return;
    }
    std::memset(info, 0, sizeof(info));
    drive->ReadDiscInformation(0, info, sizeof(info));
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
  } else if (drive->LastCommandSucceeded() || OperationInProgress(*drive)) {
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
    drive->PreventAllowMediumRemoval(false);
    drive->UnlockVolume(true);
    drive->Close();
  }
  destination = nullptr;
  if (Ui()) Ui()->UpdateDeviceCommands();
}
