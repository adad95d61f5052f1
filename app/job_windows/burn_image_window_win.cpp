#include "app/job_windows/burn_image_window.h"
#include "app/job_windows/image_browse.h"

#include "app/commands/eject_disc.h"
#include "app/job_windows/burn_image_request.h"
#include "app/job_windows/burn_image_window_figures.h"
#include "app/job_windows/job_window_parts.h"
#include "render/skin_ids.h"
#include "render/skin_resource.h"
#include "runtime/clock.h"
#include "runtime/file.h"
#include "runtime/ui_strings.h"
#include "ui/windows/dialogs/message_box.h"
#include "ui/windows/dialogs/modal_runner.h"
#include "ui/windows/frame/window_placement.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

constexpr u32 kTextOk = 0, kTextCancel = 1, kTextSelectDevice = 47, kTextSelectImage = 78;
constexpr u32 kTextBurnSpeed = 79, kTextBurnMethod = 80, kTextMode2 = 81, kTextFinalize = 82, kTextVerify = 83;
constexpr u32 kTextBufe = 84, kTextInformation = 85, kTextMaximum = 86, kTextAutoSpeed = 87;
constexpr u32 kTextExtraSize = 101, kTextTrackAtOnce = 108, kTextDiscAtOnce = 109;
constexpr u32 kTextOverburnWarning = 143, kTextWarningBang = 8;
constexpr u32 kOverburnFlags = 0x2010004;    // Yes/No, warning, "do not ask again"
constexpr u32 kAnswerDoNotAskAgain = 0x10000;
constexpr u32 kBandHeight = 48;
constexpr u32 kBandColour = 0xFFE0E0E0u, kBandLine = 0xFFC0C0C0u;
constexpr u32 kButtonCreate = 0x2000E, kCheckCreate = 0x2000E, kLabelCreate = 0xE;
constexpr u32 kPulseStack = 16384;

// A drive opened for a look, given back on every way out of the scope.
class CDriveLook {
 public:
  CDriveLook(CDriveManager& drives, u32 index) : drive_(drives.OpenDrive(index)) {}
  ~CDriveLook() { ReleaseDrive(&drive_); }
  CDriveLook(const CDriveLook&) = delete;
  CDriveLook& operator=(const CDriveLook&) = delete;
  CDrive* Get() const { return drive_; }

 private:
  CDrive* drive_;
};

u32 AskOverburnWithBox() {
  return ShowMessageBox(MessageText::Id(kTextOverburnWarning), MessageText::Id(kTextWarningBang), kOverburnFlags);
}

template <class C>
void Apply(C& control, Change change) {
  if (change != Change::kKeep) EnableControl(control, change == Change::kEnable);
}

void AppendSpeedText(CWideString* out, u32 speed, u32 unit) {
  out->AppendUInt(speed / unit);
  out->Append(u"x - ");
  out->AppendUInt(speed);
  out->Append(u" KB/s");
}

}  // namespace

// ---- The drive manager's listener ----------------------------------------

void CBurnMediaPoster::MediaArrived(u32 index) {
  if (window) PostMessageW(static_cast<HWND>(window), WM_USER + kMsgBurnMediaChanged, index, 0);
}
void CBurnMediaPoster::MediaRemoved(u32 index) { MediaArrived(index); }

void ListFreeRecorders(CDriveManager& drives, CArray<u32>* driveMap) {
  driveMap->Clear();
  for (u32 i = 0; i < drives.GetDriveCount(); ++i) {
    CDriveLook look(drives, i);
    CDrive* drive = look.Get();
    if (drive && !(drive->stateFlags & kStateVolumeLocked) && drive->IsRecorder()) driveMap->Add(i);
  }
}

void ListWriteSpeeds(CDriveManager& drives, u32 index, CArray<CWideString>* texts, CArray<u32>* values) {
  texts->Clear();
  values->Clear();
  CDriveLook look(drives, index);
  CDrive* drive = look.Get();
  if (!drive) return;
  u32 speeds[kMaxWriteSpeeds];
  const u32 count = drive->GetWriteSpeeds(speeds, kMaxWriteSpeeds);
  const u32 unit = drive->GetSpeedUnit();
  if (unit == 0) return;
  for (u32 i = 0; i < count && i < kMaxWriteSpeeds; ++i) {
    CWideString* text = texts->AppendNew();
    if (!text || !values->Add(speeds[i])) return;
    AppendSpeedText(text, speeds[i], unit);
  }
}

