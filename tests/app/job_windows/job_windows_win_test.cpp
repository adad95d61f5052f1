// The copy-disc window, the erase window and the insert-disc prompt as real
// windows over simulated recorders: what they enable and say as drives and
// discs change, that every probe gives its drive back, and that the
// prompt's drive sees one command at a time.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <vector>

#include "app/commands/command_ids.h"
#include "app/commands/main_menu.h"
#include "app/job_windows/burn_image_window.h"
#include "app/job_windows/copy_disc_window.h"
#include "app/job_windows/erase_window.h"
#include "app/job_windows/insert_disc_prompt.h"
#include "drive/device_io.h"
#include "render/skin_ids.h"
#include "runtime/settings.h"
#include "runtime/win.h"
#include "support/disc_options.h"
#include "support/recorder_fixture.h"
#include "tests/app/job_windows/control_clicks_win.h"
#include "tests/app/job_windows/control_rects.h"
#include "tests/app/job_windows/scratch_current_user_win.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/recording_theme_painter.h"
#include "ui/support/real_window.h"
#include "ui/support/scripted_window_system.h"
#include "ui/windows/frame/window_placement.h"

namespace {

// Counts the requests that run at once and the threads they come from.
class CWatchedIo final : public IDeviceIo {
 public:
  explicit CWatchedIo(IDeviceIo& inner) : inner_(inner) {}
  u32 GetLogicalDriveStrings(u32 n, wchar16* b) override { return inner_.GetLogicalDriveStrings(n, b); }
  u32 GetDriveType(const wchar16* p) override { return inner_.GetDriveType(p); }
  void* CreateFile(const wchar16* p, u32 a, u32 s, u32 d, u32 f) override { return inner_.CreateFile(p, a, s, d, f); }
  bool CloseHandle(void* h) override { return inner_.CloseHandle(h); }
  bool DeviceIoControl(void* h, u32 code, void* in, u32 inSize, void* out, u32 outSize, u32* got) override {
    const u32 now = ++inFlight;
    if (now > maxInFlight) maxInFlight = now;
    {
      std::lock_guard<std::mutex> guard(mutex_);
      threads.insert(GetCurrentThreadId());
    }
    Sleep(1);  // long enough for another thread to overlap
    const bool ok = inner_.DeviceIoControl(h, code, in, inSize, out, outSize, got);
    --inFlight;
    return ok;
  }
  std::atomic<u32> inFlight{0}, maxInFlight{0};
  std::set<DWORD> threads;

 private:
  IDeviceIo& inner_;
  std::mutex mutex_;
};

class JobWindowsTest : public RecorderTest {
 protected:
  CScratchCurrentUser user_{L"Software\\Kelvane job windows scratch"};  // made before the body runs
  JobWindowsTest() {
    clock_.SetRealPace(1);
    Attach();
    f_ = AddRecorder(u'F');
  }
  ~JobWindowsTest() override {
    PumpPending();
  }

  void Put(CSimulatedRecorder* r, const MediumOptions& o) {
    if (r->HasMedium()) r->RemoveMedium();
    r->InsertMedium(o);
    r->MakeReady();
    Clear(r);
  }
  // The unit attention of a change taken, as the poller would.
  void Clear(CSimulatedRecorder* r) {
    CDrive d;
    if (!d.OpenDevice(r == &recorder_ ? kPath : u"\\\\.\\F:")) return;
    for (int i = 0; i < 4; ++i) {
      d.TestUnitReady();
      if (d.LastCommandSucceeded() || d.senseKey != 6) break;
    }
    d.Close();
  }
  // The test tells the window of media changes itself: the manager's
  // poller is stopped, so that the open handles counted are the window's
  // probes alone (a poll would hold one of its own for a moment).
  bool StopPolling(CDriveManager& manager, IMediaListener* listener) {
    manager.RemoveListener(listener);
    return PumpUntil([&] { return !manager.IsPolling(); });
  }

