// The burn-image window as a real window over the simulated recorder: the
// intro panel until an image is named, OK enabled for an image that fits a
// blank CD, the request filled on OK, and a path that goes away bringing the
// panel back. Then a burn page at mid-burn and at its end in a real window.
// With KELVANE_SHOT_MS set, each look is held that long on the screen so
// that it can be photographed (English, then Spanish).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>

#include "app/job_windows/burn_image_window.h"
#include "app/pages/burn_page.h"
#include "runtime/ui_strings.h"
#include "support/recorder_fixture.h"
#include "tests/app/job_windows/burn_image_window_steps_win.h"
#include "tests/app/job_windows/control_rects.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/real_window.h"
#include "ui/support/scripted_window_system.h"
#include "ui/windows/frame/window_placement.h"
#include "ui/windows/frame/window_registry.h"

namespace {

void HoldForALook() {
  const char* ms = std::getenv("KELVANE_SHOT_MS");
  if (ms) PumpUntil([] { return false; }, static_cast<u32>(std::atoi(ms)));
}

class BurnImageWindowTest : public RecorderTest {
 protected:
  void SetUp() override {
    InstallBuiltInLanguages();
  }
  void TearDown() override {
    SetCurrentLanguage(kLanguageEnglish);
  }
  CScratchSettingsRoot root_{L"window"};
};

TEST_F(BurnImageWindowTest, AnImageThatFitsABlankCdIsAcceptedIntoTheRequest) {
  Attach();
  Insert(MediumPreset::kCdR);
  CDriveManager manager;
  for (u32 language : {kLanguageEnglish, kLanguageSpanish}) {
    SetCurrentLanguage(language);
    BurnRequest request;
    CBurnImageWindow w(manager, &request, true);
    w.settingsKey.SetRoot(root_.c_str());
    const Rect size = BurnImageWindowSize(true);
    ASSERT_TRUE(w.PlaceAndCreate(&size, nullptr));
    PumpPending();
    // Its caption asks for the recorder, in the language shown.
    EXPECT_EQ(std::u16string(GetUiText(47)), std::u16string(w.title.c_str(), w.title.GetLength())) << language;
    EXPECT_EQ(w.driveMap.GetCount(), 1u);
    EXPECT_TRUE(w.ok.flags & kFlagDisabled);
    EXPECT_TRUE(w.introPanel.IsVisible());
    EXPECT_FALSE(w.deviceList.IsVisible());

    w.imagePath.SetText(u"fixtures/iso/joliet.iso");
    EXPECT_TRUE(w.deviceList.IsVisible());  // under the fading panel
    EXPECT_TRUE(PumpUntil([&] { return !w.introPanel.IsVisible(); }));
    EXPECT_FALSE(w.ok.flags & kFlagDisabled);
    EXPECT_GT(w.imageSectors, 0u);
    EXPECT_EQ(w.labelText.Compare(u"KELVANE TEST", -1), 0);
    HoldForALook();

    // A path that names nothing: the panel comes back, OK goes off.
    w.imagePath.SetText(u"fixtures/iso/nothing-here.iso");
    EXPECT_TRUE(w.introPanel.IsVisible());
    EXPECT_TRUE(w.ok.flags & kFlagDisabled);
    EXPECT_TRUE(PumpUntil([&] { return !w.deviceList.IsVisible(); }));
    w.imagePath.SetText(u"fixtures/iso/joliet.iso");
    ASSERT_FALSE(w.ok.flags & kFlagDisabled);
    EXPECT_TRUE(PumpUntil([&] { return !w.introPanel.IsVisible(); }));

    w.AcceptAndClose();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); }));
    EXPECT_EQ(w.cancelled, 0u);
    EXPECT_EQ(request.destination, 0);
    EXPECT_EQ(request.method, kMethodTrackAtOnce);  // the preset entry
    EXPECT_EQ(request.SumTrackSectors(true), w.imageSectors);
    EXPECT_EQ(request.imagePath.Compare(u"fixtures/iso/joliet.iso", -1), 0);
  }
  EXPECT_EQ(0u, io_.OpenHandleCount());
}