// ---- Construction --------------------------------------------------------

CBurnImageWindow::CBurnImageWindow(CDriveManager& d, BurnRequest* r, bool image)
    : drives(d), request(r), imageMode(image) {
  askOverburn = AskOverburnWithBox;
}

CBurnImageWindow::~CBurnImageWindow() {
  // The runner took the listener only for a window that was created; an
  // object that goes first takes it away too.
  drives.RemoveListener(&poster);
  StopPulse();
  CBitmap::Destroy(watermark);
}

void CBurnImageWindow::CreateControls() {
  title.Assign(GetUiText(kTextSelectDevice));
  if (CFont* base = GetDefaultFont()) {
    bigFont.Assign(AcquireFont(base->faceName.c_str(), base->size + 1, false, base->italic != 0));
    base->Release();
  }
  watermark = LoadSkinBitmap(IDR_SKIN_WATERMARK);
  LoadSkinStrip(IDR_SKIN_PULSE, 1, &pulsePicture.image);

  cancel.textId = kTextCancel;
  cancel.click = BindCallback<Self, &Self::CancelAndClose>(this, this);
  cancel.Create(kButtonCreate, nullptr, this);
  ok.textId = kTextOk;
  ok.style |= kButtonDefault;
  ok.click = BindCallback<Self, &Self::AcceptAndClose>(this, this);
  ok.Create(kButtonCreate, nullptr, this);
  ok.Enable(false);
  pulsePicture.Create(0xA, nullptr, this);
  statusLabel.font = bigFont.Get();
  statusLabel.Create(0xA, nullptr, this);
  infoHeading.textId = kTextInformation;
  infoHeading.font = bigFont.Get();
  infoHeading.decoration = 0x2;
  infoHeading.lineColour = ThemeAccentColor();
  infoHeading.Create(kLabelCreate, nullptr, this);

  extraSizeBox.textId = kTextExtraSize;
  extraSizeBox.style |= kCheckTextRight;
  extraSizeBox.change = BindCallback<Self, &Self::OnExtraSizeChanged, bool>(this, this);
  // Drawn over the intro panel, it stays hidden while the panel is whole.
  extraSizeBox.Create(imageMode ? kCheckCreate & ~kFlagVisible : kCheckCreate, nullptr, this);
  extraSizeBox.Enable(false);
  struct Box {
    CCheckBox<Self>* box;
    u32 text;
    WidgetCallback<bool> handler;
  } boxes[] = {
      {&finalizeBox, kTextFinalize, BindCallback<Self, &Self::OnFinalizeChanged, bool>(this, this)},
      {&bufeBox, kTextBufe, BindCallback<Self, &Self::OnBufeChanged, bool>(this, this)},
      {&mode2Box, kTextMode2, BindCallback<Self, &Self::OnMode2Changed, bool>(this, this)},
      {&verifyBox, kTextVerify, BindCallback<Self, &Self::OnVerifyChanged, bool>(this, this)},
  };
  for (Box& b : boxes) {
    b.box->textId = static_cast<i32>(b.text);
    b.box->style |= kCheckTextRight;
    b.box->change = b.handler;
    b.box->Create(kCheckCreate, nullptr, this);
  }
  speedList.itemSource = BindCallback<Self, &Self::SpeedItem, i32, const wchar16**, i32*, i32*, u32*>(this, this);
  speedList.Create(kDropDownFlags, nullptr, this);
  methodList.AddItem(GetUiText(kTextTrackAtOnce));
  methodList.AddItem(GetUiText(kTextDiscAtOnce));
  methodList.Create(kDropDownFlags, nullptr, this);
  speedLabel.textId = kTextBurnSpeed;
  speedLabel.Create(kLabelCreate, nullptr, this);
  methodLabel.textId = kTextBurnMethod;
  methodLabel.Create(kLabelCreate, nullptr, this);
  deviceList.itemSource = BindCallback<Self, &Self::DeviceItem, i32, const wchar16**, i32*, i32*, u32*>(this, this);
  deviceList.changed = BindCallback<Self, &Self::OnDriveChanged, i32>(this, this);
  deviceList.Create(kDropDownFlags, nullptr, this);
  CreateEjectBar(ejectButton, ejectMenu_, nullptr, BindCallback<Self, &Self::EjectDrive, u32>(this, this), this);
  deviceLabel.textId = kTextSelectDevice;
  deviceLabel.Create(kLabelCreate, nullptr, this);
  if (imageMode) {
    // See-through: while it fades, a redraw of the panel repaints what
    // lies under it and the options over it.
    introPanel.bottomColour = introPanel.topColour = 0xFFFFFFFFu;
    introPanel.bitmap = watermark;
    introPanel.bitmapOpacity = 0.45;
    introPanel.Create(kFlagVisible | kFlagSeeThrough, nullptr, this);
    imagePath.change = BindCallback<Self, &Self::OnImagePathChanged>(this, this);
    imagePath.Create(kTextEditFlags, nullptr, this);
    browse.text.Assign(u"...");
    browse.click = BindCallback<Self, &Self::BrowseForImage>(this, this);
    browse.Create(kButtonCreate, nullptr, this);
    imageLabel.textId = kTextSelectImage;
    imageLabel.Create(kLabelCreate, nullptr, this);
  }

  // The stored choices.
  BurnImageSettings s;
  ReadBurnImageSettings(settingsKey, (request->options & kOptionAudioProject) != 0, &s);
  mode2Box.SetChecked(s.mode2Form1);
  mode2Box.Enable(s.mode2Enabled);
  finalizeBox.SetChecked(s.finalize);
  finalizeBox.Enable(s.finalizeEnabled);
  verifyBox.SetChecked(s.verify);
  bufeBox.SetChecked(s.bufe);
  methodList.SetSelection(s.method);
  EnableControl(methodList, s.methodEnabled);
  methodList.changed = BindCallback<Self, &Self::OnMethodChanged, i32>(this, this);

  FillDriveList();
  SetOptionsVisible(!imageMode);
  // The image path is what is asked first: typing goes there.
  if (imageMode) imagePath.SetFocus();
}

