// CTaskView: the "Task manager" panel of the page host, a page that is shown
// and hidden but never destroyed. A 424-pixel column over the page area at
// an offset the user drags (stored as "TaskViewOffset", -1 centred; a
// double click centres it), with a heading, a close button and the job
// pane where the running and finished jobs stand one below the other.
//
// The host (THost) offers ClosePage of the task view's own holder through
// CloseTaskView() and ShowTaskView(bool). The job launchers (burn, erase or
// format, saving) are in task_view_jobs.h.
#pragma once
#include <tuple>

#include "app/commands/job_launch.h"
#include "app/main_window/job_pane.h"
#include "app/main_window/page_pane.h"
#include "app/main_window/task_view_geometry.h"
#include "render/text/font.h"
#include "render/text/text_layout.h"
#include "runtime/settings.h"
#include "runtime/ui_strings.h"
#include "ui/widgets/button.h"
#include "ui/widgets/composite.h"
#include "ui/widgets/pointer_system.h"
#include "ui/windows/theme/theme_metrics.h"

struct BurnRequest;

constexpr u32 kTextTaskManager = 73;
constexpr i32 kTaskCloseIcon = 17;
constexpr u32 kTaskCloseColour = 0xC0C04040u;
inline constexpr wchar16 kTaskViewOffsetValue[] = u"TaskViewOffset";

template <class THost>
class CTaskView : public CCompositeOf<CTaskView<THost>, THost> {
 public:
  using Self = CTaskView<THost>;

  auto Children() { return std::tie(closeButton, pane); }

  // Heading font, close button, the stored offset.
  void CreateChildren() {
    headingFont.Assign(AcquireFont(u"Verdana", 12, true, false));
    closeButton.imageFrame = kTaskCloseIcon;
    closeButton.colour = kTaskCloseColour;
    closeButton.click = BindCallback<Self, &Self::OnCloseClicked>(this, this);
    const Rect r = {0, 0, 18, 18};
    closeButton.Create(0x2000E, &r, this);
    const Rect area = {0, 0, 200, 200};
    pane.Create(kFlagVisible | kFlagSeeThrough | 0x2, &area, this);
    u32 stored = 0;
    if (CSettingsKey().ReadDword(u"", kTaskViewOffsetValue, &stored)) offset = static_cast<i32>(stored);
  }

  // The job pane below the heading band, the close button in the
  // top-right corner.
  void LayoutContent(i32 width, i32 height) {
    pane.SetBounds(24, 16, 364 + ThemeScrollBarSize(), height - 96);
    closeButton.SetBounds(width - 34, height - 32, 18, 18);
  }

  // ---- The page operations ----
  void Place(i32, i32, i32 width, i32 height) {
    const i32 hostWidth = this->Parent().width;
    const i32 x = TaskViewPlaceX(offset, hostWidth, width);
    this->SetBounds(x, 0, kTaskViewWidth, height);
  }
  bool RefusesClose() {
    for (CPageHolder* job : pane.jobs)
      if (job->RefusesClose()) return true;
    return false;
  }
  void OnLanguageChanged() {
    for (CPageHolder* job : pane.jobs) job->LanguageChanged();
    this->Redraw();
  }

  // ---- Painting: the panel's pane and heading ----
  void PaintContent(CCanvas& canvas) {
    const PanePlace p = BeginPagePane(canvas, this->width, this->height, PaneLightColour() | 0xFF000000u);
    const i32 b = p.border;
    CFont* before = canvas.font;
    if (before) before->AddRef();
    if (headingFont.Get()) canvas.SetFont(headingFont.Get());
    // Centred in the inner area, 16 pixels below its top.
    const UiString* heading = GetUiString(kTextTaskManager);
    DrawTextInBox(&canvas, b, b, p.width - b, p.height - b - 16, heading->text, static_cast<i32>(heading->length),
                  kTextCentre);
    canvas.SetFont(before);
    if (before) before->Release();
    EndPagePane(canvas);
  }

