#include "app/job_windows/insert_disc_prompt.h"

#include "app/commands/eject_disc.h"
#include "ui/windows/dialogs/modal_runner.h"
#include "ui/windows/frame/window_placement.h"

namespace {

constexpr Rect kUnplaced = {0, 0, 10, 10};
const wchar16 kNoDevice[] = u"No Device";
constexpr u32 kTextWaiting = 152;  // the caption: "Waiting..."

}  // namespace

CInsertDiscPrompt::CInsertDiscPrompt() {
  CFontRef base(GetDefaultFont());
  if (base.Get()) bigFont.Assign(AcquireFont(base.Get()->faceName.c_str(), base.Get()->size + 1, false, false));
  title.Assign(GetUiText(kTextWaiting));
}

CInsertDiscPrompt::~CInsertDiscPrompt() {
  waitThread_.Stop();
  pulse.StopTicker();
}

bool CInsertDiscPrompt::Open(CDrive* target, const CWideString& name, BurnRequest* copy, const Point* centre) {
  drive = target;
  request = copy;
  driveName.text.Assign(name.IsEmpty() ? kNoDevice : name.c_str());
  const Rect size = InsertDiscPromptSize();
  if (!PlaceAndCreate(&size, centre)) return false;
  UpdateAcceptButton();
  waitThread_.Start(handle, &CInsertDiscPrompt::OnWaitTick, this, kInsertDiscPollMs, true);
  return true;
}

void CInsertDiscPrompt::CreateControls() {
  heading.textId = kTextInsertDestination;
  heading.font = bigFont.Get();
  driveName.font = bigFont.Get();
  heading.Create(kLabelFlags, &kUnplaced, this);
  driveName.Create(kLabelFlags, &kUnplaced, this);
  CreateEjectBar(eject, ejectMenu, nullptr, BindCallback<Self, &Self::EjectDrive, u32>(this, this), this);
  pulse.Create(kUnplaced, kUnplaced, this, bigFont.Get());
  ok.textId = 0;
  ok.style |= kButtonDefault;
  ok.click = BindCallback<Self, &Self::AcceptAndClose>(this, this);
  cancel.textId = 1;
  cancel.click = BindCallback<Self, &Self::CancelAndClose>(this, this);
  ok.Create(kButtonFlags | kFlagDisabled, &kUnplaced, this);
  cancel.Create(kButtonFlags, &kUnplaced, this);
}

void CInsertDiscPrompt::LayoutContent(i32 w, i32 h) {
  Place(heading, 12, h - 28, w - 38, h - 12);
  Place(driveName, 12, h - 52, w - 38, h - 36);
  Place(eject, w - 34, h - 52, w - 12, h - 30);
  pulse.Place({12, h - 76, 28, h - 60}, {36, h - 76, w - 38, h - 60});
  Place(ok, w - 216, 8, w - 116, 33);
  Place(cancel, w - 108, 8, w - 8, 33);
}

void CInsertDiscPrompt::PaintDecoration(CCanvas& canvas) {
  const Rect c = GetContentRect();
  PaintButtonBand(canvas, c.right, c.bottom, kBandHeight);
}

bool CInsertDiscPrompt::OnDialogKey(u32 key) { return OkCancelDialogKey(*this, key); }

void CInsertDiscPrompt::OnDestroy() {
  // The wait thread is joined before anything it ticks can go.
  waitThread_.Stop();
  pulse.Stop();
}

bool CInsertDiscPrompt::CheckMedium() {
  if (!drive || !request) return false;
  const CopyVerdict v = JudgeInsertedDisc(*drive, request);
  if (v.ok) {
    pulse.Stop();
    EnableControl(ok, true);
    return true;
  }
  EnableControl(ok, false);
  if (v.statusId) pulse.Show(StatusText(v.statusId, v.medium));
  return false;
}

void CInsertDiscPrompt::UpdateAcceptButton() { CheckMedium(); }

void CInsertDiscPrompt::EjectDrive(u32) {
  if (!drive) return;
  EjectOrCloseTray(*drive);
  CheckMedium();
}

void CInsertDiscPrompt::AcceptAndClose() {
  // The disc may have gone since the last look.
  if (!CheckMedium()) return;
  cancelled = 0;
  PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
}

void CInsertDiscPrompt::CancelAndClose() {
  cancelled = 1;
  PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
}

u32 RunInsertDiscPrompt(CDriveManager& drives, i32 destinationIndex, BurnRequest* request, const Point* centre) {
  if (destinationIndex < 0 || static_cast<u32>(destinationIndex) >= drives.GetDriveCount() || !request) return 1;
  CDrive* drive = &drives.drives[static_cast<u32>(destinationIndex)];
  CInsertDiscPrompt prompt;
  const CWideString& name = drives.GetName(static_cast<u32>(destinationIndex));
  RunModalWindow(prompt, [&] { return prompt.Open(drive, name, request, centre); });
  return prompt.cancelled;
}