// With an image that can be burned (OK on), Tab until the window itself
// has the focus lights its caption's close button; Enter then presses that
// button as Space does: the window closes cancelled with the request left
// alone, so no burn starts.
TEST_F(BurnImageWindowTest, EnterOnTheLitCloseButtonClosesWithoutAccepting) {
  Attach();
  Insert(MediumPreset::kCdR);
  CDriveManager manager;
  CScriptedWindowSystem keys;  // Shift up for every Tab
  BurnRequest request;
  const i32 destination = request.destination;
  CBurnImageWindow w(manager, &request, true);
  ASSERT_TRUE(OpenOverImage(w, root_));
  ASSERT_FALSE(w.ok.flags & kFlagDisabled);
  const HWND hwnd = static_cast<HWND>(w.Handle());
  for (int i = 0; i < 16 && FocusedWidget() != &w; ++i) SendMessageW(hwnd, WM_KEYDOWN, VK_TAB, 1);
  ASSERT_EQ(static_cast<CWidget*>(&w), FocusedWidget());
  EXPECT_EQ(kCaptionClose, w.hotButton);
  SendMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 1);
  SendMessageW(hwnd, WM_KEYUP, VK_RETURN, 1);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
  EXPECT_EQ(1u, w.cancelled);
  EXPECT_EQ(destination, request.destination);
  EXPECT_EQ(0, request.imagePath.GetLength());
}

u32 g_overburnAnswer = kAnswerNo;
u32 g_overburnAsked = 0;
u32 AnswerOverburn() {
  ++g_overburnAsked;
  return g_overburnAnswer;
}

// A CD-R a little smaller than the image: overburn is offered; only an
// explicit Yes checks it (and forces disc at once); a medium beyond the
// margin takes it back.
TEST_F(BurnImageWindowTest, OverburnProceedsOnlyOnAnExplicitYes) {
  Attach();
  MediumOptions small;
  small.capacityBlocks = 345;  // the image has 353 sectors: within 345 + 345 / 18
  Insert(small);
  CDriveManager manager;
  BurnRequest request;
  CBurnImageWindow w(manager, &request, true);
  w.settingsKey.SetRoot(root_.c_str());
  w.askOverburn = AnswerOverburn;
  const Rect size = BurnImageWindowSize(true);
  ASSERT_TRUE(w.PlaceAndCreate(&size, nullptr));
  w.imagePath.SetText(u"fixtures/iso/joliet.iso");
  PumpPending();
  ASSERT_EQ(w.imageSectors, 353u);
  EXPECT_TRUE(w.ok.flags & kFlagDisabled);
  EXPECT_FALSE(w.extraSizeBox.flags & kFlagDisabled);
  EXPECT_EQ(w.statusLabel.textId, static_cast<i32>(kTextNotEnoughSpace));

  // Closing the question any other way than Yes (Cancel, No) declines.
  for (u32 answer : {kAnswerCancel, kAnswerNo, kAnswerOk}) {
    g_overburnAnswer = answer;
    w.extraSizeBox.SetChecked(true);
    w.OnExtraSizeChanged(true);
    EXPECT_FALSE(w.extraSize) << answer;
    EXPECT_FALSE(w.extraSizeBox.IsChecked()) << answer;
    EXPECT_TRUE(w.ok.flags & kFlagDisabled) << answer;
  }
  g_overburnAnswer = kAnswerYes;
  w.extraSizeBox.SetChecked(true);
  w.OnExtraSizeChanged(true);
  EXPECT_TRUE(w.extraSize);
  EXPECT_FALSE(w.ok.flags & kFlagDisabled);
  EXPECT_EQ(w.methodList.selectedIndex, 1);
  EXPECT_TRUE(w.methodList.flags & kFlagDisabled);

  // A smaller disc comes: beyond the margin the offer is taken back.
  MediumOptions tiny;
  tiny.capacityBlocks = 300;
  Insert(tiny);
  w.OnMediaChanged(0);
  EXPECT_FALSE(w.extraSize);
  EXPECT_FALSE(w.extraSizeBox.IsChecked());
  EXPECT_TRUE(w.ok.flags & kFlagDisabled);
  EXPECT_EQ(w.methodList.selectedIndex, 0);  // the entry before overburn
  EXPECT_FALSE(w.methodList.flags & kFlagDisabled);

  // Back to the first disc, overburn accepted: the request says so.
  Insert(small);
  w.OnMediaChanged(0);
  w.extraSizeBox.SetChecked(true);
  w.OnExtraSizeChanged(true);
  ASSERT_FALSE(w.ok.flags & kFlagDisabled);
  w.AcceptAndClose();
  EXPECT_TRUE(PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); }));
  EXPECT_EQ(w.cancelled, 0u);
  EXPECT_TRUE(request.options & kOptionOverburn);
  EXPECT_EQ(request.method, kMethodDiscAtOnce);
  EXPECT_EQ(request.cueSheets.GetCount(), 1u);
  EXPECT_EQ(0u, io_.OpenHandleCount());
}