void CBurnImageWindow::LayoutContent(i32 w, i32 h) {
  const i32 col1Right = (w - 20) / 2 - 8, col2Left = (w - 20) / 2 + 8;
  cancel.SetBounds(w - 112, 12, 100, 24);
  ok.SetBounds(w - 220, 12, 100, 24);
  pulsePicture.SetBounds(12, 52, 16, 16);
  statusLabel.SetBounds(36, 52, w - 44, 16);
  infoHeading.SetBounds(12, 120, w - 20, 16);
  extraSizeBox.SetBounds(12, 144, col1Right - 12, 16);
  finalizeBox.SetBounds(12, 168, col1Right - 12, 16);
  bufeBox.SetBounds(col2Left, 168, w - 8 - col2Left, 16);
  mode2Box.SetBounds(12, 192, col1Right - 12, 16);
  verifyBox.SetBounds(col2Left, 192, w - 8 - col2Left, 16);
  speedList.SetBounds(12, 216, col1Right - 12, 22);
  methodList.SetBounds(col2Left, 216, w - 8 - col2Left, 22);
  speedLabel.SetBounds(12, 238, col1Right - 12, 16);
  methodLabel.SetBounds(col2Left, 238, w - 8 - col2Left, 16);
  deviceList.SetBounds(12, 262, w - 46, 22);
  ejectButton.SetBounds(w - 30, 262, 22, 22);
  deviceLabel.SetBounds(12, 284, w - 20, 16);
  if (imageMode) {
    introPanel.SetBounds(0, 49, w, 259);
    introPanel.bitmapX = watermark ? w - 48 - static_cast<i32>(watermark->width) : 0;
    introPanel.bitmapY = 12;
    imagePath.SetBounds(12, 308, w - 60, 22);
    browse.SetBounds(w - 40, 308, 28, 22);
    imageLabel.SetBounds(12, 330, w - 24, 16);
  }
  (void)h;
}

