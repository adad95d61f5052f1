#include "app/job_windows/extract_window.h"

#include "ui/windows/dialogs/message_box.h"
#include "ui/windows/dialogs/modal_loop.h"
#include "ui/windows/frame/ticker_thread.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

constexpr i32 kButtonWidth = 100, kButtonHeight = 25, kBarHeight = 20, kLabelHeight = 16, kGap = 8;
// However long the worker's last chunk takes, the window waits this long
// for it after closing (a chunk takes milliseconds in practice).
constexpr u32 kWorkerDeadlineMs = 120000;

}  // namespace

u32 CExtractWindow::Run(const wchar16* imagePath, const wchar16* targetFolder) {
  if (extraction.OpenImage(imagePath) != 0) {
    ::ShowMessageBox(MessageText::Id(kOpenErrorId), MessageText::Id(CImageExtraction::kTextErrorTitle), 1);
    return 1;
  }
  extraction.SetTargetFolder(targetFolder);
  title.Assign(GetUiString(kTitleId)->text);
  cancelled_ = 0;
  finished_.store(false);
  const Rect size = {0, 0, kWidth, kHeight};
  if (!PlaceAndCreate(&size, nullptr)) return 1;
  hwnd_ = handle;
  if (!worker_.Start(&CExtractWindow::WorkerEntry, this, kWorkerStack)) {
    // Nothing was written: the window goes and the run counts as cancelled.
    DestroyWindow(static_cast<HWND>(handle));
    return 1;
  }
  RunModalLoop(handle);
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

// The worker may be waiting for a question on this thread: its calls keep
// running while it is waited for, and the closed window answers them with
// Cancel.
void CExtractWindow::StopWorker() {
  if (!worker_.IsStarted()) return;
  extraction.Cancel();
  WaitDeliveringSentMessages(worker_.NativeHandle(), kWorkerDeadlineMs);
  worker_.Join();
}

void CExtractWindow::CreateControls() {
  cancel.textId = 1;
  cancel.style |= kButtonDefault;
  cancel.click = BindCallback<CExtractWindow, &CExtractWindow::CancelAndClose>(this, this);
  label.text.Assign(kLabelText);
  progress.minimum = 0.0;
  progress.maximum = 100.0;
  progress.value = 0.0;
  const Rect r = {0, 0, kButtonWidth, kButtonHeight};
  cancel.Create(kButtonFlags, &r, this);
  progress.Create(kFlagVisible, &r, this);
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

bool CExtractWindow::OnDialogKey(u32 key) {
  if (key != 27 && key != 13) return false;
  CancelAndClose();
  return true;
}

// Closing the window by any other way than the worker's end cancels.
bool CExtractWindow::OnCloseQuery() {
  if (!finished_.load()) {
    cancelled_ = 1;
    extraction.Cancel();
  }
  return false;
}

void CExtractWindow::CWorkerUi::SetBarValue(JobBar bar, double percent) {
  if (bar != kBarOverall) return;
  CLockGuard hold(window_->lock);
  window_->progress.value = percent;
}

void CExtractWindow::CWorkerUi::Redraw() { window_->progress.Redraw(); }

bool CExtractWindow::CWorkerUi::CallOnUiThread(UiCall call, void* context) {
  return SendUiCall(window_->hwnd_, call, context);
}

u32 CExtractWindow::CWorkerUi::ShowMessageBox(u32 textId, u32 titleId, u32 flags) {
  // A question that arrives after the window closed is answered "stop".
  if (!window_->handle || !IsWindow(static_cast<HWND>(window_->handle))) return kAnswerCancel;
  return ::ShowMessageBox(MessageText::Id(textId), MessageText::Id(titleId), flags);
}