  CSimulatedRecorder* f_;
};

std::u16string StatusOf(const CCopyDiscWindow& w) {
  return w.pulse.label.IsVisible() ? std::u16string(w.pulse.label.text.c_str()) : u"";
}

TEST_F(JobWindowsTest, CopyWindowFollowsDrivesAndDiscsAndGivesEveryDriveBack) {
  Put(&recorder_, Disc(MediumPreset::kCdRom, DiscFill::kComplete, 5000));
  Put(f_, Disc(MediumPreset::kCdR, DiscFill::kBlank));
  // A stored source that names no present drive: the first entry.
  CSettingsKey().WriteString(kCopyKey, u"Source", u"\\\\.\\Z:");
  CDriveManager manager;
  BurnRequest request;
  CCopyDiscWindow w;
  ASSERT_TRUE(w.Open(manager, &request, nullptr));
  ASSERT_TRUE(StopPolling(manager, &w.poster));
  EXPECT_EQ(0, w.SourceDrive());
  // The first destination entry is the source drive itself: no direct copy,
  // and OK as the source check left it.
  EXPECT_EQ(0, w.DestinationDrive());
  EXPECT_FALSE(w.DirectCopyOffered());
  EXPECT_TRUE(w.CanAccept());
  EXPECT_EQ(0u, io_.OpenHandleCount());
  // Another destination offers direct copy again.
  w.destinationList.SetSelection(1);
  EXPECT_TRUE(w.DirectCopyOffered());
  EXPECT_TRUE(w.CanAccept());

  struct Step {
    const char* name;
    CSimulatedRecorder* recorder;
    bool insert;
    MediumOptions disc;
    bool ok;
    u32 status;
    const wchar16* medium;
  };
  const Step steps[] = {
      {"destination emptied", f_, false, {}, false, kTextInsertWritableDisc, nullptr},
      {"a closed CD-R in the destination", f_, true, Disc(MediumPreset::kCdR, DiscFill::kComplete), false,
       kTextInsertEmptyOrRewritable, nullptr},
      {"a blank CD-R again", f_, true, Disc(MediumPreset::kCdR, DiscFill::kBlank), true, 0, nullptr},
      {"a blank source", &recorder_, true, Disc(MediumPreset::kCdR, DiscFill::kBlank), false, kTextSourceDiscEmpty,
       nullptr},
      {"no source disc", &recorder_, false, {}, false, kTextInsertSourceDisc, nullptr},
      {"an audio CD onto a DVD-R", &recorder_, true, Disc(MediumPreset::kCdRom, DiscFill::kComplete, 3000, true), true,
       0, nullptr},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    if (s.insert)
      Put(s.recorder, s.disc);
    else if (s.recorder->HasMedium())
      s.recorder->RemoveMedium(), Clear(s.recorder);
    w.OnMediaChanged(s.recorder == &recorder_ ? 0 : 1);
    EXPECT_EQ(s.ok, w.CanAccept());
    EXPECT_EQ(s.ok ? u"" : std::u16string(StatusText(s.status, s.medium).c_str()), StatusOf(w));
    EXPECT_EQ(s.ok, !w.pulse.IsPulsing());
    EXPECT_EQ(0u, io_.OpenHandleCount()) << "every probe gives its drive back";
  }
  Put(f_, Disc(MediumPreset::kDvdR, DiscFill::kBlank));
  w.OnMediaChanged(1);
  EXPECT_FALSE(w.CanAccept());
  EXPECT_EQ(StatusText(kTextInsertA, kMediumNameCd).c_str(), StatusOf(w));

  // A source whose track cannot be read: an error at the origin.
  RecorderFault fault;
  fault.opcode = 0x52;
  fault.times = 0;
  const u32 id = recorder_.AddFault(fault);
  w.OnMediaChanged(0);
  EXPECT_GT(recorder_.FaultHits(id), 0u);
  EXPECT_EQ(StatusText(kTextSourceDiscError, nullptr).c_str(), StatusOf(w));
  EXPECT_EQ(0u, io_.OpenHandleCount());
  recorder_.ClearFaults();

  // An appendable source copied onto a blank CD-R, directly: the request
  // leaves the session open.
  Put(&recorder_, Disc(MediumPreset::kCdR, DiscFill::kAppendable, 4000));
  Put(f_, Disc(MediumPreset::kCdR, DiscFill::kBlank));
  w.OnMediaChanged(0);
  ASSERT_TRUE(w.CanAccept());
  // As a click does: the box ticks, then tells the window.
  for (CCheckBox<CCopyDiscWindow>* box : {&w.directCopy, &w.verify}) {
    box->SetChecked(true);
    box->change.Call(&w, true);
  }
  w.AcceptAndClose();
  EXPECT_EQ(0u, w.cancelled);
  EXPECT_EQ(0, request.source);
  EXPECT_EQ(1, request.destination);
  EXPECT_EQ(kOptionBufe | kOptionVerify | kOptionDirectCopy, request.options);
  EXPECT_EQ(kMethodDiscAtOnce, request.method);
  EXPECT_EQ(kTextCopyDisc, request.titleId);
  // The choices were remembered.
  CWideString path;
  EXPECT_TRUE(CSettingsKey().ReadString(kCopyKey, u"Destination", &path));
  EXPECT_EQ(std::u16string(u"\\\\.\\F:"), std::u16string(path.c_str()));
  u32 direct = 0;
  EXPECT_TRUE(CSettingsKey().ReadDword(kCopyKey, u"DirectCopy", &direct) && direct == 1);
  PumpPending();
  EXPECT_FALSE(IsWindow(static_cast<HWND>(w.Handle())));
  EXPECT_EQ(0u, io_.OpenHandleCount());
}

// What the copy window showed while one of its lists was open, looked at
// from the list's own loop after the media change was handled there.
struct OpenListLook {
  CCopyDiscWindow* window = nullptr;
  CDropDownList<CCopyDiscWindow>* list = nullptr;
  bool looked = false, open = false, popupShown = false;
  std::u16string status;
};
OpenListLook g_openList;

void CALLBACK LookAtOpenList(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  OpenListLook& l = g_openList;
  l.looked = true;
  l.open = (l.list->state & CDropDownList<CCopyDiscWindow>::kOpen) != 0;
  HWND active = GetActiveWindow();
  l.popupShown = active && active != static_cast<HWND>(l.window->Handle()) && IsWindowVisible(active);
  l.status = StatusOf(*l.window);
  PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0);  // the user closes it
}

// A disc taken out or put in while a list of the copy window is open: the
// window says what the change means at once, and the list stays open until
// the user closes it (its entries do not change with a disc).
TEST_F(JobWindowsTest, CopyWindowKeepsAnOpenListAcrossAMediaChange) {
  Put(&recorder_, Disc(MediumPreset::kCdRom, DiscFill::kComplete, 5000));
  Put(f_, Disc(MediumPreset::kCdR, DiscFill::kBlank));
  CDriveManager manager;
  CCopyDiscWindow w;
  ASSERT_TRUE(w.Open(manager, nullptr, nullptr));
  ASSERT_TRUE(StopPolling(manager, &w.poster));
  w.destinationList.SetSelection(1);
  ASSERT_TRUE(w.CanAccept());
  const struct {
    const char* name;
    CDropDownList<CCopyDiscWindow>* list;
    CSimulatedRecorder* recorder;
    bool insert;
    std::u16string status;
  } cases[] = {
      {"source list, source disc taken out", &w.sourceList, &recorder_, false,
       StatusText(kTextInsertSourceDisc, nullptr).c_str()},
      {"destination list, source disc back", &w.destinationList, &recorder_, true, u""},
      {"source list, destination disc taken out", &w.sourceList, f_, false,
       StatusText(kTextInsertWritableDisc, nullptr).c_str()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.insert)
      Put(c.recorder, Disc(MediumPreset::kCdRom, DiscFill::kComplete, 5000));
    else
      c.recorder->RemoveMedium(), Clear(c.recorder);
    g_openList = OpenListLook();
    g_openList.window = &w;
    g_openList.list = c.list;
    PostMessageW(static_cast<HWND>(w.Handle()), WM_USER + kMsgMediaChanged, c.recorder == &recorder_ ? 0 : 1, 0);
    SetTimer(nullptr, 0, 100, &LookAtOpenList);
    c.list->OpenPopup(false);
    ASSERT_TRUE(PumpUntil([] { return g_openList.looked; }));
    EXPECT_TRUE(g_openList.open);
    EXPECT_TRUE(g_openList.popupShown);
    EXPECT_EQ(c.status, g_openList.status);
    EXPECT_FALSE(c.list->state & CDropDownList<CCopyDiscWindow>::kOpen) << "closed by the user";
  }
  w.CancelAndClose();
  PumpPending();
}

