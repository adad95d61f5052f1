#include "app/job_windows/copy_disc_window.h"

#include "app/commands/eject_disc.h"
#include "runtime/settings.h"
#include "ui/windows/dialogs/modal_runner.h"

namespace {

constexpr wchar16 kDirectCopyValue[] = u"DirectCopy";
constexpr wchar16 kVerifyValue[] = u"Verify";
constexpr wchar16 kSourceValue[] = u"Source";
constexpr wchar16 kDestinationValue[] = u"Destination";
constexpr u32 kTextSelectOrigin = 131;
constexpr u32 kTextSelectDestination = 132;
constexpr u32 kTextDirectCopy = 133;
constexpr u32 kTextVerify = 83;
constexpr Rect kUnplaced = {0, 0, 10, 10};

}  // namespace

CCopyDiscWindow::CCopyDiscWindow() {
  CFontRef base(GetDefaultFont());
  if (base.Get()) bigFont.Assign(AcquireFont(base.Get()->faceName.c_str(), base.Get()->size + 1, false, false));
  title.Assign(GetUiText(kTextCopyDisc));
}

CCopyDiscWindow::~CCopyDiscWindow() {
  if (drives) drives->RemoveListener(&poster);
  pulse.StopTicker();
}

bool CCopyDiscWindow::Open(CDriveManager& manager, BurnRequest* target, const Point* centre) {
  drives = &manager;
  request = target;
  const Rect size = {0, 0, kWidth, kHeight};
  if (!PlaceAndCreate(&size, centre)) return false;
  poster.window = handle;
  drives->AddListener(&poster);
  FillDriveLists();
  return true;
}

u32 CCopyDiscWindow::Run(CDriveManager& manager, BurnRequest* target, const Point* centre) {
  RunModalWindow(*this, [&] { return Open(manager, target, centre); });
  return cancelled;
}

void CCopyDiscWindow::CreateControls() {
  originLabel.textId = kTextSelectOrigin;
  destinationLabel.textId = kTextSelectDestination;
  originLabel.Create(kLabelFlags, &kUnplaced, this);
  destinationLabel.Create(kLabelFlags, &kUnplaced, this);
  sourceList.itemSource = BindCallback<Self, &Self::SourceItem, i32, const wchar16**, i32*, i32*, u32*>(this, this);
  destinationList.itemSource =
      BindCallback<Self, &Self::DestinationItem, i32, const wchar16**, i32*, i32*, u32*>(this, this);
  sourceList.changed = BindCallback<Self, &Self::OnSourceChosen, i32>(this, this);
  destinationList.changed = BindCallback<Self, &Self::OnDestinationChosen, i32>(this, this);
  sourceList.Create(kDropDownFlags, &kUnplaced, this);
  destinationList.Create(kDropDownFlags | kFlagDisabled, &kUnplaced, this);
  CreateEjectBar(sourceEject, sourceEjectMenu, nullptr, BindCallback<Self, &Self::EjectSource, u32>(this, this), this);
  CreateEjectBar(destinationEject, destinationEjectMenu, &sourceEject.icons,
                 BindCallback<Self, &Self::EjectDestination, u32>(this, this), this);
  const CSettingsKey settings;
  bool checked = false;
  directCopy.textId = kTextDirectCopy;
  directCopy.style = kCheckTextRight | (settings.ReadBool(kCopyKey, kDirectCopyValue, &checked) && checked ? kCheckTicked : 0);
  checked = false;
  verify.textId = kTextVerify;
  verify.style = kCheckTextRight | (settings.ReadBool(kCopyKey, kVerifyValue, &checked) && checked ? kCheckTicked : 0);
  directCopy.change = BindCallback<Self, &Self::OnDirectCopyChanged, bool>(this, this);
  verify.change = BindCallback<Self, &Self::OnVerifyChanged, bool>(this, this);
  directCopy.Create(kCheckBoxFlags, &kUnplaced, this);
  verify.Create(kCheckBoxFlags, &kUnplaced, this);
  pulse.Create(kUnplaced, kUnplaced, this, bigFont.Get());
  ok.textId = 0;
  ok.style |= kButtonDefault;
  ok.click = BindCallback<Self, &Self::AcceptAndClose>(this, this);
  cancel.textId = 1;
  cancel.click = BindCallback<Self, &Self::CancelAndClose>(this, this);
  ok.Create(kButtonFlags | kFlagDisabled, &kUnplaced, this);
  cancel.Create(kButtonFlags, &kUnplaced, this);
}

