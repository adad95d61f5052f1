#include "app/job_windows/extract_window.h"

#include "app/job_windows/image_notices.h"
#include "runtime/clock.h"
#include "ui/windows/dialogs/message_box.h"
#include "ui/windows/dialogs/modal_runner.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

constexpr i32 kButtonWidth = 100, kButtonHeight = 25, kBarHeight = 20, kLabelHeight = 16, kGap = 8;

}  // namespace

u32 CExtractWindow::Run(const wchar16* imagePath, const wchar16* targetFolder, u32 leftOut) {
  if (extraction.OpenImage(imagePath) != 0) {
    ::ShowMessageBox(MessageText::Id(kTextErrorOpeningImage), MessageText::Id(CImageExtraction::kTextErrorTitle),
                     kImageErrorFlags);
    return 1;
  }
  return RunOpened(targetFolder, leftOut);
}

u32 CExtractWindow::RunOpened(const wchar16* targetFolder, u32 leftOut) {
  TellDamagedImage(&::ShowMessageBox, leftOut);
  extraction.SetTargetFolder(targetFolder);
  title.Assign(GetUiText(kTitleId));
  cancelled_ = 0;
  stopping_ = toldNoAnswer_ = false;
  stopWaitedMs_ = 0;
  finished_.store(false);
  const Rect size = {0, 0, kWidth, kHeight};
  bool opened = false;
  RunModalWindow(*this, [&] {
    if (!PlaceAndCreate(&size, nullptr)) return false;
    hwnd_ = handle;
    captionTick_.Arm(handle, &CExtractWindow::OnCaptionTick, this);
    if (!worker_.Start(&CExtractWindow::WorkerEntry, this, kWorkerStack)) {
      // Nothing was written: the window goes and the run counts as cancelled.
      captionTick_.Disarm();
      DestroyWindow(static_cast<HWND>(handle));
      return false;
    }
    return opened = true;
  });
  if (!opened) return 1;
  StopWorker();
  return cancelled_;
}

void CExtractWindow::CancelAndClose() {
  cancelled_ = 1;
  extraction.Cancel();
  if (handle) PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
}

u32 CExtractWindow::WorkerEntry(void* self) {
  CExtractWindow* w = static_cast<CExtractWindow*>(self);
  w->outcome_ = w->extraction.Run(&w->ui_);
  w->finished_.store(true);
  PostMessageW(static_cast<HWND>(w->hwnd_), WM_CLOSE, 0, 0);
  return 0;
}

// Any close while the worker runs stops it first; the worker's own close
// at its end goes through.
bool CExtractWindow::OnCloseQuery() {
  if (finished_.load()) return false;
  RequestStop();
  return true;
}

void CExtractWindow::RequestStop() {
  cancelled_ = 1;
  extraction.Cancel();
  if (stopping_) return;
  stopping_ = true;
  AbortWorkerRead();
  label.text.Assign(PickText(kStopping));
  label.LayoutText();
  label.Redraw();
  cancel.Enable(false);
  stopWatch_.Start(handle, &CExtractWindow::OnStopTick, this, kStopStepMs, true);
}

void CExtractWindow::OnStopTick(void* self) { static_cast<CExtractWindow*>(self)->StopStep(); }

// One step of a stop that is still waiting for the worker.
void CExtractWindow::StopStep() {
  if (finished_.load()) return;
  AbortWorkerRead();
  stopWaitedMs_ += kStopStepMs;
  if (toldNoAnswer_ || stopWaitedMs_ < kStopNoticeMs) return;
  toldNoAnswer_ = true;
  ::ShowMessageBox(MessageText::Of(PickText(kNoAnswer)), MessageText::Id(kTextImageNoticeTitle), kImageWarningFlags);
}

// A synchronous read of the worker that is waiting for the image fails at
// once (and its partial file is removed as after any failed read).
void CExtractWindow::AbortWorkerRead() {
  if (worker_.IsStarted()) CancelSynchronousIo(static_cast<HANDLE>(worker_.NativeHandle()));
}