TEST_F(JobWindowsTest, EraseWindowKeepsAValidMethodAcrossDiscs) {
  Put(&recorder_, Disc(MediumPreset::kCdRw, DiscFill::kComplete));
  CDriveManager manager;
  CEraseWindow w;
  ASSERT_TRUE(w.Open(manager, nullptr));
  ASSERT_TRUE(StopPolling(manager, &w.poster));
  ASSERT_EQ(0, w.drive);
  ASSERT_EQ(3u, w.methodCount);  // quick erase, full erase, full format
  w.methodList.SetSelection(2);
  u32 stored = 0;
  EXPECT_TRUE(CSettingsKey().ReadDword(u"", kEraseMethodValue, &stored) && stored == kTextFullFormat);
  // A -1 from the list changes nothing.
  w.methodList.changed.Call(&w, -1);
  EXPECT_TRUE(CSettingsKey().ReadDword(u"", kEraseMethodValue, &stored) && stored == kTextFullFormat);

  struct Step {
    const char* name;
    MediumPreset preset;
    DiscFill fill;
    u32 count;
    i32 selected;  // entry, -1 none
    i32 method;
    bool ok;
  };
  const Step steps[] = {
      {"DVD+RW: full format kept at its new place", MediumPreset::kDvdPlusRw, DiscFill::kComplete, 2, 1, 4, true},
      {"DVD-RW: still full format", MediumPreset::kDvdRwSequential, DiscFill::kComplete, 4, 3, 4, true},
      {"BD-RE: nothing to offer", MediumPreset::kBdRe, DiscFill::kComplete, 0, -1, -1, false},
      {"CD-RW: the stored method", MediumPreset::kCdRw, DiscFill::kComplete, 3, 2, 4, true},
      {"CD-R: no rewritable disc at all", MediumPreset::kCdR, DiscFill::kComplete, 0, -1, -1, false},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.name);
    Put(&recorder_, Disc(s.preset, s.fill));
    w.OnUserMessage(kMsgMediaChanged, 0, 0);
    EXPECT_EQ(s.count, w.methodCount);
    EXPECT_EQ(s.selected, w.methodList.selectedIndex);
    EXPECT_EQ(s.method, w.method);
    EXPECT_EQ(s.ok, w.CanAccept());
    EXPECT_EQ(0u, io_.OpenHandleCount());
  }
  EXPECT_EQ(-1, w.drive);
  // Enter with nothing to erase does not close the window as accepted.
  w.AcceptAndClose();
  EXPECT_EQ(1u, w.cancelled);
  w.CancelAndClose();
  PumpPending();
}

// The erase window's drop-down popups answer Enter and Escape only: the
// arrows, the page keys, Home and End move nothing in an open popup, so
// Enter keeps the method and the drive as they were.
TEST_F(JobWindowsTest, EraseWindowsPopupsTakeOnlyEnterAndEscape) {
  Put(&recorder_, Disc(MediumPreset::kCdRw, DiscFill::kComplete));
  CDriveManager manager;
  CEraseWindow w;
  ASSERT_TRUE(w.Open(manager, nullptr));
  ASSERT_TRUE(StopPolling(manager, &w.poster));
  ASSERT_EQ(3u, w.methodCount);
  w.methodList.SetSelection(0);
  const struct {
    CDropDownList<CEraseWindow>* list;
    std::initializer_list<u32> keys;
  } cases[] = {{&w.methodList, {VK_DOWN}},
               {&w.methodList, {VK_DOWN, VK_DOWN}},
               {&w.methodList, {VK_NEXT, VK_END, VK_HOME}},
               {&w.deviceList, {VK_DOWN, VK_UP}}};
  for (const auto& c : cases) {
    const i32 before = c.list->selectedIndex;
    for (u32 key : c.keys) PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, key, 0);
    PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_RETURN, 0);
    c.list->OpenPopup(false);
    EXPECT_EQ(before, c.list->selectedIndex) << (c.list == &w.methodList ? "method" : "drive");
    MSG left;
    EXPECT_FALSE(PeekMessageW(&left, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) << "the popup took every key";
  }
  EXPECT_EQ(0, w.methodList.selectedIndex);
  w.CancelAndClose();
  PumpPending();
}