void CCopyDiscWindow::LayoutContent(i32 w, i32 h) {
  const i32 c = (w - 50) / 2;
  Place(originLabel, 12, h - 28, w - 38, h - 12);
  Place(sourceList, 12, h - 50, w - 38, h - 28);
  Place(sourceEject, w - 34, h - 50, w - 12, h - 28);
  Place(destinationLabel, 12, h - 74, w - 38, h - 58);
  Place(destinationList, 12, h - 96, w - 38, h - 74);
  Place(destinationEject, w - 34, h - 96, w - 12, h - 74);
  Place(directCopy, 12, h - 120, c + 4, h - 104);
  Place(verify, c + 12, h - 120, w - 46, h - 104);
  pulse.Place({12, h - 144, 28, h - 128}, {36, h - 144, w - 38, h - 128});
  Place(ok, w - 216, 8, w - 116, 33);
  Place(cancel, w - 108, 8, w - 8, 33);
}

void CCopyDiscWindow::PaintDecoration(CCanvas& canvas) {
  const Rect c = GetContentRect();
  PaintButtonBand(canvas, c.right, c.bottom, kBandHeight);
}

bool CCopyDiscWindow::OnDialogKey(u32 key) { return OkCancelDialogKey(*this, key); }

void CCopyDiscWindow::OnDestroy() {
  if (drives) drives->RemoveListener(&poster);
  poster.window = nullptr;
  pulse.Stop();
}

void CCopyDiscWindow::OnUserMessage(u32 offset, uintptr_t wParam, intptr_t) {
  if (offset == kMsgMediaChanged) OnMediaChanged(static_cast<u32>(wParam));
}

void CCopyDiscWindow::SourceItem(i32 index, const wchar16** text, i32* length, i32*, u32*) {
  const i32 drive = DriveAt(sourceMap, index);
  if (drive < 0 || !drives) return;
  const CWideString& name = drives->GetName(static_cast<u32>(drive));
  *text = name.c_str();
  *length = name.GetLength();
}

void CCopyDiscWindow::DestinationItem(i32 index, const wchar16** text, i32* length, i32*, u32*) {
  const i32 drive = DriveAt(destMap, index);
  if (drive < 0 || !drives) return;
  const CWideString& name = drives->GetName(static_cast<u32>(drive));
  *text = name.c_str();
  *length = name.GetLength();
}

i32 CCopyDiscWindow::EntryOfStoredDrive(const wchar16* name, const CArray<u32>& map) {
  CWideString path;
  if (!CSettingsKey().ReadString(kCopyKey, name, &path)) return map.GetCount() ? 0 : -1;
  const i32 drive = drives->FindDriveByPath(path.c_str());
  for (u32 i = 0; i < map.GetCount(); ++i)
    if (static_cast<i32>(map[i]) == drive) return static_cast<i32>(i);
  return map.GetCount() ? 0 : -1;
}

void CCopyDiscWindow::FillDriveLists() {
  sourceMap.Clear();
  destMap.Clear();
  for (u32 i = 0; i < drives->GetDriveCount(); ++i) {
    CHeldDrive drive(drives->OpenDrive(i));
    if (!drive || (drive->stateFlags & kStateVolumeLocked)) continue;
    sourceMap.Add(i);
    if (drive->IsRecorder()) destMap.Add(i);
  }
  // The selections are set directly: no handler runs while the lists fill.
  sourceList.itemCount = sourceMap.GetCount();
  destinationList.itemCount = destMap.GetCount();
  sourceEntry = EntryOfStoredDrive(kSourceValue, sourceMap);
  destEntry = EntryOfStoredDrive(kDestinationValue, destMap);
  sourceList.selectedIndex = sourceEntry;
  destinationList.selectedIndex = destEntry;
  sourceList.Redraw();
  destinationList.Redraw();
  UpdateSource();
}

void CCopyDiscWindow::UpdateDirectCopy() {
  const bool offered = SourceDrive() != DestinationDrive();
  if (!offered && FocusedWidget() == &directCopy) SetFocusedWidget(nullptr);
  EnableControl(directCopy, offered);
}

