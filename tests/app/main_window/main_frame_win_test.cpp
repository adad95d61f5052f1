#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "app/commands/command_ids.h"
#include "app/main_window/main_frame.h"
#include "app/pages/audio_project_services.h"
#include "render/raster/paint.h"
#include "render/shadow_generator.h"
#include "render/text/font.h"
#include "runtime/settings.h"
#include "runtime/win.h"
#include "support/simulated_device_io.h"
#include "tests/app/main_window/first_start_settings_win.h"
#include "tests/app/pages/track_measure_by_name.h"
#include "ui/support/display_list_reader.h"
#include "ui/support/fresh_paint.h"
#include "ui/support/drop_blocks.h"
#include "ui/support/memory_canvas.h"
#include "ui/support/real_window.h"
#include "ui/support/ui_test_platform.h"
#include "ui/support/scripted_window_system.h"
#include "ui/widgets/edit_clipboard.h"
#include "ui/windows/theme/theme_metrics.h"

namespace {

// A page opened on demand that notes the commands it is given and may keep
// the main window open (as a running job does).
template <class P>
class CCommandPage : public CWidgetOf<CCommandPage<P>, P> {
 public:
  void OnCommand(u32 id) { commands.push_back(id); }
  bool RefusesClose() { return busy; }
  // The page's own menu entries, as an editing page turns them on.
  void UpdateMenu() {
    for (u32 id : ownEntries) this->Window().menu->EnableItemById(static_cast<i32>(id), true);
  }
  std::vector<u32> commands;
  std::vector<u32> ownEntries;
  bool busy = false;
};
typedef CCommandPage<CMainFrame::PageHost> Page;

// The item of a command id anywhere in the menu.
MenuItem* FindItem(CMenuModel* menu, i32 id) {
  for (i32 i = 0; i < menu->count; ++i) {
    MenuItem* item = menu->GetItem(i);
    if (item->id == id && item->CanBeEnabled()) return item;
    if (CMenuModel* sub = CMenuModel::AsSubmenu(item))
      if (MenuItem* found = FindItem(sub, id)) return found;
  }
  return nullptr;
}
bool Enabled(CMainFrame& f, u32 id) {
  MenuItem* item = FindItem(f.menu, static_cast<i32>(id));
  return item && (item->flags & kMenuEnabled);
}

// The texts the last whole-window paint drew, one after the other.
std::u16string DrawnText(CMainFrame& f) {
  f.Repaint();
  const CArena& strings = f.Canvas().list.Strings();
  const wchar16* s = reinterpret_cast<const wchar16*>(strings.data);
  return std::u16string(s, s + strings.used / 2);
}

// Starts with no saved place, runs the program as its entry does and closes
// it from another thread once it shows; then a move is remembered by the
// next start.
TEST(MainFrame, StartsCentredWithItsTitleAndComesBackWhereItWasMoved) {
  ForgetMainSettings();
  std::atomic<HWND> found{nullptr};
  std::wstring title;
  RECT first = {0, 0, 0, 0};
  std::thread user([&] {
    for (int i = 0; i < 1000 && !found; ++i) {
      found = FindWindowW(L"Kelvane", nullptr);
      Sleep(10);
    }
    HWND w = found;
    if (!w) return;
    wchar_t text[64] = {};
    GetWindowTextW(w, text, 64);
    title = text;
    GetWindowRect(w, &first);
    SetWindowPos(w, nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(200);
    PostMessageW(w, WM_CLOSE, 0, 0);
  });
  const u32 code = RunApplication(SW_SHOWNORMAL);
  user.join();
  ASSERT_NE(nullptr, found.load());
  EXPECT_EQ(0u, code);
  EXPECT_EQ(L"Kelvane 0.6.5 Build 711", title);
  WorkAreaRect area;
  GetWorkArea(&area);
  EXPECT_EQ(669, first.right - first.left);
  EXPECT_EQ(469, first.bottom - first.top);
  EXPECT_EQ((area.right - 650) / 2 - 9, first.left);
  // The move was written as the frame's y-up rectangle.
  SettingsRect saved;
  ASSERT_TRUE(CSettingsKey().ReadWindowRect(&saved));
  EXPECT_EQ((std::vector<i32>{49, area.bottom - 39 - 450, 49 + 650, area.bottom - 39}),
            (std::vector<i32>{saved.left, saved.top, saved.right, saved.bottom}));
  // The next start is where the last one was left, with the task view open
  // when it was open at the end.
  CSettingsKey().WriteDword(u"", u"TaskViewShow", 1);
  CMainFrame again;
  const Rect r = {saved.left, saved.top, saved.right, saved.bottom};
  ASSERT_TRUE(again.Create(r));
  RECT second;
  GetWindowRect(static_cast<HWND>(again.Handle()), &second);
  EXPECT_EQ(40 * 1000 + 30, second.left * 1000 + second.top);
  EXPECT_EQ(again.pageHost.TaskViewHolder(), again.pageHost.Current());
  ForgetMainSettings();
}

class MainFrameTest : public ::testing::Test {
 protected:
  MainFrameTest() : installed_(io_) {
    opened_.clear();  // what an earlier case opened
    RestoreProgramResources();
    ForgetMainSettings();
    io_.AddOpticalDrive(u'E', &recorder_);
    MediumOptions cdrw;
    cdrw.preset = MediumPreset::kCdRw;
    cdrw.fill = DiscFill::kComplete;
    recorder_.InsertMedium(cdrw);
    recorder_.MakeReady();
  }
  ~MainFrameTest() { ForgetMainSettings(); }
  static i32 OpenSpy(const wchar16* target) {
    opened_.push_back(target);
    return 42;
  }

  CSimulatedRecorder recorder_;
  CSimulatedDeviceIo io_;
  CInstalledDeviceIo installed_;
  static std::vector<std::u16string> opened_;
};
std::vector<std::u16string> MainFrameTest::opened_;

TEST_F(MainFrameTest, CommandsReachTheirHandlersAndTheRestReachesThePage) {
  CMainFrame f;
  f.openWithShell = &OpenSpy;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  // A CD-RW with data in the selected drive: its entries are on.
  for (u32 id : {kCmdCopyDisc, kCmdEraseIcon, kCmdEject, kCmdDiscInfo, kCmdDeviceInfo, kCmdBurnImage})
    EXPECT_TRUE(Enabled(f, id)) << id;
  EXPECT_FALSE(Enabled(f, kCmdCloseWindow));
  CPageBox<Page>* box = f.pageHost.OpenPage<Page>();
  ASSERT_NE(nullptr, box);
  EXPECT_TRUE(Enabled(f, kCmdCloseWindow) && Enabled(f, kCmdNextWindow));
  // The page's commands reach it (the task commands open their own
  // windows and pages: their tests are theirs).
  const u32 pageCommands[] = {24, 25, 26, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 41, 50, 53, 74};
  for (u32 id : pageCommands) f.OnCommand(id);
  EXPECT_EQ(std::vector<u32>(std::begin(pageCommands), std::end(pageCommands)), box->page.commands);
  // Help opens the manual's address and the page hears it too.
  f.OnCommand(kCmdHelp);
  ASSERT_EQ(1u, opened_.size());
  EXPECT_EQ(std::u16string(GetUiText(kTextManualAddress)), opened_[0]);
  EXPECT_EQ(kCmdHelp, box->page.commands.back());

  // The status bar hides and the page host reaches down to the bottom.
  f.OnCommand(kCmdStatusBar);
  EXPECT_EQ(0, f.pageHost.y);
  f.OnCommand(kCmdStatusBar);
  EXPECT_EQ(kStatusBarHeight, f.pageHost.y);
  {
    // Shown again, it looks as a whole repaint draws it (parts and grip).
    const CCanvas& c = f.Canvas();
    const std::vector<u32> shown(c.pixels, c.pixels + c.width * c.height);
    f.Repaint();
    EXPECT_TRUE(std::vector<u32>(c.pixels, c.pixels + c.width * c.height) == shown) << "nothing left blank";
    // Its grip sizes the window from the corner; the rest of it is client.
    const Rect bar = f.statusBar.ToWindowRect();
    const i32 low = bar.top < bar.bottom ? bar.top : bar.bottom;
    EXPECT_EQ(kHitBottomRight, f.OnNcHitTest(Point{bar.right - 4, low + 4}));
    EXPECT_EQ(kHitClient, f.OnNcHitTest(Point{bar.left + 60, low + 12}));
  }
  {
    // Next and previous window through the keys: Ctrl+Tab, Ctrl+Shift+Tab.
    CScriptedWindowSystem keys;
    HWND window = static_cast<HWND>(f.Handle());
    keys.SetKeyDown(VK_CONTROL, true);
    SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(f.pageHost.StartStripHolder(), f.pageHost.Current());
    keys.SetKeyDown(VK_LSHIFT, true);
    SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(box, f.pageHost.Current());
  }
  f.OnCommand(kCmdTaskManager);
  EXPECT_EQ(kMenuIconTicked, FindItem(f.menu, kCmdTaskManager)->icon);
  f.OnCommand(kCmdCloseWindow);  // the task view leaves the list
  EXPECT_FALSE(f.pageHost.IsTaskViewShown());
  EXPECT_EQ(kMenuIconUnticked, FindItem(f.menu, kCmdTaskManager)->icon);
  // Fixed sizes, centred in the work area (a maximised window is restored
  // first, so it keeps its frame and shadow).
  f.Maximize();
  f.OnCommand(kCmdSize800);
  EXPECT_FALSE(f.flags & kFlagMaximized);
  EXPECT_EQ(781 * 1000 + 581, f.width * 1000 + f.height);
  f.OnCommand(kCmdSize960);
  WorkAreaRect area;
  GetWorkArea(&area);
  EXPECT_EQ((area.right - 941) / 2 * 1000 + 941, f.x * 1000 + f.width);
  // A medium that leaves: the poller's listener only posts; the menu follows
  // once the window has handled the message.
  recorder_.RemoveMedium();
  std::thread poller([&] { f.drives.PollOnce(); });
  poller.join();
  EXPECT_TRUE(Enabled(f, kCmdDiscInfo));
  PumpPending();
  EXPECT_FALSE(Enabled(f, kCmdDiscInfo));
  EXPECT_TRUE(Enabled(f, kCmdEject));
  // Eject: the drive lets the disc go and opens its tray.
  recorder_.ClearTrace();
  f.OnCommand(kCmdEject);
  EXPECT_TRUE(recorder_.TrayOpen());
  // While the page keeps the window open, Exit changes nothing but the
  // notice; afterwards it closes the window.
  box->page.busy = true;
  f.OnCommand(kCmdExit);
  PumpPending();
  EXPECT_TRUE(IsWindow(static_cast<HWND>(f.Handle())));
  EXPECT_TRUE(f.notice.IsRunning());
  f.notice.Stop();
  box->page.busy = false;
  f.OnCommand(kCmdExit);
  EXPECT_TRUE(PumpUntil([&] { return f.Handle() == nullptr; }));
}

// Closing the main window while an explorer page exports files out of an
// image: the window stays and the notice names the export (not a disc
// job), in either language; once the export has ended the window closes.
struct ExportWatch {
  CMainFrame* frame = nullptr;
  bool open = false;
  NoticeText said = 0;
};
ExportWatch g_export;

TEST_F(MainFrameTest, ClosingDuringAnExportIsRefusedWithANoticeThatNamesIt) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  auto* page = f.pageHost.OpenExplorerPage();
  ASSERT_NE(nullptr, page);
  ASSERT_TRUE(page->OpenImage(u"fixtures\\extract\\plain.iso"));
  page->actions.chooseFolder = [](u32, const wchar16*, CWideString* chosen) {
    chosen->Assign(u"C:\\out");
    return true;
  };
  page->actions.extract = [](void*, const wchar16*, CFileNode* const*, u32, const wchar16*, u32) {
    // The user closes the program while the files are written.
    CMainFrame& frame = *g_export.frame;
    SendMessageW(static_cast<HWND>(frame.Handle()), WM_CLOSE, 0, 0);
    g_export.open = IsWindow(static_cast<HWND>(frame.Handle()));
    g_export.said = frame.notice.textId;
    frame.notice.Stop();
    return true;
  };
  f.notice.Stop();  // the page's own notice has been seen
  g_export = ExportWatch();
  g_export.frame = &f;
  page->list.SelectItem(0, false);
  page->OnCommand(kCmdExportFiles);
  EXPECT_TRUE(g_export.open);
  EXPECT_EQ(kNoticeExportRunning, g_export.said);
  // Its own text in both languages, neither of them the disc job's.
  for (u32 language : {kLanguageEnglish, kLanguageSpanish}) {
    ASSERT_TRUE(SetCurrentLanguage(language));
    const UiString text = NoticeTextOf(kNoticeExportRunning);
    const UiString job = NoticeTextOf(kNoticeJobRunning);
    EXPECT_GT(text.length, 0u);
    EXPECT_NE(std::u16string(job.text, job.length), std::u16string(text.text, text.length)) << language;
  }
  SetCurrentLanguage(kLanguageEnglish);
  const std::u16string english(NoticeTextOf(kNoticeExportRunning).text);
  EXPECT_NE(std::u16string::npos, english.find(u"export")) << std::string(english.begin(), english.end());
  f.OnCommand(kCmdExit);
  EXPECT_TRUE(PumpUntil([&] { return f.Handle() == nullptr; }));
}

// A hot tile cools when the pointer can no longer be followed (another
// window took the mouse) and when the strip loses the focus.
TEST_F(MainFrameTest, AStartTileCoolsWhenThePointerOrTheFocusLeaves) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  HWND window = static_cast<HWND>(f.Handle());
  auto& strip = f.pageHost.startStrip;
  const Rect r = strip.ToWindowRect();
  auto hoverFirstTile = [&] {
    // A point of the top tile, in client coordinates of the window.
    POINT p = {(r.left + r.right) / 2, 0};
    WorkAreaRect area;
    GetWorkArea(&area);
    p.y = area.bottom - ((r.top > r.bottom ? r.top : r.bottom) - 40);
    ScreenToClient(window, &p);
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  };
  hoverFirstTile();
  ASSERT_EQ(0, strip.hot);
  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  SendMessageW(window, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(other));
  EXPECT_EQ(-1, strip.hot) << "the pointer went elsewhere";
  DestroyWindow(other);
  hoverFirstTile();
  ASSERT_EQ(0, strip.hot);
  strip.SetFocus();
  f.menuBar.driveSelector.SetFocus();
  EXPECT_EQ(-1, strip.hot) << "the focus went elsewhere";
  strip.SetFocus();
  EXPECT_EQ(0, strip.hot) << "and comes back with it";
}