// White client, the button band along the bottom with its top line, the
// watermark above the band, and the image's figures above the heading.
void CBurnImageWindow::PaintDecoration(CCanvas& canvas) {
  const Rect c = GetContentRect();
  canvas.FillRect(0, 0, c.right, c.bottom, 0xFFFFFFFFu);
  canvas.FillRect(0, 0, c.right, kBandHeight, kBandColour);
  canvas.FillRect(0, kBandHeight - 1, c.right, kBandHeight, kBandLine);
  if (watermark) {
    const i32 w = static_cast<i32>(watermark->width), h = static_cast<i32>(watermark->height);
    const BitmapView view = {w, h, w, watermark->pixels};
    canvas.DrawBitmap(c.right - 12 - w, kBandHeight + 12, view, 0.45);
  }
  if (infoHeading.IsVisible()) PaintImageInfo(canvas);
}

// Under the heading, as the section it heads: size and sectors, then label
// and file systems (the options above the heading stay clear).
void CBurnImageWindow::PaintImageInfo(CCanvas& canvas) {
  CFont* normal = canvas.font;
  if (!normal) return;
  normal->AddRef();
  CFont* big = bigFont.Get() ? bigFont.Get() : normal;
  const BurnImageFigures figures = {&sizeText, &sectorsText, &labelText, &fsText};
  PaintBurnImageFigures(canvas, big, normal, GetContentRect().right, infoHeading.y - 20, figures);
  normal->Release();
}

bool CBurnImageWindow::OnDialogKey(u32 key) {
  if (key == 13) return ok.ActivateDefault();
  if (key != 27) return false;
  CancelAndClose();
  return true;
}

void CBurnImageWindow::OnDestroy() {
  drives.RemoveListener(&poster);
  StopPulse();
  panelThread_.Join();
}

void CBurnImageWindow::OnUserMessage(u32 offset, uintptr_t wParam, intptr_t) {
  if (offset == kMsgBurnMediaChanged) OnMediaChanged(static_cast<u32>(wParam));
  if (offset == kMsgPanelDone) OnPanelDone(static_cast<u32>(wParam));
}

// ---- Intro panel ---------------------------------------------------------

void CBurnImageWindow::StartPanelAnimation(bool show) {
  panelThread_.Join();
  panelReturning_ = show;
  ++panelNumber_;
  {
    CLockGuard guard(lock);
    const u32 alpha = show ? 0u : 0xFF000000u;
    introPanel.bottomColour = alpha | 0x00FFFFFFu;
    introPanel.topColour = alpha | 0x00FFFFFFu;
    introPanel.bitmapOpacity = show ? 0.0 : 0.45;
  }
  if (!show) SetCoveredVisible(true);
  introPanel.ModifyFlags(0, kFlagVisible);
  introPanel.Redraw();
  if (!panelThread_.Start([](void* w) { return static_cast<CBurnImageWindow*>(w)->PanelThread(); }, this,
                          kPulseStack))
    OnPanelDone(panelNumber_);
}

// Two rounds of 11 steps 20 ms apart: the upper colour's alpha, then the
// lower one's, move by 1/12 a step while the watermark's opacity moves by
// 1/24 (out when the panel goes, in when it comes back). The end is posted:
// what shows afterwards is settled on the window's thread.
u32 CBurnImageWindow::PanelThread() {
  const bool in = panelReturning_;
  const u32 number = panelNumber_;
  const double sign = in ? 1.0 : -1.0;
  double s = in ? 0.0 : 1.0;
  for (int round = 0; round < 2; ++round) {
    double a = in ? 0.0 : 1.0;
    for (int step = 0; step < 11; ++step) {
      Clock().Sleep(20);
      a += sign / 12;
      s += sign / 24;
      {
        CLockGuard guard(lock);
        u32& colour = round == 0 ? introPanel.topColour : introPanel.bottomColour;
        colour = (colour & 0x00FFFFFFu) | (static_cast<u32>(a * 255) << 24);
        introPanel.bitmapOpacity = 0.45 * s;
      }
      introPanel.Redraw();
    }
    CLockGuard guard(lock);
    u32& colour = round == 0 ? introPanel.topColour : introPanel.bottomColour;
    colour = (colour & 0x00FFFFFFu) | (in ? 0xFF000000u : 0u);
  }
  if (handle) PostMessageW(static_cast<HWND>(handle), WM_USER + kMsgPanelDone, number, 0);
  return 0;
}