void CCopyDiscWindow::UpdateSource() {
  UpdateDirectCopy();
  sourceKnown = false;
  // Nothing to copy onto: OK stays off whatever the source holds.
  if (DestinationDrive() < 0) return ShowStatusText(CWideString(PickText(kNoRecorderText)));
  const i32 index = SourceDrive();
  CHeldDrive drive(index >= 0 ? drives->OpenDrive(static_cast<u32>(index)) : nullptr);
  if (!drive) {
    // No source to read (none listed, or in use now): nothing can start.
    EnableControl(ok, false);
    return;
  }
  CopySource read;
  switch (ReadCopySource(*drive.Get(), &read)) {
    case SourceRead::kNoDisc: return ShowStatus(kTextInsertSourceDisc, nullptr);
    case SourceRead::kBlank: return ShowStatus(kTextSourceDiscEmpty, nullptr);
    case SourceRead::kNoDiscInfo:
    case SourceRead::kTrackError: return ShowStatus(kTextSourceDiscError, nullptr);
    case SourceRead::kOk: break;
  }
  source = read;
  sourceKnown = true;
  StopPulseAndAllow();
  EnableControl(destinationList, true);
  UpdateDestination(drive.Get());
}

void CCopyDiscWindow::UpdateDestination(CDrive* sourceDrive) {
  // One drive on both sides: the burn asks for the destination disc later.
  if (!sourceKnown || SourceDrive() == DestinationDrive()) return;
  const i32 index = DestinationDrive();
  CHeldDrive destination(index >= 0 ? drives->OpenDrive(static_cast<u32>(index)) : nullptr);
  CHeldDrive ownSource(sourceDrive ? nullptr : drives->OpenDrive(static_cast<u32>(SourceDrive())));
  if (!destination || (!sourceDrive && !ownSource)) return;
  const CopyVerdict v = JudgeCopyDestination(source, DescribeDestination(*destination.Get()));
  overburn = v.ok && v.overburn;
  if (v.ok) return StopPulseAndAllow();
  if (v.statusId) ShowStatus(v.statusId, v.medium);
}

// The lists' entries stay as they are: an open drop-down stays open.
void CCopyDiscWindow::OnMediaChanged(u32 driveIndex) {
  if (static_cast<i32>(driveIndex) == SourceDrive())
    UpdateSource();
  else if (static_cast<i32>(driveIndex) == DestinationDrive())
    UpdateDestination(nullptr);
}

void CCopyDiscWindow::ShowStatus(u32 textId, const wchar16* medium) { ShowStatusText(StatusText(textId, medium)); }

void CCopyDiscWindow::ShowStatusText(const CWideString& text) {
  EnableControl(ok, false);
  pulse.Show(text);
}

void CCopyDiscWindow::StopPulseAndAllow() {
  pulse.Stop();
  EnableControl(ok, true);
}

void CCopyDiscWindow::OnSourceChosen(i32 entry) {
  sourceEntry = entry;
  const i32 drive = SourceDrive();
  if (drive >= 0) CSettingsKey().WriteString(kCopyKey, kSourceValue, drives->drives[static_cast<u32>(drive)].devicePath.c_str());
  UpdateSource();
}

void CCopyDiscWindow::OnDestinationChosen(i32 entry) {
  destEntry = entry;
  const i32 drive = DestinationDrive();
  if (drive >= 0)
    CSettingsKey().WriteString(kCopyKey, kDestinationValue, drives->drives[static_cast<u32>(drive)].devicePath.c_str());
  if (SourceDrive() != DestinationDrive()) {
    UpdateDirectCopy();
    UpdateDestination(nullptr);
  } else {
    UpdateSource();
  }
}

void CCopyDiscWindow::OnDirectCopyChanged(bool checked) { CSettingsKey().WriteDword(kCopyKey, kDirectCopyValue, checked); }
void CCopyDiscWindow::OnVerifyChanged(bool checked) { CSettingsKey().WriteDword(kCopyKey, kVerifyValue, checked); }

void CCopyDiscWindow::EjectSource(u32) {
  if (SourceDrive() >= 0) EjectDisc(*drives, static_cast<u32>(SourceDrive()));
}

void CCopyDiscWindow::EjectDestination(u32) {
  if (DestinationDrive() >= 0) EjectDisc(*drives, static_cast<u32>(DestinationDrive()));
}

void CCopyDiscWindow::AcceptAndClose() {
  cancelled = 0;
  if (request) {
    CopyChoices choices;
    choices.source = SourceDrive();
    choices.destination = DestinationDrive();
    choices.verify = verify.IsChecked();
    choices.direct = directCopy.IsChecked() && DirectCopyOffered();
    FillCopyRequest(request, choices, source, overburn);
  }
  PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
}

void CCopyDiscWindow::CancelAndClose() {
  cancelled = 1;
  PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
}
