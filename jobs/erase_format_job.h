// Erasing and formatting rewritable media: the erase a burn runs on a
// destination that is not blank (EraseMedia), and the erase/format job of
// its own page (CFormatPage), which sends BLANK or FORMAT UNIT by method and
// profile with the immediate bit and follows the drive's progress (sense
// progress, the device-busy event's remaining time, or the background-format
// status) until the drive ends. Portable.
#pragma once
#include "drive/drive.h"
#include "jobs/job_page.h"
#include "runtime/threads.h"

// Methods of the erase window (and their UI string ids 66-70 as status).
constexpr u32 kMethodQuickErase = 1;
constexpr u32 kMethodFullErase = 2;
constexpr u32 kMethodQuickFormat = 3;
constexpr u32 kMethodFullFormat = 4;
constexpr u32 kMethodContinueFormat = 5;

// FORMAT UNIT format types.
constexpr u8 kFormatFull = 0x00;
constexpr u8 kFormatGrowRestricted = 0x13;
constexpr u8 kFormatQuick = 0x15;
constexpr u8 kFormatPlusRw = 0x26;

// Where the progress of a long operation came from (last one used).
enum class ProgressSource : u8 { kNone, kSense, kBusyEvent, kBackgroundStatus, kCountdown };

// The FORMAT UNIT parameter list (kFormatParameterListBytes): header
// (Immed, plus DCRT when asked; length 8) and one descriptor (blocks,
// type << 2, 3 parameter bytes). A drive takes the list its header
// announces, no byte more.
void BuildFormatParameters(u8* list, u32 blocks, u8 formatType, u32 parameter24, bool dcrt);

// The erase of a burn's destination (statuses 66/67/68, log lines, BLANK or
// FORMAT UNIT by profile; `needed` = end LBA of the first track). Always
// ends with a wait until ready; the caller tests the drive's last command.
void EraseMedia(CJobPage* page, CDrive* drive, u32 needed, bool full);

class CFormatPage : public CJobPage {
 public:
  explicit CFormatPage(IJobUi* ui);
  ~CFormatPage() override;

  // The erase window's start: status = the method's text, the frame (1000
  // ms refresh, start banner), the job thread. The drive is opened (and its
  // volume locked) by the caller; the job closes it at its end. False when
  // the job thread could not start (the page then ends the job as failed).
  bool Run(u32 method, CDrive* drive, i32 destinationIndex, const wchar16* deviceName);

  u32 JobThread();
  // DVD+RW (0x1A, 0x2A): CLOSE TRACK/SESSION function 0; false otherwise.
  bool StopBackgroundFormat();

  u32 method = 0;
  CEvent formatStopEvent;
  CThread jobThread;
  // Where the shown progress came from last (for the page and for tests).
  std::atomic<ProgressSource> progressSource{ProgressSource::kNone};

 protected:
  // A confirmed stop also asks a background format to stop.
  void OnStopRequested() override;

 private:
  // What SendCommand did.
  enum class SendResult : u8 {
    kSent,          // a command went out (or the drive refused a query: its failure is reported at the end)
    kNotSupported,  // nothing this job can send for the medium
    kBadReply,      // a query answered too little to build the command from
  };
  static u32 JobThreadEntry(CJobPage* page);
  // Sends the method's command. follow = the background format is to be
  // followed.
  SendResult SendCommand(bool* follow);
  void PollOperation();
  // Progress from the sense of the drive's last answer (or REQUEST SENSE);
  // false when the drive tells none.
  bool ShowSenseProgress(double* lastShown);
  // A drive that keeps the operation going past the job's limit: the job
  // fails instead of taking the last poll's answer as the outcome.
  void GiveUpWaiting();
  // One GET EVENT STATUS NOTIFICATION (device busy); false without a busy event.
  bool PollBusyEvent();
  void FollowBackgroundFormat();
  // Waits one polling round on the format stop event; true to end. Once a
  // stop was asked, every round tries to stop the format again, so a stop
  // the drive refused (still busy) is not lost.
  bool WaitRound();
  void FinishJob();

  u32 initialBusyTime_ = 0;
  u32 lastBusyTime_ = 0;
};