// A window that holds one burn page the way the task view does, for a
// look at the page.
class CPageFrame : public CFrameWindow<CPageFrame> {
 public:
  static constexpr u32 kStyle = 0x6414;
  static constexpr i32 kMinTrackWidth = 100, kMinTrackHeight = 100;
  using Page = CBurnJobPage<CPageFrame>;

  auto Children() { return std::tie(box.page); }
  void CreateControls() {
    const Rect r = {20, 20, 20 + kJobPageWidth, 20 + kJobPageHeight};
    box.page.holder = &box;
    box.page.Layout(&r, this);
    box.page.ModifyFlags(0, kFlagVisible);
  }
  void PaintDecoration(CCanvas& canvas) {
    const Rect c = GetContentRect();
    canvas.FillRect(0, 0, c.right, c.bottom, 0xFFFFFFFFu);
  }
  bool CallOnUiThread(UiCall call, void* context) { return SendUiCall(handle, call, context); }
  void PostJobClose(CPageHolder*) { ++closes; }
  void PostDeviceCommandsUpdate() {}
  void ParkPage(CPageHolder*) {}
  void PostShowPage(CPageHolder*) {}
  u32 ShowJobMessage(u32, u32, u32) { return kAnswerNo; }
  u32 RunInsertDiscPrompt(i32, void*) { return 1; }
  void OpenJobLog() {}

  CPageBox<Page> box;
  int closes = 0;
};

TEST_F(BurnImageWindowTest, BurnPageAtMidBurnAndAtItsEnd) {
  for (u32 language : {kLanguageEnglish, kLanguageSpanish}) {
    SetCurrentLanguage(language);
    CPageFrame frame;
    frame.title.Assign(GetUiText(73));
    const Rect size = {0, 0, 400, 200};
    ASSERT_TRUE(frame.PlaceAndCreate(&size, nullptr));
    CPageFrame::Page& page = frame.box.page;
    IJobUi& ui = page;
    CBurnPage& job = page.engine;
    page.titleId = 90;
    job.deviceName.Assign(u"E: KVSIM MULTI RECORDER");
    job.status = kStatusBurning;
    job.speedFactor = 16;
    job.nominalKbs = 2400;
    job.currentRateKbs = 2200;
    job.speedUnitKbs = 176;
    job.remainingMs = 95000;
    job.progressStart = ReadCounterNow() - static_cast<i64>(65 * CounterFrequencyOrOne());
    ui.SetCaption(kBarMemoryCache, u" (64.00 MB)");
    ui.ShowBar(kBarMemoryCache, true);
    ui.ShowBar(kBarDeviceCache, true);
    ui.SetBarValue(kBarMemoryCache, 82);
    ui.SetBarValue(kBarDeviceCache, 96);
    ui.SetBarValue(kBarOverall, 41);
    ui.Redraw();
    PumpPending();
    EXPECT_TRUE(page.deviceGauge.IsVisible());
    HoldForALook();

    job.jobStart = job.progressStart;
    job.jobEnd = ReadCounterNow();
    job.status = kStatusFinished;
    ui.ShowFinishedState();
    job.SetFlags(kJobFinished);
    ui.ShowEndState();
    ui.Redraw();
    PumpPending();
    EXPECT_TRUE(page.logLink.IsVisible());
    EXPECT_FALSE(page.overallBar.IsVisible());
    HoldForALook();
    page.OnCloseClicked();
    EXPECT_EQ(frame.closes, 1);
    DestroyWindow(static_cast<HWND>(frame.Handle()));
    PumpPending();
  }
}