// A tile lit under the pointer goes out when the start page goes away
// (a tile's command opened another page), with no hover left behind (the
// strip is not the pressed widget). When that page closes, the start page
// comes back with the same tile lit as its keyboard focus, whether or not
// the pointer moved meanwhile, so Down goes on from it; the page activated
// again while the strip kept the focus lights it too. The next move over a
// tile lights that one.
TEST_F(MainFrameTest, TheStartPageComesBackWithItsTileLit) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  HWND window = static_cast<HWND>(f.Handle());
  auto& strip = f.pageHost.startStrip;
  const auto moveTo = [&](i32 x, i32 yBelowTop) {
    const Rect r = strip.ToWindowRect();
    WorkAreaRect area;
    GetWorkArea(&area);
    POINT p = {x, area.bottom - ((r.top > r.bottom ? r.top : r.bottom) - yBelowTop)};
    ScreenToClient(window, &p);
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  };
  const Rect r = strip.ToWindowRect();
  const i32 middle = (r.left + r.right) / 2;
  for (bool movedMeanwhile : {false, true}) {
    SCOPED_TRACE(movedMeanwhile ? "the pointer moved over the other page" : "the pointer stayed");
    moveTo(middle, 40 + 56 * 2);  // the third tile
    ASSERT_EQ(2, strip.hot);
    f.OnCommand(kCmdDiscInfo);
    ASSERT_NE(f.pageHost.StartStripHolder(), f.pageHost.Current());
    EXPECT_EQ(-1, strip.hot);
    EXPECT_NE(static_cast<CWidget*>(&strip), PressedWidget());
    if (movedMeanwhile) moveTo(middle, 100);
    f.OnCommand(kCmdCloseWindow);
    ASSERT_EQ(f.pageHost.StartStripHolder(), f.pageHost.Current());
    EXPECT_EQ(2, strip.hot);
    EXPECT_EQ(static_cast<CWidget*>(&strip), FocusedWidget());
    f.OnCommand(kCmdTaskManager);  // another page over it, and back
    f.OnCommand(kCmdCloseWindow);
    EXPECT_EQ(2, strip.hot);
  }
  SendMessageW(window, WM_KEYDOWN, VK_DOWN, 1);
  EXPECT_EQ(3, strip.hot) << "the keys go on from the lit tile";
  HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  moveTo(middle, 40);
  ASSERT_EQ(0, strip.hot);
  SendMessageW(window, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(other));
  DestroyWindow(other);
  ASSERT_EQ(-1, strip.hot);
  ASSERT_EQ(static_cast<CWidget*>(&strip), FocusedWidget());
  f.pageHost.StartStripHolder()->Activate(true);
  EXPECT_EQ(0, strip.hot) << "activated again with the focus kept";
  moveTo(middle, 40 + 56);
  EXPECT_EQ(1, strip.hot) << "the pointer lights the tile it is on";
}

