#include "app/job_windows/erase_window.h"

#include "runtime/settings.h"
#include "ui/windows/dialogs/modal_runner.h"

namespace {

constexpr u32 kTextSelectDevice = 64;
constexpr u32 kTextMethodToUse = 65;
constexpr Rect kUnplaced = {0, 0, 10, 10};

u32 StoredMethodId() {
  u32 id = 0;
  return CSettingsKey().ReadDword(u"", kEraseMethodValue, &id) ? id : 0;
}

}  // namespace

CEraseWindow::CEraseWindow() { title.Assign(GetUiText(kTextEraseTitle)); }

CEraseWindow::~CEraseWindow() {
  if (drives) drives->RemoveListener(&poster);
}

bool CEraseWindow::Open(CDriveManager& manager, const Point* centre) {
  drives = &manager;
  if (!PlaceAndCreate(&kSize, centre)) return false;
  FillDeviceList();
  poster.window = handle;
  drives->AddListener(&poster);
  return true;
}

u32 CEraseWindow::Run(CDriveManager& manager, const Point* centre) {
  RunModalWindow(*this, [&] { return Open(manager, centre); });
  return cancelled;
}

void CEraseWindow::CreateControls() {
  deviceLabel.textId = kTextSelectDevice;
  methodLabel.textId = kTextMethodToUse;
  deviceLabel.Create(kLabelFlags, &kUnplaced, this);
  methodLabel.Create(kLabelFlags, &kUnplaced, this);
  deviceList.itemSource = BindCallback<Self, &Self::DeviceItem, i32, const wchar16**, i32*, i32*, u32*>(this, this);
  methodList.itemSource = BindCallback<Self, &Self::MethodItem, i32, const wchar16**, i32*, i32*, u32*>(this, this);
  deviceList.changed = BindCallback<Self, &Self::OnDeviceChosen, i32>(this, this);
  methodList.changed = BindCallback<Self, &Self::OnMethodChosen, i32>(this, this);
  // This window's popups answer Enter and Escape only: their lists do not
  // step or scroll with the keys.
  deviceList.popupKeys = methodList.popupKeys = false;
  deviceList.Create(kDropDownFlags | kFlagDisabled, &kUnplaced, this);
  methodList.Create(kDropDownFlags | kFlagDisabled, &kUnplaced, this);
  ok.textId = 0;
  ok.style |= kButtonDefault;
  ok.click = BindCallback<Self, &Self::AcceptAndClose>(this, this);
  cancel.textId = 1;
  cancel.click = BindCallback<Self, &Self::CancelAndClose>(this, this);
  ok.Create(kButtonFlags | kFlagDisabled, &kUnplaced, this);
  cancel.Create(kButtonFlags, &kUnplaced, this);
}

void CEraseWindow::LayoutContent(i32 w, i32) {
  Place(cancel, w - 112, 12, w - 12, 37);
  Place(ok, w - 220, 12, w - 120, 37);
  Place(methodList, 12, 61, w - 12, 83);
  Place(methodLabel, 12, 83, w - 12, 99);
  Place(deviceList, 12, 107, w - 12, 129);
  Place(deviceLabel, 12, 129, w - 12, 145);
}

void CEraseWindow::PaintDecoration(CCanvas& canvas) {
  const Rect c = GetContentRect();
  PaintButtonBand(canvas, c.right, c.bottom, kBandHeight);
}

bool CEraseWindow::OnDialogKey(u32 key) { return OkCancelDialogKey(*this, key); }

void CEraseWindow::OnDestroy() {
  if (drives) drives->RemoveListener(&poster);
  poster.window = nullptr;
}

void CEraseWindow::OnUserMessage(u32 offset, uintptr_t wParam, intptr_t) {
  if (offset != kMsgMediaChanged) return;
  // An open drop-down would show entries about to change: it closes first
  // and the change is looked at again after it.
  if ((deviceList.state | methodList.state) & CDropDownList<Self>::kOpen) {
    HWND popup = GetActiveWindow();
    if (popup && popup != static_cast<HWND>(handle)) PostMessageW(popup, WM_CLOSE, 0, 0);
    PostMessageW(static_cast<HWND>(handle), WM_USER + kMsgMediaChanged, wParam, 0);
    return;
  }
  FillDeviceList();
}

