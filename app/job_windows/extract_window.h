// CExtractWindow: the small modal window that copies entries of an opened
// image to a folder on disk. The opener builds it on its stack, adds the
// entries and calls Run; a worker thread runs the extraction while the
// window shows what it is doing (the file being written, on one line that
// a long name ends with "..."), a progress bar and Cancel. Questions and
// errors of the worker are shown on the user-interface thread through the
// synchronous UI call (the window is the worker's job UI).
//
// The window closes only after its worker has ended: Cancel, Escape, the
// caption's close button or any other close while the worker runs cancel
// the extraction, abort a read of the image that is under way (a stalled
// network share or drive), say "Stopping..." and leave the window open
// until the worker has stopped, when it closes by itself. A read that
// cannot be aborted keeps the window open, responsive, and the user is told
// once that the image does not answer. Run returns only after the worker
// has ended. Windows only.
#pragma once
#include <atomic>
#include <tuple>

#include "jobs/image/image_extraction.h"
#include "jobs/job_ui.h"
#include "runtime/threads.h"
#include "runtime/ui_strings.h"
#include "ui/widgets/button.h"
#include "ui/widgets/label.h"
#include "ui/widgets/painted_controls.h"
#include "ui/windows/frame/frame_window.h"
#include "ui/windows/frame/posted_tick.h"
#include "ui/windows/frame/ticker_thread.h"

class CExtractWindow : public CFrameWindow<CExtractWindow> {
 public:
  static constexpr u32 kStyle = 0x6414;  // visible, close button, caption, inset, panel frame
  static constexpr i32 kWidth = 380, kHeight = 140;
  // No smaller than it opens (the outer size, shadow margins included).
  static constexpr i32 kMinTrackWidth = kWidth + 19, kMinTrackHeight = kHeight + 19;
  static constexpr u32 kTitleId = 122;      // "Extracting files..."
  static constexpr BilingualText kStopping = {u"Stopping...", u"Deteniendo..."};
  static constexpr BilingualText kNoAnswer = {
      u"The image does not answer.\nThis window closes as soon as the current read ends.",
      u"La imagen no responde.\nEsta ventana se cerrará en cuanto termine la lectura en curso."};
  // Worker stack: the extraction descends one call chain per folder level.
  static constexpr u32 kWorkerStack = 128 * 1024;
  // While a stop waits for the worker, the read under way is aborted again
  // every step (a read may begin just after an abort); after the notice
  // time the user is told, once, that the image does not answer.
  static constexpr u32 kStopStepMs = 500;
  static constexpr u32 kStopNoticeMs = 10000;

  CButton<CExtractWindow> cancel;
  CProgressBar<CExtractWindow> progress;
  CLabel<CExtractWindow> label;

  auto Children() { return std::tie(cancel, progress, label); }

  CExtractWindow() = default;
  ~CExtractWindow() { StopWorker(); }

  // The entries to extract, in order (folders with everything below them).
  void AddEntry(const CFileNode* entry) { extraction.AddEntry(entry); }
  u32 GetTotal() const { return extraction.GetTotal(); }

  // Opens the image (an error box and 1 when it cannot be read) and runs
  // the extraction over it (RunOpened).
  u32 Run(const wchar16* imagePath, const wchar16* targetFolder, u32 leftOut = 0);
  // Over the image the extraction holds: a damaged image (leftOut entries
  // missing from its tree) is told first; then the window shows and the
  // worker runs until it has ended. The cancelled flag (0 when the window
  // closed by itself).
  u32 RunOpened(const wchar16* targetFolder, u32 leftOut);
  // The Cancel button and Escape: cancelled flag 1 and the window asked to
  // close (which, while the worker runs, stops it first).
  void CancelAndClose();
  ExtractOutcome GetOutcome() const { return outcome_; }
  bool IsStopping() const { return stopping_; }
  bool HasToldNoAnswer() const { return toldNoAnswer_; }

  void CreateControls();
  void LayoutContent(i32 width, i32 height);
  void PaintDecoration(CCanvas& canvas);
  bool OnDialogKey(u32 key);
  bool OnCloseQuery();

  // The worker's job UI: progress, repaints, the file being written and
  // questions, forwarded to this window.
  class CWorkerUi final : public IJobUi {
   public:
    explicit CWorkerUi(CExtractWindow* window) : window_(window) {}
    void SetBarValue(JobBar bar, double percent) override;
    void Redraw() override;
    void SetCaption(JobBar bar, const wchar16* text) override;
    bool CallOnUiThread(UiCall call, void* context) override;
    u32 ShowMessageBox(u32 textId, u32 titleId, u32 flags) override;
    // The rest of the boundary belongs to the disc jobs' pages.
    void SetBarColour(JobBar, u32) override {}
    void ShowBar(JobBar, bool) override {}
    void SuspendRedraw(bool) override {}
    void ShowFinishedState() override {}
    void ShowEndState() override {}
    void ShowStopRequested() override {}
    void UpdateDeviceCommands() override {}
    void SetFollowUpPageAside(void*) override {}
    void ShowFollowUpPage(void*) override {}
    void ClosePage() override {}
    u32 RunInsertDiscPrompt(i32, void*) override { return 1; }

   private:
    CExtractWindow* window_;
  };

  CImageExtraction extraction;

 private:
  static u32 WorkerEntry(void* self);
  static void OnStopTick(void* self);
  static void OnCaptionTick(void* self);
  void RequestStop();
  void StopStep();
  void AbortWorkerRead();
  void StopWorker();
  void ShowCaption();

  CWorkerUi ui_{this};
  CThread worker_;
  CTickerThread stopWatch_;   // the steps of a stop that waits
  CPostedTick captionTick_;   // the worker's file name to the label
  CWideString fileName_;      // written by the worker under the window lock
  void* hwnd_ = nullptr;      // the window as the worker knows it
  std::atomic<bool> finished_{false};
  u32 cancelled_ = 0;
  u32 stopWaitedMs_ = 0;
  bool stopping_ = false;
  bool toldNoAnswer_ = false;
  ExtractOutcome outcome_ = kExtractDone;
};