// The menu band behind the menu bar: one translucent strip as wide as the
// page host, from its top edge up by the bar's height and the gap below the
// bar, laid over nothing, so the desktop shows through it (in the gap the
// band alone is drawn). Nothing opaque lies under the panes.
TEST_F(MainFrameTest, TheMenuBandIsTranslucentOverNothing) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  for (bool statusBar : {true, false}) {
    SCOPED_TRACE(statusBar ? "with the status bar" : "without it");
    if (f.statusBar.IsVisible() != statusBar) f.OnCommand(kCmdStatusBar);
    f.Repaint();
    const WindowMargins m = f.Margins();
    const Rect content = ContentRectOf(f.width, f.height, f.flags);
    const i32 left = m.left + content.left + f.pageHost.x;
    const i32 low = m.bottom + content.top + f.pageHost.y + f.pageHost.height;
    const i32 gap = ThemeMenuBarItemGap();
    // The drawing: the band once, in the tint colour; no opaque fill of
    // the window's colour anywhere.
    const std::vector<double> band = {double(left), double(low), double(left + f.pageHost.width),
                                      double(low + f.menuBar.height + gap)};
    int bands = 0;
    for (const DrawnRecord& r : RecordsOf(ReadRecords(f.Canvas()), kOpRect)) {
      EXPECT_NE(ThemeWindowColor(), r.colour) << r.x0 << "," << r.y0 << "," << r.x1 << "," << r.y1;
      bands += r.colour == 0xC8C0D0E0u && band == std::vector<double>{r.x0, r.y0, r.x1, r.y1};
    }
    EXPECT_EQ(1, bands);
    EXPECT_EQ(low + f.menuBar.height + gap, m.bottom + content.bottom) << "the band reaches the content's top";
    // Its pixels in the gap: the tint over a colourless ground (only the
    // window's shadow lies there), not fully opaque.
    const CCanvas& c = f.Canvas();
    for (i32 row = low; row < low + gap; ++row)
      for (i32 x : {left, left + f.pageHost.width / 2, left + f.pageHost.width - 1}) {
        const u32 pixel = c.pixels[static_cast<size_t>(row) * c.width + x];
        EXPECT_EQ(BlendPixel(0, 0xC8C0D0E0u, 0xC8) & 0xFFFFFFu, pixel & 0xFFFFFFu) << x << "," << row;
        EXPECT_LT(pixel >> 24, 0xFFu) << x << "," << row;
      }
  }
}