// After the modal loop: the worker has normally ended before the window
// closed, and this only joins it. A window destroyed under a running worker
// (the program being ended) stops it as a close does and waits in steps,
// each aborting the read again and running the calls the worker sends,
// with the user told once after the notice time: the object never goes
// away under its worker.
void CExtractWindow::StopWorker() {
  stopWatch_.Stop();
  if (worker_.IsStarted()) {
    if (!finished_.load()) cancelled_ = 1;
    extraction.Cancel();
    for (;;) {
      MSG sent;
      PeekMessageW(&sent, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
      if (Clock().Wait(worker_.NativeHandle(), kStopStepMs) != kWaitTimeout) break;
      StopStep();
    }
    worker_.Join();
  }
  captionTick_.Disarm();
}

void CExtractWindow::CreateControls() {
  cancel.textId = 1;
  cancel.style |= kButtonDefault;
  cancel.click = BindCallback<CExtractWindow, &CExtractWindow::CancelAndClose>(this, this);
  label.text.Assign(GetUiText(kTitleId));
  label.oneLine = true;  // a long name ends in "..."
  progress.minimum = 0.0;
  progress.maximum = 100.0;
  progress.value = 0.0;
  const Rect r = {0, 0, kButtonWidth, kButtonHeight};
  cancel.Create(kButtonFlags, &r, this);
  progress.Create(kProgressBarFlags, &r, this);
  label.Create(kFlagVisible | kFlagSeeThrough, &r, this);
  const Rect content = GetContentRect();
  LayoutContent(content.right, content.bottom);
  cancel.SetFocus();
}

// Inside the dialog margin: Cancel in the lower right corner, the bar
// across the width above it, the label above the bar.
void CExtractWindow::LayoutContent(i32 width, i32) {
  const i32 m = ThemeDialogMargin();
  cancel.SetBounds(width - m - kButtonWidth, m, kButtonWidth, kButtonHeight);
  const i32 barY = m + kButtonHeight + kGap;
  progress.SetBounds(m, barY, width - 2 * m, kBarHeight);
  label.SetBounds(m, barY + kBarHeight + kGap, width - 2 * m, kLabelHeight);
}

// The theme's window colour behind the controls.
void CExtractWindow::PaintDecoration(CCanvas& canvas) {
  const Rect c = GetContentRect();
  canvas.FillRect(0, 0, c.right, c.bottom, ThemeWindowColor());
}

// Enter fires Cancel while it is enabled; Escape cancels.
bool CExtractWindow::OnDialogKey(u32 key) {
  if (key == 13) return cancel.ActivateDefault();
  if (key != 27) return false;
  CancelAndClose();
  return true;
}

void CExtractWindow::OnCaptionTick(void* self) { static_cast<CExtractWindow*>(self)->ShowCaption(); }

// "Extracting files..." and the name of the file being written; a stop
// keeps its own text.
void CExtractWindow::ShowCaption() {
  if (stopping_) return;
  CWideString text(GetUiText(kTitleId));
  {
    CLockGuard hold(lock);
    if (!fileName_.IsEmpty()) {
      text.AppendChar(u' ');
      text.Append(fileName_);
    }
  }
  label.text.Assign(text);
  label.LayoutText();
  label.Redraw();
}

void CExtractWindow::CWorkerUi::SetBarValue(JobBar bar, double percent) {
  if (bar != kBarOverall) return;
  CLockGuard hold(window_->lock);
  window_->progress.value = percent;
}

void CExtractWindow::CWorkerUi::Redraw() { window_->progress.Redraw(); }

// The worker's thread only keeps the name; the label is the user-interface
// thread's.
void CExtractWindow::CWorkerUi::SetCaption(JobBar bar, const wchar16* text) {
  if (bar != kBarOverall) return;
  {
    CLockGuard hold(window_->lock);
    window_->fileName_.Assign(text ? text : u"");
  }
  window_->captionTick_.Post();
}

bool CExtractWindow::CWorkerUi::CallOnUiThread(UiCall call, void* context) {
  return SendUiCall(window_->hwnd_, call, context);
}

u32 CExtractWindow::CWorkerUi::ShowMessageBox(u32 textId, u32 titleId, u32 flags) {
  // A question that arrives after the window closed is answered "stop".
  if (!window_->handle || !IsWindow(static_cast<HWND>(window_->handle))) return kAnswerCancel;
  return ::ShowMessageBox(MessageText::Id(textId), MessageText::Id(titleId), flags);
}
