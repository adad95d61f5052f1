// CExtractWindow: the small modal window that copies entries of an opened
// image to a folder on disk. The opener builds it on its stack, adds the
// entries and calls Run; a worker thread runs the extraction while the
// window shows a progress bar and Cancel. Questions and errors of the
// worker are shown on the user-interface thread through the synchronous UI
// call (the window is the worker's job UI). Cancel, the caption's close
// button and Escape set the extraction's cancel flag; Run returns only
// after the worker has ended. Windows only.
#pragma once
#include <atomic>
#include <tuple>

#include "jobs/image/image_extraction.h"
#include "jobs/job_ui.h"
#include "runtime/threads.h"
#include "ui/widgets/button.h"
#include "ui/widgets/label.h"
#include "ui/widgets/painted_controls.h"
#include "ui/windows/frame/frame_window.h"

class CExtractWindow : public CFrameWindow<CExtractWindow> {
 public:
  static constexpr u32 kStyle = 0x6414;  // visible, close button, caption, inset, panel frame
  static constexpr i32 kMinTrackWidth = 200, kMinTrackHeight = 120;
  static constexpr i32 kWidth = 380, kHeight = 140;
  static constexpr u32 kTitleId = 122;    // "Extracting files..."
  static constexpr u32 kOpenErrorId = 119;  // "Error opening image"
  // Worker stack: the extraction descends one call chain per folder level.
  static constexpr u32 kWorkerStack = 128 * 1024;
  // The label's fixed text.
  static constexpr const wchar16* kLabelText = u"Esto es un texto largo de prueba, bo que pasa?";

  CButton<CExtractWindow> cancel;
  CProgressBar<CExtractWindow> progress;
  CLabel<CExtractWindow> label;

  auto Children() { return std::tie(cancel, progress, label); }

  CExtractWindow() = default;
  ~CExtractWindow() { StopWorker(); }

  // The entries to extract, in order (folders with everything below them).
  void AddEntry(const CFileNode* entry) { extraction.AddEntry(entry); }
  u32 GetTotal() const { return extraction.GetTotal(); }

  // Opens the image (an error box and 1 when it cannot be read), shows the
  // window, runs the worker until it ends or the window closes; the
  // cancelled flag (0 when the window closed by itself).
  u32 Run(const wchar16* imagePath, const wchar16* targetFolder);
  // The Cancel button: the worker stops at its next chunk.
  void CancelAndClose();
  ExtractOutcome GetOutcome() const { return outcome_; }

  void CreateControls();
  void LayoutContent(i32 width, i32 height);
  void PaintDecoration(CCanvas& canvas);
  bool OnDialogKey(u32 key);
  bool OnCloseQuery();

  // The worker's job UI: progress, repaints and questions, forwarded to
  // this window.
  class CWorkerUi final : public IJobUi {
   public:
    explicit CWorkerUi(CExtractWindow* window) : window_(window) {}
    void SetBarValue(JobBar bar, double percent) override;
    void Redraw() override;
    bool CallOnUiThread(UiCall call, void* context) override;
    u32 ShowMessageBox(u32 textId, u32 titleId, u32 flags) override;
    // The rest of the boundary belongs to the disc jobs' pages.
    void SetBarColour(JobBar, u32) override {}
    void SetCaption(JobBar, const wchar16*) override {}
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
  void StopWorker();

  CWorkerUi ui_{this};
  CThread worker_;
  void* hwnd_ = nullptr;  // the window as the worker knows it
  std::atomic<bool> finished_{false};
  u32 cancelled_ = 0;
  ExtractOutcome outcome_ = kExtractDone;
};