// Each command opens a new page, which reads the selected drive.
TEST_F(MainFrameTest, DiscAndDeviceInformationOpenNewPages) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  const struct {
    u32 command;
    u8 opcode;  // a command that page sends
  } cases[] = {{kCmdDiscInfo, mmc::kReadTocPmaAtip}, {kCmdDeviceInfo, mmc::kInquiry}, {kCmdDiscInfo, mmc::kReadTocPmaAtip}};
  u32 pages = f.pageHost.list.Count();
  for (const auto& c : cases) {
    CPageHolder* before = f.pageHost.Current();
    const u32 sent = recorder_.CountCommands(c.opcode);
    f.OnCommand(c.command);
    EXPECT_EQ(++pages, f.pageHost.list.Count());
    ASSERT_NE(before, f.pageHost.Current());
    EXPECT_EQ(480, f.pageHost.Current()->Widget()->width);
    EXPECT_GT(recorder_.CountCommands(c.opcode), sent);
  }
  EXPECT_TRUE(Enabled(f, kCmdCloseWindow) && Enabled(f, kCmdNextWindow));
  f.OnCommand(kCmdCloseWindow);
  EXPECT_EQ(pages - 1, f.pageHost.list.Count());
}

TEST_F(MainFrameTest, LanguageSwitchLeavesNoTextInTheOldLanguage) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  f.pageHost.ShowTaskView(true);
  f.pageHost.list.Activate(f.pageHost.StartStripHolder());
  // The texts a person sees: the menu bar's titles and the tiles' titles.
  const u32 shownIds[] = {19, 28, 46, 40, 56, 138, 139, 140, 141, 142};
  const auto title = [](u32 id) {
    UiString t, d;
    TileTextParts(*GetUiString(id), &t, &d);
    return std::u16string(t.text, t.length);
  };
  std::vector<std::u16string> english;
  for (u32 id : shownIds) english.push_back(title(id));
  const std::u16string before = DrawnText(f);
  for (const std::u16string& t : english) EXPECT_NE(std::u16string::npos, before.find(t));

  f.OnCommand(kCmdSpanish);
  u32 stored = 0;
  EXPECT_TRUE(CSettingsKey().ReadDword(u"\\Main", u"Language", &stored) && stored == kLanguageSpanish);
  EXPECT_TRUE(!Enabled(f, kCmdSpanish) && Enabled(f, kCmdEnglish));
  EXPECT_EQ(AcceleratorTable(kLanguageSpanish), f.accelerators);
  const std::u16string after = DrawnText(f);
  for (size_t i = 0; i < english.size(); ++i) {
    const std::u16string spanish = title(shownIds[i]);
    EXPECT_NE(std::u16string::npos, after.find(spanish)) << shownIds[i];
    if (spanish != english[i]) {
      EXPECT_EQ(std::u16string::npos, after.find(english[i])) << shownIds[i];
    }
  }
  // The task view's heading, shown again, in Spanish too.
  f.pageHost.ShowTaskView(true);
  EXPECT_NE(std::u16string::npos, DrawnText(f).find(GetUiText(kTextTaskManager)));

  // The same language again writes nothing; back to English.
  RegDeleteKeyW(HKEY_CURRENT_USER, kMainKeyPath);
  f.OnCommand(kCmdSpanish);
  EXPECT_FALSE(CSettingsKey().ReadDword(u"\\Main", u"Language", &stored));
  f.OnCommand(kCmdEnglish);
  EXPECT_NE(std::u16string::npos, DrawnText(f).find(english[0]));
  // The entries and the keys follow back: English is now the one that
  // cannot be chosen, the English keys are back and the choice is stored.
  EXPECT_TRUE(Enabled(f, kCmdSpanish) && !Enabled(f, kCmdEnglish));
  EXPECT_EQ(AcceleratorTable(kLanguageEnglish), f.accelerators);
  EXPECT_TRUE(CSettingsKey().ReadDword(u"\\Main", u"Language", &stored) && stored == kLanguageEnglish);
}

// Three pages (the start strip and two more): Ctrl+Tab goes forward and
// Ctrl+Shift+Tab (either Shift key) back, each wrapping at both ends; after
// every step the Window menu says what can be done: Next and Previous while
// two or more pages are open, Close Window while the current page is not
// the start strip. Ctrl+F4 closes the current page and its neighbour takes
// its place.
TEST_F(MainFrameTest, CtrlTabAndCtrlShiftTabWalkThePagesEachTheirWay) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  CPageHolder* strip = f.pageHost.StartStripHolder();
  CPageBox<Page>* a = f.pageHost.OpenPage<Page>();
  CPageBox<Page>* b = f.pageHost.OpenPage<Page>();
  ASSERT_TRUE(a && b);
  ASSERT_EQ(b, f.pageHost.Current());
  CScriptedWindowSystem keys;
  HWND window = static_cast<HWND>(f.Handle());
  keys.SetKeyDown(VK_CONTROL, true);
  const struct {
    i32 shift;  // 0, VK_LSHIFT or VK_RSHIFT
    CPageHolder* current;
  } walk[] = {
      {0, strip},          {0, a},          {0, b},          {VK_LSHIFT, a},
      {VK_LSHIFT, strip},  {VK_RSHIFT, b},  {VK_RSHIFT, a},  {0, b},
  };
  int step = 0;
  for (const auto& w : walk) {
    keys.SetKeyDown(VK_LSHIFT, w.shift == VK_LSHIFT);
    keys.SetKeyDown(VK_RSHIFT, w.shift == VK_RSHIFT);
    SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(w.current, f.pageHost.Current()) << "step " << step;
    EXPECT_TRUE(w.current->Widget()->IsVisible()) << "step " << step;
    for (CPageHolder* other : {strip, static_cast<CPageHolder*>(a), static_cast<CPageHolder*>(b)}) {
      if (other != w.current) {
        EXPECT_FALSE(other->Widget()->IsVisible()) << "step " << step;
      }
    }
    EXPECT_TRUE(Enabled(f, kCmdNextWindow) && Enabled(f, kCmdPreviousWindow)) << "step " << step;
    EXPECT_EQ(w.current != strip, Enabled(f, kCmdCloseWindow)) << "step " << step;
    ++step;
  }
  keys.SetKeyDown(VK_LSHIFT, false);
  keys.SetKeyDown(VK_RSHIFT, false);
  // Ctrl+F4 on the last page: the one before it is current.
  SendMessageW(window, WM_KEYDOWN, VK_F4, 1);
  EXPECT_EQ(a, f.pageHost.Current());
  EXPECT_EQ(2u, f.pageHost.list.Count());
  EXPECT_TRUE(Enabled(f, kCmdNextWindow) && Enabled(f, kCmdCloseWindow));
  SendMessageW(window, WM_KEYDOWN, VK_F4, 1);
  EXPECT_EQ(strip, f.pageHost.Current());
  EXPECT_FALSE(Enabled(f, kCmdNextWindow) || Enabled(f, kCmdPreviousWindow) || Enabled(f, kCmdCloseWindow));
  // Alone, the start strip stays whatever the keys.
  SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
  SendMessageW(window, WM_KEYDOWN, VK_F4, 1);
  EXPECT_EQ(strip, f.pageHost.Current());
  keys.SetKeyDown(VK_CONTROL, false);
  PumpPending();
}