TEST_F(JobWindowsTest, PromptChecksTheDiscOnItsThreadsTicksOneCommandAtATime) {
  CDriveManager manager;
  CDrive* job = manager.OpenDrive(0);  // the burn holds the drive
  ASSERT_NE(nullptr, job);
  BurnRequest request;
  request.copiedProfile = 0x08;
  *request.sessions.AppendNew()->AppendNew() = TrackExtent{0, 2048, 300000, 1, 0, 0, 0};
  CWatchedIo watched(io_);
  SetDeviceIo(&watched);
  {
    CInsertDiscPrompt prompt;
    ASSERT_TRUE(prompt.Open(job, manager.GetName(0), &request, nullptr));
    EXPECT_TRUE(prompt.IsWaiting());
    EXPECT_FALSE(prompt.CanAccept());
    EXPECT_EQ(std::u16string(GetUiText(kTextInsertWritableDisc)), std::u16string(prompt.pulse.label.text.c_str()));
    // A CD-R with room for 10/11 of the copy: taken with overburn.
    MediumOptions small = Disc(MediumPreset::kCdR, DiscFill::kBlank);
    small.capacityBlocks = 297000;
    recorder_.InsertMedium(small);
    ASSERT_TRUE(PumpUntil([&] { return prompt.CanAccept(); }, 10000));
    EXPECT_TRUE(request.options & kOptionOverburn);
    // The eject bar clicked while the thread keeps ticking.
    CScriptedWindowSystem pointer;
    ClickControl(pointer, prompt.Handle(), prompt.eject);
    EXPECT_TRUE(recorder_.TrayOpen());
    EXPECT_FALSE(prompt.CanAccept());
    EXPECT_FALSE(request.options & kOptionOverburn);
    PumpUntil([] { return false; }, 200);
    prompt.CancelAndClose();
    PumpUntil([&] { return !IsWindow(static_cast<HWND>(prompt.Handle())); });
    EXPECT_FALSE(prompt.IsWaiting()) << "the wait thread is joined when the prompt closes";
    EXPECT_EQ(1u, prompt.cancelled);
  }
  SetDeviceIo(&io_);
  EXPECT_EQ(1u, watched.maxInFlight.load());
  EXPECT_EQ(std::set<DWORD>{GetCurrentThreadId()}, watched.threads) << "every command from the window's thread";
  ReleaseDrive(&job);
}