void CBurnImageWindow::OnPanelDone(u32 number) {
  if (number != panelNumber_) return;  // a later fade has begun
  panelThread_.Join();
  if (panelReturning_) {
    {
      CLockGuard guard(lock);
      introPanel.bitmapOpacity = 0.45;
      introPanel.bottomColour = introPanel.topColour = 0xFFFFFFFFu;
    }
    SetCoveredVisible(false);
    introPanel.Redraw();
  } else {
    introPanel.ModifyFlags(kFlagVisible, 0);
  }
}

// ---- Lists ---------------------------------------------------------------

void CBurnImageWindow::DeviceItem(i32 index, const wchar16** text, i32* length, i32*, u32*) {
  if (index < 0 || static_cast<u32>(index) >= driveMap.GetCount()) return;
  const CWideString& name = drives.GetName(driveMap[static_cast<u32>(index)]);
  *text = name.c_str();
  *length = name.GetLength();
}

void CBurnImageWindow::SpeedItem(i32 index, const wchar16** text, i32* length, i32*, u32* value) {
  if (index == 0 || index == 1) {
    const UiString* s = GetUiString(index == 0 ? kTextAutoSpeed : kTextMaximum);
    *text = s->text;
    *length = static_cast<i32>(s->length);
    return;
  }
  const u32 at = static_cast<u32>(index - 2);
  if (index < 2 || at >= speedTexts.GetCount()) return;
  *text = speedTexts[at].c_str();
  *length = speedTexts[at].GetLength();
  *value = speedValues[at];
}

// The recorder the user chose is shown whenever it is listed; while it is
// not (or before the user chose one) the main window's drive is, else the
// first recorder. What is shown is what a burn accepted then goes to.
void CBurnImageWindow::FillDriveList() {
  const i32 shown = ChosenDrive();
  ListFreeRecorders(drives, &driveMap);
  deviceList.itemCount = driveMap.GetCount();
  i32 entry = EntryOfDrive(userDrive_);
  if (entry < 0) entry = EntryOfDrive(static_cast<i32>(drives.GetSelected()));
  if (entry < 0 && driveMap.GetCount()) entry = 0;
  deviceList.selectedIndex = entry;
  deviceList.Redraw();
  // Another recorder shown: its speeds and its state. The same one, perhaps
  // at another place in the list, keeps them.
  if (entry < 0)
    ok.Enable(false);
  else if (static_cast<i32>(driveMap[static_cast<u32>(entry)]) != shown)
    ShowDrive(entry);
}

i32 CBurnImageWindow::ChosenDrive() const {
  const i32 entry = deviceList.selectedIndex;
  if (entry < 0 || static_cast<u32>(entry) >= driveMap.GetCount()) return -1;
  return static_cast<i32>(driveMap[static_cast<u32>(entry)]);
}

i32 CBurnImageWindow::EntryOfDrive(i32 driveIndex) const {
  for (u32 i = 0; driveIndex >= 0 && i < driveMap.GetCount(); ++i)
    if (driveMap[i] == static_cast<u32>(driveIndex)) return static_cast<i32>(i);
  return -1;
}

void CBurnImageWindow::FillSpeedList(i32 entry) {
  speedTexts.Clear();
  speedValues.Clear();
  if (entry >= 0 && static_cast<u32>(entry) < driveMap.GetCount())
    ListWriteSpeeds(drives, driveMap[static_cast<u32>(entry)], &speedTexts, &speedValues);
  speedList.itemCount = 2 + speedTexts.GetCount();
  speedList.selectedIndex = -1;
  speedList.SetSelection(0);
}

// The user's choice in the list: remembered apart from what is shown.
void CBurnImageWindow::OnDriveChanged(i32 entry) {
  userDrive_ = ChosenDrive();
  ShowDrive(entry);
}

void CBurnImageWindow::ShowDrive(i32 entry) {
  FillSpeedList(entry);
  UpdateState(false);
}