// Top to bottom the menu bar, a gap, the page host and the status bar fill
// the window's content exactly; the drive selector stands at the bar's
// right end, centred in its height. Without the status bar the page host
// reaches the bottom; the sums hold after a resize too.
TEST_F(MainFrameTest, PanesFillTheContentFromTopToBottom) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  const i32 gap = ThemeMenuBarItemGap(), control = ThemeControlSize();
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    if (round == 1) f.OnCommand(kCmdStatusBar);
    if (round == 2) {
      f.OnCommand(kCmdStatusBar);
      ASSERT_TRUE(f.SetWindowRect(f.x, f.y, f.width + 37, f.height + 51));
    }
    const bool bar = f.statusBar.IsVisible();
    EXPECT_EQ(round != 1, bar);
    const Rect content = f.GetContentRect();
    const i32 w = content.right, h = content.bottom;
    EXPECT_TRUE(f.statusBar.x == 0 && f.statusBar.y == 0 && f.statusBar.width == w &&
                f.statusBar.height == kStatusBarHeight);
    EXPECT_EQ(0, f.menuBar.x);
    EXPECT_EQ(w, f.menuBar.width);
    EXPECT_EQ(h, f.menuBar.y + f.menuBar.height) << "the menu bar ends at the top";
    EXPECT_EQ(0, f.pageHost.x);
    EXPECT_EQ(w, f.pageHost.width);
    EXPECT_EQ(bar ? kStatusBarHeight : 0, f.pageHost.y);
    EXPECT_EQ(f.menuBar.y - gap, f.pageHost.y + f.pageHost.height) << "a gap below the menu bar";
    // The drive selector in the bar (its coordinates the bar's).
    const auto& selector = f.menuBar.driveSelector;
    EXPECT_EQ(w - gap, selector.x + selector.width);
    EXPECT_EQ(CDeviceBar<CMainFrame>::kDriveSelectorWidth, selector.width);
    EXPECT_EQ(control, selector.height);
    EXPECT_EQ((f.menuBar.height - control) / 2, selector.y);
    // The current page (the start strip) fills the host.
    const Rect hostContent = f.pageHost.GetContentRect();
    EXPECT_EQ(hostContent.right / 2 - 200, f.pageHost.startStrip.x);
    EXPECT_EQ((hostContent.bottom - 307) / 2, f.pageHost.startStrip.y);
  }
}

// Whenever another page becomes current, File and Edit go back to their
// built state before that page sets its own entries: what one page turned
// on is off on the next; the View menu's tick is no page's and stays.
TEST_F(MainFrameTest, EachNewCurrentPageStartsFromTheBuiltFileAndEditEntries) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  CPageBox<Page>* saver = f.pageHost.OpenPage<Page>();
  CPageBox<Page>* editor = f.pageHost.OpenPage<Page>();
  ASSERT_TRUE(saver && editor);
  saver->page.ownEntries = {kCmdSave, kCmdSaveAs};
  editor->page.ownEntries = {kCmdCopy, kCmdPaste};
  f.OnCommand(kCmdTaskManager);  // the task view: a fourth page, ticked
  const struct {
    CPageHolder* page;
    bool save, paste, close;
  } steps[] = {
      {saver, true, false, true},
      {editor, false, true, true},
      {f.pageHost.StartStripHolder(), false, false, false},
      {saver, true, false, true},
      {f.pageHost.TaskViewHolder(), false, false, true},
  };
  int step = 0;
  for (const auto& s : steps) {
    ASSERT_TRUE(f.pageHost.list.Activate(s.page));
    EXPECT_EQ(s.save, Enabled(f, kCmdSave)) << step;
    EXPECT_EQ(s.save, Enabled(f, kCmdSaveAs)) << step;
    EXPECT_EQ(s.paste, Enabled(f, kCmdPaste)) << step;
    EXPECT_EQ(s.paste, Enabled(f, kCmdCopy)) << step;
    EXPECT_EQ(s.close, Enabled(f, kCmdCloseWindow)) << step;
    EXPECT_TRUE(Enabled(f, kCmdNextWindow)) << step;
    // The drive entries stay as the selected drive says.
    EXPECT_TRUE(Enabled(f, kCmdDiscInfo) && Enabled(f, kCmdEraseIcon)) << step;
    EXPECT_EQ(kMenuIconTicked, FindItem(f.menu, kCmdTaskManager)->icon) << step;
    ++step;
  }
}

// The data project's entries over the menu reset that comes with every
// page change: while its page is current, Add files... and New folder
// (still hidden under Edit, as built, with Export Files), Burn project and
// Save image are enabled; with another page current, or the page closed,
// they are off. Burn project there slides in the preview notice.
TEST_F(MainFrameTest, TheDataProjectsEntriesFollowItsPageThroughTheMenuReset) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  const u32 entries[] = {kCmdAddFiles, kCmdNewFolder, kCmdBurnProject, kCmdSaveImage};
  const auto expectEntries = [&](bool on, const char* when) {
    for (u32 id : entries) EXPECT_EQ(on, Enabled(f, id)) << when << ": " << id;
    for (u32 id : {kCmdAddFiles, kCmdNewFolder, kCmdExportFiles})
      EXPECT_TRUE(FindItem(f.menu, static_cast<i32>(id))->flags & kMenuHidden) << when << ": " << id;
  };
  expectEntries(false, "the start page");
  f.OnCommand(kCmdNewData);
  CPageHolder* project = f.pageHost.Current();
  ASSERT_NE(f.pageHost.StartStripHolder(), project);
  expectEntries(true, "the data project");
  f.notice.Stop();
  ASSERT_FALSE(f.notice.IsRunning());
  f.OnCommand(kCmdBurnProject);
  EXPECT_TRUE(f.notice.IsRunning()) << "Burn project tells the area is a preview";
  f.notice.Stop();
  ASSERT_TRUE(f.pageHost.list.Activate(f.pageHost.StartStripHolder()));
  expectEntries(false, "the start page over the project");
  ASSERT_TRUE(f.pageHost.list.Activate(project));
  expectEntries(true, "the data project again");
  f.OnCommand(kCmdCloseWindow);
  ASSERT_EQ(f.pageHost.StartStripHolder(), f.pageHost.Current());
  expectEntries(false, "the project closed");
  f.notice.Stop();
}