TEST_F(JobWindowsTest, PromptCheckPerProfile) {
  CDriveManager manager;
  CDrive* job = manager.OpenDrive(0);
  ASSERT_NE(nullptr, job);
  struct Case {
    const char* name;
    u16 copied;
    u32 blocks;
    u32 entries;  // content entries of the layout
    u32 sectorSize;
    MediumOptions disc;
    bool ok;
    u32 status;
    const wchar16* medium;
  };
  MediumOptions plusR = Disc(MediumPreset::kDvdPlusR, DiscFill::kBlank);
  plusR.capacityBlocks = 100000;
  MediumOptions cdR = Disc(MediumPreset::kCdR, DiscFill::kBlank);
  cdR.capacityBlocks = 297000;
  const Case cases[] = {
      {"DVD onto a DVD+R of exactly its size", 0x10, 100000, 1, 2048, plusR, false, kTextNotEnoughSpace, nullptr},
      {"DVD onto a DVD+R one block larger", 0x10, 99999, 1, 2048, plusR, true, 0, nullptr},
      {"CD 330001 blocks onto 297000", 0x08, 330001, 1, 2048, cdR, false, kTextNotEnoughSpace, nullptr},
      {"audio CD onto a DVD-R", 0x08, 2000, 2, 2352, Disc(MediumPreset::kDvdR, DiscFill::kBlank), false, kTextInsertA,
       kMediumNameCd},
      {"two-track DVD+R onto a DVD-R", 0x1B, 2000, 2, 2048, Disc(MediumPreset::kDvdR, DiscFill::kBlank), false,
       kTextInsertA, kMediumNameDvdPlus},
      {"DVD-R copy onto a DVD-RW with data", 0x11, 2000, 2, 2048,
       Disc(MediumPreset::kDvdRwSequential, DiscFill::kComplete), true, 0, nullptr},
      {"BD-R copy onto a blank BD-R", 0x41, 2000, 1, 2048, Disc(MediumPreset::kBdR, DiscFill::kBlank), true, 0,
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BurnRequest request;
    request.copiedProfile = c.copied;
    TrackList* session = request.sessions.AppendNew();
    for (u32 i = 0; i < c.entries; ++i)
      *session->AppendNew() = TrackExtent{static_cast<i32>(i * (c.blocks / c.entries)), c.sectorSize,
                                          c.blocks / c.entries + (i + 1 == c.entries ? c.blocks % c.entries : 0), 1, 0, 0, 0};
    if (recorder_.HasMedium()) recorder_.RemoveMedium();
    recorder_.InsertMedium(c.disc);
    recorder_.MakeReady();
    CInsertDiscPrompt prompt;
    ASSERT_TRUE(prompt.Open(job, manager.GetName(0), &request, nullptr));
    // The first look may meet the medium change; the next one decides.
    EXPECT_EQ(c.ok, prompt.CheckMedium());
    EXPECT_EQ(c.ok, prompt.CanAccept());
    if (!c.ok) {
      EXPECT_EQ(std::u16string(StatusText(c.status, c.medium).c_str()), std::u16string(prompt.pulse.label.text.c_str()));
    }
    prompt.CancelAndClose();
    PumpUntil([&] { return !IsWindow(static_cast<HWND>(prompt.Handle())); });
  }
  ReleaseDrive(&job);
}

// The decoration's fills: white above the band, the band, its top line.
void ExpectButtonBand(const CCanvas& canvas, i32 w, i32 h, i32 band) {
  const std::vector<DrawnRecord> fills = RecordsOf(ReadRecords(canvas), kOpRect);
  ASSERT_EQ(3u, fills.size());
  const struct {
    double y0, y1;
    u32 colour;
  } expected[] = {{double(band), double(h), 0xFFFFFFFFu}, {0, double(band - 1), 0xFFE0E0E0u},
                  {double(band - 1), double(band), 0xFFC0C0C0u}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(0.0, fills[i].x0);
    EXPECT_EQ(double(w), fills[i].x1);
    EXPECT_EQ(expected[i].y0, fills[i].y0);
    EXPECT_EQ(expected[i].y1, fills[i].y1);
    EXPECT_EQ(expected[i].colour, fills[i].colour);
  }
}

// Every control of the copy window, the erase window and the insert-disc
// prompt where their tables put it at the content's size and again at
// another size: rows from the top edge down, the buttons in the band, OK 8
// pixels left of Cancel; the band's fills with the line as its top row.
TEST_F(JobWindowsTest, JobWindowControlsAndBandsStandWhereTheirTablesPutThem) {
  Put(&recorder_, Disc(MediumPreset::kCdRw, DiscFill::kComplete));
  CDriveManager manager;
  {
    CCopyDiscWindow w;
    ASSERT_TRUE(w.Open(manager, nullptr, nullptr));
    const Rect content = w.GetContentRect();
    for (const i32 size : {0, 1}) {
      const i32 W = size ? 531 : content.right, H = size ? 377 : content.bottom;
      SCOPED_TRACE(testing::Message() << "copy window " << W << " x " << H);
      if (size) w.LayoutContent(W, H);
      const i32 C = (W - 50) / 2;
      ExpectRect({12, H - 28, W - 38, H - 12}, Corners(w.originLabel), "origin label");
      ExpectRect({12, H - 50, W - 38, H - 28}, Corners(w.sourceList), "source list");
      ExpectRect({W - 34, H - 50, W - 12, H - 28}, Corners(w.sourceEject), "source eject");
      ExpectRect({12, H - 74, W - 38, H - 58}, Corners(w.destinationLabel), "destination label");
      ExpectRect({12, H - 96, W - 38, H - 74}, Corners(w.destinationList), "destination list");
      ExpectRect({W - 34, H - 96, W - 12, H - 74}, Corners(w.destinationEject), "destination eject");
      ExpectRect({12, H - 120, C + 4, H - 104}, Corners(w.directCopy), "direct copy");
      ExpectRect({C + 12, H - 120, W - 46, H - 104}, Corners(w.verify), "verify");
      ExpectRect({12, H - 144, 28, H - 128}, Corners(w.pulse.picture), "pulse picture");
      ExpectRect({36, H - 144, W - 38, H - 128}, Corners(w.pulse.label), "status label");
      ExpectRect({W - 216, 8, W - 116, 33}, Corners(w.ok), "OK");
      ExpectRect({W - 108, 8, W - 8, 33}, Corners(w.cancel), "Cancel");
      EXPECT_LT(w.ok.y + w.ok.height, CCopyDiscWindow::kBandHeight - 1);
    }
    CMemoryCanvas target(content.right, content.bottom);
    w.PaintDecoration(target.canvas);
    ExpectButtonBand(target.canvas, content.right, content.bottom, 41);
    w.CancelAndClose();
    PumpPending();
  }
  {
    CEraseWindow w;
    ASSERT_TRUE(w.Open(manager, nullptr));
    const Rect content = w.GetContentRect();
    for (const i32 size : {0, 1}) {
      const i32 W = size ? 611 : content.right;
      SCOPED_TRACE(testing::Message() << "erase window " << W);
      if (size) w.LayoutContent(W, 400);
      ExpectRect({W - 112, 12, W - 12, 37}, Corners(w.cancel), "Cancel");
      ExpectRect({W - 220, 12, W - 120, 37}, Corners(w.ok), "OK");
      ExpectRect({12, 61, W - 12, 83}, Corners(w.methodList), "method list");
      ExpectRect({12, 83, W - 12, 99}, Corners(w.methodLabel), "method label");
      ExpectRect({12, 107, W - 12, 129}, Corners(w.deviceList), "device list");
      ExpectRect({12, 129, W - 12, 145}, Corners(w.deviceLabel), "device label");
    }
    EXPECT_GE(content.bottom, 145);
    CMemoryCanvas target(content.right, content.bottom);
    w.PaintDecoration(target.canvas);
    ExpectButtonBand(target.canvas, content.right, content.bottom, 49);
    w.CancelAndClose();
    PumpPending();
  }
  {
    CDrive* job = manager.OpenDrive(0);
    ASSERT_NE(nullptr, job);
    BurnRequest request;
    request.copiedProfile = 0x08;
    *request.sessions.AppendNew()->AppendNew() = TrackExtent{0, 2048, 1000, 1, 0, 0, 0};
    {
      CInsertDiscPrompt w;
      ASSERT_TRUE(w.Open(job, manager.GetName(0), &request, nullptr));
      const Rect content = w.GetContentRect();
      for (const i32 size : {0, 1}) {
        const i32 W = size ? 517 : content.right, H = size ? 301 : content.bottom;
        SCOPED_TRACE(testing::Message() << "prompt " << W << " x " << H);
        if (size) w.LayoutContent(W, H);
        ExpectRect({12, H - 28, W - 38, H - 12}, Corners(w.heading), "heading");
        ExpectRect({12, H - 52, W - 38, H - 36}, Corners(w.driveName), "drive name");
        ExpectRect({W - 34, H - 52, W - 12, H - 30}, Corners(w.eject), "eject");
        ExpectRect({12, H - 76, 28, H - 60}, Corners(w.pulse.picture), "pulse picture");
        ExpectRect({36, H - 76, W - 38, H - 60}, Corners(w.pulse.label), "status label");
        ExpectRect({W - 216, 8, W - 116, 33}, Corners(w.ok), "OK");
        ExpectRect({W - 108, 8, W - 8, 33}, Corners(w.cancel), "Cancel");
      }
      CMemoryCanvas target(content.right, content.bottom);
      w.PaintDecoration(target.canvas);
      ExpectButtonBand(target.canvas, content.right, content.bottom, 41);
      w.CancelAndClose();
      PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); });
    }
    ReleaseDrive(&job);
  }
}