  // ---- Dragging the panel (its own area; its children take their own
  // presses) ----
  void OnLButtonDown(i32, Point*) {
    if (!CaptureOwner()) {
      BindDragHandlers(true);
      TakeSystemCapture(this->Window().Handle());
    }
    anchor_ = CursorX();
  }
  void OnLButtonDblClk(i32, Point*) { CenterPanel(); }
  void DragMove(i32 keys, Point*) {
    if (!(keys & 0x1)) return;  // MK_LBUTTON
    const i32 cursor = CursorX();
    const i32 x = TaskViewDragX(this->x, anchor_, cursor, this->Parent().GetContentRect().right);
    const bool was = this->SuspendRedraw(true);
    this->x = x;
    this->SuspendRedraw(was);
    this->Parent().Redraw();
    anchor_ = cursor;
    StoreOffset(x);
  }
  void EndDrag(i32, Point*) { BindDragHandlers(false); }
  // Another window took the mouse: the drag ends where the panel stands,
  // and the window's next press goes to what lies under it.
  void OnCaptureLost() { BindDragHandlers(false); }
  void DragWheel(i32 keys, i32 delta, Point* point) { pane.OnWheel(keys, delta, point); }
  void DragDoubleClick(i32, Point*) { CenterPanel(); }
  void CenterPanel() {
    const Rect host = this->Parent().GetContentRect();
    const bool was = this->Parent().SuspendRedraw(true);
    this->SetBounds(TaskViewCentreX(host.right), 0, kTaskViewWidth, host.bottom);
    this->Parent().SuspendRedraw(was);
    StoreOffset(kTaskViewCentred);
  }

  // ---- Job launchers (task_view_jobs.h) ----
  // Asks before a rewritable disc with data is overwritten, starts the burn
  // in a new entry and shows the task view; false when nothing started.
  bool StartBurnJob(const BurnRequest& request);
  // The destination opened and locked, a burn page made, added and started;
  // false (and nothing left behind) when any step failed.
  bool AddBurnJob(CJobPane<Self>& jobPane, const BurnRequest& request);
  // The same for an erase or format (method 1 to 5) on a drive by index.
  bool AddFormatJob(CJobPane<Self>& jobPane, u32 method, i32 driveIndex);
  // A data project's saving job in a new entry (the project's page is set
  // aside meanwhile); false when it did not start.
  bool AddSavingJob(const wchar16* targetPath, void* followUpPage);
  // A job page asked to go (its threads have ended): out of the pane, freed.
  void CloseJob(CPageHolder* job);

  i32 offset = kTaskViewCentred;
  // How the launchers ask and report (message boxes in the program).
  IJobQuestions* questions = &questionBoxes_;
  CFontRef headingFont;
  CButton<Self> closeButton;
  CJobPane<Self> pane;

 private:
  void OnCloseClicked() { this->Parent().CloseTaskView(); }

  void BindDragHandlers(bool bind) {
    if (!bind) {
      CaptureTable::Uninstall(this);
      return;
    }
    CCaptureSet set(this);
    set.template On<Self, &Self::DragMove>(kCaptureMove)
        .template On<Self, &Self::OnLButtonDown>(kCaptureLeftDown)
        .template On<Self, &Self::EndDrag>(kCaptureLeftUp)
        .template On<Self, &Self::DragDoubleClick>(kCaptureLeftDoubleClick)
        .template OnLost<Self, &Self::OnCaptureLost>()
        .template Translate<CWidget, &CWidget::WindowToLocal>(this);
    // The wheel still scrolls the job list while the panel is held.
    set.template OnWheel<Self, &Self::DragWheel>();
    CaptureTable::Install(set, this);
  }

  // The pointer's x in desktop coordinates (the anchor's when unknown).
  i32 CursorX() const {
    Point p = {anchor_, 0};
    ReadPointerPoint(&p);
    return p.x;
  }

  void StoreOffset(i32 x) {
    offset = x;
    CSettingsKey().WriteDword(u"", kTaskViewOffsetValue, static_cast<u32>(x));
  }

  i32 anchor_ = 0;
  CJobQuestionBoxes questionBoxes_;
};

#include "app/main_window/task_view_jobs.h"