// The drive selector is the menu bar's child: Tab from the window itself
// reaches the menu bar first, then the selector; Shift+Tab comes back the
// same way. The pointer moving from a bar item onto the selector lets the
// item go out.
TEST_F(MainFrameTest, TabReachesTheMenuBarBeforeItsDriveSelector) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  HWND window = static_cast<HWND>(f.Handle());
  CScriptedWindowSystem keys;
  auto tab = [&](bool backward) {
    keys.SetKeyDown(VK_SHIFT, backward);
    SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
    keys.SetKeyDown(VK_SHIFT, false);
    return FocusedWidget();
  };
  f.SetFocus();
  CWidget* self = &f;
  ASSERT_EQ(self, FocusedWidget());
  EXPECT_EQ(&f.menuBar, tab(false));
  EXPECT_EQ(&f.menuBar.driveSelector, tab(false));
  EXPECT_EQ(&f.menuBar, tab(true));
  EXPECT_EQ(self, tab(true));
  EXPECT_TRUE(f.menuBar.driveSelector.IsWithin(&f.menuBar));
  auto moveTo = [&](Point desktop) {
    WorkAreaRect area;
    GetWorkArea(&area);
    POINT p = {desktop.x, area.bottom - desktop.y};
    keys.SetCursor(p.x, p.y);
    ScreenToClient(window, &p);
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  };
  const Rect& file = f.menuBar.itemRects[0];
  Point onFile = {(file.left + file.right) / 2, (file.top + file.bottom) / 2};
  f.menuBar.ToWindowPoint(&onFile);
  moveTo(onFile);
  EXPECT_EQ(0, f.menuBar.hotItem);
  Point onSelector = {10, f.menuBar.driveSelector.height / 2};
  f.menuBar.driveSelector.ToWindowPoint(&onSelector);
  moveTo(onSelector);
  EXPECT_EQ(&f.menuBar.driveSelector, PressedWidget());
  EXPECT_EQ(-1, f.menuBar.hotItem) << "the bar's item went out";
}

// Two drives, the second one empty: the selector lists both by name, and
// a choice moves the drive entries to what the chosen drive holds; no
// choice (-1) changes nothing.
TEST_F(MainFrameTest, TheDriveSelectorsChoiceSetsTheDriveEntries) {
  CSimulatedRecorder empty;
  io_.AddOpticalDrive(u'F', &empty);
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 750, 550}));
  ASSERT_EQ(2u, f.drives.GetDriveCount());
  EXPECT_EQ(2, f.menuBar.driveSelector.itemCount);
  EXPECT_EQ(0, f.menuBar.driveSelector.selectedIndex);
  for (i32 i = 0; i < 3; ++i) {
    const wchar16* text = nullptr;
    i32 length = -7;
    f.DriveItem(i, &text, &length, nullptr, nullptr);
    if (i < 2) {
      EXPECT_EQ(std::u16string(f.drives.GetName(static_cast<u32>(i)).c_str()), std::u16string(text, length)) << i;
    } else {
      EXPECT_TRUE(text == nullptr && length == -7) << "no drive 2";
    }
  }
  const struct {
    i32 choice;
    u32 selected;
    bool medium;  // disc information, the erase icon
  } steps[] = {{1, 1, false}, {-1, 1, false}, {0, 0, true}, {1, 1, false}};
  for (const auto& s : steps) {
    f.OnDriveChosen(s.choice);
    EXPECT_EQ(s.selected, f.drives.GetSelected()) << s.choice;
    EXPECT_EQ(s.medium, Enabled(f, kCmdDiscInfo)) << s.choice;
    EXPECT_EQ(s.medium, Enabled(f, kCmdEraseIcon)) << s.choice;
    EXPECT_TRUE(Enabled(f, kCmdEject) && Enabled(f, kCmdDeviceInfo) && Enabled(f, kCmdCopyDisc)) << s.choice;
  }
  // A medium arriving in a drive that is not the selected one changes
  // nothing; in the selected one, its entries follow.
  MediumOptions cdrw;
  cdrw.preset = MediumPreset::kCdRw;
  cdrw.fill = DiscFill::kComplete;
  f.OnDriveChosen(0);
  empty.InsertMedium(cdrw);
  empty.MakeReady();
  recorder_.RemoveMedium();
  f.OnUserMessage(kMsgMediaChanged, 1, 0);
  EXPECT_TRUE(Enabled(f, kCmdDiscInfo)) << "drive 1 is not the selected one";
  f.OnUserMessage(kMsgMediaChanged, 0, 0);
  EXPECT_FALSE(Enabled(f, kCmdDiscInfo));
  f.OnDriveChosen(1);
  EXPECT_TRUE(Enabled(f, kCmdDiscInfo) && Enabled(f, kCmdEraseIcon));
  DestroyWindow(static_cast<HWND>(f.Handle()));
  PumpPending();
}

// The task view follows the pointer both ways while its own area is held,
// stops at both edges of the page host's content, stores where it stands for the
// next start, and a double click centres it (stored as -1); the drag ends
// with the button.
TEST_F(MainFrameTest, TheTaskViewIsDraggedBothWaysStopsAtTheEdgesAndIsCentredAgain) {
  CMainFrame f;
  ASSERT_TRUE(f.Create(Rect{100, 100, 900, 650}));
  auto& view = f.pageHost.taskView;
  f.pageHost.ShowTaskView(true);
  const i32 hostWidth = f.pageHost.GetContentRect().right;
  // Centred at first: half the host's widget width less half its own.
  EXPECT_EQ(f.pageHost.width / 2 - 212, view.x);
  CScriptedWindowSystem pointer;
  Point nowhere = {0, 0};
  pointer.SetCursor(500, 300);
  view.OnLButtonDown(1, &nowhere);
  ASSERT_EQ(&view, CaptureOwner());
  const auto stored = [] {
    u32 value = 0x12345678u;
    CSettingsKey().ReadDword(u"", u"TaskViewOffset", &value);
    return static_cast<i32>(value);
  };
  const struct {
    i32 cursor;
    i32 keys;
    i32 x;  // -1: where it stood
  } moves[] = {
      {530, 1, -1}, {480, 1, -1}, {481, 1, -1}, {-2000, 1, 0}, {-1999, 1, 1}, {4000, 1, hostWidth - 424},
      {3999, 1, hostWidth - 425}, {3000, 0, hostWidth - 425},  // the button is up: no move
  };
  i32 x = view.x, cursor = 500;
  for (const auto& m : moves) {
    pointer.SetCursor(m.cursor, 300);
    view.DragMove(m.keys, &nowhere);
    if (m.keys) {
      x = m.x >= 0 ? m.x : x + (m.cursor - cursor);
      cursor = m.cursor;
    }
    EXPECT_EQ(x, view.x) << "cursor " << m.cursor;
    EXPECT_EQ(x, stored()) << "cursor " << m.cursor;
    EXPECT_EQ(x, view.offset);
  }
  // A double click centres it; the next place keeps it centred.
  CaptureTable::DispatchLeftUp(0, &nowhere);
  EXPECT_EQ(nullptr, CaptureOwner());
  view.OnLButtonDblClk(1, &nowhere);
  EXPECT_EQ((hostWidth - 424) / 2, view.x);
  EXPECT_EQ(-1, stored());
  EXPECT_EQ(-1, view.offset);
  // A stored place comes back with the next window.
  CSettingsKey().WriteDword(u"", u"TaskViewOffset", 37);
  CMainFrame again;
  ASSERT_TRUE(again.Create(Rect{100, 100, 900, 650}));
  again.pageHost.ShowTaskView(true);
  EXPECT_EQ(37, again.pageHost.taskView.x);
  DestroyWindow(static_cast<HWND>(again.Handle()));
  DestroyWindow(static_cast<HWND>(f.Handle()));
  PumpPending();
}