// Tab walks the erase window's enabled controls in their order and Shift+Tab
// the same way back, wrapping through the window itself; with nothing to
// erase only Cancel is left. Enter presses a focused button or the lit
// close button of the focused window, else accepts only while OK is on;
// Escape cancels and closes.
TEST_F(JobWindowsTest, EraseWindowTabBothWaysEnterAndEscape) {
  Put(&recorder_, Disc(MediumPreset::kCdRw, DiscFill::kComplete));
  CDriveManager manager;
  CScriptedWindowSystem keys;
  auto walk = [&](CEraseWindow& w, bool backward, int steps) {
    keys.SetKeyDown(VK_SHIFT, backward);
    std::vector<CWidget*> seen;
    for (int i = 0; i < steps; ++i) {
      SendMessageW(static_cast<HWND>(w.Handle()), WM_KEYDOWN, VK_TAB, 1);
      seen.push_back(FocusedWidget());
    }
    keys.SetKeyDown(VK_SHIFT, false);
    return seen;
  };
  {
    CEraseWindow w;
    ASSERT_TRUE(w.Open(manager, nullptr));
    ASSERT_TRUE(w.CanAccept());
    CWidget* self = &w;
    w.deviceList.SetFocus();
    EXPECT_EQ((std::vector<CWidget*>{&w.methodList, &w.ok, &w.cancel, self, &w.deviceList, &w.methodList}),
              walk(w, false, 6));
    EXPECT_EQ((std::vector<CWidget*>{&w.deviceList, self, &w.cancel, &w.ok, &w.methodList, &w.deviceList}),
              walk(w, true, 6));
    // Enter from any control presses OK: accepted and closed.
    w.deviceList.SetFocus();
    SendMessageW(static_cast<HWND>(w.Handle()), WM_KEYDOWN, VK_RETURN, 1);
    PumpPending();
    EXPECT_EQ(0u, w.cancelled);
    EXPECT_FALSE(IsWindow(static_cast<HWND>(w.Handle())));
  }
  {
    // Enter with the focus on Cancel presses Cancel, not the default OK.
    CEraseWindow w;
    ASSERT_TRUE(w.Open(manager, nullptr));
    ASSERT_TRUE(w.CanAccept());
    w.cancel.SetFocus();
    SendMessageW(static_cast<HWND>(w.Handle()), WM_KEYDOWN, VK_RETURN, 1);
    PumpPending();
    EXPECT_EQ(1u, w.cancelled);
    EXPECT_FALSE(IsWindow(static_cast<HWND>(w.Handle())));
  }
  {
    // Enter on the window itself, its caption's close button lit, presses
    // that button as Space does: closed without accepting, though OK is on.
    CEraseWindow w;
    ASSERT_TRUE(w.Open(manager, nullptr));
    ASSERT_TRUE(w.CanAccept());
    w.cancel.SetFocus();
    walk(w, false, 1);
    ASSERT_EQ(static_cast<CWidget*>(&w), FocusedWidget());
    EXPECT_EQ(kCaptionClose, w.hotButton);
    SendMessageW(static_cast<HWND>(w.Handle()), WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(static_cast<HWND>(w.Handle()), WM_KEYUP, VK_RETURN, 1);
    PumpPending();
    EXPECT_EQ(1u, w.cancelled);
    EXPECT_FALSE(IsWindow(static_cast<HWND>(w.Handle())));
  }
  Put(&recorder_, Disc(MediumPreset::kCdR, DiscFill::kComplete));
  {
    CEraseWindow w;
    ASSERT_TRUE(w.Open(manager, nullptr));
    EXPECT_FALSE(w.CanAccept());
    EXPECT_TRUE(w.deviceList.flags & kFlagDisabled);
    EXPECT_TRUE(w.methodList.flags & kFlagDisabled);
    EXPECT_FALSE(w.cancel.flags & kFlagDisabled);
    CWidget* self = &w;
    w.cancel.SetFocus();
    EXPECT_EQ((std::vector<CWidget*>{self, &w.cancel, self}), walk(w, false, 3));
    EXPECT_EQ((std::vector<CWidget*>{&w.cancel, self, &w.cancel}), walk(w, true, 3));
    // Enter with OK off and no button focused: nothing; Escape: cancelled
    // and closed.
    walk(w, false, 1);
    ASSERT_EQ(self, FocusedWidget());
    SendMessageW(static_cast<HWND>(w.Handle()), WM_KEYDOWN, VK_RETURN, 1);
    PumpPending();
    EXPECT_TRUE(IsWindow(static_cast<HWND>(w.Handle())));
    EXPECT_EQ(1u, w.cancelled);
    SendMessageW(static_cast<HWND>(w.Handle()), WM_KEYDOWN, VK_ESCAPE, 1);
    PumpPending();
    EXPECT_EQ(1u, w.cancelled);
    EXPECT_FALSE(IsWindow(static_cast<HWND>(w.Handle())));
  }
}

// A copy window whose OK is off: Enter leaves it open and the request
// (its source set to -7 beforehand) alone; Escape cancels and closes it.
void ExpectEnterIgnoredAndEscapeCancels(CCopyDiscWindow& w, const BurnRequest& request) {
  HWND window = static_cast<HWND>(w.Handle());
  SendMessageW(window, WM_KEYDOWN, VK_RETURN, 1);
  PumpPending();
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(1u, w.cancelled);
  EXPECT_EQ(-7, request.source) << "the request is left alone";
  SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);
  PumpPending();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(1u, w.cancelled);
  EXPECT_EQ(-7, request.source);
}