void CBurnImageWindow::OnMediaChanged(u32 driveIndex) {
  const bool chosenChanged = ChosenDrive() == static_cast<i32>(driveIndex);
  FillDriveList();
  // A new medium in the chosen recorder: the speeds it offers for it.
  if (chosenChanged && ChosenDrive() == static_cast<i32>(driveIndex)) FillSpeedList(deviceList.selectedIndex);
  UpdateState(true);
}

// ---- The state of the window ----------------------------------------------

void CBurnImageWindow::UpdateState(bool reloadImage) {
  // The image's figures follow its path whatever the drives are.
  if (imageMode) {
    // Without an image there is nothing to burn, whatever the medium says.
    if (imagePath.Text().GetLength() == 0 || !FileExists(imagePath.Text().c_str())) {
      ok.Enable(false);
      return;
    }
    if (reloadImage) LoadImageInfo();
    if (imageTooLarge) {
      ok.Enable(false);
      ShowStatus(kTextNotEnoughSpace);
      return;
    }
    // Less than a sector (or nothing readable): nothing to burn.
    if (imageSectors == 0) {
      ok.Enable(false);
      StopPulse();
      return;
    }
  }
  const i32 entry = deviceList.selectedIndex;
  if (driveMap.GetCount() == 0 || entry < 0 || static_cast<u32>(entry) >= driveMap.GetCount()) return;
  BurnStateInput in = {};
  {
    CDriveLook look(drives, driveMap[static_cast<u32>(entry)]);
    if (!look.Get()) return;
    in.medium = ReadBurnMediumFacts(*look.Get());
  }
  in.audioLayout = request->projectSource && request->cueSheets.GetCount() > 0;
  in.audioRequest = (request->options & kOptionAudioProject) != 0;
  in.imageSectors = imageSectors;
  in.extraSize = extraSize;
  capacity = in.medium.capacity;
  Apply(DecideBurnState(in));
}

void CBurnImageWindow::Apply(const BurnStateDecision& d) {
  const bool was = SuspendRedraw(true);
  if (d.clearExtraSize) ClearExtraSize();
  ::Apply(ok, d.ok);
  ::Apply(mode2Box, d.mode2Form1);
  ::Apply(methodList, d.method);
  ::Apply(finalizeBox, d.finalize);
  ::Apply(extraSizeBox, d.extraSize);
  if (d.selectSavedMethod && savedMethod >= 0) methodList.SetSelection(savedMethod);
  SuspendRedraw(was);
  if (d.settled) {
    if (d.pulse) {
      ShowStatus(d.status);
    } else {
      StopPulse();
    }
  }
}

void CBurnImageWindow::ClearExtraSize() {
  extraSize = false;
  extraSizeBox.SetChecked(false);
  if (request->options & kOptionAudioProject) return;
  if (savedMethod >= 0) methodList.SetSelection(savedMethod);
  EnableControl(methodList, true);
}

void CBurnImageWindow::LoadImageInfo() {
  BurnImageInfo info;
  if (!ReadBurnImageInfo(imagePath.Text().c_str(), &info)) {
    // A file that cannot be read as an image has no figures; nothing of
    // the previous one's stays.
    imageSectors = 0;
    imageTooLarge = false;
    sizeText.Assign(u"");
    sectorsText.Assign(u"");
    labelText.Assign(u"");
    fsText.Assign(u"");
    return;
  }
  u32 sectors = 0;
  imageTooLarge = !ImageSectorsFit(info.bytes, &sectors);
  imageSectors = sectors;
  FormatImageSize(info.bytes, &sizeText);
  sectorsText.Assign(u"");
  AppendGrouped(&sectorsText, info.sectors);
  labelText.Assign(info.label);
  fsText.Assign(info.fileSystems);
}