// "Language" in the registry counts only as English or Spanish.
TEST_F(MainFrameTest, AStoredLanguageOtherThanTheTwoKeepsTheLocaleChoice) {
  const u32 values[] = {8, 1, 9, 0, 0xFFFFFFFFu};
  for (u32 value : values) {
    SetCurrentLanguage(kLanguageEnglish);
    CSettingsKey().WriteDword(u"\\Main", u"Language", value);
    CMainFrame f;
    f.SetLanguage(-1);
    const u32 expected = value == 8 ? 8 : 1;
    EXPECT_EQ(expected, GetCurrentLanguage()) << value;
    EXPECT_EQ(AcceleratorTable(expected), f.accelerators) << value;
  }
  SetCurrentLanguage(kLanguageEnglish);
}

}  // namespace

namespace {

// Text and a file list on the clipboard at once, as a file manager puts
// them there.
void PutTextAndFiles(const std::u16string& text, const std::vector<std::u16string>& files) {
  for (int i = 0; i < 100 && !OpenClipboard(nullptr); ++i) Sleep(10);
  EmptyClipboard();
  auto put = [](UINT format, const void* data, size_t n) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, n);
    memcpy(GlobalLock(memory), data, n);
    GlobalUnlock(memory);
    if (!SetClipboardData(format, memory)) GlobalFree(memory);
  };
  put(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * 2);
  const std::string block = drop_blocks::WideList(files);
  put(CF_HDROP, block.data(), block.size());
  CloseClipboard();
}

std::u16string ClipboardText() {
  CWideString text;
  ReadClipboardText(&text, 1000);
  return std::u16string(text.c_str(), text.GetLength());
}

}  // namespace

// The main window with a new audio project open, its tracks measured by
// their names ("name_S": S sectors); the measuring goes back at the end.
class CAudioProjectFrame {
  const AudioProjectServices saved_ = AudioServices();  // before the frame, which goes first

 public:
  typedef CAudioProjectPage<CMainFrame::PageHost> Page;
  CAudioProjectFrame() { AudioServices().measure = &MeasureTrackByName; }
  ~CAudioProjectFrame() {
    AudioServices() = saved_;
    frame.notice.Stop();
  }
  // Creates the window (after the case's own settings of it) and opens the
  // project; null when the window could not be made.
  Page* Open() {
    if (!frame.Create(Rect{100, 100, 750, 550})) return nullptr;
    frame.OnCommand(kCmdNewAudio);
    return static_cast<Page*>(frame.pageHost.Current()->Widget());
  }

  CMainFrame frame;
};