// The copy window's Enter goes to OK only while OK is on: with no disc to
// copy onto it changes nothing; Escape cancels and closes.
TEST_F(JobWindowsTest, CopyWindowEnterWaitsForOkAndEscapeCancels) {
  Put(&recorder_, Disc(MediumPreset::kCdRom, DiscFill::kComplete, 5000));
  if (f_->HasMedium()) f_->RemoveMedium(), Clear(f_);
  CDriveManager manager;
  BurnRequest request;
  request.source = -7;
  CCopyDiscWindow w;
  ASSERT_TRUE(w.Open(manager, &request, nullptr));
  w.destinationList.SetSelection(1);
  ASSERT_FALSE(w.CanAccept());
  ExpectEnterIgnoredAndEscapeCancels(w, request);
}

// Drives that only read, one with a data disc: nothing to copy onto. OK
// stays off and the status line says why, whatever the source does; Enter
// leaves the window and the request alone.
TEST_F(JobWindowsTest, CopyWindowWithoutARecorderKeepsOkOffAndSaysWhy) {
  DriveIdentity reader;
  reader.profiles = {0x08, 0x10};
  recorder_.SetIdentity(reader);
  f_->SetIdentity(reader);
  Put(&recorder_, Disc(MediumPreset::kCdRom, DiscFill::kComplete, 5000));
  if (f_->HasMedium()) f_->RemoveMedium(), Clear(f_);
  CDriveManager manager;
  BurnRequest request;
  request.source = -7;
  CCopyDiscWindow w;
  ASSERT_TRUE(w.Open(manager, &request, nullptr));
  ASSERT_TRUE(StopPolling(manager, &w.poster));
  EXPECT_EQ(2u, w.sourceMap.GetCount());
  EXPECT_EQ(0u, w.destMap.GetCount());
  const std::u16string why = PickText(kNoRecorderText);
  for (const char* step : {"opened", "the source disc changed"}) {
    SCOPED_TRACE(step);
    if (step[0] == 't') {
      Put(&recorder_, Disc(MediumPreset::kDvdRom, DiscFill::kComplete, 3000));
      w.OnMediaChanged(0);
    }
    EXPECT_FALSE(w.CanAccept());
    EXPECT_EQ(why, StatusOf(w));
    EXPECT_TRUE(w.pulse.IsPulsing());
    EXPECT_EQ(0u, io_.OpenHandleCount());
  }
  ExpectEnterIgnoredAndEscapeCancels(w, request);
}

// The items an eject bar paints, as the theme is asked to draw them.
template <class TBar>
std::vector<ThemeCall> PaintedItems(TBar& bar) {
  CRecordingThemePainter theme;
  CMemoryCanvas target(bar.width, bar.height);
  bar.PaintContent(target.canvas);
  return theme.CallsOf('r');
}

// Every eject control of the job windows is a menu bar of one item, the
// main menu's icon-only Eject entry with the menu strip's picture, filling
// its 22 x 22 box. The pointer over it lights it as a bar item; a click on
// it opens the tray of its drive in the recorder: the burn-image window's
// recorder, the copy window's source and destination, the prompt's drive.
TEST_F(JobWindowsTest, EveryEjectControlIsTheMenusEjectItemAndAClickEjectsItsDrive) {
  MainMenuStorage storage;
  CMenuModel* root = BuildMainMenu(&storage);
  const MenuItem* menuEject = nullptr;
  for (i32 n = 0; n < root->count; ++n)
    if (root->GetItemId(n) == static_cast<i32>(kCmdEject)) menuEject = root->GetItem(n);
  ASSERT_NE(nullptr, menuEject);
  CScriptedWindowSystem pointer;
  auto check = [&](auto& bar, void* window, CSimulatedRecorder* drive, const char* what) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(bar.model && bar.model->count == 1);
    const MenuItem* item = bar.model->GetItem(0);
    EXPECT_EQ(kMenuTypeCommand, item->type);
    EXPECT_EQ(static_cast<i32>(kCmdEject), item->id);
    EXPECT_EQ(0x0D, item->flags) << "enabled, no text, right-aligned";
    EXPECT_EQ(menuEject->icon, item->icon);
    EXPECT_EQ(SKIN_MENU_ICON_COUNT, bar.icons.FrameCount());
    ExpectRect({bar.x, bar.y, bar.x + 22, bar.y + 22}, Corners(bar), "a 22 x 22 box");
    std::vector<ThemeCall> items = PaintedItems(bar);
    ASSERT_EQ(1u, items.size());
    EXPECT_TRUE(items[0].text.empty());
    EXPECT_EQ(menuEject->icon, items[0].image);
    EXPECT_EQ(0u, items[0].style) << "neither lit nor greyed";
    ExpectRect({0, 0, 22, 22}, items[0].item, "the item fills the bar");
    const POINT over = PointAtControl(pointer, window, bar);
    SendMessageW(static_cast<HWND>(window), WM_MOUSEMOVE, 0, MAKELPARAM(over.x, over.y));
    items = PaintedItems(bar);
    ASSERT_EQ(1u, items.size());
    EXPECT_EQ(kBarItemHot, items[0].style) << "lit under the pointer";
    EXPECT_FALSE(drive->TrayOpen());
    ClickControl(pointer, window, bar);
    EXPECT_TRUE(drive->TrayOpen()) << "the click ejected the disc";
    EXPECT_EQ(-1, bar.hotItem);
    Put(drive, Disc(MediumPreset::kCdR, DiscFill::kBlank));
  };
  Put(&recorder_, Disc(MediumPreset::kCdR, DiscFill::kBlank));
  Put(f_, Disc(MediumPreset::kCdR, DiscFill::kBlank));
  CDriveManager manager;
  {
    BurnRequest request;
    CBurnImageWindow w(manager, &request, false);
    const Rect size = BurnImageWindowSize(false);
    ASSERT_TRUE(w.PlaceAndCreate(&size, nullptr));
    check(w.ejectButton, w.Handle(), &recorder_, "burn-image window");
    w.CancelAndClose();
    PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); });
  }
  {
    BurnRequest request;
    CCopyDiscWindow w;
    ASSERT_TRUE(w.Open(manager, &request, nullptr));
    w.destinationList.SetSelection(1);
    check(w.sourceEject, w.Handle(), &recorder_, "copy window, source");
    check(w.destinationEject, w.Handle(), f_, "copy window, destination");
    w.CancelAndClose();
    PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); });
  }
  CDrive* job = manager.OpenDrive(0);
  ASSERT_NE(nullptr, job);
  {
    BurnRequest request;
    request.copiedProfile = 0x08;
    CInsertDiscPrompt w;
    ASSERT_TRUE(w.Open(job, manager.GetName(0), &request, nullptr));
    check(w.eject, w.Handle(), &recorder_, "insert-disc prompt");
    w.CancelAndClose();
    PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); });
  }
  ReleaseDrive(&job);
}