// Every control where the window's table puts it, in both modes, at the
// window's own width and at an odd one (the columns split (W - 20) / 2);
// the topmost label as far under the content's top edge in both. The
// decoration: white content, the 48-pixel band with its line as the top
// row, the watermark 12 pixels above the band and 12 from the right.
TEST_F(BurnImageWindowTest, ControlsStandWhereTheTablePutsThemInBothModes) {
  Attach();
  Insert(MediumPreset::kCdR);
  CDriveManager manager;
  i32 topMargin = -1;
  for (const bool imageMode : {true, false}) {
    BurnRequest request;
    CBurnImageWindow w(manager, &request, imageMode);
    w.settingsKey.SetRoot(root_.c_str());
    const Rect size = BurnImageWindowSize(imageMode);
    ASSERT_TRUE(w.PlaceAndCreate(&size, nullptr));
    PumpPending();
    const Rect content = w.GetContentRect();
    // The window is as much taller in image mode as its image rows are.
    const i32 margin = content.bottom - (imageMode ? w.imageLabel.y + w.imageLabel.height
                                                   : w.deviceLabel.y + w.deviceLabel.height);
    if (topMargin < 0) topMargin = margin;
    EXPECT_EQ(topMargin, margin);
    EXPECT_GT(margin, 0);
    for (const i32 W : {content.right, 531}) {
      SCOPED_TRACE(testing::Message() << (imageMode ? "image" : "audio") << " mode, width " << W);
      w.LayoutContent(W, content.bottom);
      const i32 c1 = (W - 20) / 2 - 8, c2 = (W - 20) / 2 + 8;
      ExpectRect({W - 112, 12, W - 12, 36}, Corners(w.cancel), "Cancel");
      ExpectRect({W - 220, 12, W - 120, 36}, Corners(w.ok), "OK");
      ExpectRect({12, 52, 28, 68}, Corners(w.pulsePicture), "pulse picture");
      ExpectRect({36, 52, W - 8, 68}, Corners(w.statusLabel), "status label");
      ExpectRect({12, 120, W - 8, 136}, Corners(w.infoHeading), "information heading");
      ExpectRect({12, 144, c1, 160}, Corners(w.extraSizeBox), "extra size");
      ExpectRect({12, 168, c1, 184}, Corners(w.finalizeBox), "finalize");
      ExpectRect({c2, 168, W - 8, 184}, Corners(w.bufeBox), "buffer protection");
      ExpectRect({12, 192, c1, 208}, Corners(w.mode2Box), "mode 2");
      ExpectRect({c2, 192, W - 8, 208}, Corners(w.verifyBox), "verify");
      ExpectRect({12, 216, c1, 238}, Corners(w.speedList), "speed list");
      ExpectRect({c2, 216, W - 8, 238}, Corners(w.methodList), "method list");
      ExpectRect({12, 238, c1, 254}, Corners(w.speedLabel), "speed label");
      ExpectRect({c2, 238, W - 8, 254}, Corners(w.methodLabel), "method label");
      ExpectRect({12, 262, W - 34, 284}, Corners(w.deviceList), "device list");
      ExpectRect({W - 30, 262, W - 8, 284}, Corners(w.ejectButton), "eject");
      ExpectRect({12, 284, W - 8, 300}, Corners(w.deviceLabel), "device label");
      if (imageMode) {
        ExpectRect({0, 49, W, 308}, Corners(w.introPanel), "intro panel");
        ExpectRect({12, 308, W - 48, 330}, Corners(w.imagePath), "image path");
        ExpectRect({W - 40, 308, W - 12, 330}, Corners(w.browse), "browse");
        ExpectRect({12, 330, W - 12, 346}, Corners(w.imageLabel), "image label");
      }
    }
    w.LayoutContent(content.right, content.bottom);
    CMemoryCanvas target(content.right, content.bottom);
    w.PaintDecoration(target.canvas);
    const std::vector<DrawnRecord> all = ReadRecords(target.canvas);
    const std::vector<DrawnRecord> fills = RecordsOf(all, kOpRect);
    ASSERT_EQ(3u, fills.size());
    const struct {
      double y0, y1;
      u32 colour;
    } expected[] = {{0, double(content.bottom), 0xFFFFFFFFu}, {0, 48, 0xFFE0E0E0u}, {47, 48, 0xFFC0C0C0u}};
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(0.0, fills[i].x0);
      EXPECT_EQ(double(content.right), fills[i].x1);
      EXPECT_EQ(expected[i].y0, fills[i].y0);
      EXPECT_EQ(expected[i].y1, fills[i].y1);
      EXPECT_EQ(expected[i].colour, fills[i].colour);
    }
    const std::vector<DrawnRecord> bitmaps = RecordsOf(all, kOpBitmap);
    ASSERT_EQ(1u, bitmaps.size());
    ASSERT_NE(nullptr, w.watermark);
    EXPECT_EQ(double(content.right - 12 - static_cast<i32>(w.watermark->width)), bitmaps[0].x0);
    EXPECT_EQ(60.0, bitmaps[0].y0);
    EXPECT_EQ(0.45, bitmaps[0].opacity);
    w.CancelAndClose();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); }));
    EXPECT_EQ(1u, w.cancelled);
  }
}