void CEraseWindow::DeviceItem(i32 index, const wchar16** text, i32* length, i32*, u32*) {
  if (index < 0 || static_cast<u32>(index) >= driveMap.GetCount() || !drives) return;
  const CWideString& name = drives->GetName(driveMap[static_cast<u32>(index)]);
  *text = name.c_str();
  *length = name.GetLength();
}

void CEraseWindow::MethodItem(i32 index, const wchar16** text, i32* length, i32*, u32*) {
  if (index < 0 || static_cast<u32>(index) >= methodCount) return;
  const UiString* s = GetUiString(methodIds[index]);
  *text = s->text;
  *length = static_cast<i32>(s->length);
}

void CEraseWindow::FillDeviceList() {
  if (drive == -1) drive = static_cast<i32>(drives->GetSelected());
  driveMap.Clear();
  i32 noted = -1;
  for (u32 i = 0; i < drives->GetDriveCount(); ++i) {
    CHeldDrive held(drives->OpenDrive(i));
    if (!held || (held->stateFlags & kStateVolumeLocked) || !held->IsRewritableMedia()) continue;
    if (static_cast<i32>(i) == drive) noted = static_cast<i32>(driveMap.GetCount());
    driveMap.Add(i);
  }
  if (!driveMap.GetCount()) {
    drive = -1;
    deviceList.itemCount = 0;
    deviceList.selectedIndex = -1;
    EnableControl(deviceList, false);
    SetNoMethods();
    deviceList.Redraw();
    return;
  }
  const i32 entry = noted >= 0 ? noted : 0;
  deviceList.itemCount = driveMap.GetCount();
  deviceList.selectedIndex = entry;
  drive = static_cast<i32>(driveMap[static_cast<u32>(entry)]);
  EnableControl(deviceList, true);
  deviceList.Redraw();
  FillMethodList();
}

void CEraseWindow::SetNoMethods() {
  methodCount = 0;
  methodList.itemCount = 0;
  methodList.selectedIndex = -1;
  method = -1;
  EnableControl(methodList, false);
  EnableControl(ok, false);
  methodList.Redraw();
}

void CEraseWindow::FillMethodList() {
  SelectedMethod();
  if (drive == -1) return;
  CHeldDrive held(drives->OpenDrive(static_cast<u32>(drive)));
  if (!held) return;
  const i32 before = methodList.selectedIndex;
  const u32 keepId = before >= 0 && static_cast<u32>(before) < methodCount ? methodIds[before] : 0;
  u32 ids[kMaxEraseMethods] = {};
  const u32 n = ListEraseMethods(*held.Get(), ids);
  if (!n) return SetNoMethods();
  for (u32 i = 0; i < n; ++i) methodIds[i] = ids[i];
  methodCount = n;
  methodList.itemCount = n;
  // The method chosen before stays when the new disc offers it; else the
  // last one used, else the first: the selection always names an entry.
  methodList.selectedIndex = ChooseMethodEntry(methodIds, n, keepId, StoredMethodId());
  EnableControl(methodList, true);
  EnableControl(ok, true);
  methodList.Redraw();
  SelectedMethod();
}

void CEraseWindow::SelectedMethod() {
  method = -1;
  if (deviceList.ItemCount() == 0) {
    drive = -1;
    return;
  }
  const i32 entry = methodList.selectedIndex;
  if (entry >= 0 && static_cast<u32>(entry) < methodCount) method = EraseMethodCode(methodIds[entry]);
}

void CEraseWindow::OnDeviceChosen(i32 entry) {
  if (entry < 0 || static_cast<u32>(entry) >= driveMap.GetCount()) return;
  drive = static_cast<i32>(driveMap[static_cast<u32>(entry)]);
  FillMethodList();
}

void CEraseWindow::OnMethodChosen(i32 entry) {
  if (entry < 0 || static_cast<u32>(entry) >= methodCount) return;
  CSettingsKey().WriteDword(u"", kEraseMethodValue, methodIds[entry]);
  SelectedMethod();
}

void CEraseWindow::AcceptAndClose() {
  SelectedMethod();
  // Nothing to start without a drive and a method the job knows.
  if (drive < 0 || method < 0) return;
  cancelled = 0;
  PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
}

void CEraseWindow::CancelAndClose() {
  cancelled = 1;
  PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
}