// Tab walks the job windows through their eject bars where their tables
// put them (each after its drive's list, the prompt's first), Shift+Tab
// the same way back; Space on a focused eject bar ejects its drive, as a
// click does.
TEST_F(JobWindowsTest, TabReachesEachEjectBarAfterItsDriveAndSpaceEjects) {
  Put(&recorder_, Disc(MediumPreset::kCdRom, DiscFill::kComplete, 5000));
  Put(f_, Disc(MediumPreset::kCdR, DiscFill::kBlank));
  CDriveManager manager;
  CScriptedWindowSystem keys;
  auto walk = [&](void* window, bool backward, int steps) {
    keys.SetKeyDown(VK_SHIFT, backward);
    std::vector<CWidget*> seen;
    for (int i = 0; i < steps; ++i) {
      SendMessageW(static_cast<HWND>(window), WM_KEYDOWN, VK_TAB, 1);
      seen.push_back(FocusedWidget());
    }
    keys.SetKeyDown(VK_SHIFT, false);
    return seen;
  };
  auto space = [&](void* window) {
    keys.SetKeyDown(VK_SPACE, true);
    SendMessageW(static_cast<HWND>(window), WM_KEYDOWN, VK_SPACE, 1);
    keys.SetKeyDown(VK_SPACE, false);
    SendMessageW(static_cast<HWND>(window), WM_KEYUP, VK_SPACE, 1);
  };
  {
    // The burn-image window of an audio project: its eject bar after the
    // recorder list, the last Tab stop before the window itself.
    BurnRequest request;
    CBurnImageWindow w(manager, &request, false);
    const Rect size = BurnImageWindowSize(false);
    ASSERT_TRUE(w.PlaceAndCreate(&size, nullptr));
    CWidget* self = &w;
    w.deviceList.SetFocus();
    EXPECT_EQ((std::vector<CWidget*>{&w.ejectButton, self}), walk(w.Handle(), false, 2));
    EXPECT_EQ((std::vector<CWidget*>{&w.ejectButton, &w.deviceList}), walk(w.Handle(), true, 2));
    walk(w.Handle(), false, 1);
    space(w.Handle());
    EXPECT_TRUE(recorder_.TrayOpen()) << "Space ejected the chosen recorder";
    w.CancelAndClose();
    PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); });
  }
  Put(&recorder_, Disc(MediumPreset::kCdRom, DiscFill::kComplete, 5000));
  {
    BurnRequest request;
    CCopyDiscWindow w;
    ASSERT_TRUE(w.Open(manager, &request, nullptr));
    ASSERT_TRUE(StopPolling(manager, &w.poster));
    w.destinationList.SetSelection(1);
    ASSERT_TRUE(w.CanAccept() && w.DirectCopyOffered());
    CWidget* self = &w;
    w.sourceList.SetFocus();
    EXPECT_EQ((std::vector<CWidget*>{&w.sourceEject, &w.destinationList, &w.destinationEject, &w.directCopy,
                                     &w.verify, &w.ok, &w.cancel, self, &w.sourceList}),
              walk(w.Handle(), false, 9));
    EXPECT_EQ((std::vector<CWidget*>{self, &w.cancel, &w.ok, &w.verify, &w.directCopy, &w.destinationEject,
                                     &w.destinationList, &w.sourceEject, &w.sourceList}),
              walk(w.Handle(), true, 9));
    walk(w.Handle(), false, 3);
    ASSERT_EQ(&w.destinationEject, FocusedWidget());
    space(w.Handle());
    EXPECT_TRUE(f_->TrayOpen()) << "Space ejected the destination";
    EXPECT_FALSE(recorder_.TrayOpen());
    w.CancelAndClose();
    PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); });
  }
  Put(&recorder_, Disc(MediumPreset::kCdR, DiscFill::kBlank));
  CDrive* job = manager.OpenDrive(0);
  ASSERT_NE(nullptr, job);
  {
    BurnRequest request;
    request.copiedProfile = 0x08;
    *request.sessions.AppendNew()->AppendNew() = TrackExtent{0, 2048, 1000, 1, 0, 0, 0};
    CInsertDiscPrompt w;
    ASSERT_TRUE(w.Open(job, manager.GetName(0), &request, nullptr));
    ASSERT_TRUE(w.CanAccept());
    CWidget* self = &w;
    w.SetFocus();
    EXPECT_EQ((std::vector<CWidget*>{&w.eject, &w.ok, &w.cancel, self}), walk(w.Handle(), false, 4));
    EXPECT_EQ((std::vector<CWidget*>{&w.cancel, &w.ok, &w.eject, self}), walk(w.Handle(), true, 4));
    walk(w.Handle(), false, 1);
    ASSERT_EQ(&w.eject, FocusedWidget());
    space(w.Handle());
    EXPECT_TRUE(recorder_.TrayOpen()) << "Space ejected the prompt's drive";
    EXPECT_FALSE(w.CanAccept()) << "and the prompt looked again";
    w.CancelAndClose();
    PumpUntil([&] { return !IsWindow(static_cast<HWND>(w.Handle())); });
  }
  ReleaseDrive(&job);
}

}  // namespace