void CBurnImageWindow::OnExtraSizeChanged(bool checked) {
  extraSize = checked;
  const bool audio = (request->options & kOptionAudioProject) != 0;
  if (checked) {
    if (ReadAskForOverburn(settingsKey)) {
      const u32 answer = askOverburn ? askOverburn() : kAnswerNo;
      if (answer & kAnswerDoNotAskAgain) StopAskingForOverburn(settingsKey);
      // Only an explicit Yes goes on.
      if ((answer & 0xFFFF) != kAnswerYes) {
        extraSize = false;
        extraSizeBox.SetChecked(false);
        return;
      }
    }
    ok.Enable(true);
    if (!audio) {
      CDriveLook look(drives, deviceList.selectedIndex >= 0 ? driveMap[static_cast<u32>(deviceList.selectedIndex)] : 0);
      const bool dvdPlus = look.Get() && look.Get()->currentProfile && (look.Get()->mediaFlags2 & kMedia2DvdPlus);
      if (dvdPlus) {
        savedMethod = -1;
      } else {
        savedMethod = methodList.selectedIndex;
        methodList.SetSelection(1);
      }
      EnableControl(methodList, false);
    }
  } else {
    ok.Enable(false);
    if (!audio) {
      if (savedMethod != -1) methodList.SetSelection(savedMethod);
      EnableControl(methodList, true);
    }
  }
  UpdateState(false);
}

void CBurnImageWindow::OnMethodChanged(i32 entry) {
  WriteBurnMethod(settingsKey, entry);
  if (entry == 0) {
    BurnImageSettings s;
    ReadBurnImageSettings(settingsKey, false, &s);
    finalizeBox.SetChecked(s.finalize);
  }
  UpdateState(false);
}

void CBurnImageWindow::OnImagePathChanged() {
  const bool exists = imagePath.Text().GetLength() > 0 && FileExists(imagePath.Text().c_str());
  if (!panelGone && exists) {
    panelGone = 1;
    UpdateState(true);
    StartPanelAnimation(false);
  } else if (exists) {
    LoadImageInfo();
    UpdateState(false);
  } else if (panelGone) {
    panelGone = 0;
    ok.Enable(false);
    StopPulse();
    StartPanelAnimation(true);
  }
  Repaint();
}

void CBurnImageWindow::SetOptionsVisible(bool show) {
  const bool was = SuspendRedraw(true);
  const u32 clear = show ? 0 : kFlagVisible, set = show ? kFlagVisible : 0;
  deviceList.ModifyFlags(clear, set);
  ejectButton.ModifyFlags(clear, set);
  deviceLabel.ModifyFlags(clear, set);
  speedLabel.ModifyFlags(clear, set);
  speedList.ModifyFlags(clear, set);
  methodLabel.ModifyFlags(clear, set);
  methodList.ModifyFlags(clear, set);
  finalizeBox.ModifyFlags(clear, set);
  bufeBox.ModifyFlags(clear, set);
  mode2Box.ModifyFlags(clear, set);
  verifyBox.ModifyFlags(clear, set);
  infoHeading.ModifyFlags(clear, set);
  SuspendRedraw(was);
}

// What the whole intro panel covers: the options and "Activate extra size",
// which lies over the panel as they do.
void CBurnImageWindow::SetCoveredVisible(bool show) {
  const bool was = SuspendRedraw(true);
  SetOptionsVisible(show);
  extraSizeBox.ModifyFlags(show ? 0 : kFlagVisible, show ? kFlagVisible : 0);
  SuspendRedraw(was);
}

// ---- Accepting -----------------------------------------------------------

void CBurnImageWindow::AcceptAndClose() {
  if (ok.flags & kFlagDisabled) return;
  BurnWindowChoices c = {};
  c.driveEntry = deviceList.selectedIndex;
  c.driveMap = &driveMap;
  c.speedEntry = speedList.selectedIndex;
  c.speedValues = &speedValues;
  c.methodEntry = methodList.selectedIndex;
  c.finalize = finalizeBox.IsChecked();
  c.bufe = bufeBox.IsChecked();
  c.verify = verifyBox.IsChecked();
  c.mode2Checked = mode2Box.IsChecked();
  c.mode2Enabled = !(mode2Box.flags & kFlagDisabled);
  c.extraSize = extraSize;
  c.imagePath = imageMode ? imagePath.Text().c_str() : nullptr;
  c.imageSectors = imageSectors;
  if (!FillBurnRequest(request, c)) return;
  if (request->method == kMethodDiscAtOnce && request->cueSheets.GetCount() == 0 && !request->projectSource)
    AddImageCueSheet(request);
  cancelled = 0;
  PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
}

void CBurnImageWindow::CancelAndClose() {
  cancelled = 1;
  PostMessageW(static_cast<HWND>(handle), WM_CLOSE, 0, 0);
}