// A track's pause field shows a pause of three digits whole at the list's
// font, while it has the keyboard and after Tab took the keyboard away:
// all three digits drawn, inside the field's margins.
TEST_F(MainFrameTest, APauseOfThreeDigitsShowsWhole) {
  CAudioProjectFrame project;
  CMainFrame& f = project.frame;
  CAudioProjectFrame::Page* page = project.Open();
  ASSERT_NE(nullptr, page);
  ASSERT_TRUE(page->AddTrack(u"first_75"));
  auto& field = page->trackList.rows[0]->pauseField;
  HWND window = static_cast<HWND>(f.Handle());
  CScriptedWindowSystem keys;  // Tab without Shift
  // The field's text as its painter draws it, and whether every run lies
  // between the margins.
  auto drawn = [&](bool* inside) {
    CMemoryCanvas target(field.width, field.height);
    field.PaintContent(target.canvas);
    std::u16string text;
    *inside = true;
    const double m = ThemeTextPadding();
    for (const DrawnRecord& r : RecordsOf(ReadRecords(target.canvas), kOpTextRun)) {
      text += r.text;
      const double right = r.x0 + field.edit.font->MeasureText(r.text.c_str(), static_cast<i32>(r.text.size()));
      *inside = *inside && r.x0 >= m && right <= field.width - m;
    }
    return text;
  };
  for (const char16_t* typed : {u"150", u"999"}) {
    SCOPED_TRACE(std::string(typed, typed + 3));
    field.SetFocus();
    ASSERT_EQ(&field, FocusedWidget());
    for (const char16_t* c = typed; *c; ++c) SendMessageW(window, WM_CHAR, *c, 1);
    ASSERT_EQ(std::u16string(typed), std::u16string(field.Text().c_str()));
    bool inside = false;
    EXPECT_EQ(std::u16string(typed), drawn(&inside)) << "with the keyboard";
    EXPECT_TRUE(inside);
    SendMessageW(window, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_NE(&field, FocusedWidget());
    EXPECT_EQ(std::u16string(typed), drawn(&inside)) << "after Tab";
    EXPECT_TRUE(inside);
  }
  EXPECT_EQ(999u * 75u, page->trackList.rows[0]->pauseFrames);
}

// The first track's pause counts at least the pregap the burn writes, so
// the time, the CD size and the gauge depend on which track is first: a
// move, clicked on the row's own button, recomputes them. Tracks of 5 s,
// 4277 s and 5 s with a pause of 150 s before the first: 73:58 on a 74-min
// CD; moved down, the pregap comes before the long track and the total
// (333001 sectors) needs the 80-min CD.
TEST_F(MainFrameTest, MovingATrackRecomputesTheTimeTheCdSizeAndTheGauge) {
  CAudioProjectFrame project;
  CAudioProjectFrame::Page* page = project.Open();
  ASSERT_NE(nullptr, page);
  for (const char16_t* name : {u"a_375", u"b_320851", u"c_375"}) ASSERT_TRUE(page->AddTrack(name));
  auto& rows = page->trackList.rows;
  rows[0]->pauseField.SetFocus();
  for (char16_t c : std::u16string(u"150")) SendMessageW(static_cast<HWND>(project.frame.Handle()), WM_CHAR, c, 1);
  ASSERT_EQ(150u * 75u, rows[0]->pauseFrames);
  // The totals as the page draws them.
  auto shown = [&] {
    CMemoryCanvas target(page->width, page->height);
    page->PaintContent(target.canvas);
    std::u16string text;
    for (const DrawnRecord& r : RecordsOf(ReadRecords(target.canvas), kOpTextRun)) text += r.text;
    return std::string(text.begin(), text.end());
  };
  auto click = [&](const CWidget& button) {
    PumpPending();
    PostMouseAsTheSystemWould(WM_MOUSEMOVE, 0, WidgetCentre(button));
    PostClickAsTheSystemWould(WidgetCentre(button));
    PumpPending();
  };
  auto order = [&] {
    std::string names;
    for (u32 i = 0; i < rows.GetCount(); ++i) names += static_cast<char>(rows[i]->fileName.At(0));
    return names;
  };
  EXPECT_EQ("CD 74 min - Time:73:58", shown());
  EXPECT_DOUBLE_EQ(332851.0 / 333001.0, page->gauge.value);

  click(rows[0]->downButton);
  ASSERT_EQ("bac", order());
  EXPECT_EQ(333001u, page->total);
  EXPECT_EQ("CD 80 min - Time:74:00", shown());
  EXPECT_DOUBLE_EQ(333001.0 / 360001.0, page->gauge.value);

  click(rows[1]->upButton);  // and back
  ASSERT_EQ("abc", order());
  EXPECT_EQ("CD 74 min - Time:73:58", shown());
  EXPECT_DOUBLE_EQ(332851.0 / 333001.0, page->gauge.value);
}

// The audio page's gauge and its menu bar show exactly their new look
// after every change: the gauge as tracks come and go, the bar's item lit
// under the pointer and let go when the pointer moves off it.
TEST_F(MainFrameTest, TheAudioPagesGaugeAndMenuBarLookAsPaintedFreshAfterEveryChange) {
  CAudioProjectFrame project;
  CMainFrame& f = project.frame;
  CAudioProjectFrame::Page* page = project.Open();
  ASSERT_NE(nullptr, page);
  double last = page->gauge.value;
  for (const char16_t* name : {u"a_30000", u"b_120000", u"c_90000", u"d_375"}) {
    ASSERT_TRUE(page->AddTrack(name));
    PumpPending();
    EXPECT_NE(last, page->gauge.value) << "the gauge moved";
    last = page->gauge.value;
    EXPECT_TRUE(LooksAsPaintedFresh(f, page->gauge)) << "after adding a track";
  }
  const u32 count = page->trackList.rows.GetCount();
  const Point remove = WidgetCentre(page->trackList.rows[1]->removeButton);
  PostMouseAsTheSystemWould(WM_MOUSEMOVE, 0, remove);
  PostClickAsTheSystemWould(remove);
  ASSERT_TRUE(PumpUntil([&] { return page->trackList.rows.GetCount() == count - 1; }));
  EXPECT_TRUE(LooksAsPaintedFresh(f, page->gauge)) << "after removing a track";
  // A pause typed into the first track's field changes only the totals.
  const Point field = WidgetCentre(page->trackList.rows[0]->pauseField);
  PostMouseAsTheSystemWould(WM_MOUSEMOVE, 0, field);
  PostClickAsTheSystemWould(field);
  PumpPending();
  ASSERT_EQ(&page->trackList.rows[0]->pauseField, FocusedWidget());
  for (char16_t c : std::u16string(u"999")) {
    SendMessageW(static_cast<HWND>(f.Handle()), WM_CHAR, c, 1);
    EXPECT_NE(last, page->gauge.value) << "the gauge moved";
    last = page->gauge.value;
    EXPECT_TRUE(LooksAsPaintedFresh(f, page->gauge)) << "after typing a pause";
  }

  const Point onBar = WidgetCentre(page->menuBar);
  const Point offBar = {page->menuBar.ToWindowRect().left - 40, onBar.y};
  PostMouseAsTheSystemWould(WM_MOUSEMOVE, 0, onBar);
  PumpPending();
  EXPECT_TRUE(LooksAsPaintedFresh(f, page->menuBar)) << "lit under the pointer";
  PostMouseAsTheSystemWould(WM_MOUSEMOVE, 0, offBar);
  PumpPending();
  EXPECT_TRUE(LooksAsPaintedFresh(f, page->menuBar)) << "after the pointer left";
}

// While a text field has the keyboard, the keys it handles itself are its
// own: Ctrl+V pastes text into a track's pause field and adds no track,
// Ctrl+C copies the field's text. Every other shortcut works from the
// field as from anywhere (Ctrl+1, Ctrl+2); outside a field Ctrl+V adds the
// clipboard's files as tracks again.
TEST_F(MainFrameTest, AFocusedTextFieldKeepsItsOwnKeysFromTheShortcuts) {
  CAudioProjectFrame project;
  CMainFrame& f = project.frame;
  f.openWithShell = &OpenSpy;
  CAudioProjectFrame::Page* page = project.Open();
  ASSERT_NE(nullptr, page);
  ASSERT_TRUE(page->AddTrack(u"first_75"));
  auto& field = page->trackList.rows[0]->pauseField;
  HWND window = static_cast<HWND>(f.Handle());
  CScriptedWindowSystem keys;
  auto press = [&](u32 key, bool control) {
    keys.SetKeyDown(VK_CONTROL, control);
    SendMessageW(window, WM_KEYDOWN, key, 1);
    keys.SetKeyDown(VK_CONTROL, false);
  };
  PutTextAndFiles(u"12", {u"C:\\music\\second_150"});
  field.SetFocus();
  ASSERT_EQ(&field, FocusedWidget());
  press('V', true);
  EXPECT_EQ(u"12", std::u16string(field.Text().c_str())) << "the text pasted over the selected 0";
  EXPECT_EQ(900u, page->trackList.rows[0]->pauseFrames);
  EXPECT_EQ(1u, page->trackList.rows.GetCount()) << "no track added";
  PutTextAndFiles(u"other text", {u"C:\\music\\second_150"});
  field.edit.SelectAll();
  press('C', true);
  EXPECT_EQ(u"12", ClipboardText()) << "the field's text copied";
  // The shortcuts the field has no use for still work from it.
  press('1', true);
  EXPECT_EQ(781 * 1000 + 581, f.width * 1000 + f.height) << "Ctrl+1 sized the window";
  press('2', true);
  EXPECT_EQ(941 * 1000 + 521, f.width * 1000 + f.height) << "Ctrl+2 sized the window";
  EXPECT_EQ(&field, FocusedWidget());
  // Out of the field, Ctrl+V is the page's Paste again.
  PutTextAndFiles(u"12", {u"C:\\music\\second_150"});
  page->SetFocus();
  ASSERT_EQ(page, FocusedWidget());
  press('V', true);
  EXPECT_EQ(2u, page->trackList.rows.GetCount()) << "the clipboard's file added";
  EXPECT_EQ(150u, page->trackList.rows[page->trackList.rows.GetCount() - 1]->track.sectors);
  // A folder of a data project being renamed: Ctrl+C copies the name.
  f.OnCommand(kCmdNewData);
  typedef CExplorerPage<CMainFrame::PageHost> ExplorerPage;
  ExplorerPage* explorer = static_cast<ExplorerPage*>(f.pageHost.Current()->Widget());
  explorer->NewFolder();
  explorer->StartRename();
  ASSERT_EQ(&explorer->tree.editor, FocusedWidget());
  PutTextAndFiles(u"other text", {u"C:\\music\\second_150"});
  press('C', true);
  EXPECT_EQ(u"New Folder", ClipboardText());
}