// The burn-image window of this thread that a runner is running, null
// while there is none.
BOOL CALLBACK FindBurnWindow(HWND hwnd, LPARAM out) {
  WindowBinding* b = WindowRegistry::Resolve(reinterpret_cast<uintptr_t>(hwnd));
  if (!b || b->procedure != &CFrameWindow<CBurnImageWindow>::WndProcThunk || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<CBurnImageWindow**>(out) =
      static_cast<CBurnImageWindow*>(static_cast<CFrameWindow<CBurnImageWindow>*>(b->object));
  return FALSE;
}
CBurnImageWindow* RunningBurnWindow() {
  CBurnImageWindow* found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindBurnWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Looks at the window a runner runs, from inside its modal loop, then
// closes it. A window that never shows ends the loop with a quit after a
// bound, which the caller takes back with TakeQuit.
std::function<void(CBurnImageWindow&)> g_look;
int g_lookTries = 0;
void CALLBACK LookThenClose(HWND, UINT, UINT_PTR timer, DWORD) {
  CBurnImageWindow* w = RunningBurnWindow();
  if (!w && ++g_lookTries < 250) return;
  KillTimer(nullptr, timer);
  if (!w) {
    PostQuitMessage(0);
    return;
  }
  if (g_look) g_look(*w);
  PostMessageW(static_cast<HWND>(w->Handle()), WM_CLOSE, 0, 0);
}
void LookAtTheRunningWindow(std::function<void(CBurnImageWindow&)> look) {
  g_look = std::move(look);
  g_lookTries = 0;
  SetTimer(nullptr, 0, 20, LookThenClose);
}
// Takes back a quit that a runner's loop ended on and handed on.
bool TakeQuit() {
  MSG m;
  return PeekMessageW(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

// An audio project's request as the page lays it out: each track a pause
// entry, then its sectors.
void AddAudioTrack(BurnRequest* request, i32* at, u32 pause, u32 sectors) {
  TrackList* session = request->sessions.GetCount() ? &request->sessions[0] : request->sessions.AppendNew();
  *session->AppendNew() = TrackExtent{*at, 2352, pause, 0, 0, 0, 0};
  *at += static_cast<i32>(pause);
  *session->AppendNew() = TrackExtent{*at, 2352, sectors, 1, 0, 0, 0};
  *at += static_cast<i32>(sectors);
}

// An audio burn shows its size and sectors of the same entries: the
// tracks' own sectors (the pauses are not part of either), so that the
// size is the sectors times 2352.
TEST_F(BurnImageWindowTest, AnAudioBurnShowsSizeAndSectorsOfTheSameEntries) {
  Attach();
  Insert(MediumPreset::kCdR);
  CDriveManager manager;
  BurnRequest request;
  request.options |= kOptionAudioProject;
  i32 at = -150;
  AddAudioTrack(&request, &at, 150, 1000);
  AddAudioTrack(&request, &at, 75, 2000);
  std::u16string size, sectors;
  u32 imageSectors = 0;
  LookAtTheRunningWindow([&](CBurnImageWindow& w) {
    size = w.sizeText.c_str();
    sectors = w.sectorsText.c_str();
    imageSectors = w.imageSectors;
  });
  RunAudioBurnDialog(manager, &request, Point{600, 450});
  EXPECT_FALSE(TakeQuit()) << "the window never showed";
  EXPECT_EQ(3000u, imageSectors);
  EXPECT_EQ(u"3.000", sectors);
  EXPECT_EQ(u"7.056.000 bytes (6.73 MB)", size) << "3000 sectors of 2352 bytes";
}

// A window's media listener never outlives it: not when the window could
// not be created (nothing would ever take the listener away), nor when its
// loop ended on a quit.
HHOOK g_refuseHook = nullptr;
LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) return 1;
  return CallNextHookEx(g_refuseHook, code, wParam, lParam);
}

TEST_F(BurnImageWindowTest, NoListenerOutlivesItsWindowOnAnyWayOut) {
  Attach();
  Insert(MediumPreset::kCdR);
  CDriveManager manager;
  for (const bool image : {true, false}) {
    for (const bool created : {false, true}) {
      SCOPED_TRACE(testing::Message() << (image ? "image" : "audio") << (created ? ", quit" : ", not created"));
      BurnRequest request;
      if (!image) request.options |= kOptionAudioProject;
      if (created) {
        PostQuitMessage(0);
      } else {
        g_refuseHook = SetWindowsHookExW(WH_CBT, RefuseCreation, nullptr, GetCurrentThreadId());
        ASSERT_NE(nullptr, g_refuseHook);
      }
      const u32 answer = image ? RunBurnImageDialog(manager, &request, Point{600, 450})
                               : RunAudioBurnDialog(manager, &request, Point{600, 450});
      if (g_refuseHook) UnhookWindowsHookEx(g_refuseHook), g_refuseHook = nullptr;
      EXPECT_EQ(created, TakeQuit());
      EXPECT_EQ(1u, answer);
      ASSERT_EQ(0u, manager.listeners.GetCount()) << "a listener left behind on the stack";
      // The next poll finds nobody to tell.
      manager.NotifyMediaArrived(0);
      PumpPending();
    }
  }
  EXPECT_EQ(0u, io_.OpenHandleCount());
}

// Writes `bytes` bytes of text to a scratch file; its path.
std::wstring ScratchFile(const wchar_t* name, u32 bytes) {
  wchar_t temp[MAX_PATH];
  if (!GetTempPathW(MAX_PATH, temp)) return L"";
  const std::wstring path = std::wstring(temp) + name;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return L"";
  const std::string text(bytes, 'x');
  DWORD written = 0;
  const bool ok = WriteFile(h, text.data(), bytes, &written, nullptr) && written == bytes;
  CloseHandle(h);
  return ok ? path : L"";
}

// The image's figures follow the path whatever the drives are: the first
// image named shows its own at once, a raw image its user data, a file
// without a file system its size alone; a file that cannot be read shows
// none and nothing of the one before. With a blank CD-R every file with
// data can be burned: one shorter than a sector is one sector, made whole
// by zeros.
TEST_F(BurnImageWindowTest, TheImageFiguresFollowThePathWithAndWithoutADrive) {
  const std::wstring lockedPath = ScratchFile(L"kelvane-locked.iso", 0);
  const std::wstring textPath = ScratchFile(L"kelvane-notes.txt", 5000);
  const std::wstring shortPath = ScratchFile(L"kelvane-short.bin", 1000);
  ASSERT_FALSE(lockedPath.empty() || textPath.empty() || shortPath.empty());
  ASSERT_TRUE(CopyFileW(L"fixtures\\iso\\joliet.iso", lockedPath.c_str(), FALSE));
  HANDLE lock = CreateFileW(lockedPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, lock);
  const std::u16string locked(lockedPath.begin(), lockedPath.end()), text(textPath.begin(), textPath.end()),
      shortFile(shortPath.begin(), shortPath.end());
  struct Step {
    const char16_t* path;
    const char16_t* size;
    const char16_t* sectors;
    const char16_t* label;
    const char16_t* fileSystems;
    bool burnable;
  };
  const Step steps[] = {
      {u"fixtures/iso/joliet.iso", u"722.944 bytes (706.00 KB)", u"353", u"KELVANE TEST", u"ISO9660/Joliet", true},
      {text.c_str(), u"5.000 bytes (4.88 KB)", u"3", u"", u"", true},
      {u"fixtures/iso/udf.iso", u"1.275.904 bytes (1.22 MB)", u"623", u"UDF BRIDGE", u"ISO9660/Joliet/UDF Bridge", true},
      {locked.c_str(), u"", u"", u"", u"", false},
      {u"fixtures/iso/joliet.mode1.bin", u"722.944 bytes (706.00 KB)", u"353", u"KELVANE TEST", u"ISO9660/Joliet", true},
      {shortFile.c_str(), u"1.000 bytes (1000.00 Bytes)", u"1", u"", u"", true},
  };
  for (const bool withDrive : {false, true}) {
    if (withDrive) {
      Attach();
      Insert(MediumPreset::kCdR);
    }
    CDriveManager manager;
    BurnRequest request;
    CBurnImageWindow w(manager, &request, true);
    w.settingsKey.SetRoot(root_.c_str());
    const Rect size = BurnImageWindowSize(true);
    ASSERT_TRUE(w.PlaceAndCreate(&size, nullptr));
    ASSERT_EQ(withDrive ? 1u : 0u, w.driveMap.GetCount());
    for (const Step& s : steps) {
      SCOPED_TRACE(testing::Message() << (withDrive ? "a blank CD-R, " : "no drive, ")
                                      << std::string(s.path, s.path + std::char_traits<char16_t>::length(s.path)));
      w.imagePath.SetText(s.path);
      PumpPending();
      EXPECT_EQ(std::u16string(s.size), std::u16string(w.sizeText.c_str()));
      EXPECT_EQ(std::u16string(s.sectors), std::u16string(w.sectorsText.c_str()));
      EXPECT_EQ(std::u16string(s.label), std::u16string(w.labelText.c_str()));
      EXPECT_EQ(std::u16string(s.fileSystems), std::u16string(w.fsText.c_str()));
      EXPECT_EQ(withDrive && s.burnable, !(w.ok.flags & kFlagDisabled)) << "OK";
    }
    w.CancelAndClose();
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); }));
  }
  CloseHandle(lock);
  for (const std::wstring* p : {&lockedPath, &textPath, &shortPath}) DeleteFileW(p->c_str());
  EXPECT_EQ(0u, io_.OpenHandleCount());
}

}  // namespace