void CBurnImageWindow::EjectDrive(u32) {
  const i32 entry = deviceList.selectedIndex;
  if (entry < 0 || static_cast<u32>(entry) >= driveMap.GetCount()) return;
  ::EjectDisc(drives, driveMap[static_cast<u32>(entry)]);
}

// The program's browse dialog picks the image; the path goes to the edit,
// which examines it as if typed and takes the focus to show it. A dialog
// closed without a choice leaves the focus on "..." where it found it.
void CBurnImageWindow::BrowseForImage() {
  CWideString chosen;
  if (!::BrowseForImage(&chosen)) return;
  imagePath.SetText(chosen.c_str());
  imagePath.SetFocus();
}

// ---- Pulse ---------------------------------------------------------------

void CBurnImageWindow::ShowStatus(u32 textId) {
  {
    CLockGuard guard(lock);
    statusLabel.textId = static_cast<i32>(textId);
  }
  statusLabel.LayoutText();
  StartPulse();
}

void CBurnImageWindow::StartPulse() {
  if (pulseStop_.IsCreated()) {
    statusLabel.Redraw();
    return;
  }
  if (!pulseStop_.Create(false, false)) return;
  statusLabel.ModifyFlags(0, kFlagVisible);
  pulsePicture.ModifyFlags(0, kFlagVisible);
  if (!pulseThread_.Start([](void* w) { return static_cast<CBurnImageWindow*>(w)->PulseThread(); }, this,
                          kPulseStack)) {
    pulseStop_.Close();
  }
}

void CBurnImageWindow::StopPulse() {
  if (pulseStop_.IsCreated()) {
    pulseStop_.Set();
    pulseThread_.Join();
    pulseStop_.Close();
  }
  statusLabel.ModifyFlags(kFlagVisible, 0);
  pulsePicture.ModifyFlags(kFlagVisible, 0);
}

// Fades the status line and its picture in over 12 steps of 50 ms, holds
// 500 ms, fades out, and again, until the stop event is set.
u32 CBurnImageWindow::PulseThread() {
  const u32 base = ThemeTextColor() & 0x00FFFFFFu;
  i32 step = 0, direction = 1;
  for (;;) {
    const double a = step / 12.0;
    {
      CLockGuard guard(lock);
      statusLabel.textColour = base | (static_cast<u32>(a * 255) << 24);
      pulsePicture.opacity = a;
    }
    statusLabel.Redraw();
    pulsePicture.Redraw();
    const u32 wait = step == 12 ? 500 : 50;
    if (pulseStop_.Wait(wait) != kWaitTimeout) return 0;
    if (step == 12) direction = -1;
    if (step == 0) direction = 1;
    step += direction;
  }
}

// ---- Running -------------------------------------------------------------

namespace {

// Opens the window at its size centred on the point and runs it; its
// listener is there only while the window is (the window takes it away on
// WM_DESTROY, the object when it goes first).
u32 RunBurnWindow(CBurnImageWindow& window, const Point& centre) {
  const Rect size = BurnImageWindowSize(window.imageMode);
  RunModalWindow(window, [&] {
    if (!window.PlaceAndCreate(&size, &centre)) return false;
    window.poster.window = window.Handle();
    window.drives.AddListener(&window.poster);
    return true;
  });
  return window.cancelled;
}

}  // namespace

u32 RunBurnImageDialog(CDriveManager& drives, BurnRequest* request, const Point& centre) {
  CBurnImageWindow window(drives, request, true);
  FormatImageSize(request->SumTrackBytes(false), &window.sizeText);
  return RunBurnWindow(window, centre);
}

// The size and the sectors are those of the tracks' own sectors: the
// pauses between them count in neither.
u32 RunAudioBurnDialog(CDriveManager& drives, BurnRequest* request, const Point& centre) {
  CBurnImageWindow window(drives, request, false);
  window.imageSectors = request->SumTrackSectors(true);
  FormatImageSize(request->SumTrackBytes(true), &window.sizeText);
  window.sectorsText.Assign(u"");
  AppendGrouped(&window.sectorsText, window.imageSectors);
  return RunBurnWindow(window, centre);
}
